#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// A message is counted, split, queued and encoded with its line breaks as
// carriage return plus line feed, two characters each, the way the message
// centre receives them.
namespace MessageText {

// Longest text that goes out as one SMS.
inline constexpr int maxSingleLength = 160;
// Text carried by the first part, and the most a last part can carry.
inline constexpr int firstPartLength = 155;
// Text carried by every part between the first and the last.
inline constexpr int middlePartLength = 150;

// Ends every part after which the message goes on.
inline constexpr QStringView continuesMark = u"...->";
// Begins every part that continues the previous one.
inline constexpr QStringView continuationMark = u"->...";

} // namespace MessageText

// The text with every line break (LF, CR LF, a lone CR, or the Unicode line
// and paragraph separators a text field may hold) written as CR LF.
QString toCrLf(QStringView text);

// The queue entries a message becomes. A text of at most 160 characters is
// one entry as it stands; a longer one is cut at fixed positions: the first
// 155 characters followed by "...->", then parts of "->..." + 150 characters
// + "...->", and a last part of "->..." + the rest (at most 155 characters).
// Every part is at most 160 characters long. An empty text gives no part.
//
// The cuts count characters (UTF-16 units) and take no notice of what they
// separate, so a CR LF pair or a surrogate pair standing on a cut position is
// divided between two parts.
QStringList splitMessage(const QString &text);

// The first entry splitMessage makes of a text, and the rest of the text
// after it: empty when the text fits one SMS, else "->..." followed by the
// text after the first part. splitMessage makes of that rest exactly the
// parts that would follow the first one, so a long message can go out one
// part at a time, its entry holding what is still to be sent.
struct FirstPart
{
    QString part;
    QString rest;
};
FirstPart splitFirstPart(const QString &text);

// How many entries splitMessage makes of a text of this length, without
// building them (for a hint updated on every key press).
int messagePartCount(qsizetype length);
