#include "gsmpdu.h"
#include "ucpmessaging.h"
#include "ucpsession.h"
#include "ucptestframes.h"

#include <QtTest>

using namespace Qt::StringLiterals;

// The frames below are written out field by field from the EMI 4.x layout;
// each comment gives LEN and the byte sum from TRN through the last "/"
// before the checksum (its low byte is the checksum), worked out apart from
// the code under test.

namespace {

UcpTrn trnAt(int value)
{
    UcpTrn trn;
    while (trn.value() != value)
        trn = trn.next();
    return trn;
}

QString timeText(const QDateTime &time)
{
    return time.isValid() ? time.toString(u"yyyy-MM-dd hh:mm:ss"_s) : u"-"_s;
}

// "TRN originator>recipient submitted Dst Rsn(meaning) statusTime|text"
QString describe(const UcpNotification &n)
{
    if (!n.valid)
        return u"Invalid"_s;
    return u"%1 %2>%3 %4 %5 %6(%7) %8|%9"_s
        .arg(n.trn, n.originator, n.recipient, timeText(n.submitted))
        .arg(int(n.status))
        .arg(n.reason, ucpReasonText(n.reason), timeText(n.statusTime), n.text);
}

// "TRN sender>recipient received|text|reference/total/sequence"
QString describe(const UcpIncomingMessage &m)
{
    if (!m.valid)
        return u"Invalid"_s;
    const QString part =
        m.part ? u"%1/%2/%3"_s.arg(m.part->reference).arg(m.part->total).arg(m.part->sequence)
               : u"-"_s;
    return u"%1 %2>%3 %4|%5|%6"_s.arg(m.trn, m.sender, m.recipient, timeText(m.received), m.text,
                                      part);
}

QString describe(const UcpSubmitResult &r)
{
    static const QString kinds[] = {u"Invalid"_s, u"Accepted"_s, u"Refused"_s};
    QString text = kinds[int(r.kind)] + u' ' + r.trn;
    if (r.kind == UcpSubmitResult::Kind::Accepted)
        text += u' ' + r.recipient + u' ' + timeText(r.scts);
    if (r.kind == UcpSubmitResult::Kind::Refused)
        text += u' ' + r.errorCode + u' ' + QString::number(int(r.refusal));
    return text + u'|' + r.systemMessage;
}

QString describe(const UcpReply &r)
{
    static const QString kinds[] = {u"Invalid"_s, u"Ack"_s, u"Nack"_s};
    return kinds[int(r.kind)] + u' ' + r.trn + u' ' + r.errorCode;
}

QString describe(const UcpIncomingFrame &f)
{
    static const QString kinds[] = {u"Invalid"_s, u"Result"_s, u"IncomingMessage"_s,
                                    u"DeliveryNotification"_s, u"OtherOperation"_s};
    return kinds[int(f.kind)] + u' ' + f.trn + u' ' + f.ot;
}

// Frames of the centre used by several tables.
// LEN 118, sum 0x16F6.
const QByteArray delivered = "07/00118/O/53/0311234567/0791234567/////////////071226143015/0/000/"
                             "071226143120/3//5A7567657374656C6C74/////////////F6";
// LEN 102, sum 0x13AC: "ć😀" in UCS-2.
const QByteArray ucs2Message = "13/00102/O/52/0311234567/0797654321/////////////071226150100////4/"
                               "48/0107D83DDE00//////////020108///AC";

} // namespace

