#include "connectionsettings.h"
#include "fakeclock.h"
#include "funkboteservice.h"
#include "inbound.h"
#include "messagingcore.h"
#include "outgoingqueue.h"
#include "programdoor.h"
#include "scriptedprompter.h"
#include "sendengine.h"
#include "simprocess.h"
#include "testdb.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QFile>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(ConnectionKind)

namespace {

QDBusMessage methodCall(const QString &method, const QVariantList &arguments = {},
                        const QString &interface = u"ch.funkbote.Funkbote1"_s)
{
    QDBusMessage message = QDBusMessage::createMethodCall(
        u"ch.funkbote.Funkbote"_s, u"/ch/funkbote/Funkbote"_s, interface, method);
    message.setArguments(arguments);
    return message;
}

// The answer to a call from another connection (another program), with the
// event loop running so that the service in this thread can answer.
QDBusMessage callFrom(const QString &caller, const QDBusMessage &message)
{
    QDBusPendingCall pending =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, caller).asyncCall(message);
    if (!QTest::qWaitFor([&] { return pending.isFinished(); }, 20000))
        return QDBusMessage();
    return pending.reply();
}

// A core on a fresh Daten.mdb (dial-up unless told, which takes any length
// in marked parts), its service on the session bus of the test (a private
// one, from dbus-run-session), and a caller's view of it.
struct Rig
{
    explicit Rig(const QString &dir, ConnectionKind kind = ConnectionKind::DialUp,
                 quint16 tcpPort = 0)
    {
        const QString path = QDir(dir).filePath(u"Daten.mdb"_s);
        if (!QFile::exists(path))
            TestDb::create(dir);
        if (kind != ConnectionKind::DialUp) {
            ConnectionSettings stored(path, nullptr);
            ConnectionValues values;
            values.kind = kind;
            values.server = u"127.0.0.1"_s;
            values.tcpPort = tcpPort;
            stored.save(values);
        }
        core = std::make_unique<MessagingCore>(
            MessagingCore::Environment{.programDir = dir, .prompter = &prompter, .clock = &clock});
        service = std::make_unique<FunkboteService>(core.get());
        core->start();
        if (tcpPort == 0)
            core->engine()->pause(); // nothing is dialled: the entries stay queued
    }

    QDBusMessage call(const QString &method, const QVariantList &arguments = {}) const
    {
        return callFrom(u"Aufrufer"_s, methodCall(method, arguments));
    }

    ScriptedPrompter prompter;
    FakeClock clock;
    std::unique_ptr<MessagingCore> core;
    std::unique_ptr<FunkboteService> service;
};

// Methods and signals with the types of their arguments, in and out.
QSet<QString> members(const QString &xml)
{
    QSet<QString> result;
    QXmlStreamReader reader(xml);
    QString member;
    QStringList ins;
    QStringList outs;
    bool inInterface = false;
    while (!reader.atEnd()) {
        reader.readNext();
        const QString name = reader.name().toString();
        if (reader.isStartElement() && name == u"interface")
            inInterface = reader.attributes().value(u"name"_s) == u"ch.funkbote.Funkbote1";
        if (!inInterface)
            continue;
        if (reader.isStartElement() && (name == u"method" || name == u"signal")) {
            member = name + u' ' + reader.attributes().value(u"name"_s).toString();
            ins.clear();
            outs.clear();
        } else if (reader.isStartElement() && name == u"arg") {
            // A method's arguments are "in" unless told; a signal's go out.
            const QStringView direction = reader.attributes().value(u"direction"_s);
            const QString type = reader.attributes().value(u"type"_s).toString();
            if (direction == u"out" || (direction.isEmpty() && member.startsWith(u"signal")))
                outs << type;
            else
                ins << type;
        } else if (reader.isEndElement() && (name == u"method" || name == u"signal")) {
            result.insert(member + u'(' + ins.join(u',') + u" -> "_s + outs.join(u',') + u')');
        } else if (reader.isEndElement() && name == u"interface") {
            inInterface = false;
        }
    }
    return result;
}

} // namespace

