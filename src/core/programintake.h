#pragma once

#include "outbox.h"
#include "programdoor.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QThread>
#include <functional>

class PendingRowWriter;

// Takes in the messages of other programs (D-Bus calls) without holding up
// the event loop: the messages handed in during one pass of it are checked
// at the door, stored together in the queue's copy in Daten.mdb by a thread
// of their own (one commit for many, which a busy disk makes slow), and only
// then appended to the queue and answered with their ids. So a program that
// got an id knows its message is stored, and a window stays responsive
// while a script hands in thousands.
class ProgramIntake : public QObject
{
    Q_OBJECT

public:
    using Answer = std::function<void(const ProgramSend &)>;

    ProgramIntake(Outbox *outbox, const QString &databasePath, QObject *parent = nullptr);
    // Waits for a commit under way (its messages are appended and answered).
    ~ProgramIntake() override;

    // answer is called once the message is stored and queued, at once when
    // the door refuses it, or with the error StoreFailed (nothing queued)
    // when Daten.mdb cannot store it.
    void send(const QString &number, const QString &text, Answer answer);

    // The most messages checked in one pass and stored in one commit.
    static constexpr qsizetype maxPerCommit = 40;

private:
    struct Item
    {
        QString number;
        QString text;
        Answer answer;
    };
    struct Written
    {
        QList<QueueEntry> entries;
        QList<std::pair<Answer, ProgramSend>> answers;
    };

    void flush();
    void onStored(bool ok, const QString &error);

    Outbox *m_outbox;
    QThread m_thread;
    PendingRowWriter *m_writer; // lives on m_thread
    QList<Item> m_waiting;
    bool m_flushPosted = false;
    bool m_writing = false;
    Written m_inWrite;
};