class TestUcpMessaging : public QObject
{
    Q_OBJECT

private slots:
    void submit_data()
    {
        QTest::addColumn<QString>("sender");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("report");
        QTest::addColumn<int>("trn");
        QTest::addColumn<QStringList>("frames");
        QTest::addColumn<int>("problem");
        const QString account = u"031 123 45 67"_s;
        const int none = int(UcpSubmitProblem::None);
        // LEN 76, sum 0xE55.
        QTest::newRow("short 7-bit text, MT 3")
            << account << u"abc"_s << false << 1
            << QStringList{u"01/00076/O/51/0791234567/0311234567/////////////////3//616263/////////////55"_s}
            << none;
        // LEN 102, sum 0x13CB: "€" is escape 1B and 65, "ü" 7E, "ö" 7C.
        QTest::newRow("euro and umlauts in AMsg, with report")
            << account << u"5 € für Jörg"_s << true << 2
            << QStringList{u"02/00102/O/51/0791234567/0311234567//1//3/0539////////////3//"
                           u"35201B6520667E72204A7C7267/////////////CB"_s}
            << none;
        // LEN 98, sum 0x12F0: five UTF-16 units, the emoji a surrogate pair.
        QTest::newRow("emoji as UCS-2, MT 4")
            << account << u"Hi 😀"_s << false << 3
            << QStringList{u"03/00098/O/51/0791234567/0311234567/////////////////4/80/"
                           u"004800690020D83DDE00//////////020108///F0"_s}
            << none;
        // LEN 86, sum 0x1102: 14 semi-octets, then "Funkbote" packed.
        QTest::newRow("alphanumeric sender")
            << u"Funkbote"_s << u"abc"_s << false << 4
            << QStringList{u"04/00086/O/51/0791234567/0EC6BA7B2D7ED3CB/////////////////3//616263///"
                           u"/////5039/////02"_s}
            << none;
        // LEN 88, sum 0x10F3: the example of the EMI interface description,
        // "@" is the septet 00.
        QTest::newRow("alphanumeric sender with @")
            << u"ALPHA@NUM"_s << u"abc"_s << false << 4
            << QStringList{u"04/00088/O/51/0791234567/10412614190438AB4D/////////////////3//"
                           u"616263////////5039/////F3"_s}
            << none;
        // 200 "A": 153 and 47 septets, eight "A" pack into C16030180C0683.
        // LEN 364, sum 0x49F6; LEN 179, sum 0x2380.
        QTest::newRow("two parts, one reference")
            << account << QString(200, u'A') << false << 5
            << QStringList{u"05/00364/O/51/0791234567/0311234567/////////////////4/1071/"_s +
                               u"C16030180C0683"_s.repeated(19) +
                               u"41//////////01060500032A0201020100///F6"_s,
                           u"06/00179/O/51/0791234567/0311234567/////////////////4/329/"_s +
                               u"C16030180C0683"_s.repeated(5) +
                               u"C16030180C0601//////////01060500032A0202020100///80"_s}
            << none;
        QTest::newRow("sender of 12 letters")
            << u"Funkbote AG1"_s << u"abc"_s << false << 1 << QStringList()
            << int(UcpSubmitProblem::SenderTooLong);
        QTest::newRow("sender outside the GSM alphabet")
            << u"Ćevapi"_s << u"abc"_s << false << 1 << QStringList()
            << int(UcpSubmitProblem::SenderNotGsm);
        QTest::newRow("256 parts") << account << QString(153 * 256, u'a') << false << 1
                                   << QStringList() << int(UcpSubmitProblem::TooManyParts);
    }
    void submit()
    {
        QFETCH(QString, sender);
        QFETCH(QString, text);
        QFETCH(bool, report);
        QFETCH(int, trn);
        QFETCH(QStringList, frames);
        QFETCH(int, problem);
        const UcpSubmission submission{u"079 123 45 67"_s, sender, text, report, 0x2A};
        const UcpSubmitFrames result = ucpSubmitFrames(submission, trnAt(trn));
        QCOMPARE(int(result.problem), problem);
        QCOMPARE(result.frames, frames);
    }

    void noRecipient()
    {
        const UcpSubmitFrames result = ucpSubmitFrames({u" - "_s, {}, u"abc"_s, false, 0}, {});
        QCOMPARE(int(result.problem), int(UcpSubmitProblem::NoRecipient));
        QVERIFY(result.frames.isEmpty());
    }

