// The SMPP session against the simulator's SMPP centre (a real QSslSocket
// on 127.0.0.1, plain or with TLS): one bind for many messages through a
// window, responses out of order, throttling, refusals, receipts stored
// through Inbound into Daten.mdb, incoming messages in parts.

#include "enginerig.h"
#include "inbound.h"
#include "smppdialogue.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QSslCertificate>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Keeps the messages that came in as "<sender> <text>"; reports go on to
// Inbound, which matches them against the log rows in Daten.mdb.
struct Sink : IncomingSink
{
    bool storeMessage(const ReceivedMessage &message) override
    {
        messages.append(message.sender + u' ' + message.text);
        return true;
    }
    bool storeReport(const DeliveryReport &report) override
    {
        ++reports;
        return inbound && inbound->storeReport(report);
    }
    Inbound *inbound = nullptr;
    QStringList messages;
    int reports = 0;
};

QString recipient(int i)
{
    return u"07912345"_s + QString::number(i).rightJustified(2, u'0');
}

struct Rig : EngineRig
{
    // The SMPP centre with these arguments besides its own; entries queued
    // to recipient(0), recipient(1), ...
    bool start(const QStringList &simArguments, int entries, int window = 10)
    {
        TestDb::Settings row;
        if (!openStore(row))
            return false;
        for (int i = 0; i < entries; ++i)
            queue.append(recipient(i), u"Nachricht %1"_s.arg(i), QString());
        account.systemId = u"funkbote"_s;
        account.password = u"geheim"_s;
        account.window = window;
        smpp = drive(std::make_unique<SmppDialogue>([this] { return account; }));
        smpp->setFirstSlowDownMs(20);
        inbound = std::make_unique<Inbound>(dir.filePath(u"Daten.mdb"_s), &clock);
        engine->setNumberKey(&Inbound::numberKey);
        sink.inbound = inbound.get();
        smpp->setIncomingSink(&sink);
        QObject::connect(engine.get(), &SendEngine::messageLogged, inbound.get(),
                         [this] { inbound->retryUnmatched(); });
        QObject::connect(smpp, &CallDialogue::traced, smpp,
                         [this](const QString &line) { trace.append(line); });
        if (!sim.start(QStringList{u"--smpp"_s, u"0"_s, u"--system-id"_s, u"funkbote"_s,
                                   u"--password"_s, u"geheim"_s} +
                       simArguments))
            return false;
        const QString address = sim.values(u"READY"_s).value(0);
        account.host = address.section(u':', 0, 0);
        account.port = address.section(u':', 1).toUShort();
        return account.port != 0;
    }
    void sendAll()
    {
        engine->tick();
        QTRY_VERIFY_WITH_TIMEOUT(queue.isEmpty(), 20000);
        QTRY_COMPARE(engine->state(), Sending::State::Idle);
    }
    // Log rows whose message is delivered, from Daten.mdb.
    int delivered() const
    {
        QSqlQuery query(connection->database());
        query.exec(u"SELECT COUNT(*) FROM Deliveries WHERE State = 1"_s);
        return query.next() ? query.value(0).toInt() : -1;
    }

    SmppAccount account;
    SmppDialogue *smpp = nullptr;
    std::unique_ptr<Inbound> inbound;
    Sink sink;
    QStringList trace;
    ~Rig() { engine.reset(); }
};

} // namespace

