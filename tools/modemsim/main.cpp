// modemsim: a Hayes modem and a UCP message centre on a pseudo-terminal, or
// the message centre alone on a TCP port.
//
//   modemsim --dir DIR --port N [--dial LIST] [--centre LIST]
//            [--connect-delay MS] [--reply-delay MS] [--log FILE]
//            [--account A [--password P]] [--drop-after N] [--baud BAUD]
//            [--unplug N:MS]
//   modemsim --tcp PORT [the same options but --dir, --port, --dial]
//            [--outcome LIST] [--incoming SENDER=TEXT]... [--incoming-after MS]
//            [--keepalive-limit MS]
//   modemsim --smpp PORT [--system-id ID --password PW] [--smpp-answer NUMBER=ANSWER]...
//            [--receipt-id-decimal] [--smpp-shuffle] [--receipt-delay MS]
//            [--enquire-every MS] [--incoming-sar] [--tls-cert FILE --tls-key FILE]
//            [--reply-delay MS] [--outcome LIST] [--incoming SENDER=TEXT]...
//            [--incoming-after MS] [--keepalive-limit MS] [--log FILE]
//   modemsim --dir DIR --port N --gsm [--pin PIN] [--csca NUMBER]
//            [--cmgs LIST] [--urc LINE]... [--reply-delay MS] [--log FILE]
//
// The program under test opens DIR/COMn as its serial port, or connects to
// 127.0.0.1:PORT. Each event is printed as one line on stdout (READY, OPEN,
// RX, DIAL, RESULT, ABORT, FRAME, LOGIN, SMS, INVALID, REPLY, ASK, ANSWER,
// UNANSWERED, DROP, HANGUP, UNPLUG, PLUG; over TCP also SMS51, MESSAGE,
// ALERT, REFUSED and STATS) so that tests can follow the call.
// The GSM modem reports COMMAND, RESULT, PIN, PROMPT, PDU, SMS, INVALID,
// MESSAGE (a whole message, its parts joined), URC and CANCEL instead.
// The SMPP centre reports OPEN, TLS, PDU, BIND, SUBMIT, PART, DECLINED,
// SILENT, REPLY, RECEIPT, DELIVER, ANSWER, REFUSED, INVALID, UNBIND, DROP,
// UNANSWERED, HANGUP and STATS.

#include "bytepacer.h"
#include "devicelink.h"
#include "gsmmodem.h"
#include "modem.h"
#include "ptyline.h"
#include "reporter.h"
#include "simoptions.h"
#include "smppcentre.h"
#include "tcpcentre.h"
#include "terminationwatcher.h"

#include <QCoreApplication>
#include <QTimer>

#include <csignal>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "modemsim: %s\n", message.toLocal8Bit().constData());
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // A reader that went away must not kill the simulator halfway.
    std::signal(SIGPIPE, SIG_IGN);

    QString error;
    const std::optional<SimOptions> options = SimOptions::parse(app.arguments(), &error);
    if (!options) {
        fail(error);
        return 2;
    }
    if (!options->helpText.isEmpty()) {
        std::fputs(options->helpText.toLocal8Bit().constData(), stdout);
        return 0;
    }

    Reporter reporter;
    if (!options->logFile.isEmpty() && !reporter.openLog(options->logFile, &error))
        return fail(error);

    TerminationWatcher termination;
    if (!termination.install(&error))
        return fail(error);
    QObject::connect(&termination, &TerminationWatcher::terminationRequested, &app,
                     &QCoreApplication::quit);
    // A simulator whose program is gone (killed, crashed) has nobody left to
    // talk to: it ends too, and removes its link.
    TerminationWatcher::endWithParent();

    if (options->smpp.port) {
        SmppCentre centre(*options);
        QObject::connect(&centre, &SmppCentre::report, &app,
                         [&reporter](const QString &text) { reporter.line(text); });
        if (!centre.listen(*options->smpp.port, &error))
            return fail(error);
        reporter.line(u"READY "_s + centre.address());
        const int status = QCoreApplication::exec();
        reporter.line(centre.statsLine());
        return status;
    }
    if (options->tcpPort) {
        TcpCentre centre(*options);
        QObject::connect(&centre, &TcpCentre::report, &app,
                         [&reporter](const QString &text) { reporter.line(text); });
        if (!centre.listen(*options->tcpPort, &error))
            return fail(error);
        reporter.line(u"READY "_s + centre.address());
        const int status = QCoreApplication::exec();
        reporter.line(centre.statsLine());
        return status;
    }

    PtyLine line;
    if (!line.create(&error))
        return fail(error);
    DeviceLink link(options->dir, options->port);
    if (!link.create(line.slavePath(), &error))
        return fail(error);

    if (options->gsm.enabled)
        return runGsmModem(*options, line, link, reporter);

    Modem modem(*options);
    BytePacer toProgram(options->baud);
    BytePacer fromProgram(options->baud);
    QObject::connect(&modem, &Modem::transmit, &toProgram, &BytePacer::push);
    // --unplug: from the frame that pulls the device out until it is back,
    // nothing reaches the program, not even the answer already scheduled.
    bool unplugged = false;
    int frames = 0;
    const auto plugIn = [&] {
        if (!line.create(&error) || !link.create(line.slavePath(), &error)) {
            reporter.line(u"PLUG failed: "_s + error);
            return;
        }
        unplugged = false;
        reporter.line(u"PLUG "_s + link.path() + u' ' + line.slavePath());
    };
    const auto unplug = [&] {
        line.unplug();
        link.remove();
        fromProgram.clear();
        toProgram.clear();
        modem.hangUp();
        reporter.line(u"UNPLUG"_s);
        if (options->replugMs > 0)
            QTimer::singleShot(options->replugMs, &app, plugIn);
    };
    QObject::connect(&toProgram, &BytePacer::paced, &line, [&](const QByteArray &bytes) {
        if (!unplugged)
            line.send(bytes);
    });
    QObject::connect(&modem, &Modem::report, &app, [&](const QString &text) {
        reporter.line(text);
        if (text.startsWith(u"FRAME "_s) && ++frames == options->unplugAtFrame) {
            unplugged = true;
            // Not here, in the middle of reading the line: once this event
            // is done.
            QTimer::singleShot(0, &app, unplug);
        }
    });
    QObject::connect(&line, &PtyLine::opened, &app, [&reporter] { reporter.line(u"OPEN"_s); });
    QObject::connect(&line, &PtyLine::received, &app,
                     [&reporter, &fromProgram](const QByteArray &bytes) {
                         reporter.line(u"RX "_s + QString::fromLatin1(bytes.toHex().toUpper()));
                         fromProgram.push(bytes);
                     });
    QObject::connect(&fromProgram, &BytePacer::paced, &modem, &Modem::receive);
    QObject::connect(&line, &PtyLine::hungUp, &modem, [&] {
        fromProgram.clear();
        toProgram.clear();
        modem.hangUp();
    });

    reporter.line(u"READY "_s + link.path() + u' ' + line.slavePath());
    const int status = QCoreApplication::exec();
    link.remove();
    return status;
}
