#include "personlines.h"

#include "messagetext.h"
#include "nurziffern.h"
#include "outgoingqueue.h"

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
        lines.append(PersonLine{person.dsNummer, suchZeile(person), QString()});
    return lines;
}

QList<PersonLine> auswahlZeilen(const QList<Person> &persons)
{
    QList<PersonLine> lines;
    lines.reserve(persons.size());
    for (const Person &person : persons) {
        QString digits = NurZiffern(person.natelNummer);
        if (!digits.isEmpty())
            lines.append(PersonLine{person.dsNummer, auswahlZeile(person), std::move(digits)});
    }
    return lines;
}

QList<QueueEntry> serienEintraege(const QStringList &nummern, const QString &nachricht,
                                  const QString &rueckrufNummer)
{
    const QString rueckruf = NurZiffern(QStringView(rueckrufNummer));
    // Line breaks go into the queue as CR LF, as for every other message.
    const QString text = toCrLf(nachricht);
    QList<QueueEntry> entries;
    entries.reserve(nummern.size());
    for (const QString &nummer : nummern)
        entries.append(QueueEntry{0, NurZiffern(QStringView(nummer)), text, rueckruf});
    return entries;
}

int SerienSMSEinreihen(OutgoingQueue &queue, const QStringList &nummern, const QString &nachricht,
                       const QString &rueckrufNummer)
{
    return int(queue.appendMany(serienEintraege(nummern, nachricht, rueckrufNummer)).size());
}
