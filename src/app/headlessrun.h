#pragma once

#include "enginestatus.h"

#include <QObject>
#include <QString>

class MessagingCore;
class FunkboteService;

// The program without a window (--headless): the messaging core sends,
// receives and answers D-Bus, and what the window would show goes to
// standard error as lines, under systemd into the journal: the status
// line's texts (a countdown only when it begins), boxes with the answer the
// core chose (the safe default), halts, failures and received messages.
// SIGTERM ends it with the queue kept in Daten.mdb, after the messages
// already out have been answered.
class HeadlessRun : public QObject
{
    Q_OBJECT

public:
    // service may be nullptr (no session bus).
    HeadlessRun(MessagingCore *core, FunkboteService *service, QObject *parent = nullptr);

    // One line of the log, "funkbote: " in front.
    static void log(const QString &line);

    // Ends sending for good with the queue kept, then the event loop: at
    // once, or once the messages that are out are answered and logged (at
    // most finishWithinMs).
    void quit();
    static constexpr int finishWithinMs = 5000;

private:
    void finish();
    void showStatus(const EngineStatus &status);

    MessagingCore *m_core;
    EngineStatus m_shown;
    bool m_anyShown = false;
    bool m_quitting = false;
    bool m_finished = false;
};

class QCoreApplication;

// Runs --headless in app (named, its language set): returns the exit code.
int runHeadless(QCoreApplication &app);
