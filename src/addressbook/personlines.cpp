#include "personlines.h"

#include "addressbooktexts.h"
#include "messagetext.h"
#include "nurziffern.h"
#include "outgoingqueue.h"
#include "queuenumber.h"

namespace {

QString text(const QVariant &value)
{
    return value.isNull() ? QString() : value.toString();
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

bool hatNatelNummer(const Person &person)
{
    return !NurZiffern(person.natelNummer).isEmpty();
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

QList<QueueEntry> serienEintraege(const QStringList &nummern, const QString &nachricht,
                                  const QString &rueckrufNummer)
{
    QList<QueueEntry> entries;
    const QueueNumber rueckruf = queueNumber(rueckrufNummer);
    if (!rueckruf.isValid() && rueckruf.problem != QueueNumber::Problem::NoDigits)
        return entries;
    // Line breaks go into the queue as CR LF, as for every other message.
    const QString text = toCrLf(nachricht);
    entries.reserve(nummern.size());
    for (const QString &nummer : nummern) {
        QueueNumber number = queueNumber(nummer);
        if (number.isValid())
            entries.append(QueueEntry{0, std::move(number.digits), text, rueckruf.digits});
    }
    return entries;
}

int SerienSMSEinreihen(OutgoingQueue &queue, const QStringList &nummern, const QString &nachricht,
                       const QString &rueckrufNummer)
{
    return int(queue.appendMany(serienEintraege(nummern, nachricht, rueckrufNummer)).size());
}
