#include "writeresult.h"

#include "platform/dbquery.h"

namespace mivo::workflow
{

WriteResult WriteResult::ofGuarded(db::Query& q, const QString& conflictMessage)
{
    if (!q.exec())
        return failed(q.lastError());
    if (q.rowsAffected() < 1)
        return conflict(conflictMessage);
    return stored();
}

} // namespace mivo::workflow
