// Storing a new request at office scale (on a copy of the benchmark database): mode "U",
// a new customer and appliance, a grid slot, two parts, as "&Tárolás" stores it (the slot
// check before the question, then the store's unit of work), next to the same statements
// prepared and run bare through the driver in one transaction per request.
#include "benchdata.h"

#include "core/dat.h"
#include "platform/sqltext.h"
#include "workflow/customerrepository.h"
#include "workflow/jobrepository.h"
#include "workflow/jobstate.h"
#include "workflow/requeststore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QVariant>

#include <map>

using namespace mivo;
using namespace mivo::workflow;
using namespace Qt::StringLiterals;

namespace
{

constexpr int requests = 300;

struct Articles {
    int boiler = 0;
    QString boilerCode;
    QStringList parts;
};

QVariant first(const QString& sql)
{
    QSqlQuery q(QSqlDatabase::database(u"d_mivo"_s));
    q.exec(sql);
    return q.next() ? q.value(0) : QVariant();
}

// The i-th request's slot: a free hour of a technician on a day no job uses.
struct BenchSlot {
    QString technician, date, hour;
};

BenchSlot slotOf(int i, const QStringList& technicians, int run)
{
    return {technicians[i % technicians.size()],
            u"2031.%1.%2"_s.arg(run + 1, 2, 10, QChar(u'0'))
                .arg(1 + (i / technicians.size()) % 28, 2, 10, QChar(u'0')),
            u"%1"_s.arg(8 + i / (technicians.size() * 28), 2, 10, QChar(u'0'))};
}

Request requestOf(int i, const Articles& a, const BenchSlot& s)
{
    Request r;
    r.customer.nev = u"Mérő Ügyfél %1"_s.arg(i);
    r.customer.irszam = u"1111"_s;
    r.customer.varos = u"Budapest"_s;
    r.customer.utca = u"Mérő u. %1"_s.arg(i);
    r.tipus = a.boiler;
    r.tipusKod = a.boilerCode;
    r.tevekenyseg = u"Javítás"_s;
    r.datum = s.date;
    r.dedu = u"De"_s;
    r.alk = a.parts.join(u',') + u',';
    r.slot.kind = workflow::Slot::Grid;
    r.slot.technician = s.technician;
    r.slot.date = s.date;
    r.slot.hour = s.hour;
    r.ora = s.hour;
    return r;
}

// A statement of the product prepared once per transaction, bound by name.
class Bare
{
public:
    explicit Bare(const QString& sql)
        : m_sql(db::toPositional(sql)), m_query(QSqlDatabase::database(u"d_mivo"_s))
    {
        m_query.prepare(m_sql.sql);
    }
    QSqlQuery& run(const std::map<QString, QVariant>& values)
    {
        for (int i = 0; i < m_sql.parameters.size(); ++i)
            m_query.bindValue(i, values.at(m_sql.parameters[i]));
        m_query.exec();
        return m_query;
    }

private:
    db::PositionalSql m_sql;
    QSqlQuery m_query;
};

QVariant returned(QSqlQuery& q)
{
    return q.next() ? q.value(0) : QVariant();
}

void bareStore(int i, const Articles& a, const BenchSlot& s)
{
    QSqlDatabase d = QSqlDatabase::database(u"d_mivo"_s);
    d.transaction();
    {
        const QString now = u"2031.01.01 10:00:00"_s;
        Bare(RequestStore::bookingStatement())
            .run({{u"szerelokod"_s, s.technician}, {u"datum"_s, s.date}, {u"mikori"_s, now}});
        QSqlQuery& slot = Bare(JobRepository::slotStatement())
                              .run({{u"szerelo"_s, s.technician},
                                    {u"datum"_s, s.date},
                                    {u"ora"_s, s.hour},
                                    {u"deleted"_s, u"TOR"_s}});
        while (slot.next()) {
        }
        const QVariant customer = returned(Bare(CustomerRepository::insertStatement())
                                               .run({{u"nev"_s, u"Alap Ügyfél %1"_s.arg(i)},
                                                     {u"irszam"_s, u"1111"_s},
                                                     {u"varos"_s, u"Budapest"_s},
                                                     {u"utca"_s, u"Alap u. %1"_s.arg(i)},
                                                     {u"telefon"_s, u""_s},
                                                     {u"fax"_s, u""_s},
                                                     {u"email"_s, u""_s},
                                                     {u"komment"_s, u""_s},
                                                     {u"komment2"_s, u""_s}}));
        const QVariant activity =
            returned(Bare(RequestStore::activityStatement()).run({{u"nev"_s, u"Javítás"_s}}));
        const QVariant appliance =
            returned(Bare(CustomerRepository::applianceInsertStatement())
                         .run({{u"ugyfel"_s, customer}, {u"tipus"_s, a.boiler}}));
        const QVariant job = returned(Bare(JobRepository::insertStatement())
                                          .run({{u"allapot"_s, u"KI"_s},
                                                {u"felveteld"_s, u"2031.01.01"_s},
                                                {u"felvetelt"_s, u"10:00:00"_s},
                                                {u"juzer"_s, u"BENCH"_s},
                                                {u"keszulek"_s, appliance},
                                                {u"leirast"_s, u""_s},
                                                {u"szerelot"_s, s.technician},
                                                {u"tervd"_s, s.date},
                                                {u"tervt"_s, s.hour},
                                                {u"tervtev"_s, activity},
                                                {u"ugyfel"_s, customer},
                                                {u"tipus"_s, a.boiler},
                                                {u"telefon"_s, u""_s},
                                                {u"dedu"_s, u"De"_s},
                                                {u"mikori"_s, now},
                                                {u"lemondta"_s, u""_s},
                                                {u"kesz"_s, u""_s}}));
        Bare(JobRepository::partsDeleteStatement()).run({{u"kod"_s, job}});
        Bare lookup(JobRepository::partLookupStatement());
        Bare add(JobRepository::partInsertStatement());
        for (const QString& part : a.parts) {
            const QVariant inner = returned(lookup.run({{u"kod"_s, part}}));
            add.run({{u"kod"_s, job},
                     {u"alkatresz"_s, inner},
                     {u"keszulek"_s, appliance},
                     {u"tipus"_s, a.boiler}});
        }
    }
    d.commit();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!bench::openScaleCopy(dir.path()))
        return 1;
    Td::instance().userCode = u"BENCH"_s;

