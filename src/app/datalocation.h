#pragma once

#include <QString>

// Where Daten.mdb lives, and with it the lock file and the COMn links:
// - the folder named on the command line (--data FOLDER);
// - otherwise the program's own folder when a Daten.mdb stands there (the
//   portable way: a build folder, or a copy on a stick);
// - otherwise the per-user data folder (an installed program).
// The first start of an installed program is when its per-user folder does
// not exist yet: only then is a fresh Daten.mdb created there. Once the
// folder exists, a missing or bad file is reported like everywhere else and
// never created again behind the user's back.
class DataLocation
{
public:
    enum class Mode { Portable, Installed, Folder, Demo };

    static DataLocation choose(const QString &programDir, const QString &userDataDir,
                               const QString &dataOption = QString());
    // The demo's throw-away folder, with its Daten.mdb already made.
    static DataLocation demo(const QString &folder);

    Mode mode() const { return m_mode; }
    QString folder() const { return m_folder; }
    QString databasePath() const;
    bool isFirstStart() const { return m_firstStart; }

private:
    DataLocation(Mode mode, QString folder, bool firstStart);

    Mode m_mode;
    QString m_folder;
    bool m_firstStart;
};
