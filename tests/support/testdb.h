#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

/// A fresh embedded Firebird database built from the schema scripts, in a temporary folder
/// that disappears with the object. The connection (d_mivo unless named otherwise) is open
/// when ok() is true; every connection opened through it is closed at the end.
class FirebirdServer;

class TestDb
{
public:
    /// With a server the database is created and opened through it ("127.0.0.1/port:path").
    explicit TestDb(const QStringList& optionalTables = allOptional(),
                    const QString& connectionName = QStringLiteral("d_mivo"),
                    const FirebirdServer* server = nullptr);
    ~TestDb();
    TestDb(const TestDb&) = delete;
    TestDb& operator=(const TestDb&) = delete;

    static QStringList allOptional();

    bool ok() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    /// Path of the database file.
    QString path() const { return m_path; }
    /// Where clients find it: the path, or the server location.
    QString location() const { return m_location; }
    /// The temporary folder (for configuration files and the like).
    QString dir() const { return m_dir.path(); }
    QString connectionName() const { return m_connection; }

    /// Opens a further connection to the same database under the name.
    bool openConnection(const QString& name);

    /// Runs a statement on the test's connection; fails the running test with the
    /// database's text when it does not succeed.
    bool exec(const QString& sql);

private:
    QTemporaryDir m_dir;
    QString m_path;
    QString m_location;
    QString m_connection;
    QStringList m_opened;
    QString m_error;
};
