#include "commandline.h"
#include "corerun.h"
#include "funkbote.h"
#include "headlessrun.h"
#include "look.h"
#include "messagingcore.h"
#include "startup.h"
#include "startupplan.h"
#include "terminationwatcher.h"
#include "uilanguage.h"
#include "widgetprompter.h"

#include <QApplication>
#include <QLocale>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

void nameApplication()
{
    QCoreApplication::setApplicationName(u"Funkbote"_s);
    QCoreApplication::setApplicationVersion(QString::fromLatin1(FUNKBOTE_VERSION));
}

// --help and --version answer on a terminal without a display: they are
// handled before the window system is reached (QApplication would end the
// program there without one).
void answerWithoutDisplay(int argc, char *argv[])
{
    static const QByteArrayList answered = {"-h", "--help", "-?", "--help-all", "-v", "--version"};
    bool asked = false;
    for (int i = 1; i < argc; ++i)
        asked = asked || answered.contains(QByteArray(argv[i]));
    if (!asked)
        return;
    int probeArgc = argc;
    QCoreApplication probe(probeArgc, argv);
    nameApplication();
    const UiLanguage language(probe, QLocale::system());
    StartOptions::read(probe); // prints and ends the program
}

// The commands for scripts and --headless run without a display (cron, ssh,
// a systemd unit): they start a core application, never a widgets one.
std::optional<int> runWithoutWindow(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const bool command = CommandLine::isCommand(arguments);
    if (!command && !arguments.contains(u"--headless"_s))
        return std::nullopt;
    QCoreApplication app(argc, argv);
    nameApplication();
    const UiLanguage language(app, QLocale::system());
    return command ? CommandLine::run(app) : runHeadless(app);
}

} // namespace

int main(int argc, char *argv[])
{
    if (std::optional<int> exitCode = runWithoutWindow(argc, argv))
        return *exitCode;
    answerWithoutDisplay(argc, argv);
    QApplication app(argc, argv);
    nameApplication();
    QApplication::setApplicationDisplayName(u"Funkbote"_s);

    // German, or English on an English system; Qt's own buttons and dialogs
    // speak the same language ("Ja", "Nein" or "Yes", "No").
    const UiLanguage language(app, QLocale::system());

    QApplication::setFont(Look::programFont());

    WidgetPrompter prompter;
    // The command line and the data folder: Daten.mdb beside the program
    // (portable), in the per-user folder (installed), --data or the demo's.
    StartupPlan plan(StartOptions::read(app), &prompter, QCoreApplication::applicationDirPath(),
                     QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    if (std::optional<int> exitCode = plan.check())
        return *exitCode;

    // The messaging runs in the core; the window shows it. Other programs
    // of the user queue messages through the same core; without a session
    // bus the window works on alone, which is only noted.
    CoreRun run(plan);
    MessagingCore &core = run.core();
    if (QString busError; !run.offerOnBus(&busError))
        qWarning("%s", qPrintable(busError));
    Funkbote window(&core, plan.isDemo() ? u" – Demo"_s : QString());
    // What the last run left queued comes back (with its question) before
    // the window shows and anything is sent.
    core.start();
    prompter.setMainWindow(&window);
    // exit() rather than quit(): quit() would first ask every window again
    // whether it may close, and a dialog that refuses would keep the
    // program open after the user had chosen to end it.
    QObject::connect(
        &window, &Funkbote::closed, &app, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    // SIGTERM and SIGHUP (a logout, kill, a service stop) end the program
    // like a quit without questions, so that its clean-up runs: the data
    // file's lock goes, the demo's simulator ends, the queue stays stored.
    TerminationWatcher termination;
    // Without its pipe the signals keep their default action.
    QString signalError;
    if (termination.install(&signalError))
        QObject::connect(&termination, &TerminationWatcher::terminationRequested, &window,
                         &Funkbote::quitWithoutQuestions);
    plan.show(&window);
    return app.exec();
}
