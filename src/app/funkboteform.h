#pragma once

#include <QCoreApplication>
#include <QString>

class HoverLabel;
class QFrame;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;
class QWidget;
class StatusLine;

// The main window's controls, placed as in the original form (twips on a
// fixed-size, frameless window). The window builds them with build() and
// gives them their behaviour.
struct FunkboteForm
{
    Q_DECLARE_TR_FUNCTIONS(Funkbote)

public:
    // Creates every control as a child of window, with its objectName,
    // heading buddy and accessible name.
    void build(QWidget *window, const QString &titleSuffix);
    static QString titleText();
    // The main window's questions and notices.
    static QString quitQuestion();
    static QString stopQuestion();
    static QString resumedNotice();
    // Sending has stopped for good, and why.
    static QString haltedText(const QString &reason);

    QLabel *titel = nullptr; // LBLTitel: drags the window
    HoverLabel *minimize = nullptr;
    HoverLabel *ende = nullptr;
    QFrame *frame1 = nullptr;
    QPushButton *cmdAn = nullptr;
    QLineEdit *natelNummer = nullptr;    // TXTNatelNummer
    QLineEdit *rueckrufNummer = nullptr; // TXTRueckrufNummer
    QPlainTextEdit *nachricht = nullptr; // TXTNachricht
    QLabel *zaehler = nullptr;
    QLabel *hintLabel = nullptr;
    QPushButton *senden = nullptr;
    QListView *lstNatelNummer = nullptr;
    QListView *lstNachricht = nullptr;
    QListView *lstRueckrufNummer = nullptr;
    QScrollBar *vscroll = nullptr;
    QPushButton *auslistloesch = nullptr;
    StatusLine *status = nullptr; // LBLStatus
    QPushButton *konfiguration = nullptr;
    QPushButton *adressbuch = nullptr;
    QPushButton *versandLog = nullptr;
    QPushButton *auswahlNamen = nullptr;
    QPushButton *startStop = nullptr;
    QPushButton *eingang = nullptr; // cmdEingang: the inbox, with its unread count
    HoverLabel *copyright = nullptr;

private:
    void buildFrame(QWidget *window);
    void buildButtonColumn(QWidget *window);
};
