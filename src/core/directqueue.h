#pragma once

#include "programdoor.h"

#include <QString>

// Queues a message into the stored queue of Daten.mdb while no program runs
// on it (the command line's "send" without a running instance): the same
// door and checks as in the program, with the stored call-back number, the
// connection kind's split and the stop list. The message goes out at the
// next start, which puts the stored queue back. SQLite's own locking keeps
// two writers apart; the program's instance lock is not taken.
class DirectQueue
{
public:
    explicit DirectQueue(QString databasePath);

    // The door's answer; *storeError is set (and nothing queued) when
    // Daten.mdb cannot be read or written.
    ProgramSend send(const QString &number, const QString &text, QString *storeError);

private:
    QString m_databasePath;
};
