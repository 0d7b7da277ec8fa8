#include "catalogue.h"

#include "dbquery.h"

using namespace Qt::StringLiterals;

namespace mivo::db
{

const QString tableExistsSql =
    u"Select Count(*) DARAB From RDB$RELATIONS WHERE RDB$RELATION_NAME = :name"_s;

bool tableExists(const QString& connectionName, const QString& table, QString* error)
{
    return scalar(connectionName, tableExistsSql, {{u"name"_s, table}}, error).toInt() > 0;
}

} // namespace mivo::db
