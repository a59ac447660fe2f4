#pragma once

class QLineEdit;
class QWidget;

// A single-line field that keeps whatever is typed or pasted, however long.
// A plain QLineEdit cuts a paste at 32767 characters without a word: a bound
// field would store the cut text, and a number check would judge a number
// the user never gave. Too long a value is refused by the check that owns
// the field, with a message.
QLineEdit *newTextField(QWidget *parent = nullptr);
