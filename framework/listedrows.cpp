#include "listedrows.h"

namespace mivo
{

ListedRows::ListedRows(data::RowSource& rows, const QStringList& leftOut)
    : m_rows(rows), m_leftOut(leftOut)
{
}

bool ListedRows::open(QString* error)
{
    if (!m_rows.open(error))
        return false;
    m_columns.clear();
    m_source.clear();
    const std::vector<data::Column>& all = m_rows.columns();
    for (int i = 0; i < int(all.size()); ++i) {
        if (m_leftOut.contains(all[i].name, Qt::CaseInsensitive))
            continue;
        m_columns.push_back(all[i]);
        m_source.push_back(i);
    }
    return true;
}

QVariant ListedRows::value(int column) const
{
    return column >= 0 && column < int(m_source.size()) ? m_rows.value(m_source[column])
                                                        : QVariant();
}

} // namespace mivo
