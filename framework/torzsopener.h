#pragma once

#include "selectedrecord.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace mivo
{

/// The arguments of one call of the generic editor's entry routine.
struct TorzsCall {
    QString tableSpec; ///< "TABLE", "TABLE,MODULE" or "TABLE+MODULE"
    QString condition; ///< a WHERE clause, with or without the word WHERE
    QString searchText;
    bool editingAllowed = true;
    bool selectionMode = false;
    QStringList names;        ///< in: fields to pre-fill in a new record; out: column names
    QStringList values;       ///< in: their values; out: the panel's input texts
    ASelectedRecord selected; ///< out: the chosen record
};

/// The generic editor as the form builder reaches it. The editor registers itself at
/// start-up, so that lookup buttons can open it without the framework knowing the screen.
class TorzsOpener
{
public:
    virtual ~TorzsOpener() = default;
    /// Shows the editor for the call; true when the user chose a record.
    virtual bool OpenTorzs(TorzsCall& call) = 0;
    /// Makes the open editor windows of the name ("UGYFEL_UGYFEL_Torzsfm") read their records
    /// anew at their next showing: another screen stored rows of their table.
    virtual void markForRereading(const QString& editorName) = 0;
};

/// Registers the editor (nullptr removes it); the caller keeps ownership.
void setTorzsOpener(TorzsOpener* opener);
/// Opens the registered editor; false when none is registered.
bool OpenTorzs(TorzsCall& call);

/// The generic editor as a row picker on the table with the condition, started at the search
/// text: the chosen row's fields, nullopt when cancelled.
std::optional<TorzsCall> pickRow(const QString& table, const QString& condition,
                                 const QString& searchText);
/// A field of the picked row, trimmed.
QString pickedField(const TorzsCall& call, const QString& field);
/// Marks editor windows for re-reading through the registered editor, if any.
void markTorzsForRereading(const QString& editorName);

/// The text-file editor as lookup panels reach it ("Text" buttons); registered at start-up.
class TextFileEditor
{
public:
    virtual ~TextFileEditor() = default;
    /// Edits the named file modally.
    virtual void editFile(const QString& fileName) = 0;
};

void setTextFileEditor(TextFileEditor* editor);
/// Opens the registered text-file editor; false when none is registered.
bool editTextFile(const QString& fileName);

} // namespace mivo
