#pragma once

#include "serialline.h"

#include <QByteArrayList>
#include <QStringList>
#include <utility>

// An in-memory modem line: records what the engine opens and writes, and
// lets a test play the modem's side.
class FakeSerialLine final : public SerialLine
{
    Q_OBJECT

public:
    using SerialLine::SerialLine;

    bool open(const QString &portName, QString *errorText = nullptr) override;
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    bool write(const QByteArray &bytes) override;
    QByteArray readAll() override { return std::exchange(m_input, QByteArray()); }
    void clearInput() override
    {
        ++clearInputCount;
        m_input.clear();
    }

    // The next open() fails with this German reason.
    void failNextOpen(const QString &reason) { m_openFailure = reason; }
    // The modem sends bytes: they are buffered and readyRead is emitted.
    void deliver(const QByteArray &bytes);
    void setCarrier(bool on) { Q_EMIT carrierDetectChanged(on); }
    // The device vanishes: the line closes itself and reports it.
    void breakLine();
    // While held, written bytes are not reported gone; releasing reports
    // all of them at once.
    void holdWrites() { m_holding = true; }
    void releaseWrites();

    QStringList openedPorts; // every successful open, in order
    QByteArrayList writes;   // every write, one item per call
    int clearInputCount = 0;

private:
    bool m_open = false;
    QString m_openFailure;
    QByteArray m_input;
    bool m_holding = false;
    qint64 m_held = 0;
};
