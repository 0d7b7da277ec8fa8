#pragma once

class QCoreApplication;

namespace mivo
{

/// Loads Qt's own Hungarian texts ("Igen", "Nem", "Mégse" on the standard buttons).
/// False when the translation file is not installed.
bool installHungarianTranslation(QCoreApplication& app);

} // namespace mivo
