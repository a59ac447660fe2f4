#pragma once

#include "serialline.h"

#include <QByteArrayList>
#include <QStringList>

// An in-memory modem line: records what the engine opens and writes, and
// lets a test play the modem's side.
class FakeSerialLine final : public SerialLine
{
    Q_OBJECT

public:
    using SerialLine::SerialLine;

    bool open(const QString &portName, QString *errorText = nullptr) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    bool write(const QByteArray &bytes) override;
    QByteArray readAll() override;
    void clearInput() override;

    // The next open() fails with this German reason.
    void failNextOpen(const QString &reason) { m_openFailure = reason; }

    // The modem sends bytes: they are buffered and readyRead is emitted.
    void deliver(const QByteArray &bytes);
    // Bytes that arrived but have not been announced yet (as when the
    // driver holds them while the program still handles something else).
    void deliverSilently(const QByteArray &bytes) { m_input.append(bytes); }
    void setCarrier(bool on) { Q_EMIT carrierDetectChanged(on); }
    // The device vanishes: the line closes itself and reports it.
    void breakLine();

    QStringList openedPorts; // every successful open, in order
    QStringList failedOpens; // every failed open, in order
    QByteArrayList writes;   // every write, one item per call
    int closeCount = 0;      // closes of an open line
    int clearInputCount = 0;

private:
    bool m_open = false;
    QString m_openFailure;
    QByteArray m_input;
};
