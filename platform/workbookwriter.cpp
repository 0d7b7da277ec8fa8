#include "workbookwriter.h"

#include "replacingfile.h"
#include "rowsource.h"
#include "xlsxbook.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <algorithm>

namespace mivo::data
{

namespace
{

constexpr int floatDecimals = 5;

void writeCell(XlsxBook& book, int row, int column, FieldKind kind, const QVariant& value)
{
    if (value.isNull())
        return;
    switch (kind) {
    case FieldKind::Float:
    case FieldKind::Decimal:
        book.writeNumber(row, column, roundDecimals(value.toDouble(), floatDecimals));
        break;
    case FieldKind::SmallInt:
    case FieldKind::Integer:
    case FieldKind::LargeInt:
        book.writeNumber(row, column, value.toDouble());
        break;
    case FieldKind::Boolean:
        book.writeBoolean(row, column, value.toBool());
        break;
    case FieldKind::Date: {
        const QDate d = value.toDate();
        book.writeDate(row, column, d.year(), d.month(), d.day());
        break;
    }
    case FieldKind::Time: {
        const QTime t = value.toTime();
        book.writeTime(row, column, t.hour(), t.minute(), t.second() + t.msec() / 1000.0);
        break;
    }
    case FieldKind::DateTime: {
        const QDateTime dt = value.toDateTime();
        const QDate d = dt.date();
        const QTime t = dt.time();
        book.writeDateTime(row, column, d.year(), d.month(), d.day(), t.hour(), t.minute(),
                           t.second() + t.msec() / 1000.0);
        break;
    }
    default:
        book.writeText(row, column, displayText(value, kind));
        break;
    }
}

// The header row at the row given; the rows above it hold the title lines.
void writeHeader(XlsxBook& book, const std::vector<Column>& columns, int row = 0)
{
    for (size_t c = 0; c < columns.size(); ++c) {
        book.setColumnWidth(int(c), columns[c].displayWidth);
        book.writeText(row, int(c), columns[c].label);
    }
}

} // namespace

WorkbookResult writeWorkbook(const std::vector<SheetRows>& sheets, const QString& path,
                             const WorkbookOptions& options)
{
    WorkbookResult result;
    ReplacingFile file(path);
    if (!file.prepare(&result.error))
        return result;
    XlsxBook book(file.tempPath(), options.macroEnabled);
    const int rowLimit = std::clamp(options.rowLimit, 2, XlsxBook::maxRows);

    for (const SheetRows& sheet : sheets) {
        const QString baseName = book.addSheet(sheet.sheetName);
        QString openError;
        if (!sheet.rows->open(&openError)) {
            result.skipped << sheet.rows->name() +
                                  QStringLiteral(
                                      ": a lekérdezés nem nyitható (can not open query)");
            continue;
        }
        const std::vector<Column>& columns = sheet.rows->columns();
        const int columnCount = std::min<int>(int(columns.size()), XlsxBook::maxColumns);
        const qint64 total = sheet.rows->rowCount();
        const int titles = int(sheet.titleRows.size());
        for (int t = 0; t < titles; ++t)
            book.writeText(t, 0, sheet.titleRows[t]);
        writeHeader(book, columns, titles);
        int row = titles + 1;
        int overflow = 0;
        qint64 done = 0;
        while (book.ok() && sheet.rows->next()) {
            if (row >= rowLimit) {
                const QString suffix = QLatin1Char('_') + QString::number(++overflow);
                book.addSheet(baseName.left(XlsxBook::maxSheetNameLength - int(suffix.size())) +
                              suffix);
                writeHeader(book, columns);
                row = 1;
            }
            for (int c = 0; c < columnCount; ++c)
                writeCell(book, row, c, columns[size_t(c)].kind, sheet.rows->value(c));
            ++row;
            if (options.progress)
                options.progress(++done, total);
        }
    }
    if (!book.close(&result.error))
        return result;
    result.written = file.commit(&result.error);
    return result;
}

} // namespace mivo::data
