#include "ucpsession.h"
#include "ucptestframes.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

using UcpTestFrames::checksumOf;
using UcpTestFrames::sealed;

UcpTrn trnAfter(int steps)
{
    UcpTrn trn;
    for (int i = 0; i < steps; ++i)
        trn = trn.next();
    return trn;
}

// "Kind TRN OT EC|SM"
QString describe(const UcpMessage &message)
{
    static const QString kinds[] = {u"Invalid"_s, u"Operation"_s, u"Ack"_s, u"Nack"_s};
    return kinds[int(message.kind)] + u' ' + message.trn + u' ' + message.ot + u' ' +
           message.errorCode + u'|' + message.systemMessage;
}

// Operations a centre sends on its own, made by hand.
// 31 alert, AdC 0791234567, PID 0539: 32 characters, sum 1542 = 0x606.
const QByteArray alert31 = "07/00032/O/31/0791234567/0539/06";
// 53 delivery notification of a message to 0791234567 from 12345 (SCTS,
// Dst 0, Rsn 000, DSCTS, MT 3, AMsg "zugestellt"; the other 25 of the 33
// fields empty): 113 characters, sum 5629 = 0x15FD.
const QByteArray notification53 = "00/00113/O/53/0791234567/12345/////////////090196103258/0/000/"
                                  "090196103510/3//7A7567657374656C6C74/////////////FD";

} // namespace

class TestUcpSession : public QObject
{
    Q_OBJECT

private slots:
    void loginFrame_data()
    {
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("trnSteps"); // from 01
        QTest::addColumn<QString>("expected");
        // LEN 35 + 5 + 12 = 52. Sum: "01/00052/O/60/" 713, "12345" 255,
        // "/6/5/1/" 344, "736563726574" 637, "//0100//////" 569; together
        // 2518 = 0x9D6, checksum D6.
        QTest::newRow("12345 secret") << u"12345"_s << u"secret"_s << 0
                                      << u"01/00052/O/60/12345/6/5/1/736563726574//0100//////D6"_s;
        // The account keeps its digits; the "/" of the password is hex 2F and
        // cannot split a field. LEN 35 + 10 + 6 = 51, sum 2481 = 0x9B1.
        QTest::newRow("blanks and slash, TRN 42")
            << u"079 123/45 67"_s << u"a/b"_s << 41
            << u"42/00051/O/60/0791234567/6/5/1/612F62//0100//////B1"_s;
        // Only the fixed characters: LEN 35, sum 1626 = 0x65A.
        QTest::newRow("empty, TRN 00")
            << QString() << QString() << 99 << u"00/00035/O/60//6/5/1///0100//////5A"_s;
    }
    void loginFrame()
    {
        QFETCH(QString, account);
        QFETCH(QString, password);
        QFETCH(int, trnSteps);
        QFETCH(QString, expected);
        const QString frame = ucpLoginFrame(account, password, trnAfter(trnSteps));
        QCOMPARE(frame, expected);
        // TRN LEN O 60 and the twelve fields of operation 60, then the checksum.
        QCOMPARE(frame.split(u'/').size(), 17);
        QCOMPARE(frame.mid(3, 5).toInt(), frame.size());
        QCOMPARE(frame.right(2).toLatin1(), checksumOf(frame.chopped(2).toLatin1()));
        const UcpMessage read = parseUcpMessage(frame.toLatin1());
        QCOMPARE(describe(read), u"Operation "_s + frame.left(2) + u" 60 |"_s);
    }

