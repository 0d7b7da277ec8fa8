#include "fbserver.h"

#include "core/dat.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace
{

const QString firebirdRoot = QStringLiteral("/usr/lib/x86_64-linux-gnu/firebird/3.0");
const QString serverBinary = QStringLiteral("/usr/sbin/firebird");
const QString systemSecurityDb = QStringLiteral("/var/lib/firebird/3.0/system/security3.fdb");

int freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

} // namespace

FirebirdServer::~FirebirdServer()
{
    if (m_server.state() != QProcess::NotRunning) {
        m_server.terminate();
        if (!m_server.waitForFinished(5000))
            m_server.kill();
        m_server.waitForFinished(2000);
    }
}

QString FirebirdServer::location(const QString& path) const
{
    return QStringLiteral("127.0.0.1/%1:%2").arg(m_port).arg(path);
}

bool FirebirdServer::start(QString* error)
{
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (!QFile::exists(serverBinary) || !QFile::exists(systemSecurityDb))
        return fail(QStringLiteral("A Firebird szerver nincs telepítve (firebird3.0-server)."));
    m_port = freePort();
    if (m_port == 0)
        return fail(QStringLiteral("Nincs szabad port."));

    const QDir root(m_root.path());
    for (const char* entry : {"UDF", "intl", "lib", "plugins", "firebird.msg", "plugins.conf"})
        QFile::link(firebirdRoot + QLatin1Char('/') + QLatin1String(entry),
                    root.filePath(QLatin1String(entry)));
    root.mkdir(QStringLiteral("lock"));
    QFile::copy(systemSecurityDb, root.filePath(QStringLiteral("security3.fdb")));

    QFile systemConf(QStringLiteral("/etc/firebird/3.0/firebird.conf"));
    QFile conf(root.filePath(QStringLiteral("firebird.conf")));
    if (!systemConf.open(QIODevice::ReadOnly) || !conf.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("A szerver beállításai nem írhatók."));
    // Loopback only: a test server must never listen on a public interface. Its own user
    // database, so that servers of other test runs on this machine do not lock each other out.
    // SuperClassic, as scripts/office-server sets up an office's server.
    conf.write(systemConf.readAll() +
               QStringLiteral("\nRemoteServicePort = %1\nRemoteBindAddress = 127.0.0.1\n"
                              "SecurityDatabase = %2\nServerMode = SuperClassic\n")
                   .arg(m_port)
                   .arg(root.filePath(QStringLiteral("security3.fdb")))
                   .toUtf8());
    conf.close();
    QFile databases(root.filePath(QStringLiteral("databases.conf")));
    if (!databases.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("A szerver beállításai nem írhatók."));
    databases.write(QStringLiteral("security.db = %1\n{\n  RemoteAccess = false\n}\n")
                        .arg(root.filePath(QStringLiteral("security3.fdb")))
                        .toUtf8());
    databases.close();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FIREBIRD"), root.path());
    env.insert(QStringLiteral("FIREBIRD_LOCK"), root.filePath(QStringLiteral("lock")));

    QProcess isql;
    isql.setProcessEnvironment(env);
    isql.start(QStringLiteral("isql-fb"),
               {QStringLiteral("-user"), QStringLiteral("SYSDBA"), QStringLiteral("-q"),
                root.filePath(QStringLiteral("security3.fdb"))});
    isql.write(
        QStringLiteral("create or alter user SYSDBA password '%1' using plugin Srp; commit;\n")
            .arg(mivo::Td::builtinPassword)
            .toUtf8());
    isql.closeWriteChannel();
    if (!isql.waitForFinished(20000) || isql.exitCode() != 0)
        return fail(QStringLiteral("A SYSDBA jelszó nem állítható be: ") +
                    QString::fromLocal8Bit(isql.readAllStandardError()));

    m_server.setProcessEnvironment(env);
    m_server.setProcessChannelMode(QProcess::MergedChannels);
    m_server.start(serverBinary, {});
    if (!m_server.waitForStarted(5000))
        return fail(QStringLiteral("A szerver nem indult el."));
    for (int attempt = 0; attempt < 100; ++attempt) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, quint16(m_port));
        if (socket.waitForConnected(100))
            return true;
        QThread::msleep(100);
    }
    return fail(QStringLiteral("A szerver nem válaszol: ") +
                QString::fromLocal8Bit(m_server.readAll()));
}

void startWorker(QProcess& worker, const char* variable, const QString& location,
                 const QString& arguments)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(variable), location + QLatin1Char(';') + arguments);
    worker.setProcessEnvironment(env);
    worker.start(QCoreApplication::applicationFilePath(), {});
}

QString readWorkerLine(QProcess& worker)
{
    while (!worker.canReadLine())
        if (!worker.waitForReadyRead(30000))
            return {};
    return QString::fromUtf8(worker.readLine()).trimmed();
}

bool openWorkerConnection(const QString& location, QTextStream& out)
{
    auto& c = mivo::db::Connection::named(QStringLiteral("d_mivo"));
    c.setParams({QStringLiteral("SERVER NAME=") + location,
                 QStringLiteral("USER NAME=") + mivo::Td::builtinUser,
                 QStringLiteral("PASSWORD=") + mivo::Td::builtinPassword});
    if (c.open())
        return true;
    out << "open: " << c.lastError() << Qt::endl;
    return false;
}

int holdChangeForASecond(const QString& statement, int key, QTextStream& out)
{
    {
        mivo::db::Transaction t(QStringLiteral("d_mivo"));
        mivo::db::Query q(QStringLiteral("d_mivo"));
        q.setSql(statement);
        q.bind(QStringLiteral("k"), key);
        if (!q.exec()) {
            out << "hold: " << q.lastError() << Qt::endl;
            return 1;
        }
        out << "locked" << Qt::endl;
        QThread::msleep(1000);
        if (!t.commit()) {
            out << "commit: " << t.lastError() << Qt::endl;
            return 1;
        }
    }
    mivo::db::Connection::closeAll();
    return 0;
}
