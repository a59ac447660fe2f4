#include "messagingcore.h"

#include "calltrace.h"
#include "chosendialogue.h"
#include "connectionkinds.h"
#include "connectionsettings.h"
#include "connectiontest.h"
#include "inbound.h"
#include "outbox.h"
#include "outgoingqueue.h"
#include "programdoor.h"
#include "qtserialline.h"
#include "recordingline.h"
#include "schema.h"
#include "sendengine.h"
#include "sendlog.h"
#include "settings.h"
#include "spoolfolder.h"
#include "storeconnection.h"
#include "storedqueue.h"

#include <QDir>

using namespace Qt::StringLiterals;

MessagingCore::MessagingCore(const Environment &environment, QObject *parent)
    : QObject(parent), m_env(environment)
{
    m_settings = m_env.settings;
    if (!m_settings) {
        m_ownSettings = std::make_unique<Settings>(databasePath());
        m_settings = m_ownSettings.get();
    }
    connect(m_settings, &Settings::failed, this, &MessagingCore::storeFailed);
    m_connection = m_env.connection;
    if (!m_connection)
        m_connection = new ConnectionSettings(databasePath(), nullptr, this);
    connect(m_connection, &ConnectionSettings::failed, this, &MessagingCore::storeFailed);

    // The engine's own connection to the send log (DTAVersandLog).
    m_logConnection = std::make_unique<StoreConnection>(databasePath(), u"Funkbote-VersandLog"_s);
    m_sendLog = std::make_unique<SendLog>(m_logConnection->database());

    m_queue = new OutgoingQueue(this);
    m_outbox = new Outbox(m_queue, this);
    m_inbound = new Inbound(databasePath(), m_env.clock, this);
    connect(m_inbound, &Inbound::failed, this, &MessagingCore::storeFailed);
    m_outbox->setStopCheck(m_inbound);
    m_outbox->setCallBackNumber(m_settings->rueckrufnummer());
    connect(m_settings, &Settings::changed, this,
            [this] { m_outbox->setCallBackNumber(m_settings->rueckrufnummer()); });
    // The queue's copy in Daten.mdb; it is read back by start().
    m_storedQueue = new StoredQueue(databasePath(), m_queue, m_env.prompter, m_env.clock, this);
    m_storedQueue->setLastRunEndedUncleanly(m_env.lastRunEndedUncleanly);

    buildDialogues();
    connect(m_connection, &ConnectionSettings::changed, this, &MessagingCore::onConnectionChanged);
    onConnectionChanged();
}

MessagingCore::~MessagingCore()
{
    // The engine and the dialogues use the send log's connection, which
    // goes before the QObject children would.
    delete m_connectionTest;
    delete m_trace;
    delete m_engine;
    delete m_dialogue;
}

void MessagingCore::buildDialogues()
{
    // Every byte over the serial line goes into the call trace as well.
    auto *recordingLine = new RecordingLine(m_env.line ? m_env.line : new QtSerialLine(this), this);
    m_line = recordingLine;
    // One dialogue for each kind of connection; the settings choose one as
    // each connection begins.
    m_dialogue = new ChosenDialogue(m_connection,
                                    DialogueNeeds{
                                        .line = m_line,
                                        .settings = m_settings,
                                        .connection = m_connection,
                                        .programDir = m_env.programDir,
                                        .databasePath = databasePath(),
                                        .parent = this,
                                    },
                                    this);

    // What comes back goes to the inbox and the delivery states; a report
    // that came before its row was logged is matched once rows are.
    m_dialogue->setIncomingSink(m_inbound);

    m_engine = new SendEngine(m_queue, m_sendLog.get(), m_dialogue, m_env.clock, this);
    // Expected reports are stored under the key the inbound side looks
    // them up by, so "079 …" and "+41 79 …" meet.
    m_engine->setNumberKey(&Inbound::numberKey);
    connect(m_engine, &SendEngine::messageLogged, m_inbound, [this] {
        if (m_inbound->unmatchedCount() > 0)
            m_inbound->retryUnmatched();
    });
    m_trace = new CallTrace(m_engine, m_env.clock,
                            QDir(m_env.programDir).filePath(CallTrace::fileName), this);
    m_trace->addSource(recordingLine);
    m_trace->addSource(m_dialogue);
    m_connectionTest = new ConnectionTest(m_dialogue, m_engine, this);
    m_connectionTest->addSource(recordingLine);
    connect(m_connectionTest, &ConnectionTest::finished, m_trace, &CallTrace::endTest);
}

void MessagingCore::onConnectionChanged()
{
    m_outbox->setPlan(ConnectionKinds::of(m_connection->values().kind).plan);
    followSpoolFolder();
}

void MessagingCore::followSpoolFolder()
{
    // Files are taken once the queue the last run left is back.
    const QString path = m_started ? m_connection->values().spoolFolder : QString();
    if (m_spool && m_spool->path() == path)
        return;
    m_spool.reset();
    if (path.isEmpty())
        return;
    m_spool = std::make_unique<SpoolFolder>(
        path,
        [this](const QString &number, const QString &text) {
            const ProgramSend send = sendFromProgram(m_outbox, number, text);
            return send.queued() ? QString() : send.message;
        },
        m_env.clock);
    connect(m_spool.get(), &SpoolFolder::refused, this, &MessagingCore::spoolRefused);
    connect(m_spool.get(), &SpoolFolder::taken, this, &MessagingCore::spoolTaken);
    m_spool->start();
}

QString MessagingCore::databasePath() const
{
    return QDir(m_env.programDir).filePath(Schema::fileName);
}

CallDialogue *MessagingCore::dialogue() const
{
    return m_dialogue;
}

void MessagingCore::start()
{
    // What a crash left queued comes back before anything is sent.
    m_storedQueue->restore();
    reloadSettings();
    m_engine->start();
    // Receiving runs whether or not sending is paused.
    m_dialogue->setListening(true);
    m_started = true;
    followSpoolFolder();
}

void MessagingCore::reloadSettings()
{
    m_settings->reload();
    m_connection->reload();
}

void MessagingCore::resumeSending()
{
    if (m_engine->isPaused())
        m_engine->resume();
}

void MessagingCore::shutDown(bool keepQueue)
{
    // With the engine shut down and the queue empty, boxes that still run
    // nested event loops (closing windows) dial, submit and log nothing.
    m_engine->shutDown();
    m_dialogue->setListening(false);
    m_started = false;
    m_spool.reset();
    if (!keepQueue)
        m_queue->clear();
}
