#include "testdb.h"

#include "fbserver.h"

#include "core/dat.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "platform/fbdatabase.h"
#include "schema/schemabuilder.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <map>

using namespace mivo;

QStringList TestDb::allOptional()
{
    return schema::optionalTables();
}

namespace
{

// Building the schema takes a second; a database file copied from one built earlier in the
// same run takes milliseconds. One template per set of optional tables.
QString templateFor(const QStringList& optionalTables, QString* error)
{
    static QTemporaryDir folder;
    static std::map<QString, QString> templates;
    QStringList key = optionalTables;
    key.sort();
    const auto found = templates.find(key.join(QLatin1Char(',')));
    if (found != templates.end())
        return found->second;

    const QString path = folder.filePath(QStringLiteral("template%1.fdb").arg(templates.size()));
    if (!db::createFirebirdDatabase(path, Td::builtinUser, Td::builtinPassword, error))
        return {};
    db::Connection& c = db::Connection::named(QStringLiteral("d_template"));
    c.clear();
    c.setParams({QStringLiteral("SERVER NAME=") + path,
                 QStringLiteral("USER NAME=") + Td::builtinUser,
                 QStringLiteral("PASSWORD=") + Td::builtinPassword});
    const bool built = c.open() && schema::build(c.name(), optionalTables, error);
    if (!c.lastError().isEmpty() && error)
        *error = c.lastError();
    c.clear();
    if (!built)
        return {};
    templates[key.join(QLatin1Char(','))] = path;
    return path;
}

} // namespace

TestDb::TestDb(const QStringList& optionalTables, const QString& connectionName,
               const FirebirdServer* server)
    : m_connection(connectionName)
{
    m_path = m_dir.filePath(QStringLiteral("test.fdb"));
    m_location = server ? server->location(m_path) : m_path;
    if (server) {
        // Through the server from the start, as an office creates its database.
        if (!db::createFirebirdDatabase(m_location, Td::builtinUser, Td::builtinPassword, &m_error))
            return;
        if (openConnection(connectionName))
            schema::build(connectionName, optionalTables, &m_error);
        return;
    }
    const QString source = templateFor(optionalTables, &m_error);
    if (source.isEmpty())
        return;
    if (!QFile::copy(source, m_path)) {
        m_error = QStringLiteral("A teszt adatbázis nem másolható: ") + m_path;
        return;
    }
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                      QFile::WriteGroup);
    openConnection(connectionName);
}

TestDb::~TestDb()
{
    for (const QString& name : m_opened)
        db::Connection::named(name).clear();
}

bool TestDb::openConnection(const QString& name)
{
    db::Connection& c = db::Connection::named(name);
    c.clear();
    c.setDriverName(db::InterBaseDriver);
    c.setParams({QStringLiteral("SERVER NAME=") + m_location,
                 QStringLiteral("USER NAME=") + Td::builtinUser,
                 QStringLiteral("PASSWORD=") + Td::builtinPassword});
    if (!c.open()) {
        m_error = c.lastError();
        return false;
    }
    m_opened << name;
    return true;
}

bool TestDb::exec(const QString& sql)
{
    QString error;
    if (db::execute(m_connection, sql, {}, &error))
        return true;
    QTest::qFail(qPrintable(error + QStringLiteral("\n") + sql), __FILE__, __LINE__);
    return false;
}
