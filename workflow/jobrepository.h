#pragma once

#include "job.h"
#include "partsstock.h"
#include "sqlstatement.h"
#include "writeresult.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace mivo::workflow
{

/// What documenting a completion writes into a job.
struct JobCompletion {
    JobState state = JobState::Done; ///< Done, or ClosedDoor for the "ZA" activity
    QString munkad, szerelom, munkatev, munkaszam, szamlaszam, leirasm;
    int keszulek = 0;
};

/// A job's documented values as stored, which the stock moves of a correction start from.
struct StoredCompletion {
    QString allapot, szerelot, szerelom, munkatev;
};

/// The parts recorded for a job (MUNKA_ALK): rows with code, name, quantity and internal code,
/// and the warranty coupon number they were charged to (0 for none).
struct JobParts {
    std::vector<PartRow> rows;
    int gjsorszam = 0;
};

/// A part to record as used: its code (ARU.KOD, which the stock counts by), ARU.BELSOKOD and
/// a whole quantity.
struct UsedPart {
    QString code;
    int belsokod = 0;
    int quantity = 0;
};

/// What identifies the other jobs of the same visit: the listed job's planned day, appliance,
/// customer, planned activity, state and technician.
struct VisitKey {
    QString tervd, tervtev, allapot, szerelot;
    int keszulek = 0, ugyfel = 0;
};

/// What a store writes into a job: state, slot and the request's values.
struct JobWrite {
    JobState state = JobState::Recorded;
    int ugyfel = 0, keszulek = 0, tipus = 0;
    QString tervd, tervt, szerelot, tervtev, leirast, telefon, dedu, lemondta, kesz;
};

/// The one home of the statements about jobs (MUNKA). It reads and writes and asks the user
/// nothing: screens decide what to ask and how to show a result. Every write names the state
/// the caller read, in the statement itself, and changes nothing when another workstation
/// changed that state meanwhile (WriteResult::Conflict). Writes stamp the logged-in user's
/// code (JUZER) and the current time (MIKORI); each commits at once.
class JobRepository
{
public:
    /// On the business connection d_mivo.
    JobRepository();
    explicit JobRepository(const QString& connectionName);

    /// The job with its customer, activity and appliance type. Nullopt when there is none or
    /// the read failed; then *error holds the database's text (empty when the job is gone).
    std::optional<GridJob> load(int kod, QString* error) const;

    /// The statement behind dayJobs().
    static SqlStatement dayJobsStatement(const QString& date, const QStringList& technicians);
    /// The jobs the technicians (SZERELO.KOD) have on the date ("yyyy.mm.dd"), in hour and
    /// job order; deleted jobs are left out, those of every other state are in. False with
    /// the database's text in *error.
    bool dayJobs(const QString& date, const QStringList& technicians,
                 std::vector<ScheduledJob>* jobs, QString* error) const;

    /// Whether a slot (technician code, date, hour) holds a job other than `kod` (0 for a
    /// new job). Deleted jobs free their slot. Nullopt with the database's text in *error
    /// when it could not be read.
    std::optional<bool> slotTakenByOther(const QString& szerelo, const QString& datum,
                                         const QString& ora, int kod, QString* error) const;

    /// The users' name of a state code (ALLAPOT.NEV, trimmed; empty when the code has no
    /// row). Nullopt with the database's text in *error when it could not be read.
    std::optional<QString> stateName(const QString& code, QString* error) const;

    /// Takes the job off its technician: JobState::Recorded, technician emptied, planned
    /// date and hour kept. `seen` is the job as the caller read it; its state guards the
    /// write.
    WriteResult unassign(const Job& seen) const;
    /// Marks the job JobState::Deleted and empties its technician, guarded as unassign().
    WriteResult markDeleted(const Job& seen) const;

    // The writes of a store. Inside an open db::Transaction they join it; a failure carries
    // the database's code.

    /// Inserts a job recorded now (FELVETELD, FELVETELT) and puts its code into *kod.
    WriteResult insert(const JobWrite& values, int* kod) const;
    /// Rewrites the job's state, slot and request values while its state is still
    /// `expected` (the state the caller read; empty for none).
    WriteResult rewrite(int kod, const QString& expected, const JobWrite& values) const;
    /// Closes a job that a new visit supersedes (JobState::Superseded), naming the technician
    /// of the new visit, guarded as unassign().
    WriteResult supersede(const Job& seen, const QString& technician) const;

    /// The article codes (ARU.KOD) of the job's parts, each followed by ",". Nullopt with the
    /// database's text in *error.
    std::optional<QString> partCodes(int kod, QString* error) const;
    /// Deletes the job's parts (MUNKA_ALK rows).
    WriteResult deleteParts(int kod) const;
    /// Replaces the job's parts with the parts (JELLEG 'A' articles) the codes name, one piece
    /// each; codes no part has are skipped.
    WriteResult replaceParts(int kod, const QStringList& codes, int keszulek, int tipus) const;

    // Completion documentation. These writes keep JUZER: it names who recorded the request.

    /// The job's state and documented values as stored now. Nullopt with the database's text
    /// in *error; an empty allapot when the job is gone.
    std::optional<StoredCompletion> storedCompletion(int kod, QString* error) const;
    /// Documents the job (MUNKAD, SZERELOM, ... , MROGZDAT today, MIKORI now) while its state
    /// is still `expected`. A handover marker KULD of -1 (the job came from the SD program)
    /// stays; any other becomes 0, so that the job is handed over again.
    WriteResult complete(int kod, const QString& expected, const JobCompletion& values) const;
    /// Gives the job to another customer (the owner of its appliance changed).
    WriteResult moveToCustomer(int kod, int ugyfel) const;
    /// The job's recorded parts with their quantities and coupon number. Nullopt with the
    /// database's text in *error.
    std::optional<JobParts> recordedParts(int kod, QString* error) const;
    /// Records the parts as used on the job (after deleteParts()).
    WriteResult recordUsedParts(int kod, const std::vector<UsedPart>& parts, int keszulek,
                                int tipus, int gjsorszam) const;
    /// How many jobs belong to the visit. Nullopt with the database's text in *error.
    std::optional<int> sameVisitCount(const VisitKey& key, QString* error) const;
    /// The codes of the visit's jobs. Nullopt with the database's text in *error.
    std::optional<std::vector<int>> sameVisitJobs(const VisitKey& key, QString* error) const;

    // The statements of the writes above, for measuring them bare.
    /// The insert of insert(), "RETURNING KOD".
    static QString insertStatement();
    /// The select of slotTakenByOther() (:szerelo, :datum, :ora, :deleted).
    static QString slotStatement();
    /// The statements of replaceParts(): delete the job's parts, find a part by code, add one.
    static QString partsDeleteStatement();
    static QString partLookupStatement();
    static QString partInsertStatement();
    /// The statements of completion documentation: the stored values (:kod), the update of
    /// complete() (:allapot, :munkad, ..., :kod, :expected), the recorded parts (:kod), a used
    /// part (:kod, :alkatresz, :keszulek, :tipus, :mennyiseg, :gjsorszam), the same-visit
    /// count (:tervd, :keszulek, :ugyfel, :tervtev, :allapot, :szerelot).
    static QString storedCompletionStatement();
    static QString completeStatement();
    static QString recordedPartsStatement();
    static QString usedPartInsertStatement();
    static QString sameVisitCountStatement();
    /// The job given to another customer (:ugyfel, :mikori, :kod).
    static QString moveToCustomerStatement();

private:
    /// "UPDATE MUNKA SET <assignments>" of the job `seen` names, stamped with the user and
    /// the time, written only while the job still has the state `seen` holds.
    WriteResult guardedUpdate(const Job& seen, const QString& assignments,
                              const std::map<QString, QVariant>& params) const;

    QString m_connection;
};

} // namespace mivo::workflow
