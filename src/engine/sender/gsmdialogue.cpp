#include "gsmdialogue.h"

#include "atresponse.h"
#include "clock.h"
#include "cmserror.h"
#include "comport.h"
#include "connectionkinds.h"
#include "lineowner.h"
#include "serialline.h"
#include "settings.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

constexpr char ctrlZ = 0x1A;
constexpr char esc = 0x1B;

QString failedLineBroken()
{
    return QCoreApplication::translate("GsmDialogue", "Leitung unterbrochen");
}

} // namespace

GsmDialogue::GsmDialogue(SerialLine *line, const Settings *settings, QString programDir,
                         std::function<GsmAccount()> account, QObject *parent)
    : CallDialogue(parent), m_line(LineOwner::of(line)->lineFor(this)), m_settings(settings),
      m_programDir(std::move(programDir)), m_account(std::move(account)), m_channel(m_line),
      m_receiver(&m_channel, [this] { return incomingSink(); })
{
    connect(&m_channel, &AtChannel::broken, this, &GsmDialogue::onLineBroken);
    connect(&m_receiver, &GsmReceiver::traced, this, &CallDialogue::traced);
    // Calls, network registration, cell broadcasts: these reports need
    // nothing beyond being kept out of the answers. Messages and status
    // reports are the receiver's.
    static const QRegularExpression reports(u"RING|\\+(CRING|CLIP|CREG|CGREG|CEREG|CMT|CBM):.*"_s);
    m_channel.addUrcHandler(reports, [](const QRegularExpressionMatch &) {});
    m_reopen.setSingleShot(true);
    m_reopen.setInterval(defaultReopenPaceMs);
    connect(&m_reopen, &QTimer::timeout, this, [this] {
        if (m_listening && m_step == Step::Closed)
            open();
    });
}

void GsmDialogue::setClock(const Clock *clock)
{
    m_clock = clock;
    m_receiver.setNow(
        [this] { return m_clock ? m_clock->now().toUTC() : QDateTime::currentDateTimeUtc(); });
}

QString GsmDialogue::missingSetting() const
{
    const GsmAccount account = m_account();
    if (QString missing = ConnectionKinds::rule(SettingField::SimPin).missing(account.pin);
        !missing.isEmpty())
        return missing;
    return ConnectionKinds::rule(SettingField::SmsCentre).missing(account.centre);
}

void GsmDialogue::begin()
{
    m_inCall = true;
    if (stands()) {
        Q_EMIT ready();
        return;
    }
    // Ready once the set-up under way is done.
    if (m_step == Step::Closed)
        open();
}

void GsmDialogue::open()
{
    m_reopen.stop();
    m_current = m_account();
    m_current.pin = m_current.pin.trimmed();
    m_line->borrow();
    if (const QString problem = openComPort(m_line, *m_settings, m_programDir, &m_linkedPort);
        !problem.isEmpty()) {
        fail(problem);
        return;
    }
    m_channel.start();
    // A modem still waiting for a PDU (a call that ended before its prompt
    // came) drops it at ESC and answers OK; in command mode ESC is ignored.
    // That OK may be taken for the answer to ATE0 and each answer after it
    // for the next command's, until AT+CPIN?, which waits for its +CPIN line.
    m_channel.writeRaw(QByteArray(1, esc));
    command(Step::EchoOff, "ATE0");
}

bool GsmDialogue::stands() const
{
    return m_step == Step::Connected || m_step == Step::Prompt || m_step == Step::PartAccepted;
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
    m_recipient = entry.recipient;
    m_reports.clear();
    m_reference = taken ? taken->reference : concatenated ? m_progress->takeReference() : 0;
    const Gsm::SubmitPdus pdus = Gsm::buildSubmitPdus(
        entry.recipient, entry.nachricht, m_current.centre, m_reference, m_current.deliveryReports);
    if (!pdus.error.isEmpty()) {
        // It never will go out as it stands, and would block every entry
        // behind it.
        answer(Result{false, QString(), pdus.error, Gsm::errorMeaning(pdus.error)});
        return;
    }
    m_parts = pdus.parts;
    m_part = taken && taken->accepted < m_parts.size() ? taken->accepted : 0;
    sendPart();
}

