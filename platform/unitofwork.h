#pragma once

#include <QString>

#include <functional>

namespace mivo::db
{

class Query;

/// What one run of a unit's work reports: success, or a failure with its text and the
/// database's code (0 when the failure is not the database's).
class Outcome
{
public:
    /// Success: the unit commits.
    Outcome() = default;
    /// A failure of the work itself (a rule broken, a row missing): no rerun.
    static Outcome failure(const QString& message, int errorCode = 0);
    /// A failed statement, with its text and code: a conflict with another workstation
    /// makes the unit run again.
    static Outcome failure(const Query& query);

    bool ok() const { return !m_failed; }
    QString message() const { return m_message; }
    int errorCode() const { return m_errorCode; }

private:
    bool m_failed = false;
    QString m_message;
    int m_errorCode = 0;
};

/// How a unit of work ended.
struct UnitResult {
    enum class Status {
        Committed, ///< the work ran and was committed
        Failed,    ///< the work or the commit failed; message says why
        Conflict,  ///< the last run allowed still met another workstation's change
    };
    Status status = Status::Committed;
    /// The text of the last failure (the database's, or the work's own); empty when committed.
    QString message;
    /// The database's code of the last failure (db::errorCode()), 0 when none.
    int errorCode = 0;
    /// Runs made, 1 when the first one settled it.
    int attempts = 0;

    bool ok() const { return status == Status::Committed; }
};

/// How often and how patiently a unit is rerun after a conflict. The defaults give up after
/// about 1.5 s of pauses: a conflict that lasts longer is another workstation's long run of
/// work on the same rows, which the user is better told about.
struct RetryPolicy {
    int attempts = 8;
    /// Pause before the second run in milliseconds; it doubles for each further run up to
    /// maxPauseMs and is spread at random by ±50% so that two workstations do not meet
    /// again in step.
    int firstPauseMs = 10;
    int maxPauseMs = 500;
};

/// For one user action that writes many rows others keep changing (a documented sheet, an
/// absence giving back a fortnight of jobs): worth waiting for, each of the others' commits
/// on those rows makes it run again. It gives up after about 6 s of pauses.
inline constexpr RetryPolicy patientRetry{30, 10, 250};

/// Whether a database code means a concurrent change by another workstation that a fresh
/// run can get past: an update conflict or deadlock (-913), or a key that another
/// transaction inserted first (-803).
bool isConflict(int errorCode);

/// Runs work(connectionName) in a Transaction on the connection and commits it. When a run
/// fails with a conflict (isConflict), the transaction is rolled back and the whole work
/// runs again in a new one, up to policy.attempts runs with a growing pause in between:
/// the work must build its statements afresh on each run (a rerun statement keeps its old
/// snapshot and conflicts for ever) and must not open a transaction of its own. The thread
/// waits for the pauses and for locks other transactions hold (the driver cannot set a
/// lock timeout), so the work must show no dialog.
///
/// The result is Committed; Failed with the text of a non-conflict failure (of the work,
/// of a statement, of the commit), or of a key violation that stayed through every run (a
/// real duplicate); Conflict when the last run still met an update conflict.
UnitResult runUnitOfWork(const QString& connectionName,
                         const std::function<Outcome(const QString& connectionName)>& work,
                         const RetryPolicy& policy = {});

} // namespace mivo::db
