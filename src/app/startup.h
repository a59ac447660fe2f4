#pragma once

#include <QLockFile>
#include <QString>
#include <memory>
#include <optional>

class Prompter;

// What has to hold before the main window may load: no other instance runs
// on the same data folder, and Daten.mdb in it is usable. On the first start
// of an installed program (createFresh) the folder and a fresh Daten.mdb are
// made first, after one box that tells the user where. Every refusal is told
// in a message box; the program then ends with the returned exit code and
// leaves an existing Daten.mdb exactly as it was. The folder and the file
// it makes are for this user alone.
class StartupGuard
{
public:
    enum ExitCode { SecondInstance = 2, LockFailed = 3, BadStore = 4, CreateFailed = 5 };

    StartupGuard(QString dataDir, Prompter *prompter, bool createFresh = false);

    // nullopt: go ahead; otherwise the exit code to end with.
    std::optional<int> check();

    // When another instance holds the lock and runs without a window, the
    // user is asked whether it may end (the window's start; a second
    // program without a window just ends).
    void setOfferToEndHeadless(bool offer) { m_offerToEndHeadless = offer; }
    // The process that runs on dataDir now, if any (from its lock file).
    static std::optional<qint64> runningInstance(const QString &dataDir);

    QString databasePath() const;
    static QString databasePath(const QString &dataDir);
    // The last run left its lock behind: it crashed or was killed. After
    // check() only.
    bool lastRunEndedUncleanly() const { return m_checkEveryPage; }

private:
    std::optional<int> createFresh();
    // True once the instance without a window has ended and the lock is
    // taken; false when there is none, the user keeps it, or it stays.
    bool endHeadlessInstance();
    // Runs the store check: nullopt when Daten.mdb is usable.
    std::optional<int> badStore();
    // Takes the rights of group and others from a Daten.mdb that holds
    // secrets, and says so.
    void narrowRights();

    QString m_dataDir;
    Prompter *m_prompter;
    bool m_createFresh;
    bool m_checkEveryPage = false; // the last run did not end cleanly
    bool m_offerToEndHeadless = false;
    std::unique_ptr<QLockFile> m_lock; // held for the life of the program
};
