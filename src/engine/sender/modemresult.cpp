#include "modemresult.h"

namespace {
constexpr qsizetype maxLineLength = 256;
}

ModemResult classifyModemLine(QByteArrayView line)
{
    const QByteArrayView text = line.trimmed();
    if (text == "CONNECT" || text.startsWith("CONNECT ") || text.startsWith("CONNECT/"))
        return ModemResult::Connect;
    // The results with which a Hayes modem gives up a dial. Some modems spell
    // the missing dial tone in two words.
    static constexpr QByteArrayView failures[] = {
        "BUSY", "NO CARRIER", "NO DIALTONE", "NO DIAL TONE", "NO ANSWER", "ERROR",
    };
    for (QByteArrayView failure : failures) {
        if (text == failure)
            return ModemResult::Failure;
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
