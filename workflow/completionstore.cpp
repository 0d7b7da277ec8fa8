#include "completionstore.h"

#include "customerrepository.h"

#include "core/altproc.h"
#include "core/dat.h"
#include "platform/dbconnection.h"
#include "platform/unitofwork.h"

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

namespace
{

db::Outcome outcomeOf(const WriteResult& w)
{
    return db::Outcome::failure(w.message, w.errorCode);
}

db::Outcome outcomeOf(const PartsHook::Result& r)
{
    return r.ok ? db::Outcome() : db::Outcome::failure(r.message, r.errorCode);
}

QString expectedState(const Completion& c)
{
    return stateCode(listedState(c.mode));
}

QString changedMeanwhile()
{
    return u"A munkát közben egy másik munkahelyen módosították vagy törölték."_s;
}

/// The job's stock-relevant values as read before a store: its state and technicians, and
/// the parts recorded for it.
struct JobBefore {
    StoredCompletion stored;
    std::vector<std::pair<QString, double>> parts;
    bool operator==(const JobBefore& other) const
    {
        return stored.allapot == other.stored.allapot && stored.szerelot == other.stored.szerelot &&
               stored.szerelom == other.stored.szerelom &&
               stored.munkatev == other.stored.munkatev && parts == other.parts;
    }
};

std::optional<JobBefore> readJob(const QString& connection, int kod, QString* error)
{
    JobBefore job;
    const std::optional<StoredCompletion> stored =
        JobRepository(connection).storedCompletion(kod, error);
    if (!stored)
        return std::nullopt;
    job.stored = *stored;
    const auto parts = PartsStock(connection).recordedQuantities(kod, error);
    if (!parts)
        return std::nullopt;
    job.parts = *parts;
    return job;
}

/// What a store adds to the stock rows, by place and part: reserved (FOGLALT) and held
/// (MENNYI). The map's order is the order the rows are written in, the same on every
/// workstation.
using StockMoves = std::map<std::pair<QString, QString>, std::pair<double, double>>;

StockMoves planMoves(const Completion& c, const Activities& activities, const JobBefore& before,
                     const QString& performer)
{
    StockMoves moves;
    if (!Td::instance().partsStockAvailable)
        return moves;
    const StoredCompletion& stored = before.stored;
    // The job leaves "KI": what it reserved at its technician is free again.
    if (c.mode == CompletionMode::Document && !stored.szerelot.isEmpty()) {
        for (const auto& [part, quantity] : before.parts)
            moves[{stored.szerelot, part}].first -= quantity;
    }
    if (!c.partsShown)
        return moves;
    // The parts recorded before were taken off the former performer when the activity then
    // recorded parts; they go back before the new ones are taken off.
    const Activity* previous = activities.byCode(stored.munkatev);
    if (c.mode == CompletionMode::Correct && previous && previous->sorrend == 3 &&
        !stored.szerelom.isEmpty()) {
        for (const auto& [part, quantity] : before.parts)
            moves[{stored.szerelom, part}].second += quantity;
    }
    if (!performer.isEmpty()) {
        for (const UsedPart& part : usedParts(c))
            moves[{performer, part.code}].second -= part.quantity;
    }
    return moves;
}

/// One run of the store on fresh statements, from the job as read before the unit.
class StoreRun
{
public:
    StoreRun(const QString& connection, const Completion& c, const Activities& activities,
             const JobBefore& before, const StockMoves& moves)
        : c(c), activities(activities), before(before), moves(moves), m_connection(connection),
          m_jobs(connection), m_appliances(connection), m_customers(connection), m_stock(connection)
    {
    }

    db::Outcome run();

    const Completion& c;
    const Activities& activities;
    const JobBefore& before;
    const StockMoves& moves;
    bool refused = false;
    bool duplicateSheet = false;
    bool insertedSheet = false;
    bool stale = false; ///< the job changed since it was read before the unit

private:
    db::Outcome fail(const WriteResult& w)
    {
        refused = w.status == WriteResult::Conflict;
        return outcomeOf(w);
    }
    db::Outcome writeSheet(int sorrend);
    db::Outcome writeParts();

