#pragma once

#include "request.h"

#include <QString>

namespace mivo::workflow
{

/// How a store ended.
struct StoreResult {
    enum Status {
        Stored,    ///< committed
        SlotTaken, ///< another workstation gave the slot to another job first; nothing written
        Refused,   ///< another workstation changed the job meanwhile; nothing written
        Failed,    ///< the database refused; nothing written
    };
    Status status = Stored;
    /// The text for the user; empty when stored.
    QString message;
    /// Stored: whether the customer was created by this store.
    bool newCustomer = false;

    bool ok() const { return status == Stored; }
};

/// Stores a request as one unit of work: the technician's day is booked first (a second
/// workstation storing into the same day waits, then reruns and sees the first one's job),
/// the slot is checked free, then the customer, the appliance, the job, its parts and the
/// letter answer are written. A conflict with another workstation reruns the whole unit;
/// any failure leaves the database as it was. The caller has run the field checks
/// (checkFields, checkCustomerCode) and asked the user; nothing here asks anything.
class RequestStore
{
public:
    explicit RequestStore(const QString& connectionName = QStringLiteral("d_mivo"));

    /// Stores the request. When stored, the request holds the codes the store gave its
    /// customer, appliance and job.
    StoreResult store(Request& request) const;

    /// The booking of a technician's day (:szerelokod, :datum, :mikori), and the activity's
    /// code by its name (:nev), for measuring them bare.
    static QString bookingStatement();
    static QString activityStatement();

    /// The message of a slot that another job took meanwhile.
    static QString slotTakenMessage();

private:
    QString m_connection;
};

} // namespace mivo::workflow
