#pragma once

#include <QStringList>

class QCoreApplication;

// The commands for scripts: funkbote send NUMBER TEXT, status ID, queue,
// inbox [--unread] and start, each with --json and --data FOLDER. With an
// instance running on the data folder (window or --headless) they talk to
// it over D-Bus; with none, send puts the message into Daten.mdb's stored
// queue and the others read the file without changing it. They need no
// display.
namespace CommandLine {

enum ExitCode { Ok = 0, BadCommandLine = 1, Refused = 2, NoDataFile = 3, Unreachable = 4 };

// Whether the arguments (the first is the program) name a command.
bool isCommand(const QStringList &arguments);
// Runs the command in app (named, its language set); returns the exit code.
int run(QCoreApplication &app);

} // namespace CommandLine
