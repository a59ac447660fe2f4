#pragma once

#include "personlistdialog.h"

// The single recipient pick: every person with a mobile number as a line of
// number and name; the chosen person's number goes into the main window.
// Opens where the main window stands.
class FRMSelektion1 : public PersonListDialog
{
    Q_OBJECT

public:
    FRMSelektion1(const QString &databasePath, QWidget *mainWindow, Prompter *prompter);

Q_SIGNALS:
    // cmdOK with a line selected: the person's stored number as it is queued
    // (digits, a leading "+" as "00"). A number that cannot be queued is
    // refused with a message instead.
    void numberChosen(const QString &digits);
    // cmdAdressbuch: the window has closed; the address book is to open.
    void addressBookRequested();

private:
    void ok();
    void adressbuch();
};
