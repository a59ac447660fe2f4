#pragma once

#include <QString>

class QLineEdit;
class RecordView;

// Binds a one-line text field to a column of a record view: the field shows
// the column of the current record (empty when there is none), and its text
// is stored by the view's next save. Filling the field is an ordinary text
// change, so the field's own checks run on stored values too.
void bindField(RecordView *view, const QString &column, QLineEdit *field);
