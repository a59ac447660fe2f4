#include "storedqueue.h"

#include "pendingmessages.h"
#include "prompter.h"
#include "storeconnection.h"

#include <QDir>
#include <QTimer>

using namespace Qt::StringLiterals;

StoredQueue::StoredQueue(const QString &databasePath, OutgoingQueue *queue, Prompter *prompter,
                         QObject *parent)
    : QObject(parent), m_databasePath(databasePath), m_queue(queue), m_prompter(prompter)
{}

StoredQueue::~StoredQueue()
{
    if (m_queue)
        m_queue->setJournal(nullptr);
}

QString StoredQueue::restoredText(int count)
{
    if (count == 1)
        return tr("Funkbote wurde beim letzten Mal nicht ordnungsgemäss beendet. Eine noch nicht "
                  "versandte Nachricht steht wieder in der Warteschlange und wird versandt.");
    return tr("Funkbote wurde beim letzten Mal nicht ordnungsgemäss beendet. %1 noch nicht "
              "versandte Nachrichten stehen wieder in der Warteschlange, in ihrer bisherigen "
              "Reihenfolge, und werden versandt.")
        .arg(count);
}

QString StoredQueue::failureText(const QString &databasePath, const QString &error)
{
    return tr("Die Warteschlange kann nicht in der Datenbank \"%1\" gesichert werden:\n%2\n\n"
              "Funkbote arbeitet weiter, hält die Warteschlange aber nur im Arbeitsspeicher: "
              "Stürzt das Programm ab, gehen die noch nicht versandten Nachrichten verloren.")
        .arg(QDir::toNativeSeparators(databasePath), error);
}

int StoredQueue::restore()
{
    m_connection = std::make_unique<StoreConnection>(m_databasePath, u"Warteschlange"_s);
    if (!m_connection->isOpen()) {
        failed(m_connection->lastError());
        return 0;
    }
    m_table = std::make_unique<PendingMessages>(m_connection->database());
    const std::optional<QList<PendingMessage>> rows =
        m_table->prepareTable() ? m_table->readAll() : std::nullopt;
    if (!rows) {
        failed(m_table->lastError());
        return 0;
    }
    QList<QueueEntry> entries;
    entries.reserve(rows->size());
    for (const PendingMessage &row : *rows) {
        entries.append(
            QueueEntry{quint64(row.id), row.mobileNumber, row.message, row.callBackNumber, true});
    }
    m_queue->restore(entries);
    m_queue->setJournal(this);
    m_active = true;
    if (!entries.isEmpty()) {
        m_prompter->message(restoredText(int(entries.size())), Prompter::Buttons::Ok,
                            Prompter::Icon::Information);
    }
    return int(entries.size());
}

bool StoredQueue::store(const QList<QueueEntry> &entries)
{
    if (!m_active)
        return false;
    QList<PendingMessage> rows;
    rows.reserve(entries.size());
    for (const QueueEntry &entry : entries) {
        rows.append(PendingMessage{qint64(entry.id), entry.natelNummer, entry.nachricht,
                                   entry.rueckrufNummer});
    }
    if (m_table->insert(rows))
        return true;
    failed(m_table->lastError());
    return false;
}

void StoredQueue::drop(const QList<quint64> &ids)
{
    if (!m_active)
        return;
    QList<qint64> rowIds;
    rowIds.reserve(ids.size());
    for (const quint64 id : ids)
        rowIds.append(qint64(id));
    if (!m_table->remove(rowIds))
        failed(m_table->lastError());
}

void StoredQueue::failed(const QString &error)
{
    qWarning("StoredQueue: %s", qPrintable(error));
    if (std::exchange(m_failureTold, true))
        return;
    // Called from within a change of the queue: the box, with its nested
    // event loop, waits until that change is done.
    QTimer::singleShot(0, this, [this, error] {
        m_prompter->message(failureText(m_databasePath, error), Prompter::Buttons::Ok,
                            Prompter::Icon::Warning);
    });
}
