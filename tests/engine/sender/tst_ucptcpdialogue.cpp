// The UCP dialogue over a real TCP socket on 127.0.0.1, the centre played
// by the test frame by frame: submissions as operations 51 in a window,
// results matched by TRN, the centre's operations 52 and 53 handed to the
// sink and answered only after it, the keep-alive and the listening
// session that comes back after a drop.

#include "incoming.h"
#include "ucptcpdialogue.h"
#include "ucptestframes.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace Qt::StringLiterals;
using UcpTestFrames::sealed;

namespace {

// The centre: takes one connection after the other, collects the frames.
struct Centre
{
    Centre()
    {
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, &server, [this] {
            peer = server.nextPendingConnection();
            ++connections;
            QObject::connect(peer, &QTcpSocket::readyRead, peer, [this, socket = peer] {
                buffer += socket->readAll();
                for (qsizetype end; (end = buffer.indexOf('\x03')) >= 0;) {
                    frames.append(
                        buffer.mid(buffer.indexOf('\x02') + 1, end - buffer.indexOf('\x02') - 1));
                    buffer.remove(0, end + 1);
                    maxOut = std::max(maxOut, int(ops("51").size()) - answered);
                }
            });
        });
    }
    QList<QByteArray> ops(QByteArrayView ot) const
    {
        QList<QByteArray> result;
        for (const QByteArray &frame : frames) {
            if (frame.split('/').value(2) == "O" && frame.split('/').value(3) == ot)
                result.append(frame);
        }
        return result;
    }
    QList<QByteArray> results() const
    {
        QList<QByteArray> result;
        for (const QByteArray &frame : frames) {
            if (frame.split('/').value(2) == "R")
                result.append(frame);
        }
        return result;
    }
    void send(const QByteArray &frame) { peer->write('\x02' + frame + '\x03'); }
    // The answer to operation 51 number i: "ack" with the SCTS 0712261430 and
    // i as seconds, or "nack:NN".
    void answer51(int i, const QString &how)
    {
        const QByteArray trn = ops("51").at(i).left(2);
        const QByteArray adc = ops("51").at(i).split('/').at(4);
        ++answered;
        if (how == u"ack")
            send(sealed(trn, QByteArray("R/51/A//" + adc + ":0712261430" +
                                        QByteArray::number(i).rightJustified(2, '0') + '/')));
        else
            send(sealed(trn, QByteArray("R/51/N/" + how.sliced(5).toLatin1() + "//")));
    }

    QTcpServer server;
    QTcpSocket *peer = nullptr;
    QByteArray buffer;
    QList<QByteArray> frames;
    int connections = 0;
    int answered = 0;
    int maxOut = 0; // operations 51 unanswered at once, most
};

struct Sink : IncomingSink
{
    bool storeMessage(const ReceivedMessage &m) override
    {
        stored.append(
            u"message %1 %2 %3"_s.arg(m.sender, m.sentAt.toString(u"ddMMyyHHmmss"_s), m.text));
        return accept;
    }
    bool storeReport(const DeliveryReport &r) override
    {
        stored.append(u"report %1 %2 %3 %4 %5"_s.arg(r.recipient, r.reference)
                          .arg(int(r.state))
                          .arg(r.at.toString(u"ddMMyyHHmmss"_s), r.detail));
        return accept;
    }
    bool accept = true;
    QStringList stored;
};

