#include "clock.h"
#include "funkbote.h"
#include "look.h"
#include "settings.h"
#include "startup.h"
#include "widgetprompter.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Funkbote"_qs);
    QApplication::setApplicationDisplayName(u"Funkbote"_qs);
    QApplication::setApplicationVersion(u"1.0"_qs);

    // Qt's own buttons and dialogs speak German too ("Ja", "Nein", "Abbrechen").
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Switzerland));
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(), u"qtbase"_qs, u"_"_qs,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    QApplication::setFont(Look::programFont());

    WidgetPrompter prompter;
    SystemClock clock;
    const QString programDir = QCoreApplication::applicationDirPath();

    StartupGuard guard(programDir, &prompter);
    if (std::optional<int> exitCode = guard.check())
        return *exitCode;

    // The settings row, read by the window when it first becomes active.
    Settings settings(StartupGuard::databasePath(programDir));
    Funkbote window(Funkbote::Environment{programDir, &prompter, &clock, nullptr, &settings});
    prompter.setMainWindow(&window);
    QObject::connect(&window, &Funkbote::closed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    window.showCentred();
    return app.exec();
}
