#pragma once

#include "prompter.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class AddressBookFlow;
class CallTrace;
class ConnectionTest;
class ChosenDialogue;
class ConnectionSettings;
class Clock;
class HoverLabel;
class OutgoingQueue;
class Prompter;
class QFrame;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;
class QueuePanel;
class SendEngine;
class SendLog;
class SerialLine;
class Settings;
class StatusLine;
class StoreConnection;
class StoredQueue;

// The main window: input fields and the outgoing queue, the engine's status
// line and start/stop button, and the buttons that open every other window.
// It reloads the settings that the engine dials with each time it becomes
// active, and shows and stores the user's call-back number.
class Funkbote : public QWidget
{
    Q_OBJECT

public:
    struct Environment
    {
        QString programDir = QString();
        Prompter *prompter = nullptr;
        const Clock *clock = nullptr;
        // The modem line; nullptr uses the real serial port.
        SerialLine *line = nullptr;
        // The settings row, shared with the engine and the configuration window.
        Settings *settings = nullptr;
        // Words after the title, e.g. " – Demo" when the program runs on the
        // built-in simulator.
        QString titleSuffix = QString();
        // How the message centre is reached; nullptr reads it from Daten.mdb
        // with the secrets there too.
        ConnectionSettings *connection = nullptr;
        // The last run crashed or was killed (its lock was left behind);
        // otherwise a queue still stored was kept by a quit without
        // questions (a logout, a service stop).
        bool lastRunEndedUncleanly = true;
    };

    explicit Funkbote(const Environment &environment, QWidget *parent = nullptr);
    ~Funkbote() override;

    void showCentred();

    OutgoingQueue *queue() const { return m_queue; }
    SendEngine *engine() const { return m_engine; }
    CallTrace *callTrace() const { return m_trace; }
    AddressBookFlow *addressBookFlow() const { return m_addressBook; }
    Settings *settings() const { return m_settings; }
    ConnectionSettings *connectionSettings() const { return m_connection; }
    QString databasePath() const;
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
    void buildWindow();
    void buildFrame();
    void buildButtonColumn();
    void connectActions();
    void openDialog(QWidget *dialog);
    void queueBulkRecipients(const QStringList &numbers);
    bool confirmQuit();
    void endSending();
    // The start/stop button: resumes with a notice, pauses after asking.
    void toggleSending();
    void showPaused(bool paused);
    void tellAttemptsFailing();
    void hoverTitleLabel(HoverLabel *label);
    void hoverBackground();
    void storeFailed(const QString &message);
    bool callBackNumberSettled() const;
    void saveCallBackNumber();

    Environment m_env;
    Settings *m_settings = nullptr;
    ConnectionSettings *m_connection = nullptr;
    std::unique_ptr<StoreConnection> m_logConnection;
    std::unique_ptr<SendLog> m_versandLog; // DTAVersandLog
    OutgoingQueue *m_queue = nullptr;
    StoredQueue *m_storedQueue = nullptr; // the queue's copy in Daten.mdb
    QueuePanel *m_queuePanel = nullptr;
    SerialLine *m_line = nullptr;
    ChosenDialogue *m_dialogue = nullptr;
    SendEngine *m_engine = nullptr;
    CallTrace *m_trace = nullptr;
    ConnectionTest *m_connectionTest = nullptr;
    AddressBookFlow *m_addressBook = nullptr;
    QList<QPointer<QWidget>> m_openDialogs;
    bool m_closing = false;
    bool m_keepQueue = false; // the queue outlives this quit
    bool m_closed = false;    // closed() has been emitted
    bool m_quitQuestionOpen = false;
    bool m_failureBoxOpen = false;

    QLabel *m_titel = nullptr;
    HoverLabel *m_minimize = nullptr;
    HoverLabel *m_ende = nullptr;
    QFrame *m_frame1 = nullptr;
    QPushButton *m_cmdAn = nullptr;
    QLineEdit *m_natelNummer = nullptr;
    QLineEdit *m_rueckrufNummer = nullptr;
    QPlainTextEdit *m_nachricht = nullptr;
    QLabel *m_zaehler = nullptr;
    QLabel *m_hintLabel = nullptr;
    QPushButton *m_senden = nullptr;
    QListView *m_lstNatelNummer = nullptr;
    QListView *m_lstNachricht = nullptr;
    QListView *m_lstRueckrufNummer = nullptr;
    QScrollBar *m_vscroll = nullptr;
    QPushButton *m_auslistloesch = nullptr;
    StatusLine *m_status = nullptr; // LBLStatus
    QPushButton *m_konfiguration = nullptr;
    QPushButton *m_adressbuch = nullptr;
    QPushButton *m_versandLogButton = nullptr;
    QPushButton *m_auswahlNamen = nullptr;
    QPushButton *m_startStop = nullptr;
    HoverLabel *m_copyright = nullptr;
};
