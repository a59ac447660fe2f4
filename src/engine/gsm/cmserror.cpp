#include "cmserror.h"

using namespace Qt::StringLiterals;

namespace Gsm {
namespace {

enum Kind : bool { Permanent = false, Temporary = true };

struct Entry
{
    int code;
    const char16_t *text;
    Kind kind;
};

// A cause counts as permanent when it is about the message itself (its
// destination, its content, the right to send it), so sending it again could
// never succeed; causes about the state of the network, the centre, the SIM
// or the modem are temporary.
constexpr Entry table[] = {
    // Causes of the network for a refused submission.
    {1, u"Nummer nicht vergeben", Permanent},
    {8, u"Versand vom Netzbetreiber gesperrt", Permanent},
    {10, u"Versand an diese Nummer gesperrt", Permanent},
    {21, u"Kurzmitteilung abgewiesen", Permanent},
    {27, u"Empfänger nicht erreichbar", Temporary},
    {28, u"Teilnehmer im Netz nicht bekannt", Temporary},
    {29, u"Dienst abgelehnt", Permanent},
    {30, u"Teilnehmer unbekannt", Permanent},
    {38, u"Netz ausser Betrieb", Temporary},
    {41, u"vorübergehende Störung", Temporary},
    {42, u"Netz überlastet", Temporary},
    {47, u"Netz hat keine freien Mittel", Temporary},
    {50, u"Dienst nicht abonniert", Permanent},
    {69, u"Dienst nicht eingerichtet", Permanent},
    {81, u"ungültige Referenznummer", Permanent},
    {95, u"Nachricht fehlerhaft", Permanent},
    {96, u"Pflichtangabe ungültig", Permanent},
    {97, u"Nachrichtentyp unbekannt", Permanent},
    {98, u"Nachricht passt nicht zum Protokollzustand", Permanent},
    {99, u"Informationselement unbekannt", Permanent},
    {111, u"Protokollfehler", Permanent},
    {127, u"Fehler beim Netzübergang", Temporary},
    // Failure causes of the message centre.
    {128, u"Telematikdienst nicht unterstützt", Permanent},
    {129, u"Kurzmitteilung vom Typ 0 nicht unterstützt", Permanent},
    {130, u"Kurzmitteilung kann nicht ersetzt werden", Permanent},
    {143, u"Protokollkennung abgelehnt", Permanent},
    {144, u"Zeichensatz nicht unterstützt", Permanent},
    {145, u"Nachrichtenklasse nicht unterstützt", Permanent},
    {159, u"Zeichenkodierung abgelehnt", Permanent},
    {160, u"Befehl nicht ausführbar", Permanent},
    {161, u"Befehl nicht unterstützt", Permanent},
    {175, u"Befehl abgelehnt", Permanent},
    {176, u"Nachrichtenformat nicht unterstützt", Permanent},
    {192, u"Nachrichtenzentrale ausgelastet", Temporary},
    {193, u"kein Abonnement bei der Nachrichtenzentrale", Permanent},
    {194, u"Störung der Nachrichtenzentrale", Temporary},
    {195, u"ungültige Empfängernummer", Permanent},
    {196, u"Empfänger gesperrt", Permanent},
    {197, u"Nachricht bereits erhalten", Permanent},
    {198, u"Format der Gültigkeitsdauer nicht unterstützt", Permanent},
    {199, u"Gültigkeitsdauer nicht unterstützt", Permanent},
    {208, u"SIM-Speicher voll", Temporary},
    {209, u"kein SMS-Speicher auf der SIM-Karte", Temporary},
    {210, u"Fehler im Modem", Temporary},
    {211, u"Speicher voll", Temporary},
    {212, u"SIM-Toolkit beschäftigt", Temporary},
    {213, u"Fehler beim Laden auf die SIM-Karte", Temporary},
    {255, u"Fehler ohne Angabe der Ursache", Temporary},
    // Errors of the modem itself.
    {300, u"Modemfehler", Temporary},
    {301, u"SMS-Dienst des Modems belegt", Temporary},
    {302, u"Vorgang nicht erlaubt", Temporary},
    {303, u"Vorgang nicht unterstützt", Permanent},
    {304, u"ungültige Angabe im PDU-Modus", Permanent},
    {305, u"ungültige Angabe im Textmodus", Permanent},
    {310, u"keine SIM-Karte eingelegt", Temporary},
    {311, u"SIM-PIN erforderlich", Temporary},
    {312, u"PH-SIM-PIN erforderlich", Temporary},
    {313, u"SIM-Karte defekt", Temporary},
    {314, u"SIM-Karte beschäftigt", Temporary},
    {315, u"falsche SIM-Karte", Temporary},
    {316, u"SIM-PUK erforderlich", Temporary},
    {317, u"SIM-PIN2 erforderlich", Temporary},
    {318, u"SIM-PUK2 erforderlich", Temporary},
    {320, u"Speicherfehler", Temporary},
    {321, u"ungültiger Speicherplatz", Temporary},
    {322, u"Speicher voll", Temporary},
    {330, u"Nummer der Nachrichtenzentrale unbekannt", Temporary},
    {331, u"kein Netz", Temporary},
    {332, u"Zeitüberschreitung im Netz", Temporary},
    {340, u"keine Bestätigung erwartet", Temporary},
    {500, u"unbekannter Fehler", Temporary},
};

} // namespace

CmsError cmsError(int code)
{
    for (const Entry &entry : table) {
        if (entry.code == code)
            return CmsError{QString::fromUtf16(entry.text), entry.kind == Temporary};
    }
    return CmsError{u"unbekannter Fehler"_s, true};
}

} // namespace Gsm
