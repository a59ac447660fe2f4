#include "ptyline.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// How the program's open and close of the port are noticed: the simulator
// keeps no slave descriptor of its own. While no one has the slave open, a
// read on the master fails with EIO and poll() reports POLLHUP; while the
// program has it open, a read gives data or EAGAIN. A read notifier on a
// master in the EIO state would fire without pause, so during a closed spell
// the notifier is off and a 20 ms timer probes with a non-blocking read; the
// first read that does not fail with EIO means the program has opened the
// port. While the port is open the notifier wakes on data and on POLLHUP,
// and the EIO that follows the last byte is the hang-up. The kernel hands
// over every byte the program wrote before that EIO comes.
namespace {
constexpr int closedPollMs = 20;
}

PtyLine::PtyLine(QObject *parent) : QObject(parent)
{
    m_closedPoll.setInterval(closedPollMs);
    connect(&m_closedPoll, &QTimer::timeout, this, &PtyLine::readMaster);
}

PtyLine::~PtyLine()
{
    if (m_master >= 0)
        ::close(m_master);
}

bool PtyLine::create(QString *error)
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    char name[128] = {};
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0 ||
        ::ptsname_r(m_master, name, sizeof name) != 0) {
        *error = u"cannot create a pseudo-terminal: "_s + QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(name);

    // A serial line passes bytes unchanged: no echo, no CR/LF translation,
    // no line editing. The settings stay with the terminal when the
    // program opens it, and closing this descriptor puts the master into
    // the closed state that the poll below watches for.
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios settings{};
    if (slave < 0 || ::tcgetattr(slave, &settings) != 0) {
        *error = m_slavePath + u": "_s + QString::fromLocal8Bit(strerror(errno));
        if (slave >= 0)
            ::close(slave);
        return false;
    }
    ::cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    ::cfsetspeed(&settings, B9600);
    const bool rawSet = ::tcsetattr(slave, TCSANOW, &settings) == 0;
    ::close(slave);
    if (!rawSet) {
        *error = m_slavePath + u": cannot set raw mode"_s;
        return false;
    }

    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    m_readNotifier->setEnabled(false);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyLine::readMaster);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtyLine::writePending);
    m_closedPoll.start();
    return true;
}

void PtyLine::unplug()
{
    m_closedPoll.stop();
    delete m_readNotifier;
    m_readNotifier = nullptr;
    delete m_writeNotifier;
    m_writeNotifier = nullptr;
    m_pending.clear();
    m_open = false;
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

void PtyLine::readMaster()
{
    if (m_master < 0)
        return;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            setOpen(true);
            emit received(QByteArray(buffer, n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            setOpen(true);
            return;
        }
        // EIO (or an end of file, which Linux does not report here): the
        // last descriptor of the slave has been closed.
        setOpen(false);
        return;
    }
}

void PtyLine::setOpen(bool open)
{
    if (open == m_open)
        return;
    m_open = open;
    if (open) {
        m_closedPoll.stop();
        m_readNotifier->setEnabled(true);
        emit opened();
        return;
    }
    m_readNotifier->setEnabled(false);
    m_writeNotifier->setEnabled(false);
    m_pending.clear();
    discardStaleInput();
    m_closedPoll.start();
    emit hungUp();
}

void PtyLine::send(const QByteArray &bytes)
{
    if (!m_open || m_master < 0 || bytes.isEmpty())
        return;
    // The program may have closed the port after the last notification;
    // leave the hang-up to the read notifier, which also picks up the bytes
    // the program wrote before closing.
    pollfd probe{m_master, POLLIN, 0};
    if (::poll(&probe, 1, 0) > 0 && (probe.revents & POLLHUP))
        return;
    m_pending += bytes;
    writePending();
}

void PtyLine::writePending()
{
    while (!m_pending.isEmpty()) {
        const ssize_t n = ::write(m_master, m_pending.constData(), m_pending.size());
        if (n > 0) {
            m_pending.remove(0, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            m_writeNotifier->setEnabled(true);
            return;
        }
        // Any other failure means the line is gone; the hang-up is reported
        // by the read side.
        m_pending.clear();
        break;
    }
    m_writeNotifier->setEnabled(false);
}

void PtyLine::discardStaleInput()
{
    // Bytes written in the moment between the program's close and this
    // side noticing it would wait in the terminal and greet the next open
    // as if the modem had just said them. Only a slave descriptor can flush
    // that queue; opening and closing one here keeps the closed state.
    const int slave =
        ::open(m_slavePath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0)
        return;
    ::tcflush(slave, TCIFLUSH);
    ::close(slave);
}
