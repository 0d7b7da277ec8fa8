#pragma once

#include <QString>
#include <QStringList>

namespace mivo::workflow
{

/// The captions of the list's orders (" Sorrend:"), the first being the default.
QStringList externalJobOrders();
/// The list of external technicians' jobs (q_munkakulsos) planned between :datumtol and
/// :datumig, of technicians whose company is not :cegkod: only given-out jobs ("KI") unless
/// all is set; order is an index of externalJobOrders().
QString externalJobListSql(bool all, int order);

/// A change of a job listed on the external technicians' screen: the row as it was read and
/// what the panel holds.
struct ExternalJobChange {
    int kod = 0;
    QString readState;      ///< ALLAPOT of the row as read: the write is guarded by it
    QString readTechnician; ///< SZERELOT of the row as read: holder of its reservations
    QString tervd;          ///< any form validateDate accepts; stored as "yyyy.mm.dd"
    QString tervt;          ///< kept as given, also values the hour box does not offer ("18")
    QString dedu;           ///< kept as given, also "Es"
    QString szerelot;
    QString tervtev; ///< the planned activity's code
    QString leirast;
    QString allapot; ///< the state code to store; empty keeps the row's state
};

/// How a store of the external technicians' screen ended.
struct ExternalStoreResult {
    enum Status {
        Stored,
        InvalidDate, ///< the planned date is no date; nothing written
        SlotTaken,   ///< an own technician's hour holds another job; nothing written
        Changed,     ///< another workstation changed the job's state meanwhile; nothing written
        Failed,      ///< the database refused; nothing written
    };
    Status status = Stored;
    QString message; ///< for the user; empty when stored
    bool ok() const { return status == Stored; }
};

/// Stores changes of the external technicians' screen as one unit of work each. For an own
/// technician the day is booked first (NAPZAR, as request entry and the planning grid do) and
/// the hour checked free in the same transaction, so that two workstations cannot give one
/// hour twice; external technicians may hold any number of jobs at one hour. With the parts
/// stock feature on, the job's recorded parts leave the reservations of the technician who
/// held the given-out job and are reserved at the new one while the job stays given out.
/// Stamps JUZER with the logged-in user's code and MIKORI with the current time; writes the
/// activity to TERVTEV and leaves MUNKATEV (the performed activity) alone.
class ExternalJobStore
{
public:
    explicit ExternalJobStore(const QString& connectionName = QStringLiteral("d_mivo"));

    /// Stores the change; ownTechnician asks for the booking and the hour's check.
    ExternalStoreResult store(const ExternalJobChange& change, bool ownTechnician) const;

    /// The message of an own technician's hour that holds another job.
    static QString slotTakenMessage();
    /// The guarded update (:allapot, :juzer, :mikori, :szerelot, :tervd, :tervt, :tervtev,
    /// :leirast, :dedu, :kod, :expected).
    static QString updateStatement();

private:
    QString m_connection;
};

} // namespace mivo::workflow
