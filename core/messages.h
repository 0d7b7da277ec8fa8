#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace mivo
{

/// Kind of a message: it chooses the dialog's title.
enum class MessageKind { Question = 0, Warning = 1, Error = 2, Dialog = 3 };

/// How notices and questions reach the user. The program installs the dialog-based one at
/// start; tests install a ScriptedMessages that records every text and answers from a script.
class MessageSink
{
public:
    virtual ~MessageSink() = default;
    /// Shows a notice with an OK button.
    virtual void show(const QString& text, MessageKind kind) = 0;
    /// Asks a question; returns the index of the chosen button caption
    /// (captions empty: "Igen" = 0, "Nem" = 1).
    virtual int ask(const QString& text, MessageKind kind, const QStringList& captions) = 0;
};

/// The one message service of the program.
namespace messages
{

void install(std::unique_ptr<MessageSink> sink);
MessageSink& sink();

/// A notice ("Nem tudok kapcsolódni az adatbázishoz.").
void show(const QString& text, MessageKind kind = MessageKind::Warning);
/// A failure: the database's text or a fixed message, in the error box.
void showError(const QString& text);
/// A Yes/No question; true on Yes.
bool confirm(const QString& text);
/// A question with free button captions; the index of the chosen one.
int ask(const QString& text, MessageKind kind, const QStringList& captions);

} // namespace messages

/// Records every text and answers from a queue (Yes when the queue is empty), for tests.
class ScriptedMessages : public MessageSink
{
public:
    void show(const QString& text, MessageKind kind) override;
    int ask(const QString& text, MessageKind kind, const QStringList& captions) override;

    /// Answers for the next questions, in order (button indexes; 0 = Yes, 1 = No).
    void queueAnswers(std::initializer_list<int> answers);
    QStringList texts; ///< every notice and question, in order
    QList<int> answers;
};

/// Installs a ScriptedMessages for the lifetime of the guard and gives access to it.
class ScriptedMessagesGuard
{
public:
    ScriptedMessagesGuard();
    ~ScriptedMessagesGuard();
    ScriptedMessages& operator*() { return *m_sink; }
    ScriptedMessages* operator->() { return m_sink; }

private:
    ScriptedMessages* m_sink;
    std::unique_ptr<MessageSink> m_previous;
};

} // namespace mivo
