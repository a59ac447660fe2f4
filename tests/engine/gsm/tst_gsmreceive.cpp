#include "gsmreceive.h"
#include "partcollector.h"

#include <QtTest>

using namespace Qt::StringLiterals;

// Every PDU below is written by hand, field by field, from the layouts of
// TS 23.040 (SMS-DELIVER, SMS-STATUS-REPORT) and TS 23.038 (packing): semi-
// octets are swapped, 7-bit user data is packed least significant bit first,
// and after a user data header fill bits bring the text to a septet
// boundary. The packed texts were worked out bit by bit.

namespace {

// +41 79 123 45 67: 11 digits, type 91 (international), swapped, F-padded.
const QByteArray swissSender = "0B911497214365F7";
// 2026-12-07 05:30:15 +01:00 (four quarter hours), every octet swapped.
const QByteArray stampPlusOne = "62217050035140";
const QString stampPlusOneText = u"2026-12-07T05:30:15+01:00"_s;

// Two parts of "Hallo Welt", 7-bit with the header 05 00 03 2A 02 0n: six
// octets are 48 bits, one fill bit makes seven septets, and the five septets
// of the text follow; 12 septets fill eleven octets.
const QByteArray halloPart1 = "00" // no centre address
                              "40" // SMS-DELIVER, TP-UDHI
                              + swissSender +
                              "00" // TP-PID
                              "00" // TP-DCS: 7-bit
                              + stampPlusOne +
                              "0C"           // TP-UDL: 12 septets
                              "0500032A0201" // reference 2A, part 1 of 2
                              "906136FB0D";  // fill bit, "Hallo"
const QByteArray halloPart2 = "0040" + swissSender + "0000" + stampPlusOne +
                              "0C"
                              "0500032A0202" // part 2 of 2
                              "40D7329B0E";  // fill bit, " Welt"

// A status report on the message with TP-MR 2A to +41791234567, taken at
// 05:30:15 and settled at 05:32:15 (+01:00); TP-ST follows.
const QByteArray reportHead = "00"   // no centre address
                              "06"   // SMS-STATUS-REPORT, no more messages
                              "2A" + // TP-MR
                              swissSender +
                              stampPlusOne + "62217050235140"; // TP-DT

QString stampText(const QDateTime &stamp)
{
    return stamp.isValid() ? stamp.toString(Qt::ISODate) : QString();
}

} // namespace

