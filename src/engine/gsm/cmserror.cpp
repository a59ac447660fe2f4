#include "cmserror.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace Gsm {
namespace {

enum Kind : bool { Permanent = false, Temporary = true };

struct Entry
{
    int code;
    const char *text; // UTF-8, translated when looked up
    Kind kind;
};

// A cause counts as permanent when it is about the message itself (its
// destination, its content, the right to send it), so sending it again could
// never succeed; causes about the state of the network, the centre, the SIM
// or the modem are temporary.
constexpr Entry table[] = {
    // Causes of the network for a refused submission.
    {1, QT_TRANSLATE_NOOP("Gsm::CmsError", "Nummer nicht vergeben"), Permanent},
    {8, QT_TRANSLATE_NOOP("Gsm::CmsError", "Versand vom Netzbetreiber gesperrt"), Permanent},
    {10, QT_TRANSLATE_NOOP("Gsm::CmsError", "Versand an diese Nummer gesperrt"), Permanent},
    {21, QT_TRANSLATE_NOOP("Gsm::CmsError", "Kurzmitteilung abgewiesen"), Permanent},
    {22, QT_TRANSLATE_NOOP("Gsm::CmsError", "Speicherkapazität überschritten"), Temporary},
    {27, QT_TRANSLATE_NOOP("Gsm::CmsError", "Empfänger nicht erreichbar"), Temporary},
    {28, QT_TRANSLATE_NOOP("Gsm::CmsError", "Teilnehmer im Netz nicht bekannt"), Temporary},
    {29, QT_TRANSLATE_NOOP("Gsm::CmsError", "Dienst abgelehnt"), Permanent},
    {30, QT_TRANSLATE_NOOP("Gsm::CmsError", "Teilnehmer unbekannt"), Permanent},
    {38, QT_TRANSLATE_NOOP("Gsm::CmsError", "Netz ausser Betrieb"), Temporary},
    {41, QT_TRANSLATE_NOOP("Gsm::CmsError", "vorübergehende Störung"), Temporary},
    {42, QT_TRANSLATE_NOOP("Gsm::CmsError", "Netz überlastet"), Temporary},
    {47, QT_TRANSLATE_NOOP("Gsm::CmsError", "Netz hat keine freien Mittel"), Temporary},
    {50, QT_TRANSLATE_NOOP("Gsm::CmsError", "Dienst nicht abonniert"), Permanent},
    {69, QT_TRANSLATE_NOOP("Gsm::CmsError", "Dienst nicht eingerichtet"), Permanent},
    {81, QT_TRANSLATE_NOOP("Gsm::CmsError", "ungültige Referenznummer"), Permanent},
    {95, QT_TRANSLATE_NOOP("Gsm::CmsError", "Nachricht fehlerhaft"), Permanent},
    {96, QT_TRANSLATE_NOOP("Gsm::CmsError", "Pflichtangabe ungültig"), Permanent},
    {97, QT_TRANSLATE_NOOP("Gsm::CmsError", "Nachrichtentyp unbekannt"), Permanent},
    {98, QT_TRANSLATE_NOOP("Gsm::CmsError", "Nachricht passt nicht zum Protokollzustand"),
     Permanent},
    {99, QT_TRANSLATE_NOOP("Gsm::CmsError", "Informationselement unbekannt"), Permanent},
    {111, QT_TRANSLATE_NOOP("Gsm::CmsError", "Protokollfehler"), Permanent},
    {127, QT_TRANSLATE_NOOP("Gsm::CmsError", "Fehler beim Netzübergang"), Temporary},
    // Failure causes of the message centre.
    {128, QT_TRANSLATE_NOOP("Gsm::CmsError", "Telematikdienst nicht unterstützt"), Permanent},
    {129, QT_TRANSLATE_NOOP("Gsm::CmsError", "Kurzmitteilung vom Typ 0 nicht unterstützt"),
     Permanent},
    {130, QT_TRANSLATE_NOOP("Gsm::CmsError", "Kurzmitteilung kann nicht ersetzt werden"),
     Permanent},
    {143, QT_TRANSLATE_NOOP("Gsm::CmsError", "Protokollkennung abgelehnt"), Permanent},
    {144, QT_TRANSLATE_NOOP("Gsm::CmsError", "Zeichensatz nicht unterstützt"), Permanent},
    {145, QT_TRANSLATE_NOOP("Gsm::CmsError", "Nachrichtenklasse nicht unterstützt"), Permanent},
    {159, QT_TRANSLATE_NOOP("Gsm::CmsError", "Zeichenkodierung abgelehnt"), Permanent},
    {160, QT_TRANSLATE_NOOP("Gsm::CmsError", "Befehl nicht ausführbar"), Permanent},
    {161, QT_TRANSLATE_NOOP("Gsm::CmsError", "Befehl nicht unterstützt"), Permanent},
    {175, QT_TRANSLATE_NOOP("Gsm::CmsError", "Befehl abgelehnt"), Permanent},
    {176, QT_TRANSLATE_NOOP("Gsm::CmsError", "Nachrichtenformat nicht unterstützt"), Permanent},
    {192, QT_TRANSLATE_NOOP("Gsm::CmsError", "Nachrichtenzentrale ausgelastet"), Temporary},
    {193, QT_TRANSLATE_NOOP("Gsm::CmsError", "kein Abonnement bei der Nachrichtenzentrale"),
     Permanent},
    {194, QT_TRANSLATE_NOOP("Gsm::CmsError", "Störung der Nachrichtenzentrale"), Temporary},
    {195, QT_TRANSLATE_NOOP("Gsm::CmsError", "ungültige Empfängernummer"), Permanent},
    {196, QT_TRANSLATE_NOOP("Gsm::CmsError", "Empfänger gesperrt"), Permanent},
    {197, QT_TRANSLATE_NOOP("Gsm::CmsError", "Nachricht bereits erhalten"), Permanent},
    {198, QT_TRANSLATE_NOOP("Gsm::CmsError", "Format der Gültigkeitsdauer nicht unterstützt"),
     Permanent},
    {199, QT_TRANSLATE_NOOP("Gsm::CmsError", "Gültigkeitsdauer nicht unterstützt"), Permanent},
    {208, QT_TRANSLATE_NOOP("Gsm::CmsError", "SIM-Speicher voll"), Temporary},
    {209, QT_TRANSLATE_NOOP("Gsm::CmsError", "kein SMS-Speicher auf der SIM-Karte"), Temporary},
    {210, QT_TRANSLATE_NOOP("Gsm::CmsError", "Fehler im Modem"), Temporary},
    {211, QT_TRANSLATE_NOOP("Gsm::CmsError", "Speicher voll"), Temporary},
    {212, QT_TRANSLATE_NOOP("Gsm::CmsError", "SIM-Toolkit beschäftigt"), Temporary},
    {213, QT_TRANSLATE_NOOP("Gsm::CmsError", "Fehler beim Laden auf die SIM-Karte"), Temporary},
    {255, QT_TRANSLATE_NOOP("Gsm::CmsError", "Fehler ohne Angabe der Ursache"), Temporary},
    // Errors of the modem itself.
    {300, QT_TRANSLATE_NOOP("Gsm::CmsError", "Modemfehler"), Temporary},
    {301, QT_TRANSLATE_NOOP("Gsm::CmsError", "SMS-Dienst des Modems belegt"), Temporary},
    {302, QT_TRANSLATE_NOOP("Gsm::CmsError", "Vorgang nicht erlaubt"), Temporary},
    {303, QT_TRANSLATE_NOOP("Gsm::CmsError", "Vorgang nicht unterstützt"), Permanent},
    {304, QT_TRANSLATE_NOOP("Gsm::CmsError", "ungültige Angabe im PDU-Modus"), Permanent},
    {305, QT_TRANSLATE_NOOP("Gsm::CmsError", "ungültige Angabe im Textmodus"), Permanent},
    {310, QT_TRANSLATE_NOOP("Gsm::CmsError", "keine SIM-Karte eingelegt"), Temporary},
    {311, QT_TRANSLATE_NOOP("Gsm::CmsError", "SIM-PIN erforderlich"), Temporary},
    {312, QT_TRANSLATE_NOOP("Gsm::CmsError", "PH-SIM-PIN erforderlich"), Temporary},
    {313, QT_TRANSLATE_NOOP("Gsm::CmsError", "SIM-Karte defekt"), Temporary},
    {314, QT_TRANSLATE_NOOP("Gsm::CmsError", "SIM-Karte beschäftigt"), Temporary},
    {315, QT_TRANSLATE_NOOP("Gsm::CmsError", "falsche SIM-Karte"), Temporary},
    {316, QT_TRANSLATE_NOOP("Gsm::CmsError", "SIM-PUK erforderlich"), Temporary},
    {317, QT_TRANSLATE_NOOP("Gsm::CmsError", "SIM-PIN2 erforderlich"), Temporary},
    {318, QT_TRANSLATE_NOOP("Gsm::CmsError", "SIM-PUK2 erforderlich"), Temporary},
    {320, QT_TRANSLATE_NOOP("Gsm::CmsError", "Speicherfehler"), Temporary},
    {321, QT_TRANSLATE_NOOP("Gsm::CmsError", "ungültiger Speicherplatz"), Temporary},
    {322, QT_TRANSLATE_NOOP("Gsm::CmsError", "Speicher voll"), Temporary},
    {330, QT_TRANSLATE_NOOP("Gsm::CmsError", "Nummer der Nachrichtenzentrale unbekannt"),
     Temporary},
    {331, QT_TRANSLATE_NOOP("Gsm::CmsError", "kein Netz"), Temporary},
    {332, QT_TRANSLATE_NOOP("Gsm::CmsError", "Zeitüberschreitung im Netz"), Temporary},
    {340, QT_TRANSLATE_NOOP("Gsm::CmsError", "keine Bestätigung erwartet"), Temporary},
    {500, QT_TRANSLATE_NOOP("Gsm::CmsError", "unbekannter Fehler"), Temporary},
};

} // namespace

