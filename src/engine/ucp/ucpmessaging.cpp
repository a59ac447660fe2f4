#include "ucpmessaging.h"

#include "gsmpdu.h"
#include "nurziffern.h"
#include "ucpsession.h"

#include <QCoreApplication>
#include <QList>

using namespace Qt::StringLiterals;

namespace {

// The 33 fields of operations 51 to 53, counted from AdC.
enum Field {
    AdC,
    OAdC,
    AC,
    NRq,
    NAdC,
    NT,
    NPID,
    LRq,
    LRAd,
    LPID,
    DD,
    DDT,
    VP,
    RPID,
    SCTS,
    Dst,
    Rsn,
    DSCTS,
    MT,
    NB,
    Msg,
    MMS,
    PR,
    DCs,
    MCLs,
    RPI,
    CPg,
    RPLy,
    OTOA,
    HPLMN,
    XSer,
    RES4,
    RES5,
    FieldCount
};

// TRN, LEN, O/R and OT come before the fields, the checksum after them.
constexpr qsizetype headerFields = 4;

// PID and NPID 0539: the program is a PC application.
constexpr auto pcApplication = "0539"_L1;
// OTOA of an alphanumeric originator.
constexpr auto alphanumericOtoa = "5039"_L1;
constexpr int maxSenderSeptets = 11;

// XSer service types.
constexpr quint8 xserUdh = 0x01;
constexpr quint8 xserDcs = 0x02;

// User data header elements of concatenation: 8-bit and 16-bit reference.
constexpr quint8 concat8 = 0x00;
constexpr quint8 concat16 = 0x08;

constexpr char dcsGsm7 = 0x00;
constexpr char dcsUcs2 = 0x08;

QString lengthField(qsizetype length)
{
    return QString::number(length).rightJustified(5, u'0');
}

QString hexOf(QByteArrayView octets)
{
    return QString::fromLatin1(octets.toByteArray().toHex().toUpper());
}

// The octets of a hex field; nothing when it is not whole octets of hex
// digits (QByteArray::fromHex would skip such characters silently).
std::optional<QByteArray> octetsOf(QByteArrayView hex)
{
    if (hex.size() % 2 != 0)
        return std::nullopt;
    for (char c : hex) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f')))
            return std::nullopt;
    }
    return QByteArray::fromHex(hex.toByteArray());
}

