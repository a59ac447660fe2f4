#include "ucp.h"

#include <QByteArrayList>
#include <QMap>
#include <QRandomGenerator>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QString kindName(UcpReply::Kind kind)
{
    switch (kind) {
    case UcpReply::Kind::Invalid:
        return u"Invalid"_s;
    case UcpReply::Kind::Ack:
        return u"Ack"_s;
    case UcpReply::Kind::Nack:
        return u"Nack"_s;
    }
    return u"?"_s;
}

// Checksum of a reply written by the test itself: low 8 bits of the byte sum.
QByteArray checksumOf(QByteArrayView text)
{
    unsigned sum = 0;
    for (char c : text)
        sum += static_cast<unsigned char>(c);
    return QByteArray::number(sum & 0xFF, 16).toUpper().rightJustified(2, '0');
}

// A reply with LEN and checksum made to fit, so that a row can break exactly
// one other thing. lenDelta falsifies LEN, the checksum then still matches.
QByteArray sealedReply(QByteArrayView trn, QByteArrayView rest, int lenDelta = 0)
{
    const qsizetype length = trn.size() + 1 + 6 + rest.size() + 2;
    QByteArray body = trn.toByteArray() + '/' +
                      QByteArray::number(length + lenDelta).rightJustified(5, '0') + '/' +
                      rest.toByteArray();
    return body + checksumOf(body);
}

QByteArray wrapped(const QByteArray &frame)
{
    return UcpStx + frame + UcpEtx;
}

// The characters above 127 that the message centre understands, written down
// once more from the GSM 03.38 default alphabet for the decoder below.
const QMap<QChar, uchar> &gsmTable()
{
    static const QMap<QChar, uchar> table = {
        {u'£', 0x01}, {u'è', 0x04}, {u'é', 0x05}, {u'ù', 0x06}, {u'ì', 0x07}, {u'ò', 0x08},
        {u'ç', 0x09}, {u'É', 0x1F}, {u'Ä', 0x5B}, {u'Ö', 0x5C}, {u'Ü', 0x5E}, {u'§', 0x5F},
        {u'ä', 0x7B}, {u'ö', 0x7C}, {u'ü', 0x7E}, {u'à', 0x7F},
    };
    return table;
}

} // namespace

class TestUcp : public QObject
{
    Q_OBJECT

private slots:
    void frame_data();
    void frame();
    void frameLengthFieldMatchesFrame_data();
    void frameLengthFieldMatchesFrame();
    void frameBytes();
    void erwAscii_data();
    void erwAscii();
    void textinhex_data();
    void textinhex();
    void chksum_data();
    void chksum();
    void unsendable_data();
    void unsendable();
    void generatedFramesDecode();
    void reply_data();
    void reply();
    void takeFrame_data();
    void takeFrame();
    void nackText_data();
    void nackText();
};

