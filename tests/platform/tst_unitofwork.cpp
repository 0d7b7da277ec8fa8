#include "core/dat.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "platform/unitofwork.h"
#include "support/fbserver.h"
#include "support/testdb.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <QTextStream>

using namespace mivo;
using namespace mivo::db;
using namespace Qt::StringLiterals;

namespace
{

const QString counterTable = u"CREATE TABLE SZAMLALO (ID INTEGER NOT NULL PRIMARY KEY, "
                             u"N INTEGER NOT NULL)"_s;

// One increment of counter row `id`, made as workstations make them: read, then insert the
// row when it is missing or add one to it. Builds its statements afresh on every run.
Outcome increment(const QString& connection, int id)
{
    Query read(connection);
    read.setSql(u"SELECT N FROM SZAMLALO WHERE ID = :id"_s);
    read.bind(u"id"_s, id);
    if (!read.exec())
        return Outcome::failure(read);
    Query write(connection);
    write.setSql(read.first() ? u"UPDATE SZAMLALO SET N = N + 1 WHERE ID = :id"_s
                              : u"INSERT INTO SZAMLALO (ID, N) VALUES (:id, 1)"_s);
    write.bind(u"id"_s, id);
    if (!write.exec())
        return Outcome::failure(write);
    return {};
}

int counter(int id)
{
    return scalar(u"d_mivo"_s, u"SELECT N FROM SZAMLALO WHERE ID = :id"_s, {{u"id"_s, id}}).toInt();
}

const char* workerVariable = "MIVO_UNIT_WORKER";

// The test binary run as a second workstation: "location;runs" in MIVO_UNIT_WORKER.
// Prints the number of reruns and ends with 0 when every unit committed.
int worker()
{
    const QStringList args = qEnvironmentVariable(workerVariable).split(u';');
    QTextStream out(stdout);
    Connection& c = Connection::named(u"d_mivo"_s);
    c.setParams({u"SERVER NAME="_s + args.value(0), u"USER NAME="_s + Td::builtinUser,
                 u"PASSWORD="_s + Td::builtinPassword});
    if (!c.open()) {
        out << "open: " << c.lastError() << Qt::endl;
        return 2;
    }
    const int runs = args.value(1).toInt();
    // Two processes incrementing one row back to back keep it locked almost all the time: one
    // of them may have to wait until the other goes idle, longer than a user action would.
    const RetryPolicy patient{40, 10, 200};
    int reruns = 0;
    for (int i = 0; i < runs; ++i) {
        const UnitResult r = runUnitOfWork(
            c.name(), [](const QString& connection) { return increment(connection, 1); }, patient);
        if (!r.ok()) {
            out << "unit " << i << " failed after " << r.attempts << " runs (" << r.errorCode
                << "): " << r.message << Qt::endl;
            return 1;
        }
        reruns += r.attempts - 1;
    }
    out << "reruns " << reruns << Qt::endl;
    Connection::closeAll();
    return 0;
}

} // namespace

