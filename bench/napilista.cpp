// The daily work instruction of every technician ("MIND") for the busiest day at office scale
// (60 technicians, 500 000 jobs) to one PDF, next to the same rows read bare through the driver
// and the same texts drawn bare with QPainter on a QPdfWriter.
#include "benchdata.h"

#include "core/clock.h"
#include "core/dat.h"
#include "reports/napilistadata.h"
#include "reports/qrnapilista.h"
#include "reports/reportmeasure.h"
#include "reports/reportpages.h"
#include "reports/reportpainter.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

using namespace mivo;
using namespace Qt::StringLiterals;

namespace
{

QString busiestDay()
{
    QSqlQuery q(QSqlDatabase::database(u"d_mivo"_s));
    q.exec(u"SELECT FIRST 1 TERVD FROM MUNKA WHERE TERVD > '' AND ALLAPOT <> 'TOR' "
           u"GROUP BY TERVD ORDER BY COUNT(*) DESC"_s);
    return q.next() ? q.value(0).toString().trimmed() : QString();
}

// The report's two statements, prepared, bound and read through every value.
int bareRows(const QString& day)
{
    const reports::DailyStatements s = reports::dailyStatements(reports::allTechnicians, day, day);
    return bench::readBare(u"d_mivo"_s, s.jobs, s.params) +
           bench::readBare(u"d_mivo"_s, s.parts, s.params);
}

// What the report put on its pages, drawn with nothing in between.
void bareDraw(const report::PageModel& pages, const QString& path)
{
    QPdfWriter writer(path);
    writer.setResolution(300);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins({0, 0, 0, 0});
    QPainter painter(&writer);
    const double scale = writer.logicalDpiX() / 96.0;
    const auto scaled = [scale](const QRectF& r) {
        return QRectF(r.x() * scale, r.y() * scale, r.width() * scale, r.height() * scale);
    };
    for (int p = 1; p <= pages.pageCount(); ++p) {
        if (p > 1)
            writer.newPage();
        report::TextStyle current;
        bool hasFont = false;
        for (const auto& t : pages.placed(p)) {
            if (!hasFont || t.style.pointSize != current.pointSize ||
                t.style.bold != current.bold) {
                painter.setFont(report::fontFor(t.style));
                current = t.style;
                hasFont = true;
            }
            painter.drawText(scaled(t.rect), int(t.style.alignment) | Qt::TextDontClip, t.text);
        }
        for (const QRectF& f : pages.frames(p)) {
            if (f.height() <= 0)
                painter.drawLine(scaled(f).topLeft(), scaled(f).topRight());
            else
                painter.drawRect(scaled(f));
        }
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (!bench::openScaleDatabase())
        return 1;
    const QString day = busiestDay();
    Td::instance().userName = u"Benchmark"_s;
    const reports::NapilistaLayout& layout = reports::napilistaLayout(u"SAJAT"_s);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"mind.pdf"_s);
    const QString barePdf = dir.filePath(u"bare.pdf"_s);

    QString error;
    auto probe = reports::buildNapilista(layout, reports::allTechnicians, day, day,
                                         u"Napi munka utasítás"_s, &error);
    if (!probe) {
        QTextStream(stderr) << error << Qt::endl;
        return 1;
    }
    report::PageModel pages;
    report::run(*probe, pages);
    QTextStream(stderr) << "day " << day << ": " << bareRows(day) << " rows, " << pages.pageCount()
                        << " pages" << Qt::endl;

    bool ok = true;
    const double product = bench::fastestMs(3, [&] {
        auto r = reports::buildNapilista(layout, reports::allTechnicians, day, day,
                                         u"Napi munka utasítás"_s, &error);
        ok = ok && r && report::writePdf(*r, pdf, &error);
    });
    if (!ok) {
        QTextStream(stderr) << error << Qt::endl;
        return 1;
    }
    const double bare = bench::fastestMs(3, [&] {
        bareRows(day);
        bareDraw(pages, barePdf);
    });
    bench::report(u"napilista_mind_%1_pages_pdf"_s.arg(pages.pageCount()), product, bare);
    return 0;
}
