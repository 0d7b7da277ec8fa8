// The period lists: the activity list's statement over its conditions and orders, its report,
// and the absence report's groups and totals.

#include "reportdata.h"

#include "core/clock.h"
#include "core/dat.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "reports/activitylist.h"
#include "reports/qrkieso.h"
#include "reports/qrtevlista.h"
#include "reports/reportpages.h"

#include <QTest>

using namespace mivo;
using namespace mivo::reports;
using namespace Qt::StringLiterals;
using Kind = ActivityConditions::Kind;
using Order = ActivityConditions::Order;

Q_DECLARE_METATYPE(ActivityConditions)

namespace
{

QString allTexts(report::Report& r)
{
    report::PageModel pages;
    report::run(r, pages);
    QStringList out;
    for (int p = 1; p <= pages.pageCount(); ++p)
        out << pages.texts(p);
    return out.join(u'\n');
}

} // namespace

class TestPeriodLists : public QObject
{
    Q_OBJECT
    std::unique_ptr<ReportOffice> m_office;
    int m_done = 0, m_zarolt = 0, m_late = 0, m_plannedDoneLater = 0;

private slots:
    void init()
    {
        clock::set(QDateTime(QDate(2024, 3, 20), QTime(10, 0)));
        Td::instance().userName = u"Teszt Elek"_s;
        m_office = std::make_unique<ReportOffice>();
        QVERIFY2(m_office->db.ok(), qPrintable(m_office->db.error()));
        ReportOffice& o = *m_office;
        m_done = o.job(u"ARANY"_s, u"2024.03.01"_s,
                       {{u"ALLAPOT"_s, u"OK"_s},
                        {u"MUNKAD"_s, u"2024.03.11"_s},
                        {u"SZERELOM"_s, u"B2"_s},
                        {u"MUNKATEV"_s, u"J"_s},
                        {u"LEIRASM"_s, u"Szelep cserélve, a kazán újra üzemel"_s}});
        m_zarolt = o.job(u"ARANY"_s, u"2024.03.01"_s,
                         {{u"ALLAPOT"_s, u"ZA"_s},
                          {u"MUNKAD"_s, u"2024.03.10"_s},
                          {u"SZERELOM"_s, u"ARANY"_s},
                          {u"MUNKATEV"_s, u"KAR"_s},
                          {u"UGYFEL"_s, o.nagy}});
        m_late = o.job(u"ARANY"_s, u"2024.03.01"_s,
                       {{u"ALLAPOT"_s, u"OK"_s},
                        {u"MUNKAD"_s, u"2024.04.02"_s},
                        {u"SZERELOM"_s, u"ARANY"_s},
                        {u"MUNKATEV"_s, u"KAR"_s}});
        // Planned inside the period, documented outside it: no longer "KI", in no list.
        m_plannedDoneLater = o.job(u"B2"_s, u"2024.03.05"_s,
                                   {{u"ALLAPOT"_s, u"OK"_s},
                                    {u"MUNKAD"_s, u"2024.04.01"_s},
                                    {u"SZERELOM"_s, u"B2"_s},
                                    {u"MUNKATEV"_s, u"KAR"_s}});
    }
    void cleanup()
    {
        clock::set({});
        m_office.reset();
    }

