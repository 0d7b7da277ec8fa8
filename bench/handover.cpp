// Handover of 10 000 candidate jobs ("ÜZ" with sheets, "GJ" with coupons, "KAR") on a copy of
// the benchmark-scale database into the three Paradox tables of a new batch, beside the bare
// work: the same rows read by joined selects and written by the Paradox writer. The goal is
// at most 1.5 times the bare time.
#include "benchdata.h"

#include "core/clock.h"
#include "core/dat.h"
#include "exchange/sdhandover.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "platform/fbdatabase.h"
#include "platform/rowsource.h"
#include "platform/tablefile.h"
#include "support/sdfixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTextStream>
#include <QVariantMap>

#include <vector>

using namespace mivo;
using namespace Qt::StringLiterals;

namespace
{

constexpr int candidates = 10000;

class Rows : public data::RowSource
{
public:
    Rows(std::vector<data::Column> columns, std::vector<QVariantMap> rows)
        : m_columns(std::move(columns)), m_rows(std::move(rows))
    {
    }
    QString name() const override { return u"T"_s; }
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
    std::vector<data::Column> m_columns;
    std::vector<QVariantMap> m_rows;
    int m_row = -1;
};

QSqlQuery select(const QString& sql)
{
    QSqlQuery q(QSqlDatabase::database(u"d_mivo"_s));
    q.setForwardOnly(true);
    if (!q.exec(sql))
        qFatal("%s", qPrintable(q.lastError().text()));
    return q;
}

void write(const QString& table, std::vector<QVariantMap> rows, const QString& path)
{
    db::Query structure(u"d_sd"_s);
    structure.setSql(u"Select * from "_s + table + u" where 1=2"_s);
    if (!structure.exec())
        qFatal("%s", qPrintable(structure.lastError()));
    Rows source(data::columnsOf(structure.record()), std::move(rows));
    QString error;
    if (!data::writeParadoxTable(source, path, &error))
        qFatal("%s", qPrintable(error));
}

QString cut(const QSqlQuery& q, int column, int length = 1000)
{
    return q.value(column).toString().trimmed().left(length);
}

// The same rows by three joined selects, the SD visits read once, the three tables written.
void bare(const QString& dir)
{
    std::vector<QVariantMap> rows;
    QSqlQuery q = select(
        u"SELECT B.SORSZAM, A.NEV, B.VASARLAS, U.NEV, U.IRSZAM, U.VAROS, U.UTCA, U.TELEFON, "
        u"M.SZERELOM, M.MUNKAD, B.FELSZCEG, B.FELSZIRSZAM, B.FELSZVAROS, B.FELSZUTCA, "
        u"B.UZEMBECEG, B.UZEMBEIRSZAM, B.UZEMBEVAROS, B.UZEMBEUTCA, B.GAZATVETEL, B.GYARISZAM, "
        u"B.TELJESITMENY FROM MUNKA M JOIN UGYFEL U ON U.KOD = M.UGYFEL JOIN BEUZLAP B ON "
        u"B.KESZULEK = M.KESZULEK JOIN ARU A ON A.BELSOKOD = B.TIPUS WHERE M.MUNKATEV = 'ÜZ' "
        u"AND M.KULD = 0 ORDER BY M.KOD"_s);
    while (q.next())
        rows.push_back(
            {{u"SORSZAM"_s, cut(q, 0)},
             {u"TIPUS"_s, cut(q, 1, 30)},
             {u"VASARLAS"_s, cut(q, 2)},
             {u"VEVONEV"_s, cut(q, 3, 40)},
             {u"IRSZAM"_s, cut(q, 4, 4)},
             {u"VAROS"_s, cut(q, 5)},
             {u"UTCA"_s, cut(q, 6)},
             {u"TELEFON"_s, cut(q, 7, 15)},
             {u"SZERELO"_s, cut(q, 8)},
             {u"BEUZEMELES"_s, cut(q, 9)},
             {u"FELSZCEG"_s, cut(q, 10, 40)},
             {u"FELSZCEGCIM"_s, (cut(q, 11) + u',' + cut(q, 12) + u' ' + cut(q, 13)).left(40)},
             {u"UZEMBECEG"_s, cut(q, 14, 40)},
             {u"UZEMBECIM"_s, (cut(q, 15) + u',' + cut(q, 16) + u' ' + cut(q, 17)).left(40)},
             {u"GAZATVETEL"_s, cut(q, 18)},
             {u"GYARISZAM"_s, cut(q, 19)},
             {u"TELJESITMENY"_s, q.value(20)},
             {u"VASAREV"_s, cut(q, 2, 4)},
             {u"BEUZEMELEV"_s, cut(q, 9, 4)},
             {u"ATAD"_s, 0}});
    write(u"BEUZLAP"_s, std::move(rows), dir + u"/BEUZLAP.DB"_s);

    rows = {};
    q = select(u"SELECT B.SORSZAM, MA.GJSORSZAM, P.KOD, A.NEV, M.MUNKAD, M.SZERELOM, "
               u"B.BEUZEMELES, M.MUNKASZAM, B.VASARLAS, B.GYARISZAM FROM MUNKA M JOIN MUNKA_ALK "
               u"MA ON MA.KOD = M.KOD JOIN BEUZLAP B ON B.KESZULEK = M.KESZULEK JOIN ARU A ON "
               u"A.BELSOKOD = M.TIPUS LEFT JOIN ARU P ON P.BELSOKOD = MA.ALKATRESZ WHERE "
               u"M.MUNKATEV = 'GJ' AND M.KULD = 0"_s);
    while (q.next())
        rows.push_back({{u"SORSZAM"_s, cut(q, 0)},
                        {u"SZELVENY"_s, q.value(1).toInt()},
                        {u"ALKATRESZ"_s, cut(q, 2)},
                        {u"TIPUS"_s, cut(q, 3)},
                        {u"DATUM"_s, cut(q, 4)},
                        {u"SZERELO"_s, cut(q, 5)},
                        {u"BEUZEMELES"_s, cut(q, 6)},
                        {u"MUNKALAP"_s, cut(q, 7)},
                        {u"ILLEGAL"_s, u"N"_s},
                        {u"ALKATRESZAR"_s, 0},
                        {u"EV"_s, cut(q, 4, 4)},
                        {u"VASARLAS"_s, cut(q, 8)},
                        {u"ATAD"_s, 0},
                        {u"GYARISZAM"_s, cut(q, 9)}});
    write(u"SZELVENY"_s, std::move(rows), dir + u"/SZELVENY.DB"_s);

    QHash<QString, QStringList> visits;
    QSqlQuery sd(QSqlDatabase::database(u"d_sd"_s));
    sd.setForwardOnly(true);
    sd.exec(u"SELECT SORSZAM, GJSZKOD1, GJDATUM1, GJSZLASZ1, GJSZKOD2, GJDATUM2, GJSZLASZ2, "
            u"GJSZKOD3, GJDATUM3, GJSZLASZ3 FROM BEUZLAP"_s);
    while (sd.next()) {
        QStringList v;
        for (int c = 1; c < 10; ++c)
            v << sd.value(c).toString().trimmed();
        visits.insert(sd.value(0).toString().trimmed(), v);
    }
    rows = {};
    q = select(u"SELECT B.SORSZAM, M.SZERELOM, M.MUNKAD, M.SZAMLASZAM, M.MROGZDAT FROM MUNKA M "
               u"JOIN BEUZLAP B ON B.KESZULEK = M.KESZULEK WHERE M.MUNKATEV = 'KAR' AND M.KULD "
               u"= 0 ORDER BY M.KOD"_s);
    while (q.next()) {
        const auto known = visits.constFind(cut(q, 0));
        int place = 1;
        if (known != visits.constEnd()) {
            if (!known->at(7).isEmpty())
                continue;
            place = known->at(1).isEmpty() ? 1 : known->at(4).isEmpty() ? 2 : 3;
        }
        QVariantMap r{{u"SORSZAM"_s, cut(q, 0)}, {u"ATAD"_s, 0}, {u"ROGZDAT"_s, cut(q, 4)}};
        for (int n = 1; n <= 3; ++n) {
            const QString i = QString::number(n);
            QStringList v{QString(), QString(), QString()};
            if (n < place && known != visits.constEnd())
                v = known->mid((n - 1) * 3, 3);
            else if (n == place)
                v = {cut(q, 1), cut(q, 2), cut(q, 3)};
            r[u"GJSZKOD"_s + i] = v[0];
            r[u"GJDATUM"_s + i] = v[1];
            r[u"GJSZLASZ"_s + i] = v[2];
        }
        rows.push_back(r);
    }
    write(u"GARKARB"_s, std::move(rows), dir + u"/GARKARB.DB"_s);
}

bool exec(const QString& connection, const QString& sql, const std::map<QString, QVariant>& p = {})
{
    QString error;
    if (!db::execute(connection, sql, p, &error))
        qFatal("%s", qPrintable(error));
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!bench::openScaleCopy(dir.path()))
        return 1;
    // The first 10 000 jobs of the three activities wait for their batch; the others went
    // in earlier ones.
    const int last =
        db::scalar(u"d_mivo"_s, u"SELECT MAX(KOD) FROM (SELECT FIRST 10000 KOD FROM MUNKA WHERE "
                                u"KULD = 0 AND MUNKATEV IN ('ÜZ', 'GJ', 'KAR') ORDER BY KOD)"_s)
            .toInt();
    exec(u"d_mivo"_s, u"UPDATE MUNKA SET KULD = -1 WHERE KULD = 0 AND KOD > :last"_s,
         {{u"last"_s, last}});
    // Coupon numbers as the SD program gives them.
    exec(u"d_mivo"_s, u"UPDATE MUNKA_ALK SET GJSORSZAM = KOD WHERE KOD <= :last"_s,
         {{u"last"_s, last}});

