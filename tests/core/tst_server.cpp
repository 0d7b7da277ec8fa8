#include "app/mivomain.h"
#include "core/clock.h"
#include "core/dat.h"
#include "core/ini.h"
#include "core/messages.h"
#include "core/paths.h"
#include "platform/codepage.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "support/fbserver.h"
#include "support/testdb.h"
#include "workflow/customerrepository.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTest>

using namespace mivo;

// The program through a Firebird server on loopback, as workstations of an office use it.
class TestServer : public QObject
{
    Q_OBJECT
    FirebirdServer m_server;

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(m_server.start(&error), qPrintable(error));
    }
    void cleanup()
    {
        db::Connection::closeAll();
        Ini::instance().clear();
        Td::instance().clearRunValues();
    }

    void startupWorksThroughTheServer()
    {
        TestDb db({"LEVELKE", "MUNKA_LOG"}, "d_setup", &m_server);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        paths::setProgramDir(db.dir());
        QFile ini(QDir(db.dir()).filePath("MIVO.INI"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(toWindows1250("DBSERVER=" + db.location() +
                                "\r\nWPWD=NONE\r\nFTP_SERVER=f\r\nFTP_USER=u\r\n"));
        ini.close();
        QFile patch(QDir(db.dir()).filePath("updates.sql"));
        QVERIFY(patch.open(QIODevice::WriteOnly));
        patch.write("INSERT INTO TAVOLLET (KOD, NEV) VALUES ('SRV', 'Szerveren át')\n");
        patch.close();

        ScriptedMessagesGuard messages;
        Tmivomainfm w;
        QVERIFY(w.runStartup());
        QVERIFY2(messages->texts.isEmpty(), qPrintable(messages->texts.join('\n')));
        const QString protocol =
            db::scalar("d_mivo", "SELECT MON$REMOTE_PROTOCOL FROM MON$ATTACHMENTS "
                                 "WHERE MON$ATTACHMENT_ID = CURRENT_CONNECTION")
                .toString();
        QVERIFY2(protocol.startsWith("TCP"), qPrintable(protocol));
        QVERIFY(w.menu("m_levelezes")->menuAction()->isVisible());
        QVERIFY(!w.action("keszlet")->isVisible());
        QVERIFY(Td::instance().jobHistoryAvailable);
        QCOMPARE(db::scalar("d_alap", "SELECT NEV FROM TAVOLLET WHERE KOD = 'SRV'").toString(),
                 QString("Szerveren át"));
    }

    void twoWorkstationsKeepTheirOwnKeys()
    {
        TestDb db(QStringList{}, "d_mivo", &m_server);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        QVERIFY(db.openConnection("d_masik"));
        workflow::Customer mine{0, "Varga Péter", "2120", "Dunakeszi", "Fő út 10.", "", "", "", "",
                                ""};
        QVERIFY(db::execute("d_masik", "INSERT INTO UGYFEL (NEV, IRSZAM, VAROS, UTCA) VALUES "
                                       "('Varga Péter', '2120', 'Dunakeszi', 'Fő út 10.')"));
        const workflow::WriteResult stored = workflow::CustomerRepository().save(mine, {});
        QVERIFY2(stored.ok(), qPrintable(stored.message));
        QCOMPARE(mine.kod, 2);
        QCOMPARE(db::scalar("d_masik", "SELECT COUNT(*) FROM UGYFEL").toInt(), 2);
    }
};

QTEST_MAIN(TestServer)
#include "tst_server.moc"
