#include "bytepacer.h"

namespace {
// Often enough for a few bytes a tick at 9600 baud; the count of bytes
// passed on follows the clock, so a late tick does not slow the line down.
constexpr int tickMs = 5;
} // namespace

BytePacer::BytePacer(int baud, QObject *parent) : QObject(parent), m_bytesPerSecond(baud / 10)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(tickMs);
    connect(&m_timer, &QTimer::timeout, this, &BytePacer::release);
}

void BytePacer::push(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    if (m_bytesPerSecond <= 0) {
        emit paced(bytes);
        emit drained();
        return;
    }
    if (m_queue.isEmpty()) {
        // An idle line starts carrying the first byte now.
        m_busySince.start();
        m_released = 0;
        m_timer.start();
    }
    m_queue += bytes;
}

void BytePacer::clear()
{
    m_queue.clear();
    m_timer.stop();
}

void BytePacer::release()
{
    const qint64 carried = m_busySince.nsecsElapsed() * m_bytesPerSecond / 1000000000;
    const qint64 count = std::min<qint64>(carried - m_released, m_queue.size());
    if (count <= 0)
        return;
    const QByteArray bytes = m_queue.first(count);
    m_queue.remove(0, count);
    m_released += count;
    if (m_queue.isEmpty())
        m_timer.stop();
    emit paced(bytes);
    // A receiver of paced may have pushed more already.
    if (m_queue.isEmpty())
        emit drained();
}
