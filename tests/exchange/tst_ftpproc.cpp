#include "core/clock.h"
#include "core/ini.h"
#include "core/messages.h"
#include "core/paths.h"
#include "exchange/ftpproc.h"
#include "platform/codepage.h"
#include "platform/dbquery.h"
#include "support/ftpserver.h"
#include "support/testdb.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace mivo;
using namespace mivo::exchange;
using namespace Qt::StringLiterals;

namespace
{

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A program file as the system runs it: the executable header, then anything.
QByteArray programBytes(const char* version)
{
    return QByteArray("\x7f"
                      "ELF") +
           QByteArray(20000, 'x') + version;
}

const QByteArray configuration =
    toWindows1250(u"* Mivo beállításai\r\nDBSERVER=mivo.fdb\r\n\r\n@közös.ini\r\n"
                  u"CEGKOD=VELKOR // a cég kódja\r\n\r\n"_s);

} // namespace

class TestFtpProc : public QObject
{
    Q_OBJECT
private slots:
    void versions_data()
    {
        QTest::addColumn<QString>("offered");
        QTest::addColumn<QString>("given");
        QTest::addColumn<bool>("newer");
        QTest::newRow("same") << "2.6.7"
                              << "2.6.7" << false;
        QTest::newRow("next") << "2.6.8"
                              << "2.6.7" << true;
        QTest::newRow("lower") << "2.6.6"
                               << "2.6.7" << false;
        QTest::newRow("numbers, not texts") << "2.6.10"
                                            << "2.6.9" << true;
        QTest::newRow("a trailing zero component") << "2.6.7.0"
                                                   << "2.6.7" << true;
        QTest::newRow("shorter but higher") << "3"
                                            << "2.9.9" << true;
        QTest::newRow("floor 0") << "0.0.1"
                                 << "0" << true;
        QTest::newRow("nothing offered") << "0"
                                         << "0" << false;
    }
    void versions()
    {
        QFETCH(QString, offered);
        QFETCH(QString, given);
        QTEST(newerVersion(offered, given), "newer");
    }

