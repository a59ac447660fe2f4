// Sends messages to tools/modemsim answering at once and prints how many go
// out per minute and how long the event loop was ever kept from running:
// - one call per message through the real QSerialPort, ticking the engine
//   as soon as the previous call has been hung up (N messages);
// - one modem call carrying them all (batch mode) on a line paced like
//   9600 baud (N/2 messages, at least 2), against the line's own limit;
// - one UCP session over TCP/IP on 127.0.0.1 (4 N messages);
// - the throughput of that session (M messages, each stored in the queue's
//   journal and marked as going out before it leaves, as in the program):
//   with one operation in flight and with a window of 10, each with
//   SQLite's own commits and with every commit 10 ms longer (a busy disk);
// - the same M messages over an SMPP session (bind_transceiver, submit_sm)
//   with a window of 1 and of 10, beside the UCP figures.
//
//   bench_engine [N] [M]     (default 40, 5000)

#include "clock.h"
#include "dialupdialogue.h"
#include "outgoingqueue.h"
#include "prompter.h"
#include "qtserialline.h"
#include "schema.h"
#include "sendengine.h"
#include "sendlog.h"
#include "sendlogwriter.h"
#include "settings.h"
#include "smppdialogue.h"
#include "stallmeter.h"
#include "storeconnection.h"
#include "storedqueue.h"
#include "ucp.h"
#include "ucptcpdialogue.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int simPort = 7;

QString message(int i)
{
    QString text = u"Nachricht "_s + QString::number(i) +
                   u": Das Treffen am Donnerstag verschiebt sich auf 14:30 Uhr. Bitte bring "
                   u"die Unterlagen für das Büro mit. Grüsse und bis bald, Peter"_s;
    return text.left(160);
}

enum class Mode { OnePerCall, Batch, Tcp, Smpp };

// How the TCP/IP session runs.
struct TcpRun
{
    int window = 1;
    int commitDelayMs = 0;
    // Entries stored in the journal and marked before they leave.
    bool journal = false;
};

