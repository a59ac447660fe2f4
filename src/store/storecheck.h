#pragma once

#include <QString>
#include <optional>

// Checks Daten.mdb before the program uses it: it must exist, be an SQLite
// file the program may write, hold the three tables with their fields and a
// settings row, and not be locked by another program. The check never
// creates or changes the file. Returns a German message naming the file and
// the problem, or nothing when the file is usable.
std::optional<QString> checkStore(const QString &path);
