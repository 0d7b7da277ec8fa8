#pragma once

#include "messages.h"

class QWidget;

namespace mivo
{

/// Shows notices and questions in modal message boxes over the main window.
class DialogMessages : public MessageSink
{
public:
    void show(const QString& text, MessageKind kind) override;
    int ask(const QString& text, MessageKind kind, const QStringList& captions) override;
};

/// Window title of a message by its kind.
QString messageTitle(MessageKind kind);

} // namespace mivo
