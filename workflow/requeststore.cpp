#include "requeststore.h"

#include "customerrepository.h"
#include "jobrepository.h"
#include "partshook.h"

#include "core/altproc.h"
#include "core/clock.h"
#include "core/dat.h"
#include "platform/dbquery.h"
#include "platform/unitofwork.h"

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

namespace
{

QString flag(bool on)
{
    return on ? u"I"_s : u""_s;
}

db::Outcome outcomeOf(const WriteResult& w)
{
    return db::Outcome::failure(w.message, w.errorCode);
}

db::Outcome outcomeOf(const PartsHook::Result& r)
{
    return db::Outcome::failure(r.message, r.errorCode);
}

/// One run of the store on a copy of the request; the copy holds the new codes.
class StoreRun
{
public:
    StoreRun(const QString& connection, Request request)
        : r(std::move(request)), m_connection(connection), m_jobs(connection),
          m_customers(connection)
    {
    }

    db::Outcome run();

    Request r;
    bool slotTaken = false;
    bool refused = false;
    bool newCustomer = false;

private:
    db::Outcome fail(const WriteResult& w)
    {
        refused = w.status == WriteResult::Conflict;
        return outcomeOf(w);
    }
    db::Outcome bookDay();
    std::optional<QString> activityCode(db::Outcome* failure) const;
    JobWrite values(JobState state, const QString& tervtev) const;
    db::Outcome storeParts(JobState stored);
    db::Outcome answerLetter() const;

