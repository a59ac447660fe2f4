// Times the outgoing queue with the main window's three lists attached:
// queuing 10,000 messages with cmdSenden, appending 10,000 entries directly,
// browsing through all of them with the scroll bar and sending (removing) the
// head 10,000 times. Runs offscreen unless a platform is chosen.

#include "outbox.h"
#include "queuepanel.h"
#include "scriptedprompter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextStream>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace {

constexpr int entries = 10000;

struct Window
{
    QWidget widget;
    QueueWidgets w;
    OutgoingQueue queue;
    Outbox outbox{&queue};
    ScriptedPrompter prompter;
    std::unique_ptr<QueuePanel> panel;

    explicit Window(bool uniformSizes)
    {
        auto *layout = new QVBoxLayout(&widget);
        auto add = [&](auto *control) {
            layout->addWidget(control);
            return control;
        };
        w.natelNummer = add(new QLineEdit);
        w.rueckrufNummer = add(new QLineEdit);
        w.nachricht = add(new QPlainTextEdit);
        w.zaehler = add(new QLabel);
        w.hintLabel = add(new QLabel);
        w.listNatelNummer = add(new QListView);
        w.listNachricht = add(new QListView);
        w.listRueckrufNummer = add(new QListView);
        w.scroll = add(new QScrollBar(Qt::Vertical));
        w.senden = add(new QPushButton);
        w.loeschen = add(new QPushButton);
        panel = std::make_unique<QueuePanel>(&outbox, w, &prompter);
        for (QListView *list : {w.listNatelNummer, w.listNachricht, w.listRueckrufNummer}) {
            list->setFixedHeight(30); // 450 twips
            list->setUniformItemSizes(uniformSizes);
        }
        widget.resize(457, 401);
        widget.show();
        QApplication::processEvents();
    }
};

QTextStream out(stdout);

struct Timing
{
    qint64 stepNs = 0;  // the operation itself, with the model's notifications
    qint64 paintNs = 0; // the event loop's layout and repaint after it
    qint64 worstNs = 0; // the slowest step, both together
};

void print(const QString &what, const Timing &t, int steps)
{
    out << qSetFieldWidth(50) << Qt::left << what << qSetFieldWidth(0) << Qt::right
        << QString::number((t.stepNs + t.paintNs) / 1e6, 'f', 0) << " ms total, per step "
        << QString::number(t.stepNs / 1e3 / steps, 'f', 0) << " us + repaint "
        << QString::number(t.paintNs / 1e3 / steps, 'f', 0) << " us, worst "
        << QString::number(t.worstNs / 1e6, 'f', 1) << " ms\n";
    out.flush();
}

// Every step is followed by a layout and repaint of the window, as the event
// loop does before the next key press or timer tick.
template <typename Step> Timing run(int steps, Step step)
{
    Timing t;
    QElapsedTimer timer;
    for (int i = 0; i < steps; ++i) {
        timer.start();
        step(i);
        const qint64 stepped = timer.nsecsElapsed();
        QApplication::processEvents();
        const qint64 total = timer.nsecsElapsed();
        t.stepNs += stepped;
        t.paintNs += total - stepped;
        t.worstNs = std::max(t.worstNs, total);
    }
    return t;
}

void benchmark()
{
    out << "Queue of 10,000 entries, lists with uniform item sizes (set by the panel)\n";
    {
        Window win(true);
        win.w.nachricht->setPlainText(QStringLiteral("Treffen morgen um 8 Uhr am Bahnhof"));
        win.w.rueckrufNummer->setText(QStringLiteral("076 555 11 22"));
        const Timing t = run(entries, [&](int i) {
            win.w.natelNummer->setText(QStringLiteral("079 %1").arg(1000000 + i));
            win.panel->senden();
        });
        print(QStringLiteral("cmdSenden, 10,000 short messages"), t, entries);

        const Timing b = run(entries, [&](int i) { win.w.scroll->setValue(i); });
        print(QStringLiteral("VScroll1 through 10,000 entries"), b, entries);

        win.w.scroll->setValue(0);
        const Timing r = run(entries, [&](int) { win.queue.remove(0); });
        print(QStringLiteral("remove the head 10,000 times (head selected)"), r, entries);
    }
    {
        Window win(true);
        const Timing t = run(entries, [&](int i) {
            win.queue.append(QString::number(791000000 + i), QStringLiteral("Text"),
                             QStringLiteral("076"));
        });
        print(QStringLiteral("OutgoingQueue::append, 10,000 entries"), t, entries);

        const Timing r = run(entries, [&](int) { win.queue.remove(0); });
        print(QStringLiteral("remove the head 10,000 times (none selected)"), r, entries);
    }
    {
        Window win(true);
        win.w.nachricht->setPlainText(QString(1000, QLatin1Char('x')));
        const int clicks = entries / 7;
        const Timing t = run(clicks, [&](int i) {
            win.w.natelNummer->setText(QStringLiteral("079 %1").arg(1000000 + i));
            win.panel->senden();
        });
        print(QStringLiteral("cmdSenden, 1,428 texts of 1000 chars (7 SMS each)"), t, clicks);
    }
    {
        Window win(true);
        QList<QueueEntry> bulk;
        for (int i = 0; i < entries; ++i)
            bulk.append({0, QString::number(791000000 + i), QStringLiteral("Text"), QString()});
        const Timing t = run(1, [&](int) { win.queue.appendMany(bulk); });
        print(QStringLiteral("OutgoingQueue::appendMany, 10,000 at once"), t, 1);
    }

    // For comparison: lists that measure every item on each change.
    constexpr int fewer = 2000;
    out << "\nFor comparison, " << fewer << " entries with uniform item sizes switched off\n";
    {
        Window win(false);
        const Timing t = run(fewer, [&](int i) {
            win.queue.append(QString::number(791000000 + i), QStringLiteral("Text"),
                             QStringLiteral("076"));
        });
        print(QStringLiteral("OutgoingQueue::append, 2,000 entries"), t, fewer);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark();
    return 0;
}
