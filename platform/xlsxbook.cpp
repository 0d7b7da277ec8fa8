#include "xlsxbook.h"

#include "zipentry.h"

#include <QFile>

#include <xlsxwriter.h>

#include <algorithm>

namespace mivo::data
{

namespace
{

lxw_format* numberFormat(lxw_workbook* book, const char* pattern)
{
    lxw_format* format = workbook_add_format(book);
    format_set_num_format(format, pattern);
    return format;
}

QString acceptableSheetName(QString name, const QStringList& taken)
{
    static const QString forbidden = QStringLiteral("[]:*?/\\");
    for (QChar& c : name)
        if (forbidden.contains(c))
            c = QLatin1Char('_');
    while (name.startsWith(QLatin1Char('\'')))
        name.remove(0, 1);
    name = name.left(XlsxBook::maxSheetNameLength);
    while (name.endsWith(QLatin1Char('\'')))
        name.chop(1);
    if (name.isEmpty())
        name = QStringLiteral("Munka") + QString::number(taken.size() + 1);
    const auto used = [&](const QString& n) { return taken.contains(n, Qt::CaseInsensitive); };
    // Excel's way with a name in use: "Name (2)", cut so that the mark fits.
    for (int n = 2; used(name); ++n) {
        const QString mark = QStringLiteral(" (%1)").arg(n);
        name = name.left(XlsxBook::maxSheetNameLength - int(mark.size())) + mark;
    }
    return name;
}

} // namespace

XlsxBook::XlsxBook(const QString& path, bool macroEnabled)
    : m_path(path), m_macroEnabled(macroEnabled)
{
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    const QByteArray name = QFile::encodeName(path);
    m_book = workbook_new_opt(name.constData(), &options);
    if (!m_book) {
        m_error = QStringLiteral("A munkafüzet nem hozható létre.");
        return;
    }
    m_dateFormat = numberFormat(m_book, "yyyy.mm.dd");
    m_timeFormat = numberFormat(m_book, "hh:mm:ss");
    m_dateTimeFormat = numberFormat(m_book, "yyyy.mm.dd hh:mm:ss");
    m_wrapFormat = workbook_add_format(m_book);
    format_set_text_wrap(m_wrapFormat);
}

XlsxBook::~XlsxBook()
{
    // The library frees a workbook only by writing it; the file is a temporary one then.
    if (m_book)
        workbook_close(m_book);
}

void XlsxBook::check(int code)
{
    if (code != LXW_NO_ERROR && m_error.isEmpty())
        m_error = QString::fromUtf8(lxw_strerror(lxw_error(code)));
}

QString XlsxBook::addSheet(const QString& wanted)
{
    if (!m_book)
        return {};
    const QString name = acceptableSheetName(wanted, m_sheetNames);
    m_sheet = workbook_add_worksheet(m_book, name.toUtf8().constData());
    if (!m_sheet) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("A munkalap nem vehető fel: ") + name;
        return {};
    }
    m_sheetNames << name;
    return name;
}

void XlsxBook::setColumnWidth(int column, double characters)
{
    if (m_sheet)
        check(worksheet_set_column(m_sheet, lxw_col_t(column), lxw_col_t(column),
                                   std::clamp(characters, 0.0, 255.0), nullptr));
}

void XlsxBook::writeText(int row, int column, const QString& text)
{
    writeString(row, column, text, nullptr);
}

void XlsxBook::writeWrappedText(int row, int column, const QString& text)
{
    writeString(row, column, text, m_wrapFormat);
}

void XlsxBook::writeString(int row, int column, const QString& text, lxw_format* format)
{
    if (!m_sheet)
        return;
    qsizetype length = std::min<qsizetype>(text.size(), maxTextLength);
    // Never half a surrogate pair at the cut.
    if (length < text.size() && length > 0 && text.at(length - 1).isHighSurrogate())
        --length;
    const QByteArray utf8 = text.left(length).toUtf8();
    check(worksheet_write_string(m_sheet, lxw_row_t(row), lxw_col_t(column), utf8.constData(),
                                 format));
}

void XlsxBook::writeNumber(int row, int column, double value)
{
    if (m_sheet)
        check(worksheet_write_number(m_sheet, lxw_row_t(row), lxw_col_t(column), value, nullptr));
}

void XlsxBook::writeBoolean(int row, int column, bool value)
{
    if (m_sheet)
        check(worksheet_write_boolean(m_sheet, lxw_row_t(row), lxw_col_t(column), value ? 1 : 0,
                                      nullptr));
}

void XlsxBook::writeDate(int row, int column, int year, int month, int day)
{
    if (!m_sheet)
        return;
    lxw_datetime dt{year, month, day, 0, 0, 0.0};
    check(worksheet_write_datetime(m_sheet, lxw_row_t(row), lxw_col_t(column), &dt, m_dateFormat));
}

void XlsxBook::writeTime(int row, int column, int hour, int minute, double second)
{
    if (!m_sheet)
        return;
    lxw_datetime dt{0, 0, 0, hour, minute, second};
    check(worksheet_write_datetime(m_sheet, lxw_row_t(row), lxw_col_t(column), &dt, m_timeFormat));
}

void XlsxBook::writeDateTime(int row, int column, int year, int month, int day, int hour,
                             int minute, double second)
{
    if (!m_sheet)
        return;
    lxw_datetime dt{year, month, day, hour, minute, second};
    check(worksheet_write_datetime(m_sheet, lxw_row_t(row), lxw_col_t(column), &dt,
                                   m_dateTimeFormat));
}

bool XlsxBook::close(QString* error)
{
    if (m_book) {
        if (m_sheetNames.isEmpty())
            addSheet(QString());
        const lxw_error result = workbook_close(m_book);
        m_book = nullptr;
        check(result);
        if (ok() && m_macroEnabled)
            markMacroEnabled();
    }
    if (!ok() && error)
        *error = m_error;
    return ok();
}

// The library declares the macro-enabled content type only together with a macro project;
// the declaration of the workbook part is rewritten here.
bool XlsxBook::markMacroEnabled()
{
    return editZipEntry(
        m_path, QByteArrayLiteral("[Content_Types].xml"),
        [](const QByteArray& xml) {
            QByteArray edited = xml;
            return edited.replace(
                "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml",
                "application/vnd.ms-excel.sheet.macroEnabled.main+xml");
        },
        &m_error);
}

} // namespace mivo::data