    void query_data()
    {
        QTest::addColumn<ActivityConditions>("conditions");
        QTest::addColumn<QString>("expected"); // job names in order
        auto c = [](Kind kind, Order first, Order second) {
            ActivityConditions a;
            a.from = u"2024.03.01"_s;
            a.to = u"2024.03.31"_s;
            a.kind = kind;
            a.primary = first;
            a.secondary = second;
            return a;
        };
        // The afternoon job's appliance type has no ARU row: it is in no list.
        QTest::newRow("assigned by technician, date")
            << c(Kind::Assigned, Order::Technician, Order::Date) << u"morning tuesday bodo"_s;
        QTest::newRow("assigned by date, technician")
            << c(Kind::Assigned, Order::Date, Order::Technician) << u"morning bodo tuesday"_s;
        QTest::newRow("assigned, same order twice")
            << c(Kind::Assigned, Order::Date, Order::Date) << u"morning bodo tuesday"_s;
        auto b2 = c(Kind::Assigned, Order::Activity, Order::Date);
        b2.technician = u"B2"_s;
        QTest::newRow("assigned, technician") << b2 << u"bodo"_s;
        auto compact = c(Kind::Assigned, Order::Date, Order::Date);
        compact.from = u"20240305"_s;
        compact.to = u"202403"_s + u"31"_s;
        QTest::newRow("compact dates") << compact << u"tuesday"_s;
        QTest::newRow("completed by activity, date")
            << c(Kind::Completed, Order::Activity, Order::Date) << u"done zarolt"_s;
        QTest::newRow("completed by date")
            << c(Kind::Completed, Order::Date, Order::Activity) << u"zarolt done"_s;
        auto arany = c(Kind::Completed, Order::Date, Order::Date);
        arany.technician = u"ARANY"_s;
        QTest::newRow("completed, technician") << arany << u"zarolt"_s;
        auto jav = c(Kind::Completed, Order::Date, Order::Date);
        jav.activity = u"J"_s;
        QTest::newRow("completed, activity") << jav << u"done"_s;
        auto customer = c(Kind::Assigned, Order::Date, Order::Date);
        customer.customer = -1; // set in the test: Nagy Éva
        QTest::newRow("assigned, customer") << customer << u"morning"_s;
        auto type = c(Kind::Completed, Order::Date, Order::Date);
        type.applianceType = -1; // set in the test: an unused type
        QTest::newRow("completed, appliance type") << type << QString();
    }
    void query()
    {
        QFETCH(ActivityConditions, conditions);
        QFETCH(QString, expected);
        ReportOffice& o = *m_office;
        if (conditions.customer == -1)
            conditions.customer = o.nagy;
        if (conditions.applianceType == -1)
            conditions.applianceType = o.szelep;
        const std::map<int, QString> names{
            {o.morning, u"morning"_s}, {o.tuesday, u"tuesday"_s},
            {o.bodo, u"bodo"_s},       {o.afternoon, u"afternoon"_s},
            {m_done, u"done"_s},       {m_zarolt, u"zarolt"_s},
            {m_late, u"late"_s},       {m_plannedDoneLater, u"plannedDoneLater"_s}};
        QString message;
        const std::optional<ActivityQuery> q = buildActivityQuery(conditions, &message);
        QVERIFY2(q, qPrintable(message));
        db::Query run;
        run.setSql(q->sql);
        for (const auto& [name, value] : q->params)
            run.bind(name, value);
        QVERIFY2(run.exec(), qPrintable(run.lastError()));
        QStringList got;
        while (run.next())
            got << names.at(run.integer(u"KOD"_s));
        QCOMPARE(got.join(u' '), expected);
        QVERIFY(!q->sql.contains(u"B2"_s) && !q->sql.contains(u"2024"_s)); // all bound
    }

