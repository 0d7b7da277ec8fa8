#include "testdb.h"

#include "fbserver.h"

#include "core/dat.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "platform/fbdatabase.h"
#include "schema/schemabuilder.h"

#include <QTest>

using namespace mivo;

QStringList TestDb::allOptional() { return schema::optionalTables(); }

TestDb::TestDb(const QStringList& optionalTables, const QString& connectionName, const FirebirdServer* server)
    : m_connection(connectionName)
{
    m_path = m_dir.filePath(QStringLiteral("test.fdb"));
    m_location = server ? server->location(m_path) : m_path;
    if (!db::createFirebirdDatabase(m_location, Td::builtinUser, Td::builtinPassword, &m_error))
        return;
    if (!openConnection(connectionName))
        return;
    schema::build(connectionName, optionalTables, &m_error);
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
    c.setParams({QStringLiteral("SERVER NAME=") + m_location, QStringLiteral("USER NAME=") + Td::builtinUser,
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
