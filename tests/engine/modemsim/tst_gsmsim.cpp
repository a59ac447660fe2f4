// The simulator's GSM modem as the sending engine meets it: a separate
// process behind a pseudo-terminal, reached through its COMn link with
// QSerialPort, spoken to with AT commands and PDUs made by hand.

#include "gsmpdu.h"
#include "partcollector.h"
#include "simprocess.h"

#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A GSM modem simulator on COM4 in a folder of its own, and the program's
// end of the line.
struct Rig
{
    bool start(const QStringList &arguments)
    {
        QObject::connect(&port, &QSerialPort::readyRead, &port,
                         [this] { received += port.readAll(); });
        port.setPortName(dir.filePath(u"COM4"_s));
        return sim.start(dir.path(), 4,
                         QStringList{u"--gsm"_s, u"--reply-delay"_s, u"5"_s} + arguments) &&
               port.open(QIODevice::ReadWrite);
    }
    // Writes and forgets what the modem sent so far.
    void write(const QByteArray &bytes)
    {
        received.clear();
        port.write(bytes);
    }

    QTemporaryDir dir;
    SimProcess sim;
    QSerialPort port;
    QByteArray received;
};

QByteArray line(const QByteArray &text)
{
    return "\r\n" + text + "\r\n";
}

const QByteArray ok = line("OK");

// The lines of an answer as the program's reader sees them: trimmed, blank
// ones skipped.
QByteArrayList textLines(const QByteArray &received)
{
    QByteArrayList lines;
    for (const QByteArray &line : received.split('\n')) {
        if (!line.trimmed().isEmpty())
            lines.append(line.trimmed());
    }
    return lines;
}

QByteArray accepted(int reference)
{
    return line("+CMGS: " + QByteArray::number(reference)) + ok;
}

// "hellohello" to +41 79 123 45 67 with the SIM's centre, the packing example
// of the 7-bit alphabet's standard: 22 octets after the centre's 00.
const QByteArray hello = "0001000B911497214365F700000AE8329BFD4697D9EC37";
const QString helloSms = u"to=+41791234567 centre= enc=7bit part=1/1 ref=- text=hellohello"_s;
const QString helloMessage = u"to=+41791234567 enc=7bit parts=1 text=hellohello"_s;

// Three parts "ab", "cd", "e" with reference 2A; after the six header octets
// one fill bit, so the first septet starts at bit 1 of octet 7.
const QByteArray headed = "0041000B911497214365F70000";
const QByteArray partAb = headed + "09"
                                   "0500032A0301"
                                   "C262";
const QByteArray partCd = headed + "09"
                                   "0500032A0302"
                                   "C664";
const QByteArray partE = headed + "08"
                                  "0500032A0303"
                                  "CA";
QString part(int number, const char *text)
{
    return u"to=+41791234567 centre= enc=7bit part=%1/3 ref=42 text=%2"_s.arg(number).arg(
        QLatin1StringView(text));
}
const QString abcde = u"to=+41791234567 enc=7bit parts=3 text=abcde"_s;

} // namespace

