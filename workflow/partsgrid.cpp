#include "partsgrid.h"

namespace mivo::workflow
{

void PartsGrid::setRows(std::vector<PartRow> rows)
{
    m_rows = std::move(rows);
    if (m_rows.empty())
        m_rows.emplace_back();
}

int PartsGrid::wanted(int row) const
{
    bool ok = false;
    const int n = m_rows.at(size_t(row)).quantity.trimmed().toInt(&ok);
    return ok ? n : 1;
}

void PartsGrid::put(int row, const PartRow& part)
{
    PartRow& r = m_rows.at(size_t(row));
    const QString quantity = r.quantity.trimmed().isEmpty() ? QStringLiteral("1") : r.quantity;
    r = part;
    r.quantity = quantity;
}

void PartsGrid::setQuantity(int row, const QString& quantity)
{
    m_rows.at(size_t(row)).quantity = quantity;
}

int PartsGrid::addRow()
{
    if (!m_rows.back().code.isEmpty())
        m_rows.emplace_back();
    return rowCount() - 1;
}

bool PartsGrid::removable(int row) const
{
    return row >= 0 && row < rowCount() && !m_rows[size_t(row)].code.isEmpty();
}

void PartsGrid::remove(int row)
{
    if (row == rowCount() - 1)
        m_rows[size_t(row)] = {};
    else
        m_rows.erase(m_rows.begin() + row);
}

std::optional<QString> PartsGrid::finish(QStringList* invalid) const
{
    QString list;
    invalid->clear();
    for (const PartRow& r : m_rows) {
        if (r.quantity.trimmed().isEmpty())
            continue;
        if (!rowQuantity(r.quantity)) {
            *invalid << r.quantity;
            continue;
        }
        // A quantity without a part adds nothing.
        if (!r.code.isEmpty())
            list += r.code + QLatin1Char(',');
    }
    if (!invalid->isEmpty())
        return std::nullopt;
    return list;
}

} // namespace mivo::workflow
