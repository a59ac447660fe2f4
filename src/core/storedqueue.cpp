#include "storedqueue.h"

#include "clock.h"
#include "messagetext.h"
#include "pendingmessages.h"
#include "prompter.h"
#include "sendlog.h"
#include "storeconnection.h"
#include "storetransaction.h"

#include <QDir>
#include <QSqlError>
#include <QStringList>
#include <QTimer>

using namespace Qt::StringLiterals;

StoredQueue::StoredQueue(const QString &databasePath, OutgoingQueue *queue, Prompter *prompter,
                         const Clock *clock, QObject *parent)
    : QObject(parent), m_databasePath(databasePath), m_queue(queue), m_prompter(prompter),
      m_clock(clock)
{}

StoredQueue::~StoredQueue()
{
    if (m_queue)
        m_queue->setJournal(nullptr);
}

QString StoredQueue::restoredText(int unsent, int doubtful, bool unclean)
{
    if (doubtful == 0 && unclean) {
        if (unsent == 1)
            return tr("Funkbote wurde beim letzten Mal nicht ordnungsgemäss beendet. Eine noch "
                      "nicht versandte Nachricht steht wieder in der Warteschlange und wird "
                      "versandt.");
        return tr("Funkbote wurde beim letzten Mal nicht ordnungsgemäss beendet. %1 noch nicht "
                  "versandte Nachrichten stehen wieder in der Warteschlange, in ihrer bisherigen "
                  "Reihenfolge, und werden versandt.")
            .arg(unsent);
    }
    // One line: the unattended start writes each box as one line.
    // A logout or a service stop ends the program without questions and
    // keeps the queue on purpose: that is no fault to report.
    QStringList sentences{
        unclean ? tr("Funkbote wurde beim letzten Mal nicht ordnungsgemäss beendet.")
                : tr("Funkbote wurde beim letzten Mal ohne Rückfrage beendet (etwa beim "
                     "Abmelden); die Warteschlange blieb erhalten.")};
    if (unsent == 1) {
        sentences << tr("Eine noch nicht versandte Nachricht steht wieder in der Warteschlange "
                        "und wird versandt.");
    } else if (unsent > 1) {
        sentences << tr("%1 noch nicht versandte Nachrichten stehen wieder in der Warteschlange "
                        "und werden versandt.")
                         .arg(unsent);
    }
    if (doubtful == 0)
        return sentences.join(u' ');
    sentences << tr("%1 Nachricht(en) wurden möglicherweise schon versandt: Das Programm endete, "
                    "nachdem sie abgeschickt waren und bevor ihr Versand im Archiv stand.")
                     .arg(doubtful)
              << tr("Sollen sie nochmals gesendet werden? Mit \"Nicht senden\" kommen sie mit "
                    "dem Versandstatus \"unbekannt\" ins Archiv.");
    return sentences.join(u' ');
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
    int doubtful = 0;
    for (const PendingMessage &row : *rows) {
        if (row.submitted != PendingMessage::Submitted::No)
            ++doubtful;
    }
    const int unsent = int(rows->size()) - doubtful;
    // Asked before anything is queued: the engine must not send one of them
    // again before the user has chosen.
    const bool sendAgain =
        doubtful == 0 ||
        m_prompter->question(restoredText(unsent, doubtful, m_unclean), tr("Nochmals senden"),
                             tr("Nicht senden"), Prompter::Icon::Warning) == Prompter::Answer::Yes;
    // Those not sent again are logged first: a row that cannot be logged
    // stays marked in the file and is not queued, and the next start asks
    // again.
    const bool logged = sendAgain || logUnknown(*rows);
    QList<QueueEntry> entries;
    entries.reserve(rows->size());
    for (const PendingMessage &row : *rows) {
        QString text = row.message;
        if (!sendAgain && row.submitted != PendingMessage::Submitted::No) {
            // Of a long message sent in parts only the first part may have
            // gone out: the rest is sent as if nothing had happened.
            if (!logged || row.submitted != PendingMessage::Submitted::FirstPart)
                continue;
            text = splitFirstPart(row.message).rest;
            if (text.isEmpty())
                continue;
        }
        entries.append(QueueEntry{quint64(row.id), row.recipient, text, row.callBackNumber, true});
    }
    m_queue->restore(entries);
    // Ids go on above every one this file has given, so that another
    // program's id names one message only.
    if (const std::optional<qint64> next = m_table->nextFreeId())
        m_queue->reserveIdsBelow(OutgoingQueue::EntryId(*next));
    m_queue->setJournal(this);
    m_active = true;
    if (doubtful == 0 && !entries.isEmpty()) {
        m_prompter->message(restoredText(int(entries.size()), 0, m_unclean), Prompter::Buttons::Ok,
                            Prompter::Icon::Information);
    }
    return int(entries.size());
}

bool StoredQueue::logUnknown(const QList<PendingMessage> &rows)
{
    // Once, at the start, before anything is sent: in one transaction with
    // the rows of the queue they change, as the engine logs its messages.
    QSqlDatabase db = m_connection->database();
    StoreTransaction transaction(db);
    if (!transaction.isActive()) {
        qWarning("StoredQueue: not logged as unknown: %s", qPrintable(transaction.error()));
        return false;
    }
    SendLog log(db);
    const QDateTime now = m_clock->now();
    QString error;
    for (const PendingMessage &row : rows) {
        if (row.submitted == PendingMessage::Submitted::No)
            continue;
        const bool firstPart = row.submitted == PendingMessage::Submitted::FirstPart;
        const FirstPart split = splitFirstPart(row.message);
        const bool restLeft = firstPart && !split.rest.isEmpty();
        if (!log.append(now.date(), now.time(), row.recipient, firstPart ? split.part : row.message,
                        unknownStatus()))
            error = log.lastError();
        else if (restLeft ? !m_table->keepRestInTransaction(row.id, split.rest, log.lastAppended())
                          : !m_table->removeInTransaction(row.id, log.lastAppended()))
            error = m_table->lastError();
        if (!error.isEmpty())
            break;
    }
    if (error.isEmpty() && transaction.commit())
        return true;
    // Rolled back as the transaction goes out of scope.
    qWarning("StoredQueue: not logged as unknown: %s",
             qPrintable(error.isEmpty() ? transaction.error() : error));
    return false;
}

bool StoredQueue::store(const QList<QueueEntry> &entries)
{
    if (!m_active)
        return false;
    QList<PendingMessage> rows;
    rows.reserve(entries.size());
    for (const QueueEntry &entry : entries) {
        rows.append(PendingMessage{qint64(entry.id), entry.recipient, entry.nachricht,
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
