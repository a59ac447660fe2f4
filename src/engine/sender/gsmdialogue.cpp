#include "gsmdialogue.h"

#include "cmserror.h"
#include "comport.h"
#include "serialline.h"
#include "settings.h"

#include <utility>

using namespace Qt::StringLiterals;

namespace {

constexpr char ctrlZ = 0x1A;
constexpr char esc = 0x1B;

const QString failedLineBroken = QStringLiteral("Leitung unterbrochen");

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
        return u"Vorgang nicht erlaubt"_s;
    case 4:
        return u"Vorgang nicht unterstützt"_s;
    case 10:
        return u"keine SIM-Karte eingelegt"_s;
    case 11:
        return u"SIM-PIN erforderlich"_s;
    case 12:
        return u"SIM-PUK erforderlich"_s;
    case 13:
        return u"SIM-Karte defekt"_s;
    case 14:
        return u"SIM-Karte beschäftigt"_s;
    case 15:
        return u"falsche SIM-Karte"_s;
    case 16:
        return u"falsche PIN"_s;
    case 17:
        return u"SIM-PIN2 erforderlich"_s;
    case 18:
        return u"SIM-PUK2 erforderlich"_s;
    case 30:
        return u"kein Netz"_s;
    case 31:
        return u"Zeitüberschreitung im Netz"_s;
    }
    return u"unbekannter Fehler"_s;
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
        return u"Die PIN der SIM-Karte muss aus 4 bis 8 Ziffern bestehen"_s;
    if (!Gsm::encodeCentre(account.centre))
        return u"Die Nummer der Nachrichtenzentrale hat mehr als 20 Ziffern"_s;
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
    if (!Gsm::encodeCentre(m_current.centre)) {
        // Not the entry's fault: it stays for when the setting is mended.
        fail(u"Die Nummer der Nachrichtenzentrale hat mehr als 20 Ziffern"_s);
        return;
    }
    const Gsm::SubmitPdus pdus =
        Gsm::buildSubmitPdus(entry.natelNummer, entry.nachricht, m_current.centre, m_reference++);
    if (!pdus.error.isEmpty()) {
        // It never will go out as it stands, and would block every entry
        // behind it.
        Q_EMIT submitted(Result{false, QString(), pdus.error, pdus.error});
        return;
    }
    m_parts = pdus.parts;
    m_part = 0;
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
        fail(failedLineBroken);
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
            fail(u"Modem lehnt ATE0 ab ("_s + errorText(result) + u')');
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
            fail(u"SIM-Karte nicht bereit ("_s + errorText(result) + u')');
        }
        return;
    case Step::PinEntry:
        if (result.kind == FinalResult::Ok)
            command(Step::PduMode, "AT+CMGF=0");
        else if (result.kind != FinalResult::None)
            halt(u"SIM-Karte lehnt die PIN ab ("_s + errorText(result) + u')');
        return;
    case Step::PduMode:
        if (result.kind == FinalResult::Ok) {
            m_step = Step::Connected;
            m_timer.stop();
            Q_EMIT ready();
        } else if (result.kind != FinalResult::None) {
            fail(u"Modem kann keine SMS im PDU-Modus senden ("_s + errorText(result) + u')');
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
        if (m_current.pin.isEmpty())
            fail(u"SIM-Karte verlangt eine PIN, aber keine ist konfiguriert"_s);
        else
            command(Step::PinEntry, "AT+CPIN=\"" + m_current.pin.toLatin1() + '"');
    } else if (state == "SIM PUK") {
        fail(u"SIM-Karte gesperrt: PUK erforderlich"_s);
    } else {
        fail(u"SIM-Karte nicht bereit (+CPIN: "_s + QString::fromLatin1(state) + u')');
    }
}

void GsmDialogue::onPrompt()
{
    m_step = Step::PartAccepted;
    m_partTaken = false;
    m_timer.start(m_submitTimeoutMs);
    if (!m_line->write(m_parts.at(m_part).hex + ctrlZ))
        fail(failedLineBroken);
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
        sendPart();
        return;
    }
    m_step = Step::Connected;
    m_timer.stop();
    m_parts.clear();
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
            Q_EMIT submitted(Result{false, cmsCode, cmsCode, cms.text});
            return;
        }
    }
    fail(u"SMS nicht versandt ("_s + errorText(result) + u')');
}

void GsmDialogue::onLineBroken()
{
    if (m_step != Step::Closed)
        fail(failedLineBroken);
}

void GsmDialogue::onTimeout()
{
    switch (m_step) {
    case Step::Closed:
    case Step::Connected:
        return;
    case Step::PinEntry:
        // The SIM may have counted the PIN as wrong.
        halt(u"Keine Antwort des Modems auf die PIN"_s);
        return;
    case Step::PartAccepted:
        fail(u"Keine Antwort des Modems auf die SMS"_s);
        return;
    case Step::EchoOff:
    case Step::ErrorCodes:
    case Step::PinState:
    case Step::PduMode:
    case Step::Prompt:
        fail(u"Keine Antwort des Modems auf "_s + QString::fromLatin1(m_command));
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
