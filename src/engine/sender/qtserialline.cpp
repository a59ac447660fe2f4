#include "qtserialline.h"

#include <QCoreApplication>
#include <QFileInfo>

QtSerialLine::QtSerialLine(QObject *parent) : SerialLine(parent)
{
    connect(&m_port, &QSerialPort::readyRead, this, &SerialLine::readyRead);
    connect(&m_port, &QSerialPort::bytesWritten, this, &SerialLine::bytesWritten);
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialLine::onPortError);
    m_carrierPoll.setInterval(carrierPollMs);
    connect(&m_carrierPoll, &QTimer::timeout, this, &QtSerialLine::pollCarrier);
}

QtSerialLine::~QtSerialLine()
{
    // No signals to a half-destroyed owner while the port goes down.
    m_port.disconnect(this);
    close();
}

bool QtSerialLine::open(const QString &portName, QString *errorText)
{
    close();
    m_device = portName;
    m_port.setPortName(portName);
    m_port.setBaudRate(QSerialPort::Baud9600);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);

    // The caller gets the reason as the result; no second report by signal.
    m_probing = true;
    const bool opened = m_port.open(QIODevice::ReadWrite);
    if (!opened) {
        m_probing = false;
        if (errorText)
            *errorText = serialErrorText(m_port.error());
        m_port.clearError();
        return false;
    }

    // A modem only dials while DTR is on. A pseudo-terminal has no modem
    // lines: both calls fail there with UnsupportedOperationError, which just
    // means carrier detect cannot be watched.
    m_port.clearError();
    m_port.setDataTerminalReady(true);
    const QSerialPort::PinoutSignals pins = m_port.pinoutSignals();
    m_hasModemLines = m_port.error() == QSerialPort::NoError;
    m_port.clearError();
    m_probing = false;

    // Bytes left over from an earlier call must not be taken for this
    // call's answers.
    clearInput();

    m_carrier = m_hasModemLines && pins.testFlag(QSerialPort::DataCarrierDetectSignal);
    if (m_hasModemLines)
        m_carrierPoll.start();
    return true;
}

void QtSerialLine::close()
{
    m_carrierPoll.stop();
    m_carrier = false;
    m_hasModemLines = false;
    if (m_port.isOpen())
        m_port.close();
}

bool QtSerialLine::isOpen() const
{
    return m_port.isOpen();
}

bool QtSerialLine::write(const QByteArray &bytes)
{
    if (!m_port.isOpen())
        return false;
    return m_port.write(bytes) == bytes.size();
}

QByteArray QtSerialLine::readAll()
{
    if (!m_port.isOpen())
        return {};
    return m_port.readAll();
}

void QtSerialLine::clearInput()
{
    if (!m_port.isOpen())
        return;
    m_port.clear(QSerialPort::Input);
    m_port.readAll();
}

void QtSerialLine::onPortError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError)
        return;
    if (m_probing)
        return;
    QString text = serialErrorText(error);
    // After the far end has gone, QSerialPort reports these errors again and
    // again for as long as the port stays open.
    if ((error == QSerialPort::ReadError || error == QSerialPort::ResourceError) &&
        m_port.isOpen()) {
        close();
        // A device pulled out takes its node with it; a read that fails then
        // is no read error but the port that is gone.
        if (!QFileInfo::exists(m_device))
            text = serialErrorText(QSerialPort::ResourceError);
        Q_EMIT errorOccurred(text);
        Q_EMIT closedByError();
        return;
    }
    Q_EMIT errorOccurred(text);
}

void QtSerialLine::pollCarrier()
{
    if (!m_port.isOpen()) {
        m_carrierPoll.stop();
        return;
    }
    const QSerialPort::PinoutSignals pins = m_port.pinoutSignals();
    // Reading the lines can fail because the device has just gone; the
    // error handler has then closed the port and reported it.
    if (!m_port.isOpen())
        return;
    const bool carrier = pins.testFlag(QSerialPort::DataCarrierDetectSignal);
    if (carrier == m_carrier)
        return;
    m_carrier = carrier;
    Q_EMIT carrierDetectChanged(carrier);
}

QString serialErrorText(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::NoError:
        return QCoreApplication::translate("QtSerialLine", "kein Fehler");
    case QSerialPort::DeviceNotFoundError:
        return QCoreApplication::translate("QtSerialLine", "Schnittstelle nicht vorhanden");
    case QSerialPort::PermissionError:
        return QCoreApplication::translate(
            "QtSerialLine", "Zugriff verweigert oder von einem anderen Programm belegt");
    case QSerialPort::OpenError:
        return QCoreApplication::translate("QtSerialLine", "Schnittstelle ist bereits geöffnet");
    case QSerialPort::WriteError:
        return QCoreApplication::translate("QtSerialLine",
                                           "Fehler beim Senden an die Schnittstelle");
    case QSerialPort::ReadError:
        return QCoreApplication::translate("QtSerialLine",
                                           "Fehler beim Lesen von der Schnittstelle");
    case QSerialPort::ResourceError:
        return QCoreApplication::translate("QtSerialLine",
                                           "Schnittstelle nicht mehr verfügbar (Gerät entfernt?)");
    case QSerialPort::UnsupportedOperationError:
        return QCoreApplication::translate("QtSerialLine",
                                           "Vorgang wird von der Schnittstelle nicht unterstützt");
    case QSerialPort::TimeoutError:
        return QCoreApplication::translate("QtSerialLine",
                                           "Zeitüberschreitung an der Schnittstelle");
    case QSerialPort::NotOpenError:
        return QCoreApplication::translate("QtSerialLine", "Schnittstelle ist nicht geöffnet");
    case QSerialPort::UnknownError:
        break;
    }
    return QCoreApplication::translate("QtSerialLine", "unbekannter Fehler der Schnittstelle");
}
