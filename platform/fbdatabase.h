#pragma once

#include <QString>

namespace mivo::db
{

/// Creates an empty Firebird database (UTF8, binary comparison) at the location: a local path
/// creates the file in-process, "host:path" asks a server. False with the server's text in
/// *error when it cannot (file exists, folder missing, server refuses).
bool createFirebirdDatabase(const QString& location, const QString& user, const QString& password,
                            QString* error);

/// Runs a definition (CREATE, DROP, ALTER of a table or view) on the open QIBASE connection in
/// a transaction of its own and commits it. Firebird does most of a definition's work at the
/// commit, where definitions of two workstations at once meet an update conflict (every new
/// table or view counts up one row of RDB$DATABASE); the driver forgets a transaction whose
/// commit failed while the attachment keeps it open with its half-made object, so this one
/// keeps its own handle and rolls back what failed. False with the database's text in *error
/// and its SQL code (-913 for the conflict) in *code.
bool executeDefinition(const QString& connectionName, const QString& sql, QString* error,
                       int* code);

} // namespace mivo::db
