#pragma once

#include "atchannel.h"
#include "calldialogue.h"
#include "concatenationprogress.h"
#include "gsmpdu.h"
#include "gsmreceiver.h"

#include <QByteArray>
#include <QList>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class Clock;
class LentLine;
class SerialLine;
class Settings;

// What the GSM modem's SIM needs: its PIN (empty when it asks for none) and
// the service centre's number (empty: the one stored on the SIM); whether
// the SIM refused that PIN at an earlier call, of this run or an earlier one.
struct GsmAccount
{
    QString pin;
    QString centre;
    bool pinRefused = false;
    // Ask the network for a status report of each part (TP-SRR).
    bool deliveryReports = true;
};

// Sending through a GSM modem on a serial line (AT commands of TS 27.005 in
// PDU mode): open the port, switch the echo off and the error codes on,
// enter the SIM's PIN when it asks for one, choose PDU mode; then each entry
// goes out as one SMS-SUBMIT per part, each with AT+CMGS=<length>, the PDU
// after the modem's "> " prompt and Ctrl-Z, accepted with +CMGS: <mr> and
// OK. The commands go through an AtChannel: one under way at a time, each
// with its own time-out. Lines the modem sends on its own (RING, +CREG,
// +CMTI, echoes, empty lines) are passed over: only the answer awaited
// counts.
//
// A refusal for good (+CMS ERROR with a code about the message itself) is a
// submission refused with "CMS <n>" and the code's meaning; an entry that
// cannot be encoded is refused with the reason. A passing refusal (no
// network, a busy centre, a plain ERROR) fails the call, so the entry is
// tried again later. A PIN the SIM refuses halts sending: a
// SIM locks itself after three wrong PINs. That PIN is never sent again:
// while the setting holds it, a SIM that asks for its PIN halts sending at
// once. The refusal is told to the function given to notePinRefusal() (so
// that the account says so after a restart) and kept in memory as well.
//
// Of a message in several parts, each part the modem takes is noted for the
// entry (see ConcatenationProgress): a later call for the same entry goes on
// with the first part not taken, under the same reference.
//
// With delivery reports on, each part asks for a status report (TP-SRR) and
// the result names each part by the reference of its "+CMGS: <mr>".
//
// The modem also receives (see GsmReceiver, set up after PDU mode): the
// messages and reports it stores or hands over go to the incoming sink.
// While listening, the dialogue holds the port between calls, so that
// nothing waits in the modem: a call begun while the connection stands is
// ready at once, its end leaves the connection, and a connection that
// breaks is opened again after reopenPaceMs, quietly.
//
// The line is shared with the other dialogues on the serial port: the
// dialogue borrows it from the line's owner when it opens the port and
// gives it back when it closes it.
//
// The port and the account are read when the port opens. The connection
// costs nothing while it stands, so it is held open for more entries.
class GsmDialogue final : public CallDialogue
{
    Q_OBJECT

public:
    static constexpr int defaultCommandTimeoutMs = 10'000;
    // The network's answer to a PDU can take long.
    static constexpr int defaultSubmitTimeoutMs = 60'000;
    static constexpr qint64 holdMs = 30'000;
    static constexpr int defaultReopenPaceMs = 30'000;

    GsmDialogue(SerialLine *line, const Settings *settings, QString programDir,
                std::function<GsmAccount()> account, QObject *parent = nullptr);

    QString missingSetting() const override;
    void begin() override;
    void submit(const QueueEntry &entry) override;
    void end() override;
    void forgetPortLink() override { m_linkedPort = 0; }
    bool severalPerCall() const override { return true; }
    qint64 idleHoldMs() const override { return holdMs; }
    bool inUninterruptibleStep() const override { return m_step == Step::PinEntry; }

