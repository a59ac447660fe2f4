#pragma once

#include "prompter.h"
#include "settingscache.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class AddressBookFlow;
class DialUpDialogue;
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
class RecordView;
class SendEngine;
class SendLog;
class SerialLine;
class StatusLine;
class StoreConnection;

// The main window: input fields and the outgoing queue, the engine's status
// line and start/stop button, and the buttons that open every other window.
// It holds the settings cache that the engine dials with and refreshes it
// each time the window becomes active.
class Funkbote : public QWidget
{
    Q_OBJECT

public:
    struct Environment
    {
        QString programDir;
        Prompter *prompter = nullptr;
        const Clock *clock = nullptr;
        // The modem line; nullptr uses the real serial port.
        SerialLine *line = nullptr;
    };

    explicit Funkbote(const Environment &environment, QWidget *parent = nullptr);
    ~Funkbote() override;

    void showCentred();

    OutgoingQueue *queue() const { return m_queue; }
    SendEngine *engine() const { return m_engine; }
    AddressBookFlow *addressBookFlow() const { return m_addressBook; }
    const SettingsCache &settingsCache() const { return m_cache; }
    QString databasePath() const;
    // The box shown when attempts keep failing.
    static QString failureMessageText();

    // Re-reads the settings row into the cache and sets the title, as each
    // activation of the window does.
    void activationRefresh();

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

    // Counts the boxes that are open, so that the activation refresh does
    // not rewrite a field while that field's own check is showing a box.
    class BoxCounter;

    Environment m_env;
    std::unique_ptr<BoxCounter> m_boxes;
    bool m_refreshPending = false;
    bool m_storeErrorShown = false; // until the settings read well again
    std::unique_ptr<StoreConnection> m_settingsConnection;
    std::unique_ptr<StoreConnection> m_logConnection;
    RecordView *m_einstellungen = nullptr; // DTAEinstellungen
    std::unique_ptr<SendLog> m_versandLog; // DTAVersandLog
    SettingsCache m_cache;
    OutgoingQueue *m_queue = nullptr;
    QueuePanel *m_queuePanel = nullptr;
    SerialLine *m_line = nullptr;
    DialUpDialogue *m_dialogue = nullptr;
    SendEngine *m_engine = nullptr;
    AddressBookFlow *m_addressBook = nullptr;
    QList<QPointer<QWidget>> m_openDialogs;
    bool m_closing = false;
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
    QLabel *m_hinweis = nullptr;
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
