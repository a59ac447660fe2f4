// Sends messages over the UCP dialogue to the simulator's TCP centre, run
// in this process and answering at once, with a delivery notification
// (operation 53) for each; the notifications are stored through Inbound
// into the Deliveries table of a scratch Daten.mdb, where each sent part's
// expected report was stored when its result came, as the engine stores
// it with the log row. Prints messages sent per minute, reports stored per
// minute and how many reports found their part; a FAIL line when one did
// not.
//
//   bench_ucp_reports [N]     (default 1000; once with window 1, once 10)

#include "clock.h"
#include "inbound.h"
#include "incoming.h"
#include "storeconnection.h"
#include "tcpcentre.h"
#include "twowaytables.h"
#include "ucptcpdialogue.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSet>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

struct InboundSink : IncomingSink
{
    explicit InboundSink(Inbound *inbound) : inbound(inbound) {}
    bool storeMessage(const ReceivedMessage &m) override
    {
        return inbound->receive(m.sender, m.text, m.sentAt, m.incomplete);
    }
    bool storeReport(const DeliveryReport &r) override
    {
        ++reports;
        return inbound->report(r.recipient, r.reference, r.state, r.at, r.detail);
    }
    Inbound *inbound;
    int reports = 0;
};

struct Figures
{
    int sent = 0;
    int accepted = 0;
    int expected = 0; // parts with a report asked for
    int matched = 0;
    qint64 sendMs = 0;
    qint64 reportsMs = 0;
    QString failure;
};

double perMinute(int count, qint64 ms)
{
    return ms > 0 ? count * 60000.0 / double(ms) : 0;
}

Figures run(int total, int window, const QString &folder)
{
    Figures figures;
    QDir().mkpath(folder);
    const QString path = folder + u"/Daten.mdb"_s;
    StoreConnection store(path, u"bench-expect"_s);
    store.createSchema();
    Deliveries deliveries(store.database());
    deliveries.prepareTable();
    SystemClock clock;
    Inbound inbound(path, &clock);
    InboundSink sink(&inbound);
    QSet<qint64> matchedRows;
    QObject::connect(&inbound, &Inbound::deliveryChanged, &inbound,
                     [&](qint64 row) { matchedRows.insert(row); });

    SimOptions options;
    options.replyDelayMs = 0;
    TcpCentre centre(options);
    QString error;
    if (!centre.listen(0, &error)) {
        figures.failure = error;
        return figures;
    }
    UcpTcpAccount account;
    account.host = u"127.0.0.1"_s;
    account.port = quint16(centre.address().section(u':', 1).toUInt());
    account.window = window;
    UcpTcpDialogue dialogue([&account] { return account; });
    dialogue.setIncomingSink(&sink);

    QEventLoop loop;
    QElapsedTimer clockMs;
    int next = 0;
    const auto submitNext = [&] {
        if (next >= total)
            return;
        ++next;
        // Ten recipients, so that several messages share one.
        dialogue.submit(QueueEntry{quint64(next), u"07912345"_s + QString::number(60 + next % 10),
                                   u"Nachricht %1 über TCP/IP"_s.arg(next), QString()});
    };
    QObject::connect(&dialogue, &CallDialogue::ready, &loop, [&] {
        clockMs.start();
        for (int i = 0; i < dialogue.window(); ++i)
            submitNext();
    });
    QObject::connect(&dialogue, &CallDialogue::submitted, &loop,
                     [&](const CallDialogue::Result &result) {
                         ++figures.sent;
                         figures.accepted += result.accepted ? 1 : 0;
                         // What the engine stores with the log row, the
                         // numbers in their compare form.
                         QList<ExpectedReport> parts = result.reports;
                         for (ExpectedReport &part : parts)
                             part.recipientKey = Inbound::numberKey(part.recipientKey);
                         store.database().transaction();
                         deliveries.expectInTransaction(qint64(result.entryId), parts);
                         store.database().commit();
                         figures.expected += int(parts.size());
                         if (figures.sent == total)
                             figures.sendMs = clockMs.elapsed();
                         submitNext();
                     });
    QObject::connect(&dialogue, &CallDialogue::failed, &loop, [&](const QString &why) {
        figures.failure = why;
        loop.quit();
    });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (figures.sent == total && sink.reports >= figures.expected) {
            figures.reportsMs = clockMs.elapsed();
            loop.quit();
        }
    });
    poll.start(1);
    QTimer::singleShot(300'000, &loop, [&] {
        figures.failure = u"no end within 5 minutes"_s;
        loop.quit();
    });
    dialogue.begin();
    loop.exec();
    dialogue.end();
    figures.matched = int(matchedRows.size());
    return figures;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int total = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 1000;
    QTextStream out(stdout);
    QTemporaryDir dir;
    out << "bench_ucp_reports: " << total
        << " messages to the in-process TCP centre answering at once, each with a report\n";
    bool allMatched = true;
    for (const int window : {1, 10}) {
        const Figures f = run(total, window, dir.filePath(u"w"_s + QString::number(window)));
        out << "window " << window << ":\n";
        if (!f.failure.isEmpty())
            out << "  FAIL: " << f.failure << "\n";
        out << "  messages sent per minute:    " << qRound(perMinute(f.sent, f.sendMs)) << " ("
            << f.sent << " in " << f.sendMs << " ms, " << f.accepted << " accepted)\n";
        out << "  reports stored per minute:   " << qRound(perMinute(f.expected, f.reportsMs))
            << " (all " << f.expected << " stored after " << f.reportsMs << " ms)\n";
        out << "  reports matched to a message: " << f.matched << " of " << total << "\n";
        if (f.matched != total || !f.failure.isEmpty()) {
            out << "  FAIL: " << (total - f.matched) << " messages without their report\n";
            allMatched = false;
        }
        out.flush();
    }
    return allMatched ? 0 : 1;
}
