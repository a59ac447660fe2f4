#pragma once

#include <QDateTime>
#include <QElapsedTimer>

// Clock readings come through this interface, so that time-outs and log
// stamps can be tested without waiting.
class Clock
{
public:
    virtual ~Clock() = default;
    // Wall-clock date and time of day, for log rows.
    virtual QDateTime now() const = 0;
    // Milliseconds from an arbitrary fixed point; never jumps with clock
    // changes or at midnight. Used to measure how long a call lasts.
    virtual qint64 monotonicMs() const = 0;
};

class SystemClock final : public Clock
{
public:
    SystemClock();
    QDateTime now() const override;
    qint64 monotonicMs() const override;

private:
    QElapsedTimer m_elapsed;
};