bool isDigits(QByteArrayView field)
{
    for (char c : field) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// DDMMYYhhmmss as the centre writes its time stamps; null for anything else.
QDateTime timeStampOf(QByteArrayView field)
{
    if (field.size() != 12 || !isDigits(field))
        return {};
    const auto number = [&](qsizetype at) { return field.sliced(at, 2).toInt(); };
    const QDate date(2000 + number(4), number(2), number(0));
    const QTime time(number(6), number(8), number(10));
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

// The frame proper, as parseUcpMessage reads it: the input itself when it
// holds no STX, else the bytes between the first STX and the next ETX.
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

// The 33 fields of an operation ot of the centre, from AdC on; nothing when
// the frame is broken (parseUcpMessage's checks), of another operation or
// has another number of fields.
std::optional<QList<QByteArrayView>> operationFields(QByteArrayView bytes, QStringView ot,
                                                     UcpMessage &message)
{
    message = parseUcpMessage(bytes);
    if (message.kind != UcpMessage::Kind::Operation || message.ot != ot)
        return std::nullopt;
    const QByteArrayView frame = framePart(bytes);
    QList<QByteArrayView> fields;
    qsizetype start = 0;
    for (qsizetype i = 0; i < frame.size(); ++i) {
        if (frame[i] == '/') {
            fields.append(frame.sliced(start, i - start));
            start = i + 1;
        }
    }
    if (fields.size() != headerFields + FieldCount)
        return std::nullopt;
    return fields.sliced(headerFields);
}

// The text of AMsg: GSM default alphabet codes, one octet each. Nothing when
// the field is not hex or holds an octet above 7F.
std::optional<QString> amsgText(QByteArrayView field)
{
    const std::optional<QByteArray> octets = octetsOf(field);
    if (!octets)
        return std::nullopt;
    for (char c : *octets) {
        if (quint8(c) > 0x7F)
            return std::nullopt;
    }
    return Gsm::fromSeptets(*octets);
}

// OAdC of an alphanumeric sender: the number of semi-octets that the packed
// septets fill, then the septets packed.
QString alphanumericAddress(QByteArrayView septets)
{
    QByteArray octets;
    octets += char((septets.size() * 7 + 3) / 4);
    octets += Gsm::packSeptets(septets);
    return hexOf(octets);
}

std::optional<QString> alphanumericSender(QByteArrayView field)
{
    const std::optional<QByteArray> octets = octetsOf(field);
    if (!octets || octets->isEmpty())
        return std::nullopt;
    const int semiOctets = quint8(octets->at(0));
    const QByteArray packed = octets->sliced(1);
    if ((semiOctets + 1) / 2 > packed.size())
        return std::nullopt;
    return Gsm::fromSeptets(Gsm::unpackSeptets(packed, semiOctets * 4 / 7));
}

bool isNumericSender(QStringView sender)
{
    const QStringView trimmed = sender.trimmed();
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        const QChar c = trimmed[i];
        if (!isAsciiDigit(c) && c != u' ' && !(i == 0 && c == u'+'))
            return false;
    }
    return true;
}

// A message's payload per part: unpacked septets for 7-bit, UTF-16
// big-endian octets for UCS-2, cut where Gsm::planMessage cuts.
struct Parts
{
    bool gsm7 = true;
    QList<QByteArray> payloads;
};

Parts partsOf(QStringView text)
{
    Parts parts;
    if (const std::optional<QByteArray> septets = Gsm::toSeptets(text)) {
        if (septets->size() <= Gsm::singleSeptets) {
            parts.payloads.append(*septets);
            return parts;
        }
        for (qsizetype start = 0; start < septets->size();) {
            qsizetype end = std::min(start + Gsm::partSeptets, septets->size());
            // An escape septet is never cut off from its character.
            if (end < septets->size() && septets->at(end - 1) == Gsm::escapeSeptet)
                --end;
            parts.payloads.append(septets->sliced(start, end - start));
            start = end;
        }
        return parts;
    }
    parts.gsm7 = false;
    if (text.size() <= Gsm::singleUcs2Units) {
        parts.payloads.append(Gsm::toUcs2(text));
        return parts;
    }
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = std::min(start + Gsm::partUcs2Units, text.size());
        // Nor is a surrogate pair.
        if (end < text.size() && text.at(end - 1).isHighSurrogate() &&
            text.at(end).isLowSurrogate())
            --end;
        parts.payloads.append(Gsm::toUcs2(text.sliced(start, end - start)));
        start = end;
    }
    return parts;
}

QString sealedOperation(UcpTrn trn, QLatin1StringView ot, const QStringList &fields)
{
    const QString joined = fields.join(u'/');
    // TRN "/" LEN "/O/" OT "/" fields "/" and the checksum.
    const qsizetype length = 17 + joined.size();
    QString body = trn.text() + u'/' + lengthField(length) + "/O/"_L1 + ot + u'/' + joined + u'/';
    body.append(Chksum(body, u'3'));
    return body;
}

// What an XSer field of an incoming message says.
struct Services
{
    std::optional<UcpConcatenation> part;
    std::optional<quint8> dcs;
};

std::optional<UcpConcatenation> concatenationOf(QByteArrayView udh)
{
    if (udh.isEmpty())
        return std::nullopt;
    const qsizetype end = std::min<qsizetype>(1 + quint8(udh[0]), udh.size());
    for (qsizetype at = 1; at + 2 <= end;) {
        const quint8 iei = quint8(udh[at]);
        const qsizetype length = quint8(udh[at + 1]);
        if (at + 2 + length > end)
            break;
        const QByteArrayView data = udh.sliced(at + 2, length);
        UcpConcatenation part;
        if (iei == concat8 && length == 3) {
            part = {quint8(data[0]), quint8(data[1]), quint8(data[2])};
        } else if (iei == concat16 && length == 4) {
            part = {quint8(data[0]) << 8 | quint8(data[1]), quint8(data[2]), quint8(data[3])};
        } else {
            at += 2 + length;
            continue;
        }
        // A part number outside the count would never complete a message.
        if (part.sequence < 1 || part.sequence > part.total)
            return std::nullopt;
        return part;
    }
    return std::nullopt;
}

std::optional<Services> servicesOf(QByteArrayView field)
{
    const std::optional<QByteArray> octets = octetsOf(field);
    if (!octets)
        return std::nullopt;
    Services services;
    for (qsizetype at = 0; at < octets->size();) {
        if (at + 2 > octets->size())
            return std::nullopt;
        const quint8 type = quint8(octets->at(at));
        const qsizetype length = quint8(octets->at(at + 1));
        if (at + 2 + length > octets->size())
            return std::nullopt;
        const QByteArrayView data = QByteArrayView(*octets).sliced(at + 2, length);
        if (type == xserUdh)
            services.part = concatenationOf(data);
        else if (type == xserDcs && length == 1)
            services.dcs = quint8(data[0]);
        at += 2 + length;
    }
    return services;
}

