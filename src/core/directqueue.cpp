#include "directqueue.h"

#include "clock.h"
#include "connectionkinds.h"
#include "connectionsettings.h"
#include "inbound.h"
#include "outbox.h"
#include "outgoingqueue.h"
#include "pendingmessages.h"
#include "settings.h"
#include "storeconnection.h"

using namespace Qt::StringLiterals;

namespace {

// Writes the entries the door appends into PendingMessages, where the next
// start finds them.
class TableJournal final : public QueueJournal
{
public:
    explicit TableJournal(PendingMessages *table) : m_table(table) {}

    bool store(const QList<QueueEntry> &entries) override
    {
        QList<PendingMessage> rows;
        for (const QueueEntry &entry : entries)
            rows.append(PendingMessage{qint64(entry.id), entry.recipient, entry.nachricht,
                                       entry.rueckrufNummer});
        if (!m_table->insert(rows)) {
            m_error = m_table->lastError();
            return false;
        }
        return true;
    }
    void drop(const QList<quint64> &) override {}

    QString error() const { return m_error; }

private:
    PendingMessages *m_table;
    QString m_error;
};

} // namespace

DirectQueue::DirectQueue(QString databasePath) : m_databasePath(std::move(databasePath)) {}

ProgramSend DirectQueue::send(const QString &number, const QString &text, QString *storeError)
{
    StoreConnection connection(m_databasePath, u"Befehlszeile"_s);
    if (!connection.isOpen()) {
        *storeError = connection.lastError();
        return {};
    }
    Settings settings(m_databasePath);
    ConnectionSettings kind(m_databasePath, nullptr);
    if (!settings.reload()) {
        *storeError = settings.lastError();
        return {};
    }
    kind.reload();
    PendingMessages table(connection.database());
    const std::optional<qint64> next =
        table.prepareTable() ? table.nextFreeId() : std::optional<qint64>();
    if (!next) {
        *storeError = table.lastError();
        return {};
    }
    SystemClock clock;
    Inbound stopList(m_databasePath, &clock);
    OutgoingQueue queue;
    queue.reserveIdsBelow(OutgoingQueue::EntryId(*next));
    TableJournal journal(&table);
    queue.setJournal(&journal);
    Outbox outbox(&queue);
    outbox.setPlan(ConnectionKinds::of(kind.values().kind).plan);
    outbox.setCallBackNumber(settings.rueckrufnummer());
    outbox.setStopCheck(&stopList);
    const ProgramSend result = sendFromProgram(&outbox, number, text);
    if (result.queued() && !journal.error().isEmpty()) {
        *storeError = journal.error();
        return {};
    }
    return result;
}
