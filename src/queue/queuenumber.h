#pragma once

#include <QString>
#include <QStringView>

// A telephone number as it goes into the queue and from there into the
// address fields of a frame: digits only. Blanks only space the digits out
// and are dropped; a "+" in front (after blanks) is the international prefix
// and is written "00", so "+41 79 123 45 67" goes out as "0041791234567".
// Any other character is not guessed away: the number is refused, and so is
// a number longer than a message centre's address field.
struct QueueNumber
{
    // A UCP address code holds at most 16 digits.
    static constexpr qsizetype maxDigits = 16;

    enum class Problem {
        None,
        NoDigits,         // empty, or blanks only
        ForeignCharacter, // something other than a digit, a blank or a leading "+"
        TooLong,          // more than maxDigits digits, the "00" of a "+" included
    };

    QString digits; // the number to queue; empty unless problem is None
    Problem problem = Problem::None;
    qsizetype position = -1;  // ForeignCharacter: its index in the text
    qsizetype digitCount = 0; // TooLong: how many digits the number has

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
