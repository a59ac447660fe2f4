#include "personlines.h"

#include "addressbooktexts.h"
#include "nurziffern.h"
#include "queuenumber.h"

using namespace Qt::StringLiterals;

namespace {

QString text(const QVariant &value)
{
    return value.isNull() ? QString() : value.toString();
}

bool hasNatelNummer(const Person &person)
{
    return !NurZiffern(person.natelNummer).isEmpty();
}

} // namespace

QString searchLine(const Person &person)
{
    // The number-to-text form that reserves a place for the sign.
    QString line = person.dsNummer >= 0 ? u" "_s : QString();
    line += QString::number(person.dsNummer) + u" - "_s + text(person.name);
    const QString number = text(person.natelNummer);
    if (!number.isEmpty())
        line += u", "_s + number;
    return line;
}

QString pickLine(const Person &person)
{
    return text(person.natelNummer) + u" - "_s + text(person.name);
}

QList<PersonLine> searchLines(const QList<Person> &persons)
{
    QList<PersonLine> lines;
    lines.reserve(persons.size());
    // The search results hand over the key only.
    for (const Person &person : persons)
        lines.append(PersonLine{person.dsNummer, searchLine(person), text(person.name), QString()});
    return lines;
}

QList<PersonLine> pickLines(const QList<Person> &persons)
{
    QList<PersonLine> lines;
    lines.reserve(persons.size());
    for (const Person &person : persons) {
        if (hasNatelNummer(person))
            lines.append(PersonLine{person.dsNummer, pickLine(person), text(person.name),
                                    text(person.natelNummer)});
    }
    return lines;
}

QString nummerAbgelehnt(const PersonLine &line, const QueueNumber &number)
{
    return queueNumberMessage(AddressBookText::mobileNumberOf(line.name), line.number, number) +
           u'\n' + AddressBookText::correctNumber();
}
