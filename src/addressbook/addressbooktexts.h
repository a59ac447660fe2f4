#pragma once

#include <QString>

// The messages and captions of the address book and its recipient windows.
namespace AdressText {

inline QString keinDatensatzZumLoeschen()
{
    return QStringLiteral("Kein Datensatz zum löschen verfügbar!");
}

inline QString keineDatenZumSuchen()
{
    return QStringLiteral("Das Adressbuch enthält keine Daten! Suchen abgebrochen!");
}

inline QString suchePrompt()
{
    return QStringLiteral(
        "Bitte geben Sie den zu suchenden Namen ein!(Wenn Sie alle Namen anzeigen möchten geben "
        "Sie kein Suchzeichen ein und drücken 'OK')");
}

inline QString sucheTitel()
{
    return QStringLiteral("Suche...");
}

inline QString niemandAusgewaehlt()
{
    return QStringLiteral("Sie haben niemanden ausgewählt!");
}

inline QString keinePersonenErfasst()
{
    return QStringLiteral("Sie haben keine Personen erfasst, welchen Sie eine SMS senden können! "
                          "Serien-SMS wurde abgebrochen!");
}

inline QString serienOhneNachricht()
{
    return QStringLiteral("Bevor eine Serien-SMS gestartet werden kann, müssen Sie zuerst eine "
                          "Nachricht für alle Empfänger definieren!");
}

inline QString serienUeberlang()
{
    return QStringLiteral("In dieser Funktion werden überlange Nachrichte nicht unterstützt!");
}

// Our own words for database failures, which the windows otherwise would
// swallow; the technical detail follows on a line of its own.
inline QString zugriffFehlgeschlagen(const QString &detail)
{
    return QStringLiteral("Auf das Adressbuch konnte nicht zugegriffen werden.\n") + detail;
}

inline QString nichtGespeichert(const QString &detail)
{
    return QStringLiteral("Ihre Änderungen konnten nicht gespeichert werden. Das Adressbuch "
                          "bleibt offen, damit nichts verloren geht.\n") +
           detail;
}

} // namespace AdressText
