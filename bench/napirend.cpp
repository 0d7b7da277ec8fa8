// The planning grid at office scale (60 technicians, 500 000 jobs): opening "Szervíz igény
// rögzítése", "&Frissítés" for one day and "+" on "Aktuális nap:" through 20 days, each next
// to the grid's own statements run bare through the driver.
#include "benchdata.h"

#include "core/altproc.h"
#include "core/dat.h"
#include "workflow/adatfelv2.h"
#include "workflow/daynavigator.h"
#include "workflow/jobrepository.h"
#include "workflow/napirend.h"
#include "workflow/napirendgrid.h"

#include <QApplication>
#include <QDate>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QTextStream>

using namespace mivo;
using namespace Qt::StringLiterals;

namespace
{

QStringList technicians()
{
    QSqlQuery q(QSqlDatabase::database(QStringLiteral("d_mivo")));
    q.prepare(QStringLiteral(
        "SELECT KOD FROM SZERELO WHERE CEGKOD = 'VELKOR' AND AKTIV='I' ORDER BY NEV"));
    q.exec();
    QStringList codes;
    while (q.next())
        codes << q.value(0).toString().trimmed();
    return codes;
}

// The grid's two statements of one day, taken from the product, prepared, bound and read
// through every row.
void bareDay(const QString& date, const QStringList& codes)
{
    const workflow::SqlStatement statements[] = {
        workflow::NapirendModel::absenceStatement(date, codes),
        workflow::JobRepository::dayJobsStatement(date, codes),
    };
    for (const workflow::SqlStatement& statement : statements)
        bench::readBare(u"d_mivo"_s, statement.sql, statement.params);
}

// The busiest planned day: the worst case of a refresh.
QString busiestDay()
{
    QSqlQuery q(QSqlDatabase::database(QStringLiteral("d_mivo")));
    q.exec(QStringLiteral(
        "SELECT FIRST 1 TERVD FROM MUNKA WHERE TERVD > '' GROUP BY TERVD ORDER BY COUNT(*) DESC"));
    return q.next() ? q.value(0).toString().trimmed() : QString();
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!bench::openScaleDatabase())
        return 1;
    const QString day = busiestDay();
    const QStringList codes = technicians();
    QTextStream(stderr) << "grid day " << day << ", " << codes.size() << " technicians" << Qt::endl;

    Td::instance().ownCompany = QStringLiteral("VELKOR");

    // As the menu opens it: a new form, opened in mode "U" on today, shown with every column
    // filled and laid out.
    const QString today = alt::today();
    const double bareOpen = bench::fastestMs(5, [&] { bareDay(today, codes); });
    bool opened = true;
    const double formOpen = bench::fastestMs(5, [&] {
        auto* entry = new workflow::Tadatfelv2fm;
        entry->open(u"Szervíz igény rögzítése"_s, u"U"_s);
        QApplication::processEvents();
        opened = opened && entry->isVisible() &&
                 entry->grid()->model().technicianCount() == codes.size() &&
                 entry->grid()->model().columnDate(codes.size()) == today;
        delete entry;
    });
    if (!opened) {
        QTextStream(stderr) << "the form did not open with every column" << Qt::endl;
        return 1;
    }
    bench::report(u"request_form_open_60"_s, formOpen, bareOpen);

    workflow::Tadatfelv2fm form;
    form.open(QStringLiteral("Szervíz igény rögzítése"), QStringLiteral("U"));
    workflow::NapirendGrid* grid = form.grid();
    grid->currentDay()->setDate(day);
    grid->setAllDates(day);
    QApplication::processEvents();
    auto* refresh = form.findChild<QPushButton*>(QStringLiteral("b_frissit"));

    const double bareRefresh = bench::fastestMs(20, [&] { bareDay(day, codes); });
    const double gridRefresh = bench::fastestMs(20, [&] {
        refresh->click();
        QApplication::processEvents();
    });
    bench::report(QStringLiteral("grid_refresh_60_columns"), gridRefresh, bareRefresh);

    const QDate first = QDate::fromString(day, QStringLiteral("yyyy.MM.dd"));
    const double bareDays = bench::fastestMs(3, [&] {
        for (int i = 1; i <= 20; ++i)
            bareDay(first.addDays(i).toString(QStringLiteral("yyyy.MM.dd")), codes);
    });
    const double gridDays = bench::fastestMs(3, [&] {
        grid->currentDay()->setDate(day);
        for (int i = 0; i < 20; ++i) {
            grid->currentDay()->nextButton()->click();
            QApplication::processEvents();
        }
    });
    bench::report(QStringLiteral("grid_next_day_20_days"), gridDays, bareDays);
    return 0;
}
