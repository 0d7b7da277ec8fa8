#include "workbooksave.h"

#include "filemessages.h"
#include "qexport.h"

#include "core/messages.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace mivo::reports
{

QString saveWorkbook(const std::vector<data::SheetRows>& sheets, const QString& fileName,
                     bool overwriteAllowed, const data::Progress& progress, bool askToOpen)
{
    QString name = fileName.isEmpty() ? TQexportfm::instance().chooseFile() : fileName;
    // The save dialog has asked about an existing file already.
    if (!name.isEmpty() && !fileName.isEmpty() && !overwriteAllowed && QFileInfo::exists(name) &&
        !confirmOverwrite(name))
        name.clear();
    if (name.isEmpty()) {
        messages::show(QStringLiteral("Adjon meg egy érvényes fájlnevet"));
        return {};
    }
    const ExportResult result = writeWorkbookFile(sheets, name, progress);
    for (const QString& skipped : result.skipped)
        messages::show(skipped, MessageKind::Error);
    if (!result.written) {
        showFileError(name, result.error);
        return {};
    }
    const QString done =
        QStringLiteral("A fájl: ") + QDir::toNativeSeparators(name) + QStringLiteral("elkészült: ");
    if (!askToOpen)
        messages::show(done, MessageKind::Dialog);
    else if (messages::confirm(done + QLatin1Char('\n') + QStringLiteral("Kívánja megnyitni?")))
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(name).absoluteFilePath()));
    return name;
}

} // namespace mivo::reports
