#pragma once

#include "connectionsettings.h"
#include "enqueue.h"

#include <QList>
#include <QString>

class CallDialogue;
class SerialLine;
class Settings;

// What the dialogues of the connection kinds are made from.
struct DialogueNeeds
{
    SerialLine *line = nullptr; // the modem's serial line
    const Settings *settings = nullptr;
    ConnectionSettings *connection = nullptr;
    QString programDir;   // where the port links live
    QString databasePath; // Daten.mdb
    QObject *parent = nullptr;
};

// The settings a connection kind may use, as the configuration window shows
// them.
enum class SettingField {
    ComPort,
    ProviderNumber,
    ModemCommand,
    SeveralPerCall,
    Server,
    TcpPort,
    Account,
    Password,
    SimPin,
    SmsCentre,
    DeliveryReports,
    Sender,
    KeepOpen,
    UcpWindow,
    SystemId,
    SmppPassword,
    SystemType,
    UseTls,
    SmppWindow,
};

// How a message is queued for a kind and what the user is told about it
// while typing.
struct MessagePlan
{
    MessageSplit split = MessageSplit::MarkedParts;
    int partLimit = 0; // the most SMS one message may make; 0: no limit
    // The hint below the message field for a text in CR LF form: empty for
    // an empty text, otherwise the number of SMS it makes and what goes
    // missing on the way.
    QString (*hint)(const QString &crLfText) = nullptr;

    // Whether the text makes more SMS than the kind can send.
    bool tooLong(const QString &crLfText) const;
    bool operator==(const MessagePlan &) const = default;
};

// The rule of one setting, for the configuration window and for the
// dialogue that checks the stored value before a call.
struct FieldRule
{
    SettingField field;
    // Why the configuration window refuses the entry; empty when it can be
    // used.
    QString (*refusal)(const QString &text) = nullptr;
    // Why no call can be made with the stored value, as the status line
    // says it; empty when it does not stop a call. nullptr: the value is
    // not checked before a call (the modem or the centre tells).
    QString (*missing)(const QString &stored) = nullptr;
};

// One way to reach the message centre.
struct ConnectionKindRow
{
    ConnectionKind kind;
    // The configuration window's name of it.
    QString (*caption)();
    // The settings it uses, in the order of the window.
    QList<SettingField> fields;
    MessagePlan plan;
    CallDialogue *(*makeDialogue)(const DialogueNeeds &needs);
    // Whether its dialogue keeps a connection open to receive messages and
    // delivery reports with these settings; nullptr: it cannot receive.
    bool (*listens)(const ConnectionValues &values) = nullptr;

    bool uses(SettingField field) const { return fields.contains(field); }
    // The name ConnectionSettings stores for it.
    QString storedName() const { return ConnectionSettings::kindName(kind); }
};

// The table of the connection kinds. A fourth kind is a row here, its
// dialogue class, its enum value and stored name in ConnectionSettings.
namespace ConnectionKinds {

// Every kind, in the order of the configuration window's choice.
const QList<ConnectionKindRow> &all();
// The row of a kind; every kind has one.
const ConnectionKindRow &of(ConnectionKind kind);
// Where the kind stands in all().
int indexOf(ConnectionKind kind);
// The rule of a setting; every field has one.
const FieldRule &rule(SettingField field);

} // namespace ConnectionKinds
