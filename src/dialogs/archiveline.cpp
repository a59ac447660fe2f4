#include "archiveline.h"

#include "cmserror.h"
#include "gsmpdu.h"
#include "sendlog.h"
#include "ucp.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QTime>

using namespace Qt::StringLiterals;

namespace ArchiveLine {
namespace {

bool ziffern(QStringView text, qsizetype from, qsizetype count, int *value)
{
    int result = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        result = result * 10 + (c - u'0');
    }
    *value = result;
    return true;
}

// "yyyy-MM-dd", read by hand: the archive converts one per row, and a
// hundred thousand rows must open without a noticeable wait.
std::optional<QDate> isoDate(QStringView text)
{
    int year = 0;
    int month = 0;
    int day = 0;
    if (text.size() != 10 || text[4] != u'-' || text[7] != u'-' || !ziffern(text, 0, 4, &year) ||
        !ziffern(text, 5, 2, &month) || !ziffern(text, 8, 2, &day) ||
        !QDate::isValid(year, month, day))
        return std::nullopt;
    return QDate(year, month, day);
}

bool isIsoTime(QStringView text)
{
    int hour = 0;
    int minute = 0;
    int second = 0;
    return text.size() == 8 && text[2] == u':' && text[5] == u':' && ziffern(text, 0, 2, &hour) &&
           ziffern(text, 3, 2, &minute) && ziffern(text, 6, 2, &second) &&
           QTime::isValid(hour, minute, second);
}

} // namespace

QString dateText(const QVariant &stored)
{
    switch (stored.typeId()) {
    case QMetaType::QDate:
        return stored.toDate().toString(u"dd.MM.yyyy"_s);
    case QMetaType::QDateTime:
        return stored.toDateTime().date().toString(u"dd.MM.yyyy"_s);
    default:
        break;
    }
    const QString text = stored.toString();
    if (!isoDate(text))
        return text;
    // The ISO digits are already right; only their order and separators change.
    const QStringView view(text);
    return view.mid(8, 2) + u'.' + view.mid(5, 2) + u'.' + view.left(4);
}

QString timeText(const QVariant &stored)
{
    switch (stored.typeId()) {
    case QMetaType::QTime:
        return stored.toTime().toString(u"HH:mm:ss"_s);
    case QMetaType::QDateTime:
        return stored.toDateTime().time().toString(u"HH:mm:ss"_s);
    default:
        break;
    }
    const QString text = stored.toString();
    if (isIsoTime(text))
        return text; // already the Swiss form
    const QTime time = QTime::fromString(text, Qt::ISODate);
    return time.isValid() ? time.toString(u"HH:mm:ss"_s) : text;
}

QString statusText(const QString &versandt)
{
    if (versandt == u"OK")
        return QString();
    // "unbekannt": the program ended after the message went out and before
    // its answer was logged, and the user chose not to send it again.
    if (versandt.trimmed().isEmpty() || versandt == u"unbekannt")
        return u" ["_s + QCoreApplication::translate("ArchiveLine", "Versandstatus unbekannt") +
               u']';
    // The message centre ("NACK " + code) or the GSM network ("CMS " +
    // code) refused the message for good.
    if (versandt.startsWith(u"NACK") || versandt.startsWith(u"CMS ")) {
        // A code is shown with its meaning, so that the archive tells why
        // without a table at hand.
        const QStringView code = QStringView(versandt).sliced(4).trimmed();
        const bool ucpCode = versandt.startsWith(u"NACK ") && code.size() == 2 &&
                             code[0].isDigit() && code[1].isDigit();
        bool cmsCode = false;
        const int cms = versandt.startsWith(u"CMS ") ? code.toInt(&cmsCode) : 0;
        QString shown = versandt;
        if (ucpCode)
            shown += u" – "_s + ucpNackText(code.toString());
        else if (cmsCode)
            shown += u" – "_s + Gsm::cmsError(cms).text;
        return u" ["_s + QCoreApplication::translate("ArchiveLine", "abgelehnt: %1").arg(shown) +
               u']';
    }
    // A text the program logged in German is shown in the user's language.
    return u" ["_s +
           QCoreApplication::translate("ArchiveLine", "nicht versandt: %1")
               .arg(Gsm::errorMeaning(versandt)) +
           u']';
}

QString oneLine(const QString &stored)
{
    // Laying out a line of a megabyte (a log written by another tool) takes
    // the list seconds at every repaint; the list shows the beginning.
    const bool cut = stored.size() > kLongestShown;
    const QString nachricht = cut ? stored.first(kLongestShown) + u'…' : stored;
    if (!nachricht.contains(u'\r') && !nachricht.contains(u'\n'))
        return nachricht;
    QString result;
    result.reserve(nachricht.size());
    for (qsizetype i = 0; i < nachricht.size(); ++i) {
        const QChar c = nachricht.at(i);
        if (c == u'\r') {
            // CR LF is one line break.
            if (i + 1 < nachricht.size() && nachricht.at(i + 1) == u'\n')
                ++i;
            result += kLineBreakMark;
        } else if (c == u'\n') {
            result += kLineBreakMark;
        } else {
            result += c;
        }
    }
    return result;
}

QString deliveryState(const std::optional<DeliveryStatus> &delivery)
{
    if (!delivery)
        return QString();
    switch (delivery->state) {
    case DeliveryState::Delivered:
        return QCoreApplication::translate("ArchiveLine", "zugestellt");
    case DeliveryState::Failed:
        return delivery->detail.isEmpty()
                   ? QCoreApplication::translate("ArchiveLine", "nicht zugestellt")
                   : QCoreApplication::translate("ArchiveLine", "nicht zugestellt: %1")
                         .arg(delivery->detail);
    case DeliveryState::Pending:
        break;
    }
    return QCoreApplication::translate("ArchiveLine", "Zustellung ausstehend");
}

QString deliveryTime(const std::optional<DeliveryStatus> &delivery)
{
    if (!delivery || !delivery->at.isValid())
        return QString();
    return delivery->at.toLocalTime().toString(u"dd.MM.yyyy HH:mm:ss"_s);
}

QString deliveryText(const std::optional<DeliveryStatus> &delivery)
{
    if (!delivery)
        return QString();
    QString text = deliveryState(delivery);
    // The day and minute are enough beside the sending date.
    if (delivery->state == DeliveryState::Delivered && delivery->at.isValid())
        text += u' ' + delivery->at.toLocalTime().toString(u"dd.MM. HH:mm"_s);
    return u" ["_s + text + u']';
}

QString line(const LogRow &row)
{
    return dateText(row.versandDatum) + u'/' + timeText(row.versandZeit) + u" - " +
           row.mobilNummer + u", " + oneLine(row.nachricht) + statusText(row.versandt) +
           deliveryText(row.delivery);
}

} // namespace ArchiveLine
