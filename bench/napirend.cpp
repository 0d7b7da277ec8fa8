// The planning grid at office scale (60 technicians, 500 000 jobs): "&Frissítés" for one day
// and "+" on "Aktuális nap:" through 20 days, each next to the same SQL run directly
// through the driver.
#include "benchdata.h"

#include "core/dat.h"
#include "workflow/adatfelv2.h"
#include "workflow/daynavigator.h"
#include "workflow/napirendgrid.h"

#include <QApplication>
#include <QDate>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QTextStream>

using namespace mivo;

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

// The grid's two statements of one day, prepared, bound and read through every row.
void bareDay(const QString& date, const QStringList& codes)
{
    QStringList marks;
    for (int i = 0; i < codes.size(); ++i)
        marks << QStringLiteral("?");
    const QString in = QStringLiteral("(") + marks.join(QStringLiteral(", ")) + QLatin1Char(')');
    const QString statements[] = {
        QStringLiteral("SELECT NAPIREND.SZERELOKOD, NAPIREND.MUNKAKEPES, TAVOLLET.NEV "
                       "FROM NAPIREND LEFT JOIN TAVOLLET ON TAVOLLET.KOD = NAPIREND.MUNKAKEPES "
                       "WHERE NAPIREND.DATUM = ? AND NAPIREND.SZERELOKOD IN ") +
            in,
        QStringLiteral(
            "SELECT MUNKA.KOD, MUNKA.SZERELOT, MUNKA.TERVT, MUNKA.ALLAPOT, MUNKA.LEMONDTA, "
            "MUNKA.TERVTEV, UGYFEL.IRSZAM, UGYFEL.VAROS, UGYFEL.UTCA "
            "FROM MUNKA JOIN UGYFEL ON UGYFEL.KOD = MUNKA.UGYFEL "
            "WHERE MUNKA.TERVD = ? AND MUNKA.SZERELOT IN ") +
            in + QStringLiteral(" ORDER BY MUNKA.TERVT, MUNKA.KOD"),
    };
    for (const QString& sql : statements) {
        QSqlQuery q(QSqlDatabase::database(QStringLiteral("d_mivo")));
        q.setForwardOnly(true);
        q.prepare(sql);
        q.addBindValue(date);
        for (const QString& code : codes)
            q.addBindValue(code);
        q.exec();
        while (q.next()) {
            for (int c = 0; c < q.record().count(); ++c)
                q.value(c);
        }
    }
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
    const QString path = bench::scaleDatabase();
    if (path.isEmpty() || !bench::openMain(path))
        return 1;
    const QString day = busiestDay();
    const QStringList codes = technicians();
    QTextStream(stderr) << "grid day " << day << ", " << codes.size() << " technicians" << Qt::endl;

    Td::instance().ownCompany = QStringLiteral("VELKOR");
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
