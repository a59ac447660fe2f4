#include "clock.h"

SystemClock::SystemClock()
{
    m_elapsed.start();
}

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

qint64 SystemClock::monotonicMs() const
{
    return m_elapsed.elapsed();
}
