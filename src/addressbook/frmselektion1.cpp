#include "frmselektion1.h"

#include "addressbooktexts.h"
#include "personlistmodel.h"
#include "queuenumber.h"

#include <QListView>
#include <QPushButton>

using namespace Qt::StringLiterals;

FRMSelektion1::FRMSelektion1(const QString &databasePath, QWidget *mainWindow, Prompter *prompter)
    : PersonListDialog(
          u"FRMSelektion1"_s, tr("Auswahl..."),
          tr("Wählen Sie die Person aus, der Sie eine SMS senden möchten (Einträge ohne "
             "Mobilnummer sind nicht berücksichtigt!)"),
          615, QAbstractItemView::SingleSelection, AddressList::Listing::WithNumber, databasePath,
          mainWindow, prompter)
{
    QPushButton *addressBookButton = addButton(u"cmdAdressbuch"_s, tr("Adressbuch"), 240, 1095);
    QPushButton *okButton = addButton(u"cmdOK"_s, tr("OK"), 2760, 495);
    QPushButton *abbrechenButton = addButton(u"cmdAbbrechen"_s, tr("Abbrechen"), 3360, 1095);
    connect(okButton, &QPushButton::clicked, this, &FRMSelektion1::ok);
    connect(abbrechenButton, &QPushButton::clicked, this, &QWidget::close);
    connect(addressBookButton, &QPushButton::clicked, this, &FRMSelektion1::adressbuch);
    setTabOrder(list(), okButton);
    setTabOrder(okButton, abbrechenButton);
    setTabOrder(abbrechenButton, addressBookButton);
    list()->setFocus();

    // The one dialog that opens where the main window is.
    if (mainWindow)
        move(mainWindow->pos());
}

void FRMSelektion1::ok()
{
    const int row = firstSelectedRow();
    if (row < 0) {
        message(AddressBookText::nobodyChosen());
        return;
    }
    // A number that cannot be sent is not cut down to one that can: the
    // user is told, and the window stays open for another choice.
    const PersonLine line = model()->line(row);
    const QueueNumber number = queueNumber(line.number);
    if (!number.isValid()) {
        message(nummerAbgelehnt(line, number));
        return;
    }
    Q_EMIT numberChosen(number.digits);
    close();
}

void FRMSelektion1::adressbuch()
{
    if (close())
        Q_EMIT addressBookRequested();
}
