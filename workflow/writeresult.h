#pragma once

#include <QString>

namespace mivo::db
{
class Query;
}

namespace mivo::workflow
{

/// The outcome of a repository's write. A write guards what it changes with what the caller
/// read: when another workstation changed or deleted the row meanwhile nothing is written
/// and the result is a conflict, never a success.
struct WriteResult {
    enum Status {
        Ok,       ///< stored
        Conflict, ///< the row changed or vanished meanwhile; nothing was written
        Failed,   ///< the database refused
    };
    Status status = Ok;
    /// Conflict: a sentence for the user saying what happened meanwhile; Failed: the
    /// database's text. Empty on success.
    QString message;
    /// Failed: the database's code (db::Query::lastErrorCode()), so that a unit of work can
    /// tell another workstation's concurrent change from a real failure.
    int errorCode = 0;

    bool ok() const { return status == Ok; }
    static WriteResult stored() { return {}; }
    static WriteResult conflict(const QString& message) { return {Conflict, message}; }
    static WriteResult failed(const QString& error, int code = 0) { return {Failed, error, code}; }
    /// The failure of a statement, with its text and code.
    static WriteResult failed(const db::Query& q);

    /// Runs a guarded write: the database's failure, the conflict when it changed no row
    /// (the row changed or vanished meanwhile), else stored.
    static WriteResult ofGuarded(db::Query& q, const QString& conflictMessage);
};

} // namespace mivo::workflow
