#include "customerrepository.h"

#include "platform/dbquery.h"

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

CustomerRepository::CustomerRepository() : m_connection(u"d_mivo"_s) {}

CustomerRepository::CustomerRepository(const QString& connectionName) : m_connection(connectionName)
{
}

WriteResult CustomerRepository::save(Customer& onScreen, const Customer& loaded) const
{
    // A customer without a code is always inserted: after "Új" the screen may hold the very
    // values of the customer picked before it.
    const bool known = onScreen.kod != 0;
    Customer compare = onScreen;
    compare.kod = loaded.kod;
    if (known && compare == loaded)
        return WriteResult::stored();

    db::Query q(m_connection);
    if (known)
        q.setSql(u"UPDATE UGYFEL SET NEV = :nev, IRSZAM = :irszam, VAROS = :varos, UTCA = :utca, "
                 "TELEFON = :telefon, FAX = :fax, EMAIL = :email, KOMMENT = :komment, "
                 "KOMMENT2 = :komment2 WHERE KOD = :kod"_s);
    else
        q.setSql(insertStatement());
    // Fields are stored as typed; an empty field is an empty text, not NULL.
    auto text = [](const QString& s) { return QVariant(s.isNull() ? u""_s : s); };
    q.bind(u"nev"_s, text(onScreen.nev));
    q.bind(u"irszam"_s, text(onScreen.irszam));
    q.bind(u"varos"_s, text(onScreen.varos));
    q.bind(u"utca"_s, text(onScreen.utca));
    q.bind(u"telefon"_s, text(onScreen.telefon));
    q.bind(u"fax"_s, text(onScreen.fax));
    q.bind(u"email"_s, text(onScreen.email));
    q.bind(u"komment"_s, text(onScreen.komment));
    q.bind(u"komment2"_s, text(onScreen.komment2));
    if (known) {
        q.bind(u"kod"_s, onScreen.kod);
        return WriteResult::ofGuarded(
            q, u"Az ügyfelet közben egy másik munkahelyen törölték; az adatai nem tárolódtak."_s);
    }
    const QVariant key = q.insertReturning();
    if (key.isNull())
        return WriteResult::failed(q);
    onScreen.kod = key.toInt();
    return WriteResult::stored();
}

QString CustomerRepository::insertStatement()
{
    return u"INSERT INTO UGYFEL (NEV, IRSZAM, VAROS, UTCA, TELEFON, FAX, EMAIL, KOMMENT, "
           "KOMMENT2) "
           "VALUES (:nev, :irszam, :varos, :utca, :telefon, :fax, :email, :komment, "
           ":komment2) RETURNING KOD"_s;
}

QString CustomerRepository::applianceInsertStatement()
{
    return u"INSERT INTO KESZULEK (UGYFEL, TIPUS, GYARISZAM) VALUES (:ugyfel, :tipus, '') "
           "RETURNING KOD"_s;
}

WriteResult CustomerRepository::insertAppliance(int ugyfel, int tipus, int* kod) const
{
    db::Query q(m_connection);
    q.setSql(applianceInsertStatement());
    q.bind(u"ugyfel"_s, ugyfel);
    q.bind(u"tipus"_s, tipus);
    const QVariant key = q.insertReturning();
    if (key.isNull())
        return WriteResult::failed(q);
    *kod = key.toInt();
    return WriteResult::stored();
}

} // namespace mivo::workflow
