#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace mivo::data
{

class RowSource;

/// Rows written so far and rows in all (-1 when unknown), after every row.
using Progress = std::function<void(qint64 done, qint64 total)>;

/// One result set of a workbook and the name of its sheet.
struct SheetRows {
    RowSource* rows = nullptr;
    QString sheetName;
    /// Text rows above the header row of the first sheet (a list's title lines), one cell each.
    QStringList titleRows{};
};

struct WorkbookOptions {
    /// Rows of a sheet, its header row included; past it the rows go on to a new sheet.
    int rowLimit = 1048576;
    bool macroEnabled = false;
    Progress progress;
};

struct WorkbookResult {
    bool written = false;
    /// Why nothing was written (file or library error).
    QString error;
    /// One text per result set that could not be opened and was left out.
    QStringList skipped;
};

/// Writes an xlsx workbook at path with one sheet per result set, in order: a header row of
/// the display labels, the column widths of the display widths, one row per record (nulls
/// stay empty, text stays text, floats rounded to 5 decimals). A result set longer than the
/// row limit goes on to sheets named after the first one + "_1", "_2", ..., each with its
/// own header row. The file appears under path only when complete; a failed write leaves a
/// previous file of that name untouched.
WorkbookResult writeWorkbook(const std::vector<SheetRows>& sheets, const QString& path,
                             const WorkbookOptions& options = {});

} // namespace mivo::data