void GsmDialogue::end()
{
    m_inCall = false;
    if (m_step == Step::Closed)
        return;
    // A listening connection stands on between calls, unless the call ended
    // in the middle of a part: its answer belongs to no call any more.
    if (m_listening && m_step != Step::Prompt && m_step != Step::PartAccepted)
        return;
    close();
    if (m_listening)
        m_reopen.start();
}

void GsmDialogue::close()
{
    m_step = Step::Closed;
    m_receiver.stop();
    m_channel.stop();
    m_parts.clear();
    m_line->close();
    m_line->giveBack();
    noteListening();
}

void GsmDialogue::setListening(bool on)
{
    m_listening = on;
    if (on && m_step == Step::Closed && !m_reopen.isActive()) {
        open();
    } else if (!on) {
        m_reopen.stop();
        if (!m_inCall)
            close();
    }
    noteListening();
}

bool GsmDialogue::isListening() const
{
    return m_listening && stands();
}

QString GsmDialogue::listeningVia() const
{
    // As the configuration window names the kind.
    return ConnectionKinds::of(ConnectionKind::Gsm).caption();
}

void GsmDialogue::noteListening()
{
    if (isListening() == m_wasListening)
        return;
    m_wasListening = isListening();
    Q_EMIT listeningChanged();
}

void GsmDialogue::command(Step step, const QByteArray &text)
{
    m_step = step;
    m_command = text;
    AtChannel::Command command;
    command.text = text;
    command.timeoutMs = m_commandTimeoutMs;
    command.onLine = [this](const At::Response &line) { onLine(line); };
    command.onFinal = [this](const At::Response &result) { return onFinal(result); };
    command.onTimeout = [this] { onTimeout(); };
    if (step == Step::Prompt) {
        command.onPrompt = [this] { return onPrompt(); };
        // The network's answer to the PDU can take long.
        command.afterPromptTimeoutMs = m_submitTimeoutMs;
    }
    m_channel.send(std::move(command));
}

void GsmDialogue::sendPart()
{
    command(Step::Prompt, "AT+CMGS=" + QByteArray::number(m_parts.at(m_part).tpduLength));
}

void GsmDialogue::onLine(const At::Response &line)
{
    if (m_step == Step::PinState && line.text.startsWith("+CPIN:")) {
        QByteArrayView state = QByteArrayView(line.text).sliced(6).trimmed();
        if (state.size() >= 2 && state.startsWith('"') && state.endsWith('"'))
            state = state.sliced(1, state.size() - 2);
        m_pinState = state.toByteArray();
    } else if (m_step == Step::PartAccepted && line.text.startsWith("+CMGS:")) {
        m_partTaken = true;
        m_messageReference = line.text.sliced(6).trimmed().toInt();
    }
}

bool GsmDialogue::onFinal(const At::Response &result)
{
    switch (m_step) {
    case Step::Closed:
    case Step::Receiving:
    case Step::Connected:
        return true;
    case Step::EchoOff:
    case Step::ErrorCodes:
    case Step::PinState:
    case Step::PinEntry:
    case Step::PduMode:
        return settingUp(result);
    case Step::Prompt:
        // Before the prompt an OK answers some earlier command.
        if (result.kind == At::Response::Ok)
            return false;
        partRefused(result);
        return true;
    case Step::PartAccepted:
        return partAnswer(result);
    }
    return true;
}

