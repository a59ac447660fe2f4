#pragma once

#include "outgoingqueue.h"
#include "twowaytables.h"

#include <QList>
#include <QObject>
#include <QString>

class IncomingSink;

// One call to the message centre as the send engine leads it, whatever
// carries it (a modem dialling the centre, a TCP/IP session, a GSM modem):
// set the connection up, hand over queue entries one at a time, end it.
// Everything is asynchronous; each step is answered by a signal, which may
// come before the call that started the step has returned.
//
//   begin()   -> [loggingIn()]         the session login is under way
//             -> ready()               the connection stands
//             -> failed(reason)        it could not be set up
//   submit()  -> submitted(result)     the centre's answer
//             -> failed(reason)        no usable answer, or the line broke
//   end()        no signal; ends the connection, whatever it is doing
//   any step  -> halted(reason)        sending must stop until the user acts
//
// After failed() and halted() the call is over. After submitted() the
// connection stands still; the engine submits the next entry if
// severalPerCall(), else ends it.
class CallDialogue : public QObject
{
    Q_OBJECT

public:
    // The centre's answer to one entry.
    struct Result
    {
        bool accepted = false;
        // When refused: the two digits of a UCP error, or the code in the
        // dialogue's own terms ("CMS 21"); empty when there is none.
        QString errorCode;
        // A refusal the dialogue names itself: the send log's text instead
        // of "NACK <errorCode>", and the meaning the status line gives
        // instead of the UCP error's.
        QString logText = {};
        QString meaning = {};
        // The entry this answers (QueueEntry::id).
        quint64 entryId = 0;
        // The parts that went out with a delivery report asked for, each as
        // its report will name it; stored with the log row.
        QList<ExpectedReport> reports = {};
    };

    using QObject::QObject;

    // What keeps a call from being begun, in German ("Keine Rufnummer ...");
    // empty when the settings allow one.
    virtual QString missingSetting() const = 0;
    virtual void begin() = 0;
    virtual void submit(const QueueEntry &entry) = 0;
    virtual void end() = 0;
    // The user has chosen another device for the serial port: a COMn entry
    // that has gone is no longer taken for an unplugged modem.
    virtual void forgetPortLink() {}
    // Whether one connection may carry several entries, one after another.
    virtual bool severalPerCall() const { return false; }
    // How long a connection that carries several entries is kept open once
    // the queue is empty, waiting for more: 0 ends it at once.
    virtual qint64 idleHoldMs() const { return 0; }
    // The set-up is in a step that must not be cut off by the engine's call
    // time-out (a PIN sent to the SIM counts as a try whether or not its
    // answer is awaited); the dialogue's own time-out ends that step.
    virtual bool inUninterruptibleStep() const { return false; }
    // Whether an entry longer than one SMS may be handed over whole (a GSM
    // modem sends it as one concatenated SMS). A message centre takes one
    // SMS per operation: the engine hands it the marked parts one by one.
    virtual bool takesLongMessages() const { return false; }
    // The entry handed over last was answered with a refusal that keeps it
    // queued (a failed attempt or a halt): the centre or the modem said no,
    // so nothing of it went out.
    virtual bool submissionRefused() const { return m_submissionRefused; }
    // How many entries may be handed over before the first is answered:
    // submit() may be called again while fewer than this are unanswered.
    // Results may then come in any order; each names its entry.
    virtual int window() const { return 1; }

    // Receiving. A dialogue that can receive (messages, delivery reports)
    // hands what comes to the sink. While listening it keeps its connection
    // open between calls, or opens it on its own, so that nothing waits at
    // the modem or the centre; end() then ends the engine's call only.
    // Messages and reports that come during a call go to the sink as well.
    virtual void setIncomingSink(IncomingSink *sink) { m_sink = sink; }
    IncomingSink *incomingSink() const { return m_sink; }
    virtual bool canReceive() const { return false; }
    virtual void setListening(bool on) { Q_UNUSED(on); }
    // Listening and the connection stands, so the status line can say so.
    virtual bool isListening() const { return false; }
    // How the dialogue listens, for the status line ("GSM-Modem").
    virtual QString listeningVia() const { return QString(); }

Q_SIGNALS:
    // The connection stands and the dialogue logs in before it is ready.
    void loggingIn();
    void ready();
    void submitted(const CallDialogue::Result &result);
    // Why the call failed, in German as the status line names it; the
    // connection is closed already.
    void failed(const QString &reason);
    // A step of the connection for the call trace: connecting, the bytes
    // sent and received (secrets masked). Dialogues on a serial line leave
    // this to the line, which traces its own bytes.
    void traced(const QString &line);
    // Like failed(), but trying again on its own could do harm (a SIM that
    // refused its PIN locks itself after a few more tries): sending stops
    // until the user resumes it.
    void halted(const QString &reason);
    // isListening() changed.
    void listeningChanged();

protected:
    void setSubmissionRefused(bool refused) { m_submissionRefused = refused; }

private:
    bool m_submissionRefused = false;
    IncomingSink *m_sink = nullptr;
};
