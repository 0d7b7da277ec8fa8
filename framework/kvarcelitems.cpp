#include "kvarcelitems.h"

using namespace Qt::StringLiterals;

namespace mivo::kvarcel
{

ItemGridModel::ItemGridModel(Catalogue& catalogue, QObject* parent)
    : QAbstractTableModel(parent), m_catalogue(catalogue)
{
}

void ItemGridModel::setTab(int tab)
{
    m_tab = tab;
    refresh();
}

void ItemGridModel::refresh()
{
    std::vector<int> rows;
    const auto& items = m_catalogue.items();
    for (size_t i = 0; i < items.size(); ++i)
        if (m_catalogue.onTab(items[i], m_tab))
            rows.push_back(int(i));
    // The same rows keep the view's current cell: only their texts changed.
    if (rows == m_rows) {
        if (!m_rows.empty())
            emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
        return;
    }
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int ItemGridModel::itemIndex(int row) const
{
    return row >= 0 && row < int(m_rows.size()) ? m_rows[size_t(row)] : -1;
}

int ItemGridModel::rowOf(int itemIndex) const
{
    const auto it = std::find(m_rows.begin(), m_rows.end(), itemIndex);
    return it == m_rows.end() ? -1 : int(it - m_rows.begin());
}

bool ItemGridModel::markColumn(int column)
{
    return column == Kell || column == Sorrend || column == Csoport;
}

Mark ItemGridModel::markOf(int column)
{
    return column == Kell ? Mark::Kell : column == Sorrend ? Mark::Rendez : Mark::Csoport;
}

bool ItemGridModel::click(const QModelIndex& index)
{
    const int item = itemIndex(index.row());
    if (item < 0 || !markColumn(index.column()))
        return false;
    const Mark mark = markOf(index.column());
    m_catalogue.toggle(item, mark);
    // Other items' letters moved too.
    emit dataChanged(this->index(0, Kell), this->index(rowCount() - 1, Csoport));
    if (!Catalogue::markOf(m_catalogue.items()[size_t(item)], mark).isEmpty())
        emit itemChosen(item);
    return true;
}

int ItemGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ItemGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ItemGridModel::data(const QModelIndex& index, int role) const
{
    const int item = index.isValid() ? itemIndex(index.row()) : -1;
    if (item < 0 ||
        (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::TextAlignmentRole))
        return {};
    if (role == Qt::TextAlignmentRole)
        return markColumn(index.column()) ? int(Qt::AlignCenter) : QVariant();
    const ListItem& i = m_catalogue.items()[size_t(item)];
    switch (index.column()) {
    case Megnevezes:
        return i.megnevezes;
    case Kell:
        return i.kell;
    case Sorrend:
        return i.rendez;
    case Feltetel:
        return i.feltetel;
    case Csoport:
        return i.csoport;
    case Alias:
        return i.alias;
    default:
        return {};
    }
}

bool ItemGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    const int item = index.isValid() ? itemIndex(index.row()) : -1;
    if (item < 0 || role != Qt::EditRole)
        return false;
    if (markColumn(index.column())) {
        if (!m_catalogue.setMark(item, markOf(index.column()), value.toString()))
            return false;
    } else if (index.column() == Feltetel) {
        m_catalogue.items()[size_t(item)].feltetel = value.toString();
    } else {
        return false;
    }
    emit dataChanged(index, index);
    if (!value.toString().isEmpty())
        emit itemChosen(item);
    return true;
}

Qt::ItemFlags ItemGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() >= Kell && index.column() <= Csoport)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant ItemGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    static const QStringList titles = {u"Megnevezés"_s, u"Kell"_s,    u"Sorrend"_s,
                                       u"Feltétel"_s,   u"Csoport"_s, u"ALIAS"_s};
    return titles.value(section);
}

} // namespace mivo::kvarcel
