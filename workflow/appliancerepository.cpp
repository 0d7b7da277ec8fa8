#include "appliancerepository.h"

#include "platform/dbquery.h"

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

namespace
{

// Written on insert only: the sheet's recording date and the commissioning date.
bool insertOnly(const QString& column)
{
    return column == u"SORSZAM"_s || column == u"ROGZDAT"_s || column == u"BEUZEMELES"_s;
}

void bindRow(db::Query& q, const QStringList& columns, const RowValues& values)
{
    for (const QString& column : columns) {
        const auto it = values.find(column);
        q.bind(column, it == values.end() ? QVariant() : it->second);
    }
}

QStringList updatedColumns()
{
    QStringList columns;
    for (const QString& c : ApplianceRepository::sheetColumns()) {
        if (!insertOnly(c))
            columns << c;
    }
    return columns;
}

} // namespace

ApplianceRepository::ApplianceRepository(const QString& connectionName)
    : m_connection(connectionName)
{
}

const QStringList& ApplianceRepository::sheetColumns()
{
    static const QStringList columns = {
        u"SORSZAM"_s,      u"KESZULEK"_s,     u"UGYFEL"_s,       u"GYARISZAM"_s,
        u"VASARLAS"_s,     u"GAZATVETEL"_s,   u"TELJESITMENY"_s, u"FUTESIREND"_s,
        u"MIKORI"_s,       u"VIZNYOMAS"_s,    u"GAZNYOMAS"_s,    u"FELSZCEGKOD"_s,
        u"FELSZCEG"_s,     u"FELSZIRSZAM"_s,  u"FELSZVAROS"_s,   u"FELSZUTCA"_s,
        u"GAZ_ES_MEG"_s,   u"UZEMBEKOD"_s,    u"UZEMBECEG"_s,    u"UZEMBEIRSZAM"_s,
        u"UZEMBEVAROS"_s,  u"UZEMBEUTCA"_s,   u"KERKARB"_s,      u"VIZKOKEZELO"_s,
        u"ISZAPSZURO"_s,   u"VIZKOKTIP"_s,    u"ISZAPSZTIP"_s,   u"SZAKVELEMENY"_s,
        u"THKABEL"_s,      u"EPH"_s,          u"ATMOSAS"_s,      u"OXIDIFF"_s,
        u"HMV"_s,          u"GAZFAJTA"_s,     u"TOMORSEG"_s,     u"GAZMEO"_s,
        u"EGONYOMASMIN"_s, u"EGONYOMASMAX"_s, u"EGONYOMASHMV"_s, u"TELJMIN"_s,
        u"TELJMAX"_s,      u"TELJHMV"_s,      u"FELSZ"_s,        u"SZERELHETO"_s,
        u"EGESTERMEK"_s,   u"LEGELLATAS"_s,   u"ELEKTR"_s,       u"TIPUS"_s,
        u"SZLASZ"_s,       u"ROGZDAT"_s,      u"BEUZEMELES"_s,   u"KOMMENT"_s,
    };
    return columns;
}

QString ApplianceRepository::sheetInsertStatement()
{
    const QStringList& columns = sheetColumns();
    return u"insert into BEUZLAP ("_s + columns.join(u", "_s) + u") values (:"_s +
           columns.join(u", :"_s) + u')';
}

QString ApplianceRepository::sheetUpdateStatement()
{
    QStringList assignments;
    for (const QString& c : updatedColumns())
        assignments << c + u" = :"_s + c;
    return u"update BEUZLAP set "_s + assignments.join(u", "_s) + u" where SORSZAM = :SORSZAM"_s;
}

QString ApplianceRepository::applianceUpdateStatement(bool withDate)
{
    return withDate ? u"UPDATE KESZULEK Set GYARISZAM = :gyariszam ,TIPUS = :tipus ,"
                      "BEUZEMELES = :beuzemeles Where KOD = :kod"_s
                    : u"UPDATE KESZULEK Set GYARISZAM = :gyariszam ,TIPUS = :tipus "
                      "Where KOD = :kod"_s;
}

QString ApplianceRepository::sheetReadStatement()
{
    return u"SELECT * FROM BEUZLAP WHERE KESZULEK = :keszulek"_s;
}

QString ApplianceRepository::applianceReadStatement()
{
    return u"Select * From KESZULEK Where KOD = :kod"_s;
}

QString ApplianceRepository::serialOwnerStatement()
{
    return u"Select UGYFELNEV, UGYFELIRSZAM, UGYFELVAROS, UGYFELUTCA, ARUKOD, ARUNEV From "
           "VW_KESZULEK Where GYARISZAM = :gyariszam AND KOD <> :keszulek"_s;
}

