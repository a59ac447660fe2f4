#pragma once

#include "serialline.h"

#include <QSerialPort>
#include <QTimer>

// The modem line over QSerialPort, asynchronous API only.
//
// Pseudo-terminals (used by the modem simulator) have no modem lines: reading
// or setting them fails with UnsupportedOperationError, which here only means
// "no carrier detect available". Where the port does report the modem lines,
// carrier detect is polled while the port is open, since QSerialPort raises
// no signal for it.
class QtSerialLine final : public SerialLine
{
    Q_OBJECT

public:
    explicit QtSerialLine(QObject *parent = nullptr);
    ~QtSerialLine() override;

    bool open(const QString &portName, QString *errorText = nullptr) override;
    void close() override;
    bool isOpen() const override;
    bool write(const QByteArray &bytes) override;
    QByteArray readAll() override;
    void clearInput() override;

    // True while the open port reports its modem lines (carrier detect).
    bool hasModemLines() const { return m_hasModemLines; }

    static constexpr int carrierPollMs = 100;

private:
    void onPortError(QSerialPort::SerialPortError error);
    void pollCarrier();

    QSerialPort m_port;
    QString m_device; // as given to open()
    QTimer m_carrierPoll;
    bool m_hasModemLines = false;
    bool m_carrier = false;
    // Set while probing the modem lines, whose failure on a pseudo-terminal
    // is expected and must not reach the user.
    bool m_probing = false;
};

// The German text for every error QSerialPort can report.
QString serialErrorText(QSerialPort::SerialPortError error);