class TestGsmReceive : public QObject
{
    Q_OBJECT

private slots:
    void deliver_data()
    {
        QTest::addColumn<QByteArray>("pdu");
        QTest::addColumn<QString>("centre");
        QTest::addColumn<QString>("sender");
        QTest::addColumn<int>("coding");
        QTest::addColumn<QString>("sentAt");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("part"); // reference, total, sequence
        QTest::addColumn<int>("tpduLength");

        QTest::newRow("7-bit, centre, international sender")
            << QByteArray("07911497949900F0" // centre +41794999000
                          "04"               // SMS-DELIVER, no more messages
                          + swissSender +
                          "00" // TP-PID
                          "00" // TP-DCS: 7-bit
                          + stampPlusOne +
                          "0A"                  // 10 septets
                          "E8329BFD4697D9EC37") // "hellohello"
            << u"+41794999000"_s << u"+41791234567"_s << int(Gsm::DataCoding::Gsm7)
            << stampPlusOneText << u"hellohello"_s << QList<int>() << 28;
        QTest::newRow("7-bit, extension character €")
            << QByteArray("0004" + swissSender + "0000" + stampPlusOne +
                          "04"        // 4 septets: 61 1B 65 62
                          "E14D590C") // "a", escape, "€", "b"
            << QString() << u"+41791234567"_s << int(Gsm::DataCoding::Gsm7) << stampPlusOneText
            << u"a€b"_s << QList<int>() << 23;
        QTest::newRow("UCS-2 with an emoji, national sender, -05:00")
            << QByteArray("00"
                          "04"
                          "0A817019325476" // 0791234567, type 81 (national)
                          "00"
                          "08"                    // UCS-2
                          "6210133295950A"        // 2026-01-31 23:59:59, 20 quarters, sign bit
                          "0A"                    // 10 octets
                          "004800690020D83DDE00") // "Hi " and U+1F600 as a surrogate pair
            << QString() << u"0791234567"_s << int(Gsm::DataCoding::Ucs2)
            << u"2026-01-31T23:59:59-05:00"_s << u"Hi \U0001F600"_s << QList<int>() << 28;
        QTest::newRow("8-bit data shown as hex, class 1")
            << QByteArray("0004"
                          "038121F3" // 123, national, F-padded
                          "00"
                          "F5" // coding group F, 8-bit data, class 1
                          "62217050035100"
                          "03"
                          "0102FF")
            << QString() << u"123"_s << int(Gsm::DataCoding::EightBit)
            << u"2026-12-07T05:30:15+00:00"_s << u"0102FF"_s << QList<int>() << 18;
        QTest::newRow("alphanumeric sender")
            << QByteArray("0004"
                          "0ED0"           // 14 semi-octets, type D0 (alphanumeric)
                          "C6BA7B2D7ED3CB" // "Funkbote" packed, 8 septets
                          "0000" +
                          stampPlusOne +
                          "02"
                          "CB3A") // "Ku": K 4B, u 75
            << QString() << u"Funkbote"_s << int(Gsm::DataCoding::Gsm7) << stampPlusOneText
            << u"Ku"_s << QList<int>() << 22;
        QTest::newRow("8-bit reference, fill bit")
            << halloPart1 << QString() << u"+41791234567"_s << int(Gsm::DataCoding::Gsm7)
            << stampPlusOneText << u"Hallo"_s << QList<int>{0x2A, 2, 1} << 30;
        QTest::newRow("16-bit reference, UCS-2")
            << QByteArray("0044" + swissSender + "0008" + stampPlusOne +
                          "13"                        // 7 + 12 octets
                          "06080412340302"            // IEI 08: reference 1234, part 2 of 3
                          "0047007200FC0065007A0069") // "Grüezi"
            << QString() << u"+41791234567"_s << int(Gsm::DataCoding::Ucs2) << stampPlusOneText
            << u"Grüezi"_s << QList<int>{0x1234, 3, 2} << 38;
        // A header of twelve octets (96 bits) takes 14 septets: two fill bits.
        QTest::newRow("other element skipped, two fill bits")
            << QByteArray("0040" + swissSender + "0000" + stampPlusOne +
                          "10"           // 14 + 2 septets in 14 octets
                          "0B"           // header of 11 octets
                          "0A03000500"   // text formatting: passed over
                          "080400070201" // IEI 08: reference 7, part 1 of 2
                          "BCD7")        // two fill bits, "ok"
            << QString() << u"+41791234567"_s << int(Gsm::DataCoding::Gsm7) << stampPlusOneText
            << u"ok"_s << QList<int>{7, 2, 1} << 33;
        QTest::newRow("part 0 of a header ignored")
            << QByteArray("0040" + swissSender + "0000" + stampPlusOne +
                          "0C"
                          "0500032A0200" // sequence 0: not a part
                          "906136FB0D")
            << QString() << u"+41791234567"_s << int(Gsm::DataCoding::Gsm7) << stampPlusOneText
            << u"Hallo"_s << QList<int>() << 30;
    }
    void deliver()
    {
        QFETCH(QByteArray, pdu);
        QFETCH(QString, centre);
        QFETCH(QString, sender);
        QFETCH(int, coding);
        QFETCH(QString, sentAt);
        QFETCH(QString, text);
        QFETCH(QList<int>, part);
        QFETCH(int, tpduLength);
        QString error = u"stale"_s;
        const std::optional<Gsm::DeliverPdu> sms = Gsm::decodeDeliver(pdu, &error);
        QVERIFY2(sms.has_value(), qPrintable(error));
        QCOMPARE(error, QString());
        QCOMPARE(sms->centre, centre);
        QCOMPARE(sms->sender, sender);
        QCOMPARE(int(sms->coding), coding);
        QCOMPARE(stampText(sms->sentAt), sentAt);
        QCOMPARE(sms->text, text);
        QCOMPARE(sms->part.has_value(), !part.isEmpty());
        if (sms->part)
            QCOMPARE((QList<int>{sms->part->reference, sms->part->total, sms->part->sequence}),
                     part);
        QCOMPARE(sms->tpduLength, tpduLength);
        // The modem writes hex in either case and may end the line with blanks.
        QCOMPARE(Gsm::decodeDeliver(QByteArray(" " + pdu.toLower() + "\r"))->text, text);
    }

