#include "app/mivomain.h"
#include "core/dat.h"
#include "core/ini.h"
#include "core/messages.h"
#include "core/paths.h"
#include "exchange/dbtransfer.h"
#include "exchange/ftpkuld.h"
#include "framework/alapdat.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "support/fbserver.h"
#include "support/ftpserver.h"
#include "support/modal.h"
#include "support/testdb.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

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

ino_t inodeOf(const QString& path)
{
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

bool copyFile(const QString& from, const QString& to)
{
    QFile::remove(to);
    return QFile::copy(from, to);
}

// Opens the file as a database, runs a statement and closes it again.
bool runOn(const QString& path, const QString& sql, QString* error = nullptr)
{
    db::Connection& c = db::Connection::named(u"d_proba"_s);
    c.clear();
    c.setParams({u"SERVER NAME="_s + path, u"USER NAME="_s + Td::builtinUser,
                 u"PASSWORD="_s + Td::builtinPassword});
    bool ok = c.open() && db::execute(c.name(), sql, {}, error);
    if (!c.lastError().isEmpty() && error)
        *error = c.lastError();
    c.clear();
    return ok;
}

int customers(const QString& path, const QString& name)
{
    db::Connection& c = db::Connection::named(u"d_proba"_s);
    c.clear();
    c.setParams({u"SERVER NAME="_s + path, u"USER NAME="_s + Td::builtinUser,
                 u"PASSWORD="_s + Td::builtinPassword});
    const int count = c.open() ? db::scalar(c.name(),
                                            u"SELECT COUNT(*) FROM UGYFEL WHERE NEV = "
                                            u":nev"_s,
                                            {{u"nev"_s, name}})
                                     .toInt()
                               : -1;
    c.clear();
    return count;
}

} // namespace

