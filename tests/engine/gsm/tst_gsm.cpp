#include "cmserror.h"
#include "gsmpdu.h"

#include <QtTest>

#include <algorithm>

using namespace Qt::StringLiterals;

// Every expected PDU below is worked out by hand from the bit layout of the
// standards, not taken from the encoder: packing puts septet n at bits
// 7n..7n+6 of the user data, least significant bit first. A run of one
// character repeats every seven octets, and one fill bit only moves the whole
// run up by a bit, so the first octet becomes the septet shifted left by one
// and the seven-octet pattern follows unchanged.

namespace {

QByteArray hex(const QByteArray &bytes)
{
    return bytes.toHex().toUpper();
}

QString repeated(char16_t c, int count)
{
    return QString(count, QChar(c));
}

// What the encoder is asked for: "+41 79 123 45 67" written three ways.
const QString swiss = u"+41791234567"_s;
const QByteArray swissAddress = "0B911497214365F7";

// The standard's packing example: "hellohello" in nine octets.
const QByteArray helloPacked = "E8329BFD4697D9EC37";

// "Grüße aus Zürich – 5 € 😀": the dash, and the emoji as a surrogate pair,
// are outside the 7-bit alphabet; 25 UTF-16 units.
const QString greetings = u"Grüße aus Zürich – 5 € \U0001F600"_s;
const QByteArray greetingsUcs2 = "0047007200FC00DF0065002000610075007300200"
                                 "05A00FC00720069006300680020201300200035"
                                 "002020AC0020D83DDE00";

// Seven-octet patterns of a run of "a", "b" and "c" packed without fill.
const QByteArray runA = "E170381C0E87C3";
const QByteArray runB = "62B1582C168BC5";
const QByteArray runC = "E3F1783C1E8FC7";

} // namespace

struct CauseClass
{
    const char *name;
    QList<int> codes;
    bool temporary;
};
const CauseClass causeClasses[] = {
    {"network state", {22, 27, 28, 38, 41, 42, 47, 127}, true},
    {"destination, right to send, content",
     {1, 8, 10, 21, 29, 30, 50, 69, 81, 95, 96, 97, 98, 99, 111},
     false},
    {"centre busy or failing, SIM memory", {192, 194, 208, 209, 210, 211, 212, 213, 255}, true},
    {"centre refuses the message",
     {128, 129, 130, 143, 144, 145, 159, 160, 161, 175, 176, 193, 195, 196, 197, 198, 199},
     false},
    {"modem, SIM, network service",
     {300, 301, 302, 310, 311, 312, 313, 314, 315, 316,
      317, 318, 320, 321, 322, 330, 331, 332, 340, 500},
     true},
    {"modem cannot take the PDU", {303, 304, 305}, false},
};

