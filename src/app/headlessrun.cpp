#include "headlessrun.h"

#include "consoleprompter.h"
#include "corerun.h"
#include "funkboteservice.h"
#include "inbound.h"
#include "messagingcore.h"
#include "sendengine.h"
#include "startoptions.h"
#include "startupplan.h"
#include "terminationwatcher.h"
#include "twowaytables.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>

using namespace Qt::StringLiterals;

HeadlessRun::HeadlessRun(MessagingCore *core, FunkboteService *service, QObject *parent)
    : QObject(parent), m_core(core)
{
    SendEngine *engine = core->engine();
    showStatus(engine->status());
    connect(engine, &SendEngine::statusChanged, this, &HeadlessRun::showStatus);
    connect(engine, &SendEngine::halted, this, [](const QString &reason) {
        log(tr("Versand angehalten: %1 Weiter erst nach \"funkbote start\".").arg(reason));
    });
    connect(engine, &SendEngine::attemptsFailing, this, [](int count) {
        log(tr("Die SMS konnte trotz %1 Versuchen nicht versandt werden. Bitte überprüfen Sie "
               "die Einstellungen.")
                .arg(count));
    });
    connect(engine, &SendEngine::messageLogged, this,
            [](quint64 id, const QString &versandt, bool whole) {
                if (whole)
                    log(tr("Nachricht %1 versandt: %2").arg(id).arg(versandt));
            });
    connect(core, &MessagingCore::storeFailed, this, [](const QString &message) {
        log(tr("Die Datenbank meldet einen Fehler: %1").arg(message));
    });
    connect(core, &MessagingCore::spoolRefused, this, [](const QString &reason) { log(reason); });
    connect(
        core, &MessagingCore::spoolTaken, this,
        [](const QString &file, bool queued, const QString &reason) {
            log(queued
                    ? tr("Spool-Ordner: %1 in die Warteschlange gestellt.").arg(file)
                    : tr("Spool-Ordner: %1 nach \"fehlerhaft\" verschoben: %2").arg(file, reason));
        });
    if (service)
        connect(service, &FunkboteService::MessageReceived, this,
                [](const QString &number, const QString &, qlonglong) {
                    log(tr("Nachricht von %1 empfangen.").arg(number));
                });
}

void HeadlessRun::log(const QString &line)
{
    std::fprintf(stderr, "funkbote: %s\n", qPrintable(line));
    std::fflush(stderr);
}

void HeadlessRun::showStatus(const EngineStatus &status)
{
    // A countdown that goes on is one line, not one each second.
    EngineStatus compared = status;
    compared.secondsToNextAttempt = m_shown.secondsToNextAttempt;
    compared.secondsToLogRetry = m_shown.secondsToLogRetry;
    if (m_anyShown && compared == m_shown)
        return;
    m_anyShown = true;
    m_shown = status;
    log(statusText(status));
}

void HeadlessRun::quit()
{
    if (std::exchange(m_quitting, true))
        return;
    // Nothing more goes out; what is out gets its answer and its log row
    // first (a few seconds at most), so that no message is left in doubt.
    SendEngine *engine = m_core->engine();
    engine->pause();
    if (!engine->isCallUnderWay()) {
        finish();
        return;
    }
    log(tr("Wird beendet, sobald die Zentrale die gesendeten Nachrichten bestätigt hat..."));
    connect(engine, &SendEngine::stateChanged, this, [this, engine] {
        if (!engine->isCallUnderWay())
            finish();
    });
    QTimer::singleShot(finishWithinMs, this, &HeadlessRun::finish);
}

void HeadlessRun::finish()
{
    if (std::exchange(m_finished, true))
        return;
    // What the ending itself changes is not news.
    disconnect(m_core->engine(), nullptr, this, nullptr);
    m_core->shutDown(true);
    log(tr("Beendet; die Warteschlange bleibt für den nächsten Start gespeichert."));
    QCoreApplication::exit(0);
}

int runHeadless(QCoreApplication &app)
{
    ConsolePrompter prompter;
    StartupPlan plan(StartOptions::read(app), &prompter, QCoreApplication::applicationDirPath(),
                     QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    if (std::optional<int> exitCode = plan.check())
        return *exitCode;
    const QString programDir = plan.dataDir();
    HeadlessRun::log(
        QCoreApplication::translate("HeadlessRun", "Ohne Fenster gestartet, Daten in %1.")
            .arg(programDir));

    CoreRun coreRun(plan);
    MessagingCore &core = coreRun.core();
    QString busError;
    const bool onBus = coreRun.offerOnBus(&busError);
    if (!onBus)
        HeadlessRun::log(busError);
    HeadlessRun run(&core, onBus ? &coreRun.service() : nullptr);

    TerminationWatcher termination;
    QString signalError;
    if (termination.install(&signalError))
        QObject::connect(&termination, &TerminationWatcher::terminationRequested, &run,
                         &HeadlessRun::quit);
    else
        HeadlessRun::log(signalError);
    // What the last run left queued comes back (a doubtful message is not
    // sent again: it goes to the archive as "unbekannt").
    core.start();
    // The demo's simulator has just written its connection settings.
    plan.whenReady(&core, &run, [&core] { core.reloadSettings(); });
    return app.exec();
}
