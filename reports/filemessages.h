#pragma once

#include <QString>

namespace mivo::reports
{

/// "A fájl: " + name + " létezik. Felülírjuk?"; true on Yes.
bool confirmOverwrite(const QString& fileName);

/// Tells the user that a file could not be written, with the reason.
void showFileError(const QString& fileName, const QString& reason);

} // namespace mivo::reports
