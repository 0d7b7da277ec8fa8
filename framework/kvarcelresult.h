#pragma once

#include "platform/fieldtypes.h"
#include "platform/rowsource.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace mivo
{
namespace db
{
class Query;
}
} // namespace mivo

namespace mivo::kvarcel
{

/// The result grid of the list builder: the rows of the last SELECT of a run, read whole.
/// Columns carry the listed items' headings; a last SUM_JEL column (dialect "P") is hidden.
class ResultModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ResultModel(QObject* parent = nullptr);
    ~ResultModel() override;

    /// Takes the result. When its fields are the listed items and OSSZESEN (and a last
    /// SUM_JEL in dialect "P"), the items' headings label them in order.
    void setResult(std::unique_ptr<db::Query> result, const QStringList& headings, bool paradox);
    void clear();
    bool hasResult() const { return m_result != nullptr; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    /// The shown columns with their labels and display widths.
    const std::vector<data::Column>& columns() const { return m_columns; }
    QVariant value(int row, int column) const;
    /// Whether the row is a total row (its OSSZESEN is filled).
    bool isTotalRow(int row) const;
    /// The index of OSSZESEN among the shown columns, -1 without it.
    int totalColumn() const { return m_totalColumn; }
    /// The statement the rows came from.
    QString sqlText() const;

private:
    std::unique_ptr<db::Query> m_result;
    std::vector<data::Column> m_columns;
    int m_totalColumn = -1;
    int m_rows = 0;
};

/// The rows of the result grid as every output reads them, from the first to the last.
/// Labels can be replaced (the count column's heading) and text values changed on the way
/// (the dBase output's letters).
class ResultRows : public data::RowSource
{
public:
    ResultRows(const ResultModel& model, const QString& name);

    QString name() const override { return m_name; }
    QString sqlText() const override { return m_model.sqlText(); }
    bool open(QString* error) override;
    const std::vector<data::Column>& columns() const override { return m_columns; }
    qint64 rowCount() const override { return m_model.rowCount(); }
    bool next() override;
    QVariant value(int column) const override;

    void setLabel(int column, const QString& label);
    void setTextFilter(std::function<QString(const QString&)> filter)
    {
        m_filter = std::move(filter);
    }

private:
    const ResultModel& m_model;
    QString m_name;
    std::vector<data::Column> m_columns;
    int m_row = -1;
    std::function<QString(const QString&)> m_filter;
};

} // namespace mivo::kvarcel
