#pragma once

#include "personlistdialog.h"

// The search results: every person of the address book as a line of key,
// name and number, from which the user picks the one the address book is to
// open on.
class FRMSuchen : public PersonListDialog
{
    Q_OBJECT

public:
    FRMSuchen(const QString &databasePath, QWidget *mainWindow, Prompter *prompter);

Q_SIGNALS:
    // cmdOK: the window has closed; the address book is to open, on the
    // person with this key when a line was selected, else on its first record.
    void accepted(std::optional<qint64> dsNummer);

private:
    void ok();
};
