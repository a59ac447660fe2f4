#pragma once

#include "clock.h"

// A clock that only moves when the test moves it.
class FakeClock final : public Clock
{
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 12, 6), QTime(14, 3, 5)))
        : m_now(std::move(start))
    {}

    QDateTime now() const override { return m_now; }
    qint64 monotonicMs() const override { return m_monotonic; }

    void advanceMs(qint64 ms)
    {
        m_monotonic += ms;
        m_now = m_now.addMSecs(ms);
    }
    void advanceSeconds(int s) { advanceMs(qint64(s) * 1000); }
    // Moves the wall clock only, as a user or NTP changing the time would.
    void setWallClock(const QDateTime &t) { m_now = t; }

private:
    QDateTime m_now;
    qint64 m_monotonic = 1'000'000;
};
