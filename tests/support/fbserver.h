#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QTextStream>

/// A private Firebird server on 127.0.0.1 and a free port, as an office runs it for several
/// workstations. It has its own root folder (configuration, security database with the
/// program's SYSDBA password, lock files) so that the system installation stays untouched.
/// Stopped when the object goes.
class FirebirdServer
{
public:
    FirebirdServer() = default;
    ~FirebirdServer();
    FirebirdServer(const FirebirdServer&) = delete;
    FirebirdServer& operator=(const FirebirdServer&) = delete;

    /// Starts the server; false with the reason (binary missing, port not answering).
    bool start(QString* error);
    int port() const { return m_port; }
    /// The location of a database file as clients name it on this server.
    QString location(const QString& path) const;

private:
    QTemporaryDir m_root;
    QProcess m_server;
    int m_port = 0;
};

// The second workstation of a race test is the test program started again, with its task in
// an environment variable: "location;arguments". The test's main() runs the worker when the
// variable is set.

/// Starts the worker (the caller may merge its output channels first).
void startWorker(QProcess& worker, const char* variable, const QString& location,
                 const QString& arguments);

/// The next line the worker wrote, trimmed; empty after 30 s without one.
QString readWorkerLine(QProcess& worker);

/// Opens d_mivo of a worker process on the server location; false after writing "open: "
/// and the reason to out.
bool openWorkerConnection(const QString& location, QTextStream& out);

/// The worker's side of a race with a locked row: runs the change (its `:k` bound to key)
/// in a transaction held open for a second, and writes "locked" to out once it holds the
/// row. The worker's exit code.
int holdChangeForASecond(const QString& statement, int key, QTextStream& out);