enum class Alphabet { Gsm7, EightBit, Ucs2 };

// The alphabet of a data coding scheme (3GPP TS 23.038); a reserved one is
// read as 7-bit, as the standard asks.
Alphabet alphabetOf(quint8 dcs)
{
    if ((dcs & 0xF0) == 0xF0)
        return (dcs & 0x04) ? Alphabet::EightBit : Alphabet::Gsm7;
    if ((dcs & 0x80) == 0) {
        switch ((dcs >> 2) & 0x03) {
        case 1:
            return Alphabet::EightBit;
        case 2:
            return Alphabet::Ucs2;
        default:
            return Alphabet::Gsm7;
        }
    }
    if ((dcs & 0xF0) == 0xE0)
        return Alphabet::Ucs2;
    return Alphabet::Gsm7;
}

QString fromUcs2(QByteArrayView octets)
{
    QString text;
    text.reserve(octets.size() / 2);
    for (qsizetype i = 0; i + 1 < octets.size(); i += 2)
        text.append(QChar(char16_t(quint8(octets[i]) << 8 | quint8(octets[i + 1]))));
    return text;
}

// The text of MT 4: TMsg in the alphabet that the data coding scheme names.
std::optional<QString> tmsgText(QByteArrayView nb, QByteArrayView tmsg, std::optional<quint8> dcs)
{
    const std::optional<QByteArray> octets = octetsOf(tmsg);
    if (!octets || !isDigits(nb) || nb.size() > 5)
        return std::nullopt;
    switch (alphabetOf(dcs.value_or(quint8(dcsGsm7)))) {
    case Alphabet::Ucs2:
        if (octets->size() % 2 != 0)
            return std::nullopt;
        return fromUcs2(*octets);
    case Alphabet::EightBit:
        return QString::fromLatin1(*octets);
    case Alphabet::Gsm7:
        break;
    }
    const qsizetype bits = nb.isEmpty() ? octets->size() * 8 : nb.toInt();
    if (bits > octets->size() * 8)
        return std::nullopt;
    return Gsm::fromSeptets(Gsm::unpackSeptets(*octets, int(bits / 7)));
}

} // namespace

UcpSubmitFrames ucpSubmitFrames(const UcpSubmission &submission, UcpTrn first)
{
    UcpSubmitFrames result;
    const QString recipient = NurZiffern(QStringView(submission.recipient));
    if (recipient.isEmpty()) {
        result.problem = UcpSubmitProblem::NoRecipient;
        return result;
    }
    QString sender;
    bool alphanumeric = false;
    if (isNumericSender(submission.sender)) {
        sender = NurZiffern(QStringView(submission.sender));
    } else {
        const std::optional<QByteArray> septets = Gsm::toSeptets(submission.sender);
        if (!septets) {
            result.problem = UcpSubmitProblem::SenderNotGsm;
            return result;
        }
        if (septets->size() > maxSenderSeptets) {
            result.problem = UcpSubmitProblem::SenderTooLong;
            return result;
        }
        sender = alphanumericAddress(*septets);
        alphanumeric = true;
    }
    const Parts parts = partsOf(submission.text);
    const qsizetype count = parts.payloads.size();
    if (count > Gsm::maxParts) {
        result.problem = UcpSubmitProblem::TooManyParts;
        return result;
    }

    QStringList fields(FieldCount);
    fields[AdC] = recipient;
    fields[OAdC] = sender;
    if (submission.deliveryReport) {
        fields[NRq] = u"1"_s;
        fields[NT] = u"3"_s;
        fields[NPID] = pcApplication;
    }
    if (alphanumeric)
        fields[OTOA] = alphanumericOtoa;

    UcpTrn trn = first;
    for (qsizetype i = 0; i < count; ++i) {
        const QByteArray &payload = parts.payloads.at(i);
        if (parts.gsm7 && count == 1) {
            fields[MT] = u"3"_s;
            fields[Msg] = hexOf(payload);
        } else {
            fields[MT] = u"4"_s;
            QByteArray services;
            if (count > 1) {
                const char udh[] = {char(xserUdh), 6,          5,
                                    char(concat8), 3,          char(submission.reference),
                                    char(count),   char(i + 1)};
                services.append(udh, sizeof udh);
            }
            services += char(xserDcs);
            services += char(1);
            services += parts.gsm7 ? dcsGsm7 : dcsUcs2;
            fields[XSer] = hexOf(services);
            if (parts.gsm7) {
                fields[NB] = QString::number(payload.size() * 7);
                fields[Msg] = hexOf(Gsm::packSeptets(payload));
            } else {
                fields[NB] = QString::number(payload.size() * 8);
                fields[Msg] = hexOf(payload);
            }
        }
        result.frames.append(sealedOperation(trn, "51"_L1, fields));
        trn = trn.next();
    }
    return result;
}

