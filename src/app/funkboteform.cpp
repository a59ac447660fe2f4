#include "funkboteform.h"

#include "dialogtexts.h"
#include "hoverlabel.h"
#include "look.h"
#include "statusline.h"
#include "textfield.h"
#include "wrapbutton.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

using namespace Qt::StringLiterals;

namespace {

QLabel *headingLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    Look::setTextColor(label, Look::infoBk());
    return label;
}

QListView *queueList(const QString &name, QWidget *parent)
{
    // Model, column and selection are set by the queue panel.
    auto *list = new QListView(parent);
    list->setObjectName(name);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setTextElideMode(Qt::ElideRight);
    return list;
}

} // namespace

QString FunkboteForm::titleText()
{
    return tr("Funkbote - SMS-Versand-Programm...");
}

QString FunkboteForm::quitQuestion()
{
    return tr("Es sind noch Nachrichten in der Warteschlange. Wenn Sie jetzt beenden, gehen diese "
              "Nachrichten verloren. Wollen Sie beenden?");
}

QString FunkboteForm::stopQuestion()
{
    return tr("Achtung! Sie sind dabei den Versand aller Nachrichten anzuhalten. Wollen Sie das "
              "wirklich?");
}

QString FunkboteForm::resumedNotice()
{
    return tr("Information! Der Nachrichtenversand wurde wieder aktiviert.");
}

QString FunkboteForm::haltedText(const QString &reason)
{
    return tr("Der Versand wurde angehalten: %1.\n\nBitte prüfen Sie die Einstellungen "
              "(SIM-PIN, Konto und Passwort beim SMS-Center) und starten Sie den Versand "
              "danach wieder mit «Versand starten». Funkbote versucht es nicht von selbst "
              "noch einmal, damit die SIM-Karte oder das Konto nicht gesperrt wird.")
        .arg(reason);
}

void FunkboteForm::build(QWidget *window, const QString &titleSuffix)
{
    titel = new QLabel(titleText() + titleSuffix, window);
    titel->setObjectName(u"LBLTitel"_s);
    titel->setFont(Look::titleFont());
    Look::setTextColor(titel, Look::lightYellow);
    titel->setGeometry(Look::rectTwips(120, 120, 5775, 255));

    minimize = new HoverLabel(u"_"_s, window);
    minimize->setObjectName(u"LBLMinimize"_s);
    QFont minimizeFont = Look::closeFont();
    minimizeFont.setPointSizeF(13.5);
    minimize->setFont(minimizeFont);
    minimize->setAccessibleName(tr("Minimieren"));
    minimize->setToolTip(tr("Minimieren"));
    Look::setTextColor(minimize, Look::infoBk());
    minimize->setGeometry(Look::rectTwips(6180, 0, 255, 375));

    ende = new HoverLabel(u"X"_s, window);
    ende->setObjectName(u"LBLEnde"_s);
    ende->setFont(Look::closeFont());
    ende->setAccessibleName(tr("Beenden"));
    ende->setToolTip(tr("Beenden"));
    Look::setTextColor(ende, Look::infoBk());
    ende->setGeometry(Look::rectTwips(6480, 90, 255, 255));

    frame1 = new QFrame(window);
    frame1->setObjectName(u"Frame1"_s);
    frame1->setFrameShape(QFrame::Box);
    Look::setBackground(frame1, Look::navy);
    frame1->setGeometry(Look::rectTwips(120, 360, 6615, 5535));

    buildFrame(window);
    buildButtonColumn(window);
}