    // The SD program's tables, with its earlier visits to the maintained appliances' sheets.
    const QString sdPath = dir.filePath(u"sd.fdb"_s);
    QString error;
    if (!db::createFirebirdDatabase(sdPath, Td::builtinUser, Td::builtinPassword, &error))
        qFatal("%s", qPrintable(error));
    db::Connection& sd = db::Connection::named(u"d_sd"_s);
    sd.setParams({u"SERVER NAME="_s + sdPath, u"USER NAME="_s + Td::builtinUser,
                  u"PASSWORD="_s + Td::builtinPassword});
    if (!sd.open())
        qFatal("%s", qPrintable(sd.lastError()));
    for (const char* sql : sdHandoverTables)
        exec(u"d_sd"_s, QString::fromUtf8(sql));
    exec(u"d_sd"_s, u"CREATE INDEX BEUZLAP_SORSZAM ON BEUZLAP (SORSZAM)"_s);
    {
        db::Query sheets;
        sheets.setSql(u"SELECT B.SORSZAM FROM MUNKA M JOIN BEUZLAP B ON B.KESZULEK = M.KESZULEK "
                      u"WHERE M.MUNKATEV = 'KAR' AND M.KULD = 0"_s);
        if (!sheets.exec())
            qFatal("%s", qPrintable(sheets.lastError()));
        db::Transaction t(u"d_sd"_s);
        db::Query add(u"d_sd"_s);
        add.setSql(u"INSERT INTO BEUZLAP (SORSZAM, GJSZKOD1, GJDATUM1, GJSZKOD2, GJDATUM2, "
                   u"GJSZKOD3, GJDATUM3) VALUES (:s, :k1, :d1, :k2, :d2, :k3, :d3)"_s);
        int n = 0;
        while (sheets.next()) {
            const int filled = n++ % 4;
            add.bind(u"s"_s, sheets.text(u"SORSZAM"_s));
            for (int v = 1; v <= 3; ++v) {
                const QString i = QString::number(v);
                add.bind(u"k"_s + i, v <= filled ? u"S01"_s : QString());
                add.bind(u"d"_s + i, v <= filled ? u"2024.01.0"_s + i : QString());
            }
            if (!add.exec())
                qFatal("%s", qPrintable(add.lastError()));
        }
        t.commit();
    }

    const QString bareDir = dir.filePath(u"bare"_s);
    QDir().mkpath(bareDir);
    const double bareMs = bench::fastestMs(1, [&] { bare(bareDir); });
    exchange::SdBatchCounts counts;
    const double handoverMs = bench::fastestMs(1, [&] {
        exchange::SdHandover handover;
        if (!handover.writeNew(dir.filePath(u"work"_s), u"07"_s))
            qFatal("%s", qPrintable(handover.error()));
        counts = handover.counts();
    });
    QTextStream(stderr) << counts.sheets << " sheets, " << counts.coupons << " coupons, "
                        << counts.maintenance << " maintenance jobs" << Qt::endl;
    db::Connection::closeAll();
    bench::report(u"handover_10000_jobs"_s, handoverMs, bareMs);
    return 0;
}
