#pragma once

#include "queuenumber.h"

#include <QString>
#include <QStringList>

// The messages and captions of the address book and its recipient windows.
namespace AddressBookText {

inline QString noRecordToDelete()
{
    return QStringLiteral("Kein Datensatz zum löschen verfügbar!");
}

inline QString noDataToSearch()
{
    return QStringLiteral("Das Adressbuch enthält keine Daten! Suchen abgebrochen!");
}

inline QString searchPrompt()
{
    return QStringLiteral(
        "Bitte geben Sie den zu suchenden Namen ein!(Wenn Sie alle Namen anzeigen möchten geben "
        "Sie kein Suchzeichen ein und drücken 'OK')");
}

inline QString searchTitle()
{
    return QStringLiteral("Suche...");
}

inline QString nobodyChosen()
{
    return QStringLiteral("Sie haben niemanden ausgewählt!");
}

inline QString noPersonsEntered()
{
    return QStringLiteral("Sie haben keine Personen erfasst, welchen Sie eine SMS senden können! "
                          "Serien-SMS wurde abgebrochen!");
}

inline QString bulkWithoutMessage()
{
    return QStringLiteral("Bevor eine Serien-SMS gestartet werden kann, müssen Sie zuerst eine "
                          "Nachricht für alle Empfänger definieren!");
}

inline QString bulkTooLong()
{
    return QStringLiteral("In dieser Funktion werden überlange Nachrichte nicht unterstützt!");
}

// Names a person's stored number at the start of a sentence about it.
inline QString mobileNumberOf(const QString &name)
{
    return name.isEmpty() ? QStringLiteral("Die Mobilnummer")
                          : QStringLiteral("Die Mobilnummer von %1").arg(name);
}

inline QString correctNumber()
{
    return QStringLiteral("Bitte korrigieren Sie die Nummer im Adressbuch.");
}

// The bulk run leaves out the marked persons whose number cannot be queued.
inline QString bulkSkipped(const QStringList &names, qsizetype queued)
{
    // Enough names to find them in the address book; the rest is counted.
    constexpr qsizetype listed = 10;
    QStringList shown = names.mid(0, listed);
    for (QString &name : shown) {
        if (name.isEmpty())
            name = QStringLiteral("(ohne Namen)");
    }
    QString text = names.size() == 1
                       ? QStringLiteral("1 markierte Person wurde nicht eingereiht, weil ihre "
                                        "Mobilnummer so nicht versandt werden kann: ")
                       : QStringLiteral("%1 markierte Personen wurden nicht eingereiht, weil ihre "
                                        "Mobilnummer so nicht versandt werden kann: ")
                             .arg(names.size());
    text += shown.join(QStringLiteral(", "));
    if (names.size() > listed)
        text += QStringLiteral(" und %1 weitere").arg(names.size() - listed);
    text += QStringLiteral(".\nEine Nummer besteht aus Ziffern und Leerzeichen, ein \"+\" ist "
                           "nur am Anfang erlaubt, und sie hat höchstens %1 Ziffern. Bitte "
                           "korrigieren Sie die Nummern im Adressbuch.\n")
                .arg(QueueNumber::maxDigits);
    text += queued == 1 ? QStringLiteral("Die Nachricht wird für 1 Person eingereiht.")
            : queued > 1
                ? QStringLiteral("Die Nachricht wird für %1 Personen eingereiht.").arg(queued)
                : QStringLiteral("Es wird keine Nachricht eingereiht.");
    return text;
}

// Our own words for database failures, which the windows otherwise would
// swallow; the technical detail follows on a line of its own.
inline QString accessFailed(const QString &detail)
{
    return QStringLiteral("Auf das Adressbuch konnte nicht zugegriffen werden.\n") + detail;
}

inline QString notSaved(const QString &detail)
{
    return QStringLiteral("Ihre Änderungen konnten nicht gespeichert werden. Das Adressbuch "
                          "bleibt offen, damit nichts verloren geht.\n") +
           detail;
}

} // namespace AddressBookText