void TestUcp::frame_data()
{
    QTest::addColumn<QString>("nummer");
    QTest::addColumn<QString>("nachricht");
    QTest::addColumn<QString>("rueckRufNr");
    QTest::addColumn<QString>("expected");

    QTest::newRow("abc without call-back")
        << u"0791234567"_s << u"abc"_s << QString() << u"01/00038/O/01/0791234567///3/616263/2A"_s;
    QTest::newRow("abc with call-back") << u"0791234567"_s << u"abc"_s << u"0311234567"_s
                                        << u"01/00048/O/01/0791234567/0311234567//3/616263/2B"_s;
    QTest::newRow("Grüße: ü mapped, ß dropped") << u"0791234567"_s << u"Grüße"_s << QString()
                                                << u"01/00040/O/01/0791234567///3/47727E65/A6"_s;
    QTest::newRow("empty message")
        << u"0791234567"_s << QString() << QString() << u"01/00032/O/01/0791234567///3//EC"_s;
    QTest::newRow("only unmapped characters like empty message")
        << u"0791234567"_s << u"ßßß"_s << QString() << u"01/00032/O/01/0791234567///3//EC"_s;
    QTest::newRow("line break as CR LF") << u"0791234567"_s << u"a\r\nb"_s << QString()
                                         << u"01/00040/O/01/0791234567///3/610D0A62/9F"_s;
    QTest::newRow("mapped É and ç")
        << u"0791234567"_s << u"Éç"_s << QString() << u"01/00036/O/01/0791234567///3/1F09/D0"_s;
    QTest::newRow("everything empty")
        << QString() << QString() << QString() << u"01/00022/O/01////3//DF"_s;

    // Numbers reach the frame with their digits only.
    QTest::newRow("recipient with blanks") << u"079 123 45 67"_s << u"abc"_s << QString()
                                           << u"01/00038/O/01/0791234567///3/616263/2A"_s;
    QTest::newRow("recipient with slash and trailing blank")
        << u"079/1234567 "_s << u"abc"_s << QString()
        << u"01/00038/O/01/0791234567///3/616263/2A"_s;
    QTest::newRow("recipient with letters") << u"Natel 0791234567"_s << u"abc"_s << QString()
                                            << u"01/00038/O/01/0791234567///3/616263/2A"_s;
    QTest::newRow("call-back with slash and blanks")
        << u"0791234567"_s << u"abc"_s << u"031/123 45 67"_s
        << u"01/00048/O/01/0791234567/0311234567//3/616263/2B"_s;
    QTest::newRow("international plus and blanks")
        << u"+41 79 123 45 67"_s << u"Hallo"_s << u"031 123 45 67"_s
        << u"01/00053/O/01/41791234567/0311234567//3/48616C6C6F/65"_s;
    QTest::newRow("call-back of blanks only is empty")
        << u"0791234567"_s << u"abc"_s << u"   "_s << u"01/00038/O/01/0791234567///3/616263/2A"_s;
}

void TestUcp::frame()
{
    QFETCH(QString, nummer);
    QFETCH(QString, nachricht);
    QFETCH(QString, rueckRufNr);
    QFETCH(QString, expected);

    QCOMPARE(SMSSendString(nummer, nachricht, rueckRufNr), expected);
}

void TestUcp::frameLengthFieldMatchesFrame_data()
{
    QTest::addColumn<QString>("nummer");
    QTest::addColumn<QString>("nachricht");

    QTest::newRow("160 ASCII characters") << u"0791234567"_s << QString(160, u'x');
    QTest::newRow("160 umlauts") << u"0791234567"_s << QString(160, u'ä');
    QTest::newRow("160 dropped characters") << u"0791234567"_s << QString(160, u'ß');
    QTest::newRow("long recipient") << u"0041 79 123 45 67 89 01"_s << u"Test"_s;
}

void TestUcp::frameLengthFieldMatchesFrame()
{
    QFETCH(QString, nummer);
    QFETCH(QString, nachricht);

    const QString frame = SMSSendString(nummer, nachricht, u"031 123"_s);
    QCOMPARE(frame.mid(3, 5).toInt(), frame.size());
}

void TestUcp::frameBytes()
{
    const QByteArray bytes = ucpFrameBytes(u"01/00038/O/01/0791234567///3/616263/2A"_s);
    QCOMPARE(bytes, QByteArray("\x02"
                               "01/00038/O/01/0791234567///3/616263/2A"
                               "\x03"));
    QCOMPARE(bytes.size(), 40);
    QCOMPARE(ucpFrameBytes(QString()), QByteArray("\x02\x03"));
}

