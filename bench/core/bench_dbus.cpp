// Prints how fast another program queues messages over D-Bus, and how long
// the program's event loop was ever kept from running meanwhile: a client
// process (this program with --client) makes N Send calls, first one after
// another (each waits for its answer), then all at once (each answered
// when the program gets to it). The program runs the messaging core on a
// fresh Daten.mdb with sending paused, so every message is stored in the
// queue's journal and stays there. Run on a session bus of its own:
//   dbus-run-session -- build/bin/bench_dbus [N]   (default 10000)
// Asserts nothing.
#include "fakeclock.h"
#include "funkboteservice.h"
#include "messagingcore.h"
#include "newstore.h"
#include "outgoingqueue.h"
#include "prompter.h"
#include "sendengine.h"
#include "stallmeter.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

class SilentPrompter final : public Prompter
{
public:
    Answer message(const QString &, Buttons buttons, Icon) override
    {
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
    std::optional<QString> input(const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
};

QDBusMessage sendCall(int i)
{
    QDBusMessage message =
        QDBusMessage::createMethodCall(u"ch.funkbote.Funkbote"_s, u"/ch/funkbote/Funkbote"_s,
                                       u"ch.funkbote.Funkbote1"_s, u"Send"_s);
    message.setArguments({u"079 123 %1"_s.arg(i % 10000, 4, 10, QChar(u'0')),
                          u"Ihre Bestellung %1 ist bereit."_s.arg(i)});
    return message;
}

// The client: N calls one after another, then N at once; prints the
// seconds each took, or the first error.
int runClient(int count, bool atOnce)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    QElapsedTimer clock;
    clock.start();
    if (!atOnce) {
        for (int i = 0; i < count; ++i) {
            const QDBusMessage reply = bus.call(sendCall(i));
            if (reply.type() != QDBusMessage::ReplyMessage) {
                std::fprintf(stderr, "%s\n", qPrintable(reply.errorMessage()));
                return 1;
            }
        }
    } else {
        QList<QDBusPendingCall> pending;
        pending.reserve(count);
        for (int i = 0; i < count; ++i)
            pending.append(bus.asyncCall(sendCall(i)));
        for (QDBusPendingCall &call : pending) {
            call.waitForFinished();
            if (call.isError()) {
                std::fprintf(stderr, "%s\n", qPrintable(call.error().message()));
                return 1;
            }
        }
    }
    std::printf("%.3f\n", double(clock.nsecsElapsed()) / 1e9);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.value(1) == u"--client")
        return runClient(arguments.value(2).toInt(), arguments.value(3) == u"at-once");
    const int count = arguments.size() > 1 ? arguments.at(1).toInt() : 10000;

    for (const bool atOnce : {false, true}) {
        QTemporaryDir dir;
        if (const QString error = NewStore::create(QDir(dir.path()).filePath(u"Daten.mdb"_s));
            !error.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        SilentPrompter prompter;
        FakeClock clock;
        MessagingCore core(MessagingCore::Environment{
            .programDir = dir.path(), .prompter = &prompter, .clock = &clock});
        FunkboteService service(&core);
        QString error;
        if (!service.registerOn(QDBusConnection::sessionBus(), &error)) {
            std::fprintf(stderr, "%s (run under dbus-run-session)\n", qPrintable(error));
            return 1;
        }
        core.start();
        core.engine()->pause();

        StallMeter stalls;
        stalls.setMeasuring(true);
        QProcess client;
        client.start(QCoreApplication::applicationFilePath(),
                     {u"--client"_s, QString::number(count), atOnce ? u"at-once"_s : u"in-turn"_s});
        QObject::connect(&client, &QProcess::finished, &app, &QCoreApplication::quit);
        app.exec();
        stalls.setMeasuring(false);
        const QString seconds = QString::fromUtf8(client.readAllStandardOutput()).trimmed();
        std::printf("%d Send calls %s: %s s in the client, %d queued, longest stall %.1f ms, "
                    "%d stalls over 16 ms\n",
                    count, atOnce ? "at once" : "one after another", qPrintable(seconds),
                    core.queue()->count(), stalls.maxGapMs(), stalls.longGaps());
        if (client.exitCode() != 0)
            std::fprintf(stderr, "%s", client.readAllStandardError().constData());
        core.shutDown(true);
    }
    return 0;
}
