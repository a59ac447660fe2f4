#include "queuepanel.h"

#include "messagefieldcheck.h"
#include "messagetext.h"
#include "numberfieldcheck.h"
#include "nurziffern.h"
#include "prompter.h"
#include "queuetexts.h"

#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>

#include <algorithm>

namespace {

bool containsDigit(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return istZiffer(c); });
}

// The scroll bar reaches the first 32768 entries; its value is an index.
constexpr int scrollMaximum = 32767;

} // namespace

QueuePanel::QueuePanel(OutgoingQueue *queue, const QueueWidgets &widgets, Prompter *prompter,
                       QObject *parent)
    : QObject(parent), m_queue(queue), m_widgets(widgets), m_prompter(prompter)
{
    Q_ASSERT(queue && prompter);
    Q_ASSERT(widgets.natelNummer && widgets.rueckrufNummer && widgets.nachricht &&
             widgets.zaehler && widgets.listNatelNummer && widgets.listNachricht &&
             widgets.listRueckrufNummer && widgets.scroll && widgets.senden && widgets.loeschen);
    const std::pair<QListView *, int> columns[] = {
        {m_widgets.listNatelNummer, OutgoingQueue::NatelNummerColumn},
        {m_widgets.listNachricht, OutgoingQueue::NachrichtColumn},
        {m_widgets.listRueckrufNummer, OutgoingQueue::RueckrufNummerColumn},
    };
    // A list moves its selection by itself when the selected entry goes; that
    // is no choice of the user's and must not move the other lists or the
    // scroll bar. Connected before the lists get the model, so the flag is
    // up before any list reacts.
    connect(m_queue, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this] { m_modelChanging = true; });
    connect(m_queue, &QAbstractItemModel::rowsRemoved, this, [this] { m_modelChanging = false; });
    connect(m_queue, &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { m_modelChanging = true; });
    connect(m_queue, &QAbstractItemModel::modelReset, this, [this] { m_modelChanging = false; });

    for (const auto &[list, column] : columns) {
        // Dropping a model the window may have set already puts the lists'
        // own connections after the ones above.
        list->setModel(nullptr);
        list->setModel(m_queue);
        list->setModelColumn(column);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setEditTriggers(QAbstractItemView::NoEditTriggers);
        // One line per entry: lets the view place rows by arithmetic instead
        // of measuring every entry, which keeps a long queue responsive.
        list->setUniformItemSizes(true);
        connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &QueuePanel::followSelection);
    }

    m_widgets.scroll->setRange(0, scrollMaximum);
    m_widgets.scroll->setSingleStep(1);
    m_widgets.scroll->setPageStep(1);
    connect(m_widgets.scroll, &QScrollBar::valueChanged, this, &QueuePanel::browse);
    connect(m_widgets.senden, &QPushButton::clicked, this, &QueuePanel::senden);
    connect(m_widgets.loeschen, &QPushButton::clicked, this, &QueuePanel::ausListeLoeschen);

    m_natelCheck = new NumberFieldCheck(m_widgets.natelNummer, prompter, this);
    m_rueckrufCheck = new NumberFieldCheck(m_widgets.rueckrufNummer, prompter, this);
    m_messageCheck = new MessageFieldCheck(m_widgets.nachricht, m_widgets.zaehler,
                                           m_widgets.hinweis, prompter, this);

    // A field filled before the panel existed (e.g. the stored call-back
    // number) is checked now, as if it had been filled afterwards.
    if (!m_widgets.natelNummer->text().isEmpty())
        m_natelCheck->check();
    if (!m_widgets.rueckrufNummer->text().isEmpty())
        m_rueckrufCheck->check();
    if (!m_widgets.nachricht->document()->isEmpty())
        m_messageCheck->check();
}

QString QueuePanel::messageText() const
{
    return m_messageCheck->text();
}

QList<OutgoingQueue::EntryId> QueuePanel::appendMessage(const QString &natelNummer,
                                                        const QString &crLfText,
                                                        const QString &rueckrufNummer)
{
    const QStringList parts = splitMessage(crLfText);
    QList<QueueEntry> entries;
    entries.reserve(parts.size());
    for (const QString &part : parts)
        entries.append(QueueEntry{0, natelNummer, part, rueckrufNummer});
    return m_queue->appendMany(entries);
}

void QueuePanel::senden()
{
    const QString natelNummer = m_widgets.natelNummer->text();
    const QString rueckrufNummer = m_widgets.rueckrufNummer->text();
    const QString nachricht = messageText();

    // Blanks count as text, but a number without a single digit could never
    // be dialled, and its entry would block the head of the queue.
    if (nachricht.isEmpty() || !containsDigit(natelNummer)) {
        refuse(QueueText::pflichtfelder());
    } else if (const qsizetype at = NumberFieldCheck::firstForeignCharacter(natelNummer); at >= 0) {
        // The field check looks at the last character only, so a letter
        // typed into the middle of a number can still be there.
        refuse(QueueText::keineAlphanumerischen(), m_widgets.natelNummer, at);
    } else if (const qsizetype at = NumberFieldCheck::firstForeignCharacter(rueckrufNummer);
               at >= 0) {
        refuse(QueueText::keineAlphanumerischen(), m_widgets.rueckrufNummer, at);
    } else {
        appendMessage(natelNummer, nachricht, rueckrufNummer);
        // The message and the call-back number stay, so the same text can be
        // queued for the next recipient right away.
        m_widgets.natelNummer->clear();
    }

    // Shows the second entry after every click, queued or not; the browse
    // step runs only if this changes the value.
    m_widgets.scroll->setValue(1);
}

void QueuePanel::refuse(const QString &text, QLineEdit *field, qsizetype position)
{
    m_prompter->message(text, Prompter::Buttons::Ok, Prompter::Icon::None);
    if (field) {
        // Shows where the offending character is.
        field->setFocus(Qt::OtherFocusReason);
        field->setSelection(int(position), 1);
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
        m_prompter->message(QueueText::eintragLoeschen(), Prompter::Buttons::YesNo);
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
        const QModelIndex index = m_queue->index(row, list->modelColumn());
        list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        list->scrollTo(index);
    }
}

void QueuePanel::followSelection(const QItemSelection &selected)
{
    // Only an entry the user picks in one of the lists is followed; a
    // selection that ends because its entry was removed ends in all three.
    if (m_selecting || m_modelChanging || selected.isEmpty())
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