    void updateInformation()
    {
        const QList<UpdateInfoLine> lines = readUpdateInfo(
            "* megjegyzes\r\n version = 2.6.8 \r\nnincs egyenlo\r\naddtoini=KULCS=1 // x\r\n"
            "UPDATES=NONE\r\n\r\nVERSION=9.9.9\r\n");
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0].key, u"VERSION"_s);
        QCOMPARE(lines[0].value, u"2.6.8"_s);
        QCOMPARE(lines[1].key, u"ADDTOINI"_s);
        QCOMPARE(lines[1].value, u"KULCS=1 // x"_s);
        QCOMPARE(lines[2].value, u"NONE"_s);
    }

    void init()
    {
        QVERIFY(m_program.isValid() && m_storage.isValid());
        paths::setProgramDir(m_program.path());
        Ini::instance().clear();
        QVERIFY(writeFile(m_program.filePath(u"MIVO.INI"_s), configuration));
        QVERIFY(writeFile(m_program.filePath(u"közös.ini"_s), "WORK_PATH=munka\r\n"));
        Ini::instance().readFile(u"MIVO.INI"_s, true, m_program.path());
        m_bin = m_program.filePath(u"bin/mivo"_s);
        QVERIFY(writeFile(m_bin, programBytes("2.6.7")));
        QFile::setPermissions(m_bin, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                         QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                         QFile::ExeOther);
        clock::set(QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)));
    }
    void cleanup()
    {
        m_ftp.stop();
        clock::set({});
        Ini::instance().clear();
        for (const QTemporaryDir* dir : {&m_storage, &m_program}) {
            QDir(dir->path()).removeRecursively();
            QDir().mkpath(dir->path());
        }
    }

    void update_data()
    {
        QTest::addColumn<QByteArray>("inf");
        QTest::addColumn<QString>("floor");
        QTest::addColumn<QString>("offered");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("configurationLines");
        QTest::addColumn<QStringList>("pending");
        QTest::addColumn<bool>("staged");

        const QString fresh =
            u"Letöltöttük a friss programot.\rverzió=2.6.8\nKérem indítsa újra a programot!"_s;
        const QStringList waiting{u"REGI1"_s};
        const QStringList queued{u"REGI1"_s, u"ALTER TABLE UGYFEL ADD UJ VARCHAR(1)"_s,
                                 u"  UPDATE UGYFEL SET UJ='I'"_s};
        QTest::newRow("newer")
            << QByteArray("* a 2.6.8 kiadas\r\nVERSION=2.6.8\r\nADDTOINI=UJKULCS=igen\r\n"
                          "UPDATES=upd268.sql\r\n\r\nADDTOINI=UTANA=1\r\n")
            << QString() << "2.6.8" << QStringList{fresh} << QStringList{u"UJKULCS=igen"_s}
            << queued << true;
        QTest::newRow("same version")
            << QByteArray("VERSION=2.6.7\r\nADDTOINI=UJKULCS=igen\r\nUPDATES=upd268.sql\r\n")
            << QString() << "2.6.7" << QStringList{u"Nincs újabb frissítés."_s} << QStringList()
            << waiting << false;
        QTest::newRow("UPDATES and ADDTOINI before VERSION")
            << QByteArray("UPDATES=upd268.sql\r\nADDTOINI=KORAI=1\r\nVERSION=2.6.8\r\n")
            << QString() << "2.6.8" << QStringList{fresh} << QStringList() << waiting << true;
        QTest::newRow("NONE") << QByteArray("VERSION=2.6.8\r\nUPDATES=NONE\r\n") << QString()
                              << "2.6.8" << QStringList{fresh} << QStringList() << waiting << true;
        QTest::newRow("below the floor")
            << QByteArray("VERSION=2.6.8\r\nADDTOINI=UJKULCS=igen\r\nUPDATES=upd268.sql\r\n")
            << "2.6.9"
            << "2.6.8" << QStringList{fresh} << QStringList{u"UJKULCS=igen"_s} << waiting << true;
        QTest::newRow("no VERSION")
            << QByteArray("ADDTOINI=UJKULCS=igen\r\n") << QString() << "0"
            << QStringList{u"Nincs újabb frissítés."_s} << QStringList() << waiting << false;
        QTest::newRow("missing update file")
            << QByteArray("VERSION=2.6.8\r\nUPDATES=nincs.sql\r\n") << QString() << "2.6.8"
            << QStringList{u"Hiba a feldolgozás közben: nincs.sql\nHibakód=550"_s} << QStringList()
            << waiting << false;
    }
    void update()
    {
        QFETCH(QByteArray, inf);
        QFETCH(QString, floor);
        QFETCH(QStringList, configurationLines);
        QFETCH(QStringList, pending);
        QFETCH(bool, staged);
        const QString folder = m_storage.filePath(u"public_html/exefiles/"_s);
        QVERIFY(writeFile(folder + u"MIVO.INF"_s, inf));
        QVERIFY(writeFile(folder + u"MIVO"_s, programBytes("2.6.8")));
        QVERIFY(writeFile(folder + u"upd268.sql"_s,
                          "ALTER TABLE UGYFEL ADD UJ VARCHAR(1)\r\n\r\n   \r\n  UPDATE UGYFEL SET "
                          "UJ='I'\r\n"));
        QVERIFY(writeFile(m_program.filePath(u"updates.sql"_s), "REGI1\r\n"));
        startServer();

        TestDb db;
        QVERIFY(db.ok());
        ScriptedMessagesGuard messages;
        QTEST(runUpdate(floor), "offered");
        QTEST(messages->texts, "messages");

        QByteArray expectedConfiguration =
            toWindows1250(u"* Mivo beállításai\r\nDBSERVER=mivo.fdb\r\n@közös.ini\r\n"
                          u"CEGKOD=VELKOR // a cég kódja\r\n"_s);
        for (const QString& line : configurationLines)
            expectedConfiguration += toWindows1250(line + u"\r\n"_s);
        QCOMPARE(readFile(m_program.filePath(u"MIVO.INI"_s)),
                 configurationLines.isEmpty() ? configuration : expectedConfiguration);
        // The pending statements stay where they were found, in UTF-8.
        QCOMPARE(QDir(m_program.path()).entryList({u"*.sql"_s}, QDir::Files),
                 QStringList{u"updates.sql"_s});
        QCOMPARE(readFile(m_program.filePath(u"updates.sql"_s)),
                 (pending.join(u"\r\n"_s) + u"\r\n"_s).toUtf8());

        // The program itself changes only after the program has ended.
        QCOMPARE(readFile(m_bin), programBytes("2.6.7"));
        const QString newProgram = m_program.filePath(u"bin/MIVO.NEW"_s);
        QCOMPARE(QFile::exists(newProgram), staged);
        const QString report = u"download_MIVO_VELKOR2.6.8.txt"_s;
        QVERIFY(!QFile::exists(m_program.filePath(report)));
        QCOMPARE(QFile::exists(folder + report), staged);
        if (!staged)
            return;
        QCOMPARE(readFile(newProgram), programBytes("2.6.8"));
        QCOMPARE(QFile::permissions(newProgram), QFile::permissions(m_bin));
        QCOMPARE(readFile(folder + report),
                 QByteArray("MIVO downloaded by VELKOR, VELKOR from "
                            "2.6.7 to 2.6.8 at 2026.03.04 05:06:07\r\n"));
        QVERIFY(finishStagedUpdate(m_bin, u"2.6.7"_s));
        QCOMPARE(readFile(m_bin), programBytes("2.6.8"));
        QCOMPARE(readFile(m_program.filePath(u"bin/MIVO2.6.7"_s)), programBytes("2.6.7"));
        QVERIFY(!QFile::exists(newProgram));
        QVERIFY(QFileInfo(m_bin).isExecutable());
    }

    void aBadProgramDownloadReplacesNothing_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addColumn<QByteArray>("remote");
        QTest::addColumn<qint64>("killAfter");
        QTest::addColumn<QString>("message"); // empty: any code
        const QString failed = u"nem tudom letölteni a frissítést.\rhibakód="_s;
        QTest::newRow("error page") << true << QByteArray("<html><body>404</body></html>")
                                    << qint64(-1) << failed + u"-1"_s;
        QTest::newRow("empty file") << true << QByteArray() << qint64(-1) << failed + u"-1"_s;
        QTest::newRow("missing") << false << QByteArray() << qint64(-1) << failed + u"550"_s;
        QTest::newRow("server killed half-way")
            << true << programBytes("2.6.8") << qint64(10000) << QString();
    }
    void aBadProgramDownloadReplacesNothing()
    {
        QFETCH(bool, present);
        QFETCH(QByteArray, remote);
        QFETCH(qint64, killAfter);
        QFETCH(QString, message);
        const QString folder = m_storage.filePath(u"public_html/exefiles/"_s);
        QVERIFY(writeFile(folder + u"MIVO.INF"_s, "VERSION=2.6.8\r\nUPDATES=upd.sql\r\n"));
        QVERIFY(writeFile(folder + u"upd.sql"_s, "UJ1\r\n"));
        if (present)
            QVERIFY(writeFile(folder + u"MIVO"_s, remote));
        startServer({.killAfter = killAfter});
        TestDb db;
        QVERIFY(db.ok());
        ScriptedMessagesGuard messages;
        QCOMPARE(runUpdate(), u"2.6.8"_s);
        QCOMPARE(messages->texts.size(), 1);
        if (message.isEmpty())
            QVERIFY(
                messages->texts[0].startsWith(u"nem tudom letölteni a frissítést.\rhibakód="_s));
        else
            QCOMPARE(messages->texts[0], message);
        QCOMPARE(readFile(m_bin), programBytes("2.6.7"));
        QCOMPARE(QDir(m_program.filePath(u"bin"_s)).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"mivo"_s});
        QCOMPARE(readFile(m_program.filePath(u"UPDATES.SQL"_s)), QByteArray("UJ1\r\n"));
        QVERIFY(QDir(m_storage.path()).entryList({u"download_*"_s}, QDir::Files).isEmpty());
        QVERIFY(QDir(m_program.path()).entryList({u"download_*"_s}, QDir::Files).isEmpty());
        QVERIFY(finishStagedUpdate(m_bin, u"2.6.7"_s));
        QCOMPARE(readFile(m_bin), programBytes("2.6.7"));
    }

    void connectionFailures_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("message");
        QTest::newRow("wrong password")
            << "rossz" << QString() << "Nem tudok kapcsolódni a tárhelyhez: %1\nHibakód=530";
        QTest::newRow("missing folder") << FtpServer::password() << "nincs/mappa"
                                        << "Nem találom a mappát: nincs/mappa\nHibakód=550";
        QTest::newRow("no information file")
            << FtpServer::password() << "public_html"
            << "Nem tudom letölteni a frissítési információkat: public_html/MIVO.INF.\nHibakód=550";
    }
    void connectionFailures()
    {
        QFETCH(QString, password);
        QFETCH(QString, folder);
        QFETCH(QString, message);
        QVERIFY(QDir(m_storage.path()).mkpath(u"public_html/exefiles"_s));
        startServer();
        Ini::instance().set(u"UPD_FTP_PASSWORD"_s, password);
        if (!folder.isEmpty())
            Ini::instance().set(u"UPD_FTP_DIR"_s, folder);
        TestDb db;
        QVERIFY(db.ok());
        ScriptedMessagesGuard messages;
        QCOMPARE(runUpdate(), u"0"_s);
        QCOMPARE(messages->texts,
                 QStringList{message.contains(u"%1"_s) ? message.arg(m_ftp.host()) : message});
    }

    void exitSwapAndItsFailure()
    {
        const QString staged = m_program.filePath(u"bin/MIVO.NEW"_s);
        const QString keep = m_program.filePath(u"bin/MIVO2.6.7"_s);
        ScriptedMessagesGuard messages;
        QVERIFY(finishStagedUpdate(m_bin, u"2.6.7"_s)); // nothing staged
        QCOMPARE(readFile(m_bin), programBytes("2.6.7"));

        // The keep name taken by something that cannot be deleted: the program stays.
        QVERIFY(writeFile(staged, programBytes("2.6.8")));
        QVERIFY(writeFile(keep + u"/benne"_s, "x"));
        QVERIFY(!finishStagedUpdate(m_bin, u"2.6.7"_s));
        QCOMPARE(messages->texts,
                 QStringList{u"Nem sikerült törölni a program előző verziójú példányát. "
                             u"Hibakód:21"_s});
        QCOMPARE(readFile(m_bin), programBytes("2.6.7"));
        QVERIFY(QDir(keep).removeRecursively());

        // The staged file cannot be moved (immutable): the old program is put back.
        QVERIFY(writeFile(keep, "egy régebbi"));
        if (QProcess::execute(u"chattr"_s, {u"+i"_s, staged}) != 0)
            QSKIP("chattr +i is not available here");
        messages->texts.clear();
        const bool swapped = finishStagedUpdate(m_bin, u"2.6.7"_s);
        QProcess::execute(u"chattr"_s, {u"-i"_s, staged});
        QVERIFY(!swapped);
        QCOMPARE(messages->texts, QStringList{u"Nem sikerült átmásolni a letöltött programot a "
                                              u"helyére. Hibakód:1"_s});
        QCOMPARE(readFile(m_bin), programBytes("2.6.7"));
        QVERIFY(QFileInfo(m_bin).isExecutable());

        // Left by a run that was killed, it goes in at the end of the next one.
        messages->texts.clear();
        QVERIFY(finishStagedUpdate(m_bin, u"2.6.7"_s));
        QCOMPARE(messages->texts, QStringList());
        QCOMPARE(readFile(m_bin), programBytes("2.6.8"));
        QCOMPARE(readFile(keep), programBytes("2.6.7"));
        QVERIFY(QFileInfo(m_bin).isExecutable());
    }

