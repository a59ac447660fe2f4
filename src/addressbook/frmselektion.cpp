#include "frmselektion.h"

#include "addressbooktexts.h"
#include "contactstore.h"
#include "contacttexts.h"
#include "contacttransfer.h"
#include "look.h"
#include "mergefields.h"
#include "messagetext.h"
#include "personlistmodel.h"
#include "queuenumber.h"

#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QPushButton>

using namespace Qt::StringLiterals;

FRMSelektion::FRMSelektion(const QString &databasePath, QWidget *mainWindow, Prompter *prompter)
    : PersonListDialog(u"FRMSelektion"_s, tr("Auswahl..."),
                       tr("Wählen Sie die Personen aus, denen Sie eine SMS senden möchten"), 615,
                       QAbstractItemView::MultiSelection, AddressList::Listing::WithNumber,
                       databasePath, mainWindow, prompter)
{
    QPushButton *startButton = addButton(u"cmdSerienSMS"_s, tr("Serien-SMS starten"), 1575, 1725);
    QPushButton *abbrechenButton = addButton(u"cmdAbbrechen"_s, tr("Abbrechen"), 3360, 1095);
    QPushButton *exportButton = addButton(u"cmdExportieren"_s, tr("Exportieren…"), 240, 1275);
    connect(startButton, &QPushButton::clicked, this, &FRMSelektion::starten);
    connect(abbrechenButton, &QPushButton::clicked, this, &QWidget::close);
    connect(exportButton, &QPushButton::clicked, this, &FRMSelektion::exportieren);
    setTabOrder(list(), startButton);
    setTabOrder(startButton, abbrechenButton);
    setTabOrder(abbrechenButton, exportButton);

    // Shown for a message with merge fields only, below a shorter list.
    m_hint = new QLabel;
    m_hint->setObjectName(u"LBLHinweis"_s);
    m_hint->setWordWrap(true);
    m_hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeInFrame(m_hint, 240, 2100, 4215, 735);
    m_hint->hide();
    connect(list()->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FRMSelektion::updatePreview);
    // The first listed person stands for everyone until somebody is marked.
    connect(model(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first) {
                if (first == 0)
                    updatePreview();
            });
    list()->setFocus();
    centreOnScreen();
}

void FRMSelektion::listComplete()
{
    // A table with nobody to send to is not empty: an empty list, no message.
    if (model()->count() == 0 && AddressList(database()).isEmpty()) {
        message(AddressBookText::noPersonsEntered());
        close();
    }
}

void FRMSelektion::setMessage(const QString &text)
{
    m_message = text;
    const bool fields = hasMergeFields();
    m_hint->setVisible(fields);
    list()->setGeometry(::Look::rectTwips(240, 960, 4215, fields ? 1080 : 1620));
    updatePreview();
}

bool FRMSelektion::hasMergeFields() const
{
    return MergeFields::containsField(m_message);
}

void FRMSelektion::updatePreview()
{
    if (!hasMergeFields())
        return;
    // The first marked line, found from the selection's ranges rather than
    // from every marked index (all may be marked).
    int row = model()->count() > 0 ? 0 : -1;
    const QItemSelection selection = list()->selectionModel()->selection();
    if (!selection.isEmpty()) {
        row = selection.constFirst().top();
        for (const QItemSelectionRange &range : selection)
            row = std::min(row, range.top());
    }
    std::optional<ContactRecord> record;
    if (row >= 0) {
        ContactStore store(database());
        record = store.readContact(model()->line(row).key);
    }
    const QString text =
        record ? ContactText::mergePreview(record->name, MergeFields::merge(m_message, *record))
               : QString();
    m_hint->setText(text);
    m_hint->setToolTip(text);
    m_hint->setAccessibleDescription(text);
}

std::optional<QList<PersonLine>> FRMSelektion::markedLines()
{
    // A run or an export started while lines still arrive takes them too
    // (marked when all were marked). A reading that failed leaves a part of
    // the list, and the run must not take a part for the whole.
    std::optional<QList<PersonLine>> lines;
    if (model()->loadRest())
        lines = model()->lines(list()->selectionModel()->selection());
    if (!lines)
        message(AddressBookText::accessFailed(model()->lastError()));
    return lines;
}

std::optional<FRMSelektion::Marked> FRMSelektion::marked()
{
    const std::optional<QList<PersonLine>> lines = markedLines();
    if (!lines)
        return std::nullopt;
    Marked result;
    result.numbers.reserve(lines->size());
    for (const PersonLine &line : *lines) {
        QueueNumber number = queueNumber(line.number);
        if (number.isValid()) {
            result.numbers.append(std::move(number.digits));
            result.keys.append(line.key);
        } else {
            result.refused.append(line.name);
        }
    }
    return result;
}

std::optional<QStringList> FRMSelektion::mergedTexts(const QList<qint64> &keys)
{
    ContactStore store(database());
    const std::optional<QHash<qint64, ContactRecord>> byKey = store.readContactsByKey(keys);
    if (!byKey) {
        message(AddressBookText::accessFailed(store.lastError()));
        return std::nullopt;
    }
    QList<ContactRecord> recipients;
    recipients.reserve(keys.size());
    for (qint64 key : keys)
        recipients.append(byKey->value(key));
    // Counted as the queue counts, a line break as two characters.
    const auto measure = [](QStringView text) { return toCrLf(text).size(); };
    if (const std::optional<MergeFields::Overflow> overflow = MergeFields::longestOverLimit(
            m_message, recipients, MessageText::maxSingleLength, measure)) {
        message(MergeFields::overLimitMessage(*overflow, MessageText::maxSingleLength));
        return std::nullopt;
    }
    QStringList texts;
    texts.reserve(recipients.size());
    for (const ContactRecord &recipient : std::as_const(recipients)) {
        QString text = MergeFields::merge(m_message, recipient);
        if (text.isEmpty()) {
            message(ContactText::mergedTextEmpty(recipient.name));
            return std::nullopt;
        }
        texts.append(std::move(text));
    }
    return texts;
}

void FRMSelektion::starten()
{
    // Every marked person, however many: the numbers come from the records
    // held with the lines, not from the line texts. Numbers that cannot be
    // sent are left out, and the user is told who is missing. A text that
    // does not fit keeps the window open, so that the person can be
    // unmarked.
    const std::optional<Marked> marking = marked();
    if (!marking)
        return;
    const Marked &chosen = *marking;
    std::optional<QStringList> texts;
    if (hasMergeFields() && !chosen.numbers.isEmpty()) {
        texts = mergedTexts(chosen.keys);
        if (!texts)
            return;
    }
    if (!chosen.refused.isEmpty())
        message(AddressBookText::bulkSkipped(chosen.refused, chosen.numbers.size()));
    if (!close())
        return;
    if (chosen.numbers.isEmpty())
        return;
    if (texts)
        Q_EMIT personalSeriesStarted(chosen.numbers, *texts);
    else
        Q_EMIT seriesStarted(chosen.numbers);
}

void FRMSelektion::exportieren()
{
    const std::optional<QList<PersonLine>> lines = markedLines();
    if (!lines)
        return;
    QList<qint64> keys;
    keys.reserve(lines->size());
    for (const PersonLine &line : *lines)
        keys.append(line.key);
    if (keys.isEmpty()) {
        message(AddressBookText::nobodyChosen());
        return;
    }
    ContactStore store(database());
    const std::optional<QList<ContactRecord>> records = store.readContacts(keys);
    if (!records) {
        message(AddressBookText::accessFailed(store.lastError()));
        return;
    }
    exportContacts(this, *records, tr("Serien-SMS"));
}
