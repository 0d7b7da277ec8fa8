#include "qexport.h"

#include "filemessages.h"
#include "workbooksave.h"

#include "core/messages.h"
#include "platform/filedialog.h"
#include "platform/rowsource.h"

#include <QDir>
#include <QFileInfo>

namespace mivo::reports
{

TQexportfm& TQexportfm::instance()
{
    static TQexportfm module;
    return module;
}

QString TQexportfm::chooseFile(const QString& proposal, QWidget* parent, bool fresh)
{
    files::FileRequest request;
    request.title = QString::fromUtf8(dialogCaption);
    request.save = true;
    // Both questions, the typed name's and the one an appended extension makes, are ours.
    request.askOverwrite = false;
    for (const ExportFileType& type : exportFileTypes())
        request.filters << type.description + QStringLiteral(" (*") + type.extension +
                               QStringLiteral(" *") + type.extension.toLower() + QLatin1Char(')');
    const ExportDialogState::Start start =
        fresh && proposal.isEmpty() ? ExportDialogState::Start{} : m_state.start(proposal);
    request.filter = start.typeIndex - 1;
    if (!start.fileName.isEmpty()) {
        const QFileInfo info(start.fileName);
        if (info.dir().exists())
            request.folder = info.absolutePath();
        request.fileName = info.fileName();
    }
    const auto chosen = files::chooseFile(parent, request);
    if (!chosen)
        return {};
    const QString name = m_state.confirm(chosen->path, chosen->filter + 1);
    if (QFileInfo::exists(name) && !confirmOverwrite(name))
        return {};
    return name;
}

QString TQexportfm::exportRows(data::RowSource& rows, const QString& fileName, const QString& table,
                               const data::Progress& progress)
{
    QString error;
    if (!rows.open(&error)) {
        messages::show(error, MessageKind::Error);
        return {};
    }
    if (rows.rowCount() == 0) {
        messages::show(QStringLiteral("Nincs adat, amit tárolni lehetne."));
        return {};
    }
    const QString name = fileName.isEmpty() ? chooseFile() : fileName;
    if (name.isEmpty())
        return {};
    if (isWorkbookType(exportExtension(name)))
        return saveWorkbook({{&rows, rows.name()}}, name, true, progress, true);
    const ExportResult result = writeExportFile(rows, name, table, progress);
    if (!result.written) {
        showFileError(name, result.error);
        return {};
    }
    return name;
}

} // namespace mivo::reports