class TestUnitOfWork : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { Connection::closeAll(); }

    void conflictRerunsTheWholeUnit()
    {
        TestDb db(QStringList{});
        QVERIFY2(db.ok(), qPrintable(db.error()));
        QVERIFY(db.exec(counterTable));
        QVERIFY(db.exec("INSERT INTO SZAMLALO (ID, N) VALUES (1, 0)"));
        QVERIFY(db.openConnection("d_other"));
        int runs = 0;
        const UnitResult r = runUnitOfWork("d_mivo", [&](const QString& connection) {
            // Another workstation commits its increment after this run began: the run's
            // update conflicts at once (nothing waits), a fresh run succeeds.
            if (++runs == 1 && !execute("d_other", "UPDATE SZAMLALO SET N = N + 1"))
                return Outcome::failure("other workstation");
            return increment(connection, 1);
        });
        QVERIFY2(r.ok(), qPrintable(r.message));
        QCOMPARE(r.attempts, 2);
        QCOMPARE(counter(1), 2);
    }

    void concurrentFirstInsertRerunsAsUpdate()
    {
        TestDb db(QStringList{});
        QVERIFY(db.exec(counterTable));
        QVERIFY(db.openConnection("d_other"));
        int runs = 0;
        const UnitResult r = runUnitOfWork("d_mivo", [&](const QString& connection) {
            if (++runs == 1 && !execute("d_other", "INSERT INTO SZAMLALO (ID, N) VALUES (1, 1)"))
                return Outcome::failure("other workstation");
            return increment(connection, 1);
        });
        QVERIFY2(r.ok(), qPrintable(r.message));
        QCOMPARE(r.attempts, 2);
        QCOMPARE(counter(1), 2);
    }

    void conflictsThatGoOnExhaustTheRuns()
    {
        TestDb db(QStringList{});
        QVERIFY(db.exec(counterTable));
        QVERIFY(db.exec("INSERT INTO SZAMLALO (ID, N) VALUES (1, 0)"));
        QVERIFY(db.openConnection("d_other"));
        const UnitResult r = runUnitOfWork(
            "d_mivo",
            [&](const QString& connection) {
                if (!execute("d_other", "UPDATE SZAMLALO SET N = N + 1"))
                    return Outcome::failure("other workstation");
                return increment(connection, 1);
            },
            RetryPolicy{3, 1});
        QCOMPARE(r.status, UnitResult::Status::Conflict);
        QCOMPARE(r.attempts, 3);
        QCOMPARE(r.errorCode, UpdateConflictCode);
        QVERIFY2(r.message.contains("update conflicts with concurrent update"),
                 qPrintable(r.message));
        QCOMPARE(counter(1), 3);
    }

    void failuresStopAndRollBack_data()
    {
        QTest::addColumn<QString>("failingSql");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("code");
        QTest::newRow("the work's own") << QString() << "Nincs ilyen tétel." << 0;
        QTest::newRow("a statement") << "UPDATE SZAMLALO SET NINCS = 1"
                                     << "NINCS" << -206;
        QTest::newRow("a real duplicate") << "INSERT INTO SZAMLALO (ID, N) VALUES (1, 1)"
                                          << "PRIMARY" << KeyViolationCode;
    }
    void failuresStopAndRollBack()
    {
        QFETCH(QString, failingSql);
        QFETCH(QString, message);
        QFETCH(int, code);
        TestDb db(QStringList{});
        QVERIFY(db.exec(counterTable));
        QVERIFY(db.exec("INSERT INTO SZAMLALO (ID, N) VALUES (1, 0)"));
        const UnitResult r = runUnitOfWork(
            "d_mivo",
            [&](const QString& connection) {
                const Outcome done = increment(connection, 1);
                if (!done.ok())
                    return done;
                if (failingSql.isEmpty())
                    return Outcome::failure(message);
                Query q(connection);
                q.setSql(failingSql);
                return q.exec() ? Outcome() : Outcome::failure(q);
            },
            RetryPolicy{3, 1});
        QCOMPARE(r.status, UnitResult::Status::Failed);
        QVERIFY2(r.message.contains(message), qPrintable(r.message));
        QCOMPARE(r.errorCode, code);
        // A key violation is rerun in case it came from a concurrent insert.
        QCOMPARE(r.attempts, code == KeyViolationCode ? 3 : 1);
        QCOMPARE(counter(1), 0);
    }

    // Two workstations (processes) increment one row through a server, each many times:
    // every increment lands exactly once.
    void twoWorkstationsIncrementOneRow()
    {
        FirebirdServer server;
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        TestDb db(QStringList{}, "d_mivo", &server);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        QVERIFY(db.exec(counterTable));
        const int runs = 300;
        QProcess workers[2];
        for (QProcess& w : workers) {
            w.setProcessChannelMode(QProcess::MergedChannels);
            startWorker(w, workerVariable, db.location(), QString::number(runs));
        }
        for (QProcess& w : workers) {
            QVERIFY(w.waitForFinished(300000));
            const QString output = QString::fromUtf8(w.readAll()).trimmed();
            qInfo("%s", qPrintable(output));
            QVERIFY2(w.exitStatus() == QProcess::NormalExit && w.exitCode() == 0,
                     qPrintable(output));
        }
        QCOMPARE(counter(1), 2 * runs);
    }
};

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsSet(workerVariable)) {
        QCoreApplication app(argc, argv);
        return worker();
    }
    QCoreApplication app(argc, argv);
    TestUnitOfWork test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_unitofwork.moc"
