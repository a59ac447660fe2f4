#include "programintake.h"

#include "pendingmessages.h"
#include "storeconnection.h"

#include <QCoreApplication>
#include <QTimer>

using namespace Qt::StringLiterals;

// Inserts rows into PendingMessages through a connection of its own, on the
// intake's thread.
class PendingRowWriter : public QObject
{
    Q_OBJECT

public:
    explicit PendingRowWriter(QString databasePath) : m_path(std::move(databasePath)) {}

    void insert(const QList<PendingMessage> &rows)
    {
        if (!m_connection)
            m_connection = std::make_unique<StoreConnection>(m_path, u"Programme"_s);
        if (!m_connection->isOpen()) {
            Q_EMIT stored(false, m_connection->lastError());
            return;
        }
        PendingMessages table(m_connection->database());
        const bool ok = table.insert(rows);
        Q_EMIT stored(ok, table.lastError());
    }

Q_SIGNALS:
    void stored(bool ok, const QString &error);

private:
    QString m_path;
    std::unique_ptr<StoreConnection> m_connection;
};

ProgramIntake::ProgramIntake(Outbox *outbox, const QString &databasePath, QObject *parent)
    : QObject(parent), m_outbox(outbox), m_writer(new PendingRowWriter(databasePath))
{
    m_thread.setObjectName(u"Programme-Schreiber"_s);
    m_writer->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_writer, &QObject::deleteLater);
    connect(m_writer, &PendingRowWriter::stored, this, &ProgramIntake::onStored);
    m_thread.start();
}

ProgramIntake::~ProgramIntake()
{
    m_thread.quit();
    m_thread.wait();
    // The answer to the last commit is waiting in the event queue: its
    // messages join the queue (and leave it with it) and are answered.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void ProgramIntake::send(const QString &number, const QString &text, Answer answer)
{
    m_waiting.append(Item{number, text, std::move(answer)});
    if (!m_writing && !std::exchange(m_flushPosted, true))
        QTimer::singleShot(0, this, &ProgramIntake::flush);
}

void ProgramIntake::flush()
{
    m_flushPosted = false;
    if (m_writing || m_waiting.isEmpty())
        return;
    Written batch;
    QList<PendingMessage> rows;
    // A slice at a time: the checks look at the stop list for each message,
    // and thousands at once would hold up the event loop.
    const qsizetype slice = std::min(m_waiting.size(), maxPerCommit);
    for (Item &item : m_waiting.first(slice)) {
        QList<QueueEntry> entries;
        const Enqueued checked =
            m_outbox->check(item.number, item.text, Outbox::StopListed::Refuse, &entries);
        ProgramSend send = describe(checked, item.number, item.text, *m_outbox);
        if (!send.queued()) {
            item.answer(send); // refused: answered at once
            continue;
        }
        const QList<OutgoingQueue::EntryId> ids = m_outbox->reserveIds(entries);
        for (qsizetype i = 0; i < entries.size(); ++i) {
            entries[i].id = ids.at(i);
            rows.append(PendingMessage{qint64(ids.at(i)), entries.at(i).recipient,
                                       entries.at(i).nachricht, entries.at(i).rueckrufNummer});
        }
        send.id = ids.constFirst();
        batch.entries.append(entries);
        batch.answers.append({std::move(item.answer), send});
    }
    m_waiting.remove(0, slice);
    if (rows.isEmpty()) {
        if (!m_waiting.isEmpty() && !std::exchange(m_flushPosted, true))
            QTimer::singleShot(0, this, &ProgramIntake::flush);
        return;
    }
    m_writing = true;
    m_inWrite = std::move(batch);
    QMetaObject::invokeMethod(
        m_writer, [writer = m_writer, rows] { writer->insert(rows); }, Qt::QueuedConnection);
}

void ProgramIntake::onStored(bool ok, const QString &error)
{
    m_writing = false;
    Written done = std::exchange(m_inWrite, {});
    if (ok)
        m_outbox->appendStored(done.entries, Outbox::Origin::Program);
    for (auto &[answer, send] : done.answers) {
        if (!ok) {
            send.error = ProgramSend::Error::StoreFailed;
            send.message =
                QCoreApplication::translate(
                    "ProgramIntake", "Die Nachricht kann nicht in Daten.mdb gespeichert werden und "
                                     "ist nicht in der Warteschlange: %1")
                    .arg(error);
            send.id = 0;
        }
        answer(send);
    }
    if (!m_waiting.isEmpty() && !std::exchange(m_flushPosted, true))
        QTimer::singleShot(0, this, &ProgramIntake::flush);
}

#include "programintake.moc"
