// The history report of a customer's appliances (Tqr_elozmeny).

#include "reportdata.h"

#include "core/clock.h"
#include "core/dat.h"
#include "platform/dbquery.h"
#include "reports/qrelozmeny.h"
#include "reports/reportpages.h"

#include <QtTest>

using namespace mivo;
using namespace mivo::reports;
using namespace Qt::StringLiterals;

namespace
{

// Nagy Éva's boiler (sheet with yearly maintenance ordered) with the morning job and an
// older completed one, her second appliance without a sheet and with one job.
struct History {
    History()
    {
        if (!o.db.ok())
            return;
        o.insert(u"BEUZLAP"_s, {{u"SORSZAM"_s, u"B0001"_s},
                                {u"KESZULEK"_s, o.kazan},
                                {u"UGYFEL"_s, o.nagy},
                                {u"BEUZEMELES"_s, u"2019.09.30"_s},
                                {u"KERKARB"_s, u"I"_s}});
        QString error;
        QVERIFY2(db::execute(o.db.connectionName(),
                             u"UPDATE KESZULEK SET GYARISZAM = 'GY-1' WHERE KOD = :kod"_s,
                             {{u"kod"_s, o.kazan}}, &error),
                 qPrintable(error));
        older = o.job(u"B2"_s, u"2023.05.10"_s,
                      {{u"UGYFEL"_s, o.nagy},
                       {u"KESZULEK"_s, o.kazan},
                       {u"ALLAPOT"_s, u"OK"_s},
                       {u"FELVETELD"_s, u"2023.05.08"_s},
                       {u"MUNKAD"_s, u"2023.05.11"_s},
                       {u"SZERELOM"_s, u"ZZZ"_s},
                       {u"MUNKATEV"_s, u"KAR"_s},
                       {u"SZAMLASZAM"_s, u"SZ-17"_s},
                       {u"MUNKASZAM"_s, u"M-0007"_s},
                       {u"LEIRASM"_s, u"Tisztítás kész"_s}});
        o.job(u"B2"_s, u"2024.01.11"_s,
              {{u"UGYFEL"_s, o.nagy},
               {u"KESZULEK"_s, o.masik},
               {u"FELVETELD"_s, u"2024.01.09"_s},
               {u"LEIRAST"_s, u"Másik készülék"_s}});
    }
    ReportOffice o;
    int older = 0;
};

} // namespace

class TestElozmeny : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        clock::set(QDateTime(QDate(2024, 3, 4), QTime(10, 0)));
        Td::instance().userName = u"Kovács Kata"_s;
    }
    void cleanup() { clock::set({}); }

    void appliances_data()
    {
        QTest::addColumn<bool>("all");
        QTest::addColumn<bool>("second");
        QTest::newRow("every appliance") << true << true;
        QTest::newRow("the boiler") << false << false;
    }
    // Grouped by appliance with its sheet's data; the jobs by the date taken.
    void appliances()
    {
        QFETCH(bool, all);
        QFETCH(bool, second);
        History h;
        QVERIFY2(h.o.db.ok(), qPrintable(h.o.db.error()));
        QString error;
        auto r = buildElozmeny(h.o.nagy, all ? 0 : h.o.kazan, &error);
        QVERIFY2(r, qPrintable(error));
        report::PageModel pages;
        QCOMPARE(report::run(*r, pages), 1);
        checkReadable(pages, 1123, 794);
        const QStringList t = pages.texts(1);
        QCOMPARE(t.first(), u"Előzmény lista"_s);
        QVERIFY(t.contains(u"Nyomtatta: Kovács Kata"_s));
        QVERIFY(t.contains(u"Nagy Éva"_s));
        QVERIFY(t.contains(u"2600 Vác, Fő u. 2"_s));
        QVERIFY(t.contains(u"06-27-555-111"_s));
        const auto after = [&t](const QString& label, qsizetype from = 0) {
            const qsizetype i = t.indexOf(label, from);
            return i >= 0 && i + 1 < t.size() ? t.at(i + 1) : u"(nincs)"_s;
        };
        QCOMPARE(after(u"Készülék:"_s), u"Ariston Genus 24"_s);
        QCOMPARE(after(u"Gyári sz:"_s), u"GY-1"_s);
        QCOMPARE(after(u"Beüzemelve:"_s), u"2019.09.30"_s);
        QVERIFY(t.contains(u"Éves karbantartást megrendelte."_s));
        // The older job first; unknown technician codes print as they are.
        const qsizetype old = t.indexOf(u"2023.05.08"_s);
        const qsizetype morning = t.indexOf(u"Éves karbantartás"_s);
        QVERIFY(old >= 0 && morning > old);
        QCOMPARE(t.at(old - 1), u"OK"_s);
        QVERIFY(t.contains(u"ZZZ"_s));
        QVERIFY(t.contains(u"SZLA: SZ-17"_s));
        QVERIFY(t.contains(u"MSZ: M-0007"_s));
        QVERIFY(t.contains(u"Tisztítás kész"_s));
        // The planned day, part of day and activity's name in one column.
        QVERIFY(t.contains(u"2024.03.04 De Karbantartás"_s));
        QVERIFY(t.contains(u"Arany Béla"_s));
        // The morning job's parts under it; no job-number line without one.
        const qsizetype part = t.indexOf(u"2 db"_s);
        QVERIFY(part > morning);
        QCOMPARE(t.at(part + 1), u"SZ100"_s);
        QCOMPARE(t.at(part + 2), u"Szelep"_s);
        QCOMPARE(after(u"1 db"_s), u"GUMI"_s);
        QCOMPARE(t.count(u"MSZ: "_s), 0);
        QCOMPARE(t.count(u"MSZ: M-0007"_s), 1);
        QCOMPARE(t.contains(u"Másik készülék"_s), second);
        QCOMPARE(t.contains(u"Éves karbantartást nem kért."_s), second);
        QCOMPARE(t.count(u"Készülék:"_s), second ? 2 : 1);
    }

    // A customer without jobs still gets his header.
    void noJobs()
    {
        History h;
        QVERIFY2(h.o.db.ok(), qPrintable(h.o.db.error()));
        const int empty = h.o.insert(u"UGYFEL"_s, {{u"NEV"_s, u"Üres Ügyfél"_s}}, u"KOD"_s);
        QString error;
        auto r = buildElozmeny(empty, 0, &error);
        QVERIFY2(r, qPrintable(error));
        report::PageModel pages;
        QCOMPARE(report::run(*r, pages), 1);
        QVERIFY(pages.texts(1).contains(u"Üres Ügyfél"_s));
        QCOMPARE(pages.pageOf(u"Készülék:"_s), 0);
    }

    void unreadable()
    {
        History h;
        QVERIFY2(h.o.db.ok(), qPrintable(h.o.db.error()));
        QVERIFY(h.o.db.exec(u"DROP TABLE MUNKA_ALK"_s));
        QString error;
        QVERIFY(!buildElozmeny(h.o.nagy, 0, &error));
        QVERIFY2(error.contains(u"MUNKA_ALK"_s), qPrintable(error));
    }
};

QTEST_MAIN(TestElozmeny)
#include "tst_elozmeny.moc"