    QString m_connection;
    JobRepository m_jobs;
    ApplianceRepository m_appliances;
    CustomerRepository m_customers;
    PartsStock m_stock;
};

db::Outcome StoreRun::run()
{
    const std::optional<JobCompletion> values = CompletionStore::jobValues(c, activities);
    if (!values)
        return db::Outcome::failure(u"Válassza ki a munka jellegét!"_s);
    const int sorrend = activities.byName(c.tevekenyseg)->sorrend;

    // The stock rows are what other workstations write most: they come first, before any
    // read, so that a reservation committed meanwhile rarely makes the unit run again.
    for (const auto& [row, change] : moves) {
        const PartsHook::Result r =
            m_stock.move(row.first, row.second, change.first, change.second);
        if (!r.ok)
            return outcomeOf(r);
    }
    // The moves were planned from the job as read before the unit; a job changed since then
    // is read and planned again.
    QString error;
    const std::optional<JobBefore> now = readJob(m_connection, c.job.kod, &error);
    if (!now)
        return db::Outcome::failure(error);
    if (!(*now == before)) {
        stale = true;
        return db::Outcome::failure(changedMeanwhile());
    }

    if (db::Outcome sheet = writeSheet(sorrend); !sheet.ok())
        return sheet;

    // Only a commissioning dates the appliance: letters select appliances by that date.
    const bool commissioning = sorrend == 1;
    if (c.gyariszam != c.sheetSerial || c.tipus != c.applianceTipus ||
        (commissioning && c.applianceBeuzemeles != values->munkad)) {
        const std::optional<QString> date =
            commissioning ? std::optional<QString>(values->munkad) : std::nullopt;
        if (WriteResult w = m_appliances.updateAppliance(c.keszulek, c.gyariszam, c.tipus, date);
            !w.ok())
            return fail(w);
    }

    const int sheetOwner = c.hasSheet() ? c.loadedSheet.at(u"UGYFEL"_s).toInt() : 0;
    if (sheetOwner != c.customer.kod && c.customer.kod != 0) {
        if (WriteResult w = m_appliances.moveAppliance(c.keszulek, c.customer.kod); !w.ok())
            return fail(w);
        if (WriteResult w = m_jobs.moveToCustomer(c.job.kod, c.customer.kod); !w.ok())
            return fail(w);
    }

    if (c.customer.kod != 0) {
        Customer customer = c.customer;
        if (WriteResult w = m_customers.save(customer, c.remembered); !w.ok())
            return fail(w);
    }

    if (db::Outcome parts = writeParts(); !parts.ok())
        return parts;

    if (WriteResult w = m_jobs.complete(c.job.kod, expectedState(c), *values); !w.ok())
        return fail(w);
    return {};
}

db::Outcome StoreRun::writeSheet(int sorrend)
{
    const RowValues row = sheetRow(c);
    if (sorrend == 1 && (c.mode == CompletionMode::Document || !c.hasSheet())) {
        // Checked before the questions; checked again here because another workstation may
        // have stored the number since, and a rerun after its key violation lands here.
        QString error;
        const std::optional<bool> exists =
            m_appliances.sheetExists(row.at(u"SORSZAM"_s).toString(), &error);
        if (!exists)
            return db::Outcome::failure(error);
        if (*exists) {
            duplicateSheet = true;
            return db::Outcome::failure(CompletionStore::duplicateSheetMessage());
        }
        insertedSheet = true;
        const WriteResult w = m_appliances.insertSheet(row);
        return w.ok() ? db::Outcome() : fail(w);
    }
    if (c.hasSheet() && sheetDiffers(c.loadedSheet, row)) {
        if (WriteResult w = m_appliances.updateSheet(c.sheetNumber(), row); !w.ok())
            return fail(w);
    }
    return {};
}

db::Outcome StoreRun::writeParts()
{
    if (!c.partsShown)
        return {};
    if (WriteResult w = m_jobs.deleteParts(c.job.kod); !w.ok())
        return fail(w);
    const WriteResult w = m_jobs.recordUsedParts(c.job.kod, usedParts(c), c.keszulek, c.tipus,
                                                 alt::parseInteger(c.gjsorszam));
    return w.ok() ? db::Outcome() : fail(w);
}

CompletionResult resultOf(const db::UnitResult& unit, bool refused, bool duplicate,
                          bool insertedSheet)
{
    CompletionResult result;
    result.attempts = unit.attempts;
    if (unit.ok())
        return result;
    result.message = unit.message;
    result.status = refused ? CompletionResult::Refused : CompletionResult::Failed;
    // A number another workstation kept taking through every rerun is a duplicate too.
    if (duplicate || (insertedSheet && unit.errorCode == db::KeyViolationCode)) {
        result.message = CompletionStore::duplicateSheetMessage();
        result.focus = u"e_sorszam"_s;
    }
    return result;
}

} // namespace