    // TP-DCS by coding group (TS 23.038, chapter 4), with empty user data.
    void dataCodings_data()
    {
        QTest::addColumn<QByteArray>("dcs");
        QTest::addColumn<int>("coding");
        const int gsm7 = int(Gsm::DataCoding::Gsm7);
        const int eightBit = int(Gsm::DataCoding::EightBit);
        const int ucs2 = int(Gsm::DataCoding::Ucs2);
        QTest::newRow("general, 7-bit, class 1") << QByteArray("11") << gsm7;
        QTest::newRow("general, 8-bit") << QByteArray("04") << eightBit;
        QTest::newRow("general, UCS-2") << QByteArray("08") << ucs2;
        QTest::newRow("general, reserved alphabet") << QByteArray("0C") << gsm7;
        QTest::newRow("general, compressed") << QByteArray("20") << eightBit;
        QTest::newRow("automatic deletion, UCS-2") << QByteArray("48") << ucs2;
        QTest::newRow("reserved group 8") << QByteArray("88") << gsm7;
        QTest::newRow("waiting indication, discard") << QByteArray("C8") << gsm7;
        QTest::newRow("waiting indication, store") << QByteArray("D8") << gsm7;
        QTest::newRow("waiting indication, store, UCS-2") << QByteArray("E8") << ucs2;
        QTest::newRow("class group, 7-bit") << QByteArray("F0") << gsm7;
        QTest::newRow("class group, 8-bit") << QByteArray("F6") << eightBit;
    }
    void dataCodings()
    {
        QFETCH(QByteArray, dcs);
        QFETCH(int, coding);
        const std::optional<Gsm::DeliverPdu> sms =
            Gsm::decodeDeliver(QByteArray("0004" + swissSender + "00" + dcs + stampPlusOne + "00"));
        QVERIFY(sms.has_value());
        QCOMPARE(int(sms->coding), coding);
        QCOMPARE(sms->dataCoding, quint8(dcs.toUInt(nullptr, 16)));
        QCOMPARE(sms->text, QString());
    }

    // TP-SCTS alone, in a PDU that is otherwise the first row above; an
    // invalid stamp leaves the time empty but keeps the message.
    void timestamps_data()
    {
        QTest::addColumn<QByteArray>("stamp");
        QTest::addColumn<QString>("sentAt");
        QTest::newRow("+05:45: 23 quarters")
            << QByteArray("62217050035132") << u"2026-12-07T05:30:15+05:45"_s;
        QTest::newRow("-03:30: 14 quarters, sign bit")
            << QByteArray("62217050035149") << u"2026-12-07T05:30:15-03:30"_s;
        QTest::newRow("-00:00") << QByteArray("62217050035108") << u"2026-12-07T05:30:15+00:00"_s;
        QTest::newRow("leap day 2028")
            << QByteArray("82209200000040") << u"2028-02-29T00:00:00+01:00"_s;
        QTest::newRow("29 February 2027") << QByteArray("72209200000040") << QString();
        QTest::newRow("month 13") << QByteArray("62317050035140") << QString();
        QTest::newRow("hour 24") << QByteArray("62217042035140") << QString();
        QTest::newRow("nibble A as a unit of the minute")
            << QByteArray("62217050A05140") << QString();
        QTest::newRow("offset beyond 14 hours") << QByteArray("62217050035106") << QString();
    }
    void timestamps()
    {
        QFETCH(QByteArray, stamp);
        QFETCH(QString, sentAt);
        const std::optional<Gsm::DeliverPdu> sms = Gsm::decodeDeliver(
            QByteArray("0004" + swissSender + "0000" + stamp + "0AE8329BFD4697D9EC37"));
        QVERIFY(sms.has_value());
        QCOMPARE(stampText(sms->sentAt), sentAt);
        QCOMPARE(sms->text, u"hellohello"_s);
    }

