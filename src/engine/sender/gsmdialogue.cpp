#include "gsmdialogue.h"

#include "cmserror.h"
#include "comport.h"
#include "serialline.h"
#include "settings.h"

#include <QCoreApplication>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

constexpr char ctrlZ = 0x1A;
constexpr char esc = 0x1B;

QString failedLineBroken()
{
    return QCoreApplication::translate("GsmDialogue", "Leitung unterbrochen");
}

// How the modem ends a command.
struct FinalResult
{
    enum Kind { None, Ok, Error, CmeError, CmsError };
    Kind kind = None;
    QByteArrayView detail; // after "+CME ERROR:" or "+CMS ERROR:"
};

FinalResult finalResult(QByteArrayView line)
{
    if (line == "OK")
        return {FinalResult::Ok, {}};
    if (line == "ERROR")
        return {FinalResult::Error, {}};
    if (line.startsWith("+CME ERROR:"))
        return {FinalResult::CmeError, line.sliced(11).trimmed()};
    if (line.startsWith("+CMS ERROR:"))
        return {FinalResult::CmsError, line.sliced(11).trimmed()};
    return {};
}

// The +CME ERROR codes of TS 27.007 that concern the SIM and the network.
QString cmeMeaning(int code)
{
    switch (code) {
    case 3:
        return QCoreApplication::translate("GsmDialogue", "Vorgang nicht erlaubt");
    case 4:
        return QCoreApplication::translate("GsmDialogue", "Vorgang nicht unterstützt");
    case 10:
        return QCoreApplication::translate("GsmDialogue", "keine SIM-Karte eingelegt");
    case 11:
        return QCoreApplication::translate("GsmDialogue", "SIM-PIN erforderlich");
    case 12:
        return QCoreApplication::translate("GsmDialogue", "SIM-PUK erforderlich");
    case 13:
        return QCoreApplication::translate("GsmDialogue", "SIM-Karte defekt");
    case 14:
        return QCoreApplication::translate("GsmDialogue", "SIM-Karte beschäftigt");
    case 15:
        return QCoreApplication::translate("GsmDialogue", "falsche SIM-Karte");
    case 16:
        return QCoreApplication::translate("GsmDialogue", "falsche PIN");
    case 17:
        return QCoreApplication::translate("GsmDialogue", "SIM-PIN2 erforderlich");
    case 18:
        return QCoreApplication::translate("GsmDialogue", "SIM-PUK2 erforderlich");
    case 30:
        return QCoreApplication::translate("GsmDialogue", "kein Netz");
    case 31:
        return QCoreApplication::translate("GsmDialogue", "Zeitüberschreitung im Netz");
    }
    return QCoreApplication::translate("GsmDialogue", "unbekannter Fehler");
}

// A final result other than OK as the user reads it: "ERROR",
// "CME 16: falsche PIN", "CMS 42: Netz überlastet", or the modem's own words
// when AT+CMEE=1 did not take and it answers in text.
QString errorText(const FinalResult &result)
{
    bool numeric = false;
    const int code = result.detail.toInt(&numeric);
    switch (result.kind) {
    case FinalResult::CmeError:
        if (numeric)
            return u"CME "_s + QString::number(code) + u": "_s + cmeMeaning(code);
        break;
    case FinalResult::CmsError:
        if (numeric)
            return u"CMS "_s + QString::number(code) + u": "_s + Gsm::cmsError(code).text;
        break;
    case FinalResult::None:
    case FinalResult::Ok:
    case FinalResult::Error:
        return u"ERROR"_s;
    }
    return QString::fromLatin1(result.detail);
}

bool isPin(QStringView pin)
{
    if (pin.size() < 4 || pin.size() > 8)
        return false;
    for (QChar c : pin) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

} // namespace

GsmDialogue::GsmDialogue(SerialLine *line, const Settings *settings, QString programDir,
                         std::function<GsmAccount()> account, QObject *parent)
    : CallDialogue(parent), m_line(line), m_settings(settings), m_programDir(std::move(programDir)),
      m_account(std::move(account))
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &GsmDialogue::onTimeout);
    connect(m_line, &SerialLine::readyRead, this, &GsmDialogue::onReadyRead);
    connect(m_line, &SerialLine::closedByError, this, &GsmDialogue::onLineBroken);
}

QString GsmDialogue::missingSetting() const
{
    // A PIN that cannot be right would cost one of the SIM's three tries.
    const GsmAccount account = m_account();
    if (!account.pin.trimmed().isEmpty() && !isPin(account.pin.trimmed()))
        return tr("Die PIN der SIM-Karte muss aus 4 bis 8 Ziffern bestehen");
    if (!Gsm::encodeCentre(account.centre))
        return tr("Die Nummer der Nachrichtenzentrale hat mehr als 20 Ziffern");
    return {};
}