class TestSmppE2E : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    // Many messages in one bound session through the window, each logged
    // "OK" for its own recipient whatever order the responses come in; a
    // refused one logged with its status, the rest sent; every accepted one
    // later delivered from its receipt.
    void oneBindManyMessages_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("window");
        QTest::newRow("100 through a window of 10") << QStringList{} << 100 << 10;
        QTest::newRow("responses out of order")
            << QStringList{u"--smpp-shuffle"_s, u"--smpp-answer"_s, recipient(7) + u"=0x0B"_s} << 30
            << 10;
        QTest::newRow("ids hex in the response, decimal in the receipt")
            << QStringList{u"--receipt-id-decimal"_s} << 20 << 10;
        QTest::newRow("window of 1") << QStringList{} << 5 << 1;
    }
    void oneBindManyMessages()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, entries);
        QFETCH(int, window);
        Rig rig;
        QVERIFY(rig.start(arguments, entries, window));
        rig.sendAll();
        // At most a window's worth unanswered at any time, and the window used.
        int unanswered = 0;
        int mostUnanswered = 0;
        for (const QString &line : std::as_const(rig.trace)) {
            if (line.startsWith(u"→ submit_sm"_s))
                mostUnanswered = std::max(mostUnanswered, ++unanswered);
            else if (line.startsWith(u"← submit_sm_resp"_s))
                --unanswered;
        }
        QVERIFY2(mostUnanswered <= window, qPrintable(QString::number(mostUnanswered)));
        QVERIFY(window == 1 || mostUnanswered > 1);
        const bool refusal = arguments.contains(u"--smpp-answer"_s);
        QStringList expected;
        for (int i = 0; i < entries; ++i)
            expected.append(recipient(i) + (refusal && i == 7 ? u" NACK 0x0000000B"_s : u" OK"_s));
        QStringList logged = rig.logged();
        logged.sort();
        QCOMPARE(logged, expected);
        QCOMPARE(rig.sim.count(u"BIND"_s), 1);
        const int accepted = entries - (refusal ? 1 : 0);
        QCOMPARE(rig.sim.count(u"SUBMIT"_s), accepted);
        QCOMPARE(rig.sim.count(u"DECLINED"_s), entries - accepted);
        QTRY_COMPARE_WITH_TIMEOUT(rig.delivered(), accepted, 10000);
    }

    // Throttling halves the window and sends the part again after a pause;
    // the message is never refused for it.
    void throttledThenTaken()
    {
        Rig rig;
        QVERIFY(rig.start({u"--smpp-answer"_s, recipient(2) + u"=throttle:3"_s}, 30));
        rig.sendAll();
        QCOMPARE(rig.logged().count(recipient(2) + u" OK"_s), 1);
        QCOMPARE(rig.sim.values(u"SUBMIT"_s).filter(recipient(2)).size(), 1);
        QCOMPARE(rig.sim.values(u"DECLINED"_s).filter(recipient(2)).size(), 3);
        // Halved at each throttling, then grown back by one with each message
        // taken.
        QCOMPARE(rig.trace.filter(u"Zentrale bremst (0x00000058): Fenster 5,"_s).size(), 3);
        QCOMPARE(rig.logged().size(), 30);
        QCOMPARE(rig.smpp->allowedWindow(), 10);
    }

    // A refused bind halts once: the queue kept, no second bind until the
    // user resumes.
    void bindRefused_data()
    {
        QTest::addColumn<QString>("systemId");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("reason");
        QTest::newRow("wrong password") << u"funkbote"_s << u"falsch"_s << u"0x0000000E"_s;
        QTest::newRow("unknown system id") << u"jemand"_s << u"geheim"_s << u"0x0000000F"_s;
    }
    void bindRefused()
    {
        QFETCH(QString, systemId);
        QFETCH(QString, password);
        QFETCH(QString, reason);
        Rig rig;
        QVERIFY(rig.start({}, 3));
        rig.account.systemId = systemId;
        rig.account.password = password;
        QSignalSpy halted(rig.engine.get(), &SendEngine::halted);
        rig.engine->tick();
        QTRY_COMPARE(halted.size(), 1);
        QVERIFY2(halted.at(0).at(0).toString().contains(reason),
                 qPrintable(halted.at(0).at(0).toString()));
        QCOMPARE(rig.queue.count(), 3);
        rig.clock.advanceSeconds(60);
        rig.engine->tick();
        QTest::qWait(0);
        QCOMPARE(rig.sim.count(u"BIND"_s), 1);
        QCOMPARE(halted.size(), 1);
    }

    // A submit_sm that is never answered fails the attempt after the
    // answer time-out; nothing unanswered is lost or logged.
    void unansweredFailsAttempt()
    {
        Rig rig;
        QVERIFY(rig.start({u"--smpp-answer"_s, recipient(1) + u"=silent"_s}, 3));
        rig.smpp->setAnswerTimeoutMs(300);
        QSignalSpy failed(rig.smpp, &CallDialogue::failed);
        rig.engine->tick();
        QTRY_COMPARE(failed.size(), 1);
        QCOMPARE(failed.at(0).at(0).toString(), u"Keine Antwort der Zentrale"_s);
        QTRY_VERIFY(rig.logged().size() + rig.queue.count() == 3);
        QVERIFY(rig.queue.count() >= 1);
    }

    // Messages the centre delivers, joined from their parts by the UDH or
    // by the SAR options, in the GSM alphabet or UCS-2.
    void incomingInParts_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("text");
        const QString longGsm = QString(u"Lange Nachricht in Teilen. "_s).repeated(12);
        const QString longUnicode = QString(u"Grüsse mit € und 😀. "_s).repeated(8);
        QTest::newRow("UDH, GSM") << QStringList{} << longGsm;
        QTest::newRow("UDH, UCS-2") << QStringList{} << longUnicode;
        QTest::newRow("SAR, GSM") << QStringList{u"--incoming-sar"_s} << longGsm;
        QTest::newRow("SAR, UCS-2") << QStringList{u"--incoming-sar"_s} << longUnicode;
        QTest::newRow("one SMS") << QStringList{} << u"Kurz: STOP"_s;
    }
    void incomingInParts()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, text);
        Rig rig;
        QVERIFY(rig.start(arguments + QStringList{u"--incoming"_s, u"+41791112233="_s + text}, 0));
        rig.smpp->setListening(true);
        QTRY_COMPARE(rig.sink.messages, QStringList{u"+41791112233 "_s + text});
    }

    // TLS: a certificate the program trusts carries the session; one that
    // does not verify ends the attempt with its reason and nothing is sent.
    void tls_data()
    {
        QTest::addColumn<bool>("trusted");
        QTest::newRow("trusted authority") << true;
        QTest::newRow("unknown authority") << false;
    }
    void tls()
    {
        QFETCH(bool, trusted);
        Rig rig;
        QVERIFY(rig.start({u"--tls-cert"_s, m_certs.filePath(u"server.pem"_s), u"--tls-key"_s,
                           m_certs.filePath(u"server.key"_s)},
                          2));
        rig.account.useTls = true;
        rig.account.host = u"localhost"_s;
        if (trusted)
            rig.smpp->addCaCertificates(QSslCertificate::fromPath(m_certs.filePath(u"ca.pem"_s)));
        if (trusted) {
            rig.sendAll();
            QCOMPARE(rig.logged().size(), 2);
            return;
        }
        QSignalSpy failed(rig.smpp, &CallDialogue::failed);
        rig.engine->tick();
        QTRY_COMPARE(failed.size(), 1);
        const QString reason = failed.at(0).at(0).toString();
        QVERIFY2(reason.startsWith(u"TLS-Zertifikat von localhost:"_s), qPrintable(reason));
        QVERIFY2(reason.contains(u"vertrauenswürdig"_s), qPrintable(reason));
        QCOMPARE(rig.queue.count(), 2);
        QCOMPARE(rig.sim.count(u"SUBMIT"_s), 0);
    }

