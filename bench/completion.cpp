// Completion documentation at office scale (on a copy of the benchmark database, parts stock
// on): documenting a repair with three parts in mode "KI" as the screen does it ("&Adatok
// bevitele", the checks, the store, the same-visit count, the list read again) next to the
// same statements prepared and run bare in one transaction plus the bare list select; and
// accepting the mode "OK" filter for the current month next to its select run bare.
#include "benchdata.h"

#include "core/altproc.h"
#include "core/clock.h"
#include "core/dat.h"
#include "core/messages.h"
#include "platform/querymodel.h"
#include "platform/sqltext.h"
#include "workflow/completionchecks.h"
#include "workflow/completionlist.h"
#include "workflow/completionstore.h"
#include "workflow/jobrepository.h"
#include "workflow/partsstock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTextStream>
#include <QVariant>

#include <map>

using namespace mivo;
using namespace mivo::workflow;
using namespace Qt::StringLiterals;

namespace
{

constexpr int jobs = 60;

struct Part {
    QString code;
    int belsokod = 0;
};

// A statement of the product prepared once per use, bound by name.
class Bare
{
public:
    explicit Bare(const QString& sql)
        : m_sql(db::toPositional(sql)), m_query(QSqlDatabase::database(u"d_mivo"_s))
    {
        m_query.setForwardOnly(true);
        m_query.prepare(m_sql.sql);
    }
    QSqlQuery& run(const std::map<QString, QVariant>& values)
    {
        for (int i = 0; i < m_sql.parameters.size(); ++i)
            m_query.bindValue(i, values.at(m_sql.parameters[i]));
        if (!m_query.exec())
            QTextStream(stderr) << m_query.lastError().text() << Qt::endl;
        return m_query;
    }

private:
    db::PositionalSql m_sql;
    QSqlQuery m_query;
};

// Reads every row and column, as a list model does.
int readAll(QSqlQuery& q)
{
    int rows = 0;
    const int columns = q.record().count();
    while (q.next()) {
        for (int i = 0; i < columns; ++i)
            q.value(i);
        ++rows;
    }
    return rows;
}

QVariant first(QSqlQuery& q)
{
    return q.next() ? q.value(0) : QVariant();
}

// The given-out jobs the mode "KI" list shows today, by its order.
std::vector<ListedJob> listedJobs(data::QueryModel& list, const SqlStatement& s)
{
    QString error;
    std::vector<ListedJob> out;
    if (!list.read(s.sql, s.params, &error)) {
        QTextStream(stderr) << error << Qt::endl;
        return out;
    }
    for (int row = 0; row < list.rowCount(); ++row) {
        const ListedJob j = listedJobAt(list, row);
        if (!j.szerelot.isEmpty())
            out.push_back(j);
    }
    return out;
}

// "&Adatok bevitele", the checks and the store of a repair with the parts, the same-visit
// count and the list read again, as the screen runs them.
bool documentJob(const ListedJob& job, const std::vector<Part>& parts, const Activities& activities,
                 data::QueryModel& list, const SqlStatement& s)
{
    QString error;
    std::optional<Completion> c =
        loadCompletion(job, CompletionMode::Document, activities, u"d_mivo"_s, &error);
    if (!c) {
        QTextStream(stderr) << error << Qt::endl;
        return false;
    }
    c->tevekenyseg = u"Javítás"_s;
    c->partsShown = true;
    c->parts.clear();
    for (const Part& p : parts)
        c->parts.push_back({p.code, {}, u"1"_s, p.belsokod, {}});
    QString focus;
    if (checkCompletionFields(*c, activities) || !completionAllowed(*c, activities, &focus))
        return false;
    const CompletionStore store;
    const CompletionResult r = store.store(*c, activities);
    if (!r.ok()) {
        QTextStream(stderr) << r.message << Qt::endl;
        return false;
    }
    if (!store.sameVisitCount(*c, &error))
        return false;
    return list.read(s.sql, s.params, &error);
}

// The same statements bare, the store's in one transaction, and the list's select.
void documentBare(const ListedJob& job, const std::vector<Part>& parts, const SqlStatement& s)
{
    QSqlDatabase d = QSqlDatabase::database(u"d_mivo"_s);
    const QString now = u"2031.01.01 10:00:00"_s;
    // Loading.
    readAll(Bare(ApplianceRepository::sheetReadStatement()).run({{u"keszulek"_s, job.keszulek}}));
    readAll(Bare(ApplianceRepository::applianceReadStatement()).run({{u"kod"_s, job.keszulek}}));
    {
        Bare technician(technicianStatement());
        first(technician.run({{u"kod"_s, job.szerelot}}));
        first(technician.run({{u"kod"_s, job.szerelot}}));
    }
    readAll(Bare(ownCompanyStatement()).run({{u"kod"_s, Td::instance().ownCompany}}));
    readAll(Bare(JobRepository::recordedPartsStatement()).run({{u"kod"_s, job.kod}}));
    // The checks, and the job read before the store.
    readAll(Bare(ApplianceRepository::serialOwnerStatement())
                .run({{u"gyariszam"_s, u"X"_s}, {u"keszulek"_s, job.keszulek}}));
    readAll(Bare(JobRepository::storedCompletionStatement()).run({{u"kod"_s, job.kod}}));
    readAll(Bare(PartsStock::jobPartsStatement()).run({{u"kod"_s, job.kod}}));
    d.transaction();
    {
        Bare move(PartsStock::moveStatement());
        for (const Part& p : parts)
            move.run({{u"foglalt"_s, 0},
                      {u"mennyi"_s, -1},
                      {u"hol"_s, job.szerelot},
                      {u"mi"_s, p.code}});
        readAll(Bare(JobRepository::storedCompletionStatement()).run({{u"kod"_s, job.kod}}));
        readAll(Bare(PartsStock::jobPartsStatement()).run({{u"kod"_s, job.kod}}));
        Bare(ApplianceRepository::applianceUpdateStatement(false))
            .run({{u"gyariszam"_s, u"X"_s}, {u"tipus"_s, job.tipus}, {u"kod"_s, job.keszulek}});
        Bare(ApplianceRepository::moveStatement())
            .run({{u"ugyfel"_s, job.ugyfel}, {u"kod"_s, job.keszulek}});
        Bare(JobRepository::moveToCustomerStatement())
            .run({{u"ugyfel"_s, job.ugyfel}, {u"mikori"_s, now}, {u"kod"_s, job.kod}});
        Bare(JobRepository::partsDeleteStatement()).run({{u"kod"_s, job.kod}});
        Bare add(JobRepository::usedPartInsertStatement());
        for (const Part& p : parts)
            add.run({{u"kod"_s, job.kod},
                     {u"alkatresz"_s, p.belsokod},
                     {u"keszulek"_s, job.keszulek},
                     {u"tipus"_s, job.tipus},
                     {u"mennyiseg"_s, 1},
                     {u"gjsorszam"_s, 0}});
        Bare(JobRepository::completeStatement())
            .run({{u"allapot"_s, u"OK"_s},
                  {u"munkad"_s, job.tervd},
                  {u"szerelom"_s, job.szerelot},
                  {u"munkatev"_s, u"J"_s},
                  {u"munkaszam"_s, u""_s},
                  {u"szamlaszam"_s, u""_s},
                  {u"leirasm"_s, u""_s},
                  {u"mrogzdat"_s, u"2031.01.01"_s},
                  {u"keszulek"_s, job.keszulek},
                  {u"mikori"_s, now},
                  {u"kod"_s, job.kod},
                  {u"expected"_s, u"KI"_s}});
    }
    d.commit();
    readAll(Bare(JobRepository::sameVisitCountStatement())
                .run({{u"tervd"_s, job.tervd},
                      {u"keszulek"_s, job.keszulek},
                      {u"ugyfel"_s, job.ugyfel},
                      {u"tervtev"_s, job.tervtev},
                      {u"allapot"_s, u"KI"_s},
                      {u"szerelot"_s, job.szerelot}}));
    readAll(Bare(s.sql).run(s.params));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!bench::openScaleCopy(dir.path()))
        return 1;
    Td::instance().userCode = u"BENCH"_s;
    Td::instance().partsStockAvailable = true;
    messages::install(std::make_unique<ScriptedMessages>());

