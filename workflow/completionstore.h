#pragma once

#include "completion.h"

#include "platform/unitofwork.h"

#include <QString>

#include <optional>

namespace mivo::workflow
{

/// How a store of a completion ended.
struct CompletionResult {
    enum Status {
        Stored,  ///< committed
        Refused, ///< another workstation documented or changed the job meanwhile; nothing written
        Failed,  ///< refused by the database or a rule; nothing written
    };
    Status status = Stored;
    /// The text for the user; empty when stored.
    QString message;
    /// The control to focus after the message (a sheet number taken meanwhile: "e_sorszam").
    QString focus;
    /// Runs of the unit of work; more than 1 when another workstation's change made it rerun.
    int attempts = 0;

    bool ok() const { return status == Stored; }
};

/// Stores a documented job as one unit of work: the commissioning sheet (inserted for a
/// commissioning without one, else rewritten when it differs), the appliance's serial number,
/// type and commissioning date (a commissioning only), its owner, the customer, the parts used
/// with their stock moves, and the job itself, written only while it is still in the state
/// it was listed in. A conflict with another workstation reruns the whole unit; any failure
/// leaves the database as it was. The caller has run checkCompletionFields and
/// completionAllowed; nothing here asks anything.
///
/// With the parts stock on, documenting ("KI") releases what the job reserved at its planned
/// technician and takes the used parts off what the performer holds; correcting ("OK") puts
/// the parts recorded before back at the former performer (when the activity then recorded
/// parts) and takes the new ones off at the performer; reservations stay as they are.
class CompletionStore
{
public:
    /// Documenting is one user action with a whole sheet typed, worth waiting for while other
    /// workstations keep reserving the same parts.
    static constexpr db::RetryPolicy patient = db::patientRetry;

    /// On the connection; a conflict reruns the unit as the policy allows.
    explicit CompletionStore(const QString& connectionName = QStringLiteral("d_mivo"),
                             const db::RetryPolicy& policy = patient);

    CompletionResult store(const Completion& completion, const Activities& activities) const;

    /// The jobs of the same visit as the listed job (step after a store): its planned day,
    /// appliance, customer, activity (or "TO"), technician, in the mode's state. Nullopt with
    /// the database's text in *error.
    std::optional<int> sameVisitCount(const Completion& completion, QString* error) const;
    /// Documents every job of the visit with the completion's values, as one unit of work;
    /// in mode "KI" their reservations are released.
    CompletionResult documentSameVisit(const Completion& completion,
                                       const Activities& activities) const;

    /// "Van már ilyen beüzemelési lap sorszám."
    static QString duplicateSheetMessage();
    /// What a documented job stores: state, date, performer, activity, numbers, description
    /// and appliance. Nullopt when the activity is unknown.
    static std::optional<JobCompletion> jobValues(const Completion& completion,
                                                  const Activities& activities);

private:
    QString m_connection;
    db::RetryPolicy m_policy;
};

} // namespace mivo::workflow