void TestUcp::erwAscii_data()
{
    QTest::addColumn<QChar>("wert");
    QTest::addColumn<QString>("expected");

    QTest::newRow("pound") << QChar(u'£') << u"01"_s;
    QTest::newRow("e grave") << QChar(u'è') << u"04"_s;
    QTest::newRow("e acute") << QChar(u'é') << u"05"_s;
    QTest::newRow("u grave") << QChar(u'ù') << u"06"_s;
    QTest::newRow("i grave") << QChar(u'ì') << u"07"_s;
    QTest::newRow("o grave") << QChar(u'ò') << u"08"_s;
    QTest::newRow("c cedilla") << QChar(u'ç') << u"09"_s;
    QTest::newRow("E acute") << QChar(u'É') << u"1F"_s;
    QTest::newRow("A umlaut") << QChar(u'Ä') << u"5B"_s;
    QTest::newRow("O umlaut") << QChar(u'Ö') << u"5C"_s;
    QTest::newRow("U umlaut") << QChar(u'Ü') << u"5E"_s;
    QTest::newRow("section") << QChar(u'§') << u"5F"_s;
    QTest::newRow("a umlaut") << QChar(u'ä') << u"7B"_s;
    QTest::newRow("o umlaut") << QChar(u'ö') << u"7C"_s;
    QTest::newRow("u umlaut") << QChar(u'ü') << u"7E"_s;
    QTest::newRow("a grave") << QChar(u'à') << u"7F"_s;

    QTest::newRow("E grave not mapped") << QChar(u'È') << QString();
    QTest::newRow("C cedilla not mapped") << QChar(u'Ç') << QString();
    QTest::newRow("E acute lower-case neighbour ê") << QChar(u'ê') << QString();
    QTest::newRow("sharp s") << QChar(u'ß') << QString();
    QTest::newRow("n tilde") << QChar(u'ñ') << QString();
    QTest::newRow("euro") << QChar(u'€') << QString();
    QTest::newRow("plain a is no table entry") << QChar(u'a') << QString();
    QTest::newRow("at sign is no table entry") << QChar(u'@') << QString();
}

void TestUcp::erwAscii()
{
    QFETCH(QChar, wert);
    QFETCH(QString, expected);

    QCOMPARE(ErwAscii(wert), expected);
}

void TestUcp::textinhex_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("lower and upper case") << u"aM"_s << u"614D"_s;
    QTest::newRow("tab") << u"\t"_s << u"09"_s;
    QTest::newRow("line feed") << u"\n"_s << u"0A"_s;
    QTest::newRow("CR LF") << u"\r\n"_s << u"0D0A"_s;
    QTest::newRow("NUL") << QString(QChar(u'\0')) << u"00"_s;
    QTest::newRow("DEL") << u"\x7f"_s << u"7F"_s;
    QTest::newRow("at, dollar, underscore keep their code") << u"@$_"_s << u"40245F"_s;
    QTest::newRow("slash and blank are ordinary text") << u"a/ b"_s << u"612F2062"_s;
    QTest::newRow("E acute mapped, E grave dropped") << u"ÉÈ"_s << u"1F"_s;
    QTest::newRow("c cedilla mapped, C cedilla dropped") << u"çÇ"_s << u"09"_s;
    QTest::newRow("all sixteen mapped") << u"£èéùìòçÉÄÖÜ§äöüà"_s
                                        << u"01040506070809"
                                           "1F5B5C5E5F7B7C7E7F"_s;
    QTest::newRow("unmapped dropped without placeholder") << u"aßb€c“d"_s << u"61626364"_s;
    QTest::newRow("emoji dropped") << u"a😀b"_s << u"6162"_s;
    QTest::newRow("C1 control dropped") << u"a\u0085b"_s << u"6162"_s;
}

void TestUcp::textinhex()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);

    QCOMPARE(Textinhex(text), expected);
}

