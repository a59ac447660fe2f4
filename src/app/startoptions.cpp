#include "startoptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

struct Parser
{
    QCommandLineParser parser;
    QCommandLineOption data{u"data"_s, u"Daten.mdb aus ORDNER verwenden."_s, u"ORDNER"_s};
    QCommandLineOption demo{u"demo"_s, u"Ohne Modem ausprobieren: der Modem-Simulator dient "
                                       u"als Modem, die Daten liegen in einem Wegwerf-Ordner."_s};
    QCommandLineOption demoConnection{
        u"demo-connection"_s,
        u"Für die Demo: modem (Wählverbindung, Vorgabe), tcp (Internet) oder gsm "
        u"(GSM-Modem); schliesst --demo ein."_s,
        u"ART"_s, u"modem"_s};
    QCommandLineOption quitAfterStart{u"quit-after-start"_s,
                                      u"Boxen nach stderr, nach dem Start gleich enden."_s};
    QCommandLineOption unattended{u"unattended"_s, u"Boxen nach stderr, weiterlaufen."_s};
    QCommandLineOption tickMs{u"tick-ms"_s, u"Intervall von Timer1 in ms."_s, u"MS"_s};

    Parser()
    {
        parser.setApplicationDescription(u"Funkbote versendet SMS über ein Modem."_s);
        parser.addHelpOption();
        parser.addVersionOption();
        for (QCommandLineOption *hidden : {&quitAfterStart, &unattended, &tickMs})
            hidden->setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOptions({data, demo, demoConnection, quitAfterStart, unattended, tickMs});
    }

    StartOptions options(QString *error) const
    {
        StartOptions result;
        result.dataFolder = parser.value(data);
        result.demo = parser.isSet(demo) || parser.isSet(demoConnection);
        result.demoConnection = parser.value(demoConnection);
        result.quitAfterStart = parser.isSet(quitAfterStart);
        result.unattended = parser.isSet(unattended);
        bool tickIsNumber = true;
        if (parser.isSet(tickMs))
            result.tickMs = parser.value(tickMs).toInt(&tickIsNumber);
        if (!parser.positionalArguments().isEmpty())
            *error = u"Unerwartetes Argument: %1"_s.arg(parser.positionalArguments().constFirst());
        else if (!QStringList{u"modem"_s, u"tcp"_s, u"gsm"_s}.contains(result.demoConnection))
            *error = u"--demo-connection kennt modem, tcp und gsm, nicht \"%1\"."_s.arg(
                result.demoConnection);
        else if (result.demo && parser.isSet(data))
            *error = u"--demo und --data schliessen sich aus."_s;
        else if (parser.isSet(data) && result.dataFolder.trimmed().isEmpty())
            *error = u"--data braucht einen Ordner."_s;
        else if (!tickIsNumber || result.tickMs < 0)
            *error = u"--tick-ms braucht eine Zahl von Millisekunden."_s;
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