private:
    void startServer(const FtpServer::Options& options = {})
    {
        QString error;
        QVERIFY2(m_ftp.start(m_storage.path(), options, &error), qPrintable(error));
        Ini& ini = Ini::instance();
        ini.set(u"UPD_FTP_SERVER"_s, m_ftp.host());
        ini.set(u"UPD_FTP_USER"_s, FtpServer::user());
        ini.set(u"UPD_FTP_PASSWORD"_s, FtpServer::password());
    }
    // The update as the menu runs it, on the company codes of active technicians.
    QString runUpdate(const QString& floor = {})
    {
        db::execute(u"d_mivo"_s, u"INSERT INTO SZERELO (KOD, NEV, AKTIV, CEGKOD) VALUES ('SZ1', "
                                 u"'Kiss', 'I', 'VELKOR')"_s);
        db::Query identity;
        if (floor.isEmpty())
            identity.setSql(u"Select distinct(CEGKOD) KOD, CEGKOD NEV From SZERELO Where "
                            u"AKTIV='I' and cegkod<>'' and not cegkod is null"_s);
        else
            identity.setSql(u"Select distinct(CEGKOD) KOD, CEGKOD NEV, '"_s + floor +
                            u"' VERSION From SZERELO Where AKTIV='I'"_s);
        if (!identity.exec())
            return identity.lastError();
        ProgramUpdate update;
        update.programPath = m_bin;
        update.setLimits(5, 5);
        return update.run(u"2.6.7"_s, identity);
    }

    QTemporaryDir m_program;
    QTemporaryDir m_storage;
    QString m_bin;
    FtpServer m_ftp;
};

QTEST_GUILESS_MAIN(TestFtpProc)
#include "tst_ftpproc.moc"
