#pragma once

#include "platform/rowsource.h"

#include <QStringList>

#include <vector>

namespace mivo
{

/// The rows of another source without some of its columns, for lists and exports that must
/// not carry them (passwords). Columns are left out by name, case-insensitively.
class ListedRows : public data::RowSource
{
public:
    ListedRows(data::RowSource& rows, const QStringList& leftOut);

    QString name() const override { return m_rows.name(); }
    QString sqlText() const override { return m_rows.sqlText(); }
    bool open(QString* error) override;
    const std::vector<data::Column>& columns() const override { return m_columns; }
    qint64 rowCount() const override { return m_rows.rowCount(); }
    bool next() override { return m_rows.next(); }
    QVariant value(int column) const override;

private:
    data::RowSource& m_rows;
    QStringList m_leftOut;
    std::vector<data::Column> m_columns;
    std::vector<int> m_source; // source column of each kept column
};

} // namespace mivo
