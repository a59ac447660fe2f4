#pragma once

#include <QString>
#include <QStringList>

struct InboxMessage;

// One line of the inbox: date, "/", time, " - ", the sender's name from the
// address book (or the sender as received), ", ", the text on one line, and
// the marks of a message that asked to stop or lacks a part. The time is
// the centre's time stamp in local time; a message without one shows when
// the program stored it.
namespace InboxLine {

QString dateText(const InboxMessage &message);
QString timeText(const InboxMessage &message);
// " [unvollständig]" and " [STOP: gesperrt]" as they apply, else empty.
QString marks(const InboxMessage &message);
// For the export: "gelesen" or "ungelesen", then the marks, by commas.
QString status(const InboxMessage &message);
QString line(const InboxMessage &message, const QString &name);

} // namespace InboxLine
