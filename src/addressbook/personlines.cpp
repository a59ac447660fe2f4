#include "personlines.h"

#include "addressbooktexts.h"
#include "queuenumber.h"

using namespace Qt::StringLiterals;

namespace {

QString text(const QVariant &value)
{
    return value.isNull() ? QString() : value.toString();
}

} // namespace

PersonLine searchLine(const Person &person)
{
    // The number-to-text form that reserves a place for the sign.
    QString line = person.dsNummer >= 0 ? u" "_s : QString();
    line += QString::number(person.dsNummer) + u" - "_s + text(person.name);
    const QString number = text(person.natelNummer);
    if (!number.isEmpty())
        line += u", "_s + number;
    return PersonLine{person.dsNummer, line, text(person.name), QString()};
}

PersonLine pickLine(const Person &person)
{
    const QString number = text(person.natelNummer);
    return PersonLine{person.dsNummer, number + u" - "_s + text(person.name), text(person.name),
                      number};
}

QString nummerAbgelehnt(const PersonLine &line, const QueueNumber &number)
{
    return queueNumberMessage(AddressBookText::mobileNumberOf(line.name), line.number, number) +
           u'\n' + AddressBookText::correctNumber();
}
