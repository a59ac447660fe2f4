#pragma once

#include "funkboteform.h"

#include <QPointer>
#include <QWidget>

class AddressBookFlow;
class HoverLabel;
class MessagingCore;
class QueuePanel;

// The main window over the messaging core: the input fields and the
// outgoing queue, the engine's status line and start/stop button, and the
// buttons that open every other window. It shows the core's state, forwards
// the user's clicks and asks the user's questions; the core does the rest.
// It reloads the settings each time it becomes active, and shows and
// stores the user's call-back number.
class Funkbote : public QWidget
{
    Q_OBJECT

public:
    // titleSuffix: words after the title, e.g. " – Demo" when the program
    // runs on the built-in simulator.
    explicit Funkbote(MessagingCore *core, const QString &titleSuffix = QString(),
                      QWidget *parent = nullptr);
    ~Funkbote() override;

    void showCentred();

    MessagingCore *core() const { return m_core; }
    AddressBookFlow *addressBookFlow() const { return m_addressBook; }
    // The box shown when attempts keep failing.
    static QString failureMessageText();

    // Stores an edited call-back number, re-reads the settings row and sets
    // the title, as each activation of the window does.
    void activationRefresh();
    // Ends the program without questions (a logout, kill, a service stop):
    // the queue stays in Daten.mdb for the next start, open windows close
    // without storing their unsaved entries.
    void quitWithoutQuestions();

Q_SIGNALS:
    // The window has closed after the quit guard: the program ends, even if
    // a dialog refused to close (e.g. with invalid entries).
    void closed();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectEngine();
    void connectButtons();
    void connectAddressBook();
    // After a bulk run: how many recipients the stop list left out.
    void tellStopped(int stopped);
    void openConfiguration();
    void openArchive();
    void openInbox();
    // "Eingang (n)" while n messages are unread.
    void showUnread(int count);
    void openDialog(QWidget *dialog);
    bool confirmQuit();
    void closeAllWindows();
    // The start/stop button: resumes with a notice, pauses after asking.
    void toggleSending();
    void showPaused(bool paused);
    void tellAttemptsFailing();
    void tellHalted(const QString &reason);
    void hoverTitleLabel(HoverLabel *label);
    void hoverBackground();
    void storeFailed(const QString &message);
    bool callBackNumberSettled() const;
    void saveCallBackNumber();

    MessagingCore *m_core;
    QString m_titleSuffix;
    FunkboteForm m_form;
    QueuePanel *m_queuePanel = nullptr;
    AddressBookFlow *m_addressBook = nullptr;
    QList<QPointer<QWidget>> m_openDialogs;
    bool m_closing = false;
    bool m_keepQueue = false; // the queue outlives this quit
    bool m_closed = false;    // closed() has been emitted
    bool m_quitQuestionOpen = false;
    bool m_failureBoxOpen = false;
};
