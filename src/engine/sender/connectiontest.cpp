#include "connectiontest.h"

#include "calldialogue.h"
#include "sendengine.h"

using namespace Qt::StringLiterals;

ConnectionTest::ConnectionTest(CallDialogue *dialogue, SendEngine *engine, QObject *parent)
    : QObject(parent), m_dialogue(dialogue), m_engine(engine)
{
    m_timeout.setSingleShot(true);
    m_timeout.setInterval(defaultTimeoutMs);
    connect(&m_timeout, &QTimer::timeout, this, [this] {
        m_dialogue->end();
        finish(false, tr("Keine Verbindung innerhalb von %1 s").arg(m_timeout.interval() / 1000));
    });
    connect(m_dialogue, &CallDialogue::traced, this, &ConnectionTest::onTraced);
    connect(m_dialogue, &CallDialogue::loggingIn, this, [this] {
        if (m_running)
            Q_EMIT step(tr("Anmeldung bei der Zentrale..."));
    });
    connect(m_dialogue, &CallDialogue::ready, this, [this] {
        if (!m_running)
            return;
        m_dialogue->end();
        finish(true, tr("Verbindung steht: bereit zum Senden. Verbindung beendet, keine SMS "
                        "gesendet."));
    });
    for (auto signal : {&CallDialogue::failed, &CallDialogue::halted}) {
        connect(m_dialogue, signal, this, [this](const QString &reason) {
            if (m_running)
                finish(false, reason);
        });
    }
}

ConnectionTest::~ConnectionTest()
{
    if (m_running)
        cancel();
}

QString ConnectionTest::refusal() const
{
    if (m_engine && m_engine->isCallUnderWay())
        return tr("Während eines Anrufs kann die Verbindung nicht getestet werden.");
    return m_dialogue->missingSetting();
}

void ConnectionTest::start()
{
    if (m_running)
        return;
    if (const QString refused = refusal(); !refused.isEmpty()) {
        Q_EMIT finished(false, refused);
        return;
    }
    m_running = true;
    if (m_engine)
        m_engine->setHeld(true);
    m_timeout.start();
    // May answer before it returns (a port that cannot be opened).
    m_dialogue->begin();
}

void ConnectionTest::onTraced(const QString &line)
{
    if (m_running)
        Q_EMIT step(line);
}

void ConnectionTest::cancel()
{
    if (!m_running)
        return;
    m_dialogue->end();
    finish(false, tr("Test abgebrochen"));
}

void ConnectionTest::finish(bool ok, const QString &summary)
{
    m_running = false;
    m_timeout.stop();
    if (m_engine)
        m_engine->setHeld(false);
    Q_EMIT finished(ok, summary);
}