// The journal asks nothing when it starts empty; should it fail, the bench
// says so rather than answering for a user.
class PrintingPrompter final : public Prompter
{
public:
    Answer message(const QString &text, Buttons, Icon) override
    {
        std::fprintf(stderr, "bench_engine: %s\n", qPrintable(text));
        return Answer::No;
    }
    std::optional<QString> input(const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
};

struct Figures
{
    int rows = 0;
    qint64 ms = 0;
    int failed = 0;
    int failureReports = 0;
    double maxGapMs = 0;
    int longGaps = 0;
    double longestTickMs = 0;
    bool ok = false;
};

QString frameText(int i)
{
    return SMSSendString(u"0791234567"_s, message(i), u"0311234567"_s);
}

// One run in a folder of its own, with a Daten.mdb of its own.
Figures run(Mode mode, int total, const QString &dirPath, const TcpRun &tcp = {})
{
    Figures figures;
    QDir().mkpath(dirPath);
    const QString dbPath = dirPath + u'/' + Schema::fileName;
    StoreConnection connection(dbPath, u"bench"_s + dirPath);
    if (!connection.isOpen() || !connection.createSchema()) {
        std::fprintf(stderr, "bench_engine: cannot create %s: %s\n", qPrintable(dbPath),
                     qPrintable(connection.lastError()));
        return figures;
    }
    SendLog log(connection.database());
    QSqlQuery row(connection.database());
    if (!row.prepare(u"UPDATE Einstellungen SET ComPort = ?, ProviderNummer = ?, "
                     u"InitialisierungsBefehl = ?"_s)) {
        std::fprintf(stderr, "bench_engine: %s\n", qPrintable(row.lastError().text()));
        return figures;
    }
    row.addBindValue(simPort);
    row.addBindValue(u"012345678"_s);
    row.addBindValue(u"ATDT"_s);
    Settings settings(dbPath);
    if (!row.exec() || !settings.reload()) {
        std::fprintf(stderr, "bench_engine: cannot store the settings: %s\n",
                     qPrintable(row.lastError().text() + settings.lastError()));
        return figures;
    }

    QEventLoop loop;
    SystemClock clock;
    OutgoingQueue queue;
    PrintingPrompter prompter;
    std::unique_ptr<StoredQueue> journal;
    if (tcp.journal) {
        journal = std::make_unique<StoredQueue>(dbPath, &queue, &prompter, &clock);
        journal->restore();
    }
    QList<QueueEntry> entries;
    for (int i = 1; i <= total; ++i)
        entries.append(QueueEntry{0, u"0791234567"_s, message(i), u"0311234567"_s});
    queue.appendMany(entries);
    QtSerialLine line;
    UcpTcpAccount account;
    SmppAccount smppAccount{u"127.0.0.1"_s, 0, u"bench"_s, u"geheim"_s};
    std::unique_ptr<CallDialogue> dialogue;
    const bool session = mode == Mode::Tcp || mode == Mode::Smpp;
    if (mode == Mode::Smpp) {
        smppAccount.window = tcp.window;
        smppAccount.deliveryReports = false;
        dialogue = std::make_unique<SmppDialogue>([&smppAccount] { return smppAccount; });
    } else if (mode == Mode::Tcp) {
        account.window = tcp.window;
        // Delivery reports are measured by bench_ucp_reports.
        account.deliveryReports = false;
        dialogue = std::make_unique<UcpTcpDialogue>([&account] { return account; });
    } else {
        auto modem = std::make_unique<DialUpDialogue>(&line, &settings, dirPath);
        modem->setSeveralPerCall(mode == Mode::Batch);
        dialogue = std::move(modem);
    }
    SendEngine engine(&queue, &log, dialogue.get(), &clock);
    if (tcp.commitDelayMs > 0)
        engine.findChild<SendLogWriter *>()->setCommitDelayForTesting(tcp.commitDelayMs);
    StallMeter stalls;

    // The simulator reports each hang-up; the next call is dialled only
    // after it, as a real modem also needs to have hung up first.
    QProcess sim;
    QByteArray simOutput;
    int hangups = 0;
    bool ready = false;
    int logged = 0;
    QElapsedTimer elapsed;
    qint64 longestTickNs = 0;

    auto tickNow = [&] {
        QElapsedTimer t;
        t.start();
        engine.tick();
        longestTickNs = std::max(longestTickNs, t.nsecsElapsed());
    };
    auto nextCall = [&] {
        if (engine.state() != Sending::State::Idle)
            return;
        if (queue.isEmpty()) {
            // Over TCP/IP the session is held open; a modem call must have
            // been hung up.
            if (session || hangups > 0)
                loop.quit();
            return;
        }
        if (hangups < logged)
            return;
        QTimer::singleShot(0, &loop, tickNow);
    };

    QObject::connect(&sim, &QProcess::readyReadStandardOutput, &loop, [&] {
        simOutput += sim.readAllStandardOutput();
        qsizetype end;
        while ((end = simOutput.indexOf('\n')) >= 0) {
            const QByteArray lineText = simOutput.left(end);
            simOutput.remove(0, end + 1);
            if (lineText.startsWith("READY ") && !ready) {
                ready = true;
                if (session) {
                    const QByteArray address = lineText.mid(6).trimmed();
                    account.host = QString::fromLatin1(address.left(address.indexOf(':')));
                    account.port = address.mid(address.indexOf(':') + 1).toUShort();
                    smppAccount.port = account.port;
                }
                stalls.setMeasuring(true);
                elapsed.start();
                tickNow();
            } else if (lineText == "HANGUP") {
                ++hangups;
                nextCall();
            }
        }
    });
    QObject::connect(&engine, &SendEngine::messageLogged, &loop, [&] { ++logged; });
    // A failure report would mean failed calls, which no one answers here.
    QObject::connect(&engine, &SendEngine::attemptsFailing, &loop,
                     [&] { ++figures.failureReports; });
    QObject::connect(&engine, &SendEngine::stateChanged, &loop, nextCall);
    QObject::connect(&sim, &QProcess::finished, &loop, [&] {
        std::fprintf(stderr, "bench_engine: modemsim ended early\n");
        loop.exit(1);
    });
    // A failed call would wait 40 s for its time-out; give up long before.
    QTimer::singleShot(180000, &loop, [&] {
        std::fprintf(stderr, "bench_engine: gave up after 180 s\n");
        loop.exit(1);
    });

    QStringList arguments{u"--reply-delay"_s, u"0"_s};
    if (mode == Mode::Tcp)
        arguments += {u"--tcp"_s, u"0"_s};
    else if (mode == Mode::Smpp)
        arguments += {u"--smpp"_s,          u"0"_s,          u"--system-id"_s,
                      smppAccount.systemId, u"--password"_s, smppAccount.password};
    else
        arguments += {u"--dir"_s,           dirPath, u"--port"_s, QString::number(simPort),
                      u"--connect-delay"_s, u"0"_s};
    if (mode == Mode::Batch)
        arguments += {u"--baud"_s, u"9600"_s};
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(QCoreApplication::applicationDirPath() + u"/modemsim"_s, arguments);
    const int status = loop.exec();
    figures.ms = elapsed.elapsed();
    stalls.setMeasuring(false);
    engine.shutDown();
    QObject::disconnect(&sim, &QProcess::finished, nullptr, nullptr);

    figures.rows = int(log.readAll().size());
    figures.failed = engine.fehlversuche();
    figures.maxGapMs = stalls.maxGapMs();
    figures.longGaps = stalls.longGaps();
    figures.longestTickMs = double(longestTickNs) / 1e6;
    figures.ok = status == 0 && figures.rows == total;

    // Let the simulator go before the temporary folder disappears.
    QEventLoop shutdown;
    QObject::connect(&sim, &QProcess::finished, &shutdown, &QEventLoop::quit);
    QTimer::singleShot(3000, &shutdown, [&] {
        sim.kill();
        shutdown.quit();
    });
    sim.terminate();
    if (sim.state() != QProcess::NotRunning)
        shutdown.exec();
    return figures;
}

qint64 perMinute(const Figures &figures)
{
    return figures.ms > 0 ? qRound64(figures.rows * 60000.0 / double(figures.ms)) : 0;
}

void print(QTextStream &out, const char *title, int total, const Figures &figures)
{
    out << title << ": " << figures.rows << " of " << total << " sent and logged in " << figures.ms
        << " ms (failed attempts: " << figures.failed
        << ", failure reports: " << figures.failureReports << ")\n";
    out << "  messages per minute:        " << perMinute(figures) << "\n";
    if (figures.rows > 0)
        out << "  mean time per message:      "
            << QString::number(double(figures.ms) / figures.rows, 'f', 1) << " ms\n";
    out << "  longest event-loop stall:   " << QString::number(figures.maxGapMs, 'f', 2)
        << " ms (1-ms timer; " << figures.longGaps << " over 16 ms)\n";
    out << "  longest tick():             " << QString::number(figures.longestTickMs, 'f', 2)
        << " ms\n";
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int total = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 40;
    const int batchTotal = std::max(2, total / 2);
    const int tcpTotal = total * 4;
    const int throughputTotal =
        argc > 2 ? std::max(1, QString::fromLocal8Bit(argv[2]).toInt()) : 5000;
    QTextStream out(stdout);
    QTemporaryDir dir;

    const Figures onePerCall = run(Mode::OnePerCall, total, dir.filePath(u"call"_s));
    const Figures batch = run(Mode::Batch, batchTotal, dir.filePath(u"batch"_s));
    const Figures tcp = run(Mode::Tcp, tcpTotal, dir.filePath(u"tcp"_s));
    struct Throughput
    {
        TcpRun how;
        Figures figures;
    };
    QList<Throughput> throughput;
    for (const int delay : {0, 10}) {
        for (const int window : {1, 10}) {
            const TcpRun how{window, delay, true};
            throughput.append({how, run(Mode::Tcp, throughputTotal,
                                        dir.filePath(u"tp%1-%2"_s.arg(window).arg(delay)), how)});
        }
    }
    QList<Throughput> smpp;
    for (const int window : {1, 10}) {
        const TcpRun how{window, 0, true};
        smpp.append(
            {how, run(Mode::Smpp, throughputTotal, dir.filePath(u"smpp%1"_s.arg(window)), how)});
    }

    // For comparison: what one send-log row alone costs on this disk (an
    // SQLite commit, which the engine leaves to its writer thread), in a
    // scratch file.
    double logMeanMs = 0;
    double logMaxMs = 0;
    {
        StoreConnection scratch(dir.filePath(u"scratch.mdb"_s), u"bench-scratch"_s);
        scratch.createSchema();
        SendLog scratchLog(scratch.database());
        constexpr int rounds = 20;
        for (int i = 0; i < rounds; ++i) {
            QElapsedTimer t;
            t.start();
            scratchLog.append(QDate::currentDate(), QTime::currentTime(), u"0791234567"_s,
                              message(i), u"OK"_s);
            const double took = double(t.nsecsElapsed()) / 1e6;
            logMeanMs += took / rounds;
            logMaxMs = std::max(logMaxMs, took);
        }
    }

    // What a 9600-baud line can carry at best with one frame in flight:
    // the frame goes out, then the centre's answer comes back (STX
    // "01/00019/R/01/A//CS" ETX, 21 bytes), one after the other.
    constexpr int answerBytes = 21;
    qint64 frameBytes = 0;
    for (int i = 1; i <= batchTotal; ++i)
        frameBytes += ucpFrameBytes(frameText(i)).size() + answerBytes;
    const double meanFrameBytes = double(frameBytes) / batchTotal;
    const double lineLimit = 960.0 * 60.0 / meanFrameBytes;

    out << "bench_engine: the engine against modemsim answering at once\n";
    print(out, "one call per message (QSerialPort, connect delay 0)", total, onePerCall);
    out << "  with the 5-s timer deciding every dial, as the program does: at most 12 per "
           "minute\n";
    print(out, "batch mode, one modem call, 9600 baud", batchTotal, batch);
    out << "  line limit:                 " << qRound64(lineLimit) << " per minute ("
        << QString::number(meanFrameBytes, 'f', 0)
        << " bytes a frame and its answer at 960 B/s); reached "
        << QString::number(100.0 * double(perMinute(batch)) / lineLimit, 'f', 1)
        << " %; one call per message: at most 12\n";
    print(out, "UCP session over TCP/IP (127.0.0.1)", tcpTotal, tcp);
    out << "  against at most 12 per minute with one call per message\n";
    bool throughputOk = true;
    for (const Throughput &t : std::as_const(throughput)) {
        const QByteArray title =
            "UCP over TCP/IP, queue journal, window " + QByteArray::number(t.how.window) +
            ", commits " +
            (t.how.commitDelayMs ? QByteArray::number(t.how.commitDelayMs) + " ms longer"
                                 : QByteArray("as they come"));
        print(out, title.constData(), throughputTotal, t.figures);
        throughputOk = throughputOk && t.figures.ok;
    }
    for (const Throughput &t : std::as_const(smpp)) {
        const QByteArray title =
            "SMPP over TCP/IP, queue journal, window " + QByteArray::number(t.how.window);
        print(out, title.constData(), throughputTotal, t.figures);
        throughputOk = throughputOk && t.figures.ok;
    }
    out << "one send-log row alone:       mean " << QString::number(logMeanMs, 'f', 2)
        << " ms, max " << QString::number(logMaxMs, 'f', 2)
        << " ms (SQLite commit, off the event thread)\n";
    out.flush();
    return onePerCall.ok && batch.ok && tcp.ok && throughputOk ? 0 : 1;
}
