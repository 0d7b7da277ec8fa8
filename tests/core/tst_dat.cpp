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
};

QTEST_GUILESS_MAIN(TestDat)
#include "tst_dat.moc"
