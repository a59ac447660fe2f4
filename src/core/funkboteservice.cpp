#include "funkboteservice.h"

#include "inbound.h"
#include "messagerecords.h"
#include "messagingcore.h"
#include "outbox.h"
#include "outgoingqueue.h"
#include "programdoor.h"
#include "programintake.h"
#include "sendengine.h"
#include "storeconnection.h"
#include "twowaytables.h"

#include <QDBusConnectionInterface>
#include <QDBusMetaType>

using namespace Qt::StringLiterals;

QDBusArgument &operator<<(QDBusArgument &argument, const QueuedMessage &message)
{
    argument.beginStructure();
    argument << message.id << message.number << message.text;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, QueuedMessage &message)
{
    argument.beginStructure();
    argument >> message.id >> message.number >> message.text;
    argument.endStructure();
    return argument;
}

FunkboteService::FunkboteService(MessagingCore *core, QObject *parent)
    : QObject(parent), m_core(core),
      m_intake(new ProgramIntake(core->outbox(), core->databasePath(), this)),
      m_connection(std::make_unique<StoreConnection>(core->databasePath(), u"D-Bus"_s))
{
    qDBusRegisterMetaType<QueuedMessage>();
    qDBusRegisterMetaType<QueuedMessages>();
    connect(core->engine(), &SendEngine::messageLogged, this,
            [this](quint64 id, const QString &versandt, bool whole) {
                if (whole)
                    Q_EMIT MessageSent(id, versandt);
            });
    connect(core->inbound(), &Inbound::deliveryChanged, this, &FunkboteService::onDeliveryChanged);
    connect(core->inbound(), &Inbound::received, this, &FunkboteService::onReceived);
}

FunkboteService::~FunkboteService()
{
    if (m_bus.isConnected()) {
        m_bus.unregisterObject(QString::fromLatin1(objectPath));
        m_bus.unregisterService(QString::fromLatin1(serviceName));
    }
}

bool FunkboteService::registerOn(QDBusConnection bus, QString *error)
{
    if (!bus.isConnected()) {
        *error =
            tr("Der D-Bus des Benutzers ist nicht erreichbar: %1").arg(bus.lastError().message());
        return false;
    }
    if (!bus.registerObject(QString::fromLatin1(objectPath), this,
                            QDBusConnection::ExportScriptableSlots |
                                QDBusConnection::ExportScriptableSignals)) {
        *error = tr("Das Objekt %1 ist auf dem D-Bus schon vergeben.")
                     .arg(QString::fromLatin1(objectPath));
        return false;
    }
    if (!bus.registerService(QString::fromLatin1(serviceName))) {
        bus.unregisterObject(QString::fromLatin1(objectPath));
        *error = tr("Der Dienst %1 ist auf dem D-Bus schon vergeben (läuft Funkbote mit einem "
                    "anderen Datenordner?).")
                     .arg(QString::fromLatin1(serviceName));
        return false;
    }
    m_bus = bus;
    return true;
}

qulonglong FunkboteService::Send(const QString &number, const QString &text)
{
    if (!calledFromDBus())
        return sendFromProgram(m_core->outbox(), number, text).id;
    // Answered once the message is stored, by the intake.
    setDelayedReply(true);
    m_intake->send(number, text, [bus = connection(), call = message()](const ProgramSend &send) {
        bus.send(send.queued()
                     ? call.createReply(QVariant::fromValue(qulonglong(send.id)))
                     : call.createErrorReply(ProgramSend::errorName(send.error), send.message));
    });
    return 0;
}

QString FunkboteService::Status(qulonglong id, QString &detail)
{
    // In the queue the running program knows best; once logged, the file.
    if (m_core->queue()->indexOf(id) >= 0) {
        const bool sending = m_core->engine()->isInFlight(id);
        const MessageState state{sending ? MessageState::State::Sending
                                         : MessageState::State::Queued,
                                 sending ? tr("Wird gesendet.") : tr("In der Warteschlange.")};
        detail = state.detail;
        return state.name();
    }
    const MessageRecords records(m_connection->database());
    const std::optional<MessageState> state = records.stateOf(qint64(id));
    if (!state) {
        if (calledFromDBus())
            sendErrorReply(QDBusError::Failed,
                           tr("Daten.mdb kann nicht gelesen werden: %1").arg(records.lastError()));
        return QString();
    }
    detail = state->detail;
    return state->name();
}

QueuedMessages FunkboteService::Queue()
{
    const OutgoingQueue *queue = m_core->queue();
    QueuedMessages entries;
    entries.reserve(queue->count());
    for (int i = 0; i < queue->count(); ++i) {
        const QueueEntry &entry = queue->at(i);
        entries.append(QueuedMessage{entry.id, entry.recipient, entry.nachricht});
    }
    return entries;
}

void FunkboteService::Start()
{
    m_core->resumeSending();
}

void FunkboteService::onDeliveryChanged(qint64 logRow)
{
    const PendingMessages keys(m_connection->database());
    const std::optional<qint64> id = keys.idOfLogRow(logRow);
    if (!id || *id == 0)
        return; // not queued by id (an older row), or the file cannot be read
    const std::optional<MessageState> state =
        MessageRecords(m_connection->database()).stateOfLogRow(logRow);
    if (state)
        Q_EMIT DeliveryChanged(qulonglong(*id), state->name());
}

void FunkboteService::onReceived(qint64 inboxId)
{
    Inbox inbox(m_connection->database());
    const std::optional<QHash<qint64, InboxMessage>> rows = inbox.readById({inboxId});
    if (!rows || !rows->contains(inboxId))
        return;
    const InboxMessage message = rows->value(inboxId);
    const QDateTime at = message.sentAt.isValid() ? message.sentAt : message.receivedAt;
    Q_EMIT MessageReceived(message.sender, message.text, at.toSecsSinceEpoch());
}
