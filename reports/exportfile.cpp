#include "exportfile.h"

#include "fixedtext.h"
#include "sqlscript.h"

#include "platform/rowsource.h"
#include "platform/tablefile.h"

#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

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

bool isWorkbookType(const QString& extension)
{
    return extension == ".XLS"_L1 || extension == ".XLSX"_L1 || extension == ".XLSM"_L1;
}

ExportResult writeWorkbookFile(const std::vector<data::SheetRows>& sheets, const QString& path,
                               const data::Progress& progress)
{
    data::WorkbookOptions options;
    options.macroEnabled = exportExtension(path) == ".XLSM"_L1;
    options.progress = progress;
    return data::writeWorkbook(sheets, path, options);
}

ExportResult writeExportFile(data::RowSource& rows, const QString& path, const QString& table,
                             const data::Progress& progress)
{
    const QString extension = exportExtension(path);
    if (isWorkbookType(extension))
        return writeWorkbookFile({{&rows, rows.name()}}, path, progress);
    ExportResult result;
    if (extension == ".SQL"_L1)
        result.written = writeSqlScript(rows, path, table, &result.error);
    else if (extension == ".TXT"_L1)
        result.written = writeFixedText(rows, path, &result.error);
    else if (extension == ".DBF"_L1)
        result.written = data::writeDbaseTable(rows, path, &result.error);
    else // ".DB" and every other name: a Paradox table, the table driver's own kind
        result.written = data::writeParadoxTable(rows, path, &result.error);
    return result;
}

} // namespace mivo::reports
