#include "kvarcelresult.h"

#include "platform/dbquery.h"

using namespace Qt::StringLiterals;

namespace mivo::kvarcel
{

ResultModel::ResultModel(QObject* parent) : QAbstractTableModel(parent) {}

ResultModel::~ResultModel() = default;

void ResultModel::setResult(std::unique_ptr<db::Query> result, const QStringList& headings,
                            bool paradox)
{
    beginResetModel();
    m_result = std::move(result);
    m_columns.clear();
    m_totalColumn = -1;
    m_rows = 0;
    if (m_result) {
        m_columns = data::columnsOf(m_result->record());
        // Dialect "P" carries the grouping key last; it is never shown.
        if (paradox && !m_columns.empty() &&
            m_columns.back().name.compare(u"SUM_JEL"_s, Qt::CaseInsensitive) == 0)
            m_columns.pop_back();
        if (int(m_columns.size()) == headings.size() + 1)
            for (int i = 0; i < headings.size(); ++i) {
                data::Column& c = m_columns[size_t(i)];
                c.label = headings[i];
            }
        for (size_t i = 0; i < m_columns.size(); ++i)
            if (m_columns[i].name.compare(u"OSSZESEN"_s, Qt::CaseInsensitive) == 0)
                m_totalColumn = int(i);
        m_rows = m_result->recordCount();
    }
    endResetModel();
}

void ResultModel::clear()
{
    setResult(nullptr, {}, false);
}

int ResultModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int ResultModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant ResultModel::value(int row, int column) const
{
    if (!m_result || row < 0 || row >= m_rows || column < 0 || column >= int(m_columns.size()))
        return {};
    m_result->seek(row);
    return m_result->value(column);
}

bool ResultModel::isTotalRow(int row) const
{
    return m_totalColumn >= 0 && !value(row, m_totalColumn).isNull();
}

QString ResultModel::sqlText() const
{
    return m_result ? m_result->sql() : QString();
}

QVariant ResultModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows || index.column() >= int(m_columns.size()))
        return {};
    const data::Column& c = m_columns[size_t(index.column())];
    switch (role) {
    case Qt::DisplayRole:
        return data::displayText(value(index.row(), index.column()), c.kind, QLatin1Char(','));
    case Qt::TextAlignmentRole:
        return data::isTextual(c.kind) ? int(Qt::AlignLeft | Qt::AlignVCenter)
                                       : int(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant ResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    if (section < 0 || section >= int(m_columns.size()))
        return {};
    return m_columns[size_t(section)].label;
}

ResultRows::ResultRows(const ResultModel& model, const QString& name)
    : m_model(model), m_name(name), m_columns(model.columns())
{
}

bool ResultRows::open(QString* error)
{
    if (!m_model.hasResult()) {
        if (error)
            *error = u"Nincs még adat."_s;
        return false;
    }
    m_row = -1;
    return true;
}

bool ResultRows::next()
{
    if (m_row + 1 >= m_model.rowCount())
        return false;
    ++m_row;
    return true;
}

QVariant ResultRows::value(int column) const
{
    const QVariant v = m_model.value(m_row, column);
    if (m_filter && !v.isNull() && column < int(m_columns.size()) &&
        m_columns[size_t(column)].kind == data::FieldKind::Text)
        return m_filter(v.toString());
    return v;
}

void ResultRows::setLabel(int column, const QString& label)
{
    if (column >= 0 && column < int(m_columns.size()))
        m_columns[size_t(column)].label = label;
}

} // namespace mivo::kvarcel
