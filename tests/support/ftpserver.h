#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

/// The FTP server of the tests (tests/support/ftpserver.py on pyftpdlib) on 127.0.0.1 and a
/// free port, serving a folder as the home of one user. Stopped when the object goes.
class FtpServer
{
public:
    struct Options {
        qint64 throttle = 0;      ///< bytes per second each way; 0 = unlimited
        qint64 dropAfter = -1;    ///< the first transfer reaching this many bytes is cut off
        qint64 killAfter = -1;    ///< the server dies (SIGKILL) when a transfer reaches this
        bool noOverwrite = false; ///< RNTO refuses an existing target
    };

    FtpServer() = default;
    ~FtpServer();
    FtpServer(const FtpServer&) = delete;
    FtpServer& operator=(const FtpServer&) = delete;

    static QString user() { return QStringLiteral("mivo"); }
    static QString password() { return QStringLiteral("jelszo"); }

    /// Starts serving the folder; a port once used is taken again on a restart. False with the
    /// reason when the server does not come up.
    bool start(const QString& dir, const Options& options, QString* error);
    bool start(const QString& dir, QString* error) { return start(dir, Options{}, error); }
    /// Ends the server at once (SIGKILL), as a crash or a power cut would.
    void kill();
    /// Stops it and waits (SIGTERM).
    void stop();
    /// Holds or resumes the process (SIGSTOP/SIGCONT): a server that answers nothing.
    void pause(bool paused);

    int port() const { return m_port; }
    /// "127.0.0.1:port", as FTP_SERVER names it.
    QString host() const;

private:
    QProcess m_process;
    int m_port = 0;
};
