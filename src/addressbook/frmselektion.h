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

    // The stored numbers, digits only, of the marked persons in list order.
    QStringList markedNumbers() const;

Q_SIGNALS:
    // cmdSerienSMS: the window has closed; one queue entry is to be appended
    // per number, in this order. Not emitted when nobody was marked.
    void seriesStarted(const QStringList &numbers);

protected:
    void firstActivation() override;

private:
    void starten();
};