    void statusReports_data()
    {
        QTest::addColumn<QByteArray>("pdu");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("meaning");
        QTest::newRow("delivered")
            << reportHead + "00" << int(Gsm::DeliveryStatus::Completed) << u"zugestellt"_s;
        QTest::newRow("still trying: no response")
            << reportHead + "22" << int(Gsm::DeliveryStatus::Trying)
            << u"Empfänger vorübergehend nicht erreichbar"_s;
        QTest::newRow("failed: unknown recipient")
            << reportHead + "43" << int(Gsm::DeliveryStatus::FailedPermanent)
            << u"Empfänger unbekannt"_s;
        QTest::newRow("failed: validity period expired")
            << reportHead + "46" << int(Gsm::DeliveryStatus::FailedPermanent)
            << u"Gültigkeitsdauer abgelaufen"_s;
        QTest::newRow("given up after congestion")
            << reportHead + "60" << int(Gsm::DeliveryStatus::FailedTemporary)
            << u"Netz überlastet"_s;
        // TP-PI 00: no optional parameters follow.
        QTest::newRow("parameter indicator after TP-ST")
            << reportHead + "0000" << int(Gsm::DeliveryStatus::Completed) << u"zugestellt"_s;
    }
    void statusReports()
    {
        QFETCH(QByteArray, pdu);
        QFETCH(int, kind);
        QFETCH(QString, meaning);
        QString error;
        const std::optional<Gsm::StatusReport> report = Gsm::decodeStatusReport(pdu, &error);
        QVERIFY2(report.has_value(), qPrintable(error));
        QCOMPARE(report->centre, QString());
        QCOMPARE(report->reference, 0x2A);
        QCOMPARE(report->recipient, u"+41791234567"_s);
        QCOMPARE(stampText(report->centreTime), stampPlusOneText);
        QCOMPARE(stampText(report->dischargeTime), u"2026-12-07T05:32:15+01:00"_s);
        QCOMPARE(report->tpduLength, int(pdu.size() / 2 - 1));
        const Gsm::DeliveryStatus status = Gsm::deliveryStatus(report->status);
        QCOMPARE(int(status.kind), kind);
        QCOMPARE(status.meaning, meaning);
    }

