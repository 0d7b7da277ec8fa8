#pragma once

#include "platform/dbconnection.h"

#include <QString>

#include <optional>

namespace mivo::exchange
{

/// Bulk work on one connection in transactions of a fixed number of rows: a commit per row
/// costs more than the row (tens of milliseconds on a disk with slow syncs). finish() commits
/// what was done, also after a failed statement, whose own work the database has undone.
class BatchedWork
{
public:
    BatchedWork(const QString& connection, int rowsPerCommit)
        : m_connection(connection), m_size(rowsPerCommit)
    {
    }

    /// Starts the first transaction; false with the database's text in error().
    bool begin()
    {
        m_unit.emplace(m_connection);
        if (m_unit->isActive())
            return true;
        m_error = m_unit->lastError();
        m_unit.reset();
        return false;
    }

    /// Counts a row done; every rowsPerCommit rows the work so far is committed.
    bool rowDone()
    {
        if (++m_rows % m_size != 0)
            return true;
        return finish() && begin();
    }

    /// Commits the work so far; false with the database's text in error().
    bool finish()
    {
        if (!m_unit)
            return true;
        const bool ok = m_unit->commit();
        if (!ok)
            m_error = m_unit->lastError();
        m_unit.reset();
        return ok;
    }

    QString error() const { return m_error; }

private:
    QString m_connection;
    int m_size;
    int m_rows = 0;
    std::optional<db::Transaction> m_unit;
    QString m_error;
};

} // namespace mivo::exchange
