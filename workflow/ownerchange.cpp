#include "ownerchange.h"

#include "customerrepository.h"

#include "core/altproc.h"
#include "platform/dbquery.h"
#include "platform/unitofwork.h"

#include <algorithm>

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

namespace
{

// A code of 0 is no row: stored as NULL, as the view shows a missing owner or type.
QVariant code(int value)
{
    return value > 0 ? QVariant(value) : QVariant(QMetaType(QMetaType::Int));
}

// Texts are stored as typed; an empty field is an empty text, not NULL.
QVariant text(const QString& s)
{
    return QVariant(s.isNull() ? u""_s : s);
}

WriteResult ofUnit(const db::UnitResult& r)
{
    return r.ok() ? WriteResult::stored() : WriteResult::failed(r.message, r.errorCode);
}

} // namespace

const std::vector<ApplianceOrder>& applianceOrders()
{
    static const QString view = u"VW_KESZULEK"_s;
    // The view starts from the appliances, so its order by the owner's name sorts every
    // appliance at each read. The same rows read from the customers walk their name index
    // instead, a search included (an appliance whose owner is gone is listed in the other
    // orders).
    static const QString byOwner =
        u"(SELECT K.KOD, K.GYARISZAM, K.BEUZEMELES, K.ALLAPOT, U.KOD UGYFELKOD, U.NEV UGYFELNEV, "
        "U.IRSZAM UGYFELIRSZAM, U.VAROS UGYFELVAROS, U.UTCA UGYFELUTCA, K.TIPUS, A.KOD ARUKOD, "
        "A.NEV ARUNEV FROM UGYFEL U LEFT JOIN KESZULEK K ON K.UGYFEL = U.KOD "
        "LEFT JOIN ARU A ON A.BELSOKOD = K.TIPUS WHERE K.KOD IS NOT NULL) V"_s;
    static const std::vector<ApplianceOrder> orders{{u"Ügyfél"_s, u"UGYFELNEV"_s, byOwner},
                                                    {u"Készülék név"_s, u"ARUNEV"_s, view},
                                                    {u"Készülék kód"_s, u"ARUKOD"_s, view},
                                                    {u"Gyári szám"_s, u"GYARISZAM"_s, view}};
    return orders;
}

QStringList applianceListLines(int order)
{
    const auto& orders = applianceOrders();
    const ApplianceOrder& o = orders[size_t(std::clamp(order, 0, int(orders.size()) - 1))];
    return {u"Select * From "_s + o.source, u" ORDER BY "_s + o.field};
}

QList<TorzsGridColumn> applianceColumns()
{
    return {{u"ARUKOD"_s, u"Kód"_s, {}},           {u"ARUNEV"_s, u"Készülék név"_s, {}},
            {u"GYARISZAM"_s, u"Gyári szám"_s, {}}, {u"UGYFELNEV"_s, u"Ügyfél"_s, {}},
            {u"UGYFELIRSZAM"_s, u"Irsz."_s, {}},   {u"UGYFELVAROS"_s, u"Település"_s, {}},
            {u"UGYFELUTCA"_s, u"Cím"_s, {}},       {u"UGYFELKOD"_s, u"Ügyfélkód"_s, {}}};
}

std::optional<QString> storedCommissioningDate(const QString& typed)
{
    const QString t = typed.trimmed();
    if (alt::isBlankDate(t))
        return u""_s;
    // validateDate also takes a year and month alone, which is no day of commissioning.
    if ((t.size() != 8 && t.size() != 10) || !alt::validateDate(t, false))
        return std::nullopt;
    return alt::formatDate(alt::parseDate(t));
}

OwnerChange::OwnerChange(const QString& connectionName) : m_connection(connectionName) {}

QString OwnerChange::customerStatement()
{
    return u"Select * From UGYFEL Where KOD = :kod"_s;
}

QString OwnerChange::sheetOwnerStatement()
{
    return u"UPDATE BEUZLAP SET UGYFEL = :ugyfel WHERE KESZULEK = :keszulek"_s;
}

