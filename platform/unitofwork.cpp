#include "unitofwork.h"

#include "dbconnection.h"
#include "dbquery.h"

#include <QRandomGenerator>
#include <QThread>

#include <algorithm>

namespace mivo::db
{

Outcome Outcome::failure(const QString& message, int errorCode)
{
    Outcome o;
    o.m_failed = true;
    o.m_message = message;
    o.m_errorCode = errorCode;
    return o;
}

Outcome Outcome::failure(const Query& query)
{
    return failure(query.lastError(), query.lastErrorCode());
}

bool isConflict(int errorCode)
{
    return errorCode == UpdateConflictCode || errorCode == KeyViolationCode;
}

UnitResult runUnitOfWork(const QString& connectionName,
                         const std::function<Outcome(const QString& connectionName)>& work,
                         const RetryPolicy& policy)
{
    UnitResult result;
    int pauseMs = policy.firstPauseMs;
    for (;;) {
        ++result.attempts;
        Outcome outcome;
        {
            Transaction transaction(connectionName);
            if (!transaction.isActive()) {
                result.status = UnitResult::Status::Failed;
                result.message = transaction.lastError();
                result.errorCode = transaction.lastErrorCode();
                return result;
            }
            outcome = work(connectionName);
            if (outcome.ok() && !transaction.commit())
                outcome = Outcome::failure(transaction.lastError(), transaction.lastErrorCode());
            // A failed run is rolled back here, before the pause, so that the other
            // workstation can go on meanwhile.
        }
        if (outcome.ok()) {
            result.status = UnitResult::Status::Committed;
            result.message.clear();
            result.errorCode = 0;
            return result;
        }
        result.message = outcome.message();
        result.errorCode = outcome.errorCode();
        if (!isConflict(outcome.errorCode()) || result.attempts >= policy.attempts) {
            result.status = outcome.errorCode() == UpdateConflictCode ? UnitResult::Status::Conflict
                                                                      : UnitResult::Status::Failed;
            return result;
        }
        const int spread = pauseMs / 2;
        QThread::msleep(
            ulong(pauseMs - spread + int(QRandomGenerator::global()->bounded(2 * spread + 1))));
        pauseMs = std::min(2 * pauseMs, policy.maxPauseMs);
    }
}

} // namespace mivo::db
