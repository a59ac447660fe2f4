#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <optional>

class FRMAdressBuch;
class FRMSelektion;
class FRMSelektion1;
class FRMSuchen;
class Prompter;
class QWidget;

// Opens the address book and its recipient windows for the main window and
// hands over between them: a failed name search in the address book opens
// the search results; OK there opens the address book again on the chosen
// person; the single pick can switch to the address book. The window that
// hands over always closes before the next one opens, so the main window
// stays disabled while any of them is open. What the windows hand back to
// the main window comes out as signals.
class AddressBookFlow : public QObject
{
    Q_OBJECT

public:
    AddressBookFlow(QString databasePath, QWidget *mainWindow, Prompter *prompter,
                    QObject *parent = nullptr);
    ~AddressBookFlow() override;

    // cmdAdressbuch of the main window.
    void openAddressBook();
    // cmdAn of the main window.
    void openSinglePick();
    // cmdAuswahlNamen of the main window: refuses an empty message, one over
    // 160 characters and a call-back number that cannot be queued with a
    // message box of the main window, else opens the bulk pick. False when
    // refused. Of a message with merge fields only the text around them is
    // checked here; each person's whole text is checked when the run starts.
    bool startBulk(const QString &nachricht, const QString &rueckrufNummer);

    // The window of each kind that is open now, or null.
    FRMAdressBuch *addressBook() const;
    FRMSuchen *searchResults() const;
    FRMSelektion1 *singlePick() const;
    FRMSelektion *bulkPick() const;

Q_SIGNALS:
    // A number for the main window's TXTNatelNummer as it is queued (digits,
    // a leading "+" as "00"; empty when the address book's number field was
    // empty).
    void numberTaken(const QString &digits);
    // The bulk run: the number of every marked person as it is queued, in
    // list order. The main window appends one queue entry per number with
    // its message text and call-back number (through the Outbox).
    void bulkRecipients(const QStringList &numbers);
    // The bulk run of a message with merge fields: texts[i] is the personal
    // text for numbers[i]. The main window appends one queue entry per
    // number with its text and the call-back number (Outbox::enqueueEach).
    void bulkMessages(const QStringList &numbers, const QStringList &texts);
    // The bulk start was refused for an empty message: the message field is
    // to get the input focus.
    void messageFieldFocusRequested();

private:
    FRMAdressBuch *openAddressBookAt(std::optional<qint64> dsNummer);
    void openSearchResults();
    template <typename Window> bool raiseOpen(const QPointer<Window> &window);

    QString m_databasePath;
    QPointer<QWidget> m_mainWindow;
    Prompter *m_prompter;
    QPointer<FRMAdressBuch> m_addressBook;
    QPointer<FRMSuchen> m_searchResults;
    QPointer<FRMSelektion1> m_singlePick;
    QPointer<FRMSelektion> m_bulkPick;
};
