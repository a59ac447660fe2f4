#include "recordingline.h"

using namespace Qt::StringLiterals;

QString readableBytes(const QByteArray &bytes)
{
    static const char *const names[32] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL",
                                          "BS",  "TAB", "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
                                          "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB",
                                          "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        if (c < 32)
            text += u'<' + QLatin1StringView(names[c]) + u'>';
        else if (c < 127)
            text += QLatin1Char(byte);
        else
            text += u"<0x"_s + QString::number(c, 16).toUpper().rightJustified(2, u'0') + u'>';
    }
    return text;
}

RecordingLine::RecordingLine(SerialLine *line, QObject *parent) : SerialLine(parent), m_line(line)
{
    connect(m_line, &SerialLine::readyRead, this, &SerialLine::readyRead);
    connect(m_line, &SerialLine::bytesWritten, this, &SerialLine::bytesWritten);
    connect(m_line, &SerialLine::errorOccurred, this, [this](const QString &text) {
        Q_EMIT traced(tr("Fehler der Leitung: %1").arg(text));
        Q_EMIT errorOccurred(text);
    });
    connect(m_line, &SerialLine::closedByError, this, [this] {
        Q_EMIT traced(tr("Leitung unterbrochen"));
        Q_EMIT closedByError();
    });
    connect(m_line, &SerialLine::carrierDetectChanged, this, [this](bool on) {
        Q_EMIT traced(on ? tr("Trägersignal (DCD) an") : tr("Trägersignal (DCD) aus"));
        Q_EMIT carrierDetectChanged(on);
    });
}

bool RecordingLine::open(const QString &portName, QString *errorText)
{
    QString error;
    const bool opened = m_line->open(portName, &error);
    Q_EMIT traced(opened ? tr("Port %1 geöffnet").arg(portName)
                         : tr("Port %1 nicht geöffnet: %2").arg(portName, error));
    if (errorText)
        *errorText = error;
    return opened;
}

void RecordingLine::close()
{
    if (m_line->isOpen())
        Q_EMIT traced(tr("Port geschlossen"));
    m_line->close();
}

bool RecordingLine::isOpen() const
{
    return m_line->isOpen();
}

bool RecordingLine::write(const QByteArray &bytes)
{
    // A SIM PIN never goes into the trace.
    static const QByteArray pinCommand = "AT+CPIN=";
    Q_EMIT traced(u"→ "_s + (bytes.startsWith(pinCommand)
                                 ? readableBytes(pinCommand) + u"<PIN><CR>"_s
                                 : readableBytes(bytes)));
    return m_line->write(bytes);
}

QByteArray RecordingLine::readAll()
{
    const QByteArray bytes = m_line->readAll();
    if (!bytes.isEmpty())
        Q_EMIT traced(u"← "_s + readableBytes(bytes));
    return bytes;
}

void RecordingLine::clearInput()
{
    m_line->clearInput();
}