struct Rig
{
    explicit Rig(int window = 1) : dialogue([this] { return account; })
    {
        account.host = u"127.0.0.1"_s;
        account.port = centre.server.serverPort();
        account.window = window;
        dialogue.setIncomingSink(&sink);
        QObject::connect(
            &dialogue, &CallDialogue::submitted, &dialogue, [this](const CallDialogue::Result &r) {
                QString text = QString::number(r.entryId) + u' ' +
                               (r.accepted ? u"ok"_s : u"refused "_s + r.errorCode);
                for (const ExpectedReport &report : r.reports)
                    text +=
                        u" %1:%2:%3"_s.arg(report.part).arg(report.recipientKey, report.reference);
                results.append(text);
                // The engine's part: the next entry once one is answered.
                if (!toSubmit.isEmpty())
                    dialogue.submit(toSubmit.takeFirst());
            });
        QObject::connect(&dialogue, &CallDialogue::failed, &dialogue,
                         [this](const QString &why) { ending = u"failed: "_s + why; });
        QObject::connect(&dialogue, &CallDialogue::halted, &dialogue,
                         [this](const QString &why) { ending = u"halted: "_s + why; });
    }
    // Hands over up to window() entries at once, the rest as results come.
    void submitAll(const QStringList &texts)
    {
        for (int i = 0; i < texts.size(); ++i)
            toSubmit.append(QueueEntry{quint64(i + 1), u"0791234567"_s, texts.at(i), QString()});
        for (int i = 0; i < dialogue.window() && !toSubmit.isEmpty(); ++i)
            dialogue.submit(toSubmit.takeFirst());
    }

    Centre centre;
    Sink sink;
    UcpTcpAccount account;
    UcpTcpDialogue dialogue;
    QList<QueueEntry> toSubmit;
    QStringList results;
    QString ending;
};

// The fields of operations 51 to 53 after OT, by their place.
enum Field { AdC = 0, OAdC = 1, SCTS = 14, Dst, Rsn, DSCTS, MT, NB, Msg, XSer = 30 };

// An operation of the centre with the given fields, the other of the 33
// empty, LEN and checksum made to fit.
QByteArray operation(QByteArrayView trn, QByteArrayView ot,
                     const QList<std::pair<int, QByteArrayView>> &given)
{
    QList<QByteArray> fields(33);
    for (const auto &[place, value] : given)
        fields[place] = value.toByteArray();
    return sealed(trn, QByteArray("O/" + ot.toByteArray() + '/' + fields.join('/') + '/'));
}

// 200 UTF-16 units with "€" and "😀", which is outside the GSM alphabet:
// UCS-2 in three parts of 67, 67 and 66.
const QString longEuro = u"Preis 5 € 😀"_s + QString(188, u'x');

} // namespace

