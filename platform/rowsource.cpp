#include "rowsource.h"

#include "dbquery.h"

namespace mivo::data
{

QueryRows::QueryRows(db::Query& query, const QString& name) : m_query(query), m_name(name) {}

QString QueryRows::sqlText() const
{
    return m_query.sql();
}

bool QueryRows::open(QString* error)
{
    if (!m_query.isActive() && !m_query.exec()) {
        if (error)
            *error = m_query.lastError();
        return false;
    }
    std::vector<Column> columns = columnsOf(m_query.record());
    // Captions set before the query ran survive its (re)opening.
    for (Column& c : columns)
        for (const Column& old : m_columns)
            if (old.name.compare(c.name, Qt::CaseInsensitive) == 0)
                c.label = old.label;
    m_columns = std::move(columns);
    m_started = false;
    return true;
}

qint64 QueryRows::rowCount() const
{
    return m_query.recordCount();
}

bool QueryRows::next()
{
    // A buffered result restarts at its first row; a forward one continues where it is.
    const bool moved = !m_started && m_query.recordCount() >= 0 ? m_query.first() : m_query.next();
    m_started = true;
    return moved;
}

QVariant QueryRows::value(int column) const
{
    return m_query.value(column);
}

void QueryRows::setLabel(const QString& field, const QString& label)
{
    for (Column& c : m_columns)
        if (c.name.compare(field, Qt::CaseInsensitive) == 0) {
            c.label = label;
            return;
        }
    Column c;
    c.name = field;
    c.label = label;
    m_columns.push_back(c);
}

} // namespace mivo::data
