#pragma once

#include <QString>

// Checks Daten.mdb before the program uses it: it must exist, be an SQLite
// file the program may write, hold the three tables with their fields and a
// settings row, and not be locked by another program. The check never
// creates or changes the file. run() is false when the file cannot be used,
// and lastError() is then a German message naming the file and the problem.
class StoreCheck
{
public:
    // EveryPage also reads every page of the file for damage, which takes
    // the longer the bigger the file: worth it after an unclean end.
    // Structure reads only the few pages of the schema and the first rows.
    enum class Depth { Structure, EveryPage };

    explicit StoreCheck(QString path, Depth depth = Depth::EveryPage);

    bool run();
    QString lastError() const { return m_lastError; }

private:
    QString m_path;
    Depth m_depth;
    QString m_lastError;
};
