#include "core/newdatabase.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "schema/demodata.h"
#include "schema/schemabuilder.h"
#include "support/testdb.h"

#include <QDir>
#include <QTest>

using namespace mivo;

class TestSchema : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { db::Connection::closeAll(); }

    void optionalTablesStayOptional_data()
    {
        QTest::addColumn<QStringList>("optional");
        QTest::newRow("none") << QStringList{};
        QTest::newRow("all") << TestDb::allOptional();
        for (const QString& table : TestDb::allOptional())
            QTest::newRow(qPrintable(table)) << QStringList{table};
    }
    void optionalTablesStayOptional()
    {
        QFETCH(QStringList, optional);
        TestDb db(optional);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        for (const QString& table : TestDb::allOptional()) {
            const int n =
                db::scalar("d_mivo",
                           "SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = :t",
                           {{"t", table}})
                    .toInt();
            QCOMPARE(n, optional.contains(table) ? 1 : 0);
        }
    }

    // A database of an older program gets the day bookings and the list indexes at start.
    void olderDatabaseIsUpgraded()
    {
        TestDb db(QStringList{});
        QVERIFY(db.exec("DROP TABLE NAPZAR"));
        QVERIFY(db.exec("DROP INDEX MUNKA_ALLAPOT"));
        QString error;
        QVERIFY2(schema::upgrade("d_mivo", &error), qPrintable(error));
        QCOMPARE(db::scalar("d_mivo", "SELECT COUNT(*) FROM RDB$INDICES WHERE RDB$INDEX_NAME = "
                                      "'MUNKA_ALLAPOT'")
                     .toInt(),
                 1);
        QVERIFY(db.exec("INSERT INTO NAPZAR (SZERELOKOD, DATUM) VALUES ('SZ1', '2030.01.01')"));
        QVERIFY2(schema::upgrade("d_mivo", &error), qPrintable(error)); // nothing left to do
    }

    void keysComeFromGeneratorsUnlessGiven()
    {
        TestDb db(QStringList{});
        QVERIFY(db.exec("INSERT INTO UGYFEL (NEV) VALUES ('a')"));
        QVERIFY(db.exec("INSERT INTO UGYFEL (KOD, NEV) VALUES (500, 'kézi szám')"));
        QVERIFY(db.exec("INSERT INTO UGYFEL (NEV) VALUES ('b')"));
        QCOMPARE(db::scalar("d_mivo", "SELECT MAX(KOD) FROM UGYFEL WHERE NEV = 'b'").toInt(), 2);
        QString error;
        QVERIFY(!db::execute("d_mivo", "INSERT INTO UGYFEL (KOD, NEV) VALUES (500, 'ütközik')", {},
                             &error));
        QVERIFY(db.exec("DELETE FROM UGYFEL"));
        QVERIFY(db.exec("SET GENERATOR GEN_UGYFEL TO 0"));
        QVERIFY(db.exec("INSERT INTO UGYFEL (NEV) VALUES ('újra')"));
        QCOMPARE(db::scalar("d_mivo", "SELECT KOD FROM UGYFEL").toInt(), 1);
        for (const char* sql : {"INSERT INTO KESZULEK (UGYFEL) VALUES (1) RETURNING KOD",
                                "INSERT INTO ARU (NEV) VALUES ('x') RETURNING BELSOKOD",
                                "INSERT INTO MUNKA (ALLAPOT) VALUES ('BE') RETURNING KOD"}) {
            db::Query q;
            q.setSql(sql);
            QCOMPARE(q.insertReturning().toInt(), 1);
        }
        QCOMPARE(db::scalar("d_mivo", "SELECT KULD FROM MUNKA").toInt(), 0);
    }

    void jobChangesLeaveTheirEarlierVersion()
    {
        TestDb db(QStringList{"MUNKA_LOG"});
        QVERIFY(db.exec("INSERT INTO MUNKA (ALLAPOT, SZERELOT, TERVD, JUZER, MIKORI) VALUES ('BE', "
                        "'', '', 'QVX', '2026.12.01 08:00:00')"));
        QVERIFY(db.exec("UPDATE MUNKA SET ALLAPOT = 'KI', SZERELOT = 'SZ0001', TERVD = "
                        "'2026.12.10', MIKORI = '2026.12.02 09:00:00'"));
        QVERIFY(db.exec("UPDATE MUNKA SET ALLAPOT = 'OK', MIKORI = '2026.12.11 10:00:00'"));
        db::Query q;
        q.setSql("SELECT ALLAPOT, SZERELOT, MIKORI FROM MUNKA_LOG WHERE KOD = 1 ORDER BY MIKORI");
        QVERIFY(q.exec());
        QCOMPARE(q.recordCount(), 2);
        QVERIFY(q.first());
        QCOMPARE(q.text("ALLAPOT"), QString("BE"));
        QVERIFY(q.next());
        QCOMPARE(q.text("ALLAPOT"), QString("KI"));
        QCOMPARE(q.text("SZERELOT"), QString("SZ0001"));
    }

    void codesCompareExactly()
    {
        TestDb db(QStringList{});
        QCOMPARE(db::scalar("d_mivo", "SELECT COUNT(*) FROM TEVEKENYS WHERE KOD = 'UZ'").toInt(),
                 0);
        QCOMPARE(db::scalar("d_mivo", "SELECT COUNT(*) FROM TEVEKENYS WHERE KOD = 'ÜZ'").toInt(),
                 1);
        QCOMPARE(db::scalar("d_mivo", "SELECT COUNT(*) FROM ALLAPOT WHERE KOD = 'be'").toInt(), 0);
        for (const char* code : {"ÜZ", "ÜE", "KAR", "GJ", "J", "ZA", "TO", "LM"})
            QCOMPARE(db::scalar("d_mivo", "SELECT COUNT(*) FROM TEVEKENYS WHERE KOD = :k",
                                {{"k", QString::fromUtf8(code)}})
                         .toInt(),
                     1);
        for (const char* state : {"BE", "KI", "OK", "ZA", "FO", "TAR", "TOR"})
            QCOMPARE(db::scalar("d_mivo", "SELECT COUNT(*) FROM ALLAPOT WHERE KOD = :k",
                                {{"k", QString::fromLatin1(state)}})
                         .toInt(),
                     1);
    }

    void namesSortAsReadersExpect()
    {
        TestDb db(QStringList{});
        for (const char* name : {"Zoltán Ede", "Ábel Anna", "Béla Kis", "Aladár Nagy"})
            QVERIFY(db::execute("d_mivo", "INSERT INTO UGYFEL (NEV) VALUES (:n)",
                                {{"n", QString::fromUtf8(name)}}));
        db::Query q;
        q.setSql("SELECT NEV FROM UGYFEL ORDER BY NEV");
        QVERIFY(q.exec());
        QStringList order;
        while (q.next())
            order << q.text("NEV");
        QCOMPARE(order, QStringList({"Ábel Anna", "Aladár Nagy", "Béla Kis", "Zoltán Ede"}));
        QCOMPARE(
            db::scalar("d_mivo", "SELECT COUNT(*) FROM UGYFEL WHERE NEV = 'Abel Anna'").toInt(), 0);
    }

    void viewsGiveTheColumnsUsed()
    {
        TestDb db(QStringList{});
        QVERIFY(db.exec("INSERT INTO UGYFEL (NEV, IRSZAM, VAROS, UTCA) VALUES ('Tóth Béla', "
                        "'2000', 'Szentendre', 'Fő tér 2.')"));
        QVERIFY(
            db.exec("INSERT INTO ARU (KOD, NEV, JELLEG) VALUES ('TF-K24', 'Termofix Kombi', 'K')"));
        QVERIFY(
            db.exec("INSERT INTO ARU (KOD, NEV, JELLEG) VALUES ('A1001', 'Gyújtóelektróda', 'A')"));
        QVERIFY(db.exec("INSERT INTO KESZ_ALK (TIPUS, ALKATRESZ) VALUES (1, 2)"));
        QVERIFY(db.exec("INSERT INTO KESZULEK (UGYFEL, TIPUS, GYARISZAM) VALUES (1, 1, 'GY-1')"));
        db::Query q;
        q.setSql("SELECT KOD, GYARISZAM, BEUZEMELES, UGYFELKOD, UGYFELNEV, UGYFELIRSZAM, "
                 "UGYFELVAROS, UGYFELUTCA, ARUKOD, ARUNEV FROM VW_KESZULEK");
        QVERIFY2(q.exec() && q.first(), qPrintable(q.lastError()));
        QCOMPARE(q.text("UGYFELNEV"), QString("Tóth Béla"));
        QCOMPARE(q.text("ARUKOD"), QString("TF-K24"));
        q.setSql("SELECT KESZULEK_KOD, KOD, NEV, BELSOKOD FROM VW_KESZ_ALK WHERE KESZULEK_KOD = "
                 "'TF-K24'");
        QVERIFY(q.exec() && q.first());
        QCOMPARE(q.text("KOD"), QString("A1001"));
        QCOMPARE(q.integer("BELSOKOD"), 2);
    }

    void demoDatabaseHasEveryStateAndBusySchedule()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("demo.fdb");
        QString error;
        QVERIFY2(createApplicationDatabase(path, 120, 0, 0, &error), qPrintable(error));
        QVERIFY(!createApplicationDatabase(path, 0, 0, 0, &error));
        QVERIFY(error.contains(path));

        db::Connection& c = db::Connection::named("d_mivo");
        c.setParams({"SERVER NAME=" + path, "USER NAME=SYSDBA", "PASSWORD=masterkey"});
        QVERIFY(c.open());
        for (const char* state : {"BE", "KI", "OK", "ZA", "FO", "TAR", "TOR"})
            QVERIFY2(db::scalar("d_mivo", "SELECT COUNT(*) FROM MUNKA WHERE ALLAPOT = :a",
                                {{"a", QString::fromLatin1(state)}})
                             .toInt() > 0,
                     state);
        QCOMPARE(db::scalar("d_mivo",
                            "SELECT COUNT(*) FROM SZERELO WHERE CEGKOD = 'VELKOR' AND AKTIV = 'I'")
                     .toInt(),
                 8);
        QCOMPARE(db::scalar("d_mivo",
                            "SELECT COUNT(*) FROM SZERELO WHERE CEGKOD = 'VELKOR' AND AKTIV = 'N'")
                     .toInt(),
                 2);
        QCOMPARE(db::scalar("d_mivo", "SELECT COUNT(*) FROM UGYFEL").toInt(), 120);
        // One job per technician and hour on the grid.
        QCOMPARE(db::scalar("d_mivo", "SELECT COUNT(*) FROM (SELECT SZERELOT, TERVD, TERVT FROM "
                                      "MUNKA WHERE ALLAPOT <> 'TOR' "
                                      "AND SZERELOT <> '' GROUP BY 1, 2, 3 HAVING COUNT(*) > 1)")
                     .toInt(),
                 0);
        QVERIFY(db::scalar("d_mivo", "SELECT COUNT(*) FROM NAPIREND").toInt() > 0);
        // Dates are padded "yyyy.mm.dd" everywhere.
        QCOMPARE(
            db::scalar("d_mivo",
                       "SELECT COUNT(*) FROM MUNKA WHERE TERVD <> '' AND CHAR_LENGTH(TERVD) <> 10")
                .toInt(),
            0);
    }
};

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
