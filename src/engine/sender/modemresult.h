#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// What a line from the modem means for a call being dialled.
enum class ModemResult {
    Other,   // echo of the dial line, "OK", "RING", empty lines, noise
    Connect, // "CONNECT", "CONNECT 9600", "CONNECT 14400/ARQ": the call stands
    // The results with which a Hayes modem gives up a dial: the call is over.
    Busy,       // "BUSY"
    NoCarrier,  // "NO CARRIER"
    NoDialtone, // "NO DIALTONE", "NO DIAL TONE"
    NoAnswer,   // "NO ANSWER"
    Error,      // "ERROR"
};

ModemResult classifyModemLine(QByteArrayView line);

// Collects the modem's output and hands out complete lines. Hayes modems end
// result lines with CR LF (or a bare CR); a line is complete at either.
class ModemLineBuffer
{
public:
    // Appends bytes and returns the lines they completed, without terminators
    // and without empty lines.
    QList<QByteArray> feed(QByteArrayView bytes);
    void clear() { m_pending.clear(); }
    // What came after the last line end: a prompt that ends no line ("> ").
    QByteArrayView unfinished() const { return m_pending; }

private:
    QByteArray m_pending;
};