private:
    QTemporaryDir m_certs;
};

void TestSmppE2E::initTestCase()
{
    // A test authority and a certificate for localhost signed by it.
    const QString dir = m_certs.path();
    const auto run = [&](const QStringList &arguments) {
        QProcess openssl;
        openssl.setWorkingDirectory(dir);
        openssl.start(u"openssl"_s, arguments);
        return openssl.waitForFinished(30000) && openssl.exitCode() == 0;
    };
    QVERIFY(run({u"req"_s, u"-x509"_s, u"-newkey"_s, u"rsa:2048"_s, u"-nodes"_s, u"-days"_s, u"2"_s,
                 u"-subj"_s, u"/CN=Funkbote Test CA"_s, u"-keyout"_s, u"ca.key"_s, u"-out"_s,
                 u"ca.pem"_s}));
    QVERIFY(run({u"req"_s, u"-newkey"_s, u"rsa:2048"_s, u"-nodes"_s, u"-subj"_s, u"/CN=localhost"_s,
                 u"-keyout"_s, u"server.key"_s, u"-out"_s, u"server.csr"_s}));
    QFile extensions(m_certs.filePath(u"san.ext"_s));
    QVERIFY(extensions.open(QIODevice::WriteOnly));
    extensions.write("subjectAltName=DNS:localhost,IP:127.0.0.1\n");
    extensions.close();
    QVERIFY(run({u"x509"_s, u"-req"_s, u"-in"_s, u"server.csr"_s, u"-CA"_s, u"ca.pem"_s,
                 u"-CAkey"_s, u"ca.key"_s, u"-CAcreateserial"_s, u"-days"_s, u"2"_s, u"-extfile"_s,
                 u"san.ext"_s, u"-out"_s, u"server.pem"_s}));
}

QTEST_GUILESS_MAIN(TestSmppE2E)
#include "tst_smpp_e2e.moc"
