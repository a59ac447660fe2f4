#include "fakeserialline.h"

bool FakeSerialLine::open(const QString &portName, QString *errorText)
{
    close();
    if (!m_openFailure.isEmpty()) {
        if (errorText)
            *errorText = m_openFailure;
        m_openFailure.clear();
        failedOpens.append(portName);
        return false;
    }
    m_open = true;
    m_input.clear();
    openedPorts.append(portName);
    return true;
}

void FakeSerialLine::close()
{
    if (!m_open)
        return;
    m_open = false;
    ++closeCount;
}

bool FakeSerialLine::write(const QByteArray &bytes)
{
    if (!m_open)
        return false;
    writes.append(bytes);
    return true;
}

QByteArray FakeSerialLine::readAll()
{
    return std::exchange(m_input, QByteArray());
}

void FakeSerialLine::clearInput()
{
    ++clearInputCount;
    m_input.clear();
}

void FakeSerialLine::deliver(const QByteArray &bytes)
{
    if (!m_open)
        return;
    m_input.append(bytes);
    Q_EMIT readyRead();
}

void FakeSerialLine::breakLine()
{
    if (!m_open)
        return;
    m_open = false;
    ++closeCount;
    Q_EMIT errorOccurred(QStringLiteral("Schnittstelle nicht mehr verfügbar"));
    Q_EMIT closedByError();
}
