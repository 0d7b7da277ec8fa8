#include "writeresult.h"

#include "platform/dbquery.h"

namespace mivo::workflow
{

WriteResult WriteResult::failed(const db::Query& q)
{
    return failed(q.lastError(), q.lastErrorCode());
}

WriteResult WriteResult::ofGuarded(db::Query& q, const QString& conflictMessage)
{
    if (!q.exec())
        return failed(q);
    if (q.rowsAffected() < 1)
        return conflict(conflictMessage);
    return stored();
}

} // namespace mivo::workflow
