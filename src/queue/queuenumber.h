#pragma once

#include <QString>
#include <QStringView>

// A telephone number as it goes into the queue and from there into the
// address fields of a frame: digits only. Blanks and the separators "-", "/",
// ".", "(" and ")" only group the digits and are dropped; a "+" in front is
// the international prefix and is written "00", so "079/123 45 67" goes out
// as "0791234567" and "+41 79-123.45.67" as "0041791234567". The national
// "(0)" that is often written right after the country code of an
// international number is not dialled from abroad and is dropped as well:
// "+41 (0)79 555 12 34" goes out as "0041795551234". Any other character is
// not guessed away: the number is refused, and so is a number longer than
// E.164 allows.
struct QueueNumber
{
    // E.164: at most 15 digits after the international prefix ("+" or "00",
    // which is not counted); a number without that prefix has no more either.
    static constexpr qsizetype maxDigits = 15;

    enum class Problem {
        None,
        NoDigits,         // empty, or blanks and separators only
        ForeignCharacter, // not a digit, a blank, a separator or a leading "+"
        TooLong,          // more than maxDigits digits after the prefix
    };

    QString digits; // the number to queue; empty unless problem is None
    Problem problem = Problem::None;
    qsizetype position = -1;  // ForeignCharacter: its index in the text
    qsizetype digitCount = 0; // TooLong: its digits, the "+" or "00" in front not counted

    bool isValid() const { return problem == Problem::None; }
};

// The one rule for every number that enters the queue: typed, picked from
// the address book, taken over from it, or queued for many at once.
QueueNumber queueNumber(QStringView text);

// The character that made queueNumber refuse the text (a character outside
// the Basic Multilingual Plane is kept whole), for the user's message.
QString foreignCharacter(QStringView text, const QueueNumber &number);

// The user's message for a number that queueNumber refused. `what` names the
// number at the start of a sentence ("Die Mobilnummer von Anna"); the text
// is quoted (shortened when long) so the user can find it.
QString queueNumberMessage(const QString &what, QStringView text, const QueueNumber &number);
