#include "nurziffern.h"

QString NurZiffern(QStringView text)
{
    QString digits;
    digits.reserve(text.size());
    for (QChar c : text) {
        if (isAsciiDigit(c))
            digits.append(c);
    }
    return digits;
}

QString NurZiffern(const QVariant &value)
{
    if (value.isNull())
        return QString();
    return NurZiffern(QStringView(value.toString()));
}
