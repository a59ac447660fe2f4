#include "frmselektion.h"

#include "addressbooktexts.h"
#include "personlistmodel.h"

#include <QListView>
#include <QPushButton>

FRMSelektion::FRMSelektion(const QString &databasePath, QWidget *mainWindow, Prompter *prompter)
    : PersonListDialog(u"FRMSelektion"_qs, u"Auswahl..."_qs,
                       u"Wählen Sie die Personen aus, denen Sie eine SMS senden möchten"_qs, 615,
                       QAbstractItemView::MultiSelection, databasePath, mainWindow, prompter)
{
    QPushButton *startButton = addButton(u"cmdSerienSMS"_qs, u"Serien-SMS starten"_qs, 1320, 1935);
    QPushButton *abbrechenButton = addButton(u"cmdAbbrechen"_qs, u"Abbrechen"_qs, 3360, 1095);
    connect(startButton, &QPushButton::clicked, this, &FRMSelektion::starten);
    connect(abbrechenButton, &QPushButton::clicked, this, &QWidget::close);
    setTabOrder(list(), startButton);
    setTabOrder(startButton, abbrechenButton);
    list()->setFocus();
    centreOnScreen();
}

void FRMSelektion::firstActivation()
{
    const std::optional<QList<Person>> persons = readAll();
    if (persons && persons->isEmpty()) {
        message(AdressText::keinePersonenErfasst());
        close();
    } else if (persons) {
        model()->append(auswahlZeilen(*persons));
    }
    Q_EMIT ready();
}

QStringList FRMSelektion::markedNumbers() const
{
    QStringList numbers;
    const QList<int> rows = selectedRows();
    numbers.reserve(rows.size());
    for (int row : rows)
        numbers.append(model()->line(row).digits);
    return numbers;
}

void FRMSelektion::starten()
{
    // Every marked person, however many: the numbers come from the records
    // held with the lines, not from the line texts.
    const QStringList numbers = markedNumbers();
    if (!close())
        return;
    if (!numbers.isEmpty())
        Q_EMIT seriesStarted(numbers);
}
