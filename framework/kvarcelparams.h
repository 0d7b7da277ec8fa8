#pragma once

#include "kvarcelcatalogue.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace mivo::kvarcel
{

/// A text file of the builder (parameter file, history): UTF-8 when the bytes are valid
/// UTF-8, else Windows-1250. False with the reason.
bool readTextFile(const QString& path, QString* text, QString* error);
/// Writes lines in Windows-1250 with CRLF ends; the file appears only when complete.
bool writeTextFile(const QString& path, const QStringList& lines, QString* error);

/// Breaks a line longer than the limit after its last "," (failing that, its last blank)
/// within the limit, outside string literals, again and again; a line without such a place
/// stays whole. Joined without separators the pieces give the line back.
QStringList breakLongLine(const QString& line, int limit = 200);
/// Joins comment lines that a break left open ("/*" without "*/") with the lines that
/// follow, up to the line that closes them.
QStringList joinCommentLines(const QStringList& lines);

/// The comment lines of a parameter file, in their order: version, title, the six options,
/// KELL, ORDERBY, GROUP and FELTEVE lines. typeOf gives an item's type code for GROUP.
QStringList parameterComments(const Catalogue& catalogue, const ListOptions& options,
                              const QString& title,
                              const std::function<QString(const ListItem&)>& typeOf);
/// A whole parameter file: the comments, then the script without earlier parameter
/// comments, every line broken at 200 characters.
QStringList parameterFile(const QStringList& comments, const QStringList& script);
/// Whether a line is one of the parameter comments (which a new save replaces).
bool isParameterComment(const QString& line);

/// What opening a parameter file restored.
struct LoadedParameters {
    QString version; ///< "5.0"; empty for files that carry none
    QString title;
    int listedItems = 0; ///< items that got a Kell letter
    QStringList unknownAliases;
};

/// Restores the title, the options and the choices from the comment lines of a parameter
/// file (prefixes compared case-insensitively); every choice is cleared first and
/// "Csak ha minden táblában van sora" unticked. Saved aliases go through translate (alias,
/// version → current alias) when given. Files before "5.0" turn HOTOL/HOIG into a condition
/// on BKH_HONAP and give SZEMDATUM " = '%ma%'".
LoadedParameters
loadParameters(const QString& text, Catalogue& catalogue, ListOptions& options,
               const std::function<QString(const QString&, const QString&)>& translate = {});

} // namespace mivo::kvarcel
