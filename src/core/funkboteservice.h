#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusContext>
#include <QList>
#include <QObject>
#include <QString>
#include <memory>

class MessagingCore;
class ProgramIntake;
class StoreConnection;

// One entry of the queue as the D-Bus interface lists it: (tss).
struct QueuedMessage
{
    quint64 id = 0;
    QString number;
    QString text;
};
Q_DECLARE_METATYPE(QueuedMessage)
using QueuedMessages = QList<QueuedMessage>;
QDBusArgument &operator<<(QDBusArgument &argument, const QueuedMessage &message);
const QDBusArgument &operator>>(const QDBusArgument &argument, QueuedMessage &message);

// The program's D-Bus service on the user's session bus: other programs of
// the same user queue messages (through the one door, with its checks), ask
// how they went, list the queue and resume sending; they hear of sent
// messages, delivery reports and messages received. Nothing here reads the
// address book or changes a setting. The interface is the one described in
// ch.funkbote.Funkbote1.xml.
class FunkboteService : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "ch.funkbote.Funkbote1")

public:
    static constexpr auto serviceName = "ch.funkbote.Funkbote";
    static constexpr auto objectPath = "/ch/funkbote/Funkbote";
    static constexpr auto interfaceName = "ch.funkbote.Funkbote1";

    explicit FunkboteService(MessagingCore *core, QObject *parent = nullptr);
    ~FunkboteService() override;

    // Exports the object and takes the service name; false, with the reason
    // in German, when the bus cannot be reached or another program holds
    // the name.
    bool registerOn(QDBusConnection bus, QString *error);

public Q_SLOTS:
    Q_SCRIPTABLE qulonglong Send(const QString &number, const QString &text);
    Q_SCRIPTABLE QString Status(qulonglong id, QString &detail);
    Q_SCRIPTABLE QueuedMessages Queue();
    Q_SCRIPTABLE void Start();

Q_SIGNALS:
    Q_SCRIPTABLE void MessageSent(qulonglong id, const QString &result);
    Q_SCRIPTABLE void DeliveryChanged(qulonglong id, const QString &state);
    Q_SCRIPTABLE void MessageReceived(const QString &number, const QString &text, qlonglong time);

private:
    void onDeliveryChanged(qint64 logRow);
    void onReceived(qint64 inboxId);

    MessagingCore *m_core;
    ProgramIntake *m_intake;
    std::unique_ptr<StoreConnection> m_connection; // reads states and received messages
    QDBusConnection m_bus{QString()};
};
