#pragma once

#include <QObject>
#include <QString>
#include <memory>

class CallDialogue;
class CallTrace;
class ChosenDialogue;
class Clock;
class ConnectionSettings;
class ConnectionTest;
class Inbound;
class OutgoingQueue;
class Outbox;
class Prompter;
class SendEngine;
class SpoolFolder;
class SendLog;
class SerialLine;
class Settings;
class StoreConnection;
class StoredQueue;

// The program's messaging without any window: the outgoing queue and its
// copy in Daten.mdb, the one door into it, the serial line, the dialogue of
// each connection kind and the chooser between them, the send engine, its
// call trace and the connection test. main() builds it before the main
// window, which only shows its state and forwards the user's clicks; a
// program without a window (a service, a test) runs it alone.
class MessagingCore : public QObject
{
    Q_OBJECT

public:
    struct Environment
    {
        // The folder of Daten.mdb and the port links (COM1 …).
        QString programDir = QString();
        // Asks the start's questions (messages left by a crash).
        Prompter *prompter = nullptr;
        const Clock *clock = nullptr;
        // The modem line; nullptr uses the real serial port.
        SerialLine *line = nullptr;
        // The settings row; nullptr reads it from Daten.mdb.
        Settings *settings = nullptr;
        // How the message centre is reached; nullptr reads it from
        // Daten.mdb with the secrets there too.
        ConnectionSettings *connection = nullptr;
        // The last run crashed or was killed (its lock was left behind);
        // otherwise a queue still stored was kept by a quit without
        // questions (a logout, a service stop).
        bool lastRunEndedUncleanly = true;
    };

    explicit MessagingCore(const Environment &environment, QObject *parent = nullptr);
    ~MessagingCore() override;

    // Puts back what the last run left in the queue (asking about messages
    // that may have gone out already), then lets the engine send.
    void start();
    // Reads the settings and the connection settings again, e.g. when the
    // user may have changed them in another window.
    void reloadSettings();
    // Sending ends for good (the program is ending): nothing more is
    // dialled, submitted or logged. The queue stays in Daten.mdb for the
    // next start when keepQueue, otherwise it is dropped.
    void shutDown(bool keepQueue);
    // Sending goes on after the user or another program stopped it, or
    // after a halt whose cause has been mended.
    void resumeSending();

    QString programDir() const { return m_env.programDir; }
    QString databasePath() const;
    Prompter *prompter() const { return m_env.prompter; }
    const Clock *clock() const { return m_env.clock; }
    Settings *settings() const { return m_settings; }
    ConnectionSettings *connectionSettings() const { return m_connection; }
    OutgoingQueue *queue() const { return m_queue; }
    Outbox *outbox() const { return m_outbox; }
    // Messages received, delivery reports and the stop list.
    Inbound *inbound() const { return m_inbound; }
    SendEngine *engine() const { return m_engine; }
    // The dialogue of the connection kind now chosen, as the engine sees it.
    CallDialogue *dialogue() const;
    CallTrace *callTrace() const { return m_trace; }
    ConnectionTest *connectionTest() const { return m_connectionTest; }

    // The spool folder of the settings, while one is set and sending runs.
    SpoolFolder *spoolFolder() const { return m_spool.get(); }

Q_SIGNALS:
    // Daten.mdb refused to read or store the settings, in German; told once
    // until the row reads well again.
    void storeFailed(const QString &message);
    // The spool folder cannot be used (why, in German); told once until it
    // can, or another folder is set.
    void spoolRefused(const QString &reason);
    // A file of the spool folder was queued, or refused for the reason.
    void spoolTaken(const QString &fileName, bool queued, const QString &reason);

private:
    void buildDialogues();
    // The queue's door follows the kind chosen, the spool folder the one set.
    void onConnectionChanged();
    void followSpoolFolder();

    Environment m_env;
    std::unique_ptr<Settings> m_ownSettings;
    Settings *m_settings = nullptr;
    ConnectionSettings *m_connection = nullptr;
    std::unique_ptr<StoreConnection> m_logConnection;
    std::unique_ptr<SendLog> m_sendLog;
    OutgoingQueue *m_queue = nullptr;
    StoredQueue *m_storedQueue = nullptr;
    Outbox *m_outbox = nullptr;
    Inbound *m_inbound = nullptr;
    SerialLine *m_line = nullptr;
    ChosenDialogue *m_dialogue = nullptr;
    SendEngine *m_engine = nullptr;
    CallTrace *m_trace = nullptr;
    ConnectionTest *m_connectionTest = nullptr;
    std::unique_ptr<SpoolFolder> m_spool;
    bool m_started = false;
};