QString ApplianceRepository::moveStatement()
{
    return u"UPDATE KESZULEK Set UGYFEL = :ugyfel Where KOD = :kod"_s;
}

std::optional<ApplianceRecord> ApplianceRepository::load(int keszulek, QString* error) const
{
    ApplianceRecord record;
    db::Query sheet(m_connection);
    sheet.setSql(sheetReadStatement());
    sheet.bind(u"keszulek"_s, keszulek);
    if (!sheet.exec()) {
        *error = sheet.lastError();
        return std::nullopt;
    }
    if (sheet.first()) {
        for (int i = 0; i < sheet.fieldCount(); ++i) {
            const QVariant v = sheet.value(i);
            record.sheet[sheet.fieldName(i).toUpper()] =
                v.typeId() == QMetaType::QString ? QVariant(v.toString().trimmed()) : v;
        }
    }
    db::Query appliance(m_connection);
    appliance.setSql(applianceReadStatement());
    appliance.bind(u"kod"_s, keszulek);
    if (!appliance.exec()) {
        *error = appliance.lastError();
        return std::nullopt;
    }
    if (appliance.first()) {
        record.found = true;
        record.tipus = appliance.integer(u"TIPUS"_s);
        record.gyariszam = appliance.text(u"GYARISZAM"_s);
        record.beuzemeles = appliance.text(u"BEUZEMELES"_s);
    }
    return record;
}

std::optional<bool> ApplianceRepository::sheetExists(const QString& sorszam, QString* error) const
{
    db::Query q(m_connection);
    q.setSql(u"SELECT SORSZAM FROM BEUZLAP WHERE SORSZAM = :sorszam"_s);
    q.bind(u"sorszam"_s, sorszam);
    if (!q.exec()) {
        *error = q.lastError();
        return std::nullopt;
    }
    return q.first();
}

std::optional<std::optional<SerialOwner>>
ApplianceRepository::serialOwner(const QString& gyariszam, int keszulek, QString* error) const
{
    // The job's own appliance is left out: it holds the serial it was loaded with.
    db::Query q(m_connection);
    q.setSql(serialOwnerStatement());
    q.bind(u"gyariszam"_s, gyariszam);
    q.bind(u"keszulek"_s, keszulek);
    if (!q.exec()) {
        *error = q.lastError();
        return std::nullopt;
    }
    if (!q.first())
        return std::optional<SerialOwner>();
    return std::optional<SerialOwner>(
        SerialOwner{q.text(u"ARUKOD"_s), q.text(u"ARUNEV"_s), q.text(u"UGYFELNEV"_s),
                    q.text(u"UGYFELIRSZAM"_s), q.text(u"UGYFELVAROS"_s), q.text(u"UGYFELUTCA"_s)});
}

WriteResult ApplianceRepository::insertSheet(const RowValues& values) const
{
    db::Query q(m_connection);
    q.setSql(sheetInsertStatement());
    bindRow(q, sheetColumns(), values);
    return q.exec() ? WriteResult::stored() : WriteResult::failed(q);
}

WriteResult ApplianceRepository::updateSheet(const QString& sorszam, const RowValues& values) const
{
    db::Query q(m_connection);
    q.setSql(sheetUpdateStatement());
    bindRow(q, updatedColumns(), values);
    q.bind(u"SORSZAM"_s, sorszam);
    return WriteResult::ofGuarded(q,
                                  u"A beüzemelési lapot közben egy másik munkahelyen törölték."_s);
}

WriteResult ApplianceRepository::updateAppliance(int keszulek, const QString& gyariszam, int tipus,
                                                 const std::optional<QString>& beuzemeles) const
{
    db::Query q(m_connection);
    q.setSql(applianceUpdateStatement(beuzemeles.has_value()));
    q.bind(u"gyariszam"_s, gyariszam);
    q.bind(u"tipus"_s, tipus);
    if (beuzemeles)
        q.bind(u"beuzemeles"_s, *beuzemeles);
    q.bind(u"kod"_s, keszulek);
    return q.exec() ? WriteResult::stored() : WriteResult::failed(q);
}

WriteResult ApplianceRepository::moveAppliance(int keszulek, int ugyfel) const
{
    db::Query q(m_connection);
    q.setSql(moveStatement());
    q.bind(u"ugyfel"_s, ugyfel);
    q.bind(u"kod"_s, keszulek);
    return q.exec() ? WriteResult::stored() : WriteResult::failed(q);
}

} // namespace mivo::workflow