void TestUcp::chksum_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("meldeTyp");
    QTest::addColumn<QString>("expected");

    QTest::newRow("worked example body")
        << u"01/00038/O/01/0791234567///3/616263/"_s << QChar(u'3') << u"2A"_s;
    QTest::newRow("sum 0x305 gives 05") << u"zzzzzz)"_s << QChar(u'3') << u"05"_s;
    QTest::newRow("empty gives 00") << QString() << QChar(u'3') << u"00"_s;
    QTest::newRow("small sum with leading zero") << u"\t"_s << QChar(u'3') << u"09"_s;
    QTest::newRow("digit with 3 adds own code") << u"5"_s << QChar(u'3') << u"35"_s;
    QTest::newRow("digit with A adds 0xA5") << u"5"_s << QChar(u'A') << u"A5"_s;
    QTest::newRow("digit with lower-case a") << u"5"_s << QChar(u'a') << u"A5"_s;
    QTest::newRow("digit with 0 adds its value") << u"a5"_s << QChar(u'0') << u"66"_s;
    QTest::newRow("non-digits ignore the type") << u"abc"_s << QChar(u'F') << u"26"_s;
    QTest::newRow("digits with F wrap past 255") << u"99"_s << QChar(u'F') << u"F2"_s;
    QTest::newRow("Windows-1252 code of euro") << u"€"_s << QChar(u'3') << u"80"_s;
    QTest::newRow("Latin-1 letter") << u"ü"_s << QChar(u'3') << u"FC"_s;
    QTest::newRow("no Windows-1252 code counts as ?") << u"Ł"_s << QChar(u'3') << u"3F"_s;
}

void TestUcp::chksum()
{
    QFETCH(QString, text);
    QFETCH(QChar, meldeTyp);
    QFETCH(QString, expected);

    QCOMPARE(Chksum(text, meldeTyp), expected);
}

void TestUcp::unsendable_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("empty") << QString() << QStringList();
    QTest::newRow("plain ASCII with controls") << u"Hallo\r\n@$_~"_s << QStringList();
    QTest::newRow("all mapped") << u"£èéùìòçÉÄÖÜ§äöüà"_s << QStringList();
    QTest::newRow("Grüße") << u"Grüße"_s << QStringList{u"ß"_s};
    QTest::newRow("repeated once, in order of appearance")
        << u"„Grüße“ – 5 € ß"_s << QStringList{u"„"_s, u"ß"_s, u"“"_s, u"–"_s, u"€"_s};
    QTest::newRow("case-sensitive table") << u"ÈéÇç"_s << QStringList{u"È"_s, u"Ç"_s};
    QTest::newRow("emoji as one character") << u"a😀b😀"_s << QStringList{u"😀"_s};
}

void TestUcp::unsendable()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);

    QCOMPARE(unsendableCharacters(text), expected);

    // Exactly the characters reported are the ones that vanish.
    QString withoutThem = text;
    for (const QString &c : expected)
        withoutThem.remove(c);
    QCOMPARE(Textinhex(withoutThem), Textinhex(text));
}

