#pragma once

#include <csignal>
#include <functional>

namespace mivo::termination
{

/// Makes SIGTERM and SIGINT end the program the way its normal end does: the signal only
/// wakes the event loop, which then calls `end` (by default QCoreApplication::exit(0), so
/// that the code after exec() runs: connections closed, databases detached). Call once,
/// after the application object exists.
void install(std::function<void()> end = {});

/// Puts the handlers back after a library replaced them: Firebird's client installs its own
/// handlers for both signals at its first attachment, and those swallow them. Does nothing
/// unless install() was called. db::Connection::open() calls it.
void reinstall();

/// Holds SIGTERM and SIGINT back in this thread (and the threads it starts) for its
/// lifetime; one that arrives meanwhile is delivered at the end. Around an attachment, so
/// that a signal never meets Firebird's handlers in the moment before reinstall().
class Deferred
{
public:
    Deferred();
    ~Deferred();
    Deferred(const Deferred&) = delete;
    Deferred& operator=(const Deferred&) = delete;

private:
    sigset_t m_previous;
};

} // namespace mivo::termination
