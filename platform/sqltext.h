#pragma once

#include <QString>
#include <QStringList>

namespace mivo::db
{

/// Single-quoted SQL literal with apostrophes doubled. The one way a value is pasted into SQL
/// text where a bound parameter cannot stand (conditions built as text, catalogue lookups).
QString literal(const QString& value);

/// An SQL text with its named parameters (":name") replaced by positional markers.
struct PositionalSql {
    QString sql;            ///< the text with each ":name" turned into "?"
    QStringList parameters; ///< parameter names in order of occurrence, lower-case
};

/// Finds the named parameters of an SQL text, outside string literals, quoted identifiers
/// and comments. A name used twice occurs twice in the list.
PositionalSql toPositional(const QString& sql);

/// Splits an SQL script into statements. Statements end with the current terminator (";"
/// at first); "SET TERM x ;" lines change it, as isql does, so that trigger and procedure
/// bodies travel as one statement each. Comment-only lines are dropped.
QStringList splitScript(const QString& script);

} // namespace mivo::db
