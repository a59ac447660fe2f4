#pragma once

#include <QString>

// Writing a fresh Daten.mdb: the build's mkdaten, the first start in the
// per-user data folder and the demo all make it the same way.
namespace NewStore {

// Creates PATH with the three tables and the settings row. A provider number,
// when given, goes into the settings row unless the row already has one; an
// existing file only gets that number and is otherwise kept as it is.
// Returns an empty string on success, otherwise the reason; a new file that
// failed halfway is removed again.
QString create(const QString &path, const QString &provider = QString());

} // namespace NewStore
