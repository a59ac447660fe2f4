#pragma once

#include "modemresult.h"
#include "outgoingqueue.h"

#include <QByteArray>
#include <QDate>
#include <QObject>
#include <QString>
#include <QTime>
#include <QTimer>

#include <optional>

class Clock;
class Prompter;
class SendLog;
class SendLogWriter;
class SerialLine;
class Settings;

// Sends the queued messages, one modem call per message: dial the message
// centre, submit the head entry as one UCP operation 01 frame, read the
// centre's answer, log the outcome and hang up.
//
// Two independent pieces of state:
//  - sending switched on or off (VersandStatus "Start"/"Stop"), by the user's
//    start/stop button and by the quit question;
//  - the call: Idle (no call), Dialling (dial line written, waiting for the
//    modem's CONNECT), Submitting (frame written, waiting for the centre's
//    answer) or Logging (hung up, the log row being written; the entry
//    leaves the queue when it is stored). VerbindungAktiv is "Ja" while a
//    call is under way, until its row is logged.
//
// Everything is driven by the 5-second tick of Timer1, the line's signals and
// a 10-second answer timer; nothing blocks. A call that brings no connection
// within more than 40 seconds (by the monotonic clock), a dial that the modem
// gives up (BUSY, NO CARRIER, ...), a port that cannot be used, a line that
// breaks, an answer that does not come, or a checksum complaint of the centre
// is a failed attempt: the entry stays at the head and is dialled again no
// sooner than 40 seconds after the failed dial began, the status line counts
// down to it, and from the fifth failed attempt in a row on the user is told
// each time. A call that ends while sending is paused is counted without
// telling the user.
class SendEngine : public QObject
{
    Q_OBJECT

public:
    enum class CallState { Idle, Dialling, Submitting, Logging };
    Q_ENUM(CallState)

    static constexpr int tickIntervalMs = 5000;
    // A call that has waited longer than this for its connection has failed.
    static constexpr qint64 callTimeoutMs = 40'000;
    // After a failed attempt the next dial comes no sooner than this after
    // the failed one began: the pace of the call time-out, whatever failed.
    static constexpr qint64 retryPaceMs = 40'000;
    static constexpr int defaultAnswerTimeoutMs = 10'000;
    // From this many failed attempts in a row on, the next one is reported.
    static constexpr qint16 reportAfterFailures = 4;

    // The rows go to the table of log, through a connection of the engine's
    // own on a thread of its own, so that the commit never stalls the window.
    SendEngine(OutgoingQueue *queue, SendLog *log, const Settings *settings, SerialLine *line,
               Prompter *prompter, const Clock *clock, QString programDir,
               QObject *parent = nullptr);
    ~SendEngine() override;

    // Starts Timer1; from then on the engine ticks every 5 seconds.
    void start();
    // The handler of Timer1: dials when sending is on, no call is under way
    // and the queue has a head entry; ends a call that waited too long.
    void tick();

    QString versandStatus() const;
    // "Start" or "Stop". Only the state changes: the button caption stays,
    // which is what the quit question needs while it pauses sending.
    void setVersandStatus(const QString &status);
    QString verbindungAktiv() const;
    qint16 fehlversuche() const { return m_fehlversuche; }
    QString statusText() const { return m_statusText; }
    QString startStopCaption() const { return m_startStopCaption; }
    CallState callState() const { return m_callState; }

    // The start/stop button: resumes with a notice, pauses after asking.
    void toggleSending();
    // Closes the modem port before the program ends; a call under way is
    // dropped without being counted.
    void closePort();

    QTimer *timer1() { return &m_timer1; }
    // How long the centre's answer to a frame is awaited.
    void setAnswerTimeoutMs(int ms) { m_answerTimer.setInterval(ms); }
    int answerTimeoutMs() const { return m_answerTimer.interval(); }

    static QString failureMessageText();

Q_SIGNALS:
    void statusTextChanged(const QString &text);
    void startStopCaptionChanged(const QString &caption);
    // A row was added to the send log (it is stored) and its entry left the
    // queue.
    void messageLogged();
    // Sending switched, a call began or ended, or the failure count changed.
    void stateChanged();

private:
    void verbinden();
    void submit(const QueueEntry &entry);
    void onReadyRead();
    void onCarrierDetect(bool on);
    void onLineBroken();
    void onAnswerTimeout();

    void handleDiallingLine(ModemResult result);
    void handleAnswerBytes(const QByteArray &bytes);
    void connectionStands();
    // Hangs up and hands the log row to the writer.
    void finishSubmission(const QString &versandt, const QString &status);
    void writeLogRow();
    void onLogWritten(quint64 ticket, bool ok, const QString &error);
    // Ends the call as a failed attempt; reason names it on the status line.
    void failAttempt(const QString &reason);
    void endCall();
    // "Status: <reason> – nächster Versuch in N s" (or "– Versand angehalten").
    void showFailureStatus();
    int secondsToNextAttempt() const;

    void setCallState(CallState state);
    void setStatusText(const QString &text);
    void setStartStopCaption(const QString &caption);
    void resetFehlversuche();

    OutgoingQueue *m_queue;
    SendLogWriter *m_logWriter;
    const Settings *m_settings;
    SerialLine *m_line;
    Prompter *m_prompter;
    const Clock *m_clock;
    QString m_programDir;

    QTimer m_timer1;
    QTimer m_answerTimer;

    bool m_running = true;
    CallState m_callState = CallState::Idle;
    qint16 m_fehlversuche = 0;
    qint64 m_callStartMs = 0; // VerbindungsStart, on the monotonic clock
    std::optional<qint64> m_lastTickMs;
    // After a failed attempt: no dial before this, and what failed.
    std::optional<qint64> m_retryAtMs;
    QString m_failure;
    QString m_statusText;
    QString m_startStopCaption;

    // The entry whose frame went out, as it was then: the log row and the
    // removal concern exactly this entry, whatever happened to the queue.
    QueueEntry m_submitted;
    // Its log row while it is being written, and the status line after it.
    struct LoggedCall
    {
        QDate datum;
        QTime zeit;
        QString versandt;
        QString status;
    };
    LoggedCall m_logRow;
    quint64 m_logTicket = 0;
    bool m_logWriteFailed = false;
    bool m_logFailureTold = false; // warned once per row, not at every retry

    ModemLineBuffer m_modemLines;
    QByteArray m_answerBuffer;

    // Set while a failed call is being wound up, which includes the time the
    // failure message is open (its nested event loop still runs ticks and
    // line events).
    bool m_windingUp = false;
};
