// Sends N messages through the real QSerialPort to tools/modemsim with no
// connect or reply delay, ticking the engine as soon as the previous call
// has been hung up, and prints how many messages go out per minute and how
// long the event loop was ever kept from running during a send cycle.
//
//   bench_engine [N]     (default 50)

#include "clock.h"
#include "dialupdialogue.h"
#include "outgoingqueue.h"
#include "qtserialline.h"
#include "schema.h"
#include "sendengine.h"
#include "sendlog.h"
#include "settings.h"
#include "storeconnection.h"

#include <QCoreApplication>
#include <QDate>
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

using namespace Qt::StringLiterals;

namespace {

constexpr int simPort = 7;

// Watches the event loop with a 1-ms timer: a long gap between two of its
// time-outs is a stretch in which no event was handled.
class StallMeter : public QObject
{
public:
    StallMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            if (m_last >= 0 && m_measuring) {
                m_maxGapNs = std::max(m_maxGapNs, now - m_last);
                if (now - m_last > frameNs)
                    ++m_longGaps;
            }
            m_last = now;
        });
        m_clock.start();
        m_timer.start();
    }
    void setMeasuring(bool on) { m_measuring = on; }
    double maxGapMs() const { return double(m_maxGapNs) / 1e6; }
    // Stretches longer than one frame of a 60-Hz screen.
    int longGaps() const { return m_longGaps; }
    static constexpr qint64 frameNs = 16'000'000;

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = -1;
    qint64 m_maxGapNs = 0;
    int m_longGaps = 0;
    bool m_measuring = false;
};

QString message(int i)
{
    QString text = u"Nachricht "_s + QString::number(i) +
                   u": Das Treffen am Donnerstag verschiebt sich auf 14:30 Uhr. Bitte bring "
                   u"die Unterlagen für das Büro mit. Grüsse und bis bald, Peter"_s;
    return text.left(160);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int total = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 50;
    QTextStream out(stdout);

    QTemporaryDir dir;
    const QString dbPath = dir.filePath(Schema::fileName);
    StoreConnection connection(dbPath, u"bench"_s);
    if (!connection.isOpen() || !connection.createSchema()) {
        std::fprintf(stderr, "bench_engine: cannot create %s: %s\n", qPrintable(dbPath),
                     qPrintable(connection.lastError()));
        return 1;
    }
    SendLog log(connection.database());
    QSqlQuery row(connection.database());
    if (!row.prepare(u"UPDATE Einstellungen SET ComPort = ?, ProviderNummer = ?, "
                     u"InitialisierungsBefehl = ?"_s)) {
        std::fprintf(stderr, "bench_engine: %s\n", qPrintable(row.lastError().text()));
        return 1;
    }
    row.addBindValue(simPort);
    row.addBindValue(u"012345678"_s);
    row.addBindValue(u"ATDT"_s);
    Settings settings(dbPath);
    if (!row.exec() || !settings.reload()) {
        std::fprintf(stderr, "bench_engine: cannot store the settings: %s\n",
                     qPrintable(row.lastError().text() + settings.lastError()));
        return 1;
    }

    OutgoingQueue queue;
    for (int i = 1; i <= total; ++i)
        queue.append(u"0791234567"_s, message(i), u"0311234567"_s);

    SystemClock clock;
    QtSerialLine line;
    DialUpDialogue dialogue(&line, &settings, dir.path());
    SendEngine engine(&queue, &log, &dialogue, &clock);
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
        if (engine.state() != Sending::State::Idle || hangups < logged)
            return;
        if (queue.isEmpty()) {
            app.quit();
            return;
        }
        QTimer::singleShot(0, &app, tickNow);
    };

    QObject::connect(&sim, &QProcess::readyReadStandardOutput, &app, [&] {
        simOutput += sim.readAllStandardOutput();
        qsizetype end;
        while ((end = simOutput.indexOf('\n')) >= 0) {
            const QByteArray lineText = simOutput.left(end);
            simOutput.remove(0, end + 1);
            if (lineText.startsWith("READY ") && !ready) {
                ready = true;
                stalls.setMeasuring(true);
                elapsed.start();
                tickNow();
            } else if (lineText == "HANGUP") {
                ++hangups;
                nextCall();
            }
        }
    });
    QObject::connect(&engine, &SendEngine::messageLogged, &app, [&] { ++logged; });
    // A failure report would mean failed calls, which no one answers here.
    int failureReports = 0;
    QObject::connect(&engine, &SendEngine::attemptsFailing, &app, [&] { ++failureReports; });
    QObject::connect(&engine, &SendEngine::stateChanged, &app, nextCall);
    QObject::connect(&sim, &QProcess::finished, &app, [&] {
        std::fprintf(stderr, "bench_engine: modemsim ended early\n");
        app.exit(1);
    });
    // A failed call would wait 40 s for its time-out; give up long before.
    QTimer::singleShot(120000, &app, [&] {
        std::fprintf(stderr, "bench_engine: gave up after 120 s\n");
        app.exit(1);
    });

    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(QCoreApplication::applicationDirPath() + u"/modemsim"_s,
              {u"--dir"_s, dir.path(), u"--port"_s, QString::number(simPort), u"--connect-delay"_s,
               u"0"_s, u"--reply-delay"_s, u"0"_s});
    const int status = app.exec();
    const qint64 ms = elapsed.elapsed();
    stalls.setMeasuring(false);
    QObject::disconnect(&sim, &QProcess::finished, nullptr, nullptr);

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

    const int rows = int(log.readAll().size());
    out << "bench_engine: " << total << " messages through QSerialPort to modemsim "
        << "(connect and reply delay 0)\n";
    out << "  sent and logged:            " << rows
        << " (failed attempts: " << engine.fehlversuche() << ", failure reports: " << failureReports
        << ")\n";
    out << "  total time:                 " << ms << " ms\n";
    if (ms > 0 && rows > 0) {
        out << "  messages per minute:        " << qRound64(rows * 60000.0 / double(ms)) << "\n";
        out << "  mean time per message:      " << QString::number(double(ms) / rows, 'f', 1)
            << " ms (dial, frame, answer, hang-up)\n";
    }
    out << "  longest event-loop stall:   " << QString::number(stalls.maxGapMs(), 'f', 2)
        << " ms (1-ms timer, whole run; " << stalls.longGaps() << " over 16 ms)\n";
    out << "  longest tick():             " << QString::number(double(longestTickNs) / 1e6, 'f', 2)
        << " ms (open port, write dial line)\n";
    out << "  one send-log row alone:     mean " << QString::number(logMeanMs, 'f', 2)
        << " ms, max " << QString::number(logMaxMs, 'f', 2)
        << " ms (SQLite commit, off the event thread)\n";
    out.flush();

    // Let the simulator go before the temporary folder disappears. A loop of
    // its own: quit() may have been asked for more than once above.
    QEventLoop shutdown;
    QObject::connect(&sim, &QProcess::finished, &shutdown, &QEventLoop::quit);
    QTimer::singleShot(3000, &shutdown, [&] {
        sim.kill();
        shutdown.quit();
    });
    sim.terminate();
    if (sim.state() != QProcess::NotRunning)
        shutdown.exec();
    return status == 0 && rows == total ? 0 : 1;
}
