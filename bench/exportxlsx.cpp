// Export of 100 000 and 1 000 000 rows × 10 columns to xlsx through the workbook writer, next
// to libxlsxwriter writing the same values directly in constant-memory mode; peak memory.
#include "benchdata.h"
#include "generatedrows.h"

#include "platform/fieldtypes.h"
#include "platform/workbookwriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

using namespace mivo;

namespace
{

double bare(qint64 rows, const QString& path)
{
    QElapsedTimer t;
    t.start();
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    lxw_worksheet* sheet = workbook_add_worksheet(book, "q_bench");
    for (int c = 0; c < bench::GeneratedRows::columnCount; ++c) {
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), 20, nullptr);
        worksheet_write_string(sheet, 0, lxw_col_t(c),
                               QStringLiteral("OSZLOP%1").arg(c).toUtf8().constData(), nullptr);
    }
    for (qint64 r = 0; r < rows; ++r)
        for (int c = 0; c < bench::GeneratedRows::columnCount; ++c) {
            if (bench::GeneratedRows::isText(c))
                worksheet_write_string(sheet, lxw_row_t(r + 1), lxw_col_t(c),
                                       bench::GeneratedRows::text(r, c).toUtf8().constData(),
                                       nullptr);
            else
                worksheet_write_number(sheet, lxw_row_t(r + 1), lxw_col_t(c),
                                       data::roundDecimals(bench::GeneratedRows::number(r, c), 5),
                                       nullptr);
        }
    workbook_close(book);
    return t.elapsed();
}

double ours(qint64 rows, const QString& path)
{
    QElapsedTimer t;
    t.start();
    bench::GeneratedRows source(rows);
    const auto result = data::writeWorkbook({{&source, QStringLiteral("q_bench")}}, path);
    if (!result.written)
        qFatal("%s", qPrintable(result.error));
    return t.elapsed();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    for (const qint64 rows : {qint64(100000), qint64(1000000)}) {
        const double mine = ours(rows, dir.filePath(QStringLiteral("ours.xlsx")));
        const double library = bare(rows, dir.filePath(QStringLiteral("bare.xlsx")));
        bench::report(QStringLiteral("xlsx_export_%1_rows").arg(rows), mine, library);
    }
    // Each writer alone in a child process, so that neither's memory counts for the other.
    const qint64 rows = 1000000;
    const double mine =
        bench::childPeakMegabytes([&] { ours(rows, dir.filePath(QStringLiteral("ours.xlsx"))); });
    const double library =
        bench::childPeakMegabytes([&] { bare(rows, dir.filePath(QStringLiteral("bare.xlsx"))); });
    bench::report(QStringLiteral("xlsx_export_peak_rss"), mine, library, QStringLiteral("MB"));
    return 0;
}
