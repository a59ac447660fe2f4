#include "queuepanel.h"

#include "enqueue.h"
#include "messagefieldcheck.h"
#include "numberfieldcheck.h"
#include "outbox.h"
#include "prompter.h"
#include "queuenumber.h"
#include "queuetexts.h"

#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSortFilterProxyModel>

using namespace Qt::StringLiterals;

namespace {

// The scroll bar reaches the first 32768 entries; its value is an index.
constexpr int scrollMaximum = 32767;

// One column of the queue as a list of its own: a list shows one column
// anyway, and screen readers then announce one item per entry instead of
// every cell of the row. Rows are neither sorted nor filtered, so a row of
// the list is the same index as in the queue.
class QueueColumn : public QSortFilterProxyModel
{
public:
    QueueColumn(OutgoingQueue *queue, int column, QObject *parent)
        : QSortFilterProxyModel(parent), m_column(column)
    {
        setSourceModel(queue);
    }

protected:
    bool filterAcceptsColumn(int sourceColumn, const QModelIndex &) const override
    {
        return sourceColumn == m_column;
    }

private:
    int m_column;
};

} // namespace

QueuePanel::QueuePanel(Outbox *outbox, const QueueWidgets &widgets, Prompter *prompter,
                       QObject *parent)
    : QObject(parent), m_outbox(outbox), m_queue(outbox->queue()), m_widgets(widgets),
      m_prompter(prompter)
{
    Q_ASSERT(outbox && prompter);
    Q_ASSERT(widgets.natelNummer && widgets.rueckrufNummer && widgets.nachricht &&
             widgets.zaehler && widgets.listNatelNummer && widgets.listNachricht &&
             widgets.listRueckrufNummer && widgets.scroll && widgets.senden && widgets.loeschen);
    const std::pair<QListView *, int> columns[] = {
        {m_widgets.listNatelNummer, OutgoingQueue::RecipientColumn},
        {m_widgets.listNachricht, OutgoingQueue::NachrichtColumn},
        {m_widgets.listRueckrufNummer, OutgoingQueue::RueckrufNummerColumn},
    };
    // A list moves its selection by itself when the selected entry goes; that
    // is no choice of the user's and must not move the other lists or the
    // scroll bar. The flag goes up before the lists' models pass the change
    // on and comes down after they have, so it brackets every reaction.
    connect(m_queue, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this] { m_modelChanging = true; });
    connect(m_queue, &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { m_modelChanging = true; });

    for (const auto &[list, column] : columns) {
        list->setModel(new QueueColumn(m_queue, column, list));
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setEditTriggers(QAbstractItemView::NoEditTriggers);
        // One line per entry: lets the view place rows by arithmetic instead
        // of measuring every entry, which keeps a long queue responsive.
        list->setUniformItemSizes(true);
        connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                [this, list = list](const QItemSelection &selected) {
                    followSelection(list, selected);
                });
    }
    connect(m_queue, &QAbstractItemModel::rowsRemoved, this, [this] { m_modelChanging = false; });
    connect(m_queue, &QAbstractItemModel::modelReset, this, [this] { m_modelChanging = false; });

    m_widgets.scroll->setRange(0, scrollMaximum);
    m_widgets.scroll->setSingleStep(1);
    m_widgets.scroll->setPageStep(1);
    connect(m_widgets.scroll, &QScrollBar::valueChanged, this, &QueuePanel::browse);
    connect(m_widgets.senden, &QPushButton::clicked, this, &QueuePanel::senden);
    connect(m_widgets.loeschen, &QPushButton::clicked, this, &QueuePanel::ausListeLoeschen);

    m_natelCheck =
        new NumberFieldCheck(m_widgets.natelNummer, &QueueText::refusedCharacter, prompter, this);
    m_callBackCheck = new NumberFieldCheck(m_widgets.rueckrufNummer, &QueueText::refusedCharacter,
                                           prompter, this);
    m_messageCheck = new MessageFieldCheck(m_widgets.nachricht, m_widgets.zaehler,
                                           m_widgets.hintLabel, prompter, this);
    followPlan();
    connect(m_outbox, &Outbox::planChanged, this, &QueuePanel::followPlan);
    // Every message goes out with the call-back number the field shows.
    m_outbox->setCallBackNumber(m_widgets.rueckrufNummer->text());
    connect(m_widgets.rueckrufNummer, &QLineEdit::textChanged, m_outbox,
            &Outbox::setCallBackNumber);

    // A field filled before the panel existed (e.g. the stored call-back
    // number) is checked now, as if it had been filled afterwards.
    if (!m_widgets.natelNummer->text().isEmpty())
        m_natelCheck->check();
    if (!m_widgets.rueckrufNummer->text().isEmpty())
        m_callBackCheck->check();
    if (!m_widgets.nachricht->document()->isEmpty())
        m_messageCheck->check();
}

void QueuePanel::followPlan()
{
    m_messageCheck->setPlan(m_outbox->plan());
}

QString QueuePanel::messageText() const
{
    return m_messageCheck->text();
}