class TestFtpKuld : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY(m_program.isValid() && m_storage.isValid());
        paths::setProgramDir(m_program.path());
        QDir(m_storage.path()).mkpath(u"mivo/adat"_s);
        Ini::instance().clear();
    }
    void cleanup()
    {
        m_ftp.stop();
        Ini::instance().clear();
        db::Connection::named(Tdm::connectionName).clear();
        for (const QTemporaryDir* dir : {&m_storage, &m_program}) {
            QDir(dir->path()).removeRecursively();
            QDir().mkpath(dir->path());
        }
    }

    void names_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("safetyCopy");
        QTest::addColumn<QString>("keep");
        QTest::newRow("plain") << "/a/mivo.fdb"
                               << "/a/mivo_MENTES.GDB"
                               << "/a/mivo.GDO";
        QTest::newRow("period in the folder") << "/home/u/.local/share/mivo.fdb"
                                              << "/home/u/.local/share/mivo_MENTES.GDB"
                                              << "/home/u/.local/share/mivo.GDO";
        QTest::newRow("no period") << "/a/mivo"
                                   << "/a/mivo_MENTES.GDB"
                                   << "/a/mivo.GDO";
        QTest::newRow("two periods") << "/a/mivo.2026.fdb"
                                     << "/a/mivo_MENTES.GDB"
                                     << "/a/mivo.GDO";
    }
    void names()
    {
        QFETCH(QString, path);
        QTEST(safetyCopyName(path), "safetyCopy");
        QTEST(keepName(path), "keep");
    }

    void whereTheDatabaseLies_data()
    {
        QTest::addColumn<QString>("dbServer");
        QTest::addColumn<bool>("here");
        QTest::addColumn<QString>("path");
        QTest::newRow("local path") << "/d/mivo.fdb" << true << "/d/mivo.fdb";
        QTest::newRow("windows path") << "C:\\d\\mivo.fdb" << true << "/d/mivo.fdb";
        QTest::newRow("loopback server") << "127.0.0.1/3051:/d/mivo.fdb" << true << "/d/mivo.fdb";
        QTest::newRow("localhost") << "LocalHost:/d/mivo.fdb" << true << "/d/mivo.fdb";
        QTest::newRow("another host") << "szerver:/d/mivo.fdb" << false << "";
        QTest::newRow("another host with port") << "10.0.0.5/3050:/d/mivo.fdb" << false << "";
        QTest::newRow("empty") << "" << false << "";
    }
    void whereTheDatabaseLies()
    {
        QFETCH(QString, dbServer);
        QString path;
        QTEST(localDatabaseFile(dbServer, &path), "here");
        QTEST(path, "path");
    }

    void folderWithoutTheServerName_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("server");
        QTest::addColumn<QStringList>("parts");
        const QStringList parts{u"mivo"_s, u"adat"_s};
        QTest::newRow("plain") << "mivo/adat"
                               << "ftp.ceg.hu" << parts;
        QTest::newRow("server name first") << "ftp.ceg.hu/mivo/adat"
                                           << "ftp.ceg.hu" << parts;
        QTest::newRow("server with port") << "127.0.0.1:2121/mivo/adat"
                                          << "127.0.0.1:2121" << parts;
        QTest::newRow("host of a server with port") << "127.0.0.1/mivo/adat/"
                                                    << "127.0.0.1:2121" << parts;
        QTest::newRow("only the server") << "ftp.ceg.hu"
                                         << "ftp.ceg.hu" << QStringList();
        QTest::newRow("none") << ""
                              << "ftp.ceg.hu" << QStringList();
    }
    void folderWithoutTheServerName()
    {
        QFETCH(QString, folder);
        QFETCH(QString, server);
        QTEST(folderParts(folder, server), "parts");
    }

    void theScreenSendsAndReceives()
    {
        TestDb db;
        QVERIFY(db.ok());
        QVERIFY(Tdm::instance().connect());
        startFtp();
        configure(db.path(), m_ftp.host() + u"/mivo/adat"_s);
        ScriptedMessagesGuard messages;
        Tftpkuldfm screen;
        QStringList statuses;
        const auto showStatus = screen.transfer().onStatus;
        screen.transfer().onStatus = [&statuses, showStatus](const QString& text) {
            statuses << text;
            showStatus(text);
        };
        screen.prepare(Tftpkuldfm::sendMode);
        screen.show();
        QCOMPARE(field(screen, u"e_ftpserver"_s)->text(), m_ftp.host());
        QCOMPARE(field(screen, u"e_ftpuser"_s)->text(), FtpServer::user());
        QCOMPARE(field(screen, u"e_ftppassword"_s)->text(), FtpServer::password());
        QCOMPARE(field(screen, u"e_ftppassword"_s)->echoMode(), QLineEdit::Password);
        QCOMPARE(field(screen, u"e_gdb"_s)->text(), db.path());
        QCOMPARE(screen.findChild<QLabel*>(u"l_status"_s)->text(), u"-"_s);

        QTest::mouseClick(button(screen, u"b_indul"_s), Qt::LeftButton);
        QCOMPARE(messages->texts, QStringList{u"A teljes adatbázis felkerült a "_s + m_ftp.host() +
                                              u" FTP szerverre."_s});
        QCOMPARE(statuses, (QStringList{u"Kapcsolódás..."_s, u"Kapcsolódva."_s,
                                        u"Bizotnsági másolat készítése..."_s,
                                        u"Kapcsolódva. Feltöltés folyamatban..."_s,
                                        u"Kapcsolódva. Feltöltés kész"_s}));
        const QString uploaded = m_storage.filePath(u"mivo/adat/MIVO.GDB"_s);
        QCOMPARE(readFile(uploaded), readFile(safetyCopyName(db.path())));
        QVERIFY(readFile(uploaded).size() > 100000);
        QCOMPARE(QDir(m_storage.filePath(u"mivo/adat"_s)).entryList(QDir::Files),
                 QStringList{u"MIVO.GDB"_s});
        QVERIFY(!button(screen, u"b_indul"_s)->isEnabled());
        QVERIFY(button(screen, u"b_vissza"_s)->isEnabled());
        QVERIFY(db::Connection::named(u"d_mivo"_s).isOpen());
        QVERIFY(db::Connection::named(Tdm::connectionName).isOpen());

        // Something typed here after the upload is gone after receiving; the old file is kept.
        QVERIFY(db.exec(u"INSERT INTO UGYFEL (KOD, NEV) VALUES (900, 'Csak itt')"_s));
        messages->texts.clear();
        statuses.clear();
        screen.prepare(Tftpkuldfm::receiveMode);
        QVERIFY(button(screen, u"b_indul"_s)->isEnabled());
        QTest::mouseClick(button(screen, u"b_indul"_s), Qt::LeftButton);
        QCOMPARE(messages->texts, QStringList{u"A teljes adatbázis letöltöttük a "_s +
                                              m_ftp.host() + u" FTP szerverről."_s});
        QCOMPARE(statuses, (QStringList{u"Kapcsolódás..."_s, u"Kapcsolódva."_s,
                                        u"Kapcsolódva. Letöltés folyamatban..."_s,
                                        u"Kapcsolódva. Letöltés kész"_s}));
        QVERIFY(db::Connection::named(Tdm::connectionName).isOpen());
        QCOMPARE(db::scalar(u"d_mivo"_s, u"SELECT COUNT(*) FROM UGYFEL WHERE KOD = 900"_s).toInt(),
                 0);
        db::Connection::named(u"d_mivo"_s).close();
        QCOMPARE(customers(keepName(db.path()), u"Csak itt"_s), 1);
        QVERIFY(QDir(db.dir()).entryList({u".~*"_s}, QDir::Files | QDir::Hidden).isEmpty());
    }

    void failuresLeaveEverythingAsItWas_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("closes");
        QTest::newRow("missing remote file")
            << Tftpkuldfm::receiveMode << FtpServer::password() << "mivo/adat"
            << "A letöltés nem sikerült a %1 FTP szerverről." << false;
        QTest::newRow("missing folder, receiving")
            << Tftpkuldfm::receiveMode << FtpServer::password() << "mivo/nincs"
            << "A letöltés nem sikerült a %1 FTP szerverről." << false;
        QTest::newRow("missing folder, sending")
            << Tftpkuldfm::sendMode << FtpServer::password() << "nincs"
            << "A feltöltés nem sikerült a %1 FTP szerverre." << false;
        QTest::newRow("wrong password") << Tftpkuldfm::sendMode << "rossz"
                                        << "mivo/adat"
                                        << "Nincs kapcsolat a %1 FTP szerverrel." << true;
    }
    void failuresLeaveEverythingAsItWas()
    {
        QFETCH(QString, mode);
        QFETCH(QString, password);
        QFETCH(QString, folder);
        QFETCH(QString, message);
        QFETCH(bool, closes);
        TestDb db;
        QVERIFY(db.ok());
        QVERIFY(Tdm::instance().connect());
        startFtp();
        configure(db.path(), folder);
        Ini::instance().set(u"FTP_PASSWORD"_s, password);
        QVERIFY(db.exec(u"INSERT INTO UGYFEL (KOD, NEV) VALUES (1, 'Itt')"_s));
        const ino_t file = inodeOf(db.path());

        ScriptedMessagesGuard messages;
        Tftpkuldfm screen;
        screen.prepare(mode);
        screen.show();
        QTest::mouseClick(button(screen, u"b_indul"_s), Qt::LeftButton);
        QCOMPARE(messages->texts.last(), message.arg(m_ftp.host()));
        QCOMPARE(screen.isVisible(), !closes);
        QVERIFY(db::Connection::named(u"d_mivo"_s).isOpen());
        QVERIFY(db::Connection::named(Tdm::connectionName).isOpen());
        QCOMPARE(QDir(m_storage.filePath(u"mivo/adat"_s)).entryList(QDir::Files), QStringList());
        QCOMPARE(inodeOf(db.path()), file); // the same file, not a replaced one
        QCOMPARE(db::scalar(u"d_mivo"_s, u"SELECT NEV FROM UGYFEL WHERE KOD = 1"_s).toString(),
                 u"Itt"_s);
        QVERIFY(!QFile::exists(keepName(db.path())));
    }

    void startUpDownloadsTheMissingDatabase_data()
    {
        QTest::addColumn<bool>("onStorage");
        QTest::newRow("downloaded, start-up goes on") << true;
        QTest::newRow("not there, start-up ends") << false;
    }
    void startUpDownloadsTheMissingDatabase()
    {
        QFETCH(bool, onStorage);
        {
            TestDb source;
            QVERIFY(source.ok());
            QVERIFY(source.exec(u"INSERT INTO UGYFEL (KOD, NEV) VALUES (1, 'Másik telephely')"_s));
            db::Connection::named(u"d_mivo"_s).close();
            if (onStorage)
                QVERIFY(copyFile(source.path(), m_storage.filePath(u"mivo/adat/MIVO.GDB"_s)));
        }
        startFtp();
        const QString missing = m_program.filePath(u"mivo.fdb"_s);
        QFile ini(m_program.filePath(u"MIVO.INI"_s));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write((u"DBSERVER="_s + missing + u"\r\nFTP_SERVER="_s + m_ftp.host() +
                   u"\r\nFTP_USER="_s + FtpServer::user() + u"\r\nFTP_PASSWORD="_s +
                   FtpServer::password() + u"\r\nFTP_DIR="_s + m_ftp.host() +
                   u"/mivo/adat\r\nWPWD=NONE\r\n"_s)
                      .toUtf8());
        ini.close();

        ScriptedMessagesGuard messages;
        Tmivomainfm w;
        w.show();
        QString caption;
        whenModal<Tftpkuldfm>([&caption](Tftpkuldfm* screen) {
            caption = screen->windowTitle();
            QTest::mouseClick(screen->findChild<QPushButton*>(u"b_indul"_s), Qt::LeftButton);
            QTest::mouseClick(screen->findChild<QPushButton*>(u"b_vissza"_s), Qt::LeftButton);
        });
        QCOMPARE(w.runStartup(), onStorage);
        QCOMPARE(caption, u"Adatok fogadása (FTP-ről)"_s);
        const QString question = u"A megadott adatbázis "_s + missing +
                                 u"nem található.\n Letöltsük az FTP tárhelyről?"_s;
        if (onStorage) {
            QCOMPARE(messages->texts,
                     (QStringList{question, u"A teljes adatbázis letöltöttük a "_s + m_ftp.host() +
                                                u" FTP szerverről."_s}));
            QCOMPARE(db::scalar(u"d_mivo"_s, u"SELECT NEV FROM UGYFEL WHERE KOD = 1"_s).toString(),
                     u"Másik telephely"_s);
        } else {
            QCOMPARE(messages->texts, (QStringList{question,
                                                   u"A letöltés nem sikerült a "_s + m_ftp.host() +
                                                       u" FTP szerverről."_s,
                                                   u"Nem tudok kapcsolódni az adatbázishoz."_s}));
            QVERIFY(!QFile::exists(missing));
        }
        QVERIFY(!QFile::exists(keepName(missing)));
        db::Connection::closeAll();
    }

    void theMenuItemsNeedTheFtpSettings()
    {
        ScriptedMessagesGuard messages;
        Tmivomainfm w;
        for (const QString& item : {u"adatkuldes"_s, u"Adatfogadas"_s}) {
            QVERIFY(w.action(item)->isEnabled());
            w.action(item)->trigger();
        }
        QCOMPARE(messages->texts, QStringList(2, u"FTP kapcsolat nincs megadva"_s));

        messages->texts.clear();
        Ini::instance().set(u"FTP_SERVER"_s, u"ftp.ceg.hu"_s);
        Ini::instance().set(u"FTP_USER"_s, u"mivo"_s);
        QStringList captions;
        for (const QString& item : {u"adatkuldes"_s, u"Adatfogadas"_s}) {
            whenModal<Tftpkuldfm>([&captions](Tftpkuldfm* screen) {
                captions << screen->windowTitle() +
                                screen->findChild<QLineEdit*>(u"e_ftpserver"_s)->text();
                screen->reject();
            });
            w.action(item)->trigger();
        }
        QCOMPARE(captions, (QStringList{u"Adatok küldése (FTP-re)ftp.ceg.hu"_s,
                                        u"Adatok fogadása (FTP-ről)ftp.ceg.hu"_s}));

        // The update asks first; No ends it.
        messages->queueAnswers({1});
        w.action(u"Promramfrissitese"_s)->trigger();
        QCOMPARE(messages->texts, QStringList{u"Keressünk program frissítéseket az interneten?"_s});
    }

    void aServerThatDoesNotOverwriteGetsTheOldCopyDeletedFirst()
    {
        QString error;
        QVERIFY(m_ftp.start(m_storage.path(), {.noOverwrite = true}, &error));
        TestDb db;
        QVERIFY(db.ok());
        db::Connection::named(u"d_mivo"_s).close();
        const QString remote = m_storage.filePath(u"mivo/adat/MIVO.GDB"_s);
        QFile old(remote);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("régi") == 5);
        old.close();
        ScriptedMessagesGuard messages;
        DatabaseTransfer transfer;
        QCOMPARE(
            transfer.run(TransferMode::Send, {m_ftp.host(), FtpServer::user(),
                                              FtpServer::password(), u"mivo/adat"_s, db.path()}),
            DatabaseTransfer::Outcome::Done);
        QCOMPARE(readFile(remote), readFile(db.path()));
        QCOMPARE(QDir(m_storage.filePath(u"mivo/adat"_s)).entryList(QDir::Files),
                 QStringList{u"MIVO.GDB"_s});
    }

    // Transfers cut at random points, half by killing the server, half by a dropped data
    // connection: the storage holds the previous whole copy or none, the local database is
    // untouched and opens, the failure is told, and the next run succeeds.
    void interruptedTransfersBreakNothing()
    {
        TestDb db;
        QVERIFY(db.ok());
        db::Connection::named(u"d_mivo"_s).close(); // nobody attached: no check, no reopening
        startFtp();
        const TransferSettings settings{m_ftp.host(), FtpServer::user(), FtpServer::password(),
                                        u"mivo/adat"_s, db.path()};
        const QString remote = m_storage.filePath(u"mivo/adat/MIVO.GDB"_s);
        ScriptedMessagesGuard messages;
        DatabaseTransfer transfer;
        transfer.setLimits(5, 10);
        QCOMPARE(transfer.run(TransferMode::Send, settings), DatabaseTransfer::Outcome::Done);
        const qint64 size = readFile(db.path()).size();
        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo() << "seed" << seed << "file" << size << "bytes";
        QRandomGenerator random(seed);

        for (int i = 0; i < 20; ++i) {
            const bool send = i % 2 == 0;
            const bool kill = i % 4 < 2;
            // Not at the very end: a transfer that is all through by then may well succeed.
            const qint64 offset = 1 + random.bounded(int(size * 9 / 10));
            const QString what = u"transfer %1 (%2, %3 at %4)"_s.arg(i).arg(
                send ? u"send"_s : u"receive"_s, kill ? u"killed"_s : u"dropped"_s,
                QString::number(offset));
            // Both sides differ before each run, so that a replaced file would show.
            QVERIFY2(runOn(db.path(),
                           u"INSERT INTO UGYFEL (KOD, NEV) VALUES (%1, 'helyi')"_s.arg(1000 + i)),
                     qPrintable(what));
            if (!send) {
                const QString other = m_program.filePath(u"masik.fdb"_s);
                QVERIFY(copyFile(db.path(), other));
                QVERIFY(runOn(other, u"DELETE FROM UGYFEL WHERE NEV = 'helyi'"_s));
                QVERIFY(copyFile(other, remote));
            }
            const QByteArray local = readFile(db.path());
            const QByteArray stored = readFile(remote);

            QString error;
            QVERIFY(m_ftp.start(m_storage.path(),
                                {.dropAfter = kill ? -1 : offset, .killAfter = kill ? offset : -1},
                                &error));
            messages->texts.clear();
            QVERIFY2(transfer.run(send ? TransferMode::Send : TransferMode::Receive, settings) ==
                         DatabaseTransfer::Outcome::Failed,
                     qPrintable(what));
            QCOMPARE(messages->texts.last(),
                     send ? u"A feltöltés nem sikerült a "_s + m_ftp.host() + u" FTP szerverre."_s
                          : u"A letöltés nem sikerült a "_s + m_ftp.host() + u" FTP szerverről."_s);
            const QByteArray after = readFile(remote);
            QVERIFY2(after.isEmpty() || after == stored, qPrintable(what));
            QVERIFY2(readFile(db.path()) == local, qPrintable(what));
            QCOMPARE(customers(db.path(), u"helyi"_s), i + 1);

            if (kill)
                QVERIFY(m_ftp.start(m_storage.path(), &error));
            QVERIFY2(transfer.run(send ? TransferMode::Send : TransferMode::Receive, settings) ==
                         DatabaseTransfer::Outcome::Done,
                     qPrintable(what + u": "_s + messages->texts.join(u" / "_s)));
            if (send) {
                QCOMPARE(readFile(remote), readFile(db.path()));
            } else {
                QCOMPARE(customers(db.path(), u"helyi"_s), 0);
                // Back to the file with every local row, for the next round.
                QVERIFY(copyFile(keepName(db.path()), db.path()));
            }
        }
        QVERIFY(QDir(db.dir()).entryList({u".~*"_s}, QDir::Files | QDir::Hidden).isEmpty());
    }

    // Another workstation still attached through the server: nothing goes either way.
    void aDatabaseInUseIsNotTransferred()
    {
        FirebirdServer server;
        QString error;
        if (!server.start(&error))
            QSKIP(qPrintable(error));
        TestDb db(TestDb::allOptional(), u"d_mivo"_s, &server);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        QVERIFY(Tdm::instance().connect());
        QVERIFY(db.openConnection(u"d_masik"_s));
        startFtp();
        configure(db.location(), u"mivo/adat"_s);
        const QString remote = m_storage.filePath(u"mivo/adat/MIVO.GDB"_s);
        const QByteArray elsewhere("nem adatbázis, de nem is íródhat felül");
        {
            QFile f(remote);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(elsewhere) == elsewhere.size());
        }
        QVERIFY(db.exec(u"INSERT INTO UGYFEL (KOD, NEV) VALUES (1, 'Itt')"_s));

        ScriptedMessagesGuard messages;
        const TransferSettings settings{m_ftp.host(), FtpServer::user(), FtpServer::password(),
                                        u"mivo/adat"_s, db.location()};
        const QString inUse = u"Az adatbázist még 1 másik kapcsolat használja. Zárja be a "
                              u"programot a többi gépen, és próbálja újra."_s;
        for (const TransferMode mode : {TransferMode::Send, TransferMode::Receive}) {
            messages->texts.clear();
            DatabaseTransfer transfer;
            QCOMPARE(transfer.run(mode, settings), DatabaseTransfer::Outcome::Refused);
            QCOMPARE(messages->texts, QStringList{inUse});
            QCOMPARE(readFile(remote), elsewhere);
            QVERIFY(!QFile::exists(safetyCopyName(db.path())));
            QVERIFY(!QFile::exists(keepName(db.path())));
            QVERIFY(db::Connection::named(Tdm::connectionName).isOpen());
            QCOMPARE(db::scalar(u"d_mivo"_s, u"SELECT NEV FROM UGYFEL WHERE KOD = 1"_s).toString(),
                     u"Itt"_s);
        }

        db::Connection::named(u"d_masik"_s).close();
        messages->texts.clear();
        DatabaseTransfer transfer;
        QCOMPARE(transfer.run(TransferMode::Send, settings), DatabaseTransfer::Outcome::Done);
        QCOMPARE(readFile(remote), readFile(safetyCopyName(db.path())));
        QCOMPARE(db::scalar(u"d_mivo"_s, u"SELECT NEV FROM UGYFEL WHERE KOD = 1"_s).toString(),
                 u"Itt"_s);
        db::Connection::named(Tdm::connectionName).clear();
    }

private:
    void startFtp()
    {
        QString error;
        QVERIFY2(m_ftp.start(m_storage.path(), &error), qPrintable(error));
    }
    void configure(const QString& database, const QString& folder)
    {
        Ini& ini = Ini::instance();
        ini.set(u"DBSERVER"_s, database);
        ini.set(u"FTP_SERVER"_s, m_ftp.host());
        ini.set(u"FTP_USER"_s, FtpServer::user());
        ini.set(u"FTP_PASSWORD"_s, FtpServer::password());
        ini.set(u"FTP_DIR"_s, folder);
    }
    static QLineEdit* field(QWidget& screen, const QString& name)
    {
        return screen.findChild<QLineEdit*>(name);
    }
    static QPushButton* button(QWidget& screen, const QString& name)
    {
        return screen.findChild<QPushButton*>(name);
    }

    QTemporaryDir m_program;
    QTemporaryDir m_storage;
    FtpServer m_ftp;
};

QTEST_MAIN(TestFtpKuld)
#include "tst_ftpkuld.moc"
