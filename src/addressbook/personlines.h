#pragma once

#include "addresslist.h"

#include <QList>
#include <QString>
#include <QStringList>

class OutgoingQueue;
struct QueueEntry;
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
// the person has a number, ", " and the number as stored.
QString suchZeile(const Person &person);

// Line of the single and the bulk pick: the number as stored, " - ", the name.
QString auswahlZeile(const Person &person);

// A person is offered as a recipient only when the stored number holds at
// least one digit; blanks or letters alone are no number to send to.
bool hatNatelNummer(const Person &person);

// All persons as search result lines, in table order, without digits.
QList<PersonLine> suchZeilen(const QList<Person> &persons);
// The persons with a number as pick lines, in table order. A number that
// cannot be queued is listed all the same: the user is told why when it is
// chosen.
QList<PersonLine> auswahlZeilen(const QList<Person> &persons);

// The user's message when queueNumber refuses the number of a chosen line.
QString nummerAbgelehnt(const PersonLine &line, const QueueNumber &number);

// The queue entries of one bulk run: one per number, in the given order, each
// with the message text unchanged and the call-back field's number, both as
// queueNumber makes them. Numbers it refuses are left out (the bulk window
// has told the user); with a call-back number it refuses there are none (the
// start checks refuse such a run before).
QList<QueueEntry> serienEintraege(const QStringList &nummern, const QString &nachricht,
                                  const QString &rueckrufNummer);

// Appends the entries of one bulk run to the queue in one step and returns
// how many were appended.
int SerienSMSEinreihen(OutgoingQueue &queue, const QStringList &nummern, const QString &nachricht,
                       const QString &rueckrufNummer);