    // What a login can carry: printable ASCII, each character as two hex
    // digits; the first other character is named.
    void passwordField_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("unsendable");
        QTest::newRow("printable ASCII") << u" ~Az09[\\]{|}"_s << QString();
        QTest::newRow("ß and €") << u"Straße€1"_s << u"ß"_s;
        QTest::newRow("Ä first") << u"Äpfel"_s << u"Ä"_s;
        QTest::newRow("tab") << u"a\tb"_s << u"\t"_s;
        QTest::newRow("DEL") << u"a\x7F"_s << u"\x7F"_s;
        QTest::newRow("emoji") << u"ab😀"_s << u"😀"_s;
        QTest::newRow("lone surrogate") << QString(QChar(0xD83D)) << QString(QChar(0xD83D));
    }
    void passwordField()
    {
        QFETCH(QString, password);
        QFETCH(QString, unsendable);
        QCOMPARE(ucpUnsendablePasswordCharacter(password), unsendable);
        if (unsendable.isEmpty())
            QCOMPARE(ucpPasswordField(password).toLatin1(), password.toLatin1().toHex().toUpper());
    }

    // 101 submissions on one connection: TRN 01 to 99, 00, then 01 again;
    // apart from the TRN and the checksum, each frame is the one of the
    // existing encoder.
    void trnSequence()
    {
        const QString number = u"0791234567"_s;
        const QString nachricht = u"Grüße"_s;
        const QString callBack = u"0311234567"_s;
        const QString single = SMSSendString(number, nachricht, callBack);
        QStringList trns;
        UcpTrn trn;
        for (int i = 0; i < 101; ++i) {
            const QString frame = SMSSendString(number, nachricht, callBack, trn);
            QCOMPARE(frame.left(2), trn.text());
            QCOMPARE(trn.value(), frame.left(2).toInt());
            QCOMPARE(frame.mid(2).chopped(2), single.mid(2).chopped(2));
            QCOMPARE(frame.right(2).toLatin1(), checksumOf(frame.chopped(2).toLatin1()));
            trns.append(trn.text());
            trn = trn.next();
        }
        QCOMPARE(trns.mid(0, 3), (QStringList{u"01"_s, u"02"_s, u"03"_s}));
        QCOMPARE(trns.mid(97), (QStringList{u"98"_s, u"99"_s, u"00"_s, u"01"_s}));
        QCOMPARE(trns.removeDuplicates(), 1);
        // The first and the 101st frame are the encoder's frame byte for byte.
        QCOMPARE(SMSSendString(number, nachricht, callBack, trnAfter(100)), single);
        QCOMPARE(trnAfter(100), UcpTrn());
    }

    void message_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("60 ack") << QByteArray("00/00019/R/60/A//6D") << u"Ack 00 60 |"_s;
        QTest::newRow("60 nack 07 with SM, wrapped")
            << QByteArray("\x05\x02"
                          "01/00039/R/60/N/07/Falsches Passwort/BF\x03\x02")
            << u"Nack 01 60 07|Falsches Passwort"_s;
        QTest::newRow("01 ack with SM") << QByteArray("06/00043/R/01/A/01234567890:090196103258/4E")
                                        << u"Ack 06 01 |01234567890:090196103258"_s;
        QTest::newRow("01 ack, A/MVP/SM")
            << sealed("37", "R/01/A/0101011200/hallo/") << u"Ack 37 01 |hallo"_s;
        QTest::newRow("31 alert") << alert31 << u"Operation 07 31 |"_s;
        QTest::newRow("53 notification, lower-case checksum")
            << notification53.chopped(2) + "fd" << u"Operation 00 53 |"_s;

        const auto invalid = [](const char *name, const QByteArray &bytes) {
            QTest::newRow(name) << bytes << u"Invalid   |"_s;
        };
        invalid("operation, wrong checksum", alert31.chopped(1) + '7');
        invalid("operation, LEN one too high", sealed("07", "O/31/0791234567/0539/", 1));
        invalid("O/R neither O nor R", sealed("07", "X/31/0791234567/0539/"));
        invalid("OT one digit", sealed("07", "O/3/0791234567/0539/"));
        invalid("TRN three digits", sealed("007", "R/60/A//"));
        invalid("nack without EC", sealed("01", "R/60/N//"));
        invalid("nack with EC 7", sealed("01", "R/60/N/7//"));
        invalid("ack with three fields", sealed("01", "R/53/A/1/2/3/"));
        invalid("neither A nor N", sealed("01", "R/60/a//"));
        invalid("header only", sealed("01", "R/"));
        invalid("line break inside", sealed("01", "R/60/A/x\ny/"));
        invalid("STX without ETX", "\x02" + alert31);
        invalid("empty", QByteArray());
    }
    void message()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QCOMPARE(describe(parseUcpMessage(bytes)), expected);
    }

    void positiveResult_data()
    {
        QTest::addColumn<QByteArray>("operation");
        QTest::addColumn<QString>("expected");
        // ACK/SM: 19 characters, sum 882 = 0x372.
        QTest::newRow("31 alert") << alert31 << u"07/00019/R/31/A//72"_s;
        // ACK/MVP/SM: 20 characters, sum 918 = 0x396.
        QTest::newRow("53 notification") << notification53 << u"00/00020/R/53/A///96"_s;
        // 52 delivers a message: 20 characters, sum 935 = 0x3A7.
        QTest::newRow("52 delivery, TRN 99")
            << sealed("99", "O/52/0791234567/12345/") << u"99/00020/R/52/A///A7"_s;
        // A result is never answered, nor is a broken frame.
        QTest::newRow("a result") << QByteArray("00/00019/R/60/A//6D") << QString();
        QTest::newRow("broken") << alert31.chopped(1) + '7' << QString();
    }
    void positiveResult()
    {
        QFETCH(QByteArray, operation);
        QFETCH(QString, expected);
        const UcpMessage asked = parseUcpMessage(operation);
        const QString result = ucpPositiveResult(asked);
        QCOMPARE(result, expected);
        if (result.isEmpty())
            return;
        QCOMPARE(result.mid(3, 5).toInt(), result.size());
        QCOMPARE(result.right(2).toLatin1(), checksumOf(result.chopped(2).toLatin1()));
        // Read back, it is the positive result of the same TRN and operation.
        QCOMPARE(describe(parseUcpMessage(ucpFrameBytes(result))),
                 u"Ack "_s + asked.trn + u' ' + asked.ot + u" |"_s);
    }
};

QTEST_APPLESS_MAIN(TestUcpSession)
#include "tst_ucpsession.moc"
