#pragma once

#include "queuenumber.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// The messages and captions of the address book and its recipient windows.
namespace AddressBookText {

inline QString noRecordToDelete()
{
    return QCoreApplication::translate("AddressBookText", "Kein Datensatz zum löschen verfügbar!");
}

inline QString noDataToSearch()
{
    return QCoreApplication::translate("AddressBookText",
                                       "Das Adressbuch enthält keine Daten! Suchen abgebrochen!");
}

inline QString searchPrompt()
{
    return QCoreApplication::translate(
        "AddressBookText",
        "Bitte geben Sie den zu suchenden Namen ein!(Wenn Sie alle Namen anzeigen möchten geben "
        "Sie kein Suchzeichen ein und drücken 'OK')");
}

inline QString searchTitle()
{
    return QCoreApplication::translate("AddressBookText", "Suche...");
}

inline QString nobodyChosen()
{
    return QCoreApplication::translate("AddressBookText", "Sie haben niemanden ausgewählt!");
}

inline QString noPersonsEntered()
{
    return QCoreApplication::translate(
        "AddressBookText", "Sie haben keine Personen erfasst, welchen Sie eine SMS senden können! "
                           "Serien-SMS wurde abgebrochen!");
}

inline QString bulkWithoutMessage()
{
    return QCoreApplication::translate(
        "AddressBookText", "Bevor eine Serien-SMS gestartet werden kann, müssen Sie zuerst eine "
                           "Nachricht für alle Empfänger definieren!");
}

inline QString bulkTooLong()
{
    return QCoreApplication::translate(
        "AddressBookText", "In dieser Funktion werden überlange Nachrichte nicht unterstützt!");
}

// Names a person's stored number at the start of a sentence about it.
inline QString mobileNumberOf(const QString &name)
{
    return name.isEmpty()
               ? QCoreApplication::translate("AddressBookText", "Die Mobilnummer")
               : QCoreApplication::translate("AddressBookText", "Die Mobilnummer von %1").arg(name);
}

inline QString correctNumber()
{
    return QCoreApplication::translate("AddressBookText",
                                       "Bitte korrigieren Sie die Nummer im Adressbuch.");
}

// The bulk run leaves out the marked persons whose number cannot be queued.
inline QString bulkSkipped(const QStringList &names, qsizetype queued)
{
    // Enough names to find them in the address book; the rest is counted.
    constexpr qsizetype listed = 10;
    QStringList shown = names.mid(0, listed);
    for (QString &name : shown) {
        if (name.isEmpty())
            name = QCoreApplication::translate("AddressBookText", "(ohne Namen)");
    }
    QString list = shown.join(QStringLiteral(", "));
    if (names.size() > listed) {
        list = QCoreApplication::translate("AddressBookText", "%1 und %2 weitere")
                   .arg(list, QString::number(names.size() - listed));
    }
    QString text =
        names.size() == 1
            ? QCoreApplication::translate("AddressBookText",
                                          "1 markierte Person wurde nicht eingereiht, weil ihre "
                                          "Mobilnummer so nicht versandt werden kann: %1.")
                  .arg(list)
            : QCoreApplication::translate("AddressBookText",
                                          "%1 markierte Personen wurden nicht eingereiht, weil "
                                          "ihre Mobilnummer so nicht versandt werden kann: %2.")
                  .arg(QString::number(names.size()), list);
    text += u'\n' +
            QCoreApplication::translate("AddressBookText",
                                        "Eine Nummer besteht aus Ziffern, Leerzeichen und den "
                                        "Trennzeichen - / . ( ), ein \"+\" ist nur am Anfang "
                                        "erlaubt, und sie hat höchstens %1 Ziffern, ein \"+\" "
                                        "oder \"00\" am Anfang nicht mitgezählt. Bitte "
                                        "korrigieren Sie die Nummern im Adressbuch.")
                .arg(QueueNumber::maxDigits) +
            u'\n';
    text +=
        queued == 1 ? QCoreApplication::translate("AddressBookText",
                                                  "Die Nachricht wird für 1 Person eingereiht.")
        : queued > 1
            ? QCoreApplication::translate("AddressBookText",
                                          "Die Nachricht wird für %1 Personen eingereiht.")
                  .arg(queued)
            : QCoreApplication::translate("AddressBookText", "Es wird keine Nachricht eingereiht.");
    return text;
}

// Our own words for database failures, which the windows otherwise would
// swallow; the technical detail follows on a line of its own.
inline QString accessFailed(const QString &detail)
{
    return QCoreApplication::translate("AddressBookText",
                                       "Auf das Adressbuch konnte nicht zugegriffen werden.\n") +
           detail;
}

inline QString notSaved(const QString &detail)
{
    return QCoreApplication::translate(
               "AddressBookText",
               "Ihre Änderungen konnten nicht gespeichert werden. Das Adressbuch "
               "bleibt offen, damit nichts verloren geht.\n") +
           detail;
}

} // namespace AddressBookText