    Articles a;
    a.boiler = first(u"SELECT FIRST 1 BELSOKOD FROM ARU WHERE JELLEG = 'K'"_s).toInt();
    a.boilerCode = first(u"SELECT FIRST 1 KOD FROM ARU WHERE JELLEG = 'K'"_s).toString().trimmed();
    QSqlQuery parts(QSqlDatabase::database(u"d_mivo"_s));
    parts.exec(u"SELECT FIRST 2 KOD FROM ARU WHERE JELLEG = 'A'"_s);
    while (parts.next())
        a.parts << parts.value(0).toString().trimmed();
    QStringList technicians;
    QSqlQuery t(QSqlDatabase::database(u"d_mivo"_s));
    t.exec(u"SELECT KOD FROM SZERELO WHERE AKTIV = 'I' ORDER BY KOD"_s);
    while (t.next())
        technicians << t.value(0).toString().trimmed();
    if (technicians.isEmpty() || a.parts.size() < 2) {
        QTextStream(stderr) << "the benchmark database lacks technicians or parts" << Qt::endl;
        return 1;
    }

    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < requests; ++i)
        bareStore(i, a, slotOf(i, technicians, 0));
    const double bare = double(clock.nsecsElapsed()) / 1e6 / requests;

    clock.restart();
    for (int i = 0; i < requests; ++i) {
        const BenchSlot s = slotOf(i, technicians, 1);
        Request r = requestOf(i, a, s);
        QString error;
        const std::optional<bool> taken =
            JobRepository().slotTakenByOther(s.technician, s.date, s.hour, 0, &error);
        const StoreResult stored = RequestStore().store(r);
        if (!taken || *taken || !stored.ok()) {
            QTextStream(stderr) << "store " << i << " failed: " << error << stored.message
                                << Qt::endl;
            return 1;
        }
    }
    const double product = double(clock.nsecsElapsed()) / 1e6 / requests;
    bench::report(u"store_request"_s, product, bare);
    return 0;
}