    // Every TP-ST by its range; the codes without a meaning of their own
    // name their code.
    void statusRanges_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("meaning"); // %1: the code in hex
        QTest::newRow("replaced") << 0x02 << 0x02 << int(Gsm::DeliveryStatus::Completed)
                                  << u"durch eine neuere Nachricht ersetzt"_s;
        QTest::newRow("completed, reserved and centre-specific")
            << 0x03 << 0x1F << int(Gsm::DeliveryStatus::Completed) << u"abgeschlossen (Code %1)"_s;
        QTest::newRow("trying, reserved and centre-specific")
            << 0x26 << 0x3F << int(Gsm::DeliveryStatus::Trying)
            << u"noch nicht zugestellt, weitere Versuche folgen (Code %1)"_s;
        QTest::newRow("failed for good, reserved and centre-specific")
            << 0x4A << 0x5F << int(Gsm::DeliveryStatus::FailedPermanent)
            << u"nicht zustellbar (Code %1)"_s;
        QTest::newRow("given up, reserved and centre-specific")
            << 0x66 << 0x7F << int(Gsm::DeliveryStatus::FailedTemporary)
            << u"nicht zugestellt, keine weiteren Versuche (Code %1)"_s;
        QTest::newRow("bit 7 reserved") << 0x80 << 0xFF << int(Gsm::DeliveryStatus::FailedTemporary)
                                        << u"unbekannter Status (Code %1)"_s;
    }
    void statusRanges()
    {
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(int, kind);
        QFETCH(QString, meaning);
        for (int code = first; code <= last; ++code) {
            const Gsm::DeliveryStatus status = Gsm::deliveryStatus(quint8(code));
            const QString hex = QString::number(code, 16).toUpper().rightJustified(2, u'0');
            QCOMPARE(int(status.kind), kind);
            QCOMPARE(status.meaning, meaning.arg(hex));
            QCOMPARE(status.isFinal(), kind != int(Gsm::DeliveryStatus::Trying));
            QCOMPARE(status.isFailed(), kind >= int(Gsm::DeliveryStatus::FailedPermanent));
        }
    }

    // Malformed input gives nothing and a reason; none reads past the end.
    void refused_data()
    {
        QTest::addColumn<bool>("report"); // for decodeStatusReport, else decodeDeliver
        QTest::addColumn<QByteArray>("pdu");
        QTest::addColumn<QString>("error");
        const QString notHex = u"Die PDU ist kein Hex-Text."_s;
        const QString cut = u"Die PDU bricht vor ihrem Ende ab."_s;
        const QString badLength = u"Die Textlänge in der PDU ist ungültig."_s;
        const QString badHeader = u"Der Kopf der Nutzdaten in der PDU ist ungültig."_s;
        const QString badAddress = u"Eine Adresse in der PDU ist zu lang."_s;
        const QByteArray head = "0004" + swissSender + "0000" + stampPlusOne;
        const QByteArray headed = "0040" + swissSender + "0000" + stampPlusOne;
        QTest::newRow("not hex") << false << QByteArray("00G4") << notHex;
        QTest::newRow("odd number of digits") << false << QByteArray("000") << notHex;
        QTest::newRow("blank inside") << true << QByteArray("00 06") << notHex;
        QTest::newRow("empty") << false << QByteArray() << cut;
        QTest::newRow("centre longer than the PDU") << false << QByteArray("07911497") << cut;
        QTest::newRow("centre of twelve octets")
            << false << QByteArray("0C91" + QByteArray("11").repeated(11) + head.mid(2))
            << badAddress;
        QTest::newRow("sender of 21 digits")
            << false << QByteArray("000415911497214365870921436587F90000") << badAddress;
        QTest::newRow("sender cut short") << false << QByteArray("00040B91149721") << cut;
        QTest::newRow("cut in the time stamp") << false << head.left(head.size() - 4) << cut;
        QTest::newRow("no user data length") << false << head << cut;
        QTest::newRow("11 septets said, 10 sent") << false << head + "0BE8329BFD4697D9EC37" << cut;
        QTest::newRow("9 septets said, 10 sent") << false << head + "09E8329BFD4697D9EC37"
                                                 << u"Die PDU ist länger als ihre Längenangaben."_s;
        QTest::newRow("161 septets")
            << false << head + "A1" + QByteArray("00").repeated(141) << badLength;
        QTest::newRow("141 octets of UCS-2")
            << false
            << "0004" + swissSender + "0008" + stampPlusOne + "8D" + QByteArray("00").repeated(141)
            << badLength;
        QTest::newRow("odd number of UCS-2 octets")
            << false << "0004" + swissSender + "0008" + stampPlusOne + "03004800" << badLength;
        QTest::newRow("header longer than the user data")
            << false << headed + "0C0B00032A0201906136FB0D" << badHeader;
        QTest::newRow("element longer than the header")
            << false << headed + "0C0500042A0201906136FB0D" << badHeader;
        QTest::newRow("element cut after its identifier")
            << false << headed + "0C0100" + QByteArray("00").repeated(9) << badHeader;
        QTest::newRow("header of more septets than said")
            << false << headed + "03020000" << badHeader;
        QTest::newRow("status report as SMS")
            << false << reportHead + "00" << u"Die PDU ist keine empfangene SMS."_s;
        QTest::newRow("SMS-SUBMIT as SMS")
            << false << QByteArray("0001000B911497214365F700000AE8329BFD4697D9EC37")
            << u"Die PDU ist keine empfangene SMS."_s;
        QTest::newRow("SMS as status report")
            << true << halloPart1 << u"Die PDU ist kein Zustellbericht."_s;
        QTest::newRow("report without TP-ST") << true << reportHead << cut;
        QTest::newRow("report cut in TP-DT")
            << true << reportHead.left(reportHead.size() - 2) << cut;
    }
    void refused()
    {
        QFETCH(bool, report);
        QFETCH(QByteArray, pdu);
        QFETCH(QString, error);
        QString why;
        const bool decoded = report ? Gsm::decodeStatusReport(pdu, &why).has_value()
                                    : Gsm::decodeDeliver(pdu, &why).has_value();
        QVERIFY(!decoded);
        QCOMPARE(why, error);
    }

    // Parts given by "sequence:text" in the order they come, one minute
    // apart; the message is out after the part at completesAt (-1: only
    // after 24 hours, with its missing parts marked).
    void collect_data()
    {
        QTest::addColumn<QStringList>("arrivals");
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("completesAt");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("missing");
        QTest::newRow("in order") << QStringList{u"1:Hal"_s, u"2:lo "_s, u"3:Welt"_s} << 3 << 2
                                  << u"Hallo Welt"_s << 0;
        QTest::newRow("out of order")
            << QStringList{u"3:Welt"_s, u"1:Hal"_s, u"2:lo "_s} << 3 << 2 << u"Hallo Welt"_s << 0;
        QTest::newRow("duplicate ignored")
            << QStringList{u"2:lo "_s, u"2:lo "_s, u"1:Hal"_s, u"3:Welt"_s} << 3 << 3
            << u"Hallo Welt"_s << 0;
        QTest::newRow("middle part missing after 24 h")
            << QStringList{u"1:Hal"_s, u"3:Welt"_s} << 3 << -1 << u"Hal[…]Welt"_s << 1;
        QTest::newRow("two parts missing after 24 h")
            << QStringList{u"2:lo "_s} << 3 << -1 << u"[…]lo […]"_s << 2;
        QTest::newRow("one of one") << QStringList{u"1:Hallo"_s} << 1 << 0 << u"Hallo"_s << 0;
    }
    void collect()
    {
        QFETCH(QStringList, arrivals);
        QFETCH(int, total);
        QFETCH(int, completesAt);
        QFETCH(QString, text);
        QFETCH(int, missing);
        const QString sender = u"+41791234567"_s;
        const QDateTime start(QDate(2026, 12, 7), QTime(8, 0), Qt::UTC);
        Gsm::PartCollector collector;
        for (int i = 0; i < arrivals.size(); ++i) {
            const QStringList fields = arrivals.at(i).split(u':');
            const QDateTime now = start.addSecs(60 * i);
            // Another sender's part with the same reference, and a part with
            // another total, belong to other messages; this one comes 30 s
            // later and so waits 30 s longer.
            const QDateTime later = now.addSecs(30);
            QVERIFY(!collector.add(u"+41790000000"_s, {0x2A, total + 1, 1}, u"x"_s, later, later));
            const std::optional<Gsm::PartCollector::Message> message =
                collector.add(sender, {0x2A, total, fields.at(0).toInt()}, fields.at(1), now, now);
            QCOMPARE(message.has_value(), i == completesAt);
            if (message) {
                QCOMPARE(message->text, text);
                QCOMPARE(message->missingParts, 0);
                QCOMPARE(message->sender, sender);
                QCOMPARE(message->sentAt, start);
            }
        }
        const qint64 wait = Gsm::PartCollector::maxWaitSecs;
        QCOMPARE(collector.pendingCount(), completesAt < 0 ? 2 : 1);
        QCOMPARE(collector.takeExpired(start.addSecs(wait - 1)).size(), 0);
        const QList<Gsm::PartCollector::Message> expired =
            collector.takeExpired(start.addSecs(wait));
        QCOMPARE(expired.size(), completesAt < 0 ? 1 : 0);
        if (!expired.isEmpty()) {
            QCOMPARE(expired.first().sender, sender);
            QCOMPARE(expired.first().text, text);
            QCOMPARE(expired.first().missingParts, missing);
            QCOMPARE(expired.first().sentAt, start);
        }
        QCOMPARE(collector.pendingCount(), 1);
        QCOMPARE(collector.takeExpired(start.addSecs(wait + 30)).first().text,
                 u"x"_s + u"[…]"_s.repeated(total));
        QCOMPARE(collector.pendingCount(), 0);
    }

    // The two decoded parts of "Hallo Welt", the second first.
    void reassembleDecoded()
    {
        const QDateTime now(QDate(2026, 12, 7), QTime(8, 0), Qt::UTC);
        Gsm::PartCollector collector;
        const std::optional<Gsm::DeliverPdu> second = Gsm::decodeDeliver(halloPart2);
        const std::optional<Gsm::DeliverPdu> first = Gsm::decodeDeliver(halloPart1);
        QVERIFY(first && second);
        QVERIFY(!collector.add(*second, now));
        const std::optional<Gsm::PartCollector::Message> message = collector.add(*first, now);
        QVERIFY(message.has_value());
        QCOMPARE(message->text, u"Hallo Welt"_s);
        QCOMPARE(message->sender, u"+41791234567"_s);
        QCOMPARE(stampText(message->sentAt), stampPlusOneText);
    }
};

QTEST_APPLESS_MAIN(TestGsmReceive)
#include "tst_gsmreceive.moc"
