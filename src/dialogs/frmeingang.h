#pragma once

#include "dialogbase.h"
#include "frmsperrliste.h"

#include <QPointer>
#include <memory>

class Clock;
class InboxModel;
class QLabel;
class QListView;
class StoreConnection;

// The inbox: the messages received, newest first, one line each, unread
// ones in bold, read when the window is first shown. A line counts as read
// once it has been selected. "Antworten" hands the sender's number to the
// main window, "Löschen" removes the message after a question,
// "Exportieren…" writes the messages listed as CSV, "Sperrliste…" shows the
// numbers that asked not to get any more messages. Messages received while
// it is open appear next time.
class FRMEingang : public DialogBase
{
    Q_OBJECT

public:
    FRMEingang(QString databasePath, QWidget *mainWindow, Prompter *prompter, const Clock *clock);
    ~FRMEingang() override;

    // The lines shown, for the main window's tests and for screen readers.
    QStringList lines() const;
    // A message stored while the window is open goes on top.
    void addReceived(qint64 id);
    // The stop-list window while it is open.
    FRMSperrliste *stopList() const { return m_stopList; }

Q_SIGNALS:
    // A message has been marked read or an unread one deleted: the main
    // window shows the new number of unread messages.
    void unreadChanged();
    // "Antworten": the main window puts the number into "Mobilnummer:" and
    // the cursor into "Nachricht:".
    void replyRequested(const QString &number);
    // The list has been filled (also when the inbox is empty or unreadable).
    void filled();

protected:
    void firstActivation() override;

private:
    int selectedPosition() const;
    void markSelectedRead();
    void reply();
    void removeSelected();
    void exportShown();
    void openStopList();
    void showUnread();
    void showReadError(const QString &error);
    void showWriteError(const QString &error);

    QString m_databasePath;
    const Clock *m_clock;
    std::unique_ptr<StoreConnection> m_connection;
    InboxModel *m_rows;
    QListView *m_list;
    QLabel *m_unread;
    QPointer<FRMSperrliste> m_stopList;
};
