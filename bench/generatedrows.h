#pragma once

#include "platform/rowsource.h"

namespace mivo::bench
{

/// n rows of 10 columns made on the fly (4 integers, 3 floats, 3 texts), so that a benchmark
/// measures the writer and not a database. value() is what the bare-library baselines write.
class GeneratedRows : public data::RowSource
{
public:
    explicit GeneratedRows(qint64 rows);

    QString name() const override { return QStringLiteral("q_bench"); }
    bool open(QString*) override
    {
        m_row = -1;
        return true;
    }
    const std::vector<data::Column>& columns() const override { return m_columns; }
    qint64 rowCount() const override { return m_rows; }
    bool next() override { return ++m_row < m_rows; }
    QVariant value(int column) const override;

    static constexpr int columnCount = 10;
    /// The value of a cell: a number, or the text when the column is a text column.
    static double number(qint64 row, int column);
    static QString text(qint64 row, int column);
    static bool isText(int column) { return column >= 7; }

private:
    qint64 m_rows;
    qint64 m_row = -1;
    std::vector<data::Column> m_columns;
};

} // namespace mivo::bench