UcpSubmitResult parseUcpSubmitResult(QByteArrayView bytes)
{
    const UcpMessage message = parseUcpMessage(bytes);
    if (message.ot != u"51")
        return {};
    UcpSubmitResult result;
    switch (message.kind) {
    case UcpMessage::Kind::Ack: {
        result.kind = UcpSubmitResult::Kind::Accepted;
        const qsizetype colon = message.systemMessage.lastIndexOf(u':');
        if (colon >= 0) {
            result.recipient = message.systemMessage.first(colon);
            result.scts = timeStampOf(message.systemMessage.sliced(colon + 1).toLatin1());
        }
        break;
    }
    case UcpMessage::Kind::Nack:
        result.kind = UcpSubmitResult::Kind::Refused;
        result.errorCode = message.errorCode;
        result.refusal = ucpRefusalOf(message.errorCode);
        break;
    case UcpMessage::Kind::Invalid:
    case UcpMessage::Kind::Operation:
        return {};
    }
    result.trn = message.trn;
    result.systemMessage = message.systemMessage;
    return result;
}

UcpNotification parseUcpNotification(QByteArrayView bytes)
{
    UcpMessage message;
    const auto fields = operationFields(bytes, u"53", message);
    if (!fields)
        return {};
    const QByteArrayView dst = fields->at(Dst);
    const QByteArrayView rsn = fields->at(Rsn);
    if (dst.size() != 1 || dst[0] < '0' || dst[0] > '2' || rsn.size() > 3 || !isDigits(rsn))
        return {};
    UcpNotification notification;
    notification.submitted = timeStampOf(fields->at(SCTS));
    if (!notification.submitted.isValid())
        return {};
    notification.valid = true;
    notification.trn = message.trn;
    notification.originator = QString::fromLatin1(fields->at(AdC));
    notification.recipient = QString::fromLatin1(fields->at(OAdC));
    notification.status = UcpDeliveryStatus(dst[0] - '0');
    notification.reason = QString::fromLatin1(rsn);
    notification.statusTime = timeStampOf(fields->at(DSCTS));
    // The centre's wording is only a courtesy: a notification whose text
    // cannot be read still reports the delivery.
    if (fields->at(MT) == "3")
        notification.text = amsgText(fields->at(Msg)).value_or(QString());
    return notification;
}

QString ucpReasonText(QStringView reason)
{
    if (reason.isEmpty())
        return {};
    struct Entry
    {
        int from;
        int to;
        const char *text;
    };
    // The reason codes a notification most often carries.
    static constexpr Entry texts[] = {
        {0, 0, QT_TRANSLATE_NOOP("UcpReason", "Teilnehmer unbekannt")},
        {1, 8, QT_TRANSLATE_NOOP("UcpReason", "Dienst vorübergehend nicht verfügbar")},
        {10, 10, QT_TRANSLATE_NOOP("UcpReason", "Zeitüberschreitung im Netz")},
        {101, 101, QT_TRANSLATE_NOOP("UcpReason", "Teilnehmer unbekannt")},
        {103, 104, QT_TRANSLATE_NOOP("UcpReason", "Empfang gesperrt")},
        {105, 105, QT_TRANSLATE_NOOP("UcpReason", "SMS-Center überlastet")},
        {107, 107, QT_TRANSLATE_NOOP("UcpReason", "Empfänger nicht erreichbar")},
        {108, 108, QT_TRANSLATE_NOOP("UcpReason", "Zustellung fehlgeschlagen")},
        {109, 109, QT_TRANSLATE_NOOP("UcpReason", "SMS-Center überlastet")},
        {111, 111, QT_TRANSLATE_NOOP("UcpReason", "Telefon kann keine SMS empfangen")},
        {113, 113, QT_TRANSLATE_NOOP("UcpReason", "SMS-Center überlastet")},
        {116, 116, QT_TRANSLATE_NOOP("UcpReason", "Fehler im Telefon des Empfängers")},
        {118, 126, QT_TRANSLATE_NOOP("UcpReason", "Systemfehler im Netz")},
        {202, 202, QT_TRANSLATE_NOOP("UcpReason", "Nachricht zu lang")},
        {206, 206, QT_TRANSLATE_NOOP("UcpReason", "Empfängeradresse ungültig")},
    };
    if (reason.size() == 3 && isDigits(reason.toLatin1())) {
        const int code = reason.toInt();
        for (const Entry &entry : texts) {
            if (code >= entry.from && code <= entry.to)
                return QCoreApplication::translate("UcpReason", entry.text);
        }
    }
    return QCoreApplication::translate("UcpReason", "anderer Grund (%1)").arg(reason);
}

