#pragma once

#include <QLockFile>
#include <QString>
#include <memory>
#include <optional>

class Prompter;

// What has to hold before the main window may load: no other instance runs
// on the same program folder, and Daten.mdb beside the program is usable.
// Every refusal is told in a message box; the program then ends with the
// returned exit code and leaves Daten.mdb exactly as it was.
class StartupGuard
{
public:
    enum ExitCode { SecondInstance = 2, LockFailed = 3, BadStore = 4 };

    StartupGuard(QString programDir, Prompter *prompter);

    // nullopt: go ahead; otherwise the exit code to end with.
    std::optional<int> check();

    QString databasePath() const;
    static QString databasePath(const QString &programDir);

private:
    QString m_programDir;
    Prompter *m_prompter;
    std::unique_ptr<QLockFile> m_lock; // held for the life of the program
};
