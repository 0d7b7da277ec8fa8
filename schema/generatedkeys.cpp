#include "generatedkeys.h"

#include <QLatin1StringView>

#include <utility>

namespace mivo::schema
{

QString generatedKeyColumn(const QString& table)
{
    // As the key triggers of the generators script fill them.
    static const std::pair<QLatin1StringView, QLatin1StringView> keys[] = {
        {QLatin1StringView("UGYFEL"), QLatin1StringView("KOD")},
        {QLatin1StringView("KESZULEK"), QLatin1StringView("KOD")},
        {QLatin1StringView("MUNKA"), QLatin1StringView("KOD")},
        {QLatin1StringView("ARU"), QLatin1StringView("BELSOKOD")},
    };
    const QString name = table.trimmed().toUpper();
    for (const auto& [t, column] : keys)
        if (name == t)
            return column;
    return {};
}

} // namespace mivo::schema
