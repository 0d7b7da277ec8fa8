#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace mivo
{

/// Kind of the button that a field row places after its input.
enum class ButtonKind { None, Lookup, Info, Picture, Text, Date, Form, ValueList, Memo };

/// One VEZERLO row: a field (or a caption/button line) of a module's panel. Optional
/// columns that the table lacks read as empty, which gives their features' defaults
/// (editable, visible, no case change, no password, no mask, not required).
struct FieldDef {
    QString modul;
    QString sorrend;
    QString mezo; ///< trimmed; empty for a caption or button line
    QString megnevezes;
    QString oszlopnev; ///< trimmed
    bool ujsor = false;
    QString charCase;
    QString irhatjaJog;
    QString nezhetiJog;
    QString pwdChar;
    QString pvezerlo;
    QString editMask;
    bool notNull = false; ///< NOTNULL "I" (any case)
    int valid = 0;
    QString valtMezo;
    QString button;
    QString szot;
    QString szotWhere;
    QString szotMezo;
    int funkcio = 0;
    QString plusField[3];
    int plusWidth[3] = {0, 0, 0};

    bool hasField() const { return !mezo.isEmpty(); }
    /// NEZHETI_JOG "X": the row leaves no trace anywhere.
    bool removed() const;
    /// EDITMASK "<rejt>": the input exists but is invisible.
    bool concealed() const;
    /// The number format of a FLOAT field (the mask unless it conceals the input).
    QString numberFormat() const { return concealed() ? QString() : editMask; }
    ButtonKind buttonKind() const;
    /// Caption and hint of the row's button.
    QString buttonCaption() const;
    QString buttonHint() const;
    /// Name of the controls of a row: the field, or SORREND for a row without one.
    QString controlKey() const { return hasField() ? mezo : sorrend; }
    /// TParaButton param1: the field, or BUTTON + "_" + SORREND.
    QString buttonParam1() const;
};

/// The VEZERLO rows of a module (and a second module), in SORREND order.
struct FieldDefs {
    QList<FieldDef> rows;
    int captionWidth = 40; ///< declared length of VEZERLO.MEGNEVEZES, in characters
    QString error;         ///< the database's text when the rows could not be read
};

FieldDefs readFieldDefs(const QString& module, const QString& secondModule = {});

/// One PVEZERLO row: after a choice, QMEZO receives the chosen record's SZOTMEZO.
struct PostAssignment {
    QString szotMezo;
    QString qMezo;
    QString muvelet;
    QString szotMezo2; ///< "TABLE.COLUMN" of the information text for "+"
    bool fetchesInfo() const;
    QString infoTable() const;
    QString infoColumn() const;
};

/// The PVEZERLO rows of a panel; *error gets the database's text on failure.
QList<PostAssignment> readPostAssignments(const QString& panel, QString* error);

/// The current text of a field of the calling panel; nullopt when it has no such field.
using PanelFieldText = std::function<std::optional<QString>(const QString& field)>;

/// One DIFOLC row: a default value of a dictionary's new record.
struct LookupDefault {
    QString mezo;
    QString ertek;
    /// "$value" is the value, "#FIELD" the text of that panel field, "#FIELD OR $value"
    /// or "#FIELD OR #OTHER" falls back when the panel lacks FIELD; anything else is empty.
    QString evaluate(const PanelFieldText& panel) const;
};

/// DIFOLC rows of a dictionary module (upper-cased) in SORREND order, when the table exists.
QList<LookupDefault> readLookupDefaults(const QString& module, QString* error);

/// A dictionary condition (SZOTWHERE) made ready for the editor: "#FIELD" at the end becomes
/// the field's current text as an SQL literal (the whole condition is empty when the panel
/// has no such field), and the first "$" of the condition is removed.
QString dictionaryCondition(const QString& szotWhere, const PanelFieldText& panel);

} // namespace mivo
