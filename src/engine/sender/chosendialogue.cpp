#include "chosendialogue.h"

#include "connectionkinds.h"

using namespace Qt::StringLiterals;

ChosenDialogue::ChosenDialogue(const ConnectionSettings *settings, QObject *parent)
    : CallDialogue(parent), m_settings(settings)
{
    connect(m_settings, &ConnectionSettings::changed, this, &ChosenDialogue::onSettingsChanged);
}

ChosenDialogue::ChosenDialogue(ConnectionSettings *settings, const DialogueNeeds &needs,
                               QObject *parent)
    : ChosenDialogue(settings, parent)
{
    for (const ConnectionKindRow &row : ConnectionKinds::all())
        setDialogue(row.kind, row.makeDialogue(needs));
}

void ChosenDialogue::setDialogue(ConnectionKind kind, CallDialogue *dialogue)
{
    m_dialogues.insert(kind, dialogue);
    connect(dialogue, &CallDialogue::traced, this, &CallDialogue::traced);
    connect(dialogue, &CallDialogue::listeningChanged, this, &CallDialogue::listeningChanged);
    dialogue->setIncomingSink(incomingSink());
    connect(dialogue, &CallDialogue::loggingIn, this, [this] {
        if (fromActive())
            Q_EMIT loggingIn();
    });
    connect(dialogue, &CallDialogue::ready, this, [this] {
        if (!fromActive())
            return;
        m_busy = false;
        Q_EMIT ready();
    });
    connect(dialogue, &CallDialogue::submitted, this, [this](const CallDialogue::Result &result) {
        if (!fromActive())
            return;
        m_busy = false;
        Q_EMIT submitted(result);
    });
    // Either way the connection is over and the next begins anew.
    for (auto ending : {&CallDialogue::failed, &CallDialogue::halted}) {
        connect(dialogue, ending, this, [this, ending](const QString &reason) {
            if (!fromActive())
                return;
            m_busy = false;
            m_active = nullptr;
            Q_EMIT(this->*ending)(reason);
        });
    }
}

bool ChosenDialogue::fromActive() const
{
    return m_active && sender() == m_active;
}

CallDialogue *ChosenDialogue::chosen() const
{
    CallDialogue *dialogue = m_dialogues.value(m_settings->values().kind);
    if (!dialogue)
        qFatal("ChosenDialogue: a connection kind without a dialogue");
    return dialogue;
}

CallDialogue *ChosenDialogue::current() const
{
    return m_active ? m_active.data() : chosen();
}

QString ChosenDialogue::missingSetting() const
{
    if (QString missing = current()->missingSetting(); !missing.isEmpty())
        return missing;
    // A secret that the keyring holds but has not given is missing as much
    // as one never entered: a login with an empty password, or a PIN the
    // SIM would count as wrong, must not go out.
    const ConnectionValues values = m_settings->values();
    const ConnectionKindRow &kind = ConnectionKinds::of(values.kind);
    // SMPP binds with a password always; the UCP login only with an account.
    if ((kind.uses(SettingField::Password) && !values.account.isEmpty() &&
         m_settings->passwordUnreadable()) ||
        (kind.uses(SettingField::SmppPassword) && m_settings->smppPasswordUnreadable()))
        return tr("Passwort aus dem Schlüsselbund nicht lesbar – bitte den Schlüsselbund "
                  "entsperren");
    if (kind.uses(SettingField::SimPin) && m_settings->simPinUnreadable())
        return tr("SIM-PIN aus dem Schlüsselbund nicht lesbar – bitte den Schlüsselbund "
                  "entsperren");
    return {};
}

void ChosenDialogue::begin()
{
    if (m_active)
        m_active->end();
    m_active = chosen();
    m_busy = true;
    m_active->begin();
}

void ChosenDialogue::submit(const QueueEntry &entry)
{
    if (!m_active)
        return;
    m_busy = true;
    m_active->submit(entry);
}

void ChosenDialogue::end()
{
    m_busy = false;
    if (CallDialogue *active = m_active) {
        m_active = nullptr;
        active->end();
    }
}

void ChosenDialogue::forgetPortLink()
{
    for (CallDialogue *dialogue : std::as_const(m_dialogues))
        dialogue->forgetPortLink();
}

bool ChosenDialogue::severalPerCall() const
{
    return current()->severalPerCall();
}

qint64 ChosenDialogue::idleHoldMs() const
{
    return current()->idleHoldMs();
}

bool ChosenDialogue::inUninterruptibleStep() const
{
    return current()->inUninterruptibleStep();
}

bool ChosenDialogue::takesLongMessages() const
{
    return current()->takesLongMessages();
}

bool ChosenDialogue::submissionRefused() const
{
    return current()->submissionRefused();
}

int ChosenDialogue::window() const
{
    return current()->window();
}

void ChosenDialogue::setIncomingSink(IncomingSink *sink)
{
    CallDialogue::setIncomingSink(sink);
    for (CallDialogue *dialogue : std::as_const(m_dialogues))
        dialogue->setIncomingSink(sink);
}

bool ChosenDialogue::canReceive() const
{
    return current()->canReceive();
}

void ChosenDialogue::setListening(bool on)
{
    if (m_listening == on)
        return;
    m_listening = on;
    applyListening(false);
}

bool ChosenDialogue::isListening() const
{
    return current()->isListening();
}

QString ChosenDialogue::listeningVia() const
{
    return current()->listeningVia();
}

void ChosenDialogue::applyListening(bool restart)
{
    const ConnectionValues values = m_settings->values();
    for (auto it = m_dialogues.cbegin(); it != m_dialogues.cend(); ++it) {
        const ConnectionKindRow &row = ConnectionKinds::of(it.key());
        const bool wanted = m_listening && it.key() == values.kind && row.listens &&
                            row.listens(values) && it.value()->canReceive();
        const bool was = m_listeners.contains(it.key());
        if (was && (!wanted || restart))
            it.value()->setListening(false);
        if (wanted && (!was || restart))
            it.value()->setListening(true);
        if (wanted)
            m_listeners.insert(it.key());
        else
            m_listeners.remove(it.key());
    }
}

void ChosenDialogue::onSettingsChanged()
{
    // Whatever changed (another kind, server or account), a connection held
    // open, for the engine or for receiving, was made with the old values.
    const bool idle = m_active && !m_busy;
    if (idle)
        end();
    applyListening(true);
    if (idle)
        Q_EMIT failed(tr("Verbindung beendet: Einstellungen geändert"));
}
