#include "dbconnection.h"

#include "termination.h"

#include <QDir>
#include <QMutex>
#include <QSqlError>

#include <map>
#include <memory>

using namespace Qt::StringLiterals;

namespace mivo::db
{

namespace
{

std::map<QString, std::unique_ptr<Connection>>& registry()
{
    static std::map<QString, std::unique_ptr<Connection>> connections;
    return connections;
}

QMutex transactionsMutex;

std::map<QString, TransactionState>& transactions()
{
    static std::map<QString, TransactionState> states;
    return states;
}

// A transaction began (open) or ended, or the attachment changed (not open).
void nextGeneration(const QString& connectionName, bool open)
{
    QMutexLocker lock(&transactionsMutex);
    TransactionState& state = transactions()[connectionName];
    ++state.generation;
    state.open = open;
}

} // namespace

QString errorText(const QSqlError& error)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.text().trimmed();
    return text;
}

int errorCode(const QSqlError& error)
{
    return error.nativeErrorCode().toInt();
}

TransactionState transactionState(const QString& connectionName)
{
    QMutexLocker lock(&transactionsMutex);
    const auto& states = transactions();
    const auto it = states.find(connectionName);
    return it == states.end() ? TransactionState{} : it->second;
}

Connection& Connection::named(const QString& name)
{
    auto& connections = registry();
    auto it = connections.find(name);
    if (it == connections.end())
        it = connections.emplace(name, std::unique_ptr<Connection>(new Connection(name))).first;
    return *it->second;
}

void Connection::closeAll()
{
    auto& connections = registry();
    for (auto& [name, connection] : connections)
        connection->close();
    connections.clear();
}

QString Connection::param(const QString& key) const
{
    const QString prefix = key + QLatin1Char('=');
    for (const QString& line : m_params)
        if (line.startsWith(prefix, Qt::CaseInsensitive))
            return line.mid(prefix.size());
    return {};
}

QString Connection::location() const
{
    const QString server = param(QStringLiteral("SERVER NAME"));
    return server.isEmpty() ? param(QStringLiteral("DATABASE NAME")) : server;
}

void Connection::copySettingsFrom(const Connection& other)
{
    m_driver = other.m_driver;
    m_alias = other.m_alias;
    m_params = other.m_params;
}

void Connection::clear()
{
    close();
    m_params.clear();
    m_alias.clear();
}

bool Connection::open()
{
    close();
    m_lastError.clear();
    if (m_driver.compare(ParadoxDriver, Qt::CaseInsensitive) == 0) {
        const QString path = param(QStringLiteral("PATH"));
        m_folderOpen = !path.isEmpty() && QDir(path).exists();
        if (!m_folderOpen)
            m_lastError = QStringLiteral("A mappa nem létezik: ") + path;
        return m_folderOpen;
    }
    const QString where = location();
    if (where.isEmpty()) {
        m_lastError = QStringLiteral("Nincs megadva adatbázis.");
        return false;
    }
    QSqlDatabase db = QSqlDatabase::contains(m_name)
                          ? QSqlDatabase::database(m_name, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), m_name);
    db.setDatabaseName(where);
    db.setUserName(param(QStringLiteral("USER NAME")));
    db.setPassword(param(QStringLiteral("PASSWORD")));
    {
        // The first attachment makes Firebird's client take SIGTERM and SIGINT; a signal
        // arriving meanwhile waits until the handlers are ours again.
        const termination::Deferred deferred;
        if (!db.open()) {
            m_lastError = errorText(db.lastError());
            return false;
        }
        termination::reinstall();
    }
    nextGeneration(m_name, false);
    return true;
}

void Connection::close()
{
    m_folderOpen = false;
    if (QSqlDatabase::contains(m_name)) {
        nextGeneration(m_name, false);
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
}

bool Connection::isOpen() const
{
    if (m_driver.compare(ParadoxDriver, Qt::CaseInsensitive) == 0)
        return m_folderOpen;
    return QSqlDatabase::contains(m_name) && QSqlDatabase::database(m_name, false).isOpen();
}

QSqlDatabase Connection::sqlDatabase() const
{
    return QSqlDatabase::database(m_name, false);
}

bool isLocalLocation(const QString& location)
{
    const qsizetype colon = location.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return true;
    // A drive letter ("C:\...", "c:/...") is a Windows path, not a host.
    if (colon == 1 && location[0].isLetter())
        return true;
    const QString host = location.left(colon);
    // A colon inside an absolute or relative file path is part of the path.
    return host.startsWith(QLatin1Char('/')) || host.startsWith(QLatin1Char('.'));
}

Transaction::Transaction(const QString& connectionName)
    : m_connection(connectionName), m_db(QSqlDatabase::database(connectionName, false))
{
    if (transactionState(connectionName).open) {
        // The driver would refuse without saying why.
        m_error = u"A kapcsolaton már fut egy tranzakció: "_s + connectionName;
        return;
    }
    m_active = m_db.isOpen() && m_db.transaction();
    if (m_active) {
        nextGeneration(m_connection, true);
    } else {
        m_error = errorText(m_db.lastError());
        m_errorCode = errorCode(m_db.lastError());
    }
}

Transaction::~Transaction()
{
    rollback();
}

void Transaction::ended()
{
    m_active = false;
    nextGeneration(m_connection, false);
}

void Transaction::rollback()
{
    if (!m_active)
        return;
    m_db.rollback();
    ended();
}

bool Transaction::commit()
{
    if (!m_active)
        return false;
    const bool committed = m_db.commit();
    if (!committed) {
        m_error = errorText(m_db.lastError());
        m_errorCode = errorCode(m_db.lastError());
        // The driver forgets the transaction even when the commit fails; the attachment
        // keeps it until it is closed.
        m_db.rollback();
    }
    ended();
    return committed;
}

} // namespace mivo::db
