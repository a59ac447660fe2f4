#include "inboxline.h"

#include "archiveline.h"
#include "twowaytables.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace InboxLine {
namespace {

QDateTime shownTime(const InboxMessage &message)
{
    const QDateTime at = message.sentAt.isValid() ? message.sentAt : message.receivedAt;
    return at.toLocalTime();
}

QString incompleteText()
{
    return QCoreApplication::translate("InboxLine", "unvollständig");
}

QString stopText()
{
    return QCoreApplication::translate("InboxLine", "STOP: gesperrt");
}

} // namespace

QString dateText(const InboxMessage &message)
{
    return shownTime(message).toString(u"dd.MM.yyyy"_s);
}

QString timeText(const InboxMessage &message)
{
    return shownTime(message).toString(u"HH:mm:ss"_s);
}

QString marks(const InboxMessage &message)
{
    QString text;
    if (message.incomplete)
        text += u" ["_s + incompleteText() + u']';
    if (message.stopRequest)
        text += u" ["_s + stopText() + u']';
    return text;
}

QString status(const InboxMessage &message)
{
    QStringList parts = {message.read ? QCoreApplication::translate("InboxLine", "gelesen")
                                      : QCoreApplication::translate("InboxLine", "ungelesen")};
    if (message.incomplete)
        parts.append(incompleteText());
    if (message.stopRequest)
        parts.append(stopText());
    return parts.join(u", "_s);
}

QString line(const InboxMessage &message, const QString &name)
{
    return dateText(message) + u'/' + timeText(message) + u" - " +
           (name.isEmpty() ? message.sender : name) + u", " + ArchiveLine::oneLine(message.text) +
           marks(message);
}

} // namespace InboxLine