class TestFunkboteService : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(),
                 "run under dbus-run-session: no session bus");
    }

    void interfaceIsTheOneDescribed()
    {
        QTemporaryDir dir;
        Rig rig(dir.path());
        QString error;
        QVERIFY2(rig.service->registerOn(QDBusConnection::sessionBus(), &error), qPrintable(error));
        const QDBusMessage reply =
            callFrom(u"Aufrufer"_s,
                     methodCall(u"Introspect"_s, {}, u"org.freedesktop.DBus.Introspectable"_s));
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
        QFile described(QStringLiteral(FUNKBOTE_INTERFACE_XML));
        QVERIFY(described.open(QIODevice::ReadOnly));
        const QSet<QString> expected = members(QString::fromUtf8(described.readAll()));
        QCOMPARE(expected.size(), 7);
        QCOMPARE(members(reply.arguments().value(0).toString()), expected);

        // A second program on the same bus cannot take the name.
        QTemporaryDir other;
        Rig second(other.path());
        QVERIFY(!second.service->registerOn(
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"zweites Programm"_s),
            &error));
        QVERIFY2(error.contains(u"ch.funkbote.Funkbote"_s), qPrintable(error));
    }

    void sendThroughTheDoor_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("message");
        QTest::addColumn<ConnectionKind>("kind");
        const QString prefix = u"ch.funkbote.Funkbote1.Error."_s;
        QTest::newRow("queued") << u"+41 79 123 45 67"_s << u"Test"_s << QString() << QString()
                                << ConnectionKind::DialUp;
        QTest::newRow("empty text") << u"0791234567"_s << QString() << prefix + u"EmptyText"_s
                                    << u"Die Nachricht ist leer."_s << ConnectionKind::DialUp;
        QTest::newRow("letter in number")
            << u"079x"_s << u"Test"_s << prefix + u"InvalidNumber"_s
            << u"Die Mobilnummer \"079x\" enthält das Zeichen \"x\". Eine Nummer besteht aus "
               u"Ziffern, Leerzeichen und den Trennzeichen - / . ( ); ein \"+\" ist nur am "
               u"Anfang erlaubt."_s
            << ConnectionKind::DialUp;
        QTest::newRow("no digit") << u" - "_s << u"Test"_s << prefix + u"InvalidNumber"_s
                                  << u"Die Mobilnummer enthält keine Ziffer."_s
                                  << ConnectionKind::DialUp;
        QTest::newRow("stop list")
            << u"079 999 88 77"_s << u"Test"_s << prefix + u"StopListed"_s
            << u"079 999 88 77 hat den Empfang abgelehnt (STOP am "_s << ConnectionKind::DialUp;
        // A GSM modem sends a message whole, as at most 255 SMS.
        QTest::newRow("too long") << u"0791234567"_s << QString(40'000, u'a')
                                  << prefix + u"TooLong"_s << u"Die Nachricht ist zu lang: "_s
                                  << ConnectionKind::Gsm;
    }
    void sendThroughTheDoor()
    {
        QFETCH(QString, number);
        QFETCH(QString, text);
        QFETCH(QString, error);
        QFETCH(QString, message);
        QFETCH(ConnectionKind, kind);
        QTemporaryDir dir;
        Rig rig(dir.path(), kind);
        QString busError;
        QVERIFY(rig.service->registerOn(QDBusConnection::sessionBus(), &busError));
        QVERIFY(rig.core->inbound()->receive(u"+41799998877"_s, u"STOP"_s,
                                             QDateTime::currentDateTimeUtc()));

        const QDBusMessage sent = rig.call(u"Send"_s, {number, text});
        if (!error.isEmpty()) {
            QCOMPARE(sent.errorName(), error);
            QVERIFY2(sent.errorMessage().startsWith(message), qPrintable(sent.errorMessage()));
            QCOMPARE(rig.core->queue()->count(), 0);
            return;
        }
        QCOMPARE(sent.type(), QDBusMessage::ReplyMessage);
        const qulonglong id = sent.arguments().value(0).toULongLong();
        QVERIFY(id > 0);
        const QDBusMessage status = rig.call(u"Status"_s, {id});
        QCOMPARE(status.arguments().value(0).toString(), u"queued"_s);
        QCOMPARE(status.arguments().value(1).toString(), u"In der Warteschlange."_s);
        QCOMPARE(rig.call(u"Status"_s, {id + 1}).arguments().value(0).toString(), u"unknown"_s);
        // The number as the queue holds it, with the stored call-back number.
        const QDBusReply<QueuedMessages> queue = rig.call(u"Queue"_s);
        QVERIFY(queue.isValid());
        QCOMPARE(queue.value().size(), 1);
        QCOMPARE(queue.value().at(0).id, id);
        QCOMPARE(queue.value().at(0).number, u"0041791234567"_s);
        QCOMPARE(queue.value().at(0).text, text);
        QCOMPARE(rig.core->queue()->at(0).rueckrufNummer, u"0795556677"_s);
    }

    void twoCallersAtOnce()
    {
        QTemporaryDir dir;
        Rig rig(dir.path());
        QString error;
        QVERIFY(rig.service->registerOn(QDBusConnection::sessionBus(), &error));
        QList<QDBusConnection> callers;
        for (const QString &name : {u"erster"_s, u"zweiter"_s})
            callers << QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
        // The event loop runs while they wait: the service answers in it.
        // Both send before either waits for an answer: the calls interleave.
        QList<QDBusPendingCall> pending;
        for (int i = 0; i < 50; ++i) {
            for (int c = 0; c < 2; ++c) {
                pending << callers[c].asyncCall(
                    methodCall(u"Send"_s, {u"07912345%1"_s.arg(qlonglong(i), 2, 10, QChar(u'0')),
                                           u"Nachricht %1 von %2"_s.arg(i).arg(c)}));
            }
        }
        QTRY_VERIFY(std::all_of(pending.cbegin(), pending.cend(),
                                [](const QDBusPendingCall &call) { return call.isFinished(); }));
        QSet<qulonglong> ids;
        for (const QDBusPendingCall &call : std::as_const(pending)) {
            QDBusPendingReply<qulonglong> reply = call;
            QVERIFY2(reply.isValid(), qPrintable(reply.error().message()));
            ids.insert(reply.value());
        }
        QCOMPARE(ids.size(), 100);
        QCOMPARE(rig.core->queue()->count(), 100);
        QCOMPARE(
            TestDb::scalar(rig.core->databasePath(), u"SELECT count(*) FROM PendingMessages"_s),
            QVariant(100));
        for (const QString &name : {u"erster"_s, u"zweiter"_s})
            QDBusConnection::disconnectFromBus(name);
    }

    // Sent through the simulator's centre: the signals come, the state
    // follows the log row and the report, and a later run never gives the
    // same id again.
    void signalsAndStatesOfASentMessage()
    {
        SimProcess sim;
        QVERIFY(sim.start({u"--tcp"_s, u"0"_s, u"--reply-delay"_s, u"0"_s, u"--incoming"_s,
                           u"0791112233=Gerne, danke"_s}));
        const quint16 port = sim.values(u"READY"_s).value(0).section(u':', 1).toUShort();
        QTemporaryDir dir;
        qulonglong id = 0;
        {
            Rig rig(dir.path(), ConnectionKind::Tcp, port);
            QString error;
            QVERIFY(rig.service->registerOn(QDBusConnection::sessionBus(), &error));
            QSignalSpy sent(rig.service.get(), &FunkboteService::MessageSent);
            QSignalSpy delivery(rig.service.get(), &FunkboteService::DeliveryChanged);
            QSignalSpy received(rig.service.get(), &FunkboteService::MessageReceived);
            id = rig.call(u"Send"_s, {u"079 123 45 67"_s, u"Grüezi"_s})
                     .arguments()
                     .value(0)
                     .toULongLong();
            QVERIFY(id > 0);
            rig.core->engine()->tick();
            QTRY_COMPARE_WITH_TIMEOUT(sent.size(), 1, 20000);
            QCOMPARE(sent.at(0).at(0).toULongLong(), id);
            QCOMPARE(sent.at(0).at(1).toString(), u"OK"_s);
            QTRY_COMPARE_WITH_TIMEOUT(delivery.size(), 1, 20000);
            QCOMPARE(delivery.at(0), (QVariantList{id, u"delivered"_s}));
            QCOMPARE(rig.call(u"Status"_s, {id}).arguments().value(0).toString(), u"delivered"_s);
            QTRY_COMPARE_WITH_TIMEOUT(received.size(), 1, 20000);
            QCOMPARE(received.at(0).at(0).toString(), u"0791112233"_s);
            QCOMPARE(received.at(0).at(1).toString(), u"Gerne, danke"_s);
            QVERIFY(received.at(0).at(2).toLongLong() > 0);
            rig.core->shutDown(true);
        }
        // The queue is empty now, yet the next message gets a new id, and
        // the old one still tells how its message went.
        Rig again(dir.path());
        QString error;
        QVERIFY(again.service->registerOn(QDBusConnection::sessionBus(), &error));
        const qulonglong next = again.call(u"Send"_s, {u"0791234567"_s, u"Noch eine"_s})
                                    .arguments()
                                    .value(0)
                                    .toULongLong();
        QCOMPARE(next, id + 1);
        QCOMPARE(again.call(u"Status"_s, {id}).arguments().value(0).toString(), u"delivered"_s);
    }
};

QTEST_GUILESS_MAIN(TestFunkboteService)
#include "tst_funkboteservice.moc"