    // Keeps the parts taken and the references in this Daten.mdb from now
    // on; until then, in memory for the dialogue's life.
    void keepConcatenationIn(const QString &databasePath)
    {
        m_progress = std::make_unique<ConcatenationProgress>(databasePath);
    }
    bool takesLongMessages() const override { return true; }
    bool canReceive() const override { return true; }
    void setListening(bool on) override;
    bool isListening() const override;
    QString listeningVia() const override;
    // Time for received messages; the system's when none is given.
    void setClock(const Clock *clock);
    // How long a listening connection that broke waits to open again.
    void setReopenPaceMs(int ms) { m_reopen.setInterval(ms); }
    const GsmReceiver &receiver() const { return m_receiver; }
    // Called with the PIN the SIM refused or never answered.
    void notePinRefusal(std::function<void(const QString &pin)> note)
    {
        m_notePinRefusal = std::move(note);
    }

    // How long the answer to a set-up command and the prompt for a PDU are
    // awaited.
    void setAnswerTimeoutMs(int ms) { m_commandTimeoutMs = ms; }
    int answerTimeoutMs() const { return m_commandTimeoutMs; }
    // How long the answer to a PDU is awaited.
    void setSubmitTimeoutMs(int ms) { m_submitTimeoutMs = ms; }
    int submitTimeoutMs() const { return m_submitTimeoutMs; }

private:
    // The port whose COMn entry was there at the last call, 0 for none.
    int m_linkedPort = 0;
    // What the dialogue waits for.
    enum class Step {
        Closed,
        EchoOff,      // ATE0
        ErrorCodes,   // AT+CMEE=1
        PinState,     // AT+CPIN?
        PinEntry,     // AT+CPIN="<pin>"
        PduMode,      // AT+CMGF=0
        Receiving,    // the receiver's set-up
        Connected,    // nothing: ready for an entry
        Prompt,       // AT+CMGS=<length>: the "> " prompt
        PartAccepted, // the PDU: +CMGS: <mr> and OK
    };

    void open();
    void close();
    bool stands() const;
    void setUpDone();
    void noteListening();
    void onLineBroken();
    void onTimeout();
    void onLine(const At::Response &line);
    bool onFinal(const At::Response &result);
    bool settingUp(const At::Response &result);
    QByteArray onPrompt();
    void pinStateKnown();
    bool partAnswer(const At::Response &result);
    void command(Step step, const QByteArray &text);
    void sendPart();
    void partRefused(const At::Response &result);
    void answer(Result result);
    void fail(const QString &reason);
    void halt(const QString &reason);
    void pinRefused(const QString &reason);

    LentLine *m_line;
    const Settings *m_settings;
    QString m_programDir;
    std::function<GsmAccount()> m_account;
    GsmAccount m_current; // of the call under way
    AtChannel m_channel;
    GsmReceiver m_receiver;
    const Clock *m_clock = nullptr;
    // Between the engine's begin() and end().
    bool m_inCall = false;
    bool m_listening = false;
    bool m_wasListening = false;
    QTimer m_reopen;
    int m_commandTimeoutMs = defaultCommandTimeoutMs;
    int m_submitTimeoutMs = defaultSubmitTimeoutMs;
    Step m_step = Step::Closed;
    QByteArray m_command;                 // the one under way, without CR
    std::optional<QByteArray> m_pinState; // of +CPIN: ..., while it is asked
    bool m_partTaken = false;             // +CMGS: <mr> came for the part under way
    int m_messageReference = 0;           // its <mr>
    QString m_recipient;
    QList<ExpectedReport> m_reports; // of the parts taken
    QList<Gsm::SubmitPdu> m_parts;
    qsizetype m_part = 0;
    // The entry under way and the concatenation reference of its parts.
    quint64 m_entryId = 0;
    quint8 m_reference = 0;
    std::unique_ptr<ConcatenationProgress> m_progress = std::make_unique<ConcatenationProgress>();
    // The PIN the SIM refused last; empty when none was.
    QString m_refusedPin;
    std::function<void(const QString &pin)> m_notePinRefusal;
};
