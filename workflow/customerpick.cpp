#include "customerpick.h"

#include "framework/torzsopener.h"

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

std::optional<Customer> chooseCustomer(const QString& typedName)
{
    const std::optional<TorzsCall> call = pickRow(u"UGYFEL"_s, {}, typedName);
    if (!call)
        return std::nullopt;
    Customer c;
    c.kod = pickedField(*call, u"KOD"_s).toInt();
    c.nev = pickedField(*call, u"NEV"_s);
    c.irszam = pickedField(*call, u"IRSZAM"_s);
    c.varos = pickedField(*call, u"VAROS"_s);
    c.utca = pickedField(*call, u"UTCA"_s);
    c.telefon = pickedField(*call, u"TELEFON"_s);
    c.fax = pickedField(*call, u"FAX"_s);
    c.email = pickedField(*call, u"EMAIL"_s);
    c.komment = pickedField(*call, u"KOMMENT"_s);
    c.komment2 = pickedField(*call, u"KOMMENT2"_s);
    return c;
}

} // namespace mivo::workflow
