#pragma once

#include <QString>

#include <optional>

namespace mivo::workflow
{

/// The town of a postal code (IRSZAM.HELYSEG, trimmed), which the customer fields take when
/// the postal code is left; empty for an unknown code, and for a failed read, whose text is
/// then in *error.
std::optional<QString> townOfPostalCode(const QString& irszam, QString* error);

} // namespace mivo::workflow
