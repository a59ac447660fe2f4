#include "dialupdialogue.h"

#include "comport.h"
#include "connectionkinds.h"
#include "lineowner.h"
#include "serialline.h"
#include "settings.h"
#include "ucp.h"

#include <QCoreApplication>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// How each way in which the modem gives up a dial is named.
QString modemFailureText(ModemResult result)
{
    switch (result) {
    case ModemResult::Busy:
        return QCoreApplication::translate("DialUpDialogue", "Besetzt");
    case ModemResult::NoCarrier:
        return QCoreApplication::translate("DialUpDialogue", "Keine Verbindung");
    case ModemResult::NoDialtone:
        return QCoreApplication::translate("DialUpDialogue", "Kein Wählton");
    case ModemResult::NoAnswer:
        return QCoreApplication::translate("DialUpDialogue", "Keine Antwort");
    case ModemResult::Error:
        return QCoreApplication::translate("DialUpDialogue", "Modemfehler");
    case ModemResult::Other:
    case ModemResult::Connect:
        break;
    }
    return {};
}

QString failedLineBroken()
{
    return QCoreApplication::translate("DialUpDialogue", "Leitung unterbrochen");
}

QString failedCarrierLost()
{
    return QCoreApplication::translate("DialUpDialogue", "Verbindung abgebrochen");
}

QString failedNoAnswer()
{
    return QCoreApplication::translate("DialUpDialogue", "Keine Antwort der Zentrale");
}

} // namespace

DialUpDialogue::DialUpDialogue(SerialLine *line, const Settings *settings, QString programDir,
                               QObject *parent)
    : CallDialogue(parent), m_line(LineOwner::of(line)->lineFor(this)), m_settings(settings),
      m_programDir(std::move(programDir))
{
    m_answerTimer.setSingleShot(true);
    m_answerTimer.setInterval(defaultAnswerTimeoutMs);
    connect(&m_answerTimer, &QTimer::timeout, this, &DialUpDialogue::onAnswerTimeout);

    connect(m_line, &SerialLine::readyRead, this, &DialUpDialogue::onReadyRead);
    connect(m_line, &SerialLine::carrierDetectChanged, this, &DialUpDialogue::onCarrierDetect);
    connect(m_line, &SerialLine::closedByError, this, &DialUpDialogue::onLineBroken);
    connect(m_line, &SerialLine::errorOccurred, this,
            [this](const QString &text) { m_lineError = text; });
}

QString DialUpDialogue::missingSetting() const
{
    return ConnectionKinds::rule(SettingField::ProviderNumber)
        .missing(m_settings->providerNummer());
}

void DialUpDialogue::begin()
{
    m_modemLines.clear();
    m_answerBuffer.clear();
    m_line->close();
    m_phase = Phase::Dialling;
    m_trn = UcpTrn();
    m_submittedThisCall = false;
    m_lineError.clear();

    m_line->borrow();
    if (const QString problem = openComPort(m_line, *m_settings, m_programDir, &m_linkedPort);
        !problem.isEmpty()) {
        fail(problem);
        return;
    }
    // Modem command, one blank, the provider's digits, CR. A modem aborts the
    // dial on any further byte, so nothing else is written until CONNECT.
    const QString dialLine =
        m_settings->initialisierungsBefehl() + u' ' + m_settings->providerNummer() + u'\r';
    m_line->write(dialLine.toLatin1());
}

void DialUpDialogue::submit(const QueueEntry &entry)
{
    if (m_phase != Phase::Connected)
        return;
    setSubmissionRefused(false);
    // The first frame of a call is 01, the one frame of a call with one
    // entry too.
    if (m_submittedThisCall)
        m_trn = m_trn.next();
    m_submittedThisCall = true;
    // The modem's CONNECT line and anything else from before the frame.
    m_line->clearInput();
    m_modemLines.clear();
    m_answerBuffer.clear();
    m_phase = Phase::Submitting;
    m_answerTimer.start();
    m_line->write(ucpFrameBytes(
        SMSSendString(entry.recipient, entry.nachricht, entry.rueckrufNummer, m_trn)));
}

void DialUpDialogue::end()
{
    // Closing the port drops DTR: the modem hangs up.
    m_phase = Phase::Closed;
    m_answerTimer.stop();
    m_line->close();
    m_line->giveBack();
}

void DialUpDialogue::onReadyRead()
{
    const QByteArray bytes = m_line->readAll();
    switch (m_phase) {
    case Phase::Closed:
    case Phase::Connected: // waiting for the entry; nothing to read yet
        return;
    case Phase::Dialling:
        for (const QByteArray &line : m_modemLines.feed(bytes)) {
            const ModemResult result = classifyModemLine(line);
            if (result == ModemResult::Other)
                continue;
            // Anything after the result is modem chatter that the
            // submission discards anyway.
            if (result == ModemResult::Connect)
                connectionStands();
            else
                fail(modemFailureText(result));
            return;
        }
        return;
    case Phase::Submitting:
        handleAnswerBytes(bytes);
        return;
    }
}

void DialUpDialogue::onCarrierDetect(bool on)
{
    if (on && m_phase == Phase::Dialling)
        connectionStands();
    else if (!on && m_phase == Phase::Submitting)
        fail(failedCarrierLost());
}

void DialUpDialogue::onLineBroken()
{
    fail(m_lineError.isEmpty() ? failedLineBroken() : failedLineBroken() + u": "_s + m_lineError);
}

void DialUpDialogue::onAnswerTimeout()
{
    if (m_phase == Phase::Submitting)
        fail(failedNoAnswer());
}

void DialUpDialogue::connectionStands()
{
    m_phase = Phase::Connected;
    Q_EMIT ready();
}

void DialUpDialogue::handleAnswerBytes(const QByteArray &bytes)
{
    m_answerBuffer.append(bytes);
    while (const std::optional<QByteArray> frame = takeUcpFrame(m_answerBuffer)) {
        const UcpReply reply = parseUcpReply(*frame);
        // Line noise or a stray frame: keep waiting for a valid answer until
        // the answer timer runs out.
        if (reply.kind == UcpReply::Kind::Invalid || reply.trn != m_trn.text())
            continue;
        m_answerTimer.stop();
        if (reply.kind == UcpReply::Kind::Nack) {
            switch (ucpRefusalOf(reply.errorCode)) {
            case UcpRefusal::Message:
                break;
            case UcpRefusal::Account:
                setSubmissionRefused(true);
                end();
                Q_EMIT halted(ucpAccountRefusal(reply.errorCode));
                return;
            case UcpRefusal::Attempt:
                setSubmissionRefused(true);
                fail(ucpFailedAttempt(reply.errorCode));
                return;
            }
        }
        m_phase = Phase::Connected;
        Q_EMIT submitted(Result{reply.kind == UcpReply::Kind::Ack, reply.errorCode});
        return;
    }
    // The modem reports the loss of the carrier once it is back in command
    // mode.
    for (const QByteArray &line : m_modemLines.feed(bytes)) {
        if (line.trimmed() == "NO CARRIER") {
            fail(failedCarrierLost());
            return;
        }
    }
}

void DialUpDialogue::fail(const QString &reason)
{
    end();
    Q_EMIT failed(reason);
}