void FunkboteForm::buildFrame(QWidget *window)
{
    QWidget *f = frame1;

    cmdAn = new QPushButton(tr("An:"), f);
    cmdAn->setObjectName(u"cmdAn"_s);
    Look::setBackground(cmdAn, Look::grau);
    cmdAn->setGeometry(Look::rectTwips(120, 360, 600, 315));

    // A heading above its field, announced with it by screen readers.
    auto numberField = [f](const QString &labelName, const QString &heading,
                           const QString &fieldName, int left) {
        auto *label = headingLabel(heading, f);
        label->setObjectName(labelName);
        label->setGeometry(Look::rectTwips(left, 120, 1815, 255));
        QLineEdit *field = newTextField(f);
        field->setObjectName(fieldName);
        field->setGeometry(Look::rectTwips(left, 375, 1815, 300));
        label->setBuddy(field);
        return field;
    };
    natelNummer = numberField(u"LBLNatelNummer"_s, tr("Mobilnummer:"), u"TXTNatelNummer"_s, 840);
    rueckrufNummer = numberField(u"LBLRueckrufNummer"_s, tr("Mobilrückrufnummer:"),
                                 u"TXTRueckrufNummer"_s, 2745);

    auto *nachrichtLabel = headingLabel(tr("Nachricht:"), f);
    nachrichtLabel->setObjectName(u"LBLNachricht"_s);
    nachrichtLabel->setGeometry(Look::rectTwips(585, 750, 1815, 255));
    nachricht = new QPlainTextEdit(f);
    nachricht->setObjectName(u"TXTNachricht"_s);
    nachricht->setGeometry(Look::rectTwips(585, 1005, 3975, 2055));
    nachricht->setTabChangesFocus(true);
    nachrichtLabel->setBuddy(nachricht);

    zaehler = headingLabel(QString(), f);
    zaehler->setObjectName(u"LBLZaehler"_s);
    zaehler->setGeometry(Look::rectTwips(585, 3105, 540, 255));
    zaehler->setAccessibleName(tr("Anzahl Zeichen"));

    hintLabel = headingLabel(QString(), f);
    hintLabel->setObjectName(u"LBLHinweis"_s);
    hintLabel->setGeometry(Look::rectTwips(1125, 3075, 2175, 420));
    hintLabel->setWordWrap(true);
    QFont hintFont = hintLabel->font();
    hintFont.setPointSizeF(hintFont.pointSizeF() * 0.85);
    hintLabel->setFont(hintFont);

    senden = new QPushButton(tr("SMS senden"), f);
    senden->setObjectName(u"cmdSenden"_s);
    senden->setGeometry(Look::rectTwips(3360, 3105, 1200, 360));

    auto *frame5 = new QFrame(f);
    frame5->setObjectName(u"Frame5"_s);
    frame5->setFrameShape(QFrame::HLine);
    frame5->setGeometry(Look::rectTwips(120, 3555, 4440, 30));

    auto *warteschlange = headingLabel(tr("Warteschlange:"), f);
    warteschlange->setObjectName(u"LBLWarteschlange"_s);
    warteschlange->setGeometry(Look::rectTwips(120, 3660, 1815, 255));

    lstNatelNummer = queueList(u"LSTNatelNummer"_s, f);
    lstNatelNummer->setGeometry(Look::rectTwips(120, 3930, 1215, 450));
    lstNachricht = queueList(u"LSTNachricht"_s, f);
    lstNachricht->setGeometry(Look::rectTwips(1335, 3930, 1575, 450));
    lstRueckrufNummer = queueList(u"LSTRueckrufNummer"_s, f);
    lstRueckrufNummer->setGeometry(Look::rectTwips(2910, 3930, 1215, 450));
    warteschlange->setBuddy(lstNatelNummer);
    lstNatelNummer->setAccessibleName(tr("Warteschlange: Mobilnummern"));
    lstNachricht->setAccessibleName(tr("Warteschlange: Nachrichten"));
    lstRueckrufNummer->setAccessibleName(tr("Warteschlange: Rückrufnummern"));

    vscroll = new QScrollBar(Qt::Vertical, f);
    vscroll->setObjectName(u"VScroll1"_s);
    vscroll->setRange(0, 32767);
    vscroll->setSingleStep(1);
    vscroll->setPageStep(1);
    vscroll->setValue(0);
    vscroll->setGeometry(Look::rectTwips(4125, 3930, 255, 450));
    vscroll->setAccessibleName(tr("Warteschlange durchblättern"));

    // Two lines high, between the delete button and the frame's lower edge:
    // a port error names the port and the reason, which needs the room.
    status = new StatusLine(f);
    status->setObjectName(u"LBLStatus"_s);
    status->setAlignment(Qt::AlignCenter);
    Look::setTextColor(status, Look::lightOrange);
    status->setGeometry(Look::rectTwips(120, 4905, 4440, 570));

    auto *frame3 = new QFrame(f);
    frame3->setObjectName(u"Frame3"_s);
    frame3->setFrameShape(QFrame::VLine);
    frame3->setGeometry(Look::rectTwips(4710, 120, 30, 5295));

    // Placed on the window itself, over the frame.
    auslistloesch = new QPushButton(tr("Aus Warteschlange löschen"), window);
    auslistloesch->setObjectName(u"cmdauslistloesch"_s);
    auslistloesch->setGeometry(Look::rectTwips(240, 360 + 4485, 2535, 360));
}

void FunkboteForm::buildButtonColumn(QWidget *window)
{
    constexpr int left = 120 + 4860;
    auto button = [window](const QString &name, const QString &text, int top, QWidget *parent) {
        auto *b = new WrapButton(text, parent);
        b->setObjectName(name);
        const int x = parent == window ? left : left - 120;
        const int y = parent == window ? top : top - 360;
        b->setGeometry(Look::rectTwips(x, y, 1620, 495));
        return b;
    };
    konfiguration = button(u"cmdKonfiguration"_s, konfigurationButtonText(), 360 + 240, frame1);
    adressbuch = button(u"cmdAdressbuch"_s, tr("Adressbuch"), 360 + 840, window);
    versandLog = button(u"cmdVersandLog"_s, tr("Versand-Archiv ansehen"), 360 + 1440, frame1);
    auswahlNamen = button(u"cmdAuswahlNamen"_s, tr("Serien-SMS versenden"), 360 + 2040, frame1);
    startStop = button(u"cmdStartStop"_s, tr("Versand stoppen"), 360 + 2640, window);
    eingang = button(u"cmdEingang"_s, tr("Eingang"), 360 + 3240, frame1);

    copyright = new HoverLabel(copyrightLabelText(), frame1);
    copyright->setObjectName(u"LBLCopyright"_s);
    copyright->setAlignment(Qt::AlignCenter);
    copyright->setWordWrap(true);
    QFont font(u"Arial"_s);
    font.setPointSizeF(8.25);
    font.setUnderline(true);
    copyright->setFont(font);
    Look::setTextColor(copyright, Look::lightYellow);
    copyright->setGeometry(Look::rectTwips(left - 120, 4560, 1620, 600));
}
