#include "fakeserialline.h"

bool FakeSerialLine::open(const QString &portName, QString *errorText)
{
    m_input.clear();
    m_open = m_openFailure.isEmpty();
    if (m_open)
        openedPorts.append(portName);
    else if (errorText)
        *errorText = m_openFailure;
    m_openFailure.clear();
    return m_open;
}

bool FakeSerialLine::write(const QByteArray &bytes)
{
    if (!m_open)
        return false;
    writes.append(bytes);
    // A line with room reports the bytes gone before write() returns.
    if (m_holding)
        m_held += bytes.size();
    else
        Q_EMIT bytesWritten(bytes.size());
    return true;
}

void FakeSerialLine::releaseWrites()
{
    m_holding = false;
    if (const qint64 held = std::exchange(m_held, 0); held > 0)
        Q_EMIT bytesWritten(held);
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
    Q_EMIT errorOccurred(QStringLiteral("Schnittstelle nicht mehr verfügbar"));
    Q_EMIT closedByError();
}
