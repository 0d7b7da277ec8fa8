#include "core/dat.h"
#include "core/messages.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "support/testdb.h"

#include <QTest>

using namespace mivo;

class TestDat : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { db::Connection::closeAll(); }

    void connectFailuresShowTheirMessage_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("message");
        QTest::newRow("main, no location")
            << 1 << QString() << QString("Nem tudok kapcsolódni az adatbázishoz.");
        QTest::newRow("main, missing file") << 1 << QString("/nincs/ilyen.fdb")
                                            << QString("Nem tudok kapcsolódni az adatbázishoz.");
        QTest::newRow("SD, nothing given")
            << 2 << QString() << QString("Nem tudok kapcsolódni a SD szervíz adatbázishoz.");
        QTest::newRow("merchant") << 3 << QString("/nincs/merka.fdb")
                                  << QString("Nem tudok kapcsolódni a MERKA adatbázishoz.");
        QTest::newRow("handover folder") << 4 << QString("/nincs/mappa")
                                         << QString("Nem tudok kapcsolódni a küldés adatbázishoz.");
    }
    void connectFailuresShowTheirMessage()
    {
        QFETCH(int, number);
        QFETCH(QString, location);
        QFETCH(QString, message);
        ScriptedMessagesGuard messages;
        const QString folder = number == Td::Kuld ? location : QString();
        QVERIFY(!Td::instance().connect(number, number == Td::Kuld ? QString() : location, folder));
        QCOMPARE(messages->texts, QStringList{message});
    }

    void connectReopensAndUsesTheWorkingFolder()
    {
        TestDb db(QStringList{}, "d_setup");
        ScriptedMessagesGuard messages;
        Td& td = Td::instance();
        QVERIFY(td.connect(Td::Main, db.path()));
        QVERIFY(td.connect(Td::Main, db.path()));
        QCOMPARE(db::Connection::named("d_mivo").param("SERVER NAME"), db.path());
        QCOMPARE(db::Connection::named("d_mivo").param("USER NAME"), QString("SYSDBA"));
        QVERIFY(db::scalar("d_mivo", "SELECT COUNT(*) FROM ALLAPOT").toInt() > 0);

        td.workPath = db.dir();
        QVERIFY(td.connect(Td::Kuld, QString()));
        QCOMPARE(db::Connection::named("d_kuld").param("PATH"), db.dir());
        QCOMPARE(db::Connection::named("d_kuld").driverName(), QString("STANDARD"));
        QVERIFY(td.connect(99, QString()));
        QVERIFY(messages->texts.isEmpty());
    }

    void customerUpsertStoresOnlyChangesAndKnowsItsOwnKey()
    {
        TestDb db(QStringList{});
        QVERIFY(db.openConnection("d_other"));
        Td& td = Td::instance();
        QString error;

        Customer typed{0,  "Kiss Anna", "1117", "Budapest", "Fő utca 1.", "06-30-1234567",
                       "", "",          "",     ""};
        QVERIFY2(td.saveCustomer(typed, Customer{}, &error), qPrintable(error));
        QCOMPARE(typed.kod, 1);

        // Another workstation stores the very same customer meanwhile: each keeps its own key.
        QVERIFY(db::execute("d_other", "INSERT INTO UGYFEL (NEV, IRSZAM, VAROS, UTCA) VALUES "
                                       "('Kiss Anna', '1117', 'Budapest', 'Fő utca 1.')"));
        Customer twin = typed;
        twin.kod = 0;
        QVERIFY(td.saveCustomer(twin, Customer{}, &error));
        QCOMPARE(twin.kod, 3);

        const Customer loaded = typed;
        Customer unchanged = loaded;
        QVERIFY(db::execute("d_other", "UPDATE UGYFEL SET TELEFON = 'mások' WHERE KOD = 1"));
        QVERIFY(td.saveCustomer(unchanged, loaded, &error));
        QCOMPARE(db::scalar("d_mivo", "SELECT TELEFON FROM UGYFEL WHERE KOD = 1").toString(),
                 QString("mások"));

        Customer changed = loaded;
        changed.utca = "Fő utca 2.";
        QVERIFY(td.saveCustomer(changed, loaded, &error));
        QCOMPARE(changed.kod, 1);
        db::Query q;
        q.setSql("SELECT UTCA, TELEFON, FAX FROM UGYFEL WHERE KOD = 1");
        QVERIFY(q.exec() && q.first());
        QCOMPARE(q.text("UTCA"), QString("Fő utca 2."));
        QCOMPARE(q.text("TELEFON"), QString("06-30-1234567"));
        QVERIFY(!q.value("FAX").isNull());
        QCOMPARE(db::scalar("d_mivo", "SELECT COUNT(*) FROM UGYFEL").toInt(), 3);
    }

    void customerUpsertReportsTheDatabaseError()
    {
        TestDb db(QStringList{});
        Customer tooLong{0, QString(61, 'x'), "", "", "", "", "", "", "", ""};
        QString error;
        QVERIFY(!Td::instance().saveCustomer(tooLong, Customer{}, &error));
        QVERIFY2(error.contains("truncation", Qt::CaseInsensitive) ||
                     error.contains("overflow", Qt::CaseInsensitive),
                 qPrintable(error));
        QCOMPARE(tooLong.kod, 0);
    }
};

QTEST_GUILESS_MAIN(TestDat)
#include "tst_dat.moc"