    // Parts are cut where the GSM modem cuts them, never between an escape
    // and its character nor inside a surrogate pair.
    void cutting_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("parts");
        QTest::addColumn<QString>("firstNb");
        QTest::newRow("160 septets, MT 3") << QString(160, u'a') << 1 << QString();
        QTest::newRow("161 septets") << QString(161, u'a') << 2 << u"1071"_s;
        QTest::newRow("escape kept with its €")
            << QString(152, u'a') + u"€"_s + QString(10, u'a') << 2 << u"1064"_s;
        QTest::newRow("70 UCS-2 units") << QString(70, u'ć') << 1 << u"1120"_s;
        QTest::newRow("surrogate pair kept whole") << u"😀"_s.repeated(40) << 2 << u"1056"_s;
    }
    void cutting()
    {
        QFETCH(QString, text);
        QFETCH(int, parts);
        QFETCH(QString, firstNb);
        const UcpSubmitFrames result = ucpSubmitFrames({u"0791234567"_s, {}, text, false, 7}, {});
        QCOMPARE(result.frames.size(), parts);
        QCOMPARE(Gsm::planMessage(text).parts, parts);
        // NB is the 24th field: TRN, LEN, O, OT and 19 fields before it.
        QCOMPARE(result.frames.first().split(u'/').at(23), firstNb);
    }

    void submitResult_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        // LEN 43, sum 0x842.
        QTest::newRow("accepted with AdC:SCTS")
            << QByteArray("\x02"
                          "21/00043/R/51/A//0791234567:071226143015/42\x03")
            << u"Accepted 21 0791234567 2026-12-07 14:30:15|0791234567:071226143015"_s;
        // LEN 29, sum 0x709.
        QTest::newRow("accepted without time stamp")
            << QByteArray("24/00029/R/51/A//ohne Zeit/09") << u"Accepted 24  -|ohne Zeit"_s;
        // LEN 22, sum 0x40D; LEN 28, sum 0x684.
        QTest::newRow("refused: message too long")
            << QByteArray("22/00022/R/51/N/24//0D")
            << u"Refused 22 24 %1|"_s.arg(int(UcpRefusal::Message));
        QTest::newRow("refused: account barred")
            << QByteArray("23/00028/R/51/N/05/Sperre/84")
            << u"Refused 23 05 %1|Sperre"_s.arg(int(UcpRefusal::Account));
        QTest::newRow("result of operation 01")
            << QByteArray("01/00019/R/01/A//69") << u"Invalid |"_s;
        QTest::newRow("wrong checksum") << QByteArray("22/00022/R/51/N/24//0E") << u"Invalid |"_s;
    }
    void submitResult()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QCOMPARE(describe(parseUcpSubmitResult(bytes)), expected);
    }

    void notification_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("delivered")
            << delivered
            << u"07 0311234567>0791234567 2026-12-07 14:30:15 0 000(Teilnehmer unbekannt) "
               u"2026-12-07 14:31:20|Zugestellt"_s;
        // LEN 116, sum 0x1662.
        QTest::newRow("buffered, absent subscriber")
            << QByteArray("08/00116/O/53/0311234567/0791234567/////////////071226143015/1/107/"
                          "071226150000/3//476570756666657274/////////////62")
            << u"08 0311234567>0791234567 2026-12-07 14:30:15 1 107(Empfänger nicht erreichbar) "
               u"2026-12-07 15:00:00|Gepuffert"_s;
        // LEN 88, sum 0x10E2: no DSCTS, a text that is not hex.
        QTest::newRow("not delivered, other reason, unreadable text")
            << QByteArray("09/00088/O/53/0311234567/0791234567/////////////071226143015/2/999//"
                          "3//4G/////////////E2")
            << u"09 0311234567>0791234567 2026-12-07 14:30:15 2 999(anderer Grund (999)) -|"_s;
        // LEN 86, sum 0x1043.
        QTest::newRow("Dst 3") << QByteArray("10/00086/O/53/0311234567/0791234567/////////////"
                                             "071226143015/3/000//3///////////////43")
                               << u"Invalid"_s;
        // LEN 74, sum 0xDDE.
        QTest::newRow("no SCTS") << QByteArray("11/00074/O/53/0311234567/0791234567//////////////"
                                               "0/000//3///////////////DE")
                                 << u"Invalid"_s;
        QTest::newRow("wrong checksum")
            << QByteArray(delivered).replace("F6", "F7") << u"Invalid"_s;
        QTest::newRow("operation 52") << ucs2Message << u"Invalid"_s;
    }
    void notification()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QCOMPARE(describe(parseUcpNotification(bytes)), expected);
    }

    void reasonText_data()
    {
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("range 001-008") << u"005"_s << u"Dienst vorübergehend nicht verfügbar"_s;
        QTest::newRow("congestion") << u"113"_s << u"SMS-Center überlastet"_s;
        QTest::newRow("network failure") << u"121"_s << u"Systemfehler im Netz"_s;
        QTest::newRow("not three digits") << u"7"_s << u"anderer Grund (7)"_s;
    }
    void reasonText()
    {
        QFETCH(QString, reason);
        QFETCH(QString, expected);
        QCOMPARE(ucpReasonText(reason), expected);
    }

    void incoming_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        // LEN 104, sum 0x141C: "Grüezi 5 €".
        QTest::newRow("AMsg")
            << QByteArray("CONNECT\x02"
                          "12/00104/O/52/0311234567/0797654321/////////////071226150000////3//"
                          "47727E657A692035201B65/////////////1C\x03\x02"
                          "13/00")
            << u"12 0797654321>0311234567 2026-12-07 15:00:00|Grüezi 5 €|-"_s;
        QTest::newRow("UCS-2") << ucs2Message
                               << u"13 0797654321>0311234567 2026-12-07 15:01:00|ć😀|-"_s;
        // LEN 132, sum 0x1A92: part 2 of 2, reference 7F, "Teil zwei" packed.
        QTest::newRow("7-bit part, alphanumeric sender")
            << QByteArray("14/00132/O/52/0311234567/0EC6BA7B2D7ED3CB/////////////071226150200////"
                          "4/63/D4729A0DD2DFCB69////////5039//01060500037F0202020100///92")
            << u"14 Funkbote>0311234567 2026-12-07 15:02:00|Teil zwei|127/2/2"_s;
        // LEN 116, sum 0x1641: 16-bit reference 1234, part 3 of 3, "ß!".
        QTest::newRow("UCS-2 part, 16-bit reference")
            << QByteArray("15/00116/O/52/0311234567/0797654321/////////////071226150300////4/32/"
                          "00DF0021//////////010706080412340303020108///41")
            << u"15 0797654321>0311234567 2026-12-07 15:03:00|ß!|4660/3/3"_s;
        // LEN 84, sum 0xFF6.
        QTest::newRow("AMsg not hex")
            << QByteArray("16/00084/O/52/0311234567/0797654321/////////////071226150000////3//4G/"
                          "////////////F6")
            << u"Invalid"_s;
        // LEN 98, sum 0x129D.
        QTest::newRow("XSer cut short")
            << QByteArray("17/00098/O/52/0311234567/0797654321/////////////071226150000////4/16/"
                          "0041//////////0106050003///9D")
            << u"Invalid"_s;
        // LEN 96, sum 0x1237.
        QTest::newRow("UCS-2 of odd length")
            << QByteArray("18/00096/O/52/0311234567/0797654321/////////////071226150000////4/24/"
                          "004100//////////020108///37")
            << u"Invalid"_s;
        // LEN 84, sum 0x100B: 20 semi-octets announced, 2 octets there.
        QTest::newRow("alphanumeric sender cut short")
            << QByteArray("19/00084/O/52/0311234567/14C6BA/////////////071226150000////3//61//////"
                          "//5039/////0B")
            << u"Invalid"_s;
        // LEN 84, sum 0xFDF.
        QTest::newRow("MT 5")
            << QByteArray("20/00084/O/52/0311234567/0797654321/////////////071226150000////5//61/"
                          "////////////DF")
            << u"Invalid"_s;
        // LEN 47, sum 0x887.
        QTest::newRow("31 fields")
            << QByteArray("27/00047/O/52////////////////////////////////87") << u"Invalid"_s;
        QTest::newRow("wrong LEN")
            << UcpTestFrames::sealed("13", ucs2Message.sliced(9, ucs2Message.size() - 11), 1)
            << u"Invalid"_s;
        QTest::newRow("operation 53") << delivered << u"Invalid"_s;
    }
    void incoming()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QCOMPARE(describe(parseUcpIncomingMessage(bytes)), expected);
    }

    // Every frame of the centre is sorted, and an operation is answered with
    // its own TRN and operation type.
    void classify_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("result of 51")
            << QByteArray("22/00022/R/51/N/24//0D") << u"Result 22 51"_s << QString() << QString();
        // LEN 20, sum 0x39D; LEN 22, sum 0x40E.
        QTest::newRow("notification") << delivered << u"DeliveryNotification 07 53"_s
                                      << u"07/00020/R/53/A///9D"_s << u"07/00022/R/53/N/02//0E"_s;
        // LEN 20, sum 0x399; LEN 22, sum 0x40A.
        QTest::newRow("incoming message")
            << ucs2Message << u"IncomingMessage 13 52"_s << u"13/00020/R/52/A///99"_s
            << u"13/00022/R/52/N/02//0A"_s;
        // LEN 32, sum 0x5FA; LEN 19, sum 0x372; LEN 22, sum 0x40A.
        QTest::newRow("alert") << QByteArray("25/00032/O/31/0311234567/0539/FA")
                               << u"OtherOperation 25 31"_s << u"25/00019/R/31/A//72"_s
                               << u"25/00022/R/31/N/02//0A"_s;
        QTest::newRow("broken") << QByteArray("25/00032/O/31/0311234567/0539/FB") << u"Invalid  "_s
                                << QString() << QString();
    }
    void classify()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QFETCH(QString, answer);
        QFETCH(QString, refusal);
        const UcpIncomingFrame frame = classifyUcpFrame(bytes);
        QCOMPARE(describe(frame), expected);
        QCOMPARE(ucpOperationAnswer(frame), answer);
        QCOMPARE(ucpOperationRefusal(frame, u"02"), refusal);
    }

    void alertResult_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ack") << QByteArray("25/00019/R/31/A//72") << u"Ack 25 "_s;
        // LEN 22, sum 0x410.
        QTest::newRow("nack 07") << QByteArray("26/00022/R/31/N/07//10") << u"Nack 26 07"_s;
        QTest::newRow("result of 01") << QByteArray("01/00019/R/01/A//69") << u"Invalid  "_s;
        QTest::newRow("the alert itself")
            << QByteArray("25/00032/O/31/0311234567/0539/FA") << u"Invalid  "_s;
    }
    void alertResult()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QCOMPARE(describe(parseUcpAlertResult(bytes)), expected);
    }

    // The alert the program sends, as the centre reads and answers it.
    void alertRoundTrip()
    {
        const QString alert = ucpAlertFrame(u"031/123 45 67"_s, trnAt(25));
        QCOMPARE(alert, u"25/00032/O/31/0311234567/0539/FA"_s);
        const UcpIncomingFrame seen = classifyUcpFrame(ucpFrameBytes(alert));
        QCOMPARE(describe(seen), u"OtherOperation 25 31"_s);
        QCOMPARE(describe(parseUcpAlertResult(ucpOperationAnswer(seen).toLatin1())), u"Ack 25 "_s);
    }
};

QTEST_GUILESS_MAIN(TestUcpMessaging)
#include "tst_ucpmessaging.moc"
