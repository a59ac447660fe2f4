#pragma once

#include <QString>
#include <QVariant>

// Reduces a telephone number to its digits "0" to "9", in their order.
// Blanks, "+", "-", "/", letters and every character above code 127 are dropped.
QString NurZiffern(QStringView text);
// Any value with a text form (a number, a database field). A null value gives "".
QString NurZiffern(const QVariant &value);

// The one notion of a digit that the number checks share with NurZiffern.
constexpr bool isAsciiDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}