QString OwnerChange::applianceUpdateStatement()
{
    return u"UPDATE KESZULEK SET UGYFEL = :ugyfel, TIPUS = :tipus, GYARISZAM = :gyariszam, "
           "BEUZEMELES = :beuzemeles WHERE KOD = :kod"_s;
}

std::optional<Customer> OwnerChange::customer(int kod, QString* error) const
{
    Customer c;
    if (kod <= 0)
        return c;
    db::Query q(m_connection);
    q.setSql(customerStatement());
    q.bind(u"kod"_s, kod);
    if (!q.exec()) {
        if (error)
            *error = q.lastError();
        return std::nullopt;
    }
    if (!q.first())
        return c;
    c.kod = kod;
    c.nev = q.text(u"NEV"_s);
    c.irszam = q.text(u"IRSZAM"_s);
    c.varos = q.text(u"VAROS"_s);
    c.utca = q.text(u"UTCA"_s);
    c.telefon = q.text(u"TELEFON"_s);
    c.fax = q.text(u"FAX"_s);
    c.email = q.text(u"EMAIL"_s);
    c.komment = q.text(u"KOMMENT"_s);
    c.komment2 = q.text(u"KOMMENT2"_s);
    return c;
}

WriteResult OwnerChange::update(int kod, const ApplianceValues& values) const
{
    return ofUnit(db::runUnitOfWork(m_connection, [&](const QString& connection) {
        db::Query sheet(connection);
        sheet.setSql(sheetOwnerStatement());
        sheet.bind(u"ugyfel"_s, code(values.ugyfel));
        sheet.bind(u"keszulek"_s, kod);
        if (!sheet.exec())
            return db::Outcome::failure(sheet);
        db::Query appliance(connection);
        appliance.setSql(applianceUpdateStatement());
        appliance.bind(u"ugyfel"_s, code(values.ugyfel));
        appliance.bind(u"tipus"_s, code(values.tipus));
        appliance.bind(u"gyariszam"_s, text(values.gyariszam));
        appliance.bind(u"beuzemeles"_s, text(values.beuzemeles));
        appliance.bind(u"kod"_s, kod);
        if (!appliance.exec())
            return db::Outcome::failure(appliance);
        if (appliance.rowsAffected() == 0)
            return db::Outcome::failure(
                u"A készüléket közben egy másik munkahelyen törölték; az adatai nem tárolódtak."_s);
        return db::Outcome();
    }));
}

WriteResult OwnerChange::insert(const ApplianceValues& values, int* kod) const
{
    db::Query q(m_connection);
    q.setSql(u"INSERT INTO KESZULEK (UGYFEL, TIPUS, GYARISZAM, BEUZEMELES) "
             "VALUES (:ugyfel, :tipus, :gyariszam, :beuzemeles) RETURNING KOD"_s);
    q.bind(u"ugyfel"_s, code(values.ugyfel));
    q.bind(u"tipus"_s, code(values.tipus));
    q.bind(u"gyariszam"_s, text(values.gyariszam));
    q.bind(u"beuzemeles"_s, text(values.beuzemeles));
    const QVariant key = q.insertReturning();
    if (key.isNull())
        return WriteResult::failed(q);
    if (kod)
        *kod = key.toInt();
    return WriteResult::stored();
}

WriteResult OwnerChange::markDeleted(int kod) const
{
    return ofUnit(db::runUnitOfWork(m_connection, [&](const QString& connection) {
        db::Query q(connection);
        q.setSql(u"UPDATE KESZULEK SET ALLAPOT = 'T' WHERE KOD = :kod"_s);
        q.bind(u"kod"_s, kod);
        return q.exec() ? db::Outcome() : db::Outcome::failure(q);
    }));
}

WriteResult OwnerChange::saveCustomer(Customer& onScreen, const Customer& remembered) const
{
    // Without an owner there is no row to correct: a new customer is request entry's work.
    if (onScreen.kod <= 0)
        return WriteResult::stored();
    return CustomerRepository(m_connection).save(onScreen, remembered);
}

} // namespace mivo::workflow
