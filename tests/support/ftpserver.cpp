#include "ftpserver.h"

#include <QElapsedTimer>

#include <signal.h>
#include <unistd.h>

FtpServer::~FtpServer()
{
    stop();
}

QString FtpServer::host() const
{
    return QStringLiteral("127.0.0.1:%1").arg(m_port);
}

bool FtpServer::start(const QString& dir, const Options& options, QString* error)
{
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    stop();
    QStringList args{QStringLiteral(MIVO_FTPSERVER_PY),
                     QStringLiteral("--dir"),
                     dir,
                     QStringLiteral("--user"),
                     user(),
                     QStringLiteral("--password"),
                     password(),
                     QStringLiteral("--port"),
                     QString::number(m_port)};
    if (options.throttle > 0)
        args << QStringLiteral("--throttle") << QString::number(options.throttle);
    if (options.dropAfter >= 0)
        args << QStringLiteral("--drop-after") << QString::number(options.dropAfter);
    if (options.killAfter >= 0)
        args << QStringLiteral("--kill-after") << QString::number(options.killAfter);
    if (options.noOverwrite)
        args << QStringLiteral("--no-overwrite");
    // Debian's python3-pyftpdlib imports only under Debian's interpreter.
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // The server must not inherit this process's open files: a database file's lock would
    // outlive its detach here.
    m_process.setChildProcessModifier([] { ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC); });
    m_process.start(QStringLiteral("/usr/bin/python3"), args);
    if (!m_process.waitForStarted(5000))
        return fail(QStringLiteral("Az FTP szerver nem indult el (python3-pyftpdlib)."));
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
        return fail(QStringLiteral("Az FTP szerver nem figyel: ") + QString::fromLocal8Bit(line));
    }
    m_port = line.mid(5).toInt();
    return true;
}

void FtpServer::kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(5000);
}

void FtpServer::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    pause(false);
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        kill();
}

void FtpServer::pause(bool paused)
{
    if (m_process.state() != QProcess::NotRunning)
        ::kill(pid_t(m_process.processId()), paused ? SIGSTOP : SIGCONT);
}