// Frames from random messages are taken apart by a decoder written here,
// independent of the encoder: field layout, LEN, checksum and the message.
void TestUcp::generatedFramesDecode()
{
    QRandomGenerator random(20240611);
    QString alphabet;
    for (char16_t c = 0x20; c < 0x7F; ++c)
        alphabet.append(QChar(c));
    alphabet += u"\t\r\n£èéùìòçÉÄÖÜ§äöüàßÈÇñ€“”„–"_s;
    const QString numberNoise = u" /+-.aZ"_s;

    auto randomNumber = [&](int maxDigits) {
        QString number;
        const int length = random.bounded(maxDigits + 1);
        for (int i = 0; i < length; ++i) {
            if (random.bounded(4) == 0)
                number.append(numberNoise[random.bounded(int(numberNoise.size()))]);
            number.append(QChar(u'0' + random.bounded(10)));
        }
        return number;
    };
    auto digitsOf = [](const QString &text) {
        QString digits;
        for (QChar c : text) {
            if (c >= u'0' && c <= u'9')
                digits.append(c);
        }
        return digits;
    };

    for (int round = 0; round < 3000; ++round) {
        const int length = round < 161 ? round : random.bounded(161);
        QString message;
        for (int i = 0; i < length; ++i)
            message.append(alphabet[random.bounded(int(alphabet.size()))]);
        const QString nummer = randomNumber(15);
        const QString rueckRufNr = random.bounded(3) == 0 ? QString() : randomNumber(12);

        const QString frame = SMSSendString(nummer, message, rueckRufNr);
        const QString context = u"round %1: %2"_s.arg(round).arg(frame);
        const QByteArray frameBytes = frame.toLatin1();

        for (char c : frameBytes)
            QVERIFY2(c >= 0x20 && c <= 0x7E, qPrintable(context));

        const QStringList fields = frame.split(u'/');
        QVERIFY2(fields.size() == 10, qPrintable(context));
        QCOMPARE(fields[0], u"01"_s);
        QCOMPARE(fields[1].size(), 5);
        QCOMPARE(fields[1].toInt(), frame.size());
        QCOMPARE(fields[2], u"O"_s);
        QCOMPARE(fields[3], u"01"_s);
        QCOMPARE(fields[4], digitsOf(nummer));
        QCOMPARE(fields[5], digitsOf(rueckRufNr));
        QCOMPARE(fields[6], QString());
        QCOMPARE(fields[7], u"3"_s);

        const qsizetype lastSlash = frameBytes.lastIndexOf('/');
        QCOMPARE(lastSlash, frameBytes.size() - 3);
        QCOMPARE(fields[9], QString::fromLatin1(checksumOf(frameBytes.first(lastSlash + 1))));

        const QString hex = fields[8];
        QVERIFY2(hex.size() % 2 == 0, qPrintable(context));
        for (QChar c : hex)
            QVERIFY2((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'), qPrintable(context));
        QByteArray decoded;
        for (qsizetype i = 0; i < hex.size(); i += 2)
            decoded.append(char(hex.mid(i, 2).toInt(nullptr, 16)));

        QByteArray expected;
        for (QChar c : message) {
            if (c.unicode() <= 127)
                expected.append(char(c.unicode()));
            else if (gsmTable().contains(c))
                expected.append(char(gsmTable().value(c)));
        }
        QCOMPARE(decoded, expected);
    }
}

void TestUcp::reply_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("trn");
    QTest::addColumn<QString>("errorCode");
    QTest::addColumn<QString>("systemMessage");

    const QByteArray ackEmpty = "01/00019/R/01/A//69";
    const QByteArray ackWithSm = "06/00043/R/01/A/01234567890:090196103258/4E";
    const QByteArray nack = "12/00022/R/01/N/02//03";

    QTest::newRow("ack, bare") << ackEmpty << u"Ack"_s << u"01"_s << QString() << QString();
    QTest::newRow("ack, wrapped") << wrapped(ackEmpty) << u"Ack"_s << u"01"_s << QString()
                                  << QString();
    QTest::newRow("ack with SM, bare")
        << ackWithSm << u"Ack"_s << u"06"_s << QString() << u"01234567890:090196103258"_s;
    QTest::newRow("ack with SM, wrapped")
        << wrapped(ackWithSm) << u"Ack"_s << u"06"_s << QString() << u"01234567890:090196103258"_s;
    QTest::newRow("ack with SM, lower-case checksum")
        << QByteArray("06/00043/R/01/A/01234567890:090196103258/4e") << u"Ack"_s << u"06"_s
        << QString() << u"01234567890:090196103258"_s;
    QTest::newRow("ack with MVP and SM") << QByteArray("07/00029/R/01/A/1234/hallo/79") << u"Ack"_s
                                         << u"07"_s << QString() << u"hallo"_s;
    QTest::newRow("nack 02, bare") << nack << u"Nack"_s << u"12"_s << u"02"_s << QString();
    QTest::newRow("nack 02, wrapped")
        << wrapped(nack) << u"Nack"_s << u"12"_s << u"02"_s << QString();
    QTest::newRow("nack 24") << QByteArray("12/00022/R/01/N/24//07") << u"Nack"_s << u"12"_s
                             << u"24"_s << QString();
    QTest::newRow("nack with SM") << QByteArray("99/00032/R/01/N/06/AdC falsch/90") << u"Nack"_s
                                  << u"99"_s << u"06"_s << u"AdC falsch"_s;
    QTest::newRow("noise around STX/ETX ignored")
        << QByteArray("CONNECT 9600\r\n" + wrapped(ackEmpty) + "\r\nOK") << u"Ack"_s << u"01"_s
        << QString() << QString();

    const auto invalid = [](const char *name, const QByteArray &bytes) {
        QTest::newRow(name) << bytes << u"Invalid"_s << QString() << QString() << QString();
    };
    invalid("wrong checksum", "01/00019/R/01/A//68");
    invalid("wrong checksum, wrapped", wrapped("12/00022/R/01/N/02//04"));
    invalid("checksum not hex", "01/00019/R/01/A//6G");
    invalid("checksum one digit", sealedReply("01", "R/01/A//").chopped(1));
    invalid("wrong LEN, checksum right", sealedReply("01", "R/01/A//", 1));
    invalid("LEN too short", sealedReply("01", "R/01/A//", -1));
    invalid("LEN not five digits", "01/0019/R/01/A//39");
    invalid("operation 51", sealedReply("01", "R/51/A//"));
    invalid("operation instead of result", sealedReply("01", "O/01/A//"));
    invalid("lower-case r", sealedReply("01", "r/01/A//"));
    invalid("neither A nor N", sealedReply("01", "R/01/X//"));
    invalid("ack with too many fields", sealedReply("01", "R/01/A/a/b/c/"));
    invalid("ack without SM field", sealedReply("01", "R/01/A/"));
    invalid("nack without SM field", sealedReply("12", "R/01/N/02/"));
    invalid("nack with extra field", sealedReply("12", "R/01/N/02/x/y/"));
    invalid("nack code not digits", sealedReply("12", "R/01/N/XY//"));
    invalid("nack code one digit", sealedReply("12", "R/01/N/2//"));
    invalid("TRN one digit", sealedReply("1", "R/01/A//"));
    invalid("TRN not digits", sealedReply("ab", "R/01/A//"));
    invalid("control byte inside", sealedReply("01", "R/01/A/a\tb/"));
    invalid("byte above 127 inside", sealedReply("01", "R/01/A/\xfc/"));
    invalid("garbage", "NO CARRIER\r\n");
    invalid("empty", QByteArray());
    invalid("only STX ETX", wrapped(QByteArray()));
    invalid("STX without ETX", QByteArray(UcpStx + ackEmpty));
    invalid("ETX without STX", QByteArray(ackEmpty + UcpEtx));
    invalid("truncated", "01/00019/R/01/A//6");
    invalid("truncated before checksum", "01/00019/R/01/A//");
    invalid("truncated, wrapped", wrapped("06/00043/R/01/A/0123456"));
    invalid("noise around a bare frame", "x" + ackEmpty);
}

void TestUcp::reply()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, kind);
    QFETCH(QString, trn);
    QFETCH(QString, errorCode);
    QFETCH(QString, systemMessage);

    const UcpReply reply = parseUcpReply(bytes);
    QCOMPARE(kindName(reply.kind), kind);
    if (reply.kind == UcpReply::Kind::Invalid)
        return;
    QCOMPARE(reply.trn, trn);
    QCOMPARE(reply.errorCode, errorCode);
    QCOMPARE(reply.systemMessage, systemMessage);
}

