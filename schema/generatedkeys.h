#pragma once

#include <QString>

namespace mivo::schema
{

/// The column whose value the database draws from a generator when an insert leaves it
/// empty (UGYFEL.KOD, KESZULEK.KOD, MUNKA.KOD, ARU.BELSOKOD); "" for every other table.
QString generatedKeyColumn(const QString& table);

} // namespace mivo::schema
