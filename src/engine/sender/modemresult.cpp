#include "modemresult.h"

namespace {
constexpr qsizetype maxLineLength = 256;
}

ModemResult classifyModemLine(QByteArrayView line)
{
    const QByteArrayView text = line.trimmed();
    if (text == "CONNECT" || text.startsWith("CONNECT ") || text.startsWith("CONNECT/"))
        return ModemResult::Connect;
    // Some modems spell the missing dial tone in two words.
    static constexpr struct
    {
        QByteArrayView text;
        ModemResult result;
    } failures[] = {
        {"BUSY", ModemResult::Busy},
        {"NO CARRIER", ModemResult::NoCarrier},
        {"NO DIALTONE", ModemResult::NoDialtone},
        {"NO DIAL TONE", ModemResult::NoDialtone},
        {"NO ANSWER", ModemResult::NoAnswer},
        {"ERROR", ModemResult::Error},
    };
    for (const auto &failure : failures) {
        if (text == failure.text)
            return failure.result;
    }
    return ModemResult::Other;
}

QList<QByteArray> ModemLineBuffer::feed(QByteArrayView bytes)
{
    QList<QByteArray> lines;
    for (char c : bytes) {
        if (c == '\r' || c == '\n') {
            if (!m_pending.isEmpty())
                lines.append(m_pending);
            m_pending.clear();
        } else {
            // A modem that never ends a line cannot make memory grow without
            // bound; no result line is anywhere near this long, and its end
            // is what matters.
            if (m_pending.size() >= maxLineLength)
                m_pending.remove(0, 1);
            m_pending.append(c);
        }
    }
    return lines;
}