void GsmDialogue::begin()
{
    end();
    m_current = m_account();
    m_current.pin = m_current.pin.trimmed();
    if (const QString problem = openComPort(m_line, *m_settings, m_programDir, &m_linkedPort);
        !problem.isEmpty()) {
        fail(problem);
        return;
    }
    // A modem still waiting for a PDU (a call that ended before its prompt
    // came) drops it at ESC and answers OK; in command mode ESC is ignored.
    // That OK may be taken for the answer to ATE0 and each answer after it
    // for the next command's, until AT+CPIN?, which waits for its +CPIN line.
    m_line->write(QByteArray(1, esc));
    command(Step::EchoOff, "ATE0");
}

void GsmDialogue::submit(const QueueEntry &entry)
{
    if (m_step != Step::Connected)
        return;
    setSubmissionRefused(false);
    if (!Gsm::encodeCentre(m_current.centre)) {
        // Not the entry's fault: it stays for when the setting is mended.
        fail(tr("Die Nummer der Nachrichtenzentrale hat mehr als 20 Ziffern"));
        return;
    }
    // An entry whose first parts were taken by an earlier call goes on where
    // that call stopped; a new message in several parts takes a reference of
    // its own.
    const bool concatenated = Gsm::planMessage(entry.nachricht).parts > 1;
    const std::optional<ConcatenationProgress::Parts> taken =
        concatenated ? m_progress->parts(entry.id) : std::nullopt;
    m_entryId = entry.id;
    m_reference = taken ? taken->reference : concatenated ? m_progress->takeReference() : 0;
    const Gsm::SubmitPdus pdus =
        Gsm::buildSubmitPdus(entry.natelNummer, entry.nachricht, m_current.centre, m_reference);
    if (!pdus.error.isEmpty()) {
        // It never will go out as it stands, and would block every entry
        // behind it.
        Q_EMIT submitted(Result{false, QString(), pdus.error, Gsm::errorMeaning(pdus.error)});
        return;
    }
    m_parts = pdus.parts;
    m_part = taken && taken->accepted < m_parts.size() ? taken->accepted : 0;
    sendPart();
}

void GsmDialogue::end()
{
    m_step = Step::Closed;
    m_timer.stop();
    m_lines.clear();
    m_parts.clear();
    m_line->close();
}

void GsmDialogue::command(Step step, const QByteArray &text)
{
    m_step = step;
    m_command = text;
    m_timer.start(m_commandTimeoutMs);
    if (!m_line->write(text + '\r'))
        fail(failedLineBroken());
}

void GsmDialogue::sendPart()
{
    command(Step::Prompt, "AT+CMGS=" + QByteArray::number(m_parts.at(m_part).tpduLength));
}

void GsmDialogue::onReadyRead()
{
    // The line is shared with the other dialogues on the serial port: a
    // dialogue that leads no call leaves the bytes to the one that does.
    if (m_step == Step::Closed)
        return;
    const QByteArray bytes = m_line->readAll();
    for (const QByteArray &line : m_lines.feed(bytes)) {
        handleLine(line.trimmed());
        if (m_step == Step::Closed)
            return;
    }
    // The prompt ends no line: the modem waits for the PDU after it.
    if (m_step == Step::Prompt && m_lines.unfinished().trimmed() == ">") {
        m_lines.clear();
        onPrompt();
    }
}

void GsmDialogue::handleLine(QByteArrayView line)
{
    switch (m_step) {
    case Step::Closed:
    case Step::Connected:
        return;
    case Step::EchoOff:
    case Step::ErrorCodes:
    case Step::PinState:
    case Step::PinEntry:
    case Step::PduMode:
        settingUp(line);
        return;
    case Step::Prompt:
        // A modem may end the prompt with a line end after all.
        if (line == ">") {
            onPrompt();
        } else if (const FinalResult::Kind kind = finalResult(line).kind;
                   kind != FinalResult::None && kind != FinalResult::Ok) {
            partRefused(line);
        }
        return;
    case Step::PartAccepted:
        partAnswer(line);
        return;
    }
}

void GsmDialogue::settingUp(QByteArrayView line)
{
    const FinalResult result = finalResult(line);
    switch (m_step) {
    case Step::EchoOff:
        if (result.kind == FinalResult::Ok)
            command(Step::ErrorCodes, "AT+CMEE=1");
        else if (result.kind != FinalResult::None)
            fail(tr("Modem lehnt ATE0 ab (%1)").arg(errorText(result)));
        return;
    case Step::ErrorCodes:
        // Without numeric error codes the modem's words are shown instead.
        if (result.kind != FinalResult::None) {
            m_pinState.reset();
            command(Step::PinState, "AT+CPIN?");
        }
        return;
    case Step::PinState:
        if (line.startsWith("+CPIN:")) {
            QByteArrayView state = line.sliced(6).trimmed();
            if (state.size() >= 2 && state.startsWith('"') && state.endsWith('"'))
                state = state.sliced(1, state.size() - 2);
            m_pinState = state.toByteArray();
        } else if (result.kind == FinalResult::Ok) {
            // Without the state this OK answered an earlier command.
            if (m_pinState)
                pinStateKnown();
        } else if (result.kind != FinalResult::None) {
            fail(tr("SIM-Karte nicht bereit (%1)").arg(errorText(result)));
        }
        return;
    case Step::PinEntry:
        if (result.kind == FinalResult::Ok) {
            command(Step::PduMode, "AT+CMGF=0");
        } else if (result.kind != FinalResult::None) {
            pinRefused(tr("SIM-Karte lehnt die PIN ab (%1)").arg(errorText(result)));
        }
        return;
    case Step::PduMode:
        if (result.kind == FinalResult::Ok) {
            m_step = Step::Connected;
            m_timer.stop();
            Q_EMIT ready();
        } else if (result.kind != FinalResult::None) {
            fail(tr("Modem kann keine SMS im PDU-Modus senden (%1)").arg(errorText(result)));
        }
        return;
    case Step::Closed:
    case Step::Connected:
    case Step::Prompt:
    case Step::PartAccepted:
        return;
    }
}

