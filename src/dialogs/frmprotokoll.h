#pragma once

#include "dialogbase.h"

#include <QStringList>

class QPlainTextEdit;

// The trace of the last calls, newest first, for reading and for copying to
// send to support: each call with its heading (when, how it ended; a failed
// call says "fehlgeschlagen") and every line written and read.
class FRMProtokoll : public DialogBase
{
    Q_OBJECT

public:
    FRMProtokoll(const QStringList &calls, QWidget *mainWindow, Prompter *prompter);

    QString text() const;

private:
    QPlainTextEdit *m_text;
};
