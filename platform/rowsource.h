#pragma once

#include "fieldtypes.h"

#include <QString>
#include <QVariant>

#include <vector>

namespace mivo::db
{
class Query;
}

namespace mivo::data
{

/// Rows of a result read once from the first to the last, the way every file writer and
/// report consumes a list: columns, then next() and value() per row.
class RowSource
{
public:
    virtual ~RowSource() = default;

    /// The name of the result (sheet name, table name of last resort).
    virtual QString name() const = 0;
    /// The statement behind the rows, when there is one.
    virtual QString sqlText() const { return {}; }

    /// Opens the result when it is not open and goes before its first row. False with the
    /// reason in *error.
    virtual bool open(QString* error) = 0;
    virtual const std::vector<Column>& columns() const = 0;
    /// Rows in all; -1 when unknown.
    virtual qint64 rowCount() const = 0;
    /// Moves to the next row; false past the last.
    virtual bool next() = 0;
    virtual QVariant value(int column) const = 0;
};

/// The rows of a query. An inactive query is executed (read whole, so that its count is
/// known); a buffered one can be read again from the start, a forward one only once.
class QueryRows : public RowSource
{
public:
    QueryRows(db::Query& query, const QString& name);

    QString name() const override { return m_name; }
    QString sqlText() const override;
    bool open(QString* error) override;
    const std::vector<Column>& columns() const override { return m_columns; }
    qint64 rowCount() const override;
    bool next() override;
    QVariant value(int column) const override;

    /// Captions instead of the field names, by field name (case-insensitive).
    void setLabel(const QString& field, const QString& label);

private:
    db::Query& m_query;
    QString m_name;
    std::vector<Column> m_columns;
    bool m_started = false;
};

} // namespace mivo::data
