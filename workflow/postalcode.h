#pragma once

#include <QString>

#include <optional>

namespace mivo::workflow
{

/// The town of a postal code (IRSZAM.HELYSEG, trimmed) for the customer fields that fill
/// the town when the postal code is left; an empty optional when the code is unknown.
/// Outer nullopt with the database's text in *error.
std::optional<std::optional<QString>>
townOfPostalCode(const QString& irszam, QString* error,
                 const QString& connectionName = QStringLiteral("d_mivo"));

} // namespace mivo::workflow
