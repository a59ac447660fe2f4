#include "modemresult.h"

#include "atresponse.h"

namespace {
constexpr qsizetype maxLineLength = 256;
}

ModemResult classifyModemLine(QByteArrayView line)
{
    const QByteArrayView text = line.trimmed();
    if (text == "CONNECT" || text.startsWith("CONNECT ") || text.startsWith("CONNECT/"))
        return ModemResult::Connect;
    // The words with which a dial gives up are those of the AT responses.
    switch (At::classify(text).kind) {
    case At::Response::Busy:
        return ModemResult::Busy;
    case At::Response::NoCarrier:
        return ModemResult::NoCarrier;
    case At::Response::NoDialtone:
        return ModemResult::NoDialtone;
    case At::Response::NoAnswer:
        return ModemResult::NoAnswer;
    case At::Response::Error:
        return ModemResult::Error;
    case At::Response::Line:
    case At::Response::Echo:
    case At::Response::Prompt:
    case At::Response::Ok:
    case At::Response::CmeError:
    case At::Response::CmsError:
        break;
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
