#include "smppmessaging.h"

#include <QtTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(Smpp::StatusClass)
Q_DECLARE_METATYPE(Smpp::Receipt::Outcome)

namespace {

QByteArray hex(const char *spacedHex)
{
    return QByteArray::fromHex(spacedHex);
}

// Optional parameters written as hex: tag, length, value, one after another.
QList<Smpp::Tlv> tlvs(const QByteArray &stream)
{
    QList<Smpp::Tlv> list;
    for (qsizetype at = 0; at + 4 <= stream.size();) {
        const int length = quint8(stream[at + 2]) << 8 | quint8(stream[at + 3]);
        list.append({quint16(quint8(stream[at]) << 8 | quint8(stream[at + 1])),
                     stream.mid(at + 4, length)});
        at += 4 + length;
    }
    return list;
}

Smpp::Pdu deliverSm(int esmClass, int dataCoding, const QByteArray &shortMessage,
                    const QByteArray &options, const Smpp::Address &source = {1, 1, "41791234567"})
{
    Smpp::Pdu pdu;
    pdu.command = Smpp::DeliverSm;
    pdu.esmClass = quint8(esmClass);
    pdu.dataCoding = quint8(dataCoding);
    pdu.shortMessage = shortMessage;
    pdu.tlvs = tlvs(options);
    pdu.source = source;
    return pdu;
}

QString address(const Smpp::Address &a)
{
    return QStringLiteral("%1/%2 %3").arg(a.ton).arg(a.npi).arg(QString::fromLatin1(a.address));
}

} // namespace

class TestSmppMessaging : public QObject
{
    Q_OBJECT

private slots:
    void addressing_data()
    {
        QTest::addColumn<QString>("recipient");
        QTest::addColumn<QString>("sender");
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QString>("source");
        QTest::newRow("00 number, name")
            << u"0041791234567"_s << u"Funkbote"_s << u"1/1 41791234567"_s << u"5/0 Funkbote"_s;
        QTest::newRow("national number, + sender") << u"0791234567"_s << u"+41 79 999 00 00"_s
                                                   << u"0/1 0791234567"_s << u"1/1 41799990000"_s;
        QTest::newRow("00 sender")
            << u"0791234567"_s << u"0041799990000"_s << u"0/1 0791234567"_s << u"1/1 41799990000"_s;
        QTest::newRow("national sender")
            << u"0791234567"_s << u"0799990000"_s << u"0/1 0791234567"_s << u"0/1 0799990000"_s;
        QTest::newRow("no sender")
            << u"0041791234567"_s << u" "_s << u"1/1 41791234567"_s << u"0/0 "_s;
        QTest::newRow("name with digits")
            << u"0791234567"_s << u"Shop24"_s << u"0/1 0791234567"_s << u"5/0 Shop24"_s;
    }
    void addressing()
    {
        QFETCH(QString, recipient);
        QFETCH(QString, sender);
        QFETCH(QString, destination);
        QFETCH(QString, source);
        const QList<Smpp::Pdu> parts =
            Smpp::submissions(recipient, u"Hallo"_s, {sender, true, {}}, 7);
        QCOMPARE(parts.size(), 1);
        QCOMPARE(address(parts[0].destination), destination);
        QCOMPARE(address(parts[0].source), source);
        QCOMPARE(parts[0].command, quint32(Smpp::SubmitSm));
        QCOMPARE(parts[0].registeredDelivery, 1);
    }