bool GsmDialogue::settingUp(const At::Response &result)
{
    const bool ok = result.kind == At::Response::Ok;
    switch (m_step) {
    case Step::EchoOff:
        if (ok)
            command(Step::ErrorCodes, "AT+CMEE=1");
        else
            fail(tr("Modem lehnt ATE0 ab (%1)").arg(At::errorText(result)));
        return true;
    case Step::ErrorCodes:
        // Without numeric error codes the modem's words are shown instead.
        m_pinState.reset();
        command(Step::PinState, "AT+CPIN?");
        return true;
    case Step::PinState:
        if (!ok) {
            fail(tr("SIM-Karte nicht bereit (%1)").arg(At::errorText(result)));
            return true;
        }
        // Without the state this OK answered an earlier command.
        if (!m_pinState)
            return false;
        pinStateKnown();
        return true;
    case Step::PinEntry:
        if (ok) {
            command(Step::PduMode, "AT+CMGF=0");
        } else {
            pinRefused(tr("SIM-Karte lehnt die PIN ab (%1)").arg(At::errorText(result)));
        }
        return true;
    case Step::PduMode:
        if (ok) {
            m_step = Step::Receiving;
            m_receiver.setUp(m_commandTimeoutMs, [this] { setUpDone(); });
        } else {
            fail(tr("Modem kann keine SMS im PDU-Modus senden (%1)").arg(At::errorText(result)));
        }
        return true;
    case Step::Closed:
    case Step::Receiving:
    case Step::Connected:
    case Step::Prompt:
    case Step::PartAccepted:
        break;
    }
    return true;
}

void GsmDialogue::setUpDone()
{
    m_step = Step::Connected;
    noteListening();
    if (m_inCall)
        Q_EMIT ready();
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

QByteArray GsmDialogue::onPrompt()
{
    m_step = Step::PartAccepted;
    m_partTaken = false;
    return m_parts.at(m_part).hex + ctrlZ;
}

bool GsmDialogue::partAnswer(const At::Response &result)
{
    if (result.kind != At::Response::Ok) {
        partRefused(result);
        return true;
    }
    // Without +CMGS this OK answered something else.
    if (!m_partTaken)
        return false;
    if (m_current.deliveryReports) {
        m_reports.append(
            ExpectedReport{int(m_part), m_recipient, QString::number(m_messageReference)});
    }
    if (++m_part < m_parts.size()) {
        m_progress->setParts(m_entryId, {m_reference, int(m_part)});
        sendPart();
        return true;
    }
    m_step = Step::Connected;
    m_parts.clear();
    m_progress->forget(m_entryId);
    answer(Result{true, QString()});
    return true;
}

void GsmDialogue::partRefused(const At::Response &result)
{
    bool numeric = false;
    const int code = result.detail.toInt(&numeric);
    if (result.kind == At::Response::CmsError && numeric) {
        const Gsm::CmsError cms = Gsm::cmsError(code);
        if (!cms.temporary) {
            // The parts before went out; the rest never will.
            const QString cmsCode = u"CMS "_s + QString::number(code);
            m_step = Step::Connected;
            m_parts.clear();
            m_progress->forget(m_entryId);
            answer(Result{false, cmsCode, cmsCode, cms.text});
            return;
        }
    }
    // Refused before any part of the entry was taken: none of it went out.
    setSubmissionRefused(m_part == 0);
    fail(tr("SMS nicht versandt (%1)").arg(At::errorText(result)));
}

void GsmDialogue::answer(Result result)
{
    result.entryId = m_entryId;
    result.reports = std::exchange(m_reports, {});
    Q_EMIT submitted(result);
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
    case Step::Receiving:
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
    close();
    if (m_listening)
        m_reopen.start();
    if (std::exchange(m_inCall, false)) {
        Q_EMIT failed(reason);
    } else {
        Q_EMIT traced(reason);
        if (m_listening)
            Q_EMIT traced(tr("Verbindung zum Modem wird in %1 s neu aufgebaut")
                              .arg(m_reopen.interval() / 1000));
    }
}

void GsmDialogue::halt(const QString &reason)
{
    // Opening again on its own could cost the SIM another try: the next
    // call (after the user resumed sending) opens it.
    close();
    if (std::exchange(m_inCall, false))
        Q_EMIT halted(reason);
    else
        Q_EMIT traced(reason);
}

void GsmDialogue::pinRefused(const QString &reason)
{
    m_refusedPin = m_current.pin;
    if (m_notePinRefusal)
        m_notePinRefusal(m_current.pin);
    halt(reason);
}
