#include "app/mivomain.h"
#include "core/clock.h"
#include "core/dat.h"
#include "core/ini.h"
#include "core/messages.h"
#include "core/paths.h"
#include "core/translation.h"
#include "framework/alapdat.h"
#include "platform/codepage.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "support/modal.h"
#include "support/testdb.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using namespace mivo;

namespace
{

void writeIni(const QString& dir, const QString& text)
{
    QFile f(QDir(dir).filePath("MIVO.INI"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(toWindows1250(text));
}

bool visible(Tmivomainfm& w, const char* component)
{
    return w.action(component)->isVisible();
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        Ini::instance().clear();
        Td::instance().clearRunValues();
        clock::set(QDateTime(QDate(2026, 12, 10), QTime(9, 30, 15)));
    }
    void cleanup()
    {
        db::Connection::closeAll();
        clock::set({});
    }

    void mainWindowShowsTitleVersionAndWholeMenu()
    {
        Tmivomainfm w;
        QCOMPARE(w.windowTitle(), QString("Mivo Koordinálás  * "));
        QCOMPARE(w.findChild<QLabel*>("l_version")->text(), QString("2.6.7"));
        QCOMPARE(w.findChild<QLabel*>("l_cim")->text(), QString(" M.I.V.O."));
        const QStringList components = {"keszulekek",
                                        "Alkatreszek",
                                        "Szolgaltatasok",
                                        "Szerelok",
                                        "kulsocegek",
                                        "Kulsosszerelok",
                                        "ugyfelek",
                                        "Kszlkek1",
                                        "keszlet",
                                        "tevekenysegek",
                                        "allapotok",
                                        "tavolletek",
                                        "vezerlo",
                                        "sz_juzer",
                                        "menuk",
                                        "tablak",
                                        "Kivlasztsutnirtkadsok1",
                                        "hibafelvetel",
                                        "kiosztas",
                                        "munkazaras",
                                        "okmunkajavit",
                                        "zartajto",
                                        "Folyamatban",
                                        "szerelokiesoido",
                                        "kulsosmunka",
                                        "napilista",
                                        "kiesolista",
                                        "tevekenyseglista",
                                        "elozmenylista",
                                        "Teljestevkenysglista1",
                                        "Sajtsszelltslista1",
                                        "levelgen",
                                        "Kijelentkezes",
                                        "jelszovaltas",
                                        "elsobeo",
                                        "SD_ser_bol",
                                        "adatatadas",
                                        "adatkuldes",
                                        "Adatfogadas",
                                        "Promramfrissitese",
                                        "alkkeszgen",
                                        "vege"};
        for (const QString& c : components)
            QVERIFY2(w.action(c), qPrintable(c));
        QCOMPARE(w.action("sz_juzer")->text(), QString("Felhasználók, jelszavak "));
        QCOMPARE(w.action("Kijelentkezes")->text(), QString("Kijelentkezés "));
        QCOMPARE(w.action("Adatfogadas")->text(), QString("Adatok fogadása (FTP-ről)"));
        QCOMPARE(w.menu("m_szotarak")->menuAction()->text(), QString("Szótárak"));
    }

    void featuresFollowTheTablesPresent_data()
    {
        QTest::addColumn<QStringList>("optional");
        QTest::addColumn<bool>("letters");
        QTest::addColumn<bool>("stock");
        QTest::addColumn<bool>("history");
        QTest::newRow("all") << TestDb::allOptional() << true << true << true;
        QTest::newRow("none") << QStringList{} << false << false << false;
        QTest::newRow("letters only") << QStringList{"LEVELKE"} << true << false << false;
        QTest::newRow("stock and history")
            << QStringList{"ALK_KESZLET", "MUNKA_LOG"} << false << true << true;
    }
    void featuresFollowTheTablesPresent()
    {
        QFETCH(QStringList, optional);
        QFETCH(bool, letters);
        QFETCH(bool, stock);
        QFETCH(bool, history);
        TestDb db(optional, "d_setup");
        QVERIFY2(db.ok(), qPrintable(db.error()));
        paths::setProgramDir(db.dir());
        writeIni(db.dir(), "DBSERVER=" + db.path() + "\r\nWPWD=NONE\r\n");
        ScriptedMessagesGuard messages;
        Tmivomainfm w;
        QVERIFY(w.runStartup());
        QVERIFY(messages->texts.isEmpty());
        QCOMPARE(w.menu("m_levelezes")->menuAction()->isVisible(), letters);
        QCOMPARE(visible(w, "keszlet"), stock);
        QCOMPARE(visible(w, "alkkeszgen"), stock);
        QCOMPARE(Td::instance().jobHistoryAvailable, history);
        QVERIFY(visible(w, "ugyfelek"));
        QVERIFY(!visible(w, "Adatfogadas"));
        QVERIFY(!visible(w, "SD_ser_bol"));
        QVERIFY(db::Connection::named("d_alap").isOpen());
        // The maintenance user may do everything in the editor.
        QCOMPARE(Tdm::instance().FrameworkRights, QStringLiteral("W"));
        QCOMPARE(Tdm::instance().FrameworkUser, QStringLiteral("Tarnoc Zivududezidi Kft"));
    }

    void configuredValuesAndMaintenanceUser()
    {
        TestDb db(QStringList{}, "d_setup");
        paths::setProgramDir(db.dir());
        writeIni(db.dir(),
                 "DBSERVER=" + db.path() +
                     "\r\nWPWD=NONE\r\nWORK_PATH=munka\\napi\r\n"
                     "FTP_SERVER=ftp.example.hu\r\nFTP_USER=mivo\r\nSD_DBALIAS=SDSZERVIZ\r\n");
        ScriptedMessagesGuard messages;
        Tmivomainfm w;
        QVERIFY(w.runStartup());
        const Td& td = Td::instance();
        QCOMPARE(td.userName, QString("Tarnoc Zivududezidi Kft"));
        QCOMPARE(td.userRights, QString("W9"));
        QCOMPARE(td.userCode, QString("QVX"));
        QCOMPARE(td.ownCompany, QString("VELKOR"));
        QCOMPARE(td.workPath, QDir(db.dir()).filePath("munka/napi"));
        QVERIFY(visible(w, "Adatfogadas"));
        QVERIFY(visible(w, "adatkuldes"));
        QVERIFY(visible(w, "SD_ser_bol"));
        QVERIFY(visible(w, "adatatadas"));
        QCOMPARE(Ini::instance().value("SQLTYPE"), QString("I"));
        QVERIFY(Ini::instance().contains("EXCELSUMFO"));
    }

    void sdAliasIsConsultedOnlyWithoutServerKey()
    {
        TestDb db(QStringList{}, "d_setup");
        paths::setProgramDir(db.dir());
        writeIni(db.dir(),
                 "DBSERVER=" + db.path() +
                     "\r\nWPWD=NONE\r\nSD_DBSERVER=\r\nSD_DBALIAS=SDSZERVIZ\r\nCEGKOD=KTHERM\r\n");
        ScriptedMessagesGuard messages;
        Tmivomainfm w;
        QVERIFY(w.runStartup());
        QVERIFY(!visible(w, "SD_ser_bol"));
        QCOMPARE(Td::instance().ownCompany, QString("KTHERM"));
    }

    void patchFileRunsOnceUpToTheFirstEmptyLine()
    {
        TestDb db(QStringList{}, "d_setup");
        paths::setProgramDir(db.dir());
        writeIni(db.dir(), "DBSERVER=" + db.path() + "\r\nWPWD=NONE\r\n");
        QFile patch(QDir(db.dir()).filePath("UPDATES.SQL"));
        QVERIFY(patch.open(QIODevice::WriteOnly));
        patch.write("INSERT INTO TAVOLLET (KOD, NEV) VALUES ('P1', 'Első javítás')\r\n"
                    "INSERT INTO NINCSILYEN (A) VALUES (1)\r\n"
                    "UPDATE TAVOLLET SET NEV = 'Idő: 10:15' WHERE KOD = 'P1'\r\n"
                    "\r\n"
                    "INSERT INTO TAVOLLET (KOD, NEV) VALUES ('P2', 'Üres sor után')\r\n");
        patch.close();
        ScriptedMessagesGuard messages;
        Tmivomainfm w;
        QVERIFY(w.runStartup());
        QCOMPARE(messages->texts,
                 QStringList{
                     "UPDATES.SQL : Hibás SQL utasítás:\nINSERT INTO NINCSILYEN (A) VALUES (1)"});
        QCOMPARE(db::scalar("d_mivo", "SELECT NEV FROM TAVOLLET WHERE KOD = 'P1'").toString(),
                 QString("Idő: 10:15"));
        QCOMPARE(db::scalar("d_mivo", "SELECT COUNT(*) FROM TAVOLLET WHERE KOD = 'P2'").toInt(), 0);
        QVERIFY(!QFile::exists(patch.fileName()));
        QVERIFY(QFile::exists(QDir(db.dir()).filePath("updates_20261210_093015.sql")));
    }

    void missingDatabaseFileOffersTheDownload_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("secondMessage");
        QTest::newRow("No ends at once") << 1 << QString();
        QTest::newRow("Yes opens the FTP screen, a file still missing ends")
            << 0 << QString("Nem tudok kapcsolódni az adatbázishoz.");
    }
    void missingDatabaseFileOffersTheDownload()
    {
        QFETCH(int, answer);
        QFETCH(QString, secondMessage);
        QTemporaryDir dir;
        paths::setProgramDir(dir.path());
        const QString missing = dir.filePath("nincs.fdb");
        writeIni(dir.path(), "DBSERVER=" + missing +
                                 "\r\nFTP_SERVER=ftp.example.hu\r\nFTP_USER=mivo\r\nWPWD=NONE\r\n");
        ScriptedMessagesGuard messages;
        messages->queueAnswers({answer});
        Tmivomainfm w;
        w.show();
        QString screenCaption;
        if (answer == 0)
            whenModal<QDialog>([&screenCaption](QDialog* screen) {
                screenCaption = screen->windowTitle();
                screen->reject();
            });
        QVERIFY(!w.runStartup());
        QCOMPARE(screenCaption, answer == 0 ? QString("Adatok fogadása (FTP-ről)") : QString());
        QCOMPARE(messages->texts.value(0), "A megadott adatbázis " + missing +
                                               "nem található.\n Letöltsük az FTP tárhelyről?");
        QCOMPARE(messages->texts.value(1), secondMessage);
        QCOMPARE(messages->texts.size(), secondMessage.isEmpty() ? 1 : 2);
        QVERIFY(!db::Connection::named("d_mivo").isOpen());
        QVERIFY(!w.isVisible());
    }

    void noQuestionWithoutFtpOrForAServer_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::newRow("file missing, no FTP") << QString("DBSERVER=%1/nincs.fdb\r\n");
        QTest::newRow("server location")
            << QString("DBSERVER=127.0.0.1/1:%1/nincs.fdb\r\nFTP_SERVER=f\r\nFTP_USER=u\r\n");
    }
    void noQuestionWithoutFtpOrForAServer()
    {
        QFETCH(QString, settings);
        QTemporaryDir dir;
        paths::setProgramDir(dir.path());
        writeIni(dir.path(), settings.arg(dir.path()) + "WPWD=NONE\r\n");
        ScriptedMessagesGuard messages;
        Tmivomainfm w;
        QVERIFY(!w.runStartup());
        QCOMPARE(messages->texts, QStringList{"Nem tudok kapcsolódni az adatbázishoz."});
    }

