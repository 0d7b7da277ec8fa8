#pragma once

#include <QString>

namespace mivo::db
{

/// Creates an empty Firebird database (UTF8, binary comparison) at the location: a local path
/// creates the file in-process, "host:path" asks a server. False with the server's text in
/// *error when it cannot (file exists, folder missing, server refuses).
bool createFirebirdDatabase(const QString& location, const QString& user, const QString& password,
                            QString* error);

} // namespace mivo::db
