#include "platform/ftp.h"
#include "support/ftpserver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using mivo::net::Ftp;

namespace
{

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(size);
    for (char& c : bytes)
        c = char(generator.bounded(256));
    return bytes;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestFtp : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY(m_home.isValid());
        QDir(m_home.path()).mkpath(u"a/b"_s);
        QString error;
        QVERIFY2(m_server.start(m_home.path(), &error), qPrintable(error));
    }
    void cleanup()
    {
        m_server.stop();
        for (const QString& entry :
             QDir(m_home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
            QFileInfo(m_home.filePath(entry)).isDir()
                ? QDir(m_home.filePath(entry)).removeRecursively()
                : QFile::remove(m_home.filePath(entry));
    }

    void wrongPasswordGivesTheServersCode()
    {
        Ftp ftp;
        QVERIFY(!ftp.connect(m_server.host(), FtpServer::user(), u"rossz"_s));
        QCOMPARE(ftp.lastCode(), 530);
        QVERIFY(!ftp.isConnected());
        QVERIFY(!ftp.connect(u"127.0.0.1:1"_s, FtpServer::user(), FtpServer::password()));
        QVERIFY(ftp.lastCode() > 0 && ftp.lastCode() < 100); // libcurl's own number
    }

    void foldersPartByPartOrInOneStep_data()
    {
        QTest::addColumn<bool>("single");
        QTest::newRow("per part") << false;
        QTest::newRow("single") << true;
    }
    void foldersPartByPartOrInOneStep()
    {
        QFETCH(bool, single);
        Ftp ftp;
        ftp.setCwdMode(single ? Ftp::CwdMode::Single : Ftp::CwdMode::PerPart);
        QVERIFY2(ftp.connect(m_server.host(), FtpServer::user(), FtpServer::password()),
                 qPrintable(ftp.lastError()));
        QVERIFY(!ftp.changeDir(u"a/nincs"_s));
        QCOMPARE(ftp.lastCode(), 550);
        QCOMPARE(ftp.currentDir(), QString());
        QVERIFY2(ftp.changeDir(u"a/b"_s), qPrintable(ftp.lastError()));
        QCOMPARE(ftp.currentDir(), u"a/b"_s);
        QVERIFY(ftp.append("x", u"f.txt"_s));
        QCOMPARE(readFile(m_home.filePath(u"a/b/f.txt"_s)), QByteArray("x"));
    }

    void transfersCountTheirBytes()
    {
        Ftp ftp;
        QVERIFY(ftp.connect(m_server.host(), FtpServer::user(), FtpServer::password()));
        QVERIFY(ftp.changeDir(u"a"_s));
        ftp.setBinary();
        const QByteArray data = randomBytes(300000);
        const QString local = m_home.filePath(u"helyi.bin"_s);
        QVERIFY(writeFile(local, data));
        qint64 lastDone = 0;
        ftp.setProgress([&lastDone](qint64 done, qint64) {
            lastDone = done;
            return true;
        });
        QVERIFY2(ftp.upload(local, u"áruk.bin"_s), qPrintable(ftp.lastError()));
        QCOMPARE(lastDone, qint64(data.size()));
        QCOMPARE(readFile(m_home.filePath(u"a/áruk.bin"_s)), data);
        QCOMPARE(ftp.size(u"áruk.bin"_s), qint64(data.size()));
        QCOMPARE(ftp.size(u"nincs.bin"_s), qint64(-1));
        const QString back = m_home.filePath(u"vissza.bin"_s);
        QVERIFY(ftp.download(u"áruk.bin"_s, back));
        QCOMPARE(readFile(back), data);
        QVERIFY(!ftp.download(u"nincs.bin"_s, back));
        QCOMPARE(ftp.lastCode(), 550);
        QCOMPARE(ftp.bytesTransferred(), qint64(2 * data.size()));

        QVERIFY(ftp.append("egy\r\n", u"doit.sql"_s));
        QVERIFY(ftp.append("kettő\r\n", u"doit.sql"_s));
        QCOMPARE(readFile(m_home.filePath(u"a/doit.sql"_s)), QByteArray("egy\r\nkettő\r\n"));

        QVERIFY(ftp.rename(u"áruk.bin"_s, u"doit.sql"_s)); // this server overwrites
        QCOMPARE(readFile(m_home.filePath(u"a/doit.sql"_s)), data);
        QVERIFY(!ftp.rename(u"nincs.bin"_s, u"más.bin"_s));
        QCOMPARE(ftp.lastCode(), 550);
        QVERIFY(ftp.remove(u"doit.sql"_s));
        QVERIFY(!QFile::exists(m_home.filePath(u"a/doit.sql"_s)));
        QVERIFY(!ftp.remove(u"doit.sql"_s));
        QVERIFY(ftp.isConnected());
    }

    void aDroppedTransferFailsAndTheNextCallConnectsAgain()
    {
        QString error;
        QVERIFY(m_server.start(m_home.path(), {.dropAfter = 100000}, &error));
        Ftp ftp;
        QVERIFY(ftp.connect(m_server.host(), FtpServer::user(), FtpServer::password()));
        const QByteArray data = randomBytes(1000000);
        const QString local = m_home.filePath(u"helyi.bin"_s);
        QVERIFY(writeFile(local, data));
        QVERIFY(!ftp.upload(local, u"nagy.bin"_s));
        QVERIFY(!ftp.lastError().isEmpty());
        QVERIFY(readFile(m_home.filePath(u"nagy.bin"_s)).size() < data.size());
        QVERIFY(ftp.upload(local, u"nagy.bin"_s));
        QCOMPARE(ftp.size(u"nagy.bin"_s), qint64(data.size()));

        // The server dies: the connection is gone; a new server behind the same address is
        // found again by the next call.
        m_server.kill();
        QVERIFY(!ftp.download(u"nagy.bin"_s, m_home.filePath(u"vissza.bin"_s)));
        QVERIFY(m_server.start(m_home.path(), &error));
        QVERIFY2(ftp.download(u"nagy.bin"_s, m_home.filePath(u"vissza.bin"_s)),
                 qPrintable(ftp.lastError()));
        QCOMPARE(readFile(m_home.filePath(u"vissza.bin"_s)), data);
    }

    void aServerThatAnswersNothingDoesNotHoldTheCaller()
    {
        Ftp ftp;
        ftp.setLimits(1, 2);
        QVERIFY(ftp.connect(m_server.host(), FtpServer::user(), FtpServer::password()));
        m_server.pause(true);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!ftp.append("x\r\n", u"doit.sql"_s));
        QVERIFY(timer.elapsed() < 10000);
        Ftp other;
        other.setLimits(1, 2);
        timer.restart();
        QVERIFY(!other.connect(m_server.host(), FtpServer::user(), FtpServer::password()));
        QVERIFY(timer.elapsed() < 10000);
        m_server.pause(false);
    }

private:
    QTemporaryDir m_home;
    FtpServer m_server;
};

QTEST_GUILESS_MAIN(TestFtp)
#include "tst_ftp.moc"
