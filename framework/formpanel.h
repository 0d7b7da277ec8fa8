#pragma once

#include "controlrows.h"
#include "selectedrecord.h"

#include <QList>
#include <QObject>
#include <QSqlRecord>
#include <QStringList>

#include <map>

class QLabel;

namespace mivo
{

namespace db
{
class Query;
}

class PanelEdit;
class PanelInput;
class TParaButton;

/// A grid column that a panel asks its host for: the bound field and its title.
struct GridColumn {
    QString field;
    QString title;
};

/// A data-entry panel built from the VEZERLO rows of a module inside a container widget:
/// per row a caption "L_", an input "E_", a button "B_" and information texts ("PF1_" for
/// the first). The panel object lives in the container and runs the checks when an input
/// is left, the lookups, the value-list, date and text buttons, and moves records in and
/// out of the inputs.
class FormPanel : public QObject
{
    Q_OBJECT
public:
    static constexpr int singleColumn = 1;
    /// Property of a panel's buttons holding their ButtonKind.
    static constexpr const char* buttonKindProperty = "mivoButtonKind";

    /// Builds the panel of a module (plus a second module) for the edited table, whose
    /// structure the dataset gives (its statement names the table after "FROM "). Destroys
    /// what the container held, fills the optional lists and grid columns, and returns the
    /// number of panel lines. Without rows (or for module "X") every column of the dataset
    /// gets a caption and an input. A row naming a column the table lacks shows the error
    /// and leaves an empty panel (0 lines).
    static int BuildPanel(QWidget* container, const QString& module, const QString& secondModule,
                          int layout, QStringList* fieldNames, QStringList* captions,
                          QList<GridColumn>* grid, const db::Query& dataset);
    /// The panel built into a container, or nullptr.
    static FormPanel* of(QWidget* container);

    /// Shows a record (field values and types) in the inputs named after its columns.
    void RecordToPanel(const QSqlRecord& record);
    /// Empties every input, memo and information text.
    void ClearPanel();
    /// Recomputes the information texts for the record (an empty record only clears them).
    /// A failing statement shows the database's text and leaves the later texts empty.
    bool RefreshInfoTexts(const QSqlRecord& record);
    /// Copies a chosen dictionary record into the panel as the button's row says.
    void FillFromSelection(TParaButton* button, const ASelectedRecord& selected);
    /// After a choice: the field's first information text for the input's current value.
    void RefreshFieldInfo(TParaButton* button);
    /// The first record of the table (a table list: its table part) whose field equals the value.
    static bool LookupExact(const QString& value, const QString& table, const QString& field,
                            ASelectedRecord* selected);

    /// The check of an input when it is left towards the receiver; false when it failed.
    bool ValidateField(PanelEdit* edit, QWidget* receiver);
    /// The exact lookup of an input with a button when it is left.
    void LookupOnExit(PanelEdit* edit, QWidget* receiver);
    void LookupClick(TParaButton* button);
    void InfoButtonClick(TParaButton* button);
    void CycleValueClick(TParaButton* button);
    void DateButtonClick(TParaButton* button);
    void TextButtonClick(TParaButton* button);

    QString module() const { return m_module; }
    QString table() const { return m_table; }
    int lineCount() const { return m_lines; }
    int infoCount() const { return int(m_infoLabels.size()); }
    /// Inputs in panel order.
    QList<PanelInput*> inputs() const;
    PanelInput* input(const QString& field) const;
    TParaButton* button(const QString& key) const;
    QList<TParaButton*> buttons() const;
    QLabel* info(const QString& field) const;
    /// The row behind a field's input, or nullptr.
    const FieldDef* definition(const QString& field) const;
    /// Enables each input by its row's right to edit (IRHATJA_JOG) for the current user, so
    /// that a panel built for an earlier login follows the one logged in now.
    void applyFieldRights();
    /// Fields whose input hides what is typed (a password character): never listed or exported.
    QStringList passwordFields() const;
    /// The current text of a field's input (nullopt without one).
    PanelFieldText fieldText() const;

    /// The host's editing state: "+" buttons refuse while a new record is being entered.
    void setInserting(bool inserting) { m_inserting = inserting; }

private:
    explicit FormPanel(QWidget* container);

    void buildFromRows(const FieldDefs& defs, int layout, QStringList* fieldNames,
                       QStringList* captions, QList<GridColumn>* grid, const QSqlRecord& structure);
    void buildFromFields(QStringList* fieldNames, QStringList* captions, QList<GridColumn>* grid,
                         const QSqlRecord& structure);
    PanelEdit* addEdit(const QString& field, const QString& typeName, int maxLength);
    void addButton(const FieldDef& def, int left, int top);
    void addInfoLabels(const FieldDef& def, int left, int top);

    void onFocusChanged(QWidget* old, QWidget* now);
    void navigate(PanelEdit* from, int step);
    void click(TParaButton* button);
    /// The focus goes to the widget once the current focus change has finished.
    void returnFocus(QWidget* widget);
    /// A failed check of the input: the message (none when empty), the invalid mark and the
    /// focus back on it.
    void refuse(PanelEdit* e, const QString& message);
    PanelEdit* nextEditable(PanelEdit* after) const;
    PanelEdit* edit(const QString& field) const;
    void setFieldValue(const QString& field, const QString& value);

    QWidget* m_container;
    QString m_module;
    QString m_table;
    int m_lines = 0;
    std::map<QString, FieldDef> m_defs; // by field
    QList<PanelInput*> m_inputs;        // panel order
    QList<QLabel*> m_infoLabels;
    std::map<QLabel*, QString> m_expressions;
    bool m_busy = false;
    bool m_inserting = false;
};

} // namespace mivo
