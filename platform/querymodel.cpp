#include "querymodel.h"

#include "dbquery.h"
#include "fieldtypes.h"

namespace mivo::data
{

namespace
{

FieldKind kindOf(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Double:
        return FieldKind::Float;
    case QMetaType::Int:
    case QMetaType::LongLong:
        return FieldKind::Integer;
    default:
        return FieldKind::Text;
    }
}

} // namespace

QueryModel::QueryModel(const QString& connectionName, const std::vector<ShownColumn>& columns,
                       QObject* parent)
    : QAbstractTableModel(parent), m_connection(connectionName), m_columns(columns)
{
}

bool QueryModel::read(const QString& sql, const std::map<QString, QVariant>& params, QString* error)
{
    db::Query q(m_connection);
    q.setSql(sql);
    for (const auto& [name, value] : params)
        q.bind(name, value);
    beginResetModel();
    m_rows.clear();
    m_fields.clear();
    const bool ok = q.exec();
    if (ok) {
        for (int i = 0; i < q.fieldCount(); ++i)
            m_fields.push_back(q.fieldName(i).toUpper());
        while (q.next()) {
            std::vector<QVariant> row;
            row.reserve(m_fields.size());
            for (int i = 0; i < q.fieldCount(); ++i)
                row.push_back(q.value(i));
            m_rows.push_back(std::move(row));
        }
    } else if (error) {
        *error = q.lastError();
    }
    endResetModel();
    return ok;
}

void QueryModel::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

QVariant QueryModel::value(int row, const QString& field) const
{
    if (row < 0 || row >= int(m_rows.size()))
        return {};
    const QString wanted = field.toUpper();
    for (size_t i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i] == wanted)
            return m_rows[size_t(row)][i];
    }
    return {};
}

int QueryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int QueryModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant QueryModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) ||
        (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const QVariant v = value(index.row(), m_columns[size_t(index.column())].field);
    return displayText(v, kindOf(v), QLatin1Char(','));
}

QVariant QueryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= int(m_columns.size()))
        return QAbstractTableModel::headerData(section, orientation, role);
    return m_columns[size_t(section)].title;
}

} // namespace mivo::data
