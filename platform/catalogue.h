#pragma once

#include <QString>

namespace mivo::db
{

/// The statement that counts the tables of a name in a Firebird catalogue (":name"), for
/// those who time it bare.
extern const QString tableExistsSql;

/// Whether the connection's Firebird database has the table, named as the catalogue stores
/// it (upper case unless it was created quoted). False
/// also when the catalogue cannot be read; then *error holds the database's text.
bool tableExists(const QString& connectionName, const QString& table, QString* error = nullptr);

} // namespace mivo::db
