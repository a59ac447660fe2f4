#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// The modem line as the send engine sees it: open a port by name, write
// bytes, read what came in. Everything is asynchronous: incoming bytes are
// announced by readyRead, a broken line by closedByError. The real line runs
// over QSerialPort; tests use an in-memory line.
class SerialLine : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Opens the port at 9600 baud, 8 data bits, no parity, 1 stop bit, with
    // the input cleared. On failure returns false and puts a German reason
    // into *errorText (when given).
    virtual bool open(const QString &portName, QString *errorText = nullptr) = 0;
    // Closing the port is how a call ends: the modem sees DTR drop and hangs
    // up. Closing a closed line does nothing.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Queues the bytes for sending in one piece; false when the line is not
    // open or refused the bytes.
    virtual bool write(const QByteArray &bytes) = 0;
    // Everything received so far, removed from the line.
    virtual QByteArray readAll() = 0;
    // Throws away everything received so far, also what the driver still holds.
    virtual void clearInput() = 0;

Q_SIGNALS:
    void readyRead();
    // Bytes handed to write() have left for the device; a line reports every
    // byte it takes, possibly before write() returns.
    void bytesWritten(qint64 bytes);
    // A line error in German. Not every error ends the line; see closedByError.
    void errorOccurred(const QString &text);
    // The line broke (device gone, far end vanished) and has been closed.
    void closedByError();
    // The modem's carrier detect line changed; only lines that can read the
    // modem lines emit it.
    void carrierDetectChanged(bool on);
};
