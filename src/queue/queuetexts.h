#pragma once

#include <QString>

// The messages of the main window's queue controls and input checks.
namespace QueueText {

inline QString requiredFields()
{
    return QStringLiteral(
        "Sie müssen mindesten die Natel-Nummer und eine Nachricht eingetragen haben!");
}

inline QString noLetters()
{
    return QStringLiteral(
        "Es dürfen keine alphanumerischen Zeichen in diesem Feld gebraucht werden!");
}

inline QString enterNotAccepted()
{
    return QStringLiteral("Das 'Enter'- Zeichen wird nicht akzeptiert!");
}

// How the numbers of the two fields are named in a message about them.
inline QString mobileNumber()
{
    return QStringLiteral("Die Mobilnummer");
}

inline QString callBackNumber()
{
    return QStringLiteral("Die Rückrufnummer");
}

inline QString deleteEntry()
{
    return QStringLiteral("Wollen Sie diesen Eintrag wirklich aus der Warteschlange löschen?");
}

} // namespace QueueText