class TstGsmsim : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each row is a dialogue: command lines and the modem's exact answers.
    void dialogue_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArrayList>("commands");
        QTest::addColumn<QByteArrayList>("answers");
        QTest::addColumn<QStringList>("pinReports");

        QTest::newRow("PIN asked, a wrong one, the right one")
            << QStringList{u"--pin"_s, u"1234"_s}
            << QByteArrayList{"ATE0\r",
                              "AT+CMEE=1\r",
                              "AT+CPIN?\r",
                              "AT+CMGS=22\r",
                              "AT+CSCA?\r",
                              "AT+CPIN=\"4321\"\r",
                              "AT+CPIN=\"1234\"\r",
                              "AT+CPIN?\r",
                              "AT+CPIN=\"1234\"\r",
                              "AT+CMGF=0\r",
                              "AT+CSCA?\r"}
            << QByteArrayList{"ATE0\r" + ok,
                              ok,
                              line("+CPIN: SIM PIN") + ok,
                              line("+CMS ERROR: 311"),
                              line("+CMS ERROR: 311"),
                              line("+CME ERROR: 16"),
                              ok,
                              line("+CPIN: READY") + ok,
                              line("+CME ERROR: 3"),
                              ok,
                              line("+CSCA: \"+41794999000\",145") + ok}
            << QStringList{u"wrong 1"_s, u"ok"_s};
        QTest::newRow("three wrong PINs block the SIM, verbose errors, echo on")
            << QStringList{u"--pin"_s, u"1234"_s}
            << QByteArrayList{"AT+CMEE=2\r",    "AT+CPIN=1111\r", "AT+CPIN=\"2222\"\r",
                              "at+cpin=3333\r", "AT+CPIN?\r",     "AT+CPIN=\"1234\"\r"}
            << QByteArrayList{"AT+CMEE=2\r" + ok,
                              "AT+CPIN=1111\r" + line("+CME ERROR: incorrect password"),
                              "AT+CPIN=\"2222\"\r" + line("+CME ERROR: incorrect password"),
                              "at+cpin=3333\r" + line("+CME ERROR: incorrect password"),
                              "AT+CPIN?\r" + line("+CPIN: SIM PUK") + ok,
                              "AT+CPIN=\"1234\"\r" + line("+CME ERROR: SIM PUK required")}
            << QStringList{u"wrong 1"_s, u"wrong 2"_s, u"wrong 3"_s, u"blocked"_s};
        QTest::newRow("plain ERROR without AT+CMEE, centre set, text mode refused")
            << QStringList{u"--csca"_s, u"0794999000"_s}
            << QByteArrayList{"ATE0\r",
                              "AT+CPIN?\r",
                              "AT+CPIN=\"1234\"\r",
                              "AT+CSCA?\r",
                              "AT+CSCA=\"+41790000000\",145\r",
                              "AT+CSCA?\r",
                              "AT+CMGF=1\r",
                              "AT+XYZ\r",
                              "AT+CMGS=0\r",
                              "ATE1\r"}
            << QByteArrayList{"ATE0\r" + ok,
                              line("+CPIN: READY") + ok,
                              line("ERROR"),
                              line("+CSCA: \"0794999000\",129") + ok,
                              ok,
                              line("+CSCA: \"+41790000000\",145") + ok,
                              line("+CMS ERROR: 303"),
                              line("ERROR"),
                              line("+CMS ERROR: 304"),
                              ok}
            << QStringList();
        QTest::newRow("unsolicited lines before every answer, ESC cancels, then is passed over")
            << QStringList{u"--urc"_s, u"RING"_s, u"--urc"_s, u"+CMTI: \"SM\",1"_s}
            << QByteArrayList{"ATE0\r", "AT+CMGS=22\r", "0001\x1B",
                              "\x1B"
                              "AT\r"}
            << QByteArrayList{"ATE0\r" + line("RING") + line("+CMTI: \"SM\",1") + ok,
                              line("RING") + line("+CMTI: \"SM\",1") + "\r\n> ",
                              line("RING") + line("+CMTI: \"SM\",1") + ok,
                              line("RING") + line("+CMTI: \"SM\",1") + ok}
            << QStringList();
        QTest::newRow("receiving: indications as offered, storage, nothing stored")
            << QStringList{u"--cnmi"_s, u"(1,2),(0,1),(0),(0,2),(0)"_s}
            << QByteArrayList{"ATE0\r",
                              "AT+CNMI=?\r",
                              "AT+CNMI=2,1,0,1\r",
                              "AT+CNMI=2,1,0,2,0\r",
                              "AT+CPMS=?\r",
                              "AT+CPMS=\"SM\",\"SM\",\"SM\"\r",
                              "AT+CMGR=1\r",
                              "AT+CMGL=4\r",
                              "AT+CNMA\r",
                              "AT+CMGD=3\r"}
            << QByteArrayList{"ATE0\r" + ok,
                              line("+CNMI: (1,2),(0,1),(0),(0,2),(0)") + ok,
                              line("ERROR"),
                              ok,
                              line(R"(+CPMS: ("SM","ME"),("SM","ME"),("SM","ME"))") + ok,
                              line("+CPMS: 0,30,0,30,0,30") + ok,
                              line("+CMS ERROR: 321"),
                              ok,
                              line("+CMS ERROR: 340"),
                              ok}
            << QStringList();
        QTest::newRow("no indications offered")
            << QStringList{u"--cnmi"_s, u"error"_s}
            << QByteArrayList{"ATE0\r", "AT+CNMI=?\r", "AT+CNMI=2,1,0,1,0\r"}
            << QByteArrayList{"ATE0\r" + ok, line("ERROR"), line("ERROR")} << QStringList();
    }
    void dialogue()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArrayList, commands);
        QFETCH(QByteArrayList, answers);
        QFETCH(QStringList, pinReports);
        QCOMPARE(commands.size(), answers.size());
        Rig rig;
        QVERIFY(rig.start(arguments));
        for (qsizetype i = 0; i < commands.size(); ++i) {
            rig.write(commands.at(i));
            QTRY_COMPARE(rig.received, answers.at(i));
        }
        QCOMPARE(rig.sim.values(u"PIN"_s), pinReports);
        QCOMPARE(rig.sim.count(u"SMS"_s), 0);
        QCOMPARE(rig.sim.count(u"CANCEL"_s), commands.contains("0001\x1B") ? 1 : 0);
    }

    // PDUs after AT+CMGS=<length>, each answered as the script says; "!"
    // in front of a length falsifies it by one. The modem decodes every
    // PDU it takes and joins the parts of a message the network accepted.
    void pdus_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QByteArrayList>("pdus");
        QTest::addColumn<QList<int>>("lengths");
        QTest::addColumn<QByteArrayList>("answers");
        QTest::addColumn<QStringList>("sms");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("invalid");

        QTest::newRow("7-bit") << u"ok"_s << QByteArrayList{hello} << QList<int>{22}
                               << QByteArrayList{accepted(1)} << QStringList{helloSms}
                               << QStringList{helloMessage} << QStringList();
        // "Grüße aus Zürich – 5 € 😀" in UTF-16BE to 079 123 45 67 through
        // the centre +41 79 499 90 00.
        QTest::newRow("UCS-2 with a centre, national number")
            << u"ok"_s
            << QByteArrayList{"07911497949900F0"
                              "01000A817019325476000832"
                              "0047007200FC00DF0065002000610075007300200"
                              "05A00FC00720069006300680020201300200035"
                              "002020AC0020D83DDE00"}
            << QList<int>{62} << QByteArrayList{accepted(1)}
            << QStringList{u"to=0791234567 centre=+41794999000 enc=ucs2 part=1/1 ref=- "
                           u"text=Grüße aus Zürich – 5 € \U0001F600"_s}
            << QStringList{u"to=0791234567 enc=ucs2 parts=1 "
                           u"text=Grüße aus Zürich – 5 € \U0001F600"_s}
            << QStringList();
        // "[€]": three escapes, 6 septets in 6 octets.
        QTest::newRow("7-bit extension characters, relative validity period")
            << u"ok"_s << QByteArrayList{"0011000A8170193254760000AA061BDEA6BCF101"}
            << QList<int>{19} << QByteArrayList{accepted(1)}
            << QStringList{u"to=0791234567 centre= enc=7bit part=1/1 ref=- text=[€]"_s}
            << QStringList{u"to=0791234567 enc=7bit parts=1 text=[€]"_s} << QStringList();
        QTest::newRow("three parts in the order 2, 3, 1")
            << u"ok"_s << QByteArrayList{partCd, partE, partAb} << QList<int>{21, 20, 21}
            << QByteArrayList{accepted(1), accepted(2), accepted(3)}
            << QStringList{part(2, "cd"), part(3, "e"), part(1, "ab")} << QStringList{abcde}
            << QStringList();
        QTest::newRow("a part refused and sent again")
            << u"ok,cms:332,ok"_s << QByteArrayList{partAb, partCd, partCd, partE}
            << QList<int>{21, 21, 21, 20}
            << QByteArrayList{accepted(1), line("+CMS ERROR: 332"), accepted(2), accepted(3)}
            << QStringList{part(1, "ab"), part(2, "cd"), part(2, "cd"), part(3, "e")}
            << QStringList{abcde} << QStringList();
        QTest::newRow("16-bit reference, UCS-2, one part of two")
            << u"ok"_s
            << QByteArrayList{"0041000A81701932547600080B060804123402010048006"
                              "9"}
            << QList<int>{23} << QByteArrayList{accepted(1)}
            << QStringList{u"to=0791234567 centre= enc=ucs2 part=1/2 ref=4660 text=Hi"_s}
            << QStringList() << QStringList();
        QTest::newRow("scripted errors")
            << u"cms:1,error"_s << QByteArrayList{hello, hello} << QList<int>{22, 22}
            << QByteArrayList{line("+CMS ERROR: 1"), line("ERROR")}
            << QStringList{helloSms, helloSms} << QStringList() << QStringList();
        QTest::newRow("wrong length")
            << u"ok"_s << QByteArrayList{hello} << QList<int>{21}
            << QByteArrayList{line("+CMS ERROR: 304")} << QStringList() << QStringList()
            << QStringList{u"AT+CMGS=21 but the TPDU has 22 octets"_s};
        QTest::newRow("user data length one too high")
            << u"ok"_s << QByteArrayList{"0001000B911497214365F700000BE8329BFD4697D9EC37"}
            << QList<int>{22} << QByteArrayList{line("+CMS ERROR: 304")} << QStringList()
            << QStringList()
            << QStringList{u"user data length 11 needs 10 octets, the PDU has 9"_s};
        QTest::newRow("not hex") << u"ok"_s << QByteArrayList{"0001000B9"} << QList<int>{4}
                                 << QByteArrayList{line("+CMS ERROR: 304")} << QStringList()
                                 << QStringList()
                                 << QStringList{u"not an even number of hex digits"_s};
        QTest::newRow("an SMS-DELIVER")
            << u"ok"_s << QByteArrayList{"0000000B911497214365F700000AE8329BFD4697D9EC37"}
            << QList<int>{22} << QByteArrayList{line("+CMS ERROR: 304")} << QStringList()
            << QStringList() << QStringList{u"not an SMS-SUBMIT (first octet 0)"_s};
        QTest::newRow("address with a letter")
            << u"ok"_s << QByteArrayList{"0001000A817019325A76000000"} << QList<int>{12}
            << QByteArrayList{line("+CMS ERROR: 304")} << QStringList() << QStringList()
            << QStringList{u"address holds the semi-octet A"_s};
    }
    void pdus()
    {
        QFETCH(QString, script);
        QFETCH(QByteArrayList, pdus);
        QFETCH(QList<int>, lengths);
        QFETCH(QByteArrayList, answers);
        QFETCH(QStringList, sms);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, invalid);
        Rig rig;
        QVERIFY(rig.start({u"--cmgs"_s, script}));
        rig.write("ATE0\r");
        QTRY_COMPARE(rig.received, "ATE0\r" + ok);
        for (qsizetype i = 0; i < pdus.size(); ++i) {
            rig.write("AT+CMGS=" + QByteArray::number(lengths.at(i)) + '\r');
            QTRY_COMPARE(rig.received, "\r\n> ");
            rig.write(pdus.at(i) + '\x1A');
            QTRY_COMPARE(rig.received, answers.at(i));
        }
        QCOMPARE(rig.sim.values(u"PDU"_s).size(), pdus.size());
        QCOMPARE(rig.sim.values(u"SMS"_s), sms);
        QCOMPARE(rig.sim.values(u"MESSAGE"_s), messages);
        QCOMPARE(rig.sim.values(u"INVALID"_s), invalid);
    }

    // The program's encoder judged by the simulator's own decoder: what the
    // user typed arrives whole, in the encoding and the parts planned.
    void encoderThroughSimulator_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        const QString greetings = u"Grüße aus Zürich – 5 € \U0001F600"_s;
        QTest::newRow("UCS-2 in one part")
            << greetings << u"to=+41791234567 enc=ucs2 parts=1 text="_s + greetings;
        const QString notice =
            u"Die Sitzung vom Montag beginnt um 09:30 Uhr im Saal 3 [Eingang B]. "_s.repeated(6)
                .left(400);
        QTest::newRow("400 characters in three 7-bit parts")
            << notice << u"to=+41791234567 enc=7bit parts=3 text="_s + notice;
    }
    void encoderThroughSimulator()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        const Gsm::SubmitPdus pdus = Gsm::buildSubmitPdus(u"+41 79 123 45 67"_s, text, {}, 200);
        QCOMPARE(pdus.error, QString());
        Rig rig;
        QVERIFY(rig.start({}));
        rig.write("ATE0\r");
        QTRY_COMPARE(rig.received, "ATE0\r" + ok);
        for (const Gsm::SubmitPdu &pdu : pdus.parts) {
            rig.write("AT+CMGS=" + QByteArray::number(pdu.tpduLength) + '\r');
            QTRY_COMPARE(rig.received, "\r\n> ");
            rig.write(pdu.hex + '\x1A');
            QTRY_VERIFY(rig.received.endsWith(ok));
        }
        QCOMPARE(rig.sim.values(u"INVALID"_s), QStringList());
        QCOMPARE(rig.sim.values(u"MESSAGE"_s), QStringList{message});
    }

    // What the simulator stores for the program, judged by the program's
    // own decoder: the messages listed with AT+CMGL=4, joined from their
    // parts, with their sender and coding.
    void storedMessages_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("parts");
        QTest::addColumn<QString>("coding"); // of each part
        const QString ucs2 = u"Grüße aus Zürich – bis morgen! "_s.repeated(5);
        const QString gsm = u"Treffpunkt {Bahnhof} um 10 Uhr, Kosten 5 € [bar]. "_s.repeated(8);
        QTest::newRow("7-bit, number") << u"+41791112233=Grüezi mitenand"_s << 1 << u"0"_s;
        QTest::newRow("7-bit with escapes in three parts, national number")
            << u"0791112233="_s + gsm << 3 << u"0"_s;
        QTest::newRow("UCS-2 in three parts, a name") << u"Post="_s + ucs2 << 3 << u"2"_s;
        QTest::newRow("UCS-2 surrogate pair, a name of eleven letters")
            << u"Gemeinde123=Bis bald \U0001F600"_s << 1 << u"2"_s;
    }
    void storedMessages()
    {
        QFETCH(QString, item);
        QFETCH(int, parts);
        QFETCH(QString, coding);
        Rig rig;
        QVERIFY(rig.start({u"--waiting"_s, item}));
        rig.write("ATE0\r");
        QTRY_COMPARE(rig.received, "ATE0\r" + ok);
        rig.write("AT+CMGL=4\r");
        QTRY_VERIFY(rig.received.endsWith(ok));
        Gsm::PartCollector collector;
        const QDateTime now = QDateTime::currentDateTimeUtc();
        QStringList joined;
        QStringList codings;
        const QByteArrayList lines = textLines(rig.received);
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            if (!lines.at(i).startsWith("+CMGL:"))
                continue;
            QString error;
            const auto sms = Gsm::decodeDeliver(lines.at(i + 1), &error);
            QVERIFY2(sms, qPrintable(error));
            QCOMPARE(sms->tpduLength, lines.at(i).split(',').last().trimmed().toInt());
            QVERIFY(qAbs(sms->sentAt.secsTo(now)) < 60);
            codings.append(QString::number(int(sms->coding)));
            if (const auto message = collector.add(*sms, now))
                joined.append(message->sender + u'=' + message->text);
        }
        QCOMPARE(codings, QStringList(parts, coding));
        QCOMPARE(joined, QStringList{item});
    }

    // A message sent with a status report asked for is reported on as
    // scripted for its number: directly (+CDS) or stored (+CDSI), under the
    // reference of +CMGS, read by the program's decoder.
    void statusReports_data()
    {
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<int>("ds");
        QTest::addColumn<QList<int>>("statuses");
        QTest::newRow("delivered, directly") << QString() << 1 << QList<int>{0x00};
        QTest::newRow("trying, then failed, stored")
            << u"+41791234567=trying,failed"_s << 2 << QList<int>{0x21, 0x41};
        QTest::newRow("code in hex, directly") << u"+41791234567=46"_s << 1 << QList<int>{0x46};
        QTest::newRow("another number's outcome") << u"0791234567=failed"_s << 1 << QList<int>{0};
    }
    void statusReports()
    {
        QFETCH(QString, outcome);
        QFETCH(int, ds);
        QFETCH(QList<int>, statuses);
        Rig rig;
        QStringList arguments{u"--report-delay"_s, u"10"_s};
        if (!outcome.isEmpty())
            arguments += QStringList{u"--deliver-outcome"_s, outcome};
        QVERIFY(rig.start(arguments));
        rig.write("ATE0\r");
        QTRY_COMPARE(rig.received, "ATE0\r" + ok);
        rig.write("AT+CNMI=2,1,0," + QByteArray::number(ds) + ",0\r");
        QTRY_COMPARE(rig.received, ok);
        const Gsm::SubmitPdu pdu =
            Gsm::buildSubmitPdus(u"+41791234567"_s, u"hellohello"_s, {}, 0, true).parts.at(0);
        for (const int mr : {1, 2}) {
            rig.write("AT+CMGS=" + QByteArray::number(pdu.tpduLength) + '\r');
            QTRY_COMPARE(rig.received, "\r\n> ");
            rig.write(pdu.hex + '\x1A');
            // The reports follow the answer after the report delay.
            QTRY_VERIFY(rig.received.startsWith(accepted(mr)));
            const QByteArray indication = ds == 1 ? "+CDS: " : "+CDSI: ";
            QTRY_COMPARE(rig.received.count(indication), statuses.size());
            const QByteArrayList lines = textLines(rig.received);
            QList<int> reported;
            for (qsizetype i = 0; i < lines.size(); ++i) {
                if (!lines.at(i).startsWith(indication))
                    continue;
                QByteArray hex = ds == 1 ? lines.value(i + 1) : QByteArray();
                if (ds == 2) {
                    rig.write("AT+CMGR=" + lines.at(i).split(',').last().trimmed() + '\r');
                    QTRY_VERIFY(rig.received.endsWith(ok));
                    hex = textLines(rig.received).at(1);
                }
                const auto report = Gsm::decodeStatusReport(hex);
                QVERIFY(report);
                QCOMPARE(report->reference, mr);
                QCOMPARE(report->recipient, u"+41791234567"_s);
                reported.append(report->status);
            }
            QCOMPARE(reported, statuses);
            rig.received.clear();
        }
    }

    void badArguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error");
        QTest::newRow("PIN of three digits") << QStringList{u"--gsm"_s, u"--pin"_s, u"123"_s}
                                             << u"--pin: expected 4 to 8 digits, got '123'"_s;
        QTest::newRow("CMS code of four digits")
            << QStringList{u"--gsm"_s, u"--cmgs"_s, u"ok,cms:1000"_s}
            << u"--cmgs: unknown item 'cms:1000'"_s;
        QTest::newRow("outcome without a number")
            << QStringList{u"--gsm"_s, u"--deliver-outcome"_s, u"=failed"_s}
            << u"--deliver-outcome: unusable item '=failed'"_s;
        QTest::newRow("unknown outcome")
            << QStringList{u"--gsm"_s, u"--deliver-outcome"_s, u"079=lost"_s}
            << u"--deliver-outcome: unusable item '079=lost'"_s;
        QTest::newRow("message without a sender")
            << QStringList{u"--gsm"_s, u"--incoming"_s, u"Hallo"_s}
            << u"--incoming: SENDER=TEXT expected, got 'Hallo'"_s;
        QTest::newRow("GSM option without --gsm")
            << QStringList{u"--urc"_s, u"RING"_s} << u"--urc needs --gsm"_s;
    }
    void badArguments()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        QTemporaryDir dir;
        SimProcess sim;
        QVERIFY(!sim.start(dir.path(), 4, arguments));
        QCOMPARE(sim.process.exitCode(), 2);
        QCOMPARE(sim.errorOutput, u"modemsim: "_s + error + u'\n');
    }
};

QTEST_GUILESS_MAIN(TstGsmsim)
#include "tst_gsmsim.moc"