    void missingIniStopsAndAPresentOneAsksForLogin()
    {
        QTemporaryDir dir;
        paths::setProgramDir(dir.path());
        ScriptedMessagesGuard messages;
        Tmivomainfm w;
        bool asked = false;
        QVERIFY(!w.runStartup());
        // One message that names the folder looked in and where to read on; no connection.
        QCOMPARE(messages->texts.size(), 1);
        QVERIFY(messages->texts[0].startsWith(
            "Nem találom a MIVO.INI beállítófájlt ebben a mappában:\n" + dir.path() + "\n"));
        QVERIFY(messages->texts[0].contains("README"));
        QVERIFY(!db::Connection::named("d_mivo").isOpen());

        TestDb db(QStringList{}, "d_setup");
        paths::setProgramDir(db.dir());
        writeIni(db.dir(), "DBSERVER=" + db.path() + "\r\n");
        Ini::instance().clear();
        Tmivomainfm second;
        second.startup().login = [&] {
            asked = true;
            return true;
        };
        QVERIFY(second.runStartup());
        QVERIFY(asked);
    }

    void quitEndsTheProgram()
    {
        Tmivomainfm w;
        w.show();
        QVERIFY(w.isVisible());
        w.action("vege")->trigger();
        QVERIFY(!w.isVisible());
    }

    void standardButtonsSpeakHungarian()
    {
        QVERIFY(installHungarianTranslation(*QCoreApplication::instance()));
        QMessageBox box(QMessageBox::Question, "t", "k", QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::Yes)->text().remove('&'), QString("Igen"));
        QCOMPARE(box.button(QMessageBox::No)->text().remove('&'), QString("Nem"));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