    QString m_connection;
    JobRepository m_jobs;
    CustomerRepository m_customers;
    QString m_szerelot, m_tervt;
};

db::Outcome StoreRun::run()
{
    // Every list compares planned dates as "yyyy.mm.dd" texts, whatever form was typed.
    r.datum = alt::formatDate(alt::parseDate(r.datum));
    switch (r.slot.kind) {
    case Slot::External:
        m_szerelot = r.kulsos.kod;
        m_tervt = externalHour(r.dedu);
        break;
    case Slot::Grid:
        m_szerelot = r.slot.technician;
        m_tervt = r.ora;
        break;
    case Slot::None:
        break;
    }
    if (r.slot.kind == Slot::Grid) {
        if (db::Outcome booked = bookDay(); !booked.ok())
            return booked;
    }

    // A job taken from the grid first goes back among the unassigned ones, so that its
    // history shows it leaving the former slot.
    QString expected = r.loadedState;
    const bool setBack = r.currentMode == RequestMode::Move ||
                         (r.currentMode == RequestMode::Modify && r.slot.kind == Slot::External);
    if (setBack) {
        JobWrite back = values(JobState::Recorded, r.loadedActivity);
        back.tervd.clear();
        back.tervt.clear();
        back.szerelot.clear();
        if (WriteResult w = m_jobs.rewrite(r.jobCode, expected, back); !w.ok())
            return fail(w);
        expected = stateCode(JobState::Recorded);
    }

    newCustomer = r.customer.kod == 0;
    if (WriteResult w = m_customers.save(r.customer, r.remembered); !w.ok())
        return fail(w);

    db::Outcome failure;
    const std::optional<QString> tervtev = activityCode(&failure);
    if (!tervtev)
        return failure;

    if (r.ujKeszulek || r.keszulek == 0) {
        if (WriteResult w = m_customers.insertAppliance(r.customer.kod, r.tipus, &r.keszulek);
            !w.ok())
            return fail(w);
        r.ujKeszulek = false;
        r.gyariszam.clear();
    }

    const JobState stored = r.slot.kind == Slot::None ? JobState::Recorded : JobState::Assigned;
    switch (r.currentMode) {
    case RequestMode::New:
        if (WriteResult w = m_jobs.insert(values(stored, *tervtev), &r.jobCode); !w.ok())
            return fail(w);
        break;
    case RequestMode::Unplaced:
    case RequestMode::Move:
    case RequestMode::Modify:
        if (WriteResult w = m_jobs.rewrite(r.jobCode, expected, values(stored, *tervtev)); !w.ok())
            return fail(w);
        break;
    case RequestMode::Revisit:
    case RequestMode::Ongoing: {
        Job seen;
        seen.kod = r.jobCode;
        seen.allapot = expected;
        if (WriteResult w = m_jobs.supersede(seen, m_szerelot); !w.ok())
            return fail(w);
        if (WriteResult w = m_jobs.insert(values(stored, *tervtev), &r.jobCode); !w.ok())
            return fail(w);
        break;
    }
    }

    if (db::Outcome parts = storeParts(stored); !parts.ok())
        return parts;
    return answerLetter();
}

db::Outcome StoreRun::bookDay()
{
    // The day's row serialises the stores into one technician's day: a second workstation
    // waits here for the first one's commit, then conflicts and reruns on a fresh snapshot
    // that holds the first one's job.
    db::Query book(m_connection);
    book.setSql(RequestStore::bookingStatement());
    book.bind(u"szerelokod"_s, m_szerelot);
    book.bind(u"datum"_s, r.datum);
    book.bind(u"mikori"_s, clock::now().toString(u"yyyy.MM.dd hh:mm:ss"_s));
    if (!book.exec())
        return db::Outcome::failure(book);
    QString error;
    const std::optional<bool> taken =
        m_jobs.slotTakenByOther(m_szerelot, r.datum, m_tervt, r.jobCode, &error);
    if (!taken)
        return db::Outcome::failure(error);
    if (*taken) {
        slotTaken = true;
        return db::Outcome::failure(RequestStore::slotTakenMessage());
    }
    return {};
}

std::optional<QString> StoreRun::activityCode(db::Outcome* failure) const
{
    db::Query q(m_connection);
    q.setSql(RequestStore::activityStatement());
    q.bind(u"nev"_s, r.tevekenyseg);
    if (!q.exec()) {
        *failure = db::Outcome::failure(q);
        return std::nullopt;
    }
    if (!q.first()) {
        *failure = db::Outcome::failure(u"Válassza ki a munka jellegét!"_s);
        return std::nullopt;
    }
    return q.text(u"KOD"_s);
}

JobWrite StoreRun::values(JobState state, const QString& tervtev) const
{
    JobWrite w;
    w.state = state;
    w.ugyfel = r.customer.kod;
    w.keszulek = r.keszulek;
    w.tipus = r.tipus;
    w.tervd = r.datum;
    w.tervt = m_tervt;
    w.szerelot = m_szerelot;
    w.tervtev = tervtev;
    w.leirast = r.problema;
    w.telefon = flag(r.telefon);
    w.dedu = r.dedu;
    w.lemondta = flag(r.lemondta);
    w.kesz = flag(r.kesz);
    return w;
}

db::Outcome StoreRun::storeParts(JobState stored)
{
    PartsHook* hook = partsHook();
    if (!hook) {
        const WriteResult w =
            m_jobs.replaceParts(r.jobCode, partCodeList(r.alk), r.keszulek, r.tipus);
        return w.ok() ? db::Outcome() : fail(w);
    }
    // Reservations are held by the technician the job was given to when it was loaded.
    if (r.loadedState == stateCode(JobState::Assigned) && !r.loadedTechnician.isEmpty()) {
        if (const auto released = hook->release(m_connection, r.jobCode, r.loadedTechnician);
            !released.ok)
            return outcomeOf(released);
    }
    if (WriteResult w = m_jobs.deleteParts(r.jobCode); !w.ok())
        return fail(w);
    const QString holder = stored == JobState::Assigned ? m_szerelot : QString();
    const auto reserved =
        hook->reserveAndRecord(m_connection, r.jobCode, r.tipus, r.keszulek, holder);
    return reserved.ok ? db::Outcome() : outcomeOf(reserved);
}

db::Outcome StoreRun::answerLetter() const
{
    if (!Td::instance().lettersAvailable || !r.valaszolt || r.letterDate.isEmpty() ||
        r.letterAnswered)
        return {};
    db::Query q(m_connection);
    q.setSql(u"Update LEVELKE Set VALASZ = :valasz WHERE UGYFEL = :ugyfel And MIKOR = :mikor"_s);
    q.bind(u"valasz"_s, alt::today());
    q.bind(u"ugyfel"_s, r.customer.kod);
    q.bind(u"mikor"_s, r.letterDate);
    return q.exec() ? db::Outcome() : db::Outcome::failure(q);
}

} // namespace

RequestStore::RequestStore(const QString& connectionName) : m_connection(connectionName) {}

QString RequestStore::bookingStatement()
{
    return u"UPDATE OR INSERT INTO NAPZAR (SZERELOKOD, DATUM, MIKORI) "
           "VALUES (:szerelokod, :datum, :mikori) MATCHING (SZERELOKOD, DATUM)"_s;
}

QString RequestStore::activityStatement()
{
    return u"SELECT KOD FROM TEVEKENYS WHERE NEV = :nev"_s;
}

QString RequestStore::slotTakenMessage()
{
    return u"A szerelőnek valaki közben más munkát osztott ki."_s;
}

StoreResult RequestStore::store(Request& request) const
{
    // Each run starts from the request as given: a rerun must not see codes a rolled back
    // run assigned.
    std::optional<StoreRun> last;
    const db::UnitResult unit = db::runUnitOfWork(m_connection, [&](const QString& connection) {
        last.emplace(connection, request);
        return last->run();
    });
    StoreResult result;
    if (unit.ok()) {
        result.newCustomer = last->newCustomer;
        request = last->r;
        return result;
    }
    result.message = unit.message;
    if (last && last->slotTaken)
        result.status = StoreResult::SlotTaken;
    else if (last && last->refused)
        result.status = StoreResult::Refused;
    else
        result.status = StoreResult::Failed;
    return result;
}

} // namespace mivo::workflow
