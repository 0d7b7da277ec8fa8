#pragma once

#include <QString>
#include <QStringList>

namespace mivo::schema
{

/// The tables a database may lack; each one switches a feature off.
QStringList optionalTables();

/// Runs the schema scripts on an open, empty database: the core tables, views, generators,
/// triggers, indexes and dictionary rows, and the optional tables named (all by default).
/// False with the failing statement and the database's text in *error.
bool build(const QString& connectionName, QString* error);
bool build(const QString& connectionName, const QStringList& withOptional, QString* error);

/// Brings a database made by an older program up to this one: the tables it lacks (the day
/// bookings) and the indexes the lists need. False with the database's text in *error when
/// a table could not be made; an index that cannot be made now is left for the next start.
bool upgrade(const QString& connectionName, QString* error);

/// A short fingerprint of every schema script: databases made from other scripts differ.
QString scriptsDigest();

/// Runs one script (statements split as isql would) on the connection.
bool runScript(const QString& connectionName, const QString& script, QString* error);

} // namespace mivo::schema
