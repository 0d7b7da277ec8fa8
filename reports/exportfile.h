#pragma once

#include "platform/workbookwriter.h"

#include <QList>
#include <QString>

namespace mivo::data
{
class RowSource;
}

namespace mivo::reports
{

/// A file type of the export's save dialog.
struct ExportFileType {
    QString description; ///< "Excel tábla (XLS)"
    QString extension;   ///< ".XLS"; the dialog's pattern is "*" + extension
};

/// The seven types in the dialog's order (type index 1 is the first).
const QList<ExportFileType>& exportFileTypes();

/// The export type of a file name: the text from the last "." of its file name (never of a
/// folder), at most 5 characters, upper case; "" without one.
QString exportExtension(const QString& fileName);

/// Whether the export type is a workbook (".XLS", ".XLSX", ".XLSM").
bool isWorkbookType(const QString& extension);

/// What the save dialog keeps from one export to the next, and its rules.
class ExportDialogState
{
public:
    struct Start {
        QString fileName;
        int typeIndex = 1;
    };
    /// A proposal selects the type of its extension (type 1 when none matches). Without one
    /// the name of the last export comes back without its extension, with its type.
    Start start(const QString& proposal) const;
    /// The confirmed name: the type's extension is appended unless the name (in any case)
    /// ends with it. The name and type are kept for the next export.
    QString confirm(const QString& chosen, int typeIndex);

private:
    QString m_lastName;
    int m_lastType = 1;
};

/// What writing an export file gave: whether the file was written, the reason when not,
/// and the notices of workbook sheets that were left out.
using ExportResult = data::WorkbookResult;

/// Writes the sheets as one workbook; ".XLSM" gets a macro-enabled one.
ExportResult writeWorkbookFile(const std::vector<data::SheetRows>& sheets, const QString& path,
                               const data::Progress& progress = {});

/// Writes the rows into a file of the type its extension names: an Excel workbook, an SQL
/// script (inserting into the table, or the statement's table when empty), fixed-width
/// text, a dBase table, and for ".DB" and every other name a Paradox table. Asks nothing.
ExportResult writeExportFile(data::RowSource& rows, const QString& path, const QString& table,
                             const data::Progress& progress = {});

} // namespace mivo::reports
