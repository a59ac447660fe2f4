#include "startoptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

namespace {

struct Parser
{
    QCommandLineParser parser;
    QCommandLineOption data{u"data"_qs, u"Daten.mdb aus ORDNER verwenden."_qs, u"ORDNER"_qs};
    QCommandLineOption demo{u"demo"_qs, u"Ohne Modem ausprobieren: der Modem-Simulator dient "
                                        u"als Modem, die Daten liegen in einem Wegwerf-Ordner."_qs};
    QCommandLineOption quitAfterStart{u"quit-after-start"_qs,
                                      u"Boxen nach stderr, nach dem Start gleich enden."_qs};

    Parser()
    {
        parser.setApplicationDescription(u"Funkbote versendet SMS über ein Modem."_qs);
        parser.addHelpOption();
        parser.addVersionOption();
        quitAfterStart.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOptions({data, demo, quitAfterStart});
    }

    StartOptions options(QString *error) const
    {
        StartOptions result;
        result.dataFolder = parser.value(data);
        result.demo = parser.isSet(demo);
        result.quitAfterStart = parser.isSet(quitAfterStart);
        if (!parser.positionalArguments().isEmpty())
            *error = u"Unerwartetes Argument: %1"_qs.arg(parser.positionalArguments().constFirst());
        else if (result.demo && parser.isSet(data))
            *error = u"--demo und --data schliessen sich aus."_qs;
        else if (parser.isSet(data) && result.dataFolder.trimmed().isEmpty())
            *error = u"--data braucht einen Ordner."_qs;
        return result;
    }
};

} // namespace

StartOptions StartOptions::read(const QCoreApplication &app)
{
    Parser p;
    p.parser.process(app);
    QString error;
    StartOptions result = p.options(&error);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        std::exit(1);
    }
    return result;
}

StartOptions StartOptions::parse(const QStringList &arguments, QString *error)
{
    Parser p;
    if (!p.parser.parse(arguments)) {
        *error = p.parser.errorText();
        return {};
    }
    return p.options(error);
}
