#pragma once

#include <QCoreApplication>
#include <QString>

// The messages of the main window's queue controls and input checks.
namespace QueueText {

// A number field's check and the queue refuse a character that is not a
// digit or a blank with the same words (the address book's number field too).
inline QString refusedCharacter()
{
    return QCoreApplication::translate(
        "QueueText", "Es dürfen keine alphanumerischen Zeichen in diesem Feld gebraucht werden!");
}

inline QString requiredFields()
{
    return QCoreApplication::translate(
        "QueueText", "Sie müssen mindesten die Natel-Nummer und eine Nachricht eingetragen haben!");
}

inline QString enterNotAccepted()
{
    return QCoreApplication::translate("QueueText", "Das 'Enter'- Zeichen wird nicht akzeptiert!");
}

// How the numbers of the two fields are named in a message about them.
inline QString mobileNumber()
{
    return QCoreApplication::translate("QueueText", "Die Mobilnummer");
}

inline QString callBackNumber()
{
    return QCoreApplication::translate("QueueText", "Die Rückrufnummer");
}

inline QString deleteEntry()
{
    return QCoreApplication::translate(
        "QueueText", "Wollen Sie diesen Eintrag wirklich aus der Warteschlange löschen?");
}

} // namespace QueueText
