#include "postalcode.h"

#include "platform/dbquery.h"

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

std::optional<QString> townOfPostalCode(const QString& irszam, QString* error)
{
    const QVariant town =
        db::scalar(u"d_mivo"_s, u"Select HELYSEG From IRSZAM Where IRSZAM = :irszam"_s,
                   {{u"irszam"_s, irszam}}, error);
    if (town.isNull())
        return std::nullopt;
    return town.toString().trimmed();
}

} // namespace mivo::workflow