    QString error;
    const std::optional<Activities> activities = Activities::read(u"d_mivo"_s, &error);
    std::vector<Part> parts;
    QSqlQuery p(QSqlDatabase::database(u"d_mivo"_s));
    p.exec(u"SELECT FIRST 3 KOD, BELSOKOD FROM ARU WHERE JELLEG = 'A' ORDER BY KOD"_s);
    while (p.next())
        parts.push_back({p.value(0).toString().trimmed(), p.value(1).toInt()});

    data::QueryModel list(u"d_mivo"_s, {});
    const SqlStatement ki = completionListStatement(
        CompletionMode::Document, clearedFilter(CompletionMode::Document, alt::today()));
    const std::vector<ListedJob> listed = listedJobs(list, ki);
    if (!activities || parts.size() < 3 || int(listed.size()) < 2 * jobs) {
        QTextStream(stderr) << "the benchmark database lacks activities, parts or today's jobs ("
                            << listed.size() << ")" << Qt::endl;
        return 1;
    }

    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < jobs; ++i)
        documentBare(listed[size_t(jobs + i)], parts, ki);
    const double bare = double(clock.nsecsElapsed()) / 1e6 / jobs;

    clock.restart();
    for (int i = 0; i < jobs; ++i) {
        if (!documentJob(listed[size_t(i)], parts, *activities, list, ki)) {
            QTextStream(stderr) << "documenting job " << listed[size_t(i)].kod << " failed"
                                << Qt::endl;
            return 1;
        }
    }
    const double product = double(clock.nsecsElapsed()) / 1e6 / jobs;
    bench::report(u"document_repair"_s, product, bare);

    // "&Feltételek elfogadása" in mode "OK" with the month's default filter.
    CompletionFilter month = clearedFilter(CompletionMode::Correct, alt::today());
    month.munkadTol = alt::today().left(8) + u"01"_s;
    const SqlStatement ok = completionListStatement(CompletionMode::Correct, month);
    int rows = 0;
    const double accepted = bench::fastestMs(5, [&] {
        if (!checkFilter(month))
            list.read(ok.sql, ok.params, &error);
        rows = list.rowCount();
    });
    int bareRows = 0;
    const double select =
        bench::fastestMs(5, [&] { bareRows = readAll(Bare(ok.sql).run(ok.params)); });
    if (rows != bareRows || rows == 0) {
        QTextStream(stderr) << "the month's list: " << rows << " rows, bare " << bareRows
                            << Qt::endl;
        return 1;
    }
    bench::report(u"accept_ok_filter_month"_s, accepted, select);
    return 0;
}
