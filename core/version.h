#pragma once

#include <QString>

namespace mivo
{

/// The program's version ("2.6.7"), the project version the build was made with.
QString programVersion();

} // namespace mivo
