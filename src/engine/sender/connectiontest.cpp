#include "connectiontest.h"

#include "calldialogue.h"
#include "sendengine.h"

ConnectionTest::ConnectionTest(CallDialogue *dialogue, SendEngine *engine, QObject *parent)
    : QObject(parent), m_engine(engine)
{
    if (!m_engine) {
        m_emptyQueue = std::make_unique<OutgoingQueue>();
        m_clock = std::make_unique<SystemClock>();
        m_ownEngine =
            std::make_unique<SendEngine>(m_emptyQueue.get(), nullptr, dialogue, m_clock.get());
        m_engine = m_ownEngine.get();
        // Its ticks end a test that waits too long for its connection.
        m_ownEngine->start();
    }
    connect(dialogue, &CallDialogue::traced, this, &ConnectionTest::onTraced);
    connect(m_engine, &SendEngine::testStep, this, &ConnectionTest::step);
    connect(m_engine, &SendEngine::testFinished, this, &ConnectionTest::finished);
}

ConnectionTest::~ConnectionTest()
{
    cancel();
}

QString ConnectionTest::refusal() const
{
    return m_engine ? m_engine->testRefusal() : QString();
}

bool ConnectionTest::isRunning() const
{
    return m_engine && m_engine->isTesting();
}

void ConnectionTest::start()
{
    if (m_engine)
        m_engine->startTest();
}

void ConnectionTest::cancel()
{
    if (m_engine)
        m_engine->cancelTest();
}

void ConnectionTest::onTraced(const QString &line)
{
    if (isRunning())
        Q_EMIT step(line);
}
