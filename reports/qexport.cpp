#include "qexport.h"

#include "filemessages.h"
#include "fixedtext.h"
#include "sqlscript.h"
#include "workbooksave.h"

#include "core/messages.h"
#include "platform/rowsource.h"
#include "platform/tablefile.h"

#include <QFileDialog>
#include <QFileInfo>

namespace mivo::reports
{

const QList<ExportFileType>& exportFileTypes()
{
    static const QList<ExportFileType> types{
        {QStringLiteral("Excel tábla (XLS)"), QStringLiteral(".XLS")},
        {QStringLiteral("Excel tábla (XLSX) 2007-től"), QStringLiteral(".XLSX")},
        {QStringLiteral("dBaseIII tábla (DBF)"), QStringLiteral(".DBF")},
        {QStringLiteral("Szövegfájl (TXT)"), QStringLiteral(".TXT")},
        {QStringLiteral("Paradox (DB)"), QStringLiteral(".DB")},
        {QStringLiteral("SQL script (SQL)"), QStringLiteral(".SQL")},
        {QStringLiteral("Excel tábla makrobarát (XLSM)"), QStringLiteral(".XLSM")},
    };
    return types;
}

QString exportExtension(const QString& fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot, 5).toUpper();
}

ExportDialogState::Start ExportDialogState::start(const QString& proposal) const
{
    Start start;
    if (!proposal.isEmpty()) {
        start.fileName = proposal;
        const QString extension = exportExtension(proposal);
        const auto& types = exportFileTypes();
        for (int i = 0; i < types.size(); ++i)
            if (types[i].extension == extension)
                start.typeIndex = i + 1;
        return start;
    }
    if (!m_lastName.isEmpty()) {
        const QString file = QFileInfo(m_lastName).fileName();
        const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
        start.fileName = dot < 0 ? m_lastName : m_lastName.chopped(file.size() - dot);
        start.typeIndex = m_lastType;
    }
    return start;
}

QString ExportDialogState::confirm(const QString& chosen, int typeIndex)
{
    const auto& types = exportFileTypes();
    const int index = std::clamp(typeIndex, 1, int(types.size()));
    const QString extension = types[index - 1].extension;
    QString name = chosen;
    if (!name.toUpper().endsWith(extension))
        name += extension;
    m_lastName = name;
    m_lastType = index;
    return name;
}

TQexportfm& TQexportfm::instance()
{
    static TQexportfm module;
    return module;
}

QString TQexportfm::chooseFile(const QString& proposal, QWidget* parent)
{
    QFileDialog dialog(parent, QString::fromUtf8(dialogCaption));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Both questions, the typed name's and the one an appended extension makes, are ours.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    QStringList filters;
    for (const ExportFileType& type : exportFileTypes())
        filters << type.description + QStringLiteral(" (*") + type.extension +
                       QStringLiteral(" *") + type.extension.toLower() + QLatin1Char(')');
    dialog.setNameFilters(filters);
    const ExportDialogState::Start start = m_state.start(proposal);
    dialog.selectNameFilter(filters[start.typeIndex - 1]);
    if (!start.fileName.isEmpty()) {
        const QFileInfo info(start.fileName);
        if (info.dir().exists())
            dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString name = m_state.confirm(dialog.selectedFiles().constFirst(),
                                         int(filters.indexOf(dialog.selectedNameFilter())) + 1);
    if (QFileInfo::exists(name) && !confirmOverwrite(name))
        return {};
    return name;
}

QString TQexportfm::exportRows(data::RowSource& rows, const QString& fileName, const QString& table,
                               QProgressBar* progress)
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
    const QString extension = exportExtension(name);
    if (extension == QLatin1String(".XLS") || extension == QLatin1String(".XLSX") ||
        extension == QLatin1String(".XLSM"))
        return saveWorkbook({{&rows, rows.name()}}, name, true, progress, true);
    bool written;
    if (extension == QLatin1String(".SQL"))
        written = writeSqlScript(rows, name, table, &error);
    else if (extension == QLatin1String(".TXT"))
        written = writeFixedText(rows, name, &error);
    else if (extension == QLatin1String(".DBF"))
        written = data::writeDbaseTable(rows, name, &error);
    else // ".DB" and every other name: a Paradox table, the table driver's own kind
        written = data::writeParadoxTable(rows, name, &error);
    if (!written) {
        showFileError(name, error);
        return {};
    }
    return name;
}

} // namespace mivo::reports
