#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace mivo::torzs
{

/// A column of the edited table as the editor's statements use it.
struct Column {
    QString name;
    QString typeName; ///< Tdm::fieldTypeName: "VARCHAR", "INTEGER", "FLOAT", "MEMO", ...
};

/// The editor's column list: the panel's fields in panel order (whole names: Firebird's
/// run to 31 characters), then every key column not among them.
QStringList columnList(const QStringList& panelFields, const QStringList& keys);

/// "Select" / first column / "," + each further column / " From " + table / condition line /
/// order line (an empty order leaves the line out).
QStringList selectLines(const QStringList& columns, const QString& table,
                        const QString& conditionLine, const QString& orderLine);
/// " ORDER BY " + the field list.
QString orderLine(const QString& fields);
/// Replaces the line holding ORDER BY (any case) by the field's order line, or adds it.
void setOrder(QStringList& lines, const QString& field);

/// The INSERT, UPDATE and DELETE of the edited table, generated from its columns and
/// primary key. Values are always parameters: ":COL" for new values, ":OLD_COL" for the
/// old key values that find the row.
class Statements
{
public:
    Statements() = default;
    Statements(const QString& table, const QList<Column>& columns, const QStringList& keys);

    const QString& table() const { return m_table; }
    const QList<Column>& columns() const { return m_columns; }
    const QStringList& keys() const { return m_keys; }
    bool hasPrimaryKey() const { return !m_keys.isEmpty(); }
    /// The columns that find a row: the key, or without one every column but memos.
    QStringList whereColumns() const;

    /// The INSERT, giving back the new row's key columns (without a key: the columns that
    /// find the row) so that the editor can position on exactly that row. Columns left out
    /// get what the database gives them (defaults, generated keys): the driver cannot bind
    /// a null to a NOT NULL column, which a trigger would fill.
    QStringList insertLines(const QSet<QString>& leftOut = {}) const;
    /// The UPDATE. A find column whose old value is null is matched with "IS NULL"; without
    /// a primary key the statement changes one row at most.
    QStringList updateLines(const QSet<QString>& nullOldColumns = {}) const;
    /// The DELETE of the current row, its find columns bound as ":COL".
    QStringList deleteLines(const QSet<QString>& nullColumns = {}) const;

private:
    QStringList whereLines(const QString& prefix, const QSet<QString>& nullColumns) const;

    QString m_table;
    QList<Column> m_columns;
    QStringList m_keys;
};

/// A typed null for a column of the type name.
QVariant nullOf(const QString& typeName);

/// The parameter value of an input text for a column: empty is null; INTEGER and SMALLINT
/// whole numbers, FLOAT numbers with a decimal comma or point (blanks of a number format
/// dropped), everything else the text. *ok false when a number column gets no number.
QVariant parameterValue(const QString& typeName, const QString& text, bool* ok);

} // namespace mivo::torzs
