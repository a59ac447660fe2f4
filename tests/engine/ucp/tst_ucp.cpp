#include "ucp.h"
#include "ucptestframes.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

using UcpTestFrames::checksumOf;
using UcpTestFrames::sealed;

// "Kind TRN EC|SM"
QString describe(const UcpReply &reply)
{
    static const QString kinds[] = {u"Invalid"_s, u"Ack"_s, u"Nack"_s};
    return kinds[int(reply.kind)] + u' ' + reply.trn + u' ' + reply.errorCode + u'|' +
           reply.systemMessage;
}

} // namespace

class TestUcp : public QObject
{
    Q_OBJECT

private slots:
    void frame_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("nachricht");
        QTest::addColumn<QString>("callBack");
        QTest::addColumn<QString>("expected");
        const QString n = u"0791234567"_s;
        const QString abc = u"01/00038/O/01/0791234567///3/616263/2A"_s;
        QTest::newRow("abc") << n << u"abc"_s << QString() << abc;
        QTest::newRow("abc with call-back")
            << n << u"abc"_s << u"0311234567"_s
            << u"01/00048/O/01/0791234567/0311234567//3/616263/2B"_s;
        QTest::newRow("Grüße: ü mapped, ß dropped")
            << n << u"Grüße"_s << QString() << u"01/00040/O/01/0791234567///3/47727E65/A6"_s;
        QTest::newRow("everything empty")
            << QString() << QString() << QString() << u"01/00022/O/01////3//DF"_s;
        QTest::newRow("160 umlauts")
            << n << QString(160, u'ä') << QString()
            << u"01/00352/O/01/0791234567///3/"_s + u"7B"_s.repeated(160) + u"/91"_s;
        // Numbers reach the frame with their digits only.
        QTest::newRow("plus, slash and blanks")
            << u"+41 79 123 45 67"_s << u"Hallo"_s << u"031/123 45 67"_s
            << u"01/00053/O/01/41791234567/0311234567//3/48616C6C6F/65"_s;
    }
    void frame()
    {
        QFETCH(QString, number);
        QFETCH(QString, nachricht);
        QFETCH(QString, callBack);
        QFETCH(QString, expected);
        const QString frame = SMSSendString(number, nachricht, callBack);
        QCOMPARE(frame, expected);
        // Checked once more by hand: ten fields, LEN the frame's length, checksum.
        QCOMPARE(frame.split(u'/').size(), 10);
        QCOMPARE(frame.mid(3, 5).toInt(), frame.size());
        QCOMPARE(frame.right(2).toLatin1(), checksumOf(frame.chopped(2).toLatin1()));
    }

    void erwAscii()
    {
        const QString mapped = u"£èéùìòçÉÄÖÜ§äöüà"_s;
        const QStringList codes = u"01 04 05 06 07 08 09 1F 5B 5C 5E 5F 7B 7C 7E 7F"_s.split(u' ');
        for (int i = 0; i < mapped.size(); ++i)
            QCOMPARE(ErwAscii(mapped[i]), codes[i]);
        for (QChar c : u"ÈÇêßñ€a@"_s) // case-sensitive; plain ASCII is no table entry
            QVERIFY2(ErwAscii(c).isEmpty(), qPrintable(QString(c)));
    }

    void textinhex_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("controls, NUL, DEL") << u"\t\r\n\x7f"_s + QChar(u'\0') << u"090D0A7F00"_s;
        QTest::newRow("case, @$_, slash and blank") << u"aM@$_/ "_s << u"614D40245F2F20"_s;
        QTest::newRow("unmapped dropped without trace") << u"aßb€c“d\u0085"_s << u"61626364"_s;
    }
    void textinhex()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(Textinhex(text), expected);
    }

    void chksum_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QChar>("messageType");
        QTest::addColumn<QString>("expected");
        QTest::newRow("digit with A adds 0xA5") << u"5"_s << QChar(u'A') << u"A5"_s;
        QTest::newRow("digit with 0 adds its value") << u"a5"_s << QChar(u'0') << u"66"_s;
        QTest::newRow("Windows-1252 euro") << u"€"_s << QChar(u'3') << u"80"_s;
        QTest::newRow("no Windows-1252 code counts as ?") << u"Ł"_s << QChar(u'3') << u"3F"_s;
    }
    void chksum()
    {
        QFETCH(QString, text);
        QFETCH(QChar, messageType);
        QFETCH(QString, expected);
        QCOMPARE(Chksum(text, messageType), expected);
    }

    void unsendable_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("ASCII and all mapped") << u"Hallo\r\n~£èéùìòçÉÄÖÜ§äöüà"_s << QStringList();
        QTest::newRow("once each, in order")
            << u"„Grüße“ – 5 € ß"_s << QStringList{u"„"_s, u"ß"_s, u"“"_s, u"–"_s, u"€"_s};
        QTest::newRow("emoji as one character") << u"a😀b😀"_s << QStringList{u"😀"_s};
    }
    void unsendable()
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

    void reply_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        const QByteArray ackEmpty = "01/00019/R/01/A//69";
        QTest::newRow("ack") << ackEmpty << u"Ack 01 |"_s;
        QTest::newRow("ack with SM, wrapped")
            << QByteArray("\x02"
                          "06/00043/R/01/A/01234567890:090196103258/4E\x03")
            << u"Ack 06 |01234567890:090196103258"_s;
        QTest::newRow("lower-case checksum")
            << QByteArray("06/00043/R/01/A/01234567890:090196103258/4e")
            << u"Ack 06 |01234567890:090196103258"_s;
        QTest::newRow("ack with MVP and SM")
            << QByteArray("07/00029/R/01/A/1234/hallo/79") << u"Ack 07 |hallo"_s;
        QTest::newRow("nack 02") << QByteArray("12/00022/R/01/N/02//03") << u"Nack 12 02|"_s;

        const auto invalid = [](const char *name, const QByteArray &bytes) {
            QTest::newRow(name) << bytes << u"Invalid  |"_s;
        };
        invalid("wrong checksum", "\x02"
                                  "12/00022/R/01/N/02//04\x03");
        invalid("wrong LEN, checksum right", sealed("01", "R/01/A//", 1));
        invalid("operation 51", sealed("01", "R/51/A//"));
        invalid("nack without SM", sealed("01", "R/01/N/02/"));
        invalid("byte above 127", sealed("01", "R/01/A/\xfc/"));
        invalid("STX without ETX", UcpStx + ackEmpty);
    }
    void reply()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QCOMPARE(describe(parseUcpReply(bytes)), expected);
    }

    // Every code of the error table, and what a refusal with it does: the
    // message is refused for good, sending halts (the account), or the
    // attempt failed and the message stays queued.
    void refusal_data()
    {
        QTest::addColumn<QString>("codes");
        QTest::addColumn<int>("refusal");
        QTest::addColumn<QString>("reason"); // for the first code
        QTest::newRow("the message")
            << u"02 06 21 23 24 25 26"_s << int(UcpRefusal::Message) << QString();
        QTest::newRow("the account") << u"05 07 08"_s << int(UcpRefusal::Account)
                                     << u"SMS-Center verweigert den Versand (05: Sperre aktiv)"_s;
        QTest::newRow("checksum") << u"01"_s << int(UcpRefusal::Attempt) << u"Prüfsummenfehler"_s;
        QTest::newRow("the centre, now")
            << u"04 03 09 10 11 12 13 14 15 16 17 18 19 20 22 27 28 30 31 32 33 34 35 36 37 38 "
               u"50 51 53 54 55"_s
            << int(UcpRefusal::Attempt)
            << u"Fehler des SMS-Centers (04: Operation nicht erlaubt)"_s;
        QTest::newRow("unknown, malformed") << u"99 00 29 5 005 AB"_s << int(UcpRefusal::Attempt)
                                            << u"Fehler des SMS-Centers (99: unbekannter Fehler)"_s;
    }
    void refusal()
    {
        QFETCH(QString, codes);
        QFETCH(int, refusal);
        QFETCH(QString, reason);
        const QStringList list = codes.split(u' ');
        for (const QString &code : list)
            QVERIFY2(int(ucpRefusalOf(code)) == refusal, qPrintable(code));
        if (refusal == int(UcpRefusal::Account))
            QCOMPARE(ucpAccountRefusal(list.first()), reason);
        if (refusal == int(UcpRefusal::Attempt))
            QCOMPARE(ucpFailedAttempt(list.first()), reason);
    }

    // Each operation of a connection takes the number after the one before;
    // after 99 comes 00, then 01 again.
    void trnSteps()
    {
        QStringList seen;
        UcpTrn trn;
        for (int i = 0; i < 201; ++i) {
            seen.append(trn.text());
            QCOMPARE(trn.next().value(), (trn.value() + 1) % 100);
            trn = trn.next();
        }
        QCOMPARE(seen.mid(97, 4), (QStringList{u"98"_s, u"99"_s, u"00"_s, u"01"_s}));
        QCOMPARE(seen.mid(197), (QStringList{u"98"_s, u"99"_s, u"00"_s, u"01"_s}));
        QCOMPARE(seen.first(), u"01"_s);
        QCOMPARE(trn, UcpTrn().next());
    }
};

QTEST_APPLESS_MAIN(TestUcp)
#include "tst_ucp.moc"