class TestUcpTcpDialogue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Entries handed over in the window, each part one operation 51; the
    // centre answers in the order given (indices of the frames it got), and
    // each entry is answered once all its parts are, with the SCTS of each
    // part for its report.
    void submissions_data()
    {
        QTest::addColumn<int>("window");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QList<int>>("order");
        QTest::addColumn<QStringList>("answers"); // by frame index
        QTest::addColumn<int>("maxOut");
        QTest::addColumn<QStringList>("results");
        QTest::addColumn<QString>("ending");
        const QString to = u"0791234567"_s;
        QTest::newRow("one part, report named by its SCTS")
            << 1 << QStringList{u"abc"_s} << QList<int>{0} << QStringList{u"ack"_s} << 1
            << QStringList{u"1 ok 0:%1:071226143000"_s.arg(to)} << QString();
        QTest::newRow("long with €: three parts, one result")
            << 1 << QStringList{longEuro} << QList<int>{0, 1, 2}
            << QStringList{u"ack"_s, u"ack"_s, u"ack"_s} << 1
            << QStringList{u"1 ok 0:%1:071226143000 1:%1:071226143001 2:%1:071226143002"_s.arg(to)}
            << QString();
        QTest::newRow("window 3: all out before the first answer, answered out of order")
            << 3 << QStringList{u"a"_s, u"b"_s, u"c"_s} << QList<int>{2, 0, 1}
            << QStringList{u"ack"_s, u"ack"_s, u"ack"_s} << 3
            << QStringList{u"3 ok 0:%1:071226143002"_s.arg(to), u"1 ok 0:%1:071226143000"_s.arg(to),
                           u"2 ok 0:%1:071226143001"_s.arg(to)}
            << QString();
        QTest::newRow("window 1 holds the second entry back")
            << 1 << QStringList{u"a"_s, u"b"_s} << QList<int>{0, 1}
            << QStringList{u"ack"_s, u"ack"_s} << 1
            << QStringList{u"1 ok 0:%1:071226143000"_s.arg(to), u"2 ok 0:%1:071226143001"_s.arg(to)}
            << QString();
        QTest::newRow("second part refused: the entry is, the rest not sent")
            << 1 << QStringList{longEuro, u"b"_s} << QList<int>{0, 1, 2}
            << QStringList{u"ack"_s, u"nack:24"_s, u"ack"_s} << 1
            << QStringList{u"1 refused 24 0:%1:071226143000"_s.arg(to),
                           u"2 ok 0:%1:071226143002"_s.arg(to)}
            << QString();
        QTest::newRow("call barring halts")
            << 2 << QStringList{u"a"_s, u"b"_s} << QList<int>{1}
            << QStringList{QString(), u"nack:05"_s} << 2 << QStringList()
            << u"halted: SMS-Center verweigert den Versand (05: Sperre aktiv)"_s;
        QTest::newRow("network busy fails the call")
            << 1 << QStringList{u"a"_s} << QList<int>{0} << QStringList{u"nack:50"_s} << 1
            << QStringList() << u"failed: Fehler des SMS-Centers (50: Netz ausgelastet)"_s;
    }
    void submissions()
    {
        QFETCH(int, window);
        QFETCH(QStringList, texts);
        QFETCH(QList<int>, order);
        QFETCH(QStringList, answers);
        QFETCH(int, maxOut);
        QFETCH(QStringList, results);
        QFETCH(QString, ending);
        Rig rig(window);
        QSignalSpy ready(&rig.dialogue, &CallDialogue::ready);
        rig.dialogue.begin();
        QVERIFY(ready.wait());
        QCOMPARE(rig.dialogue.window(), window);
        rig.submitAll(texts);
        for (int i : order) {
            QTRY_VERIFY(rig.centre.ops("51").size() > i);
            rig.centre.answer51(i, answers.at(i));
        }
        QTRY_COMPARE(rig.results.size() + (ending.isEmpty() ? 0 : 1),
                     results.size() + (rig.ending.isEmpty() ? 0 : 1));
        QTRY_COMPARE(rig.ending, ending);
        QCOMPARE(rig.results, results);
        QCOMPARE(rig.centre.maxOut, maxOut);
        // Numbered from 01 on, one TRN per operation.
        const QList<QByteArray> sent = rig.centre.ops("51");
        for (int i = 0; i < sent.size(); ++i)
            QCOMPARE(sent.at(i).left(2), QByteArray::number(i + 1).rightJustified(2, '0'));
    }

    // The centre's own operations, in a listening session without a call:
    // stored first, then answered; refused for the centre to offer again
    // when the sink cannot store; refused as unreadable when broken.
    void centreOperations_data()
    {
        QTest::addColumn<QList<QByteArray>>("operations");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QList<QByteArray>>("answers");
        // 53 for the message to 0791234567 submitted 26.12.07 14:30:15.
        const auto op53 = [](QByteArrayView trn, QByteArrayView dst, QByteArrayView rsn) {
            return operation(trn, "53",
                             {{AdC, "0311234567"},
                              {OAdC, "0791234567"},
                              {SCTS, "071226143015"},
                              {Dst, dst},
                              {Rsn, rsn},
                              {DSCTS, "071226143120"},
                              {MT, "3"},
                              {Msg, "41"}});
        };
        const auto op52 = [](QByteArrayView trn, QByteArrayView scts,
                             std::initializer_list<std::pair<int, QByteArrayView>> more) {
            QList<std::pair<int, QByteArrayView>> fields{
                {AdC, "0311234567"}, {OAdC, "0797654321"}, {SCTS, scts}};
            fields.append(more);
            return operation(trn, "52", fields);
        };
        const QByteArray hallo = op52("70", "071226150000", {{MT, "3"}, {Msg, "48616C6C6F"}});
        // "Grüezi 😀" in two UCS-2 parts of reference 7.
        const QByteArray part1 =
            op52("71", "071226150100",
                 {{MT, "4"}, {NB, "48"}, {Msg, "0047007200FC"}, {XSer, "0106050003070201020108"}});
        const QByteArray part2 = op52("72", "071226150100",
                                      {{MT, "4"},
                                       {NB, "96"},
                                       {Msg, "0065007A00690020D83DDE00"},
                                       {XSer, "0106050003070202020108"}});
        QTest::newRow("53 delivered")
            << QList<QByteArray>{op53("61", "0", "000")} << true
            << QStringList{u"report 0791234567 071226143015 1 071226143120 "_s}
            << QList<QByteArray>{sealed("61", "R/53/A///")};
        QTest::newRow("53 buffered, with the reason")
            << QList<QByteArray>{op53("62", "1", "107")} << true
            << QStringList{u"report 0791234567 071226143015 0 071226143120 Empfänger nicht "
                           u"erreichbar"_s}
            << QList<QByteArray>{sealed("62", "R/53/A///")};
        QTest::newRow("53 not delivered")
            << QList<QByteArray>{op53("63", "2", "107")} << true
            << QStringList{u"report 0791234567 071226143015 2 071226143120 Empfänger nicht "
                           u"erreichbar"_s}
            << QList<QByteArray>{sealed("63", "R/53/A///")};
        QTest::newRow("53 the sink cannot store: refused, to come again")
            << QList<QByteArray>{op53("64", "0", "000")} << false
            << QStringList{u"report 0791234567 071226143015 1 071226143120 "_s}
            << QList<QByteArray>{sealed("64", "R/53/N/04//")};
        QTest::newRow("52 AMsg") << QList<QByteArray>{hallo} << true
                                 << QStringList{u"message 0797654321 071226150000 Hallo"_s}
                                 << QList<QByteArray>{sealed("70", "R/52/A///")};
        QTest::newRow("52 the sink cannot store")
            << QList<QByteArray>{hallo} << false
            << QStringList{u"message 0797654321 071226150000 Hallo"_s}
            << QList<QByteArray>{sealed("70", "R/52/N/04//")};
        QTest::newRow("52 in two UCS-2 parts, joined")
            << QList<QByteArray>{part2, part1} << true
            << QStringList{u"message 0797654321 071226150100 Grüezi 😀"_s}
            << QList<QByteArray>{sealed("72", "R/52/A///"), sealed("71", "R/52/A///")};
        QTest::newRow("52 broken: unreadable")
            << QList<QByteArray>{op52("73", "071226150000", {{MT, "3"}, {Msg, "4G"}})} << true
            << QStringList() << QList<QByteArray>{sealed("73", "R/52/N/02//")};
        QTest::newRow("31 of the centre")
            << QList<QByteArray>{sealed("74", "O/31/0311234567/0539/")} << true << QStringList()
            << QList<QByteArray>{sealed("74", "R/31/A//")};
    }
    void centreOperations()
    {
        QFETCH(QList<QByteArray>, operations);
        QFETCH(bool, accept);
        QFETCH(QStringList, stored);
        QFETCH(QList<QByteArray>, answers);
        Rig rig;
        rig.sink.accept = accept;
        QSignalSpy listening(&rig.dialogue, &CallDialogue::listeningChanged);
        rig.dialogue.setListening(true);
        QTRY_VERIFY(rig.dialogue.isListening());
        QCOMPARE(listening.count(), 1);
        for (const QByteArray &operation : operations)
            rig.centre.send(operation);
        QTRY_COMPARE(rig.centre.results(), answers);
        QCOMPARE(rig.sink.stored, stored);
    }

    // The session kept for listening: logged in on its own, an alert every
    // keep-alive interval, opened again after a drop (the centre closing it,
    // or an alert left unanswered), shared with the engine's calls.
    void listeningSession_data()
    {
        QTest::addColumn<QString>("event");
        QTest::addColumn<int>("connections");
        QTest::addColumn<int>("logins");
        QTest::newRow("alerts while open") << u"alerts"_s << 1 << 1;
        QTest::newRow("centre drops the session") << u"drop"_s << 2 << 2;
        QTest::newRow("alert unanswered") << u"silence"_s << 2 << 2;
        QTest::newRow("a call on the standing session") << u"call"_s << 1 << 1;
    }
    void listeningSession()
    {
        QFETCH(QString, event);
        QFETCH(int, connections);
        QFETCH(int, logins);
        Rig rig;
        rig.account.account = u"12345"_s;
        rig.account.password = u"pw"_s;
        rig.dialogue.setKeepAliveMs(event == u"call" ? 60'000 : 100);
        rig.dialogue.setAnswerTimeoutMs(300);
        rig.dialogue.setReconnectPaceMs(50);
        // The centre accepts every login and answers the alerts, but those
        // the row answers itself and those of the first connection that
        // are to go unanswered.
        qsizetype handled = 0;
        QObject::connect(&rig.centre.server, &QTcpServer::newConnection, &rig.centre.server, [&] {
            QObject::connect(rig.centre.peer, &QTcpSocket::readyRead, rig.centre.peer, [&] {
                for (; handled < rig.centre.frames.size(); ++handled) {
                    const QList<QByteArray> fields = rig.centre.frames.at(handled).split('/');
                    const bool silent =
                        event == u"alerts" || (event == u"silence" && rig.centre.connections == 1);
                    if (fields.value(3) == "60")
                        rig.centre.send(sealed(fields.at(0), "R/60/A//"));
                    else if (fields.value(3) == "31" && !silent)
                        rig.centre.send(sealed(fields.at(0), "R/31/A//"));
                }
            });
        });
        QSignalSpy ready(&rig.dialogue, &CallDialogue::ready);
        rig.dialogue.setListening(true);
        QTRY_VERIFY(rig.dialogue.isListening());
        QCOMPARE(ready.count(), 0);
        if (event == u"alerts") {
            QTRY_COMPARE(rig.centre.ops("31").size(), 1);
            QCOMPARE(rig.centre.ops("31").at(0), sealed("01", "O/31/12345/0539/"));
            rig.centre.send(sealed("01", "R/31/A//"));
            QTRY_COMPARE(rig.centre.ops("31").size(), 2);
            QCOMPARE(rig.centre.ops("31").at(1).left(2), "02");
        } else if (event == u"drop") {
            rig.centre.peer->disconnectFromHost();
            QTRY_COMPARE(rig.centre.connections, 2);
        } else if (event == u"silence") {
            QTRY_COMPARE(rig.centre.ops("31").size(), 1);
            QTRY_COMPARE(rig.centre.connections, 2);
        } else {
            // begin() finds the session standing; end() leaves it.
            rig.dialogue.begin();
            QCOMPARE(ready.count(), 1);
            rig.submitAll({u"a"_s});
            QTRY_COMPARE(rig.centre.ops("51").size(), 1);
            rig.centre.answer51(0, u"ack"_s);
            QTRY_COMPARE(rig.results.size(), 1);
            rig.dialogue.end();
            QVERIFY(rig.dialogue.isListening());
            QCOMPARE(rig.centre.peer->state(), QAbstractSocket::ConnectedState);
        }
        QTRY_VERIFY(rig.dialogue.isListening());
        QCOMPARE(rig.centre.connections, connections);
        QTRY_COMPARE(rig.centre.ops("60").size(), logins);
        QCOMPARE(rig.ending, QString());
        // Listening off closes the session.
        rig.dialogue.setListening(false);
        QVERIFY(!rig.dialogue.isListening());
        QTRY_COMPARE(rig.centre.peer->state(), QAbstractSocket::UnconnectedState);
    }
};

QTEST_GUILESS_MAIN(TestUcpTcpDialogue)
#include "tst_ucptcpdialogue.moc"