    void coding_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("dataCoding");
        QTest::addColumn<QByteArrayList>("shortMessages");
        QTest::newRow("GSM with escapes") << u"a€["_s << 0 << QByteArrayList{hex("611B651B3C")};
        QTest::newRow("GSM umlauts") << u"Grüße"_s << 0 << QByteArrayList{hex("47727E1E65")};
        QTest::newRow("@ is septet 0") << u"@"_s << 0 << QByteArrayList{hex("00")};
        QTest::newRow("UCS-2") << u"Жa"_s << 8 << QByteArrayList{hex("04160061")};
        QTest::newRow("160 septets, one SMS")
            << QString(160, u'a') << 0 << QByteArrayList{QByteArray(160, 'a')};
        QTest::newRow("161 septets, two parts")
            << QString(161, u'a') << 0
            << QByteArrayList{hex("0500032A0201") + QByteArray(153, 'a'),
                              hex("0500032A0202") + QByteArray(8, 'a')};
        QTest::newRow("71 UCS-2 units, two parts")
            << u"Ж"_s.repeated(71) << 8
            << QByteArrayList{hex("0500032A0201") + hex("0416").repeated(67),
                              hex("0500032A0202") + hex("0416").repeated(4)};
        QTest::newRow("empty text") << QString() << 0 << QByteArrayList{};
        QTest::newRow("256 parts") << QString(153 * 255 + 1, u'a') << 0 << QByteArrayList{};
    }
    void coding()
    {
        QFETCH(QString, text);
        QFETCH(int, dataCoding);
        QFETCH(QByteArrayList, shortMessages);
        const QList<Smpp::Pdu> parts =
            Smpp::submissions(u"0041791234567"_s, text, {u"Funkbote"_s, false, "VMA"}, 0x2A);
        QCOMPARE(parts.size(), shortMessages.size());
        for (qsizetype i = 0; i < parts.size(); ++i) {
            QCOMPARE(parts[i].shortMessage.toHex(), shortMessages[i].toHex());
            QCOMPARE(parts[i].dataCoding, dataCoding);
            QCOMPARE(parts[i].esmClass, parts.size() > 1 ? 0x40 : 0x00);
            QCOMPARE(parts[i].registeredDelivery, 0);
            QCOMPARE(parts[i].serviceType, "VMA"_ba);
        }
    }

    void noDigits()
    {
        QVERIFY(Smpp::submissions(u"Hans"_s, u"Hallo"_s, {}, 1).isEmpty());
        QVERIFY(Smpp::submissions(u"00"_s, u"Hallo"_s, {}, 1).isEmpty());
    }

    void status_data()
    {
        QTest::addColumn<quint32>("status");
        QTest::addColumn<Smpp::StatusClass>("kind");
        QTest::addColumn<QString>("meaning");
        using C = Smpp::StatusClass;
        QTest::newRow("0x01") << 0x01u << C::MessageRefused << u"Ungültige Nachrichtenlänge"_s;
        QTest::newRow("0x0A") << 0x0Au << C::MessageRefused << u"Ungültige Absenderadresse"_s;
        QTest::newRow("0x0B") << 0x0Bu << C::MessageRefused << u"Ungültige Empfängeradresse"_s;
        QTest::newRow("0x43") << 0x43u << C::MessageRefused
                              << u"Ungültige Nachrichtenart (esm_class)"_s;
        QTest::newRow("0x51") << 0x51u << C::MessageRefused
                              << u"Ungültiger Nummernplan der Empfängeradresse (NPI)"_s;
        QTest::newRow("0x66") << 0x66u << C::MessageRefused
                              << u"Nachricht vom Empfänger abgewiesen"_s;
        QTest::newRow("0x0D") << 0x0Du << C::AccountRefused << u"Anmeldung fehlgeschlagen"_s;
        QTest::newRow("0x0E") << 0x0Eu << C::AccountRefused << u"Falsches Passwort"_s;
        QTest::newRow("0x0F") << 0x0Fu << C::AccountRefused << u"Unbekannte System-ID"_s;
        QTest::newRow("0x14") << 0x14u << C::SlowDown << u"Warteschlange des SMS-Centers voll"_s;
        QTest::newRow("0x58") << 0x58u << C::SlowDown
                              << u"Zu viele Nachrichten: das SMS-Center bremst"_s;
        QTest::newRow("0x04") << 0x04u << C::Failed
                              << u"Befehl im Verbindungszustand nicht erlaubt"_s;
        QTest::newRow("0x05") << 0x05u << C::Failed << u"Bereits angemeldet"_s;
        QTest::newRow("0x08") << 0x08u << C::Failed << u"Systemfehler des SMS-Centers"_s;
        QTest::newRow("0x64") << 0x64u << C::Failed << u"Vorübergehender Fehler beim Empfänger"_s;
        QTest::newRow("0xFF") << 0xFFu << C::Failed << u"Unbekannter Fehler"_s;
        QTest::newRow("0x400") << 0x400u << C::Failed << u"Fehler des SMS-Centers"_s;
        QTest::newRow("0x09 reserved") << 0x09u << C::Failed << u"Unbekannter Fehlercode"_s;
        QTest::newRow("0x80000000") << 0x80000000u << C::Failed << u"Unbekannter Fehlercode"_s;
    }
    void status()
    {
        QFETCH(quint32, status);
        QFETCH(Smpp::StatusClass, kind);
        QFETCH(QString, meaning);
        QCOMPARE(Smpp::classify(status), kind);
        QCOMPARE(Smpp::statusMeaning(status), meaning);
    }

    // Every code SMPP 3.4 defines has a meaning of its own.
    void statusTable()
    {
        const QString unknown = Smpp::statusMeaning(0x09);
        for (quint32 status : {0x02, 0x03, 0x06, 0x07, 0x0C, 0x11, 0x13, 0x15, 0x33, 0x34, 0x40,
                               0x42, 0x44, 0x45, 0x48, 0x49, 0x50, 0x53, 0x54, 0x55, 0x61, 0x62,
                               0x63, 0x65, 0x67, 0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xFE})
            QVERIFY2(Smpp::statusMeaning(status) != unknown, qPrintable(Smpp::statusCode(status)));
        QCOMPARE(Smpp::statusCode(0x0B), u"0x0000000B"_s);
        QCOMPARE(Smpp::statusCode(0x80000000), u"0x80000000"_s);
    }

    // The id of submit_sm_resp against the id of the receipt.
    void ids_data()
    {
        QTest::addColumn<QString>("submitted");
        QTest::addColumn<QString>("receipted");
        QTest::addColumn<bool>("same");
        QTest::newRow("hex, then decimal") << u"0A1B2C"_s << u"662316"_s << true;
        QTest::newRow("decimal, then hex") << u"662316"_s << u"a1b2c"_s << true;
        QTest::newRow("zeros and case") << u"000abc"_s << u"ABC"_s << true;
        QTest::newRow("with a NUL") << QString::fromLatin1("77\0", 3) << u"77"_s << true;
        QTest::newRow("zero") << u"0"_s << u"000"_s << true;
        QTest::newRow("other number") << u"0A1B2C"_s << u"662317"_s << false;
        QTest::newRow("other digits") << u"12"_s << u"13"_s << false;
        QTest::newRow("not a number") << u"3f2a-77"_s << u"3F2A-77"_s << true;
        QTest::newRow("not a number, other") << u"3f2a-77"_s << u"3f2a-78"_s << false;
        QTest::newRow("above 64 bits")
            << u"123456789012345678901234"_s << u"123456789012345678901235"_s << false;
    }
    void ids()
    {
        QFETCH(QString, submitted);
        QFETCH(QString, receipted);
        QFETCH(bool, same);
        QCOMPARE(Smpp::idForms(receipted).contains(Smpp::canonicalId(submitted)), same);
        QCOMPARE(Smpp::idForms(submitted).contains(Smpp::canonicalId(receipted)), same);
    }

    void receipts_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("options");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("state");
        QTest::addColumn<Smpp::Receipt::Outcome>("outcome");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QDateTime>("doneAt");
        QTest::addColumn<QString>("meaning");
        using O = Smpp::Receipt::Outcome;
        QTest::newRow("appendix B")
            << "id:0123456789 sub:001 dlvrd:001 submit date:2612071830 done date:2612071831 "
               "stat:DELIVRD err:000 text:Hallo stat:UNDELIV id:9"_ba
            << QByteArray() << u"0123456789"_s << u"DELIVRD"_s << O::Delivered << u"000"_s
            << QDateTime(QDate(2026, 12, 7), QTime(18, 31)) << u"zugestellt"_s;
        QTest::newRow("lower case, reordered, no dates")
            << "stat:undeliv err:034 ID:77"_ba << QByteArray() << u"77"_s << u"UNDELIV"_s
            << O::NotDelivered << u"034"_s << QDateTime() << u"nicht zustellbar (Fehler 034)"_s;
        QTest::newRow("options before the text")
            << "id:1 stat:DELIVRD err:000"_ba
            << hex("001E0004 41424300 04270001 05 04230003 030022") << u"ABC"_s << u"UNDELIV"_s
            << O::NotDelivered << u"3/34"_s << QDateTime() << u"nicht zustellbar (Fehler 3/34)"_s;
        QTest::newRow("id from the options alone")
            << QByteArray() << hex("001E0003 414200 04270001 02") << u"AB"_s << u"DELIVRD"_s
            << O::Delivered << QString() << QDateTime() << u"zugestellt"_s;
        QTest::newRow("written out, seconds")
            << "id:5 done date:261207183159 stat:Delivered"_ba << QByteArray() << u"5"_s
            << u"DELIVRD"_s << O::Delivered << QString()
            << QDateTime(QDate(2026, 12, 7), QTime(18, 31, 59)) << u"zugestellt"_s;
        QTest::newRow("expired") << "id:6 stat:EXPIRED err:0"_ba << QByteArray() << u"6"_s
                                 << u"EXPIRED"_s << O::NotDelivered << u"0"_s << QDateTime()
                                 << u"Gültigkeitsdauer abgelaufen"_s;
        QTest::newRow("en route") << "id:7 stat:ENROUTE"_ba << QByteArray() << u"7"_s
                                  << u"ENROUTE"_s << O::Pending << QString() << QDateTime()
                                  << u"unterwegs"_s;
        QTest::newRow("accepted") << "id:8 stat:ACCEPTD"_ba << QByteArray() << u"8"_s
                                  << u"ACCEPTD"_s << O::Pending << QString() << QDateTime()
                                  << u"vom SMS-Center angenommen"_s;
        QTest::newRow("a state nobody knows")
            << "id:9 stat:FOO done date:9999"_ba << QByteArray() << u"9"_s << u"FOO"_s << O::Pending
            << QString() << QDateTime() << u"Zustand FOO"_s;
        QTest::newRow("in message_payload")
            << QByteArray() << hex("04240012") + "id:10 stat:REJECTD"_ba << u"10"_s << u"REJECTD"_s
            << O::NotDelivered << QString() << QDateTime() << u"abgewiesen"_s;
        QTest::newRow("no id") << "stat:DELIVRD"_ba << QByteArray() << QString() << QString()
                               << O::Pending << QString() << QDateTime() << QString();
    }
    void receipts()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, options);
        QFETCH(QString, id);
        QFETCH(QString, state);
        QFETCH(Smpp::Receipt::Outcome, outcome);
        QFETCH(QString, error);
        QFETCH(QDateTime, doneAt);
        QFETCH(QString, meaning);
        const Smpp::Pdu pdu = deliverSm(0x04, 0, text, options);
        QVERIFY(Smpp::isReceipt(pdu));
        const std::optional<Smpp::Receipt> receipt = Smpp::readReceipt(pdu);
        QCOMPARE(receipt.has_value(), !id.isEmpty());
        if (!receipt)
            return;
        QCOMPARE(receipt->messageId, id);
        QCOMPARE(receipt->recipient, u"+41791234567"_s);
        QCOMPARE(receipt->state, state);
        QCOMPARE(receipt->outcome, outcome);
        QCOMPARE(receipt->error, error);
        QCOMPARE(receipt->doneAt, doneAt);
        QCOMPARE(Smpp::receiptMeaning(*receipt), meaning);
    }

    void incoming_data()
    {
        QTest::addColumn<int>("esmClass");
        QTest::addColumn<int>("dataCoding");
        QTest::addColumn<QByteArray>("shortMessage");
        QTest::addColumn<QByteArray>("options");
        QTest::addColumn<QString>("text");    // "-": not readable
        QTest::addColumn<QList<int>>("part"); // reference, total, sequence
        QTest::newRow("GSM") << 0 << 0 << hex("48616C6C6F1B65") << QByteArray() << u"Hallo€"_s
                             << QList<int>{0, 0, 0};
        QTest::newRow("GSM, class 0xF1")
            << 0 << 0xF1 << hex("7E") << QByteArray() << u"ü"_s << QList<int>{0, 0, 0};
        QTest::newRow("UDH, 8-bit reference") << 0x40 << 0 << hex("0500032A0302 6869")
                                              << QByteArray() << u"hi"_s << QList<int>{42, 3, 2};
        QTest::newRow("UDH, 16-bit reference, UCS-2, another element first")
            << 0x43 << 8 << hex("09 0A0101 08041234 0201 00E4") << QByteArray() << u"ä"_s
            << QList<int>{0x1234, 2, 1};
        QTest::newRow("SAR options, UCS-2")
            << 0 << 8 << hex("0416") << hex("020C0002BEEF 020E000103 020F000103") << u"Ж"_s
            << QList<int>{0xBEEF, 3, 3};
        QTest::newRow("SAR part 0 is no part")
            << 0 << 0 << hex("61") << hex("020C0002BEEF 020E000103 020F000100") << u"a"_s
            << QList<int>{0, 0, 0};
        QTest::newRow("SAR incomplete") << 0 << 0 << hex("61") << hex("020C0002BEEF 020E000103")
                                        << u"a"_s << QList<int>{0, 0, 0};
        QTest::newRow("Latin-1") << 0 << 3 << hex("E4") << QByteArray() << u"ä"_s
                                 << QList<int>{0, 0, 0};
        QTest::newRow("message_payload")
            << 0 << 0 << QByteArray() << hex("04240002 6869") << u"hi"_s << QList<int>{0, 0, 0};
        QTest::newRow("UDH longer than the message")
            << 0x40 << 0 << hex("0A0003") << QByteArray() << u"-"_s << QList<int>{};
        QTest::newRow("UDH element past the end")
            << 0x40 << 0 << hex("03000501 61") << QByteArray() << u"-"_s << QList<int>{};
        QTest::newRow("UDH flag, no octets")
            << 0x40 << 0 << QByteArray() << QByteArray() << u"-"_s << QList<int>{};
        QTest::newRow("UCS-2, odd length")
            << 0 << 8 << hex("0041 00") << QByteArray() << u"-"_s << QList<int>{};
        QTest::newRow("binary") << 0 << 4 << hex("0102") << QByteArray() << u"-"_s << QList<int>{};
    }
    void incoming()
    {
        QFETCH(int, esmClass);
        QFETCH(int, dataCoding);
        QFETCH(QByteArray, shortMessage);
        QFETCH(QByteArray, options);
        QFETCH(QString, text);
        QFETCH(QList<int>, part);
        const Smpp::Pdu pdu = deliverSm(esmClass, dataCoding, shortMessage, options);
        QVERIFY(!Smpp::isReceipt(pdu));
        const std::optional<Smpp::IncomingPart> incoming = Smpp::readIncoming(pdu);
        QCOMPARE(incoming.has_value(), text != u"-"_s);
        if (!incoming)
            return;
        QCOMPARE(incoming->sender, u"+41791234567"_s);
        QCOMPARE(incoming->text, text);
        QCOMPARE((QList<int>{incoming->reference, incoming->total, incoming->sequence}), part);
    }

    void incomingSender()
    {
        const auto name = Smpp::readIncoming(deliverSm(0, 0, "61", {}, {5, 0, "Bank"}));
        QVERIFY(name);
        QCOMPARE(name->sender, u"Bank"_s);
        const auto national = Smpp::readIncoming(deliverSm(0, 0, "61", {}, {2, 1, "0791234567"}));
        QVERIFY(national);
        QCOMPARE(national->sender, u"0791234567"_s);
    }
};

QTEST_GUILESS_MAIN(TestSmppMessaging)
#include "tst_smppmessaging.moc"
