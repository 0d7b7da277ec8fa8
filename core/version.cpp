#include "version.h"

namespace mivo
{

QString programVersion()
{
    return QStringLiteral(MIVO_VERSION);
}

} // namespace mivo
