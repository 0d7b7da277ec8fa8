#include "messages.h"

#include <QTextStream>

namespace mivo
{

namespace
{

// Before the program installs its dialogs (command-line tools, early failures): stderr.
class ConsoleMessages : public MessageSink
{
public:
    void show(const QString& text, MessageKind) override
    {
        QTextStream(stderr) << text << Qt::endl;
    }
    int ask(const QString& text, MessageKind, const QStringList&) override
    {
        QTextStream(stderr) << text << Qt::endl;
        return 1;
    }
};

std::unique_ptr<MessageSink>& current()
{
    static std::unique_ptr<MessageSink> sink = std::make_unique<ConsoleMessages>();
    return sink;
}

} // namespace

namespace messages
{

void install(std::unique_ptr<MessageSink> sink)
{
    current() = std::move(sink);
}

MessageSink& sink()
{
    return *current();
}

void show(const QString& text, MessageKind kind)
{
    sink().show(text, kind);
}

void showError(const QString& text)
{
    sink().show(text, MessageKind::Error);
}

bool confirm(const QString& text)
{
    return sink().ask(text, MessageKind::Question, {}) == 0;
}

int ask(const QString& text, MessageKind kind, const QStringList& captions)
{
    return sink().ask(text, kind, captions);
}

} // namespace messages

void ScriptedMessages::show(const QString& text, MessageKind)
{
    texts << text;
}

int ScriptedMessages::ask(const QString& text, MessageKind, const QStringList&)
{
    texts << text;
    return answers.isEmpty() ? 0 : answers.takeFirst();
}

void ScriptedMessages::queueAnswers(std::initializer_list<int> list)
{
    for (int a : list)
        answers << a;
}

ScriptedMessagesGuard::ScriptedMessagesGuard()
{
    auto sink = std::make_unique<ScriptedMessages>();
    m_sink = sink.get();
    m_previous = std::move(current());
    current() = std::move(sink);
}

ScriptedMessagesGuard::~ScriptedMessagesGuard()
{
    current() = std::move(m_previous);
}

} // namespace mivo
