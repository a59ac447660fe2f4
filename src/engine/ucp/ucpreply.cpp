#include "ucp.h"

#include <QList>

namespace {

bool allDigits(QByteArrayView field, qsizetype width)
{
    if (field.size() != width)
        return false;
    for (char c : field) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

int hexNibble(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The frame proper, without STX/ETX and whatever surrounds them; an empty
// view when the input is neither a bare frame nor holds a complete STX...ETX.
QByteArrayView framePart(QByteArrayView bytes)
{
    const qsizetype stx = bytes.indexOf(UcpStx);
    if (stx < 0)
        return bytes;
    const qsizetype etx = bytes.indexOf(UcpEtx, stx + 1);
    if (etx < 0)
        return {};
    return bytes.sliced(stx + 1, etx - stx - 1);
}

UcpReply invalid()
{
    return {};
}

} // namespace

UcpReply parseUcpReply(QByteArrayView bytes)
{
    const QByteArrayView frame = framePart(bytes);
    if (frame.isEmpty())
        return invalid();

    // UCP frames are printable IA5 text; a control byte (a stray STX or ETX,
    // line noise) means the frame is broken.
    for (char c : frame) {
        if (c < 0x20 || c > 0x7E)
            return invalid();
    }

    QList<QByteArrayView> fields;
    qsizetype start = 0;
    for (qsizetype i = 0; i < frame.size(); ++i) {
        if (frame[i] == '/') {
            fields.append(frame.sliced(start, i - start));
            start = i + 1;
        }
    }
    fields.append(frame.sliced(start));

    // TRN, LEN, O/R, OT, A or N, at least one data field, checksum.
    if (fields.size() < 7)
        return invalid();
    if (!allDigits(fields[0], 2) || !allDigits(fields[1], 5))
        return invalid();
    if (fields[1].toInt() != frame.size())
        return invalid();
    if (fields[2] != "R" || fields[3] != "01")
        return invalid();

    const QByteArrayView checksum = fields.last();
    if (checksum.size() != 2)
        return invalid();
    const int high = hexNibble(checksum[0]);
    const int low = hexNibble(checksum[1]);
    if (high < 0 || low < 0)
        return invalid();
    unsigned sum = 0;
    for (char c : frame.first(frame.size() - 2))
        sum += static_cast<unsigned char>(c);
    if ((sum & 0xFF) != unsigned(high * 16 + low))
        return invalid();

    UcpReply reply;
    reply.trn = QString::fromLatin1(fields[0]);
    const QByteArrayView ack = fields[4];
    if (ack == "A" && (fields.size() == 7 || fields.size() == 8)) {
        // Operation 01 answers A/SM; some centres answer in the A/MVP/SM form
        // of the 5x operations. The system message is the last field either way.
        reply.kind = UcpReply::Kind::Ack;
    } else if (ack == "N" && fields.size() == 8 && allDigits(fields[5], 2)) {
        reply.kind = UcpReply::Kind::Nack;
        reply.errorCode = QString::fromLatin1(fields[5]);
    } else {
        return invalid();
    }
    reply.systemMessage = QString::fromLatin1(fields[fields.size() - 2]);
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
