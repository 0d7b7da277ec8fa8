#pragma once

#include <QString>
#include <QStringList>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace mivo::data
{

/// An xlsx workbook written row by row in libxlsxwriter's constant-memory mode: rows must
/// come in ascending order, memory stays flat whatever the row count. Errors collect in
/// error(); the first failing call makes close() fail.
class XlsxBook
{
public:
    static constexpr int maxRows = 1048576;
    static constexpr int maxColumns = 16384;
    static constexpr int maxTextLength = 32767;
    static constexpr int maxSheetNameLength = 31;

    /// macroEnabled: the workbook declares the macro-enabled content type that an ".xlsm"
    /// name requires.
    XlsxBook(const QString& path, bool macroEnabled);
    ~XlsxBook();
    XlsxBook(const XlsxBook&) = delete;
    XlsxBook& operator=(const XlsxBook&) = delete;

    bool ok() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

    /// Adds a sheet after the last and makes it current. The name is made acceptable (no
    /// []:*?/\, at most 31 characters, unique); the name it got comes back, empty on failure.
    QString addSheet(const QString& wanted);
    /// Width of a column of the current sheet, in characters (capped at Excel's 255).
    void setColumnWidth(int column, double characters);

    // Cells of the current sheet (row and column from 0).
    /// Text stays text, however much it looks like a number; longer than a cell's limit it
    /// is cut at the limit.
    void writeText(int row, int column, const QString& text);
    /// Text shown wrapped in its cell (lines break at the column's width).
    void writeWrappedText(int row, int column, const QString& text);
    void writeNumber(int row, int column, double value);
    void writeBoolean(int row, int column, bool value);
    /// A date, a time of day or both, shown as "yyyy.mm.dd", "hh:mm:ss" or both.
    void writeDate(int row, int column, int year, int month, int day);
    void writeTime(int row, int column, int hour, int minute, double second);
    void writeDateTime(int row, int column, int year, int month, int day, int hour, int minute,
                       double second);

    /// Writes the file. False with the reason.
    bool close(QString* error);

private:
    void check(int code);
    void writeString(int row, int column, const QString& text, lxw_format* format);
    bool markMacroEnabled();

    QString m_path;
    bool m_macroEnabled;
    lxw_workbook* m_book = nullptr;
    lxw_worksheet* m_sheet = nullptr;
    lxw_format* m_dateFormat = nullptr;
    lxw_format* m_timeFormat = nullptr;
    lxw_format* m_dateTimeFormat = nullptr;
    lxw_format* m_wrapFormat = nullptr;
    QStringList m_sheetNames;
    QString m_error;
};

} // namespace mivo::data
