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
    QCommandLineOption data{
        u"data"_s, QCoreApplication::translate("StartOptions", "Daten.mdb aus ORDNER verwenden."),
        QCoreApplication::translate("StartOptions", "ORDNER")};
    QCommandLineOption demo{u"demo"_s, QCoreApplication::translate(
                                           "StartOptions",
                                           "Ohne Modem ausprobieren: der Modem-Simulator dient "
                                           "als Modem, die Daten liegen in einem Wegwerf-Ordner.")};
    QCommandLineOption demoConnection{
        u"demo-connection"_s,
        QCoreApplication::translate(
            "StartOptions", "Für die Demo: modem (Wählverbindung, Vorgabe), tcp (Internet), gsm "
                            "(GSM-Modem) oder smpp (SMPP über Internet); schliesst --demo ein."),
        QCoreApplication::translate("StartOptions", "ART"), u"modem"_s};
    QCommandLineOption headless{
        u"headless"_s,
        QCoreApplication::translate(
            "StartOptions",
            "Ohne Fenster laufen: senden, empfangen und über D-Bus Aufträge annehmen; "
            "Meldungen nach stderr. Endet mit SIGTERM.")};
    QCommandLineOption quitAfterStart{
        u"quit-after-start"_s,
        QCoreApplication::translate("StartOptions",
                                    "Boxen nach stderr, nach dem Start gleich enden.")};
    QCommandLineOption unattended{
        u"unattended"_s,
        QCoreApplication::translate("StartOptions", "Boxen nach stderr, weiterlaufen.")};
    QCommandLineOption tickMs{
        u"tick-ms"_s, QCoreApplication::translate("StartOptions", "Intervall von Timer1 in ms."),
        u"MS"_s};

    Parser()
    {
        parser.setApplicationDescription(
            QCoreApplication::translate("StartOptions", "Funkbote versendet SMS über ein Modem.") +
            u"\n\n"_s + StartOptions::commandSummary());
        parser.addHelpOption();
        parser.addVersionOption();
        for (QCommandLineOption *hidden : {&quitAfterStart, &unattended, &tickMs})
            hidden->setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOptions(
            {data, headless, demo, demoConnection, quitAfterStart, unattended, tickMs});
    }

    StartOptions options(QString *error) const
    {
        StartOptions result;
        result.dataFolder = parser.value(data);
        result.demo = parser.isSet(demo) || parser.isSet(demoConnection);
        result.demoConnection = parser.value(demoConnection);
        result.headless = parser.isSet(headless);
        result.quitAfterStart = parser.isSet(quitAfterStart);
        result.unattended = parser.isSet(unattended);
        bool tickIsNumber = true;
        if (parser.isSet(tickMs))
            result.tickMs = parser.value(tickMs).toInt(&tickIsNumber);
        if (!parser.positionalArguments().isEmpty())
            *error = QCoreApplication::translate("StartOptions", "Unerwartetes Argument: %1")
                         .arg(parser.positionalArguments().constFirst());
        else if (!QStringList{u"modem"_s, u"tcp"_s, u"gsm"_s, u"smpp"_s}.contains(
                     result.demoConnection))
            *error = QCoreApplication::translate(
                         "StartOptions",
                         "--demo-connection kennt modem, tcp, gsm und smpp, nicht \"%1\".")
                         .arg(result.demoConnection);
        else if (result.demo && parser.isSet(data))
            *error = QCoreApplication::translate("StartOptions",
                                                 "--demo und --data schliessen sich aus.");
        else if (parser.isSet(data) && result.dataFolder.trimmed().isEmpty())
            *error = QCoreApplication::translate("StartOptions", "--data braucht einen Ordner.");
        else if (!tickIsNumber || result.tickMs < 0)
            *error = QCoreApplication::translate("StartOptions",
                                                 "--tick-ms braucht eine Zahl von Millisekunden.");
        return result;
    }
};

} // namespace

QString StartOptions::commandSummary()
{
    return QCoreApplication::translate(
        "StartOptions",
        "Befehle für Skripte (mit --json als JSON; siehe man funkbote):\n"
        "  funkbote send NUMMER TEXT   Nachricht in die Warteschlange (TEXT - liest stdin)\n"
        "  funkbote status ID          Stand einer Nachricht\n"
        "  funkbote queue              die Warteschlange\n"
        "  funkbote inbox [--unread]   empfangene Nachrichten\n"
        "  funkbote start              angehaltenen Versand fortsetzen");
}

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
