#include "platform/codepage.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "support/testdb.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <sys/stat.h>

using namespace mivo;
using namespace Qt::StringLiterals;

namespace
{

// The process holding the lock that Firebird's embedded engine (Super mode) takes on an
// attached database file, 0 when none. Reading /proc/locks takes no lock, so it cannot
// disturb an attach.
qint64 lockHolder(const QString& path)
{
    struct stat file = {};
    QFile locks(u"/proc/locks"_s);
    if (::stat(QFile::encodeName(path).constData(), &file) != 0 || !locks.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray inode = ':' + QByteArray::number(quint64(file.st_ino));
    // "1: FLOCK  ADVISORY  WRITE 4711 fe:01:1234567 0 EOF"
    for (const QByteArray& line : locks.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 5 && fields[5].endsWith(inode))
            return fields[4].toLongLong();
    }
    return 0;
}

} // namespace

// The program ends on SIGTERM and SIGINT as on closing its window: the database is detached,
// so the next start can open the file.
class TestTermination : public QObject
{
    Q_OBJECT
private slots:
    void signalEndsTheProgramAndReleasesTheDatabase_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    void signalEndsTheProgramAndReleasesTheDatabase()
    {
        QFETCH(int, signal);
        const QString program = qEnvironmentVariable("MIVO_TEST_BINARY_DIR") + u"/mivo"_s;
        QVERIFY2(QFile::exists(program), qPrintable(program));
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        db::Connection::closeAll();
        QFile ini(QDir(db.dir()).filePath(u"MIVO.INI"_s));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(toWindows1250(u"DBSERVER="_s + db.path() + u"\r\nWPWD=NONE\r\n"_s));
        ini.close();

        // Twice: the second start proves that the first one let the file go.
        for (int start = 1; start <= 2; ++start) {
            QCOMPARE(lockHolder(db.path()), 0);
            QProcess mivo;
            mivo.setWorkingDirectory(db.dir());
            mivo.setProcessChannelMode(QProcess::MergedChannels);
            mivo.start(program, {});
            QVERIFY(mivo.waitForStarted(10000));
            QDeadlineTimer attach(30000);
            while (lockHolder(db.path()) != mivo.processId() && !attach.hasExpired() &&
                   !mivo.waitForFinished(50)) {
            }
            QVERIFY2(lockHolder(db.path()) == mivo.processId(),
                     qPrintable(u"The program did not attach its database:\n"_s +
                                QString::fromLocal8Bit(mivo.readAll())));
            ::kill(pid_t(mivo.processId()), signal);
            QVERIFY2(mivo.waitForFinished(10000), "the program did not end");
            QCOMPARE(mivo.exitStatus(), QProcess::NormalExit);
            QCOMPARE(mivo.exitCode(), 0);
            QCOMPARE(lockHolder(db.path()), 0);
        }
        QVERIFY2(db.openConnection(u"d_mivo"_s), qPrintable(db.error()));
        QVERIFY(db::scalar(u"d_mivo"_s, u"SELECT COUNT(*) FROM RDB$DATABASE"_s).toInt() == 1);
    }
};

QTEST_GUILESS_MAIN(TestTermination)
#include "tst_termination.moc"
