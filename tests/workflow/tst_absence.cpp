// Recording a technician's absence: the jobs of the period go back to the pool, their parts
// reservations are released, the working days are marked; all or nothing.

#include "scheduledata.h"
#include "support/testdb.h"

#include "core/clock.h"
#include "core/dat.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "workflow/absence.h"
#include "workflow/partshook.h"
#include "workflow/partsstock.h"

#include <QTest>

using namespace mivo;
using namespace mivo::workflow;
using namespace Qt::StringLiterals;

namespace
{

// The stock feature's writes without its form: the release the grid's unassign uses.
class StockHook : public PartsHook
{
public:
    Result prepare(int, const QString&) override { return {}; }
    std::optional<QString> choose(const PartsRequest&) override { return std::nullopt; }
    Result release(const QString& connection, int jobCode, const QString& technician) override
    {
        return PartsStock(connection).release(jobCode, technician);
    }
    Result reserveAndRecord(const QString&, int, int, int, const QString&) override { return {}; }
    void empty() override {}
};

QVariant value(const QString& sql, const std::map<QString, QVariant>& params = {})
{
    return db::scalar(u"d_mivo"_s, sql, params);
}

QString state(int kod)
{
    return value(u"SELECT ALLAPOT FROM MUNKA WHERE KOD = :k"_s, {{u"k"_s, kod}}).toString();
}

QStringList marks(const QString& technician)
{
    db::Query q;
    q.setSql(u"SELECT DATUM, MUNKAKEPES FROM NAPIREND WHERE SZERELOKOD = :s ORDER BY DATUM"_s);
    q.bind(u"s"_s, technician);
    QStringList out;
    if (q.exec())
        while (q.next())
            out << q.text(u"DATUM"_s) + u"="_s + q.text(u"MUNKAKEPES"_s);
    return out;
}

AbsencePeriod period(const QString& from, const QString& to)
{
    QString message;
    const std::optional<AbsencePeriod> p = AbsencePeriod::of(from, to, &message);
    if (!p)
        qFatal("period %s", qPrintable(message));
    return *p;
}

} // namespace

class TestAbsence : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDb> m_db;
    int m_customer = 0;

