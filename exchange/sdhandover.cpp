#include "sdhandover.h"

#include "core/clock.h"
#include "core/dat.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "platform/fieldtypes.h"
#include "platform/rowsource.h"
#include "platform/tablefile.h"
#include "platform/unitofwork.h"

#include <QDateTime>
#include <QDir>
#include <QHash>
#include <QVariantMap>

#include <array>
#include <vector>

using namespace Qt::StringLiterals;

namespace mivo::exchange
{

namespace
{

const QStringList couponSelect{
    u"Select MUNKA.MUNKAD,MUNKA.SZERELOM,MUNKA.MUNKASZAM,"_s,
    u"MUNKA_ALK.GJSORSZAM, MUNKA_ALK.ALKATRESZ,"_s,
    u"BEUZLAP.GYARISZAM, BEUZLAP.SORSZAM, BEUZLAP.BEUZEMELES, BEUZLAP.VASARLAS,"_s,
    u"ARU.NEV"_s,
    u"From MUNKA, MUNKA_ALK, BEUZLAP, ARU"_s,
    u"Where MUNKA.MUNKATEV = 'GJ'"_s,
    u"And MUNKA.KULD = :kuld"_s,
    u"AND MUNKA_ALK.KOD= MUNKA.KOD"_s,
    u"And BEUZLAP.KESZULEK = MUNKA.KESZULEK"_s,
    u"And ARU.BELSOKOD = MUNKA.TIPUS"_s};

// Rows built in memory, with the columns of the SD program's table; a column no row names
// is written empty.
class BatchRows : public data::RowSource
{
public:
    BatchRows(const QString& name, std::vector<data::Column> columns,
              const std::vector<QVariantMap>& rows)
        : m_name(name), m_columns(std::move(columns)), m_rows(rows)
    {
    }
    QString name() const override { return m_name; }
    bool open(QString*) override
    {
        m_row = -1;
        return true;
    }
    const std::vector<data::Column>& columns() const override { return m_columns; }
    qint64 rowCount() const override { return qint64(m_rows.size()); }
    bool next() override { return ++m_row < int(m_rows.size()); }
    QVariant value(int column) const override
    {
        return m_rows[m_row].value(m_columns[column].name.toUpper());
    }

private:
    QString m_name;
    std::vector<data::Column> m_columns;
    const std::vector<QVariantMap>& m_rows;
    int m_row = -1;
};

// A warranty maintenance visit place of a sheet: technician, date, invoice number.
struct Visit {
    QString technician, date, invoice;
};
using Visits = std::array<Visit, 3>;

bool fail(const db::Query& q, QString* error)
{
    *error = q.lastError();
    return false;
}

// Runs a select on q; false with the database's text in *error.
bool select(db::Query& q, const QStringList& lines, const std::map<QString, QVariant>& params,
            QString* error)
{
    q.setLines(lines);
    for (const auto& [name, value] : params)
        q.bind(name, value);
    return q.exec() || fail(q, error);
}

const QString handoverConnection = u"d_kuld"_s;

// The handover connection is closed when the run ends, however it ends.
struct FolderClosed {
    ~FolderClosed() { db::Connection::named(handoverConnection).close(); }
};

} // namespace

SdHandover::SdHandover(const QString& target, const QString& source)
    : m_target(target), m_source(source)
{
}

QString SdHandover::folder(const QString& workPath, const QString& date)
{
    QString base = workPath;
    if (!base.isEmpty() && !base.endsWith(u'/') && !base.endsWith(u'\\'))
        base += u'/';
    return QDir::cleanPath(base + u"KULD/"_s + date) + u'/';
}

bool SdHandover::openFolder(const QString& workPath, const QString& date)
{
    const QString dir = folder(workPath, date);
    // A folder that cannot be made fails the connection, which tells the user.
    QDir().mkpath(dir);
    if (Td::instance().connect(Td::Kuld, {}, dir))
        return true;
    m_error = u"Nem tudok kapcsolódni a küldés adatbázishoz."_s;
    m_errorShown = true;
    return false;
}

void SdHandover::progress(int table, int done, int total)
{
    if (onProgress)
        onProgress(table, done, total);
}

bool SdHandover::count(int kuld, SdBatchCounts* counts)
{
    const auto countOf = [this, kuld](const QStringList& lines, int* n) {
        db::Query q(m_target);
        q.setLines(QStringList{u"Select Count(*) From ("_s} + lines + QStringList{u")"_s});
        q.bind(u"kuld"_s, kuld);
        if (!q.exec() || !q.next()) {
            m_error = q.lastError();
            return false;
        }
        *n = q.value(0).toInt();
        return true;
    };
    return countOf({u"Select MUNKA.KOD From MUNKA, UGYFEL"_s, u"Where MUNKA.MUNKATEV = 'ÜZ'"_s,
                    u"And MUNKA.KULD = :kuld"_s, u"And UGYFEL.KOD = MUNKA.UGYFEL"_s},
                   &counts->sheets) &&
           countOf(couponSelect, &counts->coupons) &&
           countOf({u"Select MUNKA.KOD From MUNKA"_s, u"Where MUNKA.MUNKATEV = 'KAR'"_s,
                    u"And MUNKA.KULD = :kuld"_s},
                   &counts->maintenance);
}

bool SdHandover::anything(int kuld, bool* found)
{
    db::Query q(m_target);
    q.setLines({u"Select First 1 MUNKA.KOD From MUNKA"_s,
                u"Where MUNKA.MUNKATEV IN ('ÜZ', 'KAR', 'GJ')"_s, u"And MUNKA.KULD = :kuld"_s});
    q.bind(u"kuld"_s, kuld);
    if (!q.exec()) {
        m_error = q.lastError();
        return false;
    }
    *found = q.next();
    if (!*found)
        m_error = u"Nincs mit küldeni."_s;
    return true;
}

bool SdHandover::writeNew(const QString& workPath, const QString& serviceCentre)
{
    m_error.clear();
    m_errorShown = false;
    m_files.clear();
    const QDateTime now = clock::now();
    const QString date = now.toString(u"yyyy_MM_dd"_s);
    m_counts = {};
    // Before any row is locked: the connection's failure message waits for the user.
    bool found = false;
    if (!anything(0, &found) || !found)
        return false;
    if (!openFolder(workPath, date))
        return false;
    const FolderClosed closed;
    const db::UnitResult result = db::runUnitOfWork(m_target, [&](const QString& connection) {
        m_files.clear();
        // The number and the marking go together: a second workstation taking the same
        // number meets the marked jobs or the logged number and runs again.
        db::Query last(connection);
        last.setLines({u"Select MAX(KULD) MAXIKULD"_s, u"From MUNKA"_s});
        if (!last.exec() || !last.next())
            return db::Outcome::failure(last);
        m_batch = last.integer(u"MAXIKULD"_s) + 1;
        db::Query mark(connection);
        mark.setLines({u"UPDATE MUNKA"_s, u"Set KULD = :kuld"_s,
                       u"Where (MUNKATEV = 'ÜZ' OR MUNKATEV = 'KAR' OR MUNKATEV = 'GJ')"_s,
                       u"And KULD = 0"_s});
        mark.bind(u"kuld"_s, m_batch);
        if (!mark.exec())
            return db::Outcome::failure(mark);
        SdBatchCounts counts;
        QString error;
        {
            SdHandover inUnit(connection, m_source);
            inUnit.onTable = onTable;
            inUnit.onProgress = onProgress;
            // The counts logged are those of the selections written.
            if (!inUnit.write(m_batch, date, workPath, serviceCentre, &counts, &error))
                return db::Outcome::failure(error);
            m_counts = counts;
            if (counts.empty())
                return db::Outcome::failure(u"Nincs mit küldeni."_s);
            m_files = inUnit.files();
        }
        db::Query log(connection);
        log.setLines({u"INSERT INTO EXPORTLOG"_s,
                      u"(SORSZAM, DATUM, IDO, BEUZLAP, SZELVENY, "
                      u"GARKARB)"_s,
                      u"VALUES (:sorszam, :datum, :ido, :beuzlap, :szelveny, :garkarb)"_s});
        log.bind(u"sorszam"_s, m_batch);
        log.bind(u"datum"_s, date);
        log.bind(u"ido"_s, clock::now().toString(u"hh:mm:ss"_s));
        log.bind(u"beuzlap"_s, QString::number(counts.sheets));
        log.bind(u"szelveny"_s, QString::number(counts.coupons));
        log.bind(u"garkarb"_s, QString::number(counts.maintenance));
        return log.exec() ? db::Outcome() : db::Outcome::failure(log);
    });
    if (!result.ok())
        m_error = result.message;
    return result.ok();
}

bool SdHandover::writeAgain(int number, const QString& date, const QString& workPath,
                            const QString& serviceCentre)
{
    m_error.clear();
    m_errorShown = false;
    m_files.clear();
    m_batch = number;
    m_counts = {};
    bool found = false;
    if (!anything(number, &found) || !found)
        return false;
    if (!openFolder(workPath, date))
        return false;
    const FolderClosed closed;
    // One reading snapshot, in which the lookups per row stay prepared.
    db::Transaction reading(m_target);
    QString error;
    if (!write(number, date, workPath, serviceCentre, &m_counts, &error)) {
        m_error = error;
        return false;
    }
    if (m_counts.empty()) {
        m_error = u"Nincs mit küldeni."_s;
        return false;
    }
    return true;
}

bool SdHandover::write(int kuld, const QString& date, const QString& workPath,
                       const QString& serviceCentre, SdBatchCounts* counts, QString* error)
{
    Q_UNUSED(workPath);
    // The tables go where the handover connection points.
    QString dir = db::Connection::named(handoverConnection).param(u"PATH"_s);
    if (!dir.endsWith(u'/'))
        dir += u'/';
    const QString stamp = u'_' + QString::number(kuld) + u'_' + QString(date).remove(u'_');

    // Writes one table with the structure of the SD program's table of that name.
    const auto writeTable = [&](int table, const QString& base,
                                const std::vector<QVariantMap>& rows) {
        db::Query structure(m_source);
        if (!select(structure, {u"Select * from "_s + base + u" where 1=2"_s}, {}, error))
            return false;
        const QString path = dir + base + stamp + u".DB"_s;
        if (onTable)
            onTable(table, path);
        BatchRows source(base, data::columnsOf(structure.record()), rows);
        if (!data::writeParadoxTable(source, path, error))
            return false;
        m_files << path;
        return true;
    };
    const auto text = [](const db::Query& q, const QString& field, int length = -1) {
        return length < 0 ? q.text(field) : q.text(field).left(length);
    };

    {
        // Each job with the sheet of its appliance (the first, should it have several).
        db::Query jobs(m_target);
        if (!select(jobs,
                    {u"Select MUNKA.KOD MKOD, MUNKA.SZERELOM MSZERELOM, MUNKA.MUNKAD MMUNKAD,"_s,
                     u"UGYFEL.NEV UNEV, UGYFEL.IRSZAM UIRSZAM, UGYFEL.VAROS UVAROS,"_s,
                     u"UGYFEL.UTCA UUTCA, UGYFEL.TELEFON UTELEFON,"_s,
                     u"ARU.BELSOKOD TIPUSKOD, ARU.NEV TIPUSNEV, BEUZLAP.*"_s,
                     u"From MUNKA JOIN UGYFEL ON UGYFEL.KOD = MUNKA.UGYFEL"_s,
                     u"LEFT JOIN BEUZLAP ON BEUZLAP.KESZULEK = MUNKA.KESZULEK"_s,
                     u"LEFT JOIN ARU ON ARU.BELSOKOD = BEUZLAP.TIPUS"_s,
                     u"Where MUNKA.MUNKATEV = :munkatev"_s, u"And MUNKA.KULD = :kuld"_s,
                     u"Order By MUNKA.KOD"_s},
                    {{u"munkatev"_s, u"ÜZ"_s}, {u"kuld"_s, kuld}}, error))
            return false;
        std::vector<QVariantMap> rows;
        const db::Query& sheet = jobs;
        int done = 0;
        QVariant lastJob;
        while (jobs.next()) {
            progress(0, jobs.at() + 1, jobs.recordCount());
            const QVariant job = jobs.value(u"MKOD"_s);
            if (job == lastJob)
                continue;
            lastJob = job;
            ++done;
            if (jobs.value(u"TIPUSKOD"_s).isNull())
                continue;
            const QString workDate = jobs.text(u"MMUNKAD"_s);
            QVariantMap r{
                {u"SORSZAM"_s, sheet.text(u"SORSZAM"_s)},
                {u"TIPUS"_s, text(sheet, u"TIPUSNEV"_s, 30)},
                {u"VASARLAS"_s, sheet.text(u"VASARLAS"_s)},
                {u"VEVONEV"_s, text(jobs, u"UNEV"_s, 40)},
                {u"IRSZAM"_s, text(jobs, u"UIRSZAM"_s, 4)},
                {u"VAROS"_s, jobs.text(u"UVAROS"_s)},
                {u"UTCA"_s, jobs.text(u"UUTCA"_s)},
                // The customer's telephone: the job's own TELEFON only flags a call ahead.
                {u"TELEFON"_s, text(jobs, u"UTELEFON"_s, 15)},
                {u"SZERELO"_s, jobs.text(u"MSZERELOM"_s)},
                {u"BEUZEMELES"_s, workDate},
                {u"FELSZCEG"_s, text(sheet, u"FELSZCEG"_s, 40)},
                {u"FELSZCEGCIM"_s, (sheet.text(u"FELSZIRSZAM"_s) + u',' +
                                    sheet.text(u"FELSZVAROS"_s) + u' ' + sheet.text(u"FELSZUTCA"_s))
                                       .left(40)},
                {u"UZEMBECEG"_s, text(sheet, u"UZEMBECEG"_s, 40)},
                {u"UZEMBECIM"_s, (sheet.text(u"UZEMBEIRSZAM"_s) + u',' +
                                  sheet.text(u"UZEMBEVAROS"_s) + u' ' + sheet.text(u"UZEMBEUTCA"_s))
                                     .left(40)},
                {u"SZERVIZKP"_s, serviceCentre},
                {u"VASAREV"_s, text(sheet, u"VASARLAS"_s, 4)},
                {u"BEUZEMELEV"_s, workDate.left(4)},
                {u"GYARTEV"_s, QString()},
                {u"ATAD"_s, 0},
            };
            for (const QString& c : {u"GAZATVETEL"_s, u"FUTESIREND"_s, u"MIKORI"_s, u"GAZ_ES_MEG"_s,
                                     u"SZLASZ"_s, u"KERKARB"_s, u"VIZKOKEZELO"_s, u"ISZAPSZURO"_s,
                                     u"GYARISZAM"_s, u"VIZKOKTIP"_s, u"ISZAPSZTIP"_s, u"ROGZDAT"_s})
                r[c] = sheet.text(c);
            for (const QString& c : {u"TELJESITMENY"_s, u"VIZNYOMAS"_s, u"GAZNYOMAS"_s})
                r[c] = sheet.value(c);
            rows.push_back(r);
        }
        counts->sheets = done;
        if (done > 0 && !writeTable(0, u"BEUZLAP"_s, rows))
            return false;
    }

    {
        db::Query coupons(m_target);
        if (!select(coupons, couponSelect, {{u"kuld"_s, kuld}}, error))
            return false;
        counts->coupons = coupons.recordCount();
        std::vector<QVariantMap> rows;
        // Parts repeat across coupons: each code is read once.
        QHash<int, QString> partCodes;
        db::Query part(m_target);
        int done = 0;
        while (coupons.next()) {
            progress(1, ++done, counts->coupons);
            const int partKey = coupons.integer(u"ALKATRESZ"_s);
            if (!partCodes.contains(partKey)) {
                if (!select(
                        part,
                        {u"Select ARU.KOD"_s, u"From ARU"_s, u"Where ARU.BELSOKOD = :alkatresz"_s},
                        {{u"alkatresz"_s, partKey}}, error))
                    return false;
                partCodes.insert(partKey, part.next() ? part.text(u"KOD"_s) : QString());
            }
            const QString workDate = coupons.text(u"MUNKAD"_s);
            rows.push_back({
                {u"SORSZAM"_s, coupons.text(u"SORSZAM"_s)},
                {u"SZELVENY"_s, coupons.value(u"GJSORSZAM"_s).toInt()},
                {u"ALKATRESZ"_s, partCodes.value(partKey)},
                {u"TIPUS"_s, coupons.text(u"NEV"_s)},
                {u"DATUM"_s, workDate},
                {u"SZERELO"_s, coupons.text(u"SZERELOM"_s)},
                {u"BEUZEMELES"_s, coupons.text(u"BEUZEMELES"_s)},
                {u"MUNKALAP"_s, coupons.text(u"MUNKASZAM"_s)},
                {u"ILLEGAL"_s, u"N"_s},
                {u"ALKATRESZAR"_s, 0},
                {u"EV"_s, workDate.left(4)},
                {u"VASARLAS"_s, coupons.text(u"VASARLAS"_s)},
                {u"ATAD"_s, 0},
                {u"GYARISZAM"_s, coupons.text(u"GYARISZAM"_s)},
            });
        }
        if (counts->coupons > 0 && !writeTable(1, u"SZELVENY"_s, rows))
            return false;
    }

    {
        db::Query jobs(m_target);
        if (!select(jobs,
                    {u"Select MUNKA.*, BEUZLAP.SORSZAM LAPSZAM"_s, u"From MUNKA"_s,
                     u"LEFT JOIN BEUZLAP ON BEUZLAP.KESZULEK = MUNKA.KESZULEK"_s,
                     u"Where MUNKA.MUNKATEV = :munkatev"_s, u"And MUNKA.KULD = :kuld"_s,
                     u"Order By MUNKA.KOD"_s},
                    {{u"munkatev"_s, u"KAR"_s}, {u"kuld"_s, kuld}}, error))
            return false;
        std::vector<QVariantMap> rows;
        db::Query visits(m_source);
        QVariant lastJob;
        QHash<QString, Visits> visitsOf;
        // The SD program's sheets are read in one snapshot with the lookup prepared once.
        const db::Transaction sdReading(m_source);
        int done = 0;
        while (jobs.next()) {
            // One row per job, with the first sheet of its appliance.
            progress(2, jobs.at() + 1, jobs.recordCount());
            if (jobs.value(u"KOD"_s) == lastJob)
                continue;
            lastJob = jobs.value(u"KOD"_s);
            ++done;
            if (jobs.value(u"LAPSZAM"_s).isNull())
                continue;
            const QString number = jobs.text(u"LAPSZAM"_s);
            // The SD program's visits of the sheet, with the jobs of this batch added: a second
            // job of one sheet takes the place after the first.
            auto known = visitsOf.find(number);
            if (known == visitsOf.end()) {
                if (!select(visits,
                            {u"SELECT GJSZKOD1, GJDATUM1, GJSZLASZ1, GJSZKOD2, GJDATUM2, "
                             u"GJSZLASZ2, GJSZKOD3, GJDATUM3, GJSZLASZ3"_s,
                             u"FROM BEUZLAP"_s, u"WHERE SORSZAM = :sorszam"_s},
                            {{u"sorszam"_s, number}}, error))
                    return false;
                Visits v;
                if (visits.next())
                    for (int n = 0; n < 3; ++n) {
                        const QString i = QString::number(n + 1);
                        v[n] = {visits.text(u"GJSZKOD"_s + i), visits.text(u"GJDATUM"_s + i),
                                visits.text(u"GJSZLASZ"_s + i)};
                    }
                known = visitsOf.insert(number, v);
            }
            // The job goes into the first visit place without a date; none when all three
            // are taken.
            Visits& v = *known;
            int place = 0;
            while (place < 3 && !v[place].date.isEmpty())
                ++place;
            if (place == 3)
                continue;
            v[place] = {jobs.text(u"SZERELOM"_s), jobs.text(u"MUNKAD"_s),
                        jobs.text(u"SZAMLASZAM"_s)};
            QVariantMap r{
                {u"SORSZAM"_s, number}, {u"ATAD"_s, 0}, {u"ROGZDAT"_s, jobs.text(u"MROGZDAT"_s)}};
            for (int n = 0; n < 3; ++n) {
                const QString i = QString::number(n + 1);
                const Visit visit = n <= place ? v[n] : Visit{};
                r[u"GJSZKOD"_s + i] = visit.technician;
                r[u"GJDATUM"_s + i] = visit.date;
                r[u"GJSZLASZ"_s + i] = visit.invoice;
            }
            rows.push_back(r);
        }
        counts->maintenance = done;
        if (done > 0 && !writeTable(2, u"GARKARB"_s, rows))
            return false;
    }
    return true;
}

} // namespace mivo::exchange
