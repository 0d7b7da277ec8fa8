#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace mivo::data
{

/// Reads the cells of one sheet of a workbook as Excel shows them: an xlsx/xlsm file (its
/// active sheet) or a legacy xls file (its first worksheet), told apart by content. Texts
/// come as they are (rich runs joined), integers without ".0" or exponent, other numbers
/// in the shortest form, dates by their number format as "yyyy.mm.dd", booleans
/// "IGAZ"/"HAMIS", formulas by their cached value. The xlsx sheet is streamed, never held
/// whole; only its shared strings stay in memory.
class WorkbookReader
{
public:
    WorkbookReader();
    ~WorkbookReader();
    WorkbookReader(const WorkbookReader&) = delete;
    WorkbookReader& operator=(const WorkbookReader&) = delete;

    /// Opens the workbook and reads its sheet once through, so that a damaged file fails
    /// here and lastRow() is known. False with the reason in error().
    bool open(const QString& path);
    /// The highest row (from 1) holding a cell; 0 for an empty sheet.
    int lastRow() const { return m_lastRow; }
    QString error() const { return m_error; }

    /// One row: its number (from 1) and its cells from column A (index 0); columns without
    /// a cell are empty texts. Return false to stop reading.
    using RowHandler = std::function<bool(int row, const QStringList& cells)>;
    /// Hands the rows holding a cell to the handler in sheet order. False with error() when
    /// the file could not be read.
    bool forEachRow(const RowHandler& handler);

    /// "A" → 0, "AB" → 27; -1 when not letters.
    static int columnIndex(const QString& letters);

private:
    struct Xlsx;
    bool openXlsx();
    bool readXlsx(const RowHandler& handler);
    bool readXls(const RowHandler& handler);

    QString m_path;
    bool m_isXlsx = false;
    int m_lastRow = 0;
    QString m_error;
    std::unique_ptr<Xlsx> m_xlsx;
};

/// The text of a number cell as Excel shows it without a format: integers whole, other
/// numbers in the shortest form of at most 15 digits.
QString numberText(double value);
/// The date of an Excel serial number as "yyyy.mm.dd" (1904-based when date1904 is set);
/// empty when out of range.
QString serialDateText(double serial, bool date1904);
/// Whether an Excel number format shows a date: the built-in date ids and custom codes
/// with a day, month or year part outside quotes and brackets.
bool isDateFormat(int id, const QString& code);

} // namespace mivo::data
