#pragma once

#include <QString>

namespace mivo::workflow
{

/// A customer (UGYFEL) as the entry screens show it: the nine fields and the number
/// (0 = not stored yet).
struct Customer {
    int kod = 0;
    QString nev, irszam, varos, utca, telefon, fax, email, komment, komment2;
    bool operator==(const Customer&) const = default;
};

} // namespace mivo::workflow
