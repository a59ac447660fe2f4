// "Verbindung testen" for each connection kind against the simulator: the
// steps up to where a message would be submitted, each told as it happens,
// and nothing sent.

#include "chosendialogue.h"
#include "connectionsettings.h"
#include "connectiontest.h"
#include "dialupdialogue.h"
#include "gsmdialogue.h"
#include "qtserialline.h"
#include "recordingline.h"
#include "settings.h"
#include "simprocess.h"
#include "testdb.h"
#include "ucptcpdialogue.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestConnectionTestE2E : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eachKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("simArguments"); // "--tcp" added for the internet kind
        QTest::addColumn<QString>("secret");           // password or SIM PIN configured
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("summary");   // the beginning of it
        QTest::addColumn<QStringList>("steps"); // each contained in some step, in order

        const QString standing = u"Verbindung steht"_s;
        QTest::newRow("modem") << int(ConnectionKind::DialUp)
                               << QStringList{u"--connect-delay"_s, u"50"_s} << QString() << true
                               << standing
                               << QStringList{u"Port /dev/pts/"_s, u"→ ATDT 0800123456<CR>"_s,
                                              u"← <CR><LF>CONNECT"_s, u"Port geschlossen"_s};
        // COM9 has no link in the folder: the built-in /dev/ttyS8, which
        // this machine lacks.
        QTest::newRow("modem, no port")
            << int(ConnectionKind::DialUp) << QStringList{u"--port-override"_s} << QString()
            << false << QString() << QStringList{u"Port /dev/ttyS8 nicht geöffnet"_s};
        QTest::newRow("modem busy")
            << int(ConnectionKind::DialUp) << QStringList{u"--dial"_s, u"busy"_s} << QString()
            << false << u"Besetzt"_s << QStringList{u"→ ATDT"_s, u"BUSY"_s};
        QTest::newRow("internet") << int(ConnectionKind::Tcp) << QStringList() << u"geheim"_s
                                  << true << standing
                                  << QStringList{u"Verbinde mit 127.0.0.1:"_s,
                                                 u"/O/60/4179000000/6/5/1/<Passwort>/"_s,
                                                 u"← <STX>00/00019/R/60/A//"_s};
        QTest::newRow("internet, wrong password")
            << int(ConnectionKind::Tcp) << QStringList() << u"falsch"_s << false
            << u"Anmeldung abgelehnt (07"_s << QStringList{u"/R/60/N/07/"_s};
        QTest::newRow("gsm") << int(ConnectionKind::Gsm)
                             << QStringList{u"--gsm"_s, u"--pin"_s, u"1234"_s} << u"1234"_s << true
                             << standing
                             << QStringList{u"→ AT+CPIN?<CR>"_s, u"→ AT+CPIN=<PIN><CR>"_s,
                                            u"→ AT+CMGF=0<CR>"_s};
        QTest::newRow("gsm, no PIN configured")
            << int(ConnectionKind::Gsm) << QStringList{u"--gsm"_s, u"--pin"_s, u"1234"_s}
            << QString() << false << QString() << QStringList{u"SIM PIN"_s};
    }
    void eachKind()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, simArguments);
        QFETCH(QString, secret);
        QFETCH(bool, ok);
        QFETCH(QString, summary);
        QFETCH(QStringList, steps);

        QTemporaryDir dir;
        TestDb::Settings row;
        const bool noPort = simArguments.removeAll(u"--port-override"_s) > 0;
        row.comPort = noPort ? 9 : 4;
        row.providerNummer = u"0800 123 456"_s;
        const QString path = TestDb::create(dir.path(), row);
        Settings settings(path);
        QVERIFY(settings.reload());
        SimProcess sim;
        ConnectionValues values;
        values.kind = ConnectionKind(kind);
        if (values.kind == ConnectionKind::Tcp) {
            QVERIFY(sim.start(QStringList{u"--tcp"_s, u"0"_s, u"--account"_s, u"4179000000"_s,
                                          u"--password"_s, u"geheim"_s} +
                              simArguments));
            const QString address = sim.values(u"READY"_s).constFirst();
            values.server = u"127.0.0.1"_s;
            values.tcpPort = address.section(u':', -1).toInt();
            values.account = u"4179000000"_s;
            values.password = secret;
        } else {
            QVERIFY(sim.start(dir.path(), 4, simArguments));
            values.simPin = secret;
        }
        ConnectionSettings connection(path, nullptr);
        QVERIFY(connection.save(values));

        QtSerialLine serial;
        RecordingLine line(&serial);
        DialUpDialogue dialUp(&line, &settings, dir.path());
        UcpTcpDialogue tcp([&connection] {
            const ConnectionValues v = connection.values();
            return UcpTcpAccount{v.server, quint16(v.tcpPort), v.account, v.password};
        });
        GsmDialogue gsm(&line, &settings, dir.path(), [&connection] {
            return GsmAccount{connection.values().simPin, QString()};
        });
        ChosenDialogue chosen(&connection);
        chosen.setDialogue(ConnectionKind::DialUp, &dialUp);
        chosen.setDialogue(ConnectionKind::Tcp, &tcp);
        chosen.setDialogue(ConnectionKind::Gsm, &gsm);
        ConnectionTest test(&chosen, nullptr);
        test.addSource(&line);
        QSignalSpy stepped(&test, &ConnectionTest::step);
        QSignalSpy finished(&test, &ConnectionTest::finished);
        test.start();
        if (finished.isEmpty())
            QVERIFY(finished.wait(15000));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toBool(), ok);
        const QString said = finished.at(0).at(1).toString();
        QVERIFY2(said.startsWith(summary), qPrintable(said));

        QStringList told;
        for (const QList<QVariant> &step : std::as_const(stepped))
            told.append(step.at(0).toString());
        qsizetype from = 0;
        for (const QString &expected : std::as_const(steps)) {
            while (from < told.size() && !told.at(from).contains(expected))
                ++from;
            QVERIFY2(from < told.size(), qPrintable(expected + u"\n"_s + told.join(u'\n')));
        }
        // Nothing was ever submitted: no frame, no PDU.
        QCOMPARE(sim.count(u"SMS"_s), 0);
        QVERIFY(!told.join(u'\n').contains(u"/O/01/"_s));
        QVERIFY(!told.join(u'\n').contains(u"AT+CMGS"_s));
        QVERIFY(!test.isRunning());
    }
};

QTEST_GUILESS_MAIN(TestConnectionTestE2E)
#include "tst_connectiontest_e2e.moc"
