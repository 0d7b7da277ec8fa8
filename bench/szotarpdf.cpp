// The dictionary report to PDF: 100 000 rows, and the time per page at 10 and at 1 000 pages
// (the engine's cost per page must not grow with the length of the list).
#include "benchdata.h"
#include "generatedrows.h"

#include "reports/qrszotar.h"
#include "reports/reportpages.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>

using namespace mivo;

namespace
{

struct Timing {
    double ms;
    int pages;
};

Timing pdf(qint64 rows, const QString& path)
{
    bench::GeneratedRows source(rows);
    Tqr_szotar& report = Tqr_szotar::instance();
    report.setDataSet(&source);
    report.setTitle(QStringLiteral("Benchmark lista"));
    QString error;
    auto r = report.build(&error);
    report::PageModel pages;
    const int count = report::run(*r, pages);
    QElapsedTimer t;
    t.start();
    if (!report.writePdf(path, &error))
        qFatal("%s", qPrintable(error));
    return {double(t.elapsed()), count};
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("szotar.pdf"));
    const Timing probe = pdf(1000, path);
    const double rowsPerPage = 1000.0 / probe.pages;
    const Timing small = pdf(qint64(10 * rowsPerPage), path);
    const Timing large = pdf(qint64(1000 * rowsPerPage), path);
    const double perPageSmall = small.ms / small.pages;
    const double perPageLarge = large.ms / large.pages;
    bench::report(QStringLiteral("szotar_pdf_ms_per_page_1000_vs_10_pages"), perPageLarge,
                  perPageSmall);
    const Timing full = pdf(100000, path);
    bench::report(QStringLiteral("szotar_pdf_100000_rows_%1_pages").arg(full.pages), full.ms,
                  perPageSmall * full.pages);
    return 0;
}
