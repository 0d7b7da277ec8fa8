#include "smtpserver.h"

#include "core/ini.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>

#include <unistd.h>

SmtpServer::~SmtpServer()
{
    stop();
}

bool SmtpServer::start(const QString& dir, QString* error, const QString& user,
                       const QString& password)
{
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    stop();
    m_dir = dir;
    QStringList args{QStringLiteral(MIVO_SMTPSERVER_PY), QStringLiteral("--dir"), dir};
    if (!user.isEmpty())
        args << QStringLiteral("--user") << user << QStringLiteral("--password") << password;
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Open database files must not outlive their detach in the server.
    m_process.setChildProcessModifier([] { ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC); });
    // Debian's python3-aiosmtpd imports only under Debian's interpreter.
    m_process.start(QStringLiteral("/usr/bin/python3"), args);
    if (!m_process.waitForStarted(5000))
        return fail(QStringLiteral("Az SMTP szerver nem indult el (python3-aiosmtpd)."));
    QByteArray output;
    QElapsedTimer timer;
    timer.start();
    while (!output.contains('\n') && timer.elapsed() < 10000) {
        if (!m_process.waitForReadyRead(200) && m_process.state() == QProcess::NotRunning)
            break;
        output += m_process.readAllStandardOutput();
    }
    const QByteArray line = output.trimmed();
    if (!line.startsWith("PORT ")) {
        m_process.kill();
        m_process.waitForFinished(2000);
        return fail(QStringLiteral("Az SMTP szerver nem figyel: ") + QString::fromLocal8Bit(line));
    }
    m_port = line.mid(5).toInt();
    return true;
}

void SmtpServer::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QJsonObject SmtpServer::message(int n) const
{
    QFile file(QDir(m_dir).filePath(QString::number(n) + QStringLiteral(".json")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

int SmtpServer::messageCount() const
{
    return int(QDir(m_dir).entryList({QStringLiteral("*.json")}, QDir::Files).size());
}

void SmtpServer::configureProgram(const QString& from) const
{
    mivo::Ini& ini = mivo::Ini::instance();
    ini.set(QStringLiteral("SMTP_SERVER"), QStringLiteral("127.0.0.1"));
    ini.set(QStringLiteral("SMTP_PORT"), QString::number(m_port));
    ini.set(QStringLiteral("SMTP_TLS"), QStringLiteral("N"));
    ini.set(QStringLiteral("SMTP_FROM"), from);
}
