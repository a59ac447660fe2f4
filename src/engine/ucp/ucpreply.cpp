#include "ucp.h"

#include "ucpsession.h"

// A reply to operation 01 is one of the results parseUcpMessage reads, so the
// frame checks (TRN, LEN, checksum, the A and N forms) live in one place.
UcpReply parseUcpReply(QByteArrayView bytes)
{
    const UcpMessage message = parseUcpMessage(bytes);
    if (message.ot != u"01")
        return {};
    UcpReply reply;
    switch (message.kind) {
    case UcpMessage::Kind::Ack:
        reply.kind = UcpReply::Kind::Ack;
        break;
    case UcpMessage::Kind::Nack:
        reply.kind = UcpReply::Kind::Nack;
        break;
    case UcpMessage::Kind::Invalid:
    case UcpMessage::Kind::Operation:
        return {};
    }
    reply.trn = message.trn;
    reply.errorCode = message.errorCode;
    reply.systemMessage = message.systemMessage;
    return reply;
}

std::optional<QByteArray> takeUcpFrame(QByteArray &buffer)
{
    const qsizetype stx = buffer.indexOf(UcpStx);
    if (stx < 0) {
        // Modem chatter ("CONNECT 9600") or noise: nothing in it can become
        // part of a frame.
        buffer.clear();
        return std::nullopt;
    }
    const qsizetype etx = buffer.indexOf(UcpEtx, stx + 1);
    if (etx < 0) {
        // Keep waiting for the ETX, but only from the latest STX on: a frame
        // cannot contain an STX, so an earlier one belongs to a frame that broke
        // off.
        buffer.remove(0, buffer.lastIndexOf(UcpStx));
        return std::nullopt;
    }
    const qsizetype begin = buffer.lastIndexOf(UcpStx, etx);
    QByteArray frame = buffer.mid(begin + 1, etx - begin - 1);
    buffer.remove(0, etx + 1);
    return frame;
}

QString ucpNackText(const QString &errorCode)
{
    struct Entry
    {
        const char *code;
        const char *text;
    };
    // The error codes of the UCP/EMI interface. Umlauts are written as UTF-8.
    static constexpr Entry texts[] = {
        {"01", "Checksummenfehler"},
        {"02", "Syntaxfehler"},
        {"03", "Operation nicht unterstützt"},
        {"04", "Operation nicht erlaubt"},
        {"05", "Sperre aktiv"},
        {"06", "Empfängeradresse ungültig (AdC)"},
        {"07", "Authentifizierung fehlgeschlagen"},
        {"08", "Legitimationscode für alle Aufrufe fehlgeschlagen"},
        {"09", "GA nicht gültig"},
        {"10", "Wiederholung nicht erlaubt"},
        {"11", "Legitimationscode für Wiederholung fehlgeschlagen"},
        {"12", "Prioritätsnachricht nicht erlaubt"},
        {"13", "Legitimationscode für Prioritätsnachricht fehlgeschlagen"},
        {"14", "Dringende Nachricht nicht erlaubt"},
        {"15", "Legitimationscode für dringende Nachricht fehlgeschlagen"},
        {"16", "Gebührenübernahme durch den Empfänger nicht erlaubt"},
        {"17", "Legitimationscode für Gebührenübernahme fehlgeschlagen"},
        {"18", "Verzögerte Zustellung nicht erlaubt"},
        {"19", "Neuer Authentifizierungscode ungültig"},
        {"20", "Neuer Legitimationscode ungültig"},
        {"21", "Standardtext ungültig"},
        {"22", "Zeitraum ungültig"},
        {"23", "Nachrichtentyp nicht unterstützt"},
        {"24", "Nachricht zu lang"},
        {"25", "Angeforderter Standardtext ungültig"},
        {"26", "Nachrichtentyp ungültig"},
        {"27", "Nachricht in der Zentrale nicht gefunden"},
        {"28", "Ungültiger Zeichensatz"},
        {"30", "Teilnehmer hat aufgelegt"},
        {"31", "Faxgruppe nicht unterstützt"},
        {"32", "Fax-Nachrichtentyp nicht unterstützt"},
        {"33", "Adresse bereits in der Liste"},
        {"34", "Adresse nicht in der Liste"},
        {"35", "Liste voll, Adresse kann nicht hinzugefügt werden"},
        {"36", "RPID bereits vergeben"},
        {"37", "Zustellung läuft"},
        {"38", "Nachricht weitergeleitet"},
        // Answers of the 5x and 6x operations, among them the session login.
        {"50", "Netz ausgelastet"},
        {"51", "Legitimationscode für Standardtext fehlgeschlagen"},
        {"53", "Operation teilweise erfolgreich"},
        {"54", "Operation nicht erfolgreich"},
        {"55", "Systemfehler der Zentrale"},
    };
    for (const Entry &entry : texts) {
        if (errorCode == QLatin1StringView(entry.code))
            return QString::fromUtf8(entry.text);
    }
    return QStringLiteral("unbekannter Fehler");
}
