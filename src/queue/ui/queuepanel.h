#pragma once

#include "enqueue.h"
#include "outgoingqueue.h"

#include <QObject>
#include <QString>

class MessageFieldCheck;
class Outbox;
class NumberFieldCheck;
class Prompter;
class QAbstractItemView;
class QItemSelection;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;
struct QueueNumber;

// The main window's controls of the outgoing queue and its input fields. The
// window creates the widgets; the panel wires them.
struct QueueWidgets
{
    QLineEdit *natelNummer = nullptr;        // TXTNatelNummer
    QLineEdit *rueckrufNummer = nullptr;     // TXTRueckrufNummer
    QPlainTextEdit *nachricht = nullptr;     // TXTNachricht
    QLabel *zaehler = nullptr;               // LBLZaehler
    QLabel *hintLabel = nullptr;             // LBLHinweis (may be null)
    QListView *listNatelNummer = nullptr;    // LSTNatelNummer
    QListView *listNachricht = nullptr;      // LSTNachricht
    QListView *listRueckrufNummer = nullptr; // LSTRueckrufNummer
    QScrollBar *scroll = nullptr;            // VScroll1
    QPushButton *senden = nullptr;           // cmdSenden
    QPushButton *loeschen = nullptr;         // cmdauslistloesch
};

// Puts messages into the queue (cmdSenden), lets the user browse it with the
// scroll bar and remove one entry (cmdauslistloesch), and runs the checks of
// the number and message fields.
//
// The three lists show the columns of the queue side by side, each list a
// model of one column; the scroll bar selects the same entry in all three,
// and a click into one list selects (or Ctrl+click deselects) that entry in
// the other two as well, so the lists never disagree about which entry the
// delete button will remove.
//
// cmdSenden queues through the Outbox, so the numbers go in as
// queueNumber makes them: digits only, a leading "+" as "00", refused with a
// message when anything but blanks and separators stands in them or they
// have too many digits.
class QueuePanel : public QObject
{
    Q_OBJECT

public:
    QueuePanel(Outbox *outbox, const QueueWidgets &widgets, Prompter *prompter,
               QObject *parent = nullptr);

    OutgoingQueue *queue() const { return m_queue; }
    // The message field's text with its line breaks as CR LF, the form in
    // which it is counted, split and sent (the bulk SMS queues it as well).
    QString messageText() const;

    // The index of the first selected entry of LSTNatelNummer, or -1.
    int selectedIndex() const;

public Q_SLOTS:
    // cmdSenden: checks the fields and queues the message.
    void senden();
    // cmdauslistloesch: asks, then removes the selected entry.
    void ausListeLoeschen();
    // A new value of VScroll1: selects that entry, or jumps back to entry 0
    // past the end of the queue.
    void browse(int value);

private:
    // Tells the user why the number in the field cannot be queued and marks
    // the offending part; false when there is nothing to refuse.
    bool refuseNumber(const QueueNumber &number, const QString &what, QLineEdit *field);
    void refuse(const QString &text, QLineEdit *field = nullptr, qsizetype start = 0,
                qsizetype length = 0);
    void selectRow(int row);
    void followSelection(QListView *list, const QItemSelection &selected);
    QList<QListView *> lists() const;

    // The hint counts a long message's SMS as the connection kind sends it.
    void followPlan();

    Outbox *m_outbox;
    OutgoingQueue *m_queue;
    QueueWidgets m_widgets;
    Prompter *m_prompter;
    NumberFieldCheck *m_natelCheck = nullptr;
    NumberFieldCheck *m_callBackCheck = nullptr;
    MessageFieldCheck *m_messageCheck = nullptr;
    bool m_selecting = false;
    bool m_modelChanging = false;
};