void QueuePanel::senden()
{
    const QString number = m_widgets.natelNummer->text();
    Enqueued result = m_outbox->enqueue(number, messageText(), Outbox::Origin::Window);
    // The recipient replied STOP: sent only when the user confirms.
    if (result.refusal == Enqueued::Refusal::Stopped &&
        m_prompter->message(
            tr("%1 hat den Empfang abgelehnt (STOP am %2). Trotzdem senden?")
                .arg(number.trimmed(), result.stoppedSince.toLocalTime().toString(u"dd.MM.yyyy"_s)),
            Prompter::Buttons::YesNo, Prompter::Icon::Warning) == Prompter::Answer::Yes)
        result = m_outbox->enqueue(number, messageText(), Outbox::Origin::Window,
                                   Outbox::StopListed::SendAnyway);
    switch (result.refusal) {
    case Enqueued::Refusal::None:
        // The message and the call-back number stay, so the same text can be
        // queued for the next recipient right away.
        m_widgets.natelNummer->clear();
        break;
    case Enqueued::Refusal::NoText:
        refuse(QueueText::requiredFields());
        break;
    case Enqueued::Refusal::Number:
        // Blanks count as text, but a number without a single digit could
        // never be dialled, and its entry would block the head of the queue.
        if (result.number.problem == QueueNumber::Problem::NoDigits)
            refuse(QueueText::requiredFields());
        else
            refuseNumber(result.number, QueueText::mobileNumber(), m_widgets.natelNummer);
        break;
    case Enqueued::Refusal::CallBack:
        refuseNumber(result.callBack, QueueText::callBackNumber(), m_widgets.rueckrufNummer);
        break;
    case Enqueued::Refusal::Stopped:
        break; // the user chose not to send
    case Enqueued::Refusal::TooLong:
        // A message sent whole has a limit of SMS (a GSM modem: 255): a
        // longer one (a paste gone wrong) would only be refused at its turn.
        refuse(m_outbox->plan().hint(messageText()));
        break;
    }

    // Shows the second entry after every click, queued or not; the browse
    // step runs only if this changes the value.
    m_widgets.scroll->setValue(1);
}

bool QueuePanel::refuseNumber(const QueueNumber &number, const QString &what, QLineEdit *field)
{
    switch (number.problem) {
    case QueueNumber::Problem::None:
    case QueueNumber::Problem::NoDigits:
        return false;
    case QueueNumber::Problem::ForeignCharacter:
        // The field check looks at the last character only, so a letter
        // typed into the middle of a number can still be there.
        refuse(QueueText::refusedCharacter(), field, number.position,
               foreignCharacter(field->text(), number).size());
        return true;
    case QueueNumber::Problem::TooLong:
        // Nothing is cut off: the user decides which digits are wrong.
        refuse(queueNumberMessage(what, field->text(), number), field, 0, field->text().size());
        return true;
    }
    return false;
}

void QueuePanel::refuse(const QString &text, QLineEdit *field, qsizetype start, qsizetype length)
{
    m_prompter->message(text, Prompter::Buttons::Ok, Prompter::Icon::None);
    if (field) {
        // Shows what was refused.
        field->setFocus(Qt::OtherFocusReason);
        field->setSelection(int(start), int(length));
    }
}

void QueuePanel::ausListeLoeschen()
{
    const int index = selectedIndex();
    if (index < 0)
        return;
    // The engine may send and remove the head entry while the question is
    // open; the id makes sure the entry the user chose is the one removed.
    const OutgoingQueue::EntryId id = m_queue->at(index).id;
    const Prompter::Answer answer =
        m_prompter->message(QueueText::deleteEntry(), Prompter::Buttons::YesNo);
    if (answer == Prompter::Answer::Yes)
        m_queue->removeById(id);
}

int QueuePanel::selectedIndex() const
{
    int first = -1;
    const QModelIndexList selected = m_widgets.listNatelNummer->selectionModel()->selectedIndexes();
    for (const QModelIndex &index : selected) {
        if (first < 0 || index.row() < first)
            first = index.row();
    }
    return first;
}

void QueuePanel::browse(int value)
{
    if (value >= 0 && value < m_queue->count()) {
        selectRow(value);
        return;
    }
    // Past the last entry the scroll bar jumps back to the first; if it was
    // not there yet, that change browses to entry 0 in turn.
    m_widgets.scroll->setValue(0);
}

void QueuePanel::selectRow(int row)
{
    const QScopedValueRollback guard(m_selecting, true);
    for (QListView *list : lists()) {
        const QModelIndex index = list->model()->index(row, 0);
        list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        list->scrollTo(index);
    }
}

void QueuePanel::followSelection(QListView *list, const QItemSelection &selected)
{
    // Only what the user does in one of the lists is followed; a selection
    // that ends because its entry was removed ends in all three by itself.
    if (m_selecting || m_modelChanging)
        return;
    if (!list->selectionModel()->hasSelection()) {
        // Ctrl+click took the selection away: the delete button must not
        // act on an entry that still looks selected in another list.
        const QScopedValueRollback guard(m_selecting, true);
        for (QListView *other : lists())
            other->selectionModel()->clearSelection();
        return;
    }
    if (selected.isEmpty())
        return;
    const int row = selected.indexes().constFirst().row();
    selectRow(row);
    if (row <= m_widgets.scroll->maximum())
        m_widgets.scroll->setValue(row);
}

QList<QListView *> QueuePanel::lists() const
{
    return {m_widgets.listNatelNummer, m_widgets.listNachricht, m_widgets.listRueckrufNummer};
}