void TestUcp::takeFrame_data()
{
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QByteArrayList>("frames");
    QTest::addColumn<QByteArray>("remaining");

    const QByteArray ack = "01/00019/R/01/A//69";
    const QByteArray nack = "12/00022/R/01/N/02//03";
    const QByteArray stx(1, UcpStx);
    const QByteArray etx(1, UcpEtx);

    QTest::newRow("one whole frame")
        << QByteArrayList{wrapped(ack)} << QByteArrayList{ack} << QByteArray();
    QTest::newRow("split in three") << QByteArrayList{stx + "01/000", "19/R/01/", "A//69" + etx}
                                    << QByteArrayList{ack} << QByteArray();
    QTest::newRow("STX and ETX alone")
        << QByteArrayList{stx, ack, etx} << QByteArrayList{ack} << QByteArray();
    QTest::newRow("modem chatter before")
        << QByteArrayList{"CONNECT 9600\r\n", wrapped(ack)} << QByteArrayList{ack} << QByteArray();
    QTest::newRow("junk in the same chunk")
        << QByteArrayList{"\r\nOK\r\n" + wrapped(ack)} << QByteArrayList{ack} << QByteArray();
    QTest::newRow("two frames in one chunk") << QByteArrayList{wrapped(ack) + wrapped(nack)}
                                             << QByteArrayList{ack, nack} << QByteArray();
    QTest::newRow("partial frame stays") << QByteArrayList{"junk" + stx + "01/000"}
                                         << QByteArrayList{} << QByteArray(stx + "01/000");
    QTest::newRow("frame then partial next") << QByteArrayList{wrapped(ack) + "\r\n" + stx + "12/"}
                                             << QByteArrayList{ack} << QByteArray(stx + "12/");
    QTest::newRow("junk without STX dropped")
        << QByteArrayList{"NO CARRIER\r\n"} << QByteArrayList{} << QByteArray();
    QTest::newRow("ETX before STX is junk")
        << QByteArrayList{etx + "x" + wrapped(ack)} << QByteArrayList{ack} << QByteArray();
    QTest::newRow("broken-off frame abandoned at new STX")
        << QByteArrayList{stx + "01/000", wrapped(nack)} << QByteArrayList{nack} << QByteArray();
    QTest::newRow("broken-off frame abandoned while waiting")
        << QByteArrayList{stx + "01/000" + stx + "12/"} << QByteArrayList{}
        << QByteArray(stx + "12/");
    QTest::newRow("empty frame") << QByteArrayList{stx + etx} << QByteArrayList{QByteArray()}
                                 << QByteArray();
}

