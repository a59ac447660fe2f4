#pragma once

#include <QFile>
#include <QString>

// Writes the simulator's event lines to stdout, one per event and flushed at
// once, because test programs read them while the simulator keeps running.
// With a log file each line is also appended there behind a time stamp.
class Reporter
{
public:
    bool openLog(const QString &path, QString *error);
    void line(const QString &text);

private:
    QFile m_log;
};

// Keeps a text on one output line: CR, LF and the backslash itself become
// C-style escapes.
QString escapedForLine(const QString &text);
