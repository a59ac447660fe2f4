#pragma once

#include "clock.h"
#include "outgoingqueue.h"

#include <QObject>
#include <QPointer>

#include <memory>

class CallDialogue;
class SendEngine;

// "Verbindung testen" as the configuration window sees it: a front over the
// send engine's test (SendEngine::startTest()), which sets a connection up
// the way the chosen kind would for a message (port, modem, dial, CONNECT,
// login or PIN) and ends it there; nothing is submitted, logged or taken
// from the queue. Each step is told as it happens: those the engine names
// and the traced lines of the dialogue and of the sources added. The test
// is refused while a call is under way, and can be cancelled at any time.
class ConnectionTest : public QObject
{
    Q_OBJECT

public:
    // engine: the one that sends over dialogue. Without one (a test of the
    // dialogue alone) the front makes an engine of its own, with an empty
    // queue and no log.
    ConnectionTest(CallDialogue *dialogue, SendEngine *engine, QObject *parent = nullptr);
    ~ConnectionTest() override;

    // Another source of steps: an object with a signal traced(QString), such
    // as the recording serial line.
    template <typename Source> void addSource(Source *source)
    {
        connect(source, &Source::traced, this, &ConnectionTest::onTraced);
    }

    // Why a test cannot begin now (a call under way, a setting missing), in
    // German; empty when it can.
    QString refusal() const;
    bool isRunning() const;

public Q_SLOTS:
    // Starts the test, or answers at once with finished(false, refusal()).
    void start();
    void cancel();

Q_SIGNALS:
    void step(const QString &text);
    // The connection stood (ok) or why not; the test is over.
    void finished(bool ok, const QString &summary);

private:
    void onTraced(const QString &line);

    // Only for an engine of the front's own.
    std::unique_ptr<OutgoingQueue> m_emptyQueue;
    std::unique_ptr<SystemClock> m_clock;
    std::unique_ptr<SendEngine> m_ownEngine;
    QPointer<SendEngine> m_engine;
};