class TestGsm : public QObject
{
    Q_OBJECT

private slots:
    // The tables in both directions; text is "!" + hex when it must not fit.
    void alphabet_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("septets");
        QTest::newRow("first four") << u"@£$¥"_s << QByteArray("00010203");
        QTest::newRow("CR LF") << u"\r\n"_s << QByteArray("0D0A");
        QTest::newRow("capital C cedilla at 09") << u"Ç"_s << QByteArray("09");
        QTest::newRow("Greek capitals") << u"ΔΦΓΛΩΠΨΣΘΞ"_s << QByteArray("1012131415161718191A");
        QTest::newRow("Nordic and ß") << u"ØøÅåÆæßÉ"_s << QByteArray("0B0C0E0F1C1D1E1F");
        QTest::newRow("¤ ¡ ¿ and the underscore") << u"¤¡¿_"_s << QByteArray("24406011");
        QTest::newRow("umlauts, ñ, §, à") << u"ÄÖÑÜ§äöñüà"_s << QByteArray("5B5C5D5E5F7B7C7D7E7F");
        QTest::newRow("whole extension table")
            << u"\f^{}\\[~]|€"_s << QByteArray("1B0A1B141B281B291B2F1B3C1B3D1B3E1B401B65");
        QTest::newRow("small c cedilla") << u"ç"_s << QByteArray();
        QTest::newRow("backtick") << u"a`"_s << QByteArray();
        QTest::newRow("en dash") << u"–"_s << QByteArray();
        QTest::newRow("emoji") << u"\U0001F600"_s << QByteArray();
    }
    void alphabet()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, septets);
        const std::optional<QByteArray> encoded = Gsm::toSeptets(text);
        QCOMPARE(encoded.has_value(), !septets.isEmpty());
        QCOMPARE(Gsm::fitsGsm7(text), !septets.isEmpty());
        QCOMPARE(Gsm::septetCount(text), septets.isEmpty() ? -1 : int(septets.size() / 2));
        if (encoded) {
            QCOMPARE(hex(*encoded), septets);
            QCOMPARE(Gsm::fromSeptets(QByteArray::fromHex(septets)), text);
        }
    }

    // Decoding what an encoder would never write.
    void oddSeptets_data()
    {
        QTest::addColumn<QByteArray>("septets");
        QTest::addColumn<QString>("text");
        QTest::newRow("escape before a code without extension") << QByteArray("1B41") << u"A"_s;
        QTest::newRow("escape twice shows a blank") << QByteArray("1B1B41") << u" A"_s;
        QTest::newRow("escape at the end") << QByteArray("411B") << u"A"_s;
    }
    void oddSeptets()
    {
        QFETCH(QByteArray, septets);
        QFETCH(QString, text);
        QCOMPARE(Gsm::fromSeptets(QByteArray::fromHex(septets)), text);
    }

    void packing_data()
    {
        QTest::addColumn<QByteArray>("septets");
        QTest::addColumn<int>("fillBits");
        QTest::addColumn<QByteArray>("packed");
        const QByteArray hello = "68656C6C6F68656C6C6F";
        QTest::newRow("hellohello") << hello << 0 << helloPacked;
        // The same 70 bits moved up by one: each octet doubled plus the top
        // bit of the octet before it; 71 bits still fit nine octets.
        QTest::newRow("hellohello after one fill bit")
            << hello << 1 << QByteArray("D06536FB8D2EB3D96F");
        QTest::newRow("escape as eighth septet, code in the ninth")
            << QByteArray("000000000000001B65") << 0 << QByteArray("0000000000003665");
        QTest::newRow("one septet after a fill bit") << QByteArray("41") << 1 << QByteArray("82");
        QTest::newRow("eight a: exactly seven octets") << QByteArray("61").repeated(8) << 0 << runA;
        QTest::newRow("nothing") << QByteArray() << 0 << QByteArray();
    }
    void packing()
    {
        QFETCH(QByteArray, septets);
        QFETCH(int, fillBits);
        QFETCH(QByteArray, packed);
        const QByteArray raw = QByteArray::fromHex(septets);
        QCOMPARE(hex(Gsm::packSeptets(raw, fillBits)), packed);
        QCOMPARE(hex(Gsm::unpackSeptets(QByteArray::fromHex(packed), int(raw.size()), fillBits)),
                 septets);
    }

    void ucs2_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("octets");
        QTest::newRow("Grüsse aus Zürich") << greetings << greetingsUcs2;
        QTest::newRow("surrogate pair is four octets")
            << u"a\U0001F600"_s << QByteArray("0061D83DDE00");
        QTest::newRow("empty") << QString() << QByteArray();
    }
    void ucs2()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, octets);
        QCOMPARE(hex(Gsm::toUcs2(text)), octets);
    }

    // An empty expectation means the number is refused.
    void destination_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QByteArray>("address");
        QTest::newRow("+41") << swiss << swissAddress;
        QTest::newRow("0041") << u"0041791234567"_s << swissAddress;
        QTest::newRow("+41 with blanks") << u" +41 79 123 45 67 "_s << swissAddress;
        QTest::newRow("0041 with blanks") << u"0041 79 123 45 67 "_s << swissAddress;
        QTest::newRow("national, even count") << u"079 123 45 67"_s << QByteArray("0A817019325476");
        QTest::newRow("national, odd count") << u"1234567"_s << QByteArray("0781214365F7");
        QTest::newRow("one digit") << u"+1"_s << QByteArray("0191F1");
        QTest::newRow("twenty digits")
            << u"+12345678901234567890"_s << QByteArray("149121436587092143658709");
        QTest::newRow("twenty-one digits") << u"+123456789012345678901"_s << QByteArray();
        QTest::newRow("empty") << QString() << QByteArray();
        QTest::newRow("only a plus") << u"+"_s << QByteArray();
        QTest::newRow("only 00") << u"00"_s << QByteArray();
        QTest::newRow("letters") << u"abc"_s << QByteArray();
    }
    void destination()
    {
        QFETCH(QString, number);
        QFETCH(QByteArray, address);
        const std::optional<QByteArray> encoded = Gsm::encodeDestination(number);
        QCOMPARE(encoded.has_value(), !address.isEmpty());
        if (encoded)
            QCOMPARE(hex(*encoded), address);
    }

    void centre_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QByteArray>("address");
        QTest::newRow("empty: the SIM's centre") << QString() << QByteArray("00");
        QTest::newRow("blanks only") << u"  "_s << QByteArray("00");
        QTest::newRow("international") << u"+41 79 499 90 00"_s << QByteArray("07911497949900F0");
        QTest::newRow("national") << u"0794999000"_s << QByteArray("06817049990900");
        QTest::newRow("twenty-one digits") << u"123456789012345678901"_s << QByteArray();
    }
    void centre()
    {
        QFETCH(QString, number);
        QFETCH(QByteArray, address);
        const std::optional<QByteArray> encoded = Gsm::encodeCentre(number);
        QCOMPARE(encoded.has_value(), !address.isEmpty());
        if (encoded)
            QCOMPARE(hex(*encoded), address);
    }

    void plan_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ucs2");
        QTest::addColumn<int>("parts");
        QTest::addColumn<int>("units");
        const QString a152 = repeated(u'a', 152);
        QTest::newRow("empty") << QString() << false << 1 << 0;
        QTest::newRow("160 septets") << repeated(u'a', 160) << false << 1 << 160;
        QTest::newRow("161 septets") << repeated(u'a', 161) << false << 2 << 161;
        QTest::newRow("euro as septets 159 and 160")
            << repeated(u'a', 158) + u'€' << false << 1 << 160;
        QTest::newRow("euro as septets 160 and 161")
            << repeated(u'a', 159) + u'€' << false << 2 << 161;
        QTest::newRow("306 septets") << repeated(u'a', 306) << false << 2 << 306;
        QTest::newRow("307 septets") << repeated(u'a', 307) << false << 3 << 307;
        QTest::newRow("400 septets") << repeated(u'a', 400) << false << 3 << 400;
        // The escape would be septet 153: the euro moves on, and with it one
        // septet more than two parts hold.
        QTest::newRow("euro across the first cut") << a152 + u'€' + a152 << false << 3 << 306;
        QTest::newRow("ß and umlauts stay 7-bit") << u"Grüße"_s << false << 1 << 5;
        QTest::newRow("small c cedilla makes UCS-2") << u"ça"_s << true << 1 << 2;
        QTest::newRow("Grüsse aus Zürich") << greetings << true << 1 << 25;
        QTest::newRow("70 units") << repeated(u'–', 70) << true << 1 << 70;
        QTest::newRow("71 units") << repeated(u'–', 71) << true << 2 << 71;
        QTest::newRow("134 units") << repeated(u'–', 134) << true << 2 << 134;
        QTest::newRow("135 units") << repeated(u'–', 135) << true << 3 << 135;
        QTest::newRow("emoji across the cut")
            << repeated(u'–', 66) + u"\U0001F600"_s + repeated(u'–', 66) << true << 3 << 134;
    }
    void plan()
    {
        QFETCH(QString, text);
        QFETCH(bool, ucs2);
        QFETCH(int, parts);
        QFETCH(int, units);
        const Gsm::MessagePlan plan = Gsm::planMessage(text);
        QCOMPARE(plan.encoding == Gsm::Encoding::Ucs2, ucs2);
        QCOMPARE(plan.parts, parts);
        QCOMPARE(plan.units, units);
        // The builder makes as many PDUs as the plan tells the user.
        QCOMPARE(Gsm::buildSubmitPdus(swiss, text, QString(), 1).parts.size(), parts);
    }

    void pdus_data()
    {
        QTest::addColumn<QString>("recipient");
        QTest::addColumn<QString>("centre");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArrayList>("pdus");
        QTest::addColumn<QList<int>>("lengths");

        // Without header: first octet 01, TP-MR 00, TP-DA, TP-PID 00, TP-DCS.
        const QByteArray head = "0001000B911497214365F70000";
        QTest::newRow("hellohello, SIM's centre")
            << swiss << QString() << u"hellohello"_s << QByteArrayList{head + "0A" + helloPacked}
            << QList<int>{22};
        QTest::newRow("hellohello, centre given")
            << u"0041791234567"_s << u"+41794999000"_s << u"hellohello"_s
            << QByteArrayList{"07911497949900F0" + head.mid(2) + "0A" + helloPacked}
            << QList<int>{22};
        QTest::newRow("UCS-2, national number") << u"0791234567"_s << QString() << greetings
                                                << QByteArrayList{"0001000A8170193254760008"
                                                                  "32" +
                                                                  greetingsUcs2}
                                                << QList<int>{62};
        QTest::newRow("empty text")
            << u"0791234567"_s << QString() << QString()
            << QByteArrayList{"0001000A817019325476000000"} << QList<int>{12};

        // With header: first octet 41, header 05 00 03 2A <count> <number>,
        // one fill bit, so the text starts at septet 7 of the user data.
        const QByteArray headed = "0041000B911497214365F70000";
        QTest::newRow("three parts, 153 + 153 + 94 septets")
            << swiss << QString() << repeated(u'a', 153) + repeated(u'b', 153) + repeated(u'c', 94)
            << QByteArrayList{headed +
                                  "A0"
                                  "0500032A0301"
                                  "C2" +
                                  runA.repeated(19),
                              headed +
                                  "A0"
                                  "0500032A0302"
                                  "C4" +
                                  runB.repeated(19),
                              headed +
                                  "65"
                                  "0500032A0303"
                                  "C6" +
                                  runC.repeated(11) + "E3F1783C06"}
            << QList<int>{153, 153, 102};
        // The euro would begin at septet 153: its escape moves to part two.
        // 1 + 152 * 7 bits leave one bit in the last octet: bit 6 of "a".
        QTest::newRow("extension character at the cut")
            << swiss << QString() << repeated(u'a', 152) + u'€' + repeated(u'b', 9)
            << QByteArrayList{headed +
                                  "9F"
                                  "0500032A0201"
                                  "C2" +
                                  runA.repeated(18) +
                                  "E170381C0E87"
                                  "01",
                              headed + "12"
                                       "0500032A0202"
                                       "3665B1582C168BC56231"}
            << QList<int>{153, 29};
        QTest::newRow("surrogate pair at the cut")
            << swiss << QString() << repeated(u'a', 66) + u"\U0001F600xyz"_s
            << QByteArrayList{"0041000B911497214365F70008"
                              "8A"
                              "0500032A0201" +
                                  QByteArray("0061").repeated(66),
                              "0041000B911497214365F70008"
                              "10"
                              "0500032A0202"
                              "D83DDE00"
                              "0078"
                              "0079"
                              "007A"}
            << QList<int>{151, 29};
    }
    void pdus()
    {
        QFETCH(QString, recipient);
        QFETCH(QString, centre);
        QFETCH(QString, text);
        QFETCH(QByteArrayList, pdus);
        QFETCH(QList<int>, lengths);
        const Gsm::SubmitPdus result = Gsm::buildSubmitPdus(recipient, text, centre, 0x2A);
        QCOMPARE(result.error, QString());
        QByteArrayList hexes;
        QList<int> tpduLengths;
        for (const Gsm::SubmitPdu &pdu : result.parts) {
            hexes.append(pdu.hex);
            tpduLengths.append(pdu.tpduLength);
        }
        QCOMPARE(hexes, pdus);
        QCOMPARE(tpduLengths, lengths);
    }

    // TP-SRR is bit 5 of the first octet, which follows the centre's 00;
    // nothing else changes.
    void statusReportRequest_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("statusReport");
        QTest::addColumn<QByteArray>("firstOctet");
        QTest::newRow("one part") << 10 << false << QByteArray("01");
        QTest::newRow("one part, report") << 10 << true << QByteArray("21");
        QTest::newRow("two parts") << 200 << false << QByteArray("41");
        QTest::newRow("two parts, report") << 200 << true << QByteArray("61");
    }
    void statusReportRequest()
    {
        QFETCH(int, length);
        QFETCH(bool, statusReport);
        QFETCH(QByteArray, firstOctet);
        const QString text = repeated(u'a', length);
        const Gsm::SubmitPdus plain = Gsm::buildSubmitPdus(swiss, text, QString(), 5);
        const Gsm::SubmitPdus pdus = Gsm::buildSubmitPdus(swiss, text, QString(), 5, statusReport);
        QCOMPARE(pdus.parts.size(), length / 160 + 1);
        for (qsizetype i = 0; i < pdus.parts.size(); ++i) {
            QCOMPARE(pdus.parts.at(i).hex.mid(2, 2), firstOctet);
            QCOMPARE(pdus.parts.at(i).hex.mid(4), plain.parts.at(i).hex.mid(4));
            QCOMPARE(pdus.parts.at(i).tpduLength, plain.parts.at(i).tpduLength);
        }
    }

    void pduErrors_data()
    {
        QTest::addColumn<QString>("recipient");
        QTest::addColumn<QString>("centre");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("error");
        QTest::newRow("no digits")
            << u"+ -"_s << QString() << 1 << u"Die Natel-Nummer enthält keine Ziffern."_s;
        QTest::newRow("international prefix only")
            << u"00"_s << QString() << 1
            << u"Die Natel-Nummer enthält nach der Vorwahl 00 keine Ziffern."_s;
        QTest::newRow("prefix, blanks, no number")
            << u" 0 0 "_s << QString() << 1
            << u"Die Natel-Nummer enthält nach der Vorwahl 00 keine Ziffern."_s;
        QTest::newRow("prefix and 21 digits") << u"00123456789012345678901"_s << QString() << 1
                                              << u"Die Natel-Nummer hat mehr als 20 Ziffern."_s;
        QTest::newRow("too long a number") << u"123456789012345678901"_s << QString() << 1
                                           << u"Die Natel-Nummer hat mehr als 20 Ziffern."_s;
        QTest::newRow("too long a centre")
            << swiss << u"+123456789012345678901"_s << 1
            << u"Die Nummer der Nachrichtenzentrale hat mehr als 20 Ziffern."_s;
        QTest::newRow("255 parts") << swiss << QString() << 255 * 153 << QString();
        QTest::newRow("256 parts")
            << swiss << QString() << 255 * 153 + 1
            << u"Die Nachricht ist zu lang: sie bräuchte mehr als 255 SMS."_s;
    }
    void pduErrors()
    {
        QFETCH(QString, recipient);
        QFETCH(QString, centre);
        QFETCH(int, length);
        QFETCH(QString, error);
        const Gsm::SubmitPdus result =
            Gsm::buildSubmitPdus(recipient, repeated(u'a', length), centre, 7);
        QCOMPARE(result.error, error);
        QCOMPARE(result.parts.size(), error.isEmpty() ? qsizetype(length) / 153 : 0);
        // The last of 255 parts is numbered 255 of 255.
        if (error.isEmpty())
            QCOMPARE(result.parts.last().hex.mid(2 + 2 * 13, 12), QByteArray("05000307FFFF"));
    }

    void cmsErrors_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("temporary");
        QTest::newRow("unassigned number") << 1 << u"Nummer nicht vergeben"_s << false;
        QTest::newRow("call barred") << 10 << u"Versand an diese Nummer gesperrt"_s << false;
        QTest::newRow("temporary failure") << 41 << u"vorübergehende Störung"_s << true;
        QTest::newRow("invalid SME address") << 195 << u"ungültige Empfängernummer"_s << false;
        QTest::newRow("SC busy") << 192 << u"Nachrichtenzentrale ausgelastet"_s << true;
        QTest::newRow("memory full") << 322 << u"Speicher voll"_s << true;
        QTest::newRow("no network") << 331 << u"kein Netz"_s << true;
        QTest::newRow("network time-out") << 332 << u"Zeitüberschreitung im Netz"_s << true;
        QTest::newRow("invalid PDU parameter")
            << 304 << u"ungültige Angabe im PDU-Modus"_s << false;
        QTest::newRow("unknown error") << 500 << u"unbekannter Fehler"_s << true;
        QTest::newRow("code outside the table") << 999 << u"unbekannter Fehler"_s << true;
        QTest::newRow("negative code") << -1 << u"unbekannter Fehler"_s << true;
    }
    void cmsErrors()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        QFETCH(bool, temporary);
        const Gsm::CmsError error = Gsm::cmsError(code);
        QCOMPARE(error.text, text);
        QCOMPARE(error.temporary, temporary);
    }

    // Every cause of the network (annex E of TS 24.011), of the centre
    // (TP-FCS of TS 23.040) and of the modem (TS 27.005) by its class; any
    // other code is no cause and reads as unknown and temporary.
    void cmsClasses_data()
    {
        QTest::addColumn<QList<int>>("codes");
        QTest::addColumn<bool>("temporary");
        for (const CauseClass &cause : causeClasses)
            QTest::newRow(cause.name) << cause.codes << cause.temporary;
        QList<int> others;
        for (int code = -1; code <= 1000; ++code) {
            if (std::none_of(std::begin(causeClasses), std::end(causeClasses),
                             [code](const CauseClass &c) { return c.codes.contains(code); }))
                others.append(code);
        }
        QTest::newRow("no cause") << others << true;
    }
    void cmsClasses()
    {
        QFETCH(QList<int>, codes);
        QFETCH(bool, temporary);
        const bool known = QTest::currentDataTag() != QByteArray("no cause");
        for (const int code : codes) {
            const Gsm::CmsError error = Gsm::cmsError(code);
            const QByteArray what = QByteArray::number(code) + ' ' + error.text.toUtf8();
            QVERIFY2(error.temporary == temporary, what.constData());
            QVERIFY2((code == 500 || !known) == (error.text == u"unbekannter Fehler"_s),
                     what.constData());
        }
    }
};

QTEST_APPLESS_MAIN(TestGsm)
#include "tst_gsm.moc"
