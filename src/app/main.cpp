#include "clock.h"
#include "funkbote.h"
#include "look.h"
#include "settings.h"
#include "startup.h"
#include "startupplan.h"
#include "widgetprompter.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTranslator>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Funkbote"_s);
    QApplication::setApplicationDisplayName(u"Funkbote"_s);
    QApplication::setApplicationVersion(u"1.0"_s);

    // Qt's own buttons and dialogs speak German too ("Ja", "Nein", "Abbrechen").
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Switzerland));
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(), u"qtbase"_s, u"_"_s,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    QApplication::setFont(Look::programFont());

    WidgetPrompter prompter;
    SystemClock clock;
    // The command line and the data folder: Daten.mdb beside the program
    // (portable), in the per-user folder (installed), --data or the demo's.
    StartupPlan plan(StartOptions::read(app), &prompter, QCoreApplication::applicationDirPath(),
                     QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    if (std::optional<int> exitCode = plan.check())
        return *exitCode;
    const QString programDir = plan.dataDir();

    // The settings row, read by the window when it first becomes active.
    Settings settings(StartupGuard::databasePath(programDir));
    Funkbote window(Funkbote::Environment{programDir, plan.prompter(), &clock, nullptr, &settings,
                                          plan.isDemo() ? u" – Demo"_s : QString()});
    prompter.setMainWindow(&window);
    QObject::connect(&window, &Funkbote::closed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    plan.show(&window);
    return app.exec();
}