void GsmDialogue::pinStateKnown()
{
    const QByteArray state = *std::exchange(m_pinState, std::nullopt);
    if (state == "READY") {
        command(Step::PduMode, "AT+CMGF=0");
    } else if (state == "SIM PIN") {
        if (m_current.pin.isEmpty()) {
            fail(tr("SIM-Karte verlangt eine PIN, aber keine ist konfiguriert"));
        } else if (m_current.pinRefused || m_current.pin == m_refusedPin) {
            // A second wrong try brings the SIM one step nearer to its lock.
            halt(tr("Diese PIN hat die SIM-Karte nicht angenommen; sie wird nicht noch "
                    "einmal gesendet"));
        } else {
            command(Step::PinEntry, "AT+CPIN=\"" + m_current.pin.toLatin1() + '"');
        }
    } else if (state == "SIM PUK") {
        fail(tr("SIM-Karte gesperrt: PUK erforderlich"));
    } else {
        fail(tr("SIM-Karte nicht bereit (+CPIN: %1)").arg(QString::fromLatin1(state)));
    }
}

void GsmDialogue::onPrompt()
{
    m_step = Step::PartAccepted;
    m_partTaken = false;
    m_timer.start(m_submitTimeoutMs);
    if (!m_line->write(m_parts.at(m_part).hex + ctrlZ))
        fail(failedLineBroken());
}

void GsmDialogue::partAnswer(QByteArrayView line)
{
    if (line.startsWith("+CMGS:")) {
        m_partTaken = true;
        return;
    }
    const FinalResult result = finalResult(line);
    if (result.kind == FinalResult::None)
        return;
    if (result.kind != FinalResult::Ok) {
        partRefused(line);
        return;
    }
    // Without +CMGS this OK answered something else.
    if (!m_partTaken)
        return;
    if (++m_part < m_parts.size()) {
        m_progress->setParts(m_entryId, {m_reference, int(m_part)});
        sendPart();
        return;
    }
    m_step = Step::Connected;
    m_timer.stop();
    m_parts.clear();
    m_progress->forget(m_entryId);
    Q_EMIT submitted(Result{true, QString()});
}

void GsmDialogue::partRefused(QByteArrayView line)
{
    const FinalResult result = finalResult(line);
    bool numeric = false;
    const int code = result.detail.toInt(&numeric);
    if (result.kind == FinalResult::CmsError && numeric) {
        const Gsm::CmsError cms = Gsm::cmsError(code);
        if (!cms.temporary) {
            // The parts before went out; the rest never will.
            const QString cmsCode = u"CMS "_s + QString::number(code);
            m_step = Step::Connected;
            m_timer.stop();
            m_parts.clear();
            m_progress->forget(m_entryId);
            Q_EMIT submitted(Result{false, cmsCode, cmsCode, cms.text});
            return;
        }
    }
    // Refused before any part of the entry was taken: none of it went out.
    setSubmissionRefused(m_part == 0);
    fail(tr("SMS nicht versandt (%1)").arg(errorText(result)));
}

void GsmDialogue::onLineBroken()
{
    if (m_step != Step::Closed)
        fail(failedLineBroken());
}

void GsmDialogue::onTimeout()
{
    switch (m_step) {
    case Step::Closed:
    case Step::Connected:
        return;
    case Step::PinEntry:
        // The SIM may have counted the PIN as wrong. Had it taken the PIN,
        // it asks for none at the next call.
        pinRefused(tr("Keine Antwort des Modems auf die PIN"));
        return;
    case Step::PartAccepted:
        fail(tr("Keine Antwort des Modems auf die SMS"));
        return;
    case Step::EchoOff:
    case Step::ErrorCodes:
    case Step::PinState:
    case Step::PduMode:
    case Step::Prompt:
        fail(tr("Keine Antwort des Modems auf %1").arg(QString::fromLatin1(m_command)));
        return;
    }
}

void GsmDialogue::fail(const QString &reason)
{
    end();
    Q_EMIT failed(reason);
}

void GsmDialogue::halt(const QString &reason)
{
    end();
    Q_EMIT halted(reason);
}

void GsmDialogue::pinRefused(const QString &reason)
{
    m_refusedPin = m_current.pin;
    if (m_notePinRefusal)
        m_notePinRefusal(m_current.pin);
    halt(reason);
}
