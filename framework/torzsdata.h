#pragma once

#include "changelog.h"
#include "rights.h"
#include "torzsentry.h"
#include "torzsmodel.h"
#include "torzsstatements.h"

#include <QSqlRecord>
#include <QStringList>
#include <QVariant>

#include <map>
#include <memory>

namespace mivo
{

namespace db
{
class Query;
}

/// What the panel holds for one column of the edited table.
struct TorzsInput {
    QString text;          ///< the input's text (a memo: all its lines)
    bool required = false; ///< yellow
    bool writable = true;  ///< the user may type into it (rights allow it)
    bool memo = false;
    bool memoChanged = false;
    QString numberFormat; ///< display format of a FLOAT field
};

/// The panel's inputs by column name; columns without an input are absent.
using TorzsInputs = std::map<QString, TorzsInput>;

/// State of the generic editor.
enum class TorzsState { Closed, Browse, Insert, Update };
/// "closed", "browse", "insert", "update".
QString stateName(TorzsState state);

/// What a store came to.
struct TorzsStoreResult {
    enum Outcome {
        Stored,        ///< written; positionKey finds the row
        Refused,       ///< an input failed (the user was told); focusField names it
        Failed,        ///< the database refused (the user saw its text); nothing changed
        Vetoed,        ///< the before-post hook refused
        InsertInstead, ///< the row was gone and the user wants the panel stored as new
        Discarded      ///< the row was gone and the user dropped the changes
    };
    Outcome outcome = Failed;
    QString focusField;
    QVariantList positionKey; ///< values of Statements::whereColumns()
};

/// The generic editor without its window: the edited table, its structure, the records
/// shown, the generated statements and the store, delete and change-detection rules.
/// All statements run on the metadata connection d_alap with bound values.
class TorzsData
{
public:
    explicit TorzsData(const torzs::Spec& tableSpec);
    ~TorzsData();

    const torzs::Spec& tableSpec() const { return m_spec; }
    const QString& table() const { return m_spec.table; }

    /// Hook codes and access of the table dictionary.
    TableRights rights;
    /// The condition in use (with the word WHERE, or empty).
    QString condition;

    /// Opens the structure of the table ("Select * From T where 1=2", q_torzs0) and reads
    /// its primary key. False after showing the database's text.
    bool openStructure();
    /// q_torzs0: the panel is built over it.
    const db::Query& structure() const { return *m_structure; }
    const QStringList& keys() const { return m_keys; }

    /// The edited columns: the panel's fields then the key columns not on it; the
    /// structure is reopened on them and the statements generated. False after showing
    /// the database's text.
    bool setColumns(const QStringList& panelFields);
    const QStringList& columns() const { return m_columns; }
    const torzs::Statements& statements() const { return m_statements; }

    /// Writes the records statement with the condition and the order (a field, or the key
    /// when empty).
    void writeRecordsQuery(const QString& orderField);
    /// Sorts by a field: the order line replaced.
    void setOrder(const QString& field);

    TorzsModel& model() { return *m_model; }
    const TorzsModel& model() const { return *m_model; }
    /// Reads the records again; false after showing the database's text.
    bool reopen();
    /// The find values of a row (Statements::whereColumns()).
    QVariantList keyValues(int row) const;
    /// The row of find values; -1 when none.
    int locate(const QVariantList& keyValues) const;

    /// Whether the panel differs from the row: a new record always does.
    bool panelChanged(TorzsState state, const TorzsInputs& inputs, int row) const;
    /// Stores the panel as a new record (Insert) or over the row (Update).
    TorzsStoreResult store(TorzsState state, const TorzsInputs& inputs, int row);
    /// Deletes the row after the refusals and the question; true when it was deleted.
    bool remove(int row);

private:
    bool checkRequired(bool inserting, const TorzsInputs& inputs, const QSqlRecord& current,
                       TorzsStoreResult* result) const;
    TorzsStoreResult insert(const TorzsInputs& inputs);
    TorzsStoreResult update(const TorzsInputs& inputs, const QSqlRecord& current);
    /// Runs a statement with the before- and after-post hooks; false when vetoed or failed.
    bool run(db::Query& q, const std::map<QString, QVariant>& params, TorzsStoreResult* result);
    QList<FieldChange> changes(const TorzsInputs& inputs, const QSqlRecord& current,
                               bool inserting) const;

    torzs::Spec m_spec;
    std::unique_ptr<db::Query> m_structure;
    QStringList m_keys;
    QStringList m_columns;
    torzs::Statements m_statements;
    std::unique_ptr<TorzsModel> m_model;
};

} // namespace mivo
