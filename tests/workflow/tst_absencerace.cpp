// Two workstations on one technician's jobs through a Firebird server: one records his
// absence while the other keeps reserving, releasing and unassigning; reservations and
// states stay consistent, and a job changed meanwhile is taken as changed.

#include "support/fbserver.h"
#include "support/testdb.h"

#include "core/altproc.h"
#include "core/clock.h"
#include "core/dat.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "platform/unitofwork.h"
#include "workflow/absence.h"
#include "workflow/partshook.h"
#include "workflow/partsstock.h"
#include "workflow/stockrecount.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <QTextStream>

using namespace mivo;
using namespace mivo::workflow;
using namespace Qt::StringLiterals;

namespace
{

const char* workerVariable = "MIVO_ABSENCE_WORKER";

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

// "location;busy;first job;last job": reserves a part for each job still given out to SZ1
// and gives every third back to the pool, round after round, until the jobs are all gone.
// "location;hold;job": documents the job in a transaction held open for a second.
int worker()
{
    const QStringList args = qEnvironmentVariable(workerVariable).split(u';');
    QTextStream out(stdout);
    if (!openWorkerConnection(args.value(0), out))
        return 2;
    if (args.value(1) == u"hold"_s) {
        return holdChangeForASecond(
            u"UPDATE MUNKA SET ALLAPOT = 'OK', MUNKAD = '2030.05.06' WHERE KOD = :k"_s,
            args.value(2).toInt(), out);
    }
    const int first = args.value(2).toInt(), last = args.value(3).toInt();
    const db::RetryPolicy patient{60, 5, 200};
    int steps = 0, reruns = 0;
    for (int round = 0; round < 50; ++round) {
        int claimed = 0;
        for (int job = first; job <= last; ++job) {
            const bool giveBack = (job + round) % 3 == 0;
            bool took = false;
            const db::UnitResult r = db::runUnitOfWork(
                u"d_mivo"_s,
                [&](const QString& connection) {
                    // Claims the job while it is still given out to SZ1; the row stays
                    // locked until the unit ends.
                    db::Query q(connection);
                    q.setSql(u"UPDATE MUNKA SET "_s +
                             (giveBack ? u"ALLAPOT = 'BE', SZERELOT = ''"_s : u"TERVT = TERVT"_s) +
                             u" WHERE KOD = :k AND ALLAPOT = 'KI' AND SZERELOT = 'SZ1'"_s);
                    q.bind(u"k"_s, job);
                    if (!q.exec())
                        return db::Outcome::failure(q);
                    took = q.rowsAffected() == 1;
                    if (!took)
                        return db::Outcome();
                    const PartsStock stock(connection);
                    const PartsHook::Result done =
                        giveBack ? stock.release(job, u"SZ1"_s)
                                 : stock.reserveAndRecord(job, 100, 0, u"SZ1"_s,
                                                          {{u"A-1"_s, {}, u"1"_s, 201, {}}});
                    return done.ok ? db::Outcome()
                                   : db::Outcome::failure(done.message, done.errorCode);
                },
                patient);
            reruns += r.attempts - 1;
            if (!r.ok()) {
                out << "job " << job << ": " << r.message << Qt::endl;
                return 1;
            }
            if (took) {
                ++claimed;
                if (++steps == 20)
                    out << "busy" << Qt::endl;
            }
        }
        if (claimed == 0)
            break;
    }
    out << "steps " << steps << " reruns " << reruns << Qt::endl;
    db::Connection::closeAll();
    return 0;
}

} // namespace

class TestAbsenceRace : public QObject
{
    Q_OBJECT
    FirebirdServer m_server;

    QProcess* newWorker(const TestDb& db, const QString& args)
    {
        auto* w = new QProcess(this);
        startWorker(*w, workerVariable, db.location(), args);
        return w;
    }

