#pragma once

#include "calldialogue.h"
#include "modemresult.h"
#include "ucp.h"

#include <QByteArray>
#include <QTimer>

class LentLine;
class SerialLine;
class Settings;

// A call through a Hayes modem on a serial line: open the port, write the
// dial line, wait for CONNECT (or carrier detect), write the entry as one
// UCP operation 01 frame with TRN 01, read the centre's answer, hang up by
// closing the port. One entry per call, unless several per call are asked
// for: then the entries follow one another in the same call with TRN 01,
// 02, ..., each once the one before is answered, until the queue is empty.
//
// The settings (port, modem command, provider's number) are read when the
// call begins. A port that cannot be used, a dial that the modem gives up
// (BUSY, NO CARRIER, ...), a line that breaks, a carrier that drops, an
// answer that does not come within the answer time-out, or a refusal that
// names neither the message nor the account (ucpRefusalOf) is a failure; a
// refusal of the account halts. A port that was found through its
// COMn entry in the data folder and has lost it (the device was pulled out
// and its link went with it) is reported as gone, not replaced by the
// built-in port of the same number, until the entry is back.
//
// The line is shared with the other dialogues on the serial port: the
// dialogue borrows it from the line's owner when its call begins and gives
// it back when the call ends.
class DialUpDialogue final : public CallDialogue
{
    Q_OBJECT

public:
    static constexpr int defaultAnswerTimeoutMs = 10'000;

    DialUpDialogue(SerialLine *line, const Settings *settings, QString programDir,
                   QObject *parent = nullptr);

    QString missingSetting() const override;
    void begin() override;
    void submit(const QueueEntry &entry) override;
    void end() override;
    void forgetPortLink() override { m_linkedPort = 0; }
    bool severalPerCall() const override { return m_severalPerCall; }

    // Off (the default): one entry per call. Takes effect at the next call.
    void setSeveralPerCall(bool on) { m_severalPerCall = on; }

    // How long the centre's answer to a frame is awaited.
    void setAnswerTimeoutMs(int ms) { m_answerTimer.setInterval(ms); }
    int answerTimeoutMs() const { return m_answerTimer.interval(); }

private:
    enum class Phase { Closed, Dialling, Connected, Submitting };

    void onReadyRead();
    void onCarrierDetect(bool on);
    void onLineBroken();
    void onAnswerTimeout();
    void handleAnswerBytes(const QByteArray &bytes);
    void connectionStands();
    void fail(const QString &reason);

    LentLine *m_line;
    const Settings *m_settings;
    QString m_programDir;
    QTimer m_answerTimer;
    Phase m_phase = Phase::Closed;
    ModemLineBuffer m_modemLines;
    QByteArray m_answerBuffer;
    bool m_severalPerCall = false;
    // The TRN of the frame under way; the next frame of the call takes the
    // following one.
    UcpTrn m_trn;
    bool m_submittedThisCall = false;
    // The port whose COMn entry was there at the last call, 0 for none.
    int m_linkedPort = 0;
    // Why the line broke, as the line said it.
    QString m_lineError;
};