CompletionStore::CompletionStore(const QString& connectionName, const db::RetryPolicy& policy)
    : m_connection(connectionName), m_policy(policy)
{
}

QString CompletionStore::duplicateSheetMessage()
{
    return u"Van már ilyen beüzemelési lap sorszám."_s;
}

std::optional<JobCompletion> CompletionStore::jobValues(const Completion& c,
                                                        const Activities& activities)
{
    const Activity* activity = activities.byName(c.tevekenyseg);
    if (!activity)
        return std::nullopt;
    JobCompletion w;
    w.state = activity->kod == u"ZA"_s ? JobState::ClosedDoor : JobState::Done;
    w.munkad = alt::formatDate(alt::parseDate(c.munkad.trimmed()));
    w.szerelom = c.szerelom.trimmed();
    w.munkatev = activity->kod;
    w.munkaszam = c.munkaszam;
    w.szamlaszam = c.szamlaszam;
    w.leirasm = c.leirasm;
    w.keszulek = c.keszulek;
    return w;
}

CompletionResult CompletionStore::store(const Completion& completion,
                                        const Activities& activities) const
{
    const std::optional<JobCompletion> values = jobValues(completion, activities);
    if (!values)
        return {CompletionResult::Failed, u"Válassza ki a munka jellegét!"_s, {}, 0};
    int attempts = 0;
    for (;;) {
        // A job another workstation documented meanwhile is not documented twice.
        QString error;
        const std::optional<JobBefore> before = readJob(m_connection, completion.job.kod, &error);
        if (!before)
            return {CompletionResult::Failed, error, {}, attempts};
        if (before->stored.allapot != expectedState(completion))
            return {CompletionResult::Refused, changedMeanwhile(), {}, attempts};
        const StockMoves moves = planMoves(completion, activities, *before, values->szerelom);
        std::optional<StoreRun> last;
        const db::UnitResult unit = db::runUnitOfWork(
            m_connection,
            [&](const QString& connection) {
                last.emplace(connection, completion, activities, *before, moves);
                return last->run();
            },
            m_policy);
        attempts += unit.attempts;
        if (!unit.ok() && last && last->stale && attempts < m_policy.attempts)
            continue;
        CompletionResult result =
            resultOf(unit, last && (last->refused || last->stale), last && last->duplicateSheet,
                     last && last->insertedSheet);
        result.attempts = attempts;
        return result;
    }
}

namespace
{

VisitKey visitOf(const Completion& c)
{
    return {c.job.tervd,    c.job.tervtev,  expectedState(c),
            c.job.szerelot, c.job.keszulek, c.job.ugyfel};
}

} // namespace

std::optional<int> CompletionStore::sameVisitCount(const Completion& c, QString* error) const
{
    return JobRepository(m_connection).sameVisitCount(visitOf(c), error);
}

CompletionResult CompletionStore::documentSameVisit(const Completion& c,
                                                    const Activities& activities) const
{
    const std::optional<JobCompletion> values = jobValues(c, activities);
    if (!values)
        return {CompletionResult::Failed, u"Válassza ki a munka jellegét!"_s, {}, 0};
    bool refused = false;
    const db::UnitResult unit = db::runUnitOfWork(
        m_connection,
        [&](const QString& connection) {
            refused = false;
            const JobRepository jobs(connection);
            const PartsStock stock(connection);
            const VisitKey key = visitOf(c);
            QString error;
            const std::optional<std::vector<int>> codes = jobs.sameVisitJobs(key, &error);
            if (!codes)
                return db::Outcome::failure(error);
            const bool release =
                Td::instance().partsStockAvailable && c.mode == CompletionMode::Document;
            for (const int kod : *codes) {
                if (release) {
                    if (db::Outcome o = outcomeOf(stock.release(kod, key.szerelot)); !o.ok())
                        return o;
                }
                if (WriteResult w = jobs.complete(kod, key.allapot, *values); !w.ok()) {
                    refused = w.status == WriteResult::Conflict;
                    return outcomeOf(w);
                }
            }
            return db::Outcome();
        },
        m_policy);
    return resultOf(unit, refused, false, false);
}

} // namespace mivo::workflow
