#include "postalcode.h"

#include "platform/dbquery.h"

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

std::optional<std::optional<QString>> townOfPostalCode(const QString& irszam, QString* error,
                                                       const QString& connectionName)
{
    QString failure;
    const QVariant town =
        db::scalar(connectionName, u"Select HELYSEG From IRSZAM Where IRSZAM = :irszam"_s,
                   {{u"irszam"_s, irszam}}, &failure);
    if (!failure.isEmpty()) {
        if (error)
            *error = failure;
        return std::nullopt;
    }
    if (town.isNull())
        return std::optional<QString>();
    return std::optional<QString>(town.toString().trimmed());
}

} // namespace mivo::workflow
