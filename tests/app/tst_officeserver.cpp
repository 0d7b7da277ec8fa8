#include "app/mivomain.h"
#include "core/dat.h"
#include "core/ini.h"
#include "core/messages.h"
#include "core/paths.h"
#include "platform/codepage.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "support/fbserver.h"
#include "support/testdb.h"
#include "workflow/requeststore.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTest>

using namespace mivo;
using namespace mivo::workflow;
using namespace Qt::StringLiterals;

namespace
{

const QString script = QStringLiteral(MIVO_SOURCE_DIR "/scripts/office-server");

struct Run {
    int code = -1;
    QString out;
    QString err;
};

Run runBash(const QStringList& arguments, const QProcessEnvironment& env = {})
{
    QProcess p;
    if (!env.isEmpty())
        p.setProcessEnvironment(env);
    p.start(u"bash"_s, arguments);
    Run r;
    if (!p.waitForFinished(300000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// One of the server script's steps, as the script itself runs it.
Run step(const QString& function, const QStringList& arguments)
{
    return runBash(
        QStringList{u"-c"_s, u"source \"$1\" && shift && \"$@\""_s, u"bash"_s, script, function} +
        arguments);
}

bool connects(const QString& location, const QString& user, const QString& password)
{
    db::Connection& c = db::Connection::named(u"d_probe"_s);
    c.clear();
    c.setDriverName(db::InterBaseDriver);
    c.setParams({u"SERVER NAME="_s + location, u"USER NAME="_s + user, u"PASSWORD="_s + password});
    const bool ok = c.open();
    c.clear();
    return ok;
}

void writeIni(const QString& dir, const QString& text)
{
    QFile f(QDir(dir).filePath(u"MIVO.INI"_s));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(toWindows1250(text));
}

// Files under the folder (MIVO.INI, which holds it, aside) that contain the text.
QStringList filesContaining(const QString& folder, const QByteArray& text)
{
    QStringList found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (it.fileName() != u"MIVO.INI"_s && f.open(QIODevice::ReadOnly) &&
            f.readAll().contains(text))
            found << path;
    }
    return found;
}

Request newRequest()
{
    Request r;
    r.customer.nev = u"Kovács Béla"_s;
    r.customer.irszam = u"1111"_s;
    r.customer.varos = u"Budapest"_s;
    r.customer.utca = u"Fő u. 1."_s;
    r.tipus = 100;
    r.tevekenyseg = u"Javítás"_s;
    r.problema = u"Nem indul"_s;
    r.datum = u"2026.12.14"_s;
    return r;
}

} // namespace

// The office server's database steps against a private server, a workstation with its own
// account, and the nightly backup.
class TestOfficeServer : public QObject
{
    Q_OBJECT
    FirebirdServer m_server;
    QTemporaryDir m_dir;

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

    void dryRunShowsEveryStepAndChangesNothing()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QString conf = m_dir.filePath(u"dry.conf"_s);
        env.insert(u"MIVO_SERVER_CONF"_s, conf);
        const Run r = runBash({script, u"--dry-run"_s, u"--listen"_s, u"192.0.2.10"_s}, env);
        QVERIFY2(r.code == 0, qPrintable(r.err));
        for (const QString& expected :
             {u"apt-get install -y firebird3.0-server firebird3.0-utils"_s,
              u"RemoteBindAddress = 192.0.2.10, ServerMode = SuperClassic"_s,
              u"set_admin_password"_s,
              u"ensure_user 192.0.2.10:/var/lib/firebird/3.0/data/mivo-setup.fdb"_s,
              u"create_database"_s, u"add_first_login"_s,
              u"ExecStart=/usr/local/sbin/mivo-office-server --backup"_s,
              u"OnCalendar=*-*-* 02:30:00"_s, u"systemctl enable --now mivo-backup.timer"_s,
              u"backup_database"_s, u"verify_restore"_s,
              u"DBSERVER=192.0.2.10:/var/lib/firebird/3.0/data/mivo.fdb"_s, u"DBUSER=MIVO"_s})
            QVERIFY2(r.out.contains(expected), qPrintable(expected));
        QVERIFY(!r.out.contains(Td::builtinPassword));
        QVERIFY(!QFile::exists(conf));

        const Run refused = runBash({script, u"--dry-run"_s, u"--listen"_s}, env);
        QCOMPARE(refused.code, 1);
        QCOMPARE(refused.err.trimmed(), u"HIBA: A --listen után adja meg a címet."_s);
    }

    void ownerAccountAndAdministratorPassword()
    {
        TestDb scratch({}, u"d_scratch"_s, &m_server);
        QVERIFY2(scratch.ok(), qPrintable(scratch.error()));
        db::Connection::closeAll();

        // A second run keeps the owner's first password.
        const Run first = step(u"ensure_user"_s, {scratch.location(), Td::builtinPassword,
                                                  u"MIVO"_s, u"Elso1jelszo"_s});
        QVERIFY2(first.code == 0, qPrintable(first.err));
        QCOMPARE(step(u"ensure_user"_s,
                      {scratch.location(), Td::builtinPassword, u"MIVO"_s, u"Masodik2jelszo"_s})
                     .code,
                 0);
        QVERIFY(connects(scratch.location(), u"MIVO"_s, u"Elso1jelszo"_s));
        QVERIFY(!connects(scratch.location(), u"MIVO"_s, u"Masodik2jelszo"_s));

        // The database is made by the program and owned by MIVO; the first login is there.
        const QString office = m_server.location(m_dir.filePath(u"office.fdb"_s));
        const QString program = qEnvironmentVariable("MIVO_TEST_BINARY_DIR") + u"/mivo"_s;
        const Run created =
            step(u"create_database"_s, {program, office, u"MIVO"_s, u"Elso1jelszo"_s});
        QVERIFY2(created.code == 0, qPrintable(created.err));
        QCOMPARE(step(u"add_first_login"_s,
                      {office, u"MIVO"_s, u"Elso1jelszo"_s, u"admin"_s, u"Kezdo3"_s})
                     .code,
                 0);
        db::Connection& c = db::Connection::named(u"d_owner"_s);
        c.setDriverName(db::InterBaseDriver);
        c.setParams({u"SERVER NAME="_s + office, u"USER NAME=MIVO"_s, u"PASSWORD=Elso1jelszo"_s});
        QVERIFY(c.open());
        QCOMPARE(db::scalar(u"d_owner"_s, u"SELECT TRIM(MON$OWNER) FROM MON$DATABASE"_s).toString(),
                 u"MIVO"_s);
        QCOMPARE(db::scalar(u"d_owner"_s, u"SELECT JOGOK FROM SZ_JUZER WHERE NEV = 'admin'"_s)
                     .toString(),
                 u"W9"_s);
        c.clear();

        // A workstation with the owner's account starts and stores a request.
        QTemporaryDir station;
        paths::setProgramDir(station.path());
        QDir(station.path()).mkdir(u"work"_s);
        writeIni(station.path(), u"DBSERVER="_s + office +
                                     u"\r\nDBUSER=MIVO\r\nDBPASSWORD=Elso1jelszo\r\nWPWD=NONE\r\n"
                                     u"WORK_PATH="_s +
                                     station.filePath(u"work"_s) + u"\r\n"_s);
        {
            ScriptedMessagesGuard messages;
            Tmivomainfm w;
            QVERIFY(w.runStartup());
            QVERIFY2(messages->texts.isEmpty(), qPrintable(messages->texts.join('\n')));
            Request request = newRequest();
            QVERIFY(RequestStore().store(request).ok());
            QCOMPARE(db::scalar(u"d_mivo"_s, u"SELECT COUNT(*) FROM MUNKA M JOIN UGYFEL U ON "
                                             u"U.KOD = M.UGYFEL WHERE U.NEV = 'Kovács Béla'"_s)
                         .toInt(),
                     1);
            QCOMPARE(db::scalar(u"d_mivo"_s, u"SELECT TRIM(CURRENT_USER) FROM RDB$DATABASE"_s)
                         .toString(),
                     u"MIVO"_s);
        }
        db::Connection::closeAll();
        QCOMPARE(filesContaining(station.path(), "Elso1jelszo"), QStringList());

        // A wrong password is refused like any failed connection, and nothing is opened.
        Ini::instance().clear();
        writeIni(station.path(), u"DBSERVER="_s + office +
                                     u"\r\nDBUSER=MIVO\r\nDBPASSWORD=rossz\r\nWPWD=NONE\r\n"_s);
        {
            ScriptedMessagesGuard messages;
            Tmivomainfm w;
            QVERIFY(!w.runStartup());
            QCOMPARE(messages->texts, QStringList{u"Nem tudok kapcsolódni az adatbázishoz."_s});
            QVERIFY(!db::Connection::named(u"d_mivo"_s).isOpen());
            QVERIFY(!db::Connection::named(u"d_alap"_s).isOpen());
        }

        // The well-known administrator password is replaced (last: the server keeps the new).
        QCOMPARE(step(u"set_admin_password"_s,
                      {scratch.location(), Td::builtinPassword, u"Uj4adminjelszo"_s})
                     .code,
                 0);
        QVERIFY(!connects(scratch.location(), u"SYSDBA"_s, Td::builtinPassword));
        QVERIFY(connects(scratch.location(), u"SYSDBA"_s, u"Uj4adminjelszo"_s));
        QCOMPARE(step(u"set_admin_password"_s,
                      {scratch.location(), u"Uj4adminjelszo"_s, Td::builtinPassword})
                     .code,
                 0);
    }

    void backupWhileAWorkstationWrites()
    {
        TestDb db({}, u"d_mivo"_s, &m_server);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        QVERIFY(db.exec(u"INSERT INTO TAVOLLET (KOD, NEV) VALUES ('B1', 'Mentés előtt')"_s));

        QTemporaryDir work;
        const QString conf = work.filePath(u"office-server.conf"_s);
        const QString backups = work.filePath(u"mentes"_s);
        QFile f(conf);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(u"LOCATION='%1'\nOWNER='SYSDBA'\nOWNER_PASSWORD='%2'\nBACKUP_DIR='%3'\nKEEP='2'\n"_s
                    .arg(db.location(), Td::builtinPassword, backups)
                    .toUtf8());
        f.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"MIVO_SERVER_CONF"_s, conf);

        // What the counts were when the backups began: the writer's rows are not committed.
        const QString expected = work.filePath(u"counts.txt"_s);
        const Run counts =
            runBash({u"-c"_s, u"source \"$1\" && row_counts \"$2\" \"$3\" \"$4\" > \"$5\""_s,
                     u"bash"_s, script, db.location(), u"SYSDBA"_s, Td::builtinPassword, expected});
        QVERIFY2(counts.code == 0, qPrintable(counts.err));
        QVERIFY(QFile(expected).size() > 0);

        QVERIFY(db.openConnection(u"d_writer"_s));
        QSqlDatabase writer = db::Connection::named(u"d_writer"_s).sqlDatabase();
        QVERIFY(writer.transaction());
        QStringList files;
        for (int i = 0; i < 3; ++i) {
            db::Query q(u"d_writer"_s);
            q.setSql(u"INSERT INTO TAVOLLET (KOD, NEV) VALUES (:k, 'Mentés közben')"_s);
            q.bind(u"k"_s, u"W%1"_s.arg(i));
            QVERIFY(q.exec());
            const Run backup = runBash({script, u"--backup"_s}, env);
            QVERIFY2(backup.code == 0, qPrintable(backup.err));
            files << backup.out.trimmed();
            QTest::qWait(1100); // file names differ by the second
        }
        QCOMPARE(QDir(backups).entryList({u"mivo-*.fbk"_s}, QDir::Files).size(), 2);
        QVERIFY(!QFile::exists(files[0]));

        const QString scratch = m_server.location(work.filePath(u"visszatoltve.fdb"_s));
        Run restored = step(u"verify_restore"_s,
                            {files[2], scratch, u"SYSDBA"_s, Td::builtinPassword, expected});
        QVERIFY2(restored.code == 0, qPrintable(restored.err + restored.out));
        QVERIFY(!QFile::exists(work.filePath(u"visszatoltve.fdb"_s)));

        // The comparison does see a difference: a backup with the writer's rows committed.
        QVERIFY(writer.commit());
        const Run later = runBash({script, u"--backup"_s}, env);
        QVERIFY2(later.code == 0, qPrintable(later.err));
        restored = step(u"verify_restore"_s,
                        {later.out.trimmed(), scratch, u"SYSDBA"_s, Td::builtinPassword, expected});
        QCOMPARE(restored.code, 1);
    }
};

QTEST_MAIN(TestOfficeServer)
#include "tst_officeserver.moc"
