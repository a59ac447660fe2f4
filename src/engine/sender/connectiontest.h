#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class CallDialogue;
class SendEngine;

// "Verbindung testen": sets a connection up the way the chosen kind would
// for a message (port, modem, dial, CONNECT, login or PIN) and ends it
// there; nothing is submitted, logged or taken from the queue. Each step is
// told as it happens; the engine is held meanwhile so it does not dial
// over the test. The test is refused while a call is under way, and can be
// cancelled at any time.
class ConnectionTest : public QObject
{
    Q_OBJECT

public:
    // How long a connection may take to stand, as for a call.
    static constexpr int defaultTimeoutMs = 40'000;

    // dialogue: the engine's; it pays no heed to a dialogue's answers while
    // no call of its own is under way, and it is held for the test.
    ConnectionTest(CallDialogue *dialogue, SendEngine *engine, QObject *parent = nullptr);

    // Another source of steps: an object with a signal traced(QString), such
    // as the recording serial line.
    template <typename Source> void addSource(Source *source)
    {
        connect(source, &Source::traced, this, &ConnectionTest::onTraced);
    }
    ~ConnectionTest() override;

    // Why a test cannot begin now (a call under way, a setting missing), in
    // German; empty when it can.
    QString refusal() const;
    bool isRunning() const { return m_running; }
    void setTimeoutMs(int ms) { m_timeout.setInterval(ms); }

public Q_SLOTS:
    // Starts the test, or answers at once with finished(false, refusal()).
    void start();
    void cancel();

Q_SIGNALS:
    void step(const QString &text);
    // The connection stood (ok) or why not; the test is over.
    void finished(bool ok, const QString &summary);

private:
    void finish(bool ok, const QString &summary);
    void onTraced(const QString &line);

    CallDialogue *m_dialogue;
    QPointer<SendEngine> m_engine;
    QTimer m_timeout;
    bool m_running = false;
};
