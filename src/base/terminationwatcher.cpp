#include "terminationwatcher.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

using namespace Qt::StringLiterals;

int TerminationWatcher::s_pipe[2] = {-1, -1};

namespace {
constexpr int watchedSignals[] = {SIGINT, SIGTERM, SIGHUP};
}

TerminationWatcher::TerminationWatcher(QObject *parent) : QObject(parent) {}

TerminationWatcher::~TerminationWatcher()
{
    for (int signal : watchedSignals)
        ::signal(signal, SIG_DFL);
    for (int &fd : s_pipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

bool TerminationWatcher::install(QString *error)
{
    if (::pipe2(s_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        *error = u"cannot create the signal pipe: "_s + QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    m_notifier = new QSocketNotifier(s_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationWatcher::drain);

    struct sigaction action
    {
    };
    action.sa_handler = &TerminationWatcher::handleSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : watchedSignals)
        ::sigaction(signal, &action, nullptr);
    return true;
}

void TerminationWatcher::handleSignal(int)
{
    // Only async-signal-safe work here; the event loop does the rest.
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(s_pipe[1], &byte, 1);
    errno = savedErrno;
}

void TerminationWatcher::drain()
{
    char buffer[16];
    while (::read(s_pipe[0], buffer, sizeof buffer) > 0) {
    }
    Q_EMIT terminationRequested();
}

void TerminationWatcher::endWithParent()
{
#ifdef Q_OS_LINUX
    const pid_t parent = ::getppid();
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    // Gone before the request was made: adopted by init or a subreaper.
    if (::getppid() != parent)
        ::raise(SIGTERM);
#endif
}
