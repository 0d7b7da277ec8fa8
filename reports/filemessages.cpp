#include "filemessages.h"

#include "core/messages.h"

#include <QDir>

namespace mivo::reports
{

bool confirmOverwrite(const QString& fileName)
{
    return messages::confirm(QStringLiteral("A fájl: ") + QDir::toNativeSeparators(fileName) +
                             QStringLiteral(" létezik. Felülírjuk?"));
}

void showFileError(const QString& fileName, const QString& reason)
{
    messages::show(QStringLiteral("A fájl nem készült el: ") + QDir::toNativeSeparators(fileName) +
                       QLatin1Char('\n') + reason,
                   MessageKind::Error);
}

} // namespace mivo::reports