    void validation_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("failing");
        QTest::newRow("invalid from")
            << u"2024.13.01"_s << u"2024.03.31"_s << u"Hibás dátum.\n2024.13.01"_s << 0;
        QTest::newRow("empty to") << u"2024.03.01"_s << u""_s << u"Hibás dátum.\n"_s << 1;
        QTest::newRow("reversed") << u"2024.03.31"_s << u"2024.03.01"_s << u"Rossz intervallum."_s
                                  << 1;
        QTest::newRow("reversed in mixed forms")
            << u"20240331"_s << u"2024.03.30"_s << u"Rossz intervallum."_s << 1;
    }
    void validation()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, message);
        QFETCH(int, failing);
        ActivityConditions c;
        c.from = from;
        c.to = to;
        QString got;
        int end = -1;
        QVERIFY(!buildActivityQuery(c, &got, &end));
        QCOMPARE(got, message);
        QCOMPARE(end, failing);
    }

    void activityReport()
    {
        ActivityConditions c;
        c.from = u"2024.03.01"_s;
        c.to = u"2024.03.31"_s;
        QString error;
        auto r = buildTevlista(c, u"Időszaki tevékenység lista"_s, &error);
        QVERIFY2(r, qPrintable(error));
        const QString text = allTexts(*r);
        QVERIFY2(text.contains(u"Időszak: 2024.03.01 -> 2024.03.31"_s), qPrintable(text));
        QVERIFY(text.contains(u"Nyomtatta: Teszt Elek"_s));
        QVERIFY(text.contains(u"Szelep cserélve, a kazán újra üzemel"_s));
        QVERIFY(text.contains(u"2024.03.11"_s));
        QVERIFY(text.contains(u"Bodó Ede"_s));
        QVERIFY(text.contains(u"Összes tétel: 2"_s));
        QVERIFY(!text.contains(u"Éves karbantartás"_s)); // LEIRAST is the assigned list's

        c.kind = Kind::Assigned;
        c.technician = u"NOBODY"_s;
        r = buildTevlista(c, u"Időszaki tevékenység lista"_s, &error);
        QVERIFY(r);
        const QString empty = allTexts(*r);
        QVERIFY(empty.contains(u"Összes tétel: 0"_s));
        QVERIFY(empty.contains(u"Szerelő"_s));
    }

    // Groups per technician by name, dates with weekday names, only reasons that count as
    // lost time; "MIND" and one technician.
    void absenceReport()
    {
        ReportOffice& o = *m_office;
        auto mark = [&](const QString& who, const QString& day, const QString& why) {
            o.insert(u"NAPIREND"_s,
                     {{u"SZERELOKOD"_s, who}, {u"DATUM"_s, day}, {u"MUNKAKEPES"_s, why}});
        };
        mark(u"B2"_s, u"2024.03.04"_s, u"BET"_s);
        mark(u"ARANY"_s, u"2024.03.05"_s, u"BET"_s);
        mark(u"ARANY"_s, u"2024.03.06"_s, u"OKT"_s);
        mark(u"ARANY"_s, u"2024.03.07"_s, u"BET"_s);
        mark(u"ARANY"_s, u"2024.04.01"_s, u"BET"_s);
        QString error;
        auto r = buildKieso(u"MIND"_s, u"2024.03.01"_s, u"2024.03.31"_s, u"Munkából kieső idő"_s,
                            &error);
        QVERIFY2(r, qPrintable(error));
        report::PageModel pages;
        report::run(*r, pages);
        const QStringList t = pages.texts(1);
        const QStringList expected{u"Arany Béla"_s,
                                   u"2024.03.05 kedd"_s,
                                   u"Betegség"_s,
                                   u"2024.03.07 csütörtök"_s,
                                   u"Betegség"_s,
                                   u"Összes kieső nap: 2"_s,
                                   u"Bodó Ede"_s,
                                   u"2024.03.04 hétfő"_s,
                                   u"Betegség"_s,
                                   u"Összes kieső nap: 1"_s,
                                   u"Mind összesen kieső nap: 3"_s};
        const qsizetype start = t.indexOf(u"Arany Béla"_s);
        QVERIFY2(start > 0, qPrintable(t.join(u'|')));
        QCOMPARE(t.mid(start), expected);
        QVERIFY(t.contains(u"Időszak: 2024.03.01 -> 2024.03.31"_s));
        QVERIFY(t.contains(u"Nyomtatta: Teszt Elek"_s));
        QVERIFY(t.contains(u"Munkából kieső idő"_s));
        const auto& placed = pages.placed(1);
        for (const auto& p : placed)
            if (p.text == u"Arany Béla"_s)
                QVERIFY(p.style.bold);
        checkReadable(pages);

        r = buildKieso(u"B2"_s, u"2024.03.01"_s, u"2024.03.31"_s, u"Munkából kieső idő"_s, &error);
        QVERIFY(r);
        const QString one = allTexts(*r);
        QVERIFY(!one.contains(u"Arany Béla"_s));
        QVERIFY(one.contains(u"Mind összesen kieső nap: 1"_s));
    }
};

QTEST_MAIN(TestPeriodLists)
#include "tst_periodlists.moc"
