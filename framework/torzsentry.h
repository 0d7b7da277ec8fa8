#pragma once

#include <QString>

namespace mivo::torzs
{

/// Search text that forces the records to be read again and searches nothing.
inline const QString reopenText = QStringLiteral("musz_reopen");

/// A table list of the editor's entry routine, split.
struct Spec {
    QString table;        ///< the edited table, upper case
    QString module;       ///< the VEZERLO module of the panel
    QString secondModule; ///< a further module whose rows join the panel ("T+M")
    QString
        rightsName; ///< the TABLAK row: the whole table list as written for "T,M", else the table
};

/// "T" edits T with module T; "T,M" edits T with module M (TABLAK under the table list as written);
/// "T+M" edits T with module T plus the rows of M. With both "," and "+" the "," form applies.
Spec parseSpec(const QString& tableSpec);

/// Object name of the editor window of a table list: table + "_" + module + "_Torzsfm".
QString editorName(const Spec& tableSpec);

/// The condition in use: a non-empty argument not starting with the word WHERE gets
/// "WHERE " in front of it; otherwise the trimmed argument.
QString normaliseCondition(const QString& argument);

enum class WindowState { Keep, Normal, Maximized, Minimized };

/// The window state: the TABLAK value when given, else the configured one; "NORMAL",
/// "MAXIMIZED", "MINIMIZED" in any case, anything else keeps the window as it is.
WindowState windowState(const QString& tableValue, const QString& configured);

/// Whether an editor found again must read its records again.
bool needsRequery(bool previousRequery, bool rebuild, const QString& searchText,
                  const QString& newCondition, const QString& previousCondition);

} // namespace mivo::torzs
