#include "termination.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace mivo::termination
{

namespace
{

int wakeFds[2] = {-1, -1};
std::function<void()> ending;

void onSignal(int)
{
    // Only async-signal-safe work here: the event loop does the rest.
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(wakeFds[1], &byte, 1);
    errno = saved;
}

void setHandlers()
{
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

} // namespace

void install(std::function<void()> end)
{
    if (wakeFds[0] >= 0)
        return;
    if (::pipe2(wakeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        qWarning("termination: no pipe for the signal handlers");
        return;
    }
    ending = end ? std::move(end) : [] { QCoreApplication::exit(0); };
    auto* notifier = new QSocketNotifier(wakeFds[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        char bytes[16];
        while (::read(wakeFds[0], bytes, sizeof bytes) > 0) {
        }
        ending();
    });
    setHandlers();
}

void reinstall()
{
    if (wakeFds[0] >= 0)
        setHandlers();
}

Deferred::Deferred()
{
    sigset_t held;
    sigemptyset(&held);
    sigaddset(&held, SIGTERM);
    sigaddset(&held, SIGINT);
    pthread_sigmask(SIG_BLOCK, &held, &m_previous);
}

Deferred::~Deferred()
{
    pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
}

} // namespace mivo::termination
