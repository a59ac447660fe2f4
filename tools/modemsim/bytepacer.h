#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// Passes bytes on no faster than a serial line of the given speed carries
// them: ten bits a byte (start bit, eight data bits, stop bit), so 9600 baud
// is 960 bytes a second. A byte is passed on once the line would have
// carried it whole. With speed 0 every byte is passed on at once.
class BytePacer : public QObject
{
    Q_OBJECT

public:
    explicit BytePacer(int baud, QObject *parent = nullptr);

    void push(const QByteArray &bytes);
    // Forgets the bytes not yet passed on, as a line that drops loses them.
    void clear();
    bool isEmpty() const { return m_queue.isEmpty(); }

signals:
    void paced(const QByteArray &bytes);
    // The last byte pushed has been passed on.
    void drained();

private:
    void release();

    qint64 m_bytesPerSecond;
    QByteArray m_queue;
    // Since the line last became busy, and what it has carried since.
    QElapsedTimer m_busySince;
    qint64 m_released = 0;
    QTimer m_timer;
};
