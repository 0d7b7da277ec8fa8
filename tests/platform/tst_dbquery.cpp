#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "support/testdb.h"

#include <QTest>

using namespace mivo::db;

class TestDbQuery : public QObject
{
    Q_OBJECT
private slots:
    void namedParameterTwiceBindsBoth()
    {
        TestDb db(QStringList{});
        QVERIFY2(db.ok(), qPrintable(db.error()));
        QVERIFY(db.exec("INSERT INTO TAVOLLET (KOD, NEV) VALUES ('X1', 'X1')"));
        Query q;
        q.setSql("SELECT KOD FROM TAVOLLET WHERE KOD = :k OR NEV = :k");
        q.bind("k", "X1");
        QVERIFY2(q.exec(), qPrintable(q.lastError()));
        QCOMPARE(q.recordCount(), 1);
        QVERIFY(q.first());
        QCOMPARE(q.text("KOD"), QString("X1"));
    }

    void missingParameterIsAnError()
    {
        TestDb db(QStringList{});
        Query q;
        q.setSql("SELECT KOD FROM TAVOLLET WHERE KOD = :k");
        QVERIFY(!q.exec());
        QVERIFY(q.lastError().contains("k"));
    }

    void linesCanBeReplaced()
    {
        TestDb db(QStringList{});
        Query q;
        q.setLines({"SELECT KOD FROM ALLAPOT", "WHERE KOD = 'BE'", "ORDER BY KOD"});
        QVERIFY(q.exec());
        QCOMPARE(q.recordCount(), 1);
        q.lines()[1] = "WHERE KOD <> 'BE'";
        QVERIFY(q.exec());
        QCOMPARE(q.recordCount(), 6);
        QVERIFY(q.first());
        QCOMPARE(q.text("KOD"), QString("FO"));
        int rows = 1;
        while (q.next())
            ++rows;
        QCOMPARE(rows, 6);
        QVERIFY(q.eof());
    }

    void charValuesComeBackTrimmed()
    {
        TestDb db(QStringList{});
        Query q;
        q.setSql("SELECT CAST('AB' AS CHAR(6)) C FROM RDB$DATABASE");
        QVERIFY(q.exec() && q.first());
        QCOMPARE(q.value("C").toString(), QString("AB"));
    }

    void insertReturningGivesOwnKeyAndCounts()
    {
        TestDb db(QStringList{});
        Query q;
        q.setSql("INSERT INTO UGYFEL (NEV) VALUES (:nev) RETURNING KOD");
        q.bind("nev", "Első");
        const QVariant first = q.insertReturning();
        q.bind("nev", "Második");
        const QVariant second = q.insertReturning();
        QCOMPARE(first.toInt(), 1);
        QCOMPARE(second.toInt(), 2);

        Query u;
        u.setSql("UPDATE UGYFEL SET VAROS = 'Eger' WHERE KOD > 0");
        QVERIFY(u.exec());
        QCOMPARE(u.rowsAffected(), 2);
    }

    void errorsCarryTheDatabaseText()
    {
        TestDb db(QStringList{});
        Query q;
        q.setSql("SELECT NINCS FROM UGYFEL");
        QVERIFY(!q.exec());
        QVERIFY2(q.lastError().contains("NINCS"), qPrintable(q.lastError()));
        q.setSql("INSERT INTO ALLAPOT (KOD, NEV) VALUES ('BE', 'dupla')");
        QVERIFY(!q.exec());
        QVERIFY2(q.lastError().contains("PRIMARY", Qt::CaseInsensitive) ||
                     q.lastError().contains("unique", Qt::CaseInsensitive),
                 qPrintable(q.lastError()));
    }

    void reExecutionSeesOtherConnectionsCommits()
    {
        TestDb db(QStringList{});
        QVERIFY(db.openConnection("d_other"));
        Query reader;
        reader.setSql("SELECT COUNT(*) N FROM UGYFEL");
        QVERIFY(reader.exec() && reader.first());
        QCOMPARE(reader.integer("N"), 0);
        QVERIFY(execute("d_other", "INSERT INTO UGYFEL (NEV) VALUES ('Másik gép')"));
        QVERIFY(reader.exec() && reader.first());
        QCOMPARE(reader.integer("N"), 1);
    }

    void transactionRollsBackUnlessCommitted()
    {
        TestDb db(QStringList{});
        {
            Transaction t("d_mivo");
            QVERIFY(t.isActive());
            QVERIFY(execute("d_mivo", "INSERT INTO UGYFEL (NEV) VALUES ('Visszavont')"));
        }
        QCOMPARE(scalar("d_mivo", "SELECT COUNT(*) FROM UGYFEL").toInt(), 0);
    }

    void locations_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<bool>("local");
        QTest::newRow("absolute") << "/srv/mivo/mivo.fdb" << true;
        QTest::newRow("relative") << "demo/mivo.fdb" << true;
        QTest::newRow("windows") << "C:\\MIVO\\MIVO.FDB" << true;
        QTest::newRow("host") << "server:/srv/mivo.fdb" << false;
        QTest::newRow("loopback") << "127.0.0.1:/srv/mivo.fdb" << false;
        QTest::newRow("host and port") << "server/3051:/srv/mivo.fdb" << false;
        QTest::newRow("alias on host") << "server:mivo" << false;
    }
    void locations()
    {
        QFETCH(QString, location);
        QFETCH(bool, local);
        QCOMPARE(isLocalLocation(location), local);
    }
};

QTEST_GUILESS_MAIN(TestDbQuery)
#include "tst_dbquery.moc"
