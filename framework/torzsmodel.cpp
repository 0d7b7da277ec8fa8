#include "torzsmodel.h"

#include "alapdat.h"
#include "fieldtext.h"
#include "platform/dbquery.h"
#include "platform/fieldtypes.h"
#include "selectedrecord.h"

#include <QSqlField>

namespace mivo
{

TorzsModel::TorzsModel(const QString& connectionName, QObject* parent)
    : QAbstractTableModel(parent), m_query(std::make_unique<db::Query>(connectionName))
{
}

TorzsModel::~TorzsModel() = default;

void TorzsModel::setGridColumns(const QList<TorzsGridColumn>& columns)
{
    beginResetModel();
    m_grid = columns;
    m_gridIndex.clear();
    for (const TorzsGridColumn& c : m_grid)
        m_gridIndex.push_back(m_query->fieldIndex(c.field));
    endResetModel();
}

bool TorzsModel::reopen(QString* error)
{
    beginResetModel();
    const bool ok = m_query->exec();
    if (!ok && error)
        *error = m_query->lastError();
    m_typeNames.clear();
    const QSqlRecord& r = m_query->record();
    for (int i = 0; i < r.count(); ++i)
        m_typeNames.push_back(Tdm::fieldTypeName(r.field(i)));
    m_gridIndex.clear();
    for (const TorzsGridColumn& c : m_grid)
        m_gridIndex.push_back(m_query->fieldIndex(c.field));
    endResetModel();
    return ok;
}

int TorzsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_query->isActive() ? 0 : std::max(0, m_query->recordCount());
}

int TorzsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_grid.size());
}

QVariant TorzsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const int column = m_gridIndex[size_t(index.column())];
    if (column < 0)
        return {};
    const QString& type = m_typeNames[size_t(column)];
    if (role == Qt::TextAlignmentRole) {
        const bool number = data::isNumeric(data::kindOfTypeName(type));
        return QVariant::fromValue(
            Qt::Alignment((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    }
    if (role != Qt::DisplayRole)
        return {};
    m_query->seek(index.row());
    return panelText(m_query->value(column), type, m_grid[index.column()].numberFormat);
}

QVariant TorzsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return section >= 0 && section < m_grid.size() ? QVariant(m_grid[section].title) : QVariant();
}

QSqlRecord TorzsModel::record(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    m_query->seek(row);
    return currentRecord(*m_query);
}

QVariant TorzsModel::value(int row, const QString& field) const
{
    if (row < 0 || row >= rowCount())
        return {};
    m_query->seek(row);
    return m_query->value(field);
}

const QSqlRecord& TorzsModel::structure() const
{
    return m_query->record();
}

bool sameValue(const QVariant& a, const QVariant& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    const auto numeric = [](const QVariant& v) {
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::Double:
        case QMetaType::Float:
            return true;
        default:
            return false;
        }
    };
    if (numeric(a) && numeric(b))
        return a.toDouble() == b.toDouble();
    return a.toString() == b.toString();
}

int TorzsModel::locate(const QStringList& fields, const QVariantList& values) const
{
    if (fields.isEmpty() || fields.size() != values.size())
        return -1;
    std::vector<int> columns;
    for (const QString& f : fields) {
        columns.push_back(m_query->fieldIndex(f));
        if (columns.back() < 0)
            return -1;
    }
    for (int row = 0; row < rowCount(); ++row) {
        m_query->seek(row);
        bool all = true;
        for (size_t i = 0; i < columns.size() && all; ++i)
            all = sameValue(m_query->value(columns[i]), values[qsizetype(i)]);
        if (all)
            return row;
    }
    return -1;
}

int TorzsModel::search(const QString& field, const QString& text) const
{
    const int column = m_query->fieldIndex(field);
    if (column < 0 || text.isEmpty())
        return -1;
    const QString& type = m_typeNames[size_t(column)];
    const QString wanted = text.toCaseFolded();
    // The first row with the longest shared beginning is the first row that a search for
    // ever shorter beginnings of the text would find. Characters are folded one by one, so
    // a keystroke copies no column.
    int best = -1;
    qsizetype bestLength = 0;
    const int rows = rowCount();
    for (int row = 0; row < rows; ++row) {
        m_query->seek(row);
        const QVariant v = m_query->value(column);
        const QString s = v.typeId() == QMetaType::QString ? v.toString() : panelText(v, type);
        const qsizetype limit = std::min(s.size(), wanted.size());
        qsizetype n = 0;
        while (n < limit && s[n].toCaseFolded() == wanted[n])
            ++n;
        if (n > bestLength) {
            bestLength = n;
            best = row;
            if (n == wanted.size())
                break;
        }
    }
    return best;
}

} // namespace mivo
