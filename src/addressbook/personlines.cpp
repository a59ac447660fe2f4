#include "personlines.h"

#include "addressbooktexts.h"
#include "nurziffern.h"
#include "queuenumber.h"

namespace {

QString text(const QVariant &value)
{
    return value.isNull() ? QString() : value.toString();
}

bool hatNatelNummer(const Person &person)
{
    return !NurZiffern(person.natelNummer).isEmpty();
}

} // namespace

QString suchZeile(const Person &person)
{
    // The number-to-text form that reserves a place for the sign.
    QString line = person.dsNummer >= 0 ? u" "_qs : QString();
    line += QString::number(person.dsNummer) + u" - "_qs + text(person.name);
    const QString nummer = text(person.natelNummer);
    if (!nummer.isEmpty())
        line += u", "_qs + nummer;
    return line;
}

QString auswahlZeile(const Person &person)
{
    return text(person.natelNummer) + u" - "_qs + text(person.name);
}

QList<PersonLine> suchZeilen(const QList<Person> &persons)
{
    QList<PersonLine> lines;
    lines.reserve(persons.size());
    // The search results hand over the key only.
    for (const Person &person : persons)
        lines.append(PersonLine{person.dsNummer, suchZeile(person), text(person.name), QString()});
    return lines;
}

QList<PersonLine> auswahlZeilen(const QList<Person> &persons)
{
    QList<PersonLine> lines;
    lines.reserve(persons.size());
    for (const Person &person : persons) {
        if (hatNatelNummer(person))
            lines.append(PersonLine{person.dsNummer, auswahlZeile(person), text(person.name),
                                    text(person.natelNummer)});
    }
    return lines;
}

QString nummerAbgelehnt(const PersonLine &line, const QueueNumber &number)
{
    return queueNumberMessage(AdressText::mobilnummerVon(line.name), line.number, number) + u'\n' +
           AdressText::nummerKorrigieren();
}
