#pragma once

#include <QString>

namespace mivo
{

/// What the table dictionary says about one table or table list.
struct TableRights {
    QString access = QStringLiteral("FULL"); ///< "FULL", "VIEW" or "NONE"
    int afterInsert = 0;
    int beforePost = 0;
    int afterPost = 0;
    int qreport = 0;
    bool found = false;          ///< a TABLAK row exists for the name
    QString title;               ///< MEGNEVEZES of the row
    bool hasWindowState = false; ///< TABLAK has a WINDOWSTATE column
    QString windowState;         ///< its value for the row
};

/// Whether the framework's user meets the requirement: "X" (any case) is met by nobody,
/// everything else by rights holding "W"; an empty or blank requirement or rights string is
/// always met; otherwise one shared letter is enough.
bool CheckRights(const QString& requirement);

/// Feeds the framework from a successful login: the rights string that CheckRights tests and
/// the user name the change log records. A new login replaces both.
void SetFrameworkUser(const QString& rights, const QString& user);

/// Access level and hook codes of a table name or table list from TABLAK. Without TABLAK or
/// without a row: "FULL". No right to view shows
/// "Önnek nincs joga az alábbi táblát megtekinteni:" and the title, and gives "NONE".
TableRights ReadTableRights(const QString& tableOrSpec);

} // namespace mivo
