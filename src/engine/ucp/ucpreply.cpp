#include "ucp.h"

#include "ucpsession.h"

#include <QCoreApplication>

// A reply to operation 01 is one of the results parseUcpMessage reads, so the
// frame checks (TRN, LEN, checksum, the A and N forms) live in one place.
UcpReply parseUcpReply(QByteArrayView bytes)
{
    return parseUcpResultTo(u"01", bytes);
}

UcpReply parseUcpResultTo(QStringView operation, QByteArrayView bytes)
{
    const UcpMessage message = parseUcpMessage(bytes);
    if (message.ot != operation)
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

UcpRefusal ucpRefusalOf(QStringView errorCode)
{
    // 02 syntax, 06 recipient address, 21/25 standard text, 23/26 message
    // type, 24 message too long.
    static constexpr QStringView message[] = {u"02", u"06", u"21", u"23", u"24", u"25", u"26"};
    // 05 call barring, 07 authentication, 08 legitimisation for all calls.
    static constexpr QStringView account[] = {u"05", u"07", u"08"};
    for (QStringView code : message) {
        if (errorCode == code)
            return UcpRefusal::Message;
    }
    for (QStringView code : account) {
        if (errorCode == code)
            return UcpRefusal::Account;
    }
    return UcpRefusal::Attempt;
}

QString ucpAccountRefusal(const QString &errorCode)
{
    return QCoreApplication::translate("Ucp", "SMS-Center verweigert den Versand (%1: %2)")
        .arg(errorCode, ucpNackText(errorCode));
}

QString ucpFailedAttempt(const QString &errorCode)
{
    if (errorCode == u"01")
        return QCoreApplication::translate("Ucp", "Prüfsummenfehler");
    return QCoreApplication::translate("Ucp", "Fehler des SMS-Centers (%1: %2)")
        .arg(errorCode, ucpNackText(errorCode));
}

QString ucpNackText(const QString &errorCode)
{
    struct Entry
    {
        const char *code;
        const char *text;
    };
    // The error codes of the UCP/EMI interface, translated when looked up.
    static constexpr Entry texts[] = {
        {"01", QT_TRANSLATE_NOOP("Ucp", "Checksummenfehler")},
        {"02", QT_TRANSLATE_NOOP("Ucp", "Syntaxfehler")},
        {"03", QT_TRANSLATE_NOOP("Ucp", "Operation nicht unterstützt")},
        {"04", QT_TRANSLATE_NOOP("Ucp", "Operation nicht erlaubt")},
        {"05", QT_TRANSLATE_NOOP("Ucp", "Sperre aktiv")},
        {"06", QT_TRANSLATE_NOOP("Ucp", "Empfängeradresse ungültig (AdC)")},
        {"07", QT_TRANSLATE_NOOP("Ucp", "Authentifizierung fehlgeschlagen")},
        {"08", QT_TRANSLATE_NOOP("Ucp", "Legitimationscode für alle Aufrufe fehlgeschlagen")},
        {"09", QT_TRANSLATE_NOOP("Ucp", "GA nicht gültig")},
        {"10", QT_TRANSLATE_NOOP("Ucp", "Wiederholung nicht erlaubt")},
        {"11", QT_TRANSLATE_NOOP("Ucp", "Legitimationscode für Wiederholung fehlgeschlagen")},
        {"12", QT_TRANSLATE_NOOP("Ucp", "Prioritätsnachricht nicht erlaubt")},
        {"13",
         QT_TRANSLATE_NOOP("Ucp", "Legitimationscode für Prioritätsnachricht fehlgeschlagen")},
        {"14", QT_TRANSLATE_NOOP("Ucp", "Dringende Nachricht nicht erlaubt")},
        {"15",
         QT_TRANSLATE_NOOP("Ucp", "Legitimationscode für dringende Nachricht fehlgeschlagen")},
        {"16", QT_TRANSLATE_NOOP("Ucp", "Gebührenübernahme durch den Empfänger nicht erlaubt")},
        {"17", QT_TRANSLATE_NOOP("Ucp", "Legitimationscode für Gebührenübernahme fehlgeschlagen")},
        {"18", QT_TRANSLATE_NOOP("Ucp", "Verzögerte Zustellung nicht erlaubt")},
        {"19", QT_TRANSLATE_NOOP("Ucp", "Neuer Authentifizierungscode ungültig")},
        {"20", QT_TRANSLATE_NOOP("Ucp", "Neuer Legitimationscode ungültig")},
        {"21", QT_TRANSLATE_NOOP("Ucp", "Standardtext ungültig")},
        {"22", QT_TRANSLATE_NOOP("Ucp", "Zeitraum ungültig")},
        {"23", QT_TRANSLATE_NOOP("Ucp", "Nachrichtentyp nicht unterstützt")},
        {"24", QT_TRANSLATE_NOOP("Ucp", "Nachricht zu lang")},
        {"25", QT_TRANSLATE_NOOP("Ucp", "Angeforderter Standardtext ungültig")},
        {"26", QT_TRANSLATE_NOOP("Ucp", "Nachrichtentyp ungültig")},
        {"27", QT_TRANSLATE_NOOP("Ucp", "Nachricht in der Zentrale nicht gefunden")},
        {"28", QT_TRANSLATE_NOOP("Ucp", "Ungültiger Zeichensatz")},
        {"30", QT_TRANSLATE_NOOP("Ucp", "Teilnehmer hat aufgelegt")},
        {"31", QT_TRANSLATE_NOOP("Ucp", "Faxgruppe nicht unterstützt")},
        {"32", QT_TRANSLATE_NOOP("Ucp", "Fax-Nachrichtentyp nicht unterstützt")},
        {"33", QT_TRANSLATE_NOOP("Ucp", "Adresse bereits in der Liste")},
        {"34", QT_TRANSLATE_NOOP("Ucp", "Adresse nicht in der Liste")},
        {"35", QT_TRANSLATE_NOOP("Ucp", "Liste voll, Adresse kann nicht hinzugefügt werden")},
        {"36", QT_TRANSLATE_NOOP("Ucp", "RPID bereits vergeben")},
        {"37", QT_TRANSLATE_NOOP("Ucp", "Zustellung läuft")},
        {"38", QT_TRANSLATE_NOOP("Ucp", "Nachricht weitergeleitet")},
        // Answers of the 5x and 6x operations, among them the session login.
        {"50", QT_TRANSLATE_NOOP("Ucp", "Netz ausgelastet")},
        {"51", QT_TRANSLATE_NOOP("Ucp", "Legitimationscode für Standardtext fehlgeschlagen")},
        {"53", QT_TRANSLATE_NOOP("Ucp", "Operation teilweise erfolgreich")},
        {"54", QT_TRANSLATE_NOOP("Ucp", "Operation nicht erfolgreich")},
        {"55", QT_TRANSLATE_NOOP("Ucp", "Systemfehler der Zentrale")},
    };
    for (const Entry &entry : texts) {
        if (errorCode == QLatin1StringView(entry.code))
            return QCoreApplication::translate("Ucp", entry.text);
    }
    return QCoreApplication::translate("Ucp", "unbekannter Fehler");
}
