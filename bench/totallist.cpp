// The full activity list at office scale (about 115 000 appliances, 500 000 jobs), next to
// its statements read bare in one pass and libxlsxwriter writing the same cells in
// constant-memory mode; both files must hold the same cells. Peak memory of each alone.
#include "benchdata.h"

#include "platform/workbookreader.h"
#include "reports/totallist.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDate>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

#include <xlsxwriter.h>

#include <algorithm>

using namespace mivo;
using namespace Qt::StringLiterals;

namespace
{

int yearOf(const QString& text)
{
    const QDate d = QDate::fromString(text.trimmed(), u"yyyy.MM.dd"_s);
    return d.isValid() ? d.year() : 0;
}

QString trimmed(const QSqlQuery& q, int column)
{
    return q.value(column).toString().trimmed();
}

void writeText(lxw_worksheet* sheet, int row, int column, const QString& text,
               lxw_format* format = nullptr)
{
    if (!text.isEmpty())
        worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(column), text.toUtf8().constData(),
                               format);
}

void bare(const QString& path)
{
    QSqlDatabase db = QSqlDatabase::database(u"d_mivo"_s);
    const int thisYear = QDate::currentDate().year();
    int first = std::max(1993, thisYear);
    {
        QSqlQuery dates(db);
        dates.setForwardOnly(true);
        dates.exec(reports::TotalList::datesStatement());
        while (dates.next())
            if (const int y = yearOf(dates.value(0).toString())) {
                first = std::clamp(y, 1993, std::max(1993, thisYear));
                break;
            }
    }
    const int years = std::max(first, thisYear) - first + 1;

    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    lxw_format* wrap = workbook_add_format(book);
    format_set_text_wrap(wrap);
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Munka1");
    const QStringList headings{u"Ügyfél név"_s, u"irszám"_s, u"település"_s, u"utca,házszám"_s,
                               u"telefon"_s,    u"email"_s,  u"készülék"_s,  u"Beüzemelés kelte"_s};
    qsizetype widths[8] = {};
    for (int c = 0; c < 8; ++c) {
        writeText(sheet, 0, c, headings[c]);
        widths[c] = headings[c].size();
    }
    for (int y = 0; y < years; ++y)
        worksheet_write_number(sheet, 0, lxw_col_t(8 + y), first + y, nullptr);

    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.exec(reports::TotalList::rowsStatement());
    int row = 0;
    QVariant appliance;
    QString texts[7], done, planned;
    std::vector<QString> cells(static_cast<size_t>(years));
    auto flush = [&] {
        for (int c = 0; c < 7; ++c) {
            writeText(sheet, row, c, texts[c]);
            widths[c] = std::max(widths[c], texts[c].size());
        }
        const QString h = done.isEmpty() ? planned : done;
        writeText(sheet, row, 7, h);
        widths[7] = std::max(widths[7], h.size());
        for (int y = 0; y < years; ++y)
            writeText(sheet, row, 8 + y, cells[size_t(y)], wrap);
    };
    static constexpr int customerColumns[7] = {0, 1, 2, 3, 6, 7, 4};
    while (q.next()) {
        if (row == 0 || q.value(5) != appliance) {
            if (row > 0)
                flush();
            ++row;
            appliance = q.value(5);
            for (int c = 0; c < 7; ++c)
                texts[c] = trimmed(q, customerColumns[c]);
            done.clear();
            planned.clear();
            for (QString& cell : cells)
                cell.clear();
        }
        const QString tervtev = trimmed(q, 8), munkatev = trimmed(q, 9);
        const QString tervd = trimmed(q, 10), munkad = trimmed(q, 11);
        if (tervtev == u"ÜZ"_s || munkatev == u"ÜZ"_s) {
            if (yearOf(munkad) && (done.isEmpty() || munkad < done))
                done = munkad;
            if (yearOf(tervd) && (planned.isEmpty() || tervd < planned))
                planned = tervd;
            continue;
        }
        if (munkatev == u"LM"_s)
            continue;
        int year = yearOf(munkad);
        QString date = munkad, activity = munkatev;
        if (!year) {
            year = yearOf(tervd);
            date = tervd;
            activity = tervtev;
        }
        if (year)
            cells[size_t(std::clamp(year - first, 0, years - 1))] +=
                date + u' ' + activity + u", "_s;
    }
    if (row > 0)
        flush();
    for (int c = 0; c < 8; ++c)
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), double(widths[c]) + 2, nullptr);
    worksheet_set_column(sheet, 8, lxw_col_t(8 + years - 1), 15, nullptr);
    workbook_close(book);
}

void ours(const QString& path)
{
    const reports::TotalListResult r = reports::TotalList().write(path, [](qint64, qint64) {});
    if (!r.written)
        qFatal("%s", qPrintable(r.error));
}

// A digest of every cell, row by row; empty when the file could not be read.
QByteArray cellDigest(const QString& path, int* rows)
{
    data::WorkbookReader reader;
    if (!reader.open(path))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha1);
    *rows = 0;
    reader.forEachRow([&](int row, const QStringList& cells) {
        hash.addData(QByteArray::number(row));
        for (const QString& c : cells)
            hash.addData((c + QChar(0x1f)).toUtf8());
        ++*rows;
        return true;
    });
    return hash.result();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString database = bench::scaleDatabase();
    if (database.isEmpty())
        return 1;
    QTemporaryDir dir;
    const QString mine = dir.filePath(u"ours.xlsx"_s), library = dir.filePath(u"bare.xlsx"_s);
    // Each alone in a child process that opens the database itself, before this process
    // attaches: neither's memory counts for the other.
    const double mineMb = bench::childPeakMegabytes([&] {
        if (bench::openMain(database))
            ours(mine);
    });
    const double bareMb = bench::childPeakMegabytes([&] {
        if (bench::openMain(database))
            bare(library);
    });
    if (!bench::openMain(database))
        return 1;
    const double oursMs = bench::fastestMs(3, [&] { ours(mine); });
    const double bareMs = bench::fastestMs(3, [&] { bare(library); });
    int oursRows = 0, bareRows = 0;
    const QByteArray a = cellDigest(mine, &oursRows), b = cellDigest(library, &bareRows);
    if (a.isEmpty() || a != b) {
        QTextStream(stderr) << "the two workbooks differ (" << oursRows << " and " << bareRows
                            << " rows)" << Qt::endl;
        return 1;
    }
    QTextStream(stderr) << oursRows - 1 << " appliances, same cells" << Qt::endl;
    bench::report(u"totallist_500k_jobs"_s, oursMs, bareMs);
    bench::report(u"totallist_peak_rss"_s, mineMb, bareMb, u"MB"_s);
    return 0;
}
