#include "fbdatabase.h"

#include "sqltext.h"

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

} // namespace mivo::db
