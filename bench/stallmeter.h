#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <algorithm>

// Watches the event loop with a 1-ms timer: a long gap between two of its
// time-outs is a stretch in which no event was handled.
class StallMeter : public QObject
{
public:
    StallMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            if (m_last >= 0 && m_measuring) {
                m_maxGapNs = std::max(m_maxGapNs, now - m_last);
                if (now - m_last > frameNs)
                    ++m_longGaps;
            }
            m_last = now;
        });
        m_clock.start();
        m_timer.start();
    }
    void setMeasuring(bool on) { m_measuring = on; }
    double maxGapMs() const { return double(m_maxGapNs) / 1e6; }
    // Stretches longer than one frame of a 60-Hz screen.
    int longGaps() const { return m_longGaps; }
    static constexpr qint64 frameNs = 16'000'000;

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = -1;
    qint64 m_maxGapNs = 0;
    int m_longGaps = 0;
    bool m_measuring = false;
};
