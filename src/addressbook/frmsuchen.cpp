#include "frmsuchen.h"

#include "personlistmodel.h"

#include <QListView>
#include <QPushButton>

using namespace Qt::StringLiterals;

FRMSuchen::FRMSuchen(const QString &databasePath, QWidget *mainWindow, Prompter *prompter)
    : PersonListDialog(u"FRMSuchen"_s, tr("Suche erfolglos..."), tr("Wählen Sie eine Person aus:"),
                       255, QAbstractItemView::SingleSelection, AddressList::Listing::Everyone,
                       databasePath, mainWindow, prompter)
{
    QPushButton *okButton = addButton(u"cmdOK"_s, tr("OK"), 2760, 495);
    QPushButton *abbrechenButton = addButton(u"cmdAbbrechen"_s, tr("Abbrechen"), 3360, 1095);
    connect(okButton, &QPushButton::clicked, this, &FRMSuchen::ok);
    connect(abbrechenButton, &QPushButton::clicked, this, &QWidget::close);
    setTabOrder(list(), okButton);
    setTabOrder(okButton, abbrechenButton);
    list()->setFocus();
    centreOnScreen();
}

void FRMSuchen::ok()
{
    std::optional<qint64> key;
    if (const int row = firstSelectedRow(); row >= 0)
        key = model()->line(row).key;
    // This window goes first, so that the main window stays disabled while
    // the address book is open again.
    if (close())
        Q_EMIT accepted(key);
}
