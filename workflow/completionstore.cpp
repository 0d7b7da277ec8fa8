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

/// One run of the store on fresh statements.
class StoreRun
{
public:
    StoreRun(const QString& connection, const Completion& c, const Activities& activities)
        : c(c), activities(activities), m_jobs(connection), m_appliances(connection),
          m_customers(connection), m_stock(connection)
    {
    }

    db::Outcome run();

    const Completion& c;
    const Activities& activities;
    bool refused = false;
    bool duplicateSheet = false;
    bool insertedSheet = false;

private:
    db::Outcome fail(const WriteResult& w)
    {
        refused = w.status == WriteResult::Conflict;
        return outcomeOf(w);
    }
    db::Outcome writeSheet(int sorrend);
    db::Outcome moveStock(const StoredCompletion& stored, const QString& performer);
    db::Outcome writeParts();

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

    // The job as stored now: the stock moves start from it, and a job another workstation
    // documented meanwhile is not documented twice.
    QString error;
    const std::optional<StoredCompletion> stored = m_jobs.storedCompletion(c.job.kod, &error);
    if (!stored)
        return db::Outcome::failure(error);
    if (stored->allapot != expectedState(c)) {
        refused = true;
        return db::Outcome::failure(changedMeanwhile());
    }

    // The stock rows are what other workstations touch most: they are written first, so that
    // another workstation's reservation committed meanwhile rarely makes the unit run again.
    if (db::Outcome stock = moveStock(*stored, values->szerelom); !stock.ok())
        return stock;

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

db::Outcome StoreRun::moveStock(const StoredCompletion& stored, const QString& performer)
{
    if (!Td::instance().partsStockAvailable)
        return {};
    if (c.mode == CompletionMode::Document && !stored.szerelot.isEmpty()) {
        // The job leaves "KI": what it reserved at its technician is free again.
        if (db::Outcome o = outcomeOf(m_stock.release(c.job.kod, stored.szerelot)); !o.ok())
            return o;
    }
    if (!c.partsShown)
        return {};
    if (c.mode == CompletionMode::Correct) {
        // The parts recorded before were taken off the former performer when the activity
        // then recorded parts; they go back before the new ones are taken off.
        const Activity* before = activities.byCode(stored.munkatev);
        if (before && before->sorrend == 3 && !stored.szerelom.isEmpty()) {
            if (db::Outcome o = outcomeOf(m_stock.putBack(c.job.kod, stored.szerelom)); !o.ok())
                return o;
        }
    }
    if (performer.isEmpty())
        return {};
    for (const UsedPart& part : usedParts(c)) {
        if (db::Outcome o = outcomeOf(m_stock.takeOff(performer, part.code, part.quantity));
            !o.ok())
            return o;
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
    std::optional<StoreRun> last;
    const db::UnitResult unit = db::runUnitOfWork(
        m_connection,
        [&](const QString& connection) {
            last.emplace(connection, completion, activities);
            return last->run();
        },
        m_policy);
    return resultOf(unit, last && last->refused, last && last->duplicateSheet,
                    last && last->insertedSheet);
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
