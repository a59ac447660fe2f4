#pragma once

#include "personlistdialog.h"

#include <QStringList>

// The bulk pick: every person with a mobile number as a line of number and
// name, any number of them marked; starting queues the message for each.
class FRMSelektion : public PersonListDialog
{
    Q_OBJECT

public:
    FRMSelektion(const QString &databasePath, QWidget *mainWindow, Prompter *prompter);

    struct Marked
    {
        QStringList numbers; // as queued, in list order
        QStringList refused; // names of those whose number cannot be queued
    };
    // The marked persons' numbers as queueNumber makes them.
    Marked marked() const;

Q_SIGNALS:
    // cmdSerienSMS: the window has closed; one queue entry is to be appended
    // per number (digits, a leading "+" as "00"), in this order. Not emitted
    // when nobody with a number that can be queued was marked.
    void seriesStarted(const QStringList &numbers);

protected:
    void firstActivation() override;

private:
    void starten();
};
