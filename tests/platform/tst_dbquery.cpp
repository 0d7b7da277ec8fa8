#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "support/testdb.h"

#include <QTest>

using namespace mivo::db;
using namespace Qt::StringLiterals;

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

    void statementIsPreparedAgainAfterItsTransactionEnds()
    {
        TestDb db(QStringList{});
        Query insert;
        insert.setSql("INSERT INTO UGYFEL (NEV) VALUES (:nev)");
        Query count;
        count.setSql("SELECT COUNT(*) N FROM UGYFEL");
        {
            Transaction t("d_mivo");
            QVERIFY(t.isActive());
            for (const QString& name : {u"Első"_s, u"Második"_s, u"Harmadik"_s}) {
                insert.bind("nev", name);
                QVERIFY2(insert.exec(), qPrintable(insert.lastError()));
                QVERIFY2(count.exec() && count.first(), qPrintable(count.lastError()));
            }
            QCOMPARE(count.integer("N"), 3);
            // Bulk work inside one transaction prepares each statement once.
            QCOMPARE(insert.prepareCount(), 1);
            QCOMPARE(count.prepareCount(), 1);
            QVERIFY2(t.commit(), qPrintable(t.lastError()));
        }
        // The transaction's handle is gone: both run again, in autocommit and in the next
        // transaction, whether that one commits or rolls back.
        insert.bind("nev", u"Negyedik"_s);
        QVERIFY2(insert.exec(), qPrintable(insert.lastError()));
        for (bool commit : {false, true}) {
            Transaction t("d_mivo");
            insert.bind("nev", u"Ötödik"_s);
            QVERIFY2(insert.exec(), qPrintable(insert.lastError()));
            QVERIFY2(count.exec() && count.first(), qPrintable(count.lastError()));
            if (commit)
                QVERIFY2(t.commit(), qPrintable(t.lastError()));
        }
        QVERIFY2(insert.exec(), qPrintable(insert.lastError()));
        QVERIFY2(count.exec() && count.first(), qPrintable(count.lastError()));
        QCOMPARE(count.integer("N"), 6);
    }

    void secondTransactionOnAConnectionIsRefused()
    {
        TestDb db(QStringList{});
        Transaction outer("d_mivo");
        QVERIFY(outer.isActive());
        Transaction inner("d_mivo");
        QVERIFY(!inner.isActive());
        QVERIFY2(inner.lastError().contains("tranzakció"), qPrintable(inner.lastError()));
    }

    void errorsCarryTheDatabaseCode()
    {
        TestDb db(QStringList{});
        Query q;
        q.setSql("INSERT INTO ALLAPOT (KOD, NEV) VALUES ('BE', 'dupla')");
        QVERIFY(!q.exec());
        QCOMPARE(q.lastErrorCode(), KeyViolationCode);
        q.setSql("SELECT KOD FROM ALLAPOT WHERE KOD = :k");
        QVERIFY(!q.exec());
        QCOMPARE(q.lastErrorCode(), 0);
        QVERIFY(q.lastError().contains("k"));

        // An update of a row that another connection changed after this transaction began
        // conflicts at once: the other change is committed, nothing waits.
        QVERIFY(db.openConnection("d_other"));
        Transaction t("d_mivo");
        QVERIFY(execute("d_other", "UPDATE ALLAPOT SET NEV = 'másik' WHERE KOD = 'BE'"));
        Query update;
        update.setSql("UPDATE ALLAPOT SET NEV = 'enyém' WHERE KOD = 'BE'");
        QVERIFY(!update.exec());
        QCOMPARE(update.lastErrorCode(), UpdateConflictCode);
        QVERIFY2(update.lastError().contains("update conflicts with concurrent update"),
                 qPrintable(update.lastError()));
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
