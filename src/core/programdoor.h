#pragma once

#include <QString>

class Outbox;

// What a message another program handed in (over D-Bus, the command line or
// the spool folder) came to at the queue's door: queued under an id, or
// refused with the reason in German and the D-Bus error that names it.
struct ProgramSend
{
    enum class Error { None, InvalidNumber, EmptyText, StopListed, TooLong, StoreFailed };

    Error error = Error::None;
    QString message; // why it was refused
    quint64 id = 0;  // the message's key in Daten.mdb (its first part's)

    bool queued() const { return error == Error::None; }
    // "ch.funkbote.Funkbote1.Error.InvalidNumber" and the like.
    static QString errorName(Error error);
};

struct Enqueued;
class Outbox;

// What the door's answer means for another program (number and text as it
// gave them).
ProgramSend describe(const Enqueued &result, const QString &number, const QString &text,
                     const Outbox &outbox);

// Queues one message from another program through the one door, with the
// same checks as the window's send button: the number rule, the stop list
// (a stopped number is refused: nobody is there to confirm), the length the
// connection kind allows and the stored call-back number.
ProgramSend sendFromProgram(Outbox *outbox, const QString &number, const QString &text);
