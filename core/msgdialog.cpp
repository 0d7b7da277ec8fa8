#include "msgdialog.h"

#include "msg.h"

namespace mivo
{

QString messageTitle(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Question:
        return QStringLiteral("   Kérem, döntsön!");
    case MessageKind::Warning:
        return QStringLiteral("   Figyelmeztetés");
    case MessageKind::Error:
        return QStringLiteral("   Hiba történt");
    default:
        return QStringLiteral("   Párbeszéd ablak");
    }
}

void DialogMessages::show(const QString& text, MessageKind kind)
{
    Tmsgfm::ask(text, kind, {QStringLiteral("OK")});
}

int DialogMessages::ask(const QString& text, MessageKind kind, const QStringList& captions)
{
    return Tmsgfm::ask(text, kind, captions);
}

} // namespace mivo
