#include "addressbookflow.h"

#include "addressbooktexts.h"
#include "frmadressbuch.h"
#include "frmselektion.h"
#include "frmselektion1.h"
#include "frmsuchen.h"
#include "mergefields.h"
#include "messagetext.h"
#include "prompter.h"
#include "queuenumber.h"
#include "queuetexts.h"

AddressBookFlow::AddressBookFlow(QString databasePath, QWidget *mainWindow, Prompter *prompter,
                                 QObject *parent)
    : QObject(parent), m_databasePath(std::move(databasePath)), m_mainWindow(mainWindow),
      m_prompter(prompter)
{}

AddressBookFlow::~AddressBookFlow()
{
    // Windows still open go with the flow; the address book stores what was
    // typed as it goes.
    delete m_addressBook.data();
    delete m_searchResults.data();
    delete m_singlePick.data();
    delete m_bulkPick.data();
}

FRMAdressBuch *AddressBookFlow::addressBook() const
{
    return m_addressBook;
}

FRMSuchen *AddressBookFlow::searchResults() const
{
    return m_searchResults;
}

FRMSelektion1 *AddressBookFlow::singlePick() const
{
    return m_singlePick;
}

FRMSelektion *AddressBookFlow::bulkPick() const
{
    return m_bulkPick;
}

template <typename Window> bool AddressBookFlow::raiseOpen(const QPointer<Window> &window)
{
    if (!window)
        return false;
    window->raise();
    window->activateWindow();
    return true;
}

void AddressBookFlow::openAddressBook()
{
    openAddressBookAt(std::nullopt);
}

FRMAdressBuch *AddressBookFlow::openAddressBookAt(std::optional<qint64> dsNummer)
{
    if (!raiseOpen(m_addressBook)) {
        auto *window = new FRMAdressBuch(m_databasePath, m_mainWindow, m_prompter);
        m_addressBook = window;
        // Forgotten as soon as it unloads, although it is deleted later.
        connect(window, &DialogBase::unloaded, this, [this, window] {
            if (m_addressBook == window)
                m_addressBook.clear();
        });
        connect(window, &FRMAdressBuch::numberTaken, this, &AddressBookFlow::numberTaken);
        connect(window, &FRMAdressBuch::searchFailed, this, &AddressBookFlow::openSearchResults);
        window->show();
    }
    if (dsNummer)
        m_addressBook->showRecord(*dsNummer);
    return m_addressBook;
}

void AddressBookFlow::openSearchResults()
{
    if (raiseOpen(m_searchResults))
        return;
    auto *window = new FRMSuchen(m_databasePath, m_mainWindow, m_prompter);
    m_searchResults = window;
    connect(window, &DialogBase::unloaded, this, [this, window] {
        if (m_searchResults == window)
            m_searchResults.clear();
    });
    connect(window, &FRMSuchen::accepted, this,
            [this](std::optional<qint64> dsNummer) { openAddressBookAt(dsNummer); });
    window->show();
}

void AddressBookFlow::openSinglePick()
{
    if (raiseOpen(m_singlePick))
        return;
    auto *window = new FRMSelektion1(m_databasePath, m_mainWindow, m_prompter);
    m_singlePick = window;
    connect(window, &DialogBase::unloaded, this, [this, window] {
        if (m_singlePick == window)
            m_singlePick.clear();
    });
    connect(window, &FRMSelektion1::numberChosen, this, &AddressBookFlow::numberTaken);
    connect(window, &FRMSelektion1::addressBookRequested, this, &AddressBookFlow::openAddressBook);
    window->show();
}

bool AddressBookFlow::startBulk(const QString &nachricht, const QString &rueckrufNummer)
{
    // These are the main window's own boxes: no dialog is open to step aside.
    if (nachricht.isEmpty()) {
        m_prompter->message(AddressBookText::bulkWithoutMessage());
        Q_EMIT messageFieldFocusRequested();
        return false;
    }
    // Counted as it would be queued, a line break as two characters. Merge
    // fields count as empty: a text too long around them is too long for
    // everybody. (A message without fields is counted as it stands.)
    if (toCrLf(MergeFields::merge(nachricht, ContactRecord{})).size() >
        MessageText::maxSingleLength) {
        m_prompter->message(AddressBookText::bulkTooLong());
        return false;
    }
    // Every entry of the run carries the call-back number; one that cannot be
    // sent is refused before anybody is marked.
    if (const QueueNumber callBack = queueNumber(rueckrufNummer);
        !callBack.isValid() && callBack.problem != QueueNumber::Problem::NoDigits) {
        m_prompter->message(
            queueNumberMessage(QueueText::callBackNumber(), rueckrufNummer, callBack));
        return false;
    }
    if (raiseOpen(m_bulkPick))
        return true;
    auto *window = new FRMSelektion(m_databasePath, m_mainWindow, m_prompter);
    m_bulkPick = window;
    connect(window, &DialogBase::unloaded, this, [this, window] {
        if (m_bulkPick == window)
            m_bulkPick.clear();
    });
    connect(window, &FRMSelektion::seriesStarted, this, &AddressBookFlow::bulkRecipients);
    connect(window, &FRMSelektion::personalSeriesStarted, this, &AddressBookFlow::bulkMessages);
    window->setMessage(nachricht);
    window->show();
    return true;
}
