#pragma once

#include "atresponse.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QRegularExpression>
#include <QTimer>

#include <functional>

class SerialLine;

// AT commands over a serial line, one in flight at a time: a command is
// written once the one before has had its final result, and its time-out
// counts from the moment the line reports its bytes gone (a line slow to
// take them costs the modem none of its time). Lines that match a
// registered pattern are the modem's own reports (RING, +CMTI, +CREG, ...):
// they go to their handler and never reach the command in flight. A command
// that awaits the "> " prompt (AT+CMGS) is handed it and gives the bytes to
// write then; its time-out begins anew once those are gone.
//
// A line that keeps bytes longer than stallTimeoutMs is stuck: the command
// in flight has then had its time, lest the call wait for ever.
//
// The channel reads the line only between start() and stop(): the line is
// shared with the other dialogues on the port.
class AtChannel final : public QObject
{
    Q_OBJECT

public:
    struct Command
    {
        QByteArray text; // without CR
        int timeoutMs = 0;
        // Information lines of the answer (and lines no pattern took).
        std::function<void(const At::Response &)> onLine;
        // A final result: true when it ends the command, false when it
        // cannot be the command's own (a late OK of an earlier command) and
        // the command waits on.
        std::function<bool(const At::Response &)> onFinal;
        // No answer in time; the command is over.
        std::function<void()> onTimeout;
        // Set for a command that awaits the prompt: returns the bytes to
        // write then, awaited for afterPromptTimeoutMs.
        std::function<QByteArray()> onPrompt;
        int afterPromptTimeoutMs = 0;
        // Whether NO CARRIER, BUSY, NO ANSWER and NO DIALTONE end it; for
        // other commands they are lines the modem sent on its own.
        bool dials = false;
    };
    using UrcHandler = std::function<void(const QRegularExpressionMatch &)>;
    // For a report whose data follow on the next line (+CDS: <length> and
    // the PDU): called with the report and that line.
    using UrcDataHandler =
        std::function<void(const QRegularExpressionMatch &, const QByteArray &data)>;

    static constexpr int defaultStallTimeoutMs = 30'000;

    explicit AtChannel(SerialLine *line, QObject *parent = nullptr);

    // Begins reading the line, with nothing in flight.
    void start();
    // Stops reading and drops the command in flight and those queued.
    void stop();
    bool isStarted() const { return m_started; }
    // Queues a command; it is written at once when nothing is in flight.
    void send(Command command);
    // Writes bytes outside any command (an ESC, say).
    bool writeRaw(const QByteArray &bytes);
    // Lines matching the pattern (whole line, without line end) go to the
    // handler instead of the command in flight.
    void addUrcHandler(const QRegularExpression &pattern, UrcHandler handler);
    // The same for a report followed by a line of data: that line goes to
    // the handler too, and never to the command in flight. A final result
    // in its place leaves the report without data; it is dropped.
    void addUrcHandler(const QRegularExpression &pattern, UrcDataHandler handler);
    bool busy() const { return !m_queue.isEmpty(); }
    void setStallTimeoutMs(int ms) { m_stall.setInterval(ms); }

Q_SIGNALS:
    // The line broke or refused bytes; the channel has stopped.
    void broken();

private:
    void onReadyRead();
    void onBytesWritten(qint64 bytes);
    void onTimeout();
    void writeNext();
    bool writeTimed(const QByteArray &bytes, int timeoutMs);
    void handle(const At::Response &response);
    void finishCommand();
    void lineBroken();
    bool takenAsUrc(const At::Response &response);

    SerialLine *m_line;
    At::ResponseParser m_parser;
    QTimer m_timer;
    QTimer m_stall;          // runs while written bytes have not left
    QList<Command> m_queue;  // the first is in flight once written
    bool m_written = false;  // the first has been written
    bool m_prompted = false; // the first has had its prompt
    bool m_started = false;
    // Bytes written that the line has not yet reported gone, and the
    // time-out to start once they are.
    qint64 m_unsent = 0;
    int m_armTimeoutMs = -1;
    // Counts start() and stop(): a handler that stopped the channel ends
    // the handling of what came.
    quint64 m_generation = 0;
    struct Urc
    {
        QRegularExpression pattern;
        UrcHandler handler;
        UrcDataHandler dataHandler;
    };
    QList<Urc> m_urcs;
    // A report that awaits its line of data, and its handler.
    QRegularExpressionMatch m_dataReport;
    UrcDataHandler m_dataHandler;
};
