#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace At {

// One piece of a modem's output while it is led by AT commands.
struct Response
{
    enum Kind {
        Line,   // an information line or a line the modem sends on its own
        Echo,   // the command in flight, echoed back
        Prompt, // "> ": the modem waits for the data of AT+CMGS
        // The final results that end a command.
        Ok,
        Error,    // "ERROR"
        CmeError, // "+CME ERROR: <n>"
        CmsError, // "+CMS ERROR: <n>"
        // The final results with which a dial gives up. A modem sends some
        // of them on its own too (NO CARRIER after a call ends), so they
        // end only a command that dials.
        NoCarrier,
        Busy,
        NoAnswer,
        NoDialtone,
    };
    Kind kind = Line;
    QByteArray text;   // the line without its line end and outer blanks
    QByteArray detail; // after "+CME ERROR:" or "+CMS ERROR:", trimmed

    bool isFinal() const { return kind >= Ok; }
    bool operator==(const Response &) const = default;
};

// What a complete line is, echoes and the prompt aside.
Response classify(QByteArrayView line);

// A final result other than OK as the user reads it: "ERROR",
// "CME 16: falsche PIN", "CMS 42: Netz überlastet", or the modem's own words
// when AT+CMEE=1 did not take and it answers in text ("+CMS ERROR:" when
// it names no cause).
QString errorText(const Response &response);

// Cuts a modem's output into responses: no I/O, bytes in, responses out.
// Lines end at CR, LF or both; empty lines are passed over. A line that never
// ends is cut to its last 512 bytes, so a babbling modem cannot make memory
// grow; a received PDU (at most 176 octets, 352 hex digits) fits whole.
class ResponseParser
{
public:
    static constexpr qsizetype maxLineLength = 512;

    // The command in flight, without CR: a line equal to it is its echo. The
    // prompt ends no line: while a command awaits it, the unfinished bytes
    // ">" or "> " at the end of what came are taken for it, or a line ">"
    // from a modem that ends the prompt after all. It comes once; a ">" after
    // it is a line.
    void setCommand(QByteArrayView command, bool awaitsPrompt);
    // Appends bytes and returns what they completed, in order.
    QList<Response> feed(QByteArrayView bytes);
    // Forgets an unfinished line and the command.
    void clear();

private:
    QByteArray m_pending;
    QByteArray m_command;
    bool m_awaitsPrompt = false;
};

} // namespace At
