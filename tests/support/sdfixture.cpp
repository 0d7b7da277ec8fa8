#include "sdfixture.h"

#include "platform/dbconnection.h"
#include "platform/dbquery.h"

#include <QDate>

using namespace Qt::StringLiterals;

namespace
{

bool exec(mivo::db::Query& q, QString* error)
{
    if (q.exec())
        return true;
    *error = q.lastError();
    return false;
}

QString code(const QString& prefix, int n, int width)
{
    return prefix + QString::number(n).rightJustified(width, u'0');
}

} // namespace

QString sdSheetNumber(int n)
{
    return code({}, n, 6);
}

bool createSdScale(const QString& connection, const SdScale& scale, QString* error)
{
    using mivo::db::Query;
    for (const QString& sql :
         {u"CREATE TABLE SZERELOK (KOD VARCHAR(6), NEV VARCHAR(40), IRSZAM VARCHAR(4), VAROS "
          u"VARCHAR(40), UTCA VARCHAR(40), TELEFON VARCHAR(20), MOBILTELEFON VARCHAR(20), "
          u"LETILTVA VARCHAR(1))"_s,
          u"CREATE TABLE ARU (KOD VARCHAR(20), NEV VARCHAR(60), MEGYSEG VARCHAR(10), JELLEG "
          u"VARCHAR(1), TOROLT VARCHAR(1), ARUCSOP2 VARCHAR(10))"_s,
          u"CREATE TABLE BEUZLAP (SORSZAM VARCHAR(6) NOT NULL PRIMARY KEY, SZERVIZKP "
          u"VARCHAR(2), BEUZEMELES DATE, SZERELO VARCHAR(6), TIPUS VARCHAR(60), GYARISZAM "
          u"VARCHAR(30), VEVONEV VARCHAR(60), IRSZAM VARCHAR(4), VAROS VARCHAR(40), UTCA "
          u"VARCHAR(40), TELEFON VARCHAR(20), VASARLAS DATE, GAZATVETEL DATE, TELJESITMENY "
          u"DOUBLE PRECISION, FUTESIREND VARCHAR(3), MIKORI VARCHAR(1), VIZNYOMAS DOUBLE "
          u"PRECISION, GAZNYOMAS DOUBLE PRECISION, FELSZCEG VARCHAR(60), FELSZCEGCIM "
          u"VARCHAR(80), GAZ_ES_MEG VARCHAR(20), UZEMBECEG VARCHAR(60), UZEMBECIM VARCHAR(80), "
          u"SZLASZ VARCHAR(10), KERKARB VARCHAR(1), VIZKOKEZELO VARCHAR(1), ISZAPSZURO "
          u"VARCHAR(1), VIZKOKTIP VARCHAR(10), ISZAPSZTIP VARCHAR(10), GJSZKOD1 VARCHAR(6), "
          u"GJSZKOD2 VARCHAR(6), GJSZKOD3 VARCHAR(6), GJDATUM1 DATE, GJDATUM2 DATE, GJDATUM3 "
          u"DATE, GJSZLASZ1 VARCHAR(10), GJSZLASZ2 VARCHAR(10), GJSZLASZ3 VARCHAR(10))"_s,
          u"CREATE TABLE SZELVENY (SORSZAM VARCHAR(6), SZELVENY INTEGER, ALKATRESZ VARCHAR(40), "
          u"DATUM DATE, SZERELO VARCHAR(6), MUNKALAP VARCHAR(10))"_s,
          u"CREATE INDEX SZELVENY_SORSZAM ON SZELVENY (SORSZAM)"_s}) {
        if (!mivo::db::execute(connection, sql, {}, error))
            return false;
    }
    mivo::db::Transaction t(connection);
    const int types = std::max(1, scale.articles / 10);
    const int parts = std::max(1, scale.articles - types);
    const auto technician = [&scale](int n) { return code(u"S"_s, n % scale.technicians + 1, 2); };
    const QDate first(2020, 1, 1);

    Query q(connection);
    q.setSql(u"INSERT INTO SZERELOK VALUES (:kod, :nev, '7622', 'Pécs', 'Fő utca 1', '72', "
             u"'30', 'N')"_s);
    for (int n = 0; n < scale.technicians; ++n) {
        q.bind(u"kod"_s, technician(n));
        q.bind(u"nev"_s, u"Szerelő "_s + QString::number(n + 1));
        if (!exec(q, error))
            return false;
    }
    q.setSql(u"INSERT INTO ARU VALUES (:kod, :nev, 'db', :jelleg, 'N', '')"_s);
    for (int n = 1; n <= types + parts; ++n) {
        const bool type = n <= types;
        q.bind(u"kod"_s, type ? code(u"K"_s, n, 4) : code(u"P"_s, n - types, 5));
        q.bind(u"nev"_s, type ? u"Típus "_s + QString::number(n)
                              : u"Alkatrész "_s + QString::number(n - types));
        q.bind(u"jelleg"_s, type ? u"K"_s : u"A"_s);
        if (!exec(q, error))
            return false;
    }
    q.setSql(u"INSERT INTO BEUZLAP (SORSZAM, SZERVIZKP, BEUZEMELES, SZERELO, TIPUS, GYARISZAM, "
             u"VEVONEV, IRSZAM, VAROS, UTCA, TELEFON, VASARLAS, TELJESITMENY, FUTESIREND, "
             u"MIKORI, FELSZCEG, FELSZCEGCIM, UZEMBECEG, UZEMBECIM, GJSZKOD1, GJDATUM1, "
             u"GJSZLASZ1, GJSZKOD2, GJDATUM2, GJSZLASZ2, GJSZKOD3, GJDATUM3, GJSZLASZ3) VALUES "
             u"(:sorszam, '07', :datum, :szerelo, :tipus, :gyariszam, :nev, '7622', 'Pécs', "
             u":utca, '06-72-123456', :datum, 24.5, 'Z', 'I', 'Szerelő Kft', '1111 "
             u"Budapest, Fő utca 1', 'Gázszerviz Kft', '7622 Pécs, Rét u. 3', :sz1, :d1, "
             u":i1, :sz2, :d2, :i2, :sz3, :d3, :i3)"_s);
    for (int n = 1; n <= scale.sheets; ++n) {
        const QDate date = first.addDays(n % 1500);
        const int customer = n % 20 == 1 && n > 1 ? n - 1 : n;
        q.bind(u"sorszam"_s, sdSheetNumber(n));
        q.bind(u"datum"_s, date);
        q.bind(u"szerelo"_s, technician(n));
        q.bind(u"tipus"_s, u"Típus "_s + QString::number(n % types + 1));
        q.bind(u"gyariszam"_s, u"GY"_s + QString::number(n));
        q.bind(u"nev"_s, u"Vevő "_s + sdSheetNumber(customer));
        q.bind(u"utca"_s, u"Fő utca "_s + QString::number(customer % 500));
        for (int v = 1; v <= 3; ++v) {
            const QString i = QString::number(v);
            const bool visited = n % (1 << v) == 0;
            q.bind(u"sz"_s + i,
                   visited ? technician(n + v) : QVariant(QMetaType(QMetaType::QString)));
            q.bind(u"d"_s + i,
                   visited ? QVariant(date.addYears(v)) : QVariant(QMetaType(QMetaType::QDate)));
            q.bind(u"i"_s + i, visited ? u"SZ"_s + i : QVariant(QMetaType(QMetaType::QString)));
        }
        if (!exec(q, error))
            return false;
    }
    q.setSql(u"INSERT INTO SZELVENY VALUES (:sorszam, :szelveny, :alkatresz, :datum, :szerelo, "
             u":munkalap)"_s);
    for (int n = 1; n <= scale.coupons; ++n) {
        const int sheet = int((qint64(n) * 7919) % scale.sheets) + 1;
        q.bind(u"sorszam"_s, sdSheetNumber(sheet));
        q.bind(u"szelveny"_s, 100000 + n);
        q.bind(u"alkatresz"_s, code(u"P"_s, n % parts + 1, 5));
        q.bind(u"datum"_s, first.addDays(sheet % 1500 + 200));
        q.bind(u"szerelo"_s, technician(sheet));
        q.bind(u"munkalap"_s, u"ML"_s + QString::number(n));
        if (!exec(q, error))
            return false;
    }
    if (!t.commit()) {
        *error = t.lastError();
        return false;
    }
    return true;
}
