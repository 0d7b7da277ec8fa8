#include "fbdatabase.h"

#include "sqltext.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <ibase.h>

namespace mivo::db
{

namespace
{

QString statusText(const ISC_STATUS* status)
{
    QString text;
    char buffer[512];
    const ISC_STATUS* vector = status;
    while (fb_interpret(buffer, sizeof buffer, &vector)) {
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text += QString::fromUtf8(buffer);
    }
    return text;
}

QByteArray quotedUtf8(const QString& value)
{
    return literal(value).toUtf8();
}

// Fills the failure's text and SQL code from the status vector.
bool failed(const ISC_STATUS* status, QString* error, int* code)
{
    if (error)
        *error = statusText(status);
    if (code)
        *code = int(isc_sqlcode(status));
    return false;
}

} // namespace

bool createFirebirdDatabase(const QString& location, const QString& user, const QString& password,
                            QString* error)
{
    const QByteArray sql = "CREATE DATABASE " + quotedUtf8(location) + " USER " + quotedUtf8(user) +
                           " PASSWORD " + quotedUtf8(password) +
                           " PAGE_SIZE 8192 DEFAULT CHARACTER SET UTF8";
    ISC_STATUS_ARRAY status{};
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    if (isc_dsql_execute_immediate(status, &db, &tr, 0, sql.constData(), SQL_DIALECT_V6, nullptr)) {
        if (error)
            *error = statusText(status);
        return false;
    }
    isc_detach_database(status, &db);
    return true;
}

bool executeDefinition(const QString& connectionName, const QString& sql, QString* error, int* code)
{
    if (code)
        *code = 0;
    const QSqlDatabase database = QSqlDatabase::database(connectionName, false);
    if (!database.isOpen() || database.driverName() != QLatin1String("QIBASE")) {
        if (error)
            *error = QLatin1String("Nincs nyitott Firebird kapcsolat: ") + connectionName;
        return false;
    }
    const QVariant handle = database.driver()->handle();
    isc_db_handle db = handle.value<isc_db_handle>();
    if (!handle.isValid() || !db) {
        if (error)
            *error = QLatin1String("Nincs nyitott Firebird kapcsolat: ") + connectionName;
        return false;
    }
    ISC_STATUS_ARRAY status{};
    isc_tr_handle tr = 0;
    if (isc_start_transaction(status, &tr, 1, &db, 0, nullptr))
        return failed(status, error, code);
    const QByteArray text = sql.toUtf8();
    if (isc_dsql_execute_immediate(status, &db, &tr, 0, text.constData(), SQL_DIALECT_V6,
                                   nullptr) ||
        isc_commit_transaction(status, &tr)) {
        failed(status, error, code);
        // A failed commit leaves the transaction open with a valid handle: end it here.
        ISC_STATUS_ARRAY ignored{};
        if (tr)
            isc_rollback_transaction(ignored, &tr);
        return false;
    }
    return true;
}

} // namespace mivo::db
