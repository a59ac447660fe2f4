#include "frmselektion.h"

#include "addressbooktexts.h"
#include "personlistmodel.h"
#include "queuenumber.h"

#include <QListView>
#include <QPushButton>

using namespace Qt::StringLiterals;

FRMSelektion::FRMSelektion(const QString &databasePath, QWidget *mainWindow, Prompter *prompter)
    : PersonListDialog(u"FRMSelektion"_s, u"Auswahl..."_s,
                       u"Wählen Sie die Personen aus, denen Sie eine SMS senden möchten"_s, 615,
                       QAbstractItemView::MultiSelection, databasePath, mainWindow, prompter)
{
    QPushButton *startButton = addButton(u"cmdSerienSMS"_s, u"Serien-SMS starten"_s, 1320, 1935);
    QPushButton *abbrechenButton = addButton(u"cmdAbbrechen"_s, u"Abbrechen"_s, 3360, 1095);
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
        message(AddressBookText::noPersonsEntered());
        close();
    } else if (persons) {
        model()->append(pickLines(*persons));
    }
    Q_EMIT ready();
}

FRMSelektion::Marked FRMSelektion::marked() const
{
    Marked result;
    const QList<int> rows = selectedRows();
    result.numbers.reserve(rows.size());
    for (int row : rows) {
        const PersonLine &line = model()->line(row);
        QueueNumber number = queueNumber(line.number);
        if (number.isValid())
            result.numbers.append(std::move(number.digits));
        else
            result.refused.append(line.name);
    }
    return result;
}

void FRMSelektion::starten()
{
    // Every marked person, however many: the numbers come from the records
    // held with the lines, not from the line texts. Numbers that cannot be
    // sent are left out, and the user is told who is missing.
    const Marked chosen = marked();
    if (!chosen.refused.isEmpty())
        message(AddressBookText::bulkSkipped(chosen.refused, chosen.numbers.size()));
    if (!close())
        return;
    if (!chosen.numbers.isEmpty())
        Q_EMIT seriesStarted(chosen.numbers);
}
