#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

class QSqlError;

namespace mivo::db
{

/// Logical driver names of the connection parameter lists.
inline const QString InterBaseDriver = QStringLiteral("INTRBASE");
inline const QString ParadoxDriver = QStringLiteral("STANDARD");

/// A named database connection described by a logical driver and a parameter list of
/// "KEY=value" lines ("SERVER NAME=", "DATABASE NAME=", "USER NAME=", "PASSWORD=", "PATH=").
/// INTRBASE connections open through Qt's QIBASE driver: a local path is opened in-process
/// (embedded Firebird), "host:path" or "host/port:path" reaches a server. STANDARD
/// connections name a folder of Paradox tables and hold no SQL connection.
class Connection
{
public:
    /// The connection registered under the name, created empty on first use.
    static Connection& named(const QString& name);
    /// Closes and forgets every connection (program end, test teardown).
    static void closeAll();

    QString name() const { return m_name; }
    QString driverName() const { return m_driver; }
    void setDriverName(const QString& driver) { m_driver = driver; }
    QString aliasName() const { return m_alias; }
    void setAliasName(const QString& alias) { m_alias = alias; }
    QStringList params() const { return m_params; }
    void setParams(const QStringList& params) { m_params = params; }
    void addParam(const QString& line) { m_params << line; }
    /// Value of a "KEY=value" parameter; empty when absent.
    QString param(const QString& key) const;

    /// The database location the parameters name (SERVER NAME, else DATABASE NAME).
    QString location() const;

    /// Takes driver, alias and parameters of another connection (not its open state).
    void copySettingsFrom(const Connection& other);

    /// Closes the connection and empties its parameters.
    void clear();
    bool open();
    void close();
    bool isOpen() const;
    /// The database layer's text of the last failure.
    QString lastError() const { return m_lastError; }

    /// The Qt connection behind an INTRBASE connection.
    QSqlDatabase sqlDatabase() const;

private:
    explicit Connection(const QString& name) : m_name(name) {}

    QString m_name;
    QString m_driver = InterBaseDriver;
    QString m_alias;
    QStringList m_params;
    QString m_lastError;
    bool m_folderOpen = false;
};

/// Whether a database location is a file of this machine (opened embedded) rather than
/// "host:path" or "host/port:path" on a server. "C:\..." style values count as local.
bool isLocalLocation(const QString& location);

/// The database's text of an error; the driver's own text when the database gave none.
QString errorText(const QSqlError& error);

/// The database's code of an error, 0 when it carries none. Through QIBASE this is Firebird's
/// SQLCODE (QSqlError::nativeErrorCode() holds it as text): -913 update conflict or deadlock,
/// -803 PRIMARY or UNIQUE KEY violation, -901 lock conflict, -204 unknown table or column.
int errorCode(const QSqlError& error);

/// SQLCODEs that mean another workstation changed the same rows at the same time.
inline constexpr int UpdateConflictCode = -913;
inline constexpr int KeyViolationCode = -803;

/// What statements on a connection need to know about its transaction. The generation
/// changes whenever a Transaction begins or ends there (and when the connection opens or
/// closes): a statement prepared under another generation holds a transaction handle that
/// is gone, so it must be prepared anew; within one open transaction it can be reused.
struct TransactionState {
    quint64 generation = 0;
    bool open = false;
};
TransactionState transactionState(const QString& connectionName);

/// Rolls back unless committed: a batch of statements that must land together. One at a
/// time per connection; statements of the connection run in it while it is active.
class Transaction
{
public:
    explicit Transaction(const QString& connectionName);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool isActive() const { return m_active; }
    /// False when the transaction was not active or the commit failed (then it is rolled
    /// back, with the database's text in lastError()).
    bool commit();
    /// Undoes the work at once (the destructor does the same).
    void rollback();
    QString lastError() const { return m_error; }
    /// The database's code of the last failure (see errorCode()), 0 when none.
    int lastErrorCode() const { return m_errorCode; }

private:
    void ended();

    QString m_connection;
    QSqlDatabase m_db;
    bool m_active = false;
    QString m_error;
    int m_errorCode = 0;
};

} // namespace mivo::db