void TestUcp::takeFrame()
{
    QFETCH(QByteArrayList, chunks);
    QFETCH(QByteArrayList, frames);
    QFETCH(QByteArray, remaining);

    QByteArray buffer;
    QByteArrayList taken;
    for (const QByteArray &chunk : chunks) {
        buffer.append(chunk);
        while (std::optional<QByteArray> frame = takeUcpFrame(buffer))
            taken.append(*frame);
    }
    QCOMPARE(taken, frames);
    QCOMPARE(buffer, remaining);
}

void TestUcp::nackText_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("expected");

    QTest::newRow("01") << u"01"_s << u"Checksummenfehler"_s;
    QTest::newRow("02") << u"02"_s << u"Syntaxfehler"_s;
    QTest::newRow("06") << u"06"_s << u"Empfängeradresse ungültig (AdC)"_s;
    QTest::newRow("18") << u"18"_s << u"Verzögerte Zustellung nicht erlaubt"_s;
    QTest::newRow("24") << u"24"_s << u"Nachricht zu lang"_s;
    QTest::newRow("38") << u"38"_s << u"Nachricht weitergeleitet"_s;
    QTest::newRow("gap in the list") << u"28"_s << u"unbekannter Fehler"_s;
    QTest::newRow("unknown") << u"99"_s << u"unbekannter Fehler"_s;
    QTest::newRow("one digit") << u"2"_s << u"unbekannter Fehler"_s;
    QTest::newRow("empty") << QString() << u"unbekannter Fehler"_s;
}

void TestUcp::nackText()
{
    QFETCH(QString, code);
    QFETCH(QString, expected);

    QCOMPARE(ucpNackText(code), expected);
}

QTEST_APPLESS_MAIN(TestUcp)
#include "tst_ucp.moc"
