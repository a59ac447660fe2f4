#pragma once

#include "contactrecord.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <functional>
#include <optional>

// Merge fields of a bulk message: {Name}, {Adresse}, {PLZOrt} and
// {Bemerkungen} stand for the recipient's own values. Field names are matched
// without regard to case; anything else in braces ("{Natel}", "{ Name }",
// a lone "{") stays as written, so a message without fields is sent as typed.
namespace MergeFields {

// The text with every field replaced by the record's value (an empty field
// gives an empty text).
QString merge(const QString &text, const ContactRecord &record);

// True when the text holds at least one of the four fields.
bool containsField(QStringView text);

// The recipient whose merged text is longest, when that text is too long.
struct Overflow
{
    qsizetype index = 0;  // into the recipients
    qsizetype length = 0; // as measured
    QString name;
    QString natelNummer;
};

// How long a text counts; the bulk start passes the queue's count, in which
// a line break is two characters.
using Measure = std::function<qsizetype(QStringView)>;

// The longest merged text over all recipients, if it is longer than limit
// (the first recipient among several of the same length). Nothing when every
// text fits. Without a measure, characters are counted.
std::optional<Overflow> longestOverLimit(const QString &text,
                                         const QList<ContactRecord> &recipients,
                                         qsizetype limit = 160, const Measure &measure = {});

// "Die Nachricht für «Meier Hans» ist mit den eingesetzten Feldern 172
// Zeichen lang; höchstens 160 Zeichen sind möglich. …", naming the person by
// number when the name is empty.
QString overLimitMessage(const Overflow &overflow, qsizetype limit = 160);

} // namespace MergeFields