CmsError cmsError(int code)
{
    for (const Entry &entry : table) {
        if (entry.code == code)
            return CmsError{QCoreApplication::translate("Gsm::CmsError", entry.text),
                            entry.kind == Temporary};
    }
    return CmsError{QCoreApplication::translate("Gsm::CmsError", "unbekannter Fehler"), true};
}

QString cmeErrorText(int code)
{
    switch (code) {
    case 3:
        return QCoreApplication::translate("GsmDialogue", "Vorgang nicht erlaubt");
    case 4:
        return QCoreApplication::translate("GsmDialogue", "Vorgang nicht unterstützt");
    case 10:
        return QCoreApplication::translate("GsmDialogue", "keine SIM-Karte eingelegt");
    case 11:
        return QCoreApplication::translate("GsmDialogue", "SIM-PIN erforderlich");
    case 12:
        return QCoreApplication::translate("GsmDialogue", "SIM-PUK erforderlich");
    case 13:
        return QCoreApplication::translate("GsmDialogue", "SIM-Karte defekt");
    case 14:
        return QCoreApplication::translate("GsmDialogue", "SIM-Karte beschäftigt");
    case 15:
        return QCoreApplication::translate("GsmDialogue", "falsche SIM-Karte");
    case 16:
        return QCoreApplication::translate("GsmDialogue", "falsche PIN");
    case 17:
        return QCoreApplication::translate("GsmDialogue", "SIM-PIN2 erforderlich");
    case 18:
        return QCoreApplication::translate("GsmDialogue", "SIM-PUK2 erforderlich");
    case 30:
        return QCoreApplication::translate("GsmDialogue", "kein Netz");
    case 31:
        return QCoreApplication::translate("GsmDialogue", "Zeitüberschreitung im Netz");
    }
    return QCoreApplication::translate("GsmDialogue", "unbekannter Fehler");
}

} // namespace Gsm