private slots:
    void init()
    {
        clock::set(QDateTime(QDate(2030, 5, 2), QTime(9, 30)));
        Td::instance().userCode = u"ANNA"_s;
        m_db = std::make_unique<TestDb>();
        QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
        scheduledata::addTechnician(*m_db, u"SZ1"_s, u"Kovács Béla"_s);
        scheduledata::addTechnician(*m_db, u"SZ2"_s, u"Nagy Ede"_s);
        QVERIFY(m_db->exec(u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (100, "
                           "'K-100', 'Kazán 100', 'K')"_s));
        QVERIFY(m_db->exec(u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (201, 'A-1', "
                           "'Tömítés', 'A')"_s));
        m_customer =
            scheduledata::addCustomer(*m_db, u"Kiss Éva"_s, u"1111"_s, u"Budapest"_s, u"Fő u. 1"_s);
    }
    void cleanup()
    {
        clock::set({});
        db::Connection::closeAll();
        m_db.reset();
    }

    void periodRules_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("expected"); // "from..to" or the message
        QTest::newRow("dotted") << u"2030.05.10"_s << u"2030.05.13"_s
                                << u"2030.05.10..2030.05.13"_s;
        QTest::newRow("compact forms")
            << u"20300510"_s << u"203006"_s << u"2030.05.10..2030.06.01"_s;
        QTest::newRow("one day") << u"2030.05.10"_s << u"2030.05.10"_s
                                 << u"2030.05.10..2030.05.10"_s;
        QTest::newRow("invalid from")
            << u"2030.02.30"_s << u"2030.05.10"_s << u"Hibás dátum.\n2030.02.30"_s;
        QTest::newRow("empty to") << u"2030.05.10"_s << u""_s << u"Hibás dátum.\n"_s;
        QTest::newRow("reversed") << u"2030.05.13"_s << u"20300510"_s
                                  << u"Hibás dátum intervallum"_s;
    }
    void periodRules()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, expected);
        QString message;
        const std::optional<AbsencePeriod> p = AbsencePeriod::of(from, to, &message);
        QCOMPARE(p ? p->from + u".."_s + p->to : message, expected);
    }

    // Friday to Monday: two marks, four days' "KI" jobs back in the pool with their planned
    // day and hour and a stamp; documented and deleted jobs and other periods untouched.
    void fridayToMonday()
    {
        const QStringList days = {u"2030.05.10"_s, u"2030.05.11"_s, u"2030.05.12"_s,
                                  u"2030.05.13"_s};
        QList<int> given;
        for (const QString& d : days)
            given << scheduledata::addJob(scheduledata::planned(m_customer, u"SZ1"_s, d, u"08"_s));
        auto done = scheduledata::planned(m_customer, u"SZ1"_s, u"2030.05.10"_s, u"10"_s);
        done.allapot = u"OK"_s;
        auto deleted = scheduledata::planned(m_customer, u"SZ1"_s, u"2030.05.13"_s, u"10"_s);
        deleted.allapot = u"TOR"_s;
        const int doneKod = scheduledata::addJob(done);
        const int deletedKod = scheduledata::addJob(deleted);
        const int tuesday = scheduledata::addJob(
            scheduledata::planned(m_customer, u"SZ1"_s, u"2030.05.14"_s, u"08"_s));
        const int other = scheduledata::addJob(
            scheduledata::planned(m_customer, u"SZ2"_s, u"2030.05.10"_s, u"08"_s));

        const AbsenceResult r = AbsenceStore(u"d_mivo"_s, nullptr)
                                    .record(u"SZ1"_s, period(days.first(), days.last()), u"BET"_s);
        QVERIFY2(r.ok, qPrintable(r.message));
        QCOMPARE(r.givenBack, 4);
        QCOMPARE(r.reminder(), u"Ne feledje az aznapi 4 munkát másnak kiosztani!"_s);
        QCOMPARE(marks(u"SZ1"_s), QStringList({u"2030.05.10=BET"_s, u"2030.05.13=BET"_s}));
        for (int i = 0; i < given.size(); ++i) {
            db::Query q;
            q.setSql(u"SELECT ALLAPOT, SZERELOT, TERVD, TERVT, JUZER, MIKORI FROM MUNKA "
                     "WHERE KOD = :k"_s);
            q.bind(u"k"_s, given[i]);
            QVERIFY(q.exec() && q.first());
            QCOMPARE(q.text(u"ALLAPOT"_s), u"BE"_s);
            QCOMPARE(q.text(u"SZERELOT"_s), u""_s);
            QCOMPARE(q.text(u"TERVD"_s), days[i]);
            QCOMPARE(q.text(u"TERVT"_s), u"08"_s);
            QCOMPARE(q.text(u"JUZER"_s), u"ANNA"_s);
            QCOMPARE(q.text(u"MIKORI"_s), u"2030.05.02 09:30:00"_s);
        }
        QCOMPARE(state(doneKod), u"OK"_s);
        QCOMPARE(state(deletedKod), u"TOR"_s);
        QCOMPARE(state(tuesday), u"KI"_s);
        QCOMPARE(state(other), u"KI"_s);
    }

    void reminder_data()
    {
        QTest::addColumn<int>("jobs");
        QTest::addColumn<QString>("reminder");
        QTest::newRow("none") << 0 << QString();
        QTest::newRow("three") << 3 << u"Ne feledje az aznapi 3 munkát másnak kiosztani!"_s;
    }
    void reminder()
    {
        QFETCH(int, jobs);
        QFETCH(QString, reminder);
        for (int i = 0; i < jobs; ++i)
            scheduledata::addJob(
                scheduledata::planned(m_customer, u"SZ1"_s, u"2030.05.06"_s,
                                      QString::number(8 + i).rightJustified(2, u'0')));
        const AbsenceResult r =
            AbsenceStore(u"d_mivo"_s, nullptr)
                .record(u"SZ1"_s, period(u"2030.05.06"_s, u"2030.05.06"_s), u"SZ"_s);
        QVERIFY(r.ok);
        QCOMPARE(r.reminder(), reminder);
    }

    // A second recording replaces the reason; an empty reason makes the days working days.
    void remarkAndClear()
    {
        AbsenceStore store(u"d_mivo"_s, nullptr);
        QVERIFY(store.record(u"SZ1"_s, period(u"2030.05.06"_s, u"2030.05.07"_s), u"BET"_s).ok);
        QVERIFY(store.record(u"SZ1"_s, period(u"2030.05.07"_s, u"2030.05.08"_s), u"SZ"_s).ok);
        QCOMPARE(marks(u"SZ1"_s),
                 QStringList({u"2030.05.06=BET"_s, u"2030.05.07=SZ"_s, u"2030.05.08=SZ"_s}));
        QVERIFY(store.record(u"SZ1"_s, period(u"2030.05.06"_s, u"2030.05.06"_s), {}).ok);
        QCOMPARE(marks(u"SZ1"_s).first(), u"2030.05.06="_s);
    }

    // With the stock feature on, the parts the given-back jobs reserved go back to 0 at the
    // absent technician; the reservations of his jobs outside the period stay; a stock row
    // gone meanwhile is created with the release, as a job's own release does.
    void releasesReservations()
    {
        const int kod = scheduledata::addJob(
            scheduledata::planned(m_customer, u"SZ1"_s, u"2030.05.06"_s, u"08"_s));
        const int later = scheduledata::addJob(
            scheduledata::planned(m_customer, u"SZ1"_s, u"2030.05.09"_s, u"08"_s));
        const int same = scheduledata::addJob(
            scheduledata::planned(m_customer, u"SZ1"_s, u"2030.05.06"_s, u"09"_s));
        QVERIFY(m_db->exec(u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (202, 'A-2', "
                           "'Tömítés', 'A')"_s));
        const PartsStock stock;
        PartRow row{u"A-1"_s, {}, u"2"_s, 201, {}};
        QVERIFY(stock.reserveAndRecord(kod, 100, 0, u"SZ1"_s, {row}).ok);
        QVERIFY(stock.reserveAndRecord(later, 100, 0, u"SZ1"_s, {row}).ok);
        QVERIFY(
            stock.reserveAndRecord(same, 100, 0, u"SZ1"_s, {{u"A-2"_s, {}, u"1"_s, 202, {}}}).ok);
        QVERIFY(m_db->exec(u"DELETE FROM ALK_KESZLET WHERE MI = 'A-2'"_s));
        const QString reserved =
            u"SELECT FOGLALT FROM ALK_KESZLET WHERE HOL = 'SZ1' AND MI = 'A-1'"_s;
        QCOMPARE(value(reserved).toDouble(), 4.0);
        StockHook hook;
        const AbsenceResult r =
            AbsenceStore(u"d_mivo"_s, &hook)
                .record(u"SZ1"_s, period(u"2030.05.06"_s, u"2030.05.06"_s), u"BET"_s);
        QVERIFY2(r.ok, qPrintable(r.message));
        QCOMPARE(r.givenBack, 2);
        QCOMPARE(value(reserved).toDouble(), 2.0);
        QCOMPARE(
            value(u"SELECT FOGLALT FROM ALK_KESZLET WHERE HOL = 'SZ1' AND MI = 'A-2'"_s).toDouble(),
            -1.0);
        QCOMPARE(state(later), u"KI"_s);
    }

    // A failure after the give-back (the marks refused by the database) leaves every job
    // and mark as it was, and reports the database's text.
    void allOrNothing()
    {
        const int kod = scheduledata::addJob(
            scheduledata::planned(m_customer, u"SZ1"_s, u"2030.05.06"_s, u"08"_s));
        QVERIFY(m_db->exec(u"CREATE EXCEPTION E_NO_MARK 'marks refused'"_s));
        QVERIFY(m_db->exec(u"CREATE TRIGGER T_NO_MARK FOR NAPIREND BEFORE INSERT OR UPDATE AS "
                           "BEGIN EXCEPTION E_NO_MARK; END"_s));
        const AbsenceResult r =
            AbsenceStore(u"d_mivo"_s, nullptr)
                .record(u"SZ1"_s, period(u"2030.05.06"_s, u"2030.05.07"_s), u"BET"_s);
        QVERIFY(!r.ok);
        QVERIFY2(r.message.contains(u"marks refused"_s), qPrintable(r.message));
        QCOMPARE(r.reminder(), QString());
        QCOMPARE(state(kod), u"KI"_s);
        QVERIFY(marks(u"SZ1"_s).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestAbsence)
#include "tst_absence.moc"
