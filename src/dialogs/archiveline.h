#pragma once

#include <QString>
#include <QVariant>
#include <optional>

struct DeliveryStatus;
struct LogRow;

// One line of the send archive: date, "/", time, " - ", number, ", ", text.
// Dates and times appear in Swiss German form (06.12.2026/14:03:05); a row
// that was not delivered carries its status at the end, so a refused
// message never looks like a sent one.
namespace ArchiveLine {

// A stored date ("2026-12-06") as "06.12.2026"; anything that is not such a
// date is shown as it was stored.
QString dateText(const QVariant &stored);
// A stored time of day ("14:03:05", also "14:03") as "14:03:05"; anything
// else as it was stored.
QString timeText(const QVariant &stored);
// Empty for a row logged as "OK", otherwise " [" + the status in German + "]".
QString statusText(const QString &versandt);
// Empty for a message sent without a request for a report, otherwise
// " [zugestellt dd.mm. hh:mm]", " [Zustellung ausstehend]" or
// " [nicht zugestellt: <reason>]".
QString deliveryText(const std::optional<DeliveryStatus> &delivery);
// For the export: the state in a word or two, and the time of the report.
QString deliveryState(const std::optional<DeliveryStatus> &delivery);
QString deliveryTime(const std::optional<DeliveryStatus> &delivery);
// The message text on one line: each line break becomes a visible mark. Of
// a text longer than kLongestShown characters the line shows the beginning
// and "…"; search, export and "Erneut senden" use the whole text.
inline constexpr qsizetype kLongestShown = 2000;
QString oneLine(const QString &nachricht);

inline const QString kLineBreakMark = QStringLiteral("\u00B6");

QString line(const LogRow &row);

} // namespace ArchiveLine
