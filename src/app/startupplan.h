#pragma once

#include "datalocation.h"
#include "prompter.h"
#include "startoptions.h"
#include "startup.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>

class DemoModem;
class Funkbote;
class MessagingCore;

// The start of the program between the command line and the main window:
// chooses the data folder (see DataLocation; --demo makes a throw-away one
// and starts the modem simulator), runs the start-up guard on it, and shows
// the window once the program is ready.
class StartupPlan : public QObject
{
    Q_OBJECT

public:
    enum ExitCode { DemoFailed = 6 };

    StartupPlan(StartOptions options, Prompter *prompter, QString programDir, QString userDataDir,
                QObject *parent = nullptr);
    ~StartupPlan() override;

    // nullopt: go ahead; otherwise the exit code to end with.
    std::optional<int> check();

    // The folder of the Daten.mdb in use (and of the lock and the COMn links).
    QString dataDir() const;
    bool isDemo() const { return m_options.demo; }
    // After check(): the last run crashed or was killed.
    bool lastRunEndedUncleanly() const { return m_guard && m_guard->lastRunEndedUncleanly(); }
    // The boxes of the program: the given prompter, or with
    // --quit-after-start, --unattended and --headless one that writes them
    // to stderr.
    Prompter *prompter() const { return m_prompter; }

    // Shows the window: at once, or in the demo once the simulator is
    // ready; a simulator that fails is told and ends the program. With
    // --quit-after-start the program ends as soon as the window shows;
    // --tick-ms sets the engine's tick here.
    void show(Funkbote *window);
    // The same for a program without a window: runs start at once, or in
    // the demo once the simulator is ready.
    void whenReady(MessagingCore *core, QObject *context, std::function<void()> start);

private:
    StartOptions m_options;
    Prompter *m_prompter;
    QString m_programDir;
    QString m_userDataDir;
    std::unique_ptr<Prompter> m_consolePrompter;
    std::unique_ptr<DemoModem> m_demo;
    std::optional<DataLocation> m_location;
    std::unique_ptr<StartupGuard> m_guard;
};
