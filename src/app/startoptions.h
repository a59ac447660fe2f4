#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

// The command line: --help, --version, --data FOLDER, --headless, --demo with
// --demo-connection KIND (modem, tcp, gsm or smpp: which way the simulator is
// reached; it implies --demo), and the hidden
// --quit-after-start with which the installed package is tried out: every
// box is written to stderr and answered with its default button instead of
// waiting for a click, and the program ends as soon as its window shows.
// The crash and soak tests run the program with two more hidden options:
// --unattended writes and answers the boxes the same way but keeps the
// program running, and --tick-ms MS sets the interval of Timer1.
struct StartOptions
{
    QString dataFolder;
    bool demo = false;
    // modem, tcp or gsm.
    QString demoConnection = QStringLiteral("modem");
    // No window: the messaging core alone, its log on stderr.
    bool headless = false;
    bool quitAfterStart = false;
    bool unattended = false;
    int tickMs = 0; // 0: the program's own 5 seconds

    // --help and --version print their text and end the program; so does a
    // bad command line, with the reason on stderr and exit code 1.
    static StartOptions read(const QCoreApplication &app);
    // Parses a given argument list (the first one is the program) without
    // ending the program: a bad command line sets error; --help and
    // --version are not handled here.
    static StartOptions parse(const QStringList &arguments, QString *error);
    // The script commands, for the help text.
    static QString commandSummary();
};