UcpIncomingMessage parseUcpIncomingMessage(QByteArrayView bytes)
{
    UcpMessage message;
    const auto fields = operationFields(bytes, u"52", message);
    if (!fields)
        return {};
    UcpIncomingMessage incoming;
    incoming.received = timeStampOf(fields->at(SCTS));
    if (!incoming.received.isValid())
        return {};

    const QByteArrayView mt = fields->at(MT);
    std::optional<QString> text;
    if (mt == "3") {
        text = amsgText(fields->at(Msg));
    } else if (mt == "2" && isDigits(fields->at(Msg))) {
        text = QString::fromLatin1(fields->at(Msg));
    } else if (mt == "4") {
        const std::optional<Services> services = servicesOf(fields->at(XSer));
        if (!services)
            return {};
        text = tmsgText(fields->at(NB), fields->at(Msg), services->dcs);
        incoming.part = services->part;
    }
    if (!text)
        return {};

    if (fields->at(OTOA) == alphanumericOtoa) {
        const std::optional<QString> sender = alphanumericSender(fields->at(OAdC));
        if (!sender)
            return {};
        incoming.sender = *sender;
    } else {
        incoming.sender = QString::fromLatin1(fields->at(OAdC));
    }
    incoming.valid = true;
    incoming.trn = message.trn;
    incoming.recipient = QString::fromLatin1(fields->at(AdC));
    incoming.text = *text;
    return incoming;
}

QString ucpAlertFrame(const QString &account, UcpTrn trn)
{
    return sealedOperation(trn, "31"_L1, {NurZiffern(QStringView(account)), pcApplication});
}

UcpReply parseUcpAlertResult(QByteArrayView bytes)
{
    return parseUcpResultTo(u"31", bytes);
}

UcpIncomingFrame classifyUcpFrame(QByteArrayView bytes)
{
    const UcpMessage message = parseUcpMessage(bytes);
    UcpIncomingFrame frame;
    switch (message.kind) {
    case UcpMessage::Kind::Invalid:
        return {};
    case UcpMessage::Kind::Ack:
    case UcpMessage::Kind::Nack:
        frame.kind = UcpIncomingFrame::Kind::Result;
        break;
    case UcpMessage::Kind::Operation:
        if (message.ot == u"52")
            frame.kind = UcpIncomingFrame::Kind::IncomingMessage;
        else if (message.ot == u"53")
            frame.kind = UcpIncomingFrame::Kind::DeliveryNotification;
        else
            frame.kind = UcpIncomingFrame::Kind::OtherOperation;
        break;
    }
    frame.trn = message.trn;
    frame.ot = message.ot;
    return frame;
}

namespace {

bool isOperation(const UcpIncomingFrame &frame)
{
    switch (frame.kind) {
    case UcpIncomingFrame::Kind::IncomingMessage:
    case UcpIncomingFrame::Kind::DeliveryNotification:
    case UcpIncomingFrame::Kind::OtherOperation:
        return true;
    case UcpIncomingFrame::Kind::Invalid:
    case UcpIncomingFrame::Kind::Result:
        break;
    }
    return false;
}

} // namespace

QString ucpOperationAnswer(const UcpIncomingFrame &operation)
{
    if (!isOperation(operation))
        return {};
    UcpMessage message;
    message.kind = UcpMessage::Kind::Operation;
    message.trn = operation.trn;
    message.ot = operation.ot;
    return ucpPositiveResult(message);
}

QString ucpOperationRefusal(const UcpIncomingFrame &operation, QStringView errorCode)
{
    if (!isOperation(operation) || errorCode.size() != 2 || !isDigits(errorCode.toLatin1()))
        return {};
    // TRN "/" LEN "/R/" OT "/N/" EC "//" and the checksum, SM empty.
    constexpr qsizetype length = 22;
    QString body = operation.trn + u'/' + lengthField(length) + "/R/"_L1 + operation.ot + "/N/"_L1 +
                   errorCode + "//"_L1;
    body.append(Chksum(body, u'3'));
    return body;
}