    void addJobs(TestDb& db, int count, const QDate& firstDay)
    {
        db::Transaction t(u"d_mivo"_s);
        db::Query q;
        q.setSql(u"INSERT INTO MUNKA (KOD, ALLAPOT, SZERELOT, TERVD, TERVT, UGYFEL) "
                 "VALUES (:k, 'KI', 'SZ1', :d, '08', 1)"_s);
        for (int kod = 1; kod <= count; ++kod) {
            q.bind(u"k"_s, kod);
            q.bind(u"d"_s, alt::formatDate(firstDay.addDays((kod - 1) % 14)));
            QVERIFY2(q.exec(), qPrintable(q.lastError()));
        }
        QVERIFY(t.commit());
        Q_UNUSED(db);
    }

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(m_server.start(&error), qPrintable(error));
    }
    void init()
    {
        clock::set(QDateTime(QDate(2030, 5, 2), QTime(9, 30)));
        Td::instance().userCode = u"ANNA"_s;
    }
    void cleanup()
    {
        clock::set({});
        db::Connection::closeAll();
    }

    void absenceWhileTheOtherReserves()
    {
        TestDb db(TestDb::allOptional(), u"d_mivo"_s, &m_server);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        QVERIFY(db.exec(u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (201, 'A-1', "
                        "'Tömítés', 'A')"_s));
        const int jobs = 140;
        addJobs(db, jobs, QDate(2030, 5, 6));
        QProcess* b = newWorker(db, u"busy;1;"_s + QString::number(jobs));
        QCOMPARE(readWorkerLine(*b), u"busy"_s);

        StockHook hook;
        QString message;
        const auto period = AbsencePeriod::of(u"2030.05.06"_s, u"2030.05.19"_s, &message);
        QVERIFY(period);
        const AbsenceResult r =
            AbsenceStore(u"d_mivo"_s, &hook).record(u"SZ1"_s, *period, u"BET"_s);
        QVERIFY2(r.ok, qPrintable(r.message));
        QVERIFY(b->waitForFinished(300000));
        const QString output = QString::fromUtf8(b->readAll()).trimmed();
        qInfo("absence after %d run(s), gave back %d; B: %s", r.attempts, r.givenBack,
              qPrintable(output));
        QVERIFY2(b->exitStatus() == QProcess::NormalExit && b->exitCode() == 0, qPrintable(output));

        QCOMPARE(
            db::scalar(u"d_mivo"_s, u"SELECT COUNT(*) FROM MUNKA WHERE ALLAPOT = 'KI'"_s).toInt(),
            0);
        QCOMPARE(
            db::scalar(u"d_mivo"_s, u"SELECT COUNT(*) FROM NAPIREND WHERE SZERELOKOD = 'SZ1'"_s)
                .toInt(),
            10);
        const RecountResult check = StockRecount().run(
            false, true, [](int, int, const QString&) {}, [](const QString&) {});
        QCOMPARE(check.faulty, 0);
        const double reserved =
            db::scalar(u"d_mivo"_s,
                       u"SELECT COALESCE(SUM(FOGLALT), 0) FROM ALK_KESZLET WHERE HOL = 'SZ1'"_s)
                .toDouble();
        QCOMPARE(reserved, 0.0);
    }

    void jobChangedWhileStoring()
    {
        TestDb db(TestDb::allOptional(), u"d_mivo"_s, &m_server);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        addJobs(db, 3, QDate(2030, 5, 6));
        QProcess* b = newWorker(db, u"hold;2"_s);
        QCOMPARE(readWorkerLine(*b), u"locked"_s);
        QString message;
        const auto period = AbsencePeriod::of(u"2030.05.06"_s, u"2030.05.08"_s, &message);
        const AbsenceResult r =
            AbsenceStore(u"d_mivo"_s, nullptr).record(u"SZ1"_s, *period, u"BET"_s);
        QVERIFY(b->waitForFinished(30000));
        QCOMPARE(b->exitCode(), 0);
        QVERIFY2(r.ok, qPrintable(r.message));
        QVERIFY2(r.attempts > 1, "the held row made the store run again");
        QCOMPARE(r.givenBack, 2);
        QCOMPARE(db::scalar(u"d_mivo"_s, u"SELECT ALLAPOT FROM MUNKA WHERE KOD = 2"_s).toString(),
                 u"OK"_s);
        QCOMPARE(
            db::scalar(u"d_mivo"_s, u"SELECT COUNT(*) FROM MUNKA WHERE ALLAPOT = 'BE'"_s).toInt(),
            2);
    }
};

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsSet(workerVariable)) {
        QCoreApplication app(argc, argv);
        return worker();
    }
    QCoreApplication app(argc, argv);
    TestAbsenceRace test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_absencerace.moc"
