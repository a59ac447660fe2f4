#pragma once

#include "addresslist.h"

#include <QList>
#include <QString>
#include <QStringList>

struct QueueNumber;

// One line of a person list together with what the windows need of the
// person behind it. The key, name and number travel with the line, so a
// chosen line is never read back from its text (which broke on keys above
// 32767, names with hyphens and numbers written with hyphens).
struct PersonLine
{
    qint64 key = 0;
    QString text;
    QString name;   // empty when the field holds no value
    QString number; // the stored NatelNummer as it stands (picks only)
};

// Line of the search results: the key with a blank before it when it is not
// negative, " - ", the name (empty when the field holds no value) and, when
// the person has a number, ", " and the number as stored. The search results
// hand over the key only.
PersonLine searchLine(const Person &person);

// Line of the single and the bulk pick: the number as stored, " - ", the
// name. A number that cannot be queued is listed all the same: the user is
// told why when it is chosen.
PersonLine pickLine(const Person &person);

// The user's message when queueNumber refuses the number of a chosen line.
QString nummerAbgelehnt(const PersonLine &line, const QueueNumber &number);
