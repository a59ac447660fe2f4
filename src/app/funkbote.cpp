#include "funkbote.h"

#include "addressbookflow.h"
#include "calltrace.h"
#include "chosendialogue.h"
#include "connectionkinds.h"
#include "connectionsettings.h"
#include "connectiontest.h"
#include "dialogtexts.h"
#include "enqueue.h"
#include "frmadressbuch.h"
#include "frmarchiv.h"
#include "frminfo.h"
#include "frmkonfiguration.h"
#include "frmprotokoll.h"
#include "frmselektion.h"
#include "frmselektion1.h"
#include "frmsuchen.h"
#include "hoverlabel.h"
#include "look.h"
#include "numberfieldcheck.h"
#include "outgoingqueue.h"
#include "prompter.h"
#include "qtserialline.h"
#include "queuepanel.h"
#include "recordingline.h"
#include "sendengine.h"
#include "sendlog.h"
#include "settings.h"
#include "startup.h"
#include "statusline.h"
#include "storeconnection.h"
#include "storedqueue.h"
#include "textfield.h"
#include "wrapbutton.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QWindow>

using namespace Qt::StringLiterals;

namespace {

QString titleText()
{
    return QCoreApplication::translate("Funkbote", "Funkbote - SMS-Versand-Programm...");
}

QString quitQuestion()
{
    return QCoreApplication::translate(
        "Funkbote",
        "Es sind noch Nachrichten in der Warteschlange. Wenn Sie jetzt beenden, gehen diese "
        "Nachrichten verloren. Wollen Sie beenden?");
}

QString stopQuestion()
{
    return QCoreApplication::translate("Funkbote",
                                       "Achtung! Sie sind dabei den Versand aller Nachrichten "
                                       "anzuhalten. Wollen Sie das wirklich?");
}

QString resumedNotice()
{
    return QCoreApplication::translate(
        "Funkbote", "Information! Der Nachrichtenversand wurde wieder aktiviert.");
}

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

Funkbote::Funkbote(const Environment &environment, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_env(environment)
{
    setObjectName(u"Funkbote"_s);
    setWindowTitle(u"Funkbote"_s);
    setFixedSize(Look::px(6855), Look::px(6015));
    Look::setBackground(this, Look::navy);

    m_settings = m_env.settings;
    Q_ASSERT(m_settings);
    connect(m_settings, &Settings::failed, this, &Funkbote::storeFailed);
    // The call-back field shows the stored number, unless its own check is
    // still taking a refused character off.
    connect(m_settings, &Settings::changed, this, [this] {
        if (callBackNumberSettled())
            m_rueckrufNummer->setText(m_settings->rueckrufnummer());
    });
    m_connection = m_env.connection;
    if (!m_connection)
        m_connection = new ConnectionSettings(databasePath(), nullptr, this);
    connect(m_connection, &ConnectionSettings::failed, this, &Funkbote::storeFailed);
    // DTAVersandLog: the window's view on the send log.
    m_logConnection = std::make_unique<StoreConnection>(databasePath(), u"Funkbote-VersandLog"_s);
    m_versandLog = std::make_unique<SendLog>(m_logConnection->database());

    m_queue = new OutgoingQueue(this);
    buildWindow();

    m_queuePanel = new QueuePanel(m_queue,
                                  QueueWidgets{
                                      .natelNummer = m_natelNummer,
                                      .rueckrufNummer = m_rueckrufNummer,
                                      .nachricht = m_nachricht,
                                      .zaehler = m_zaehler,
                                      .hintLabel = m_hintLabel,
                                      .listNatelNummer = m_lstNatelNummer,
                                      .listNachricht = m_lstNachricht,
                                      .listRueckrufNummer = m_lstRueckrufNummer,
                                      .scroll = m_vscroll,
                                      .senden = m_senden,
                                      .loeschen = m_auslistloesch,
                                  },
                                  m_env.prompter, this);

    // What a crash left queued comes back before anything is sent.
    m_storedQueue = new StoredQueue(databasePath(), m_queue, m_env.prompter, m_env.clock, this);
    m_storedQueue->setLastRunEndedUncleanly(m_env.lastRunEndedUncleanly);
    m_storedQueue->restore();

    // As read so far: only what the user changes afterwards is stored.
    m_rueckrufNummer->setText(m_settings->rueckrufnummer());

    // Every byte over the serial line goes into the call trace as well.
    auto *recordingLine = new RecordingLine(m_env.line ? m_env.line : new QtSerialLine(this), this);
    m_line = recordingLine;
    // One dialogue for each way to the message centre; the settings choose
    // one as each connection begins.
    m_dialogue = new ChosenDialogue(m_connection,
                                    DialogueNeeds{
                                        .line = m_line,
                                        .settings = m_settings,
                                        .connection = m_connection,
                                        .programDir = m_env.programDir,
                                        .databasePath = databasePath(),
                                        .parent = this,
                                    },
                                    this);
    connect(m_connection, &ConnectionSettings::changed, this, [this] {
        m_queuePanel->setPlan(ConnectionKinds::of(m_connection->values().kind).plan);
    });
    m_engine = new SendEngine(m_queue, m_versandLog.get(), m_dialogue, m_env.clock, this);
    m_trace = new CallTrace(m_engine, m_env.clock,
                            QDir(m_env.programDir).filePath(CallTrace::fileName), this);
    m_trace->addSource(recordingLine);
    m_trace->addSource(m_dialogue);
    m_connectionTest = new ConnectionTest(m_dialogue, m_engine, this);
    m_connectionTest->addSource(recordingLine);
    connect(m_connectionTest, &ConnectionTest::finished, m_trace, &CallTrace::endTest);
    m_addressBook = new AddressBookFlow(databasePath(), this, m_env.prompter, this);

    connectActions();
    m_status->setStatus(statusText(m_engine->status()));
    showPaused(m_engine->isPaused());

    activationRefresh();
    m_engine->start();
}

Funkbote::~Funkbote()
{
    for (const QPointer<QWidget> &dialog : std::as_const(m_openDialogs)) {
        if (dialog)
            delete dialog.data();
    }
    saveCallBackNumber();
    // These use the send log's connection, which goes before the QObject
    // children would.
    delete m_addressBook;
    delete m_engine;
    delete m_dialogue;
    m_dialogue = nullptr;
    delete m_queuePanel;
}

bool Funkbote::callBackNumberSettled() const
{
    // The field's check shows its message before it takes a refused
    // character off the end. Until then the text is neither stored nor
    // replaced: the refused character never reaches the row, and the check
    // finishes on the text it is correcting.
    const QString text = m_rueckrufNummer->text();
    return text.isEmpty() || NumberFieldCheck::isAllowed(text.back());
}

void Funkbote::saveCallBackNumber()
{
    if (!callBackNumberSettled())
        return;
    m_settings->setRueckrufnummer(m_rueckrufNummer->text());
    m_settings->save();
}

QString Funkbote::databasePath() const
{
    return StartupGuard::databasePath(m_env.programDir);
}

void Funkbote::showCentred()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    activateWindow();
}

void Funkbote::buildWindow()
{
    m_titel = new QLabel(titleText() + m_env.titleSuffix, this);
    m_titel->setObjectName(u"LBLTitel"_s);
    m_titel->setFont(Look::titleFont());
    Look::setTextColor(m_titel, Look::lightYellow);
    m_titel->setGeometry(Look::rectTwips(120, 120, 5775, 255));
    m_titel->installEventFilter(this);

    m_minimize = new HoverLabel(u"_"_s, this);
    m_minimize->setObjectName(u"LBLMinimize"_s);
    QFont minimizeFont = Look::closeFont();
    minimizeFont.setPointSizeF(13.5);
    m_minimize->setFont(minimizeFont);
    m_minimize->setAccessibleName(tr("Minimieren"));
    m_minimize->setToolTip(tr("Minimieren"));
    Look::setTextColor(m_minimize, Look::infoBk());
    m_minimize->setGeometry(Look::rectTwips(6180, 0, 255, 375));

    m_ende = new HoverLabel(u"X"_s, this);
    m_ende->setObjectName(u"LBLEnde"_s);
    m_ende->setFont(Look::closeFont());
    m_ende->setAccessibleName(tr("Beenden"));
    m_ende->setToolTip(tr("Beenden"));
    Look::setTextColor(m_ende, Look::infoBk());
    m_ende->setGeometry(Look::rectTwips(6480, 90, 255, 255));

    m_frame1 = new QFrame(this);
    m_frame1->setObjectName(u"Frame1"_s);
    m_frame1->setFrameShape(QFrame::Box);
    Look::setBackground(m_frame1, Look::navy);
    m_frame1->setGeometry(Look::rectTwips(120, 360, 6615, 5535));

    buildFrame();
    buildButtonColumn();

    auto *watcher = new BackgroundHoverWatcher(this);
    watcher->watch(this);
    watcher->watch(m_frame1);
    connect(watcher, &BackgroundHoverWatcher::backgroundHovered, this, &Funkbote::hoverBackground);
}

void Funkbote::buildFrame()
{
    QWidget *f = m_frame1;

    m_cmdAn = new QPushButton(tr("An:"), f);
    m_cmdAn->setObjectName(u"cmdAn"_s);
    Look::setBackground(m_cmdAn, Look::grau);
    m_cmdAn->setGeometry(Look::rectTwips(120, 360, 600, 315));
    m_cmdAn->installEventFilter(this);

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
    m_natelNummer = numberField(u"LBLNatelNummer"_s, tr("Mobilnummer:"), u"TXTNatelNummer"_s, 840);
    m_rueckrufNummer = numberField(u"LBLRueckrufNummer"_s, tr("Mobilrückrufnummer:"),
                                   u"TXTRueckrufNummer"_s, 2745);

    auto *nachrichtLabel = headingLabel(tr("Nachricht:"), f);
    nachrichtLabel->setObjectName(u"LBLNachricht"_s);
    nachrichtLabel->setGeometry(Look::rectTwips(585, 750, 1815, 255));
    m_nachricht = new QPlainTextEdit(f);
    m_nachricht->setObjectName(u"TXTNachricht"_s);
    m_nachricht->setGeometry(Look::rectTwips(585, 1005, 3975, 2055));
    m_nachricht->setTabChangesFocus(true);
    nachrichtLabel->setBuddy(m_nachricht);

    m_zaehler = headingLabel(QString(), f);
    m_zaehler->setObjectName(u"LBLZaehler"_s);
    m_zaehler->setGeometry(Look::rectTwips(585, 3105, 540, 255));
    m_zaehler->setAccessibleName(tr("Anzahl Zeichen"));

    m_hintLabel = headingLabel(QString(), f);
    m_hintLabel->setObjectName(u"LBLHinweis"_s);
    m_hintLabel->setGeometry(Look::rectTwips(1125, 3075, 2175, 420));
    m_hintLabel->setWordWrap(true);
    QFont hintFont = m_hintLabel->font();
    hintFont.setPointSizeF(hintFont.pointSizeF() * 0.85);
    m_hintLabel->setFont(hintFont);

    m_senden = new QPushButton(tr("SMS senden"), f);
    m_senden->setObjectName(u"cmdSenden"_s);
    m_senden->setGeometry(Look::rectTwips(3360, 3105, 1200, 360));

    auto *frame5 = new QFrame(f);
    frame5->setObjectName(u"Frame5"_s);
    frame5->setFrameShape(QFrame::HLine);
    frame5->setGeometry(Look::rectTwips(120, 3555, 4440, 30));

    auto *warteschlange = headingLabel(tr("Warteschlange:"), f);
    warteschlange->setObjectName(u"LBLWarteschlange"_s);
    warteschlange->setGeometry(Look::rectTwips(120, 3660, 1815, 255));

    m_lstNatelNummer = queueList(u"LSTNatelNummer"_s, f);
    m_lstNatelNummer->setGeometry(Look::rectTwips(120, 3930, 1215, 450));
    m_lstNachricht = queueList(u"LSTNachricht"_s, f);
    m_lstNachricht->setGeometry(Look::rectTwips(1335, 3930, 1575, 450));
    m_lstRueckrufNummer = queueList(u"LSTRueckrufNummer"_s, f);
    m_lstRueckrufNummer->setGeometry(Look::rectTwips(2910, 3930, 1215, 450));
    warteschlange->setBuddy(m_lstNatelNummer);
    m_lstNatelNummer->setAccessibleName(tr("Warteschlange: Mobilnummern"));
    m_lstNachricht->setAccessibleName(tr("Warteschlange: Nachrichten"));
    m_lstRueckrufNummer->setAccessibleName(tr("Warteschlange: Rückrufnummern"));

    m_vscroll = new QScrollBar(Qt::Vertical, f);
    m_vscroll->setObjectName(u"VScroll1"_s);
    m_vscroll->setRange(0, 32767);
    m_vscroll->setSingleStep(1);
    m_vscroll->setPageStep(1);
    m_vscroll->setValue(0);
    m_vscroll->setGeometry(Look::rectTwips(4125, 3930, 255, 450));
    m_vscroll->setAccessibleName(tr("Warteschlange durchblättern"));

    // Two lines high, between the delete button and the frame's lower edge:
    // a port error names the port and the reason, which needs the room.
    m_status = new StatusLine(f);
    m_status->setObjectName(u"LBLStatus"_s);
    m_status->setAlignment(Qt::AlignCenter);
    Look::setTextColor(m_status, Look::lightOrange);
    m_status->setGeometry(Look::rectTwips(120, 4905, 4440, 570));

    auto *frame3 = new QFrame(f);
    frame3->setObjectName(u"Frame3"_s);
    frame3->setFrameShape(QFrame::VLine);
    frame3->setGeometry(Look::rectTwips(4710, 120, 30, 5295));

    // Placed on the window itself, over the frame.
    m_auslistloesch = new QPushButton(tr("Aus Warteschlange löschen"), this);
    m_auslistloesch->setObjectName(u"cmdauslistloesch"_s);
    m_auslistloesch->setGeometry(Look::rectTwips(240, 360 + 4485, 2535, 360));
}

void Funkbote::buildButtonColumn()
{
    constexpr int left = 120 + 4860;
    auto button = [this](const QString &name, const QString &text, int top, QWidget *parent) {
        auto *b = new WrapButton(text, parent);
        b->setObjectName(name);
        const int x = parent == this ? left : left - 120;
        const int y = parent == this ? top : top - 360;
        b->setGeometry(Look::rectTwips(x, y, 1620, 495));
        return b;
    };
    m_konfiguration = button(u"cmdKonfiguration"_s, konfigurationButtonText(), 360 + 240, m_frame1);
    m_adressbuch = button(u"cmdAdressbuch"_s, tr("Adressbuch"), 360 + 840, this);
    m_versandLogButton =
        button(u"cmdVersandLog"_s, tr("Versand-Archiv ansehen"), 360 + 1440, m_frame1);
    m_auswahlNamen = button(u"cmdAuswahlNamen"_s, tr("Serien-SMS versenden"), 360 + 2040, m_frame1);
    m_startStop = button(u"cmdStartStop"_s, tr("Versand stoppen"), 360 + 2640, this);

    m_copyright = new HoverLabel(copyrightLabelText(), m_frame1);
    m_copyright->setObjectName(u"LBLCopyright"_s);
    m_copyright->setAlignment(Qt::AlignCenter);
    m_copyright->setWordWrap(true);
    QFont font(u"Arial"_s);
    font.setPointSizeF(8.25);
    font.setUnderline(true);
    m_copyright->setFont(font);
    Look::setTextColor(m_copyright, Look::lightYellow);
    m_copyright->setGeometry(Look::rectTwips(left - 120, 4560, 1620, 600));
}

void Funkbote::connectActions()
{
    connect(m_ende, &HoverLabel::clicked, this, &QWidget::close);
    connect(m_minimize, &HoverLabel::clicked, this, &QWidget::showMinimized);
    connect(m_ende, &HoverLabel::hovered, this, [this] { hoverTitleLabel(m_ende); });
    connect(m_minimize, &HoverLabel::hovered, this, [this] { hoverTitleLabel(m_minimize); });
    connect(m_copyright, &HoverLabel::hovered, this,
            [this] { Look::setTextColor(m_copyright, Look::rot); });

    connect(m_engine, &SendEngine::statusChanged, this,
            [this](const EngineStatus &status) { m_status->setStatus(statusText(status)); });
    connect(m_engine, &SendEngine::pausedChanged, this, &Funkbote::showPaused);
    connect(m_startStop, &QPushButton::clicked, this, &Funkbote::toggleSending);
    // Queued: the box runs a nested event loop, which must not run inside
    // the engine's own handling of the failed call.
    connect(m_engine, &SendEngine::attemptsFailing, this, &Funkbote::tellAttemptsFailing,
            Qt::QueuedConnection);
    // Sending has stopped for good (a SIM that refused its PIN, a message
    // centre that refuses the account): told once; the start button resumes
    // it once the setting is mended.
    connect(
        m_engine, &SendEngine::halted, this,
        [this](const QString &reason) {
            m_env.prompter->message(
                tr("Der Versand wurde angehalten: %1.\n\nBitte prüfen Sie die Einstellungen "
                   "(SIM-PIN, Konto und Passwort beim SMS-Center) und starten Sie den Versand "
                   "danach wieder mit «Versand starten». Funkbote versucht es nicht von selbst "
                   "noch einmal, damit die SIM-Karte oder das Konto nicht gesperrt wird.")
                    .arg(reason),
                Prompter::Buttons::Ok, Prompter::Icon::Warning);
        },
        Qt::QueuedConnection);

    connect(m_konfiguration, &QPushButton::clicked, this, [this] {
        auto *dialog = new FRMKonfiguration(databasePath(), m_settings, this, m_env.prompter,
                                            m_connection, m_connectionTest);
        connect(dialog, &DialogBase::unloaded, this,
                [this] { m_titel->setText(titleText() + m_env.titleSuffix); });
        connect(dialog, &FRMKonfiguration::portDeviceChanged, m_dialogue,
                &CallDialogue::forgetPortLink);
        openDialog(dialog);
    });
    connect(m_versandLogButton, &QPushButton::clicked, this, [this] {
        auto *archive = new FRMArchiv(databasePath(), this, m_env.prompter);
        // The same entry as cmdSenden would queue, with today's call-back number.
        connect(archive, &FRMArchiv::resendRequested, this,
                [this](const QString &number, const QString &text) {
                    enqueueMessage(*m_queue, number, text, m_rueckrufNummer->text(),
                                   m_queuePanel->messageSplit());
                });
        connect(archive, &FRMArchiv::traceRequested, this, [this] {
            QStringList calls = m_trace->calls();
            std::reverse(calls.begin(), calls.end());
            openDialog(new FRMProtokoll(calls, this, m_env.prompter));
        });
        openDialog(archive);
    });
    connect(m_copyright, &HoverLabel::clicked, this,
            [this] { openDialog(new FRMInfo(this, m_env.prompter)); });

    connect(m_adressbuch, &QPushButton::clicked, m_addressBook, &AddressBookFlow::openAddressBook);
    connect(m_cmdAn, &QPushButton::clicked, m_addressBook, &AddressBookFlow::openSinglePick);
    connect(m_auswahlNamen, &QPushButton::clicked, this, [this] {
        m_addressBook->startBulk(m_queuePanel->messageText(), m_rueckrufNummer->text());
    });
    connect(m_addressBook, &AddressBookFlow::messageFieldFocusRequested, this,
            [this] { m_nachricht->setFocus(); });
    connect(m_addressBook, &AddressBookFlow::numberTaken, m_natelNummer, &QLineEdit::setText);
    connect(m_addressBook, &AddressBookFlow::bulkRecipients, this, &Funkbote::queueBulkRecipients);
    // A message with merge fields: each recipient's own text.
    connect(m_addressBook, &AddressBookFlow::bulkMessages, this,
            [this](const QStringList &numbers, const QStringList &texts) {
                enqueueMessages(*m_queue, numbers, texts, m_rueckrufNummer->text(),
                                m_queuePanel->messageSplit());
            });
}

void Funkbote::openDialog(QWidget *dialog)
{
    m_openDialogs.removeAll(nullptr);
    m_openDialogs.append(dialog);
    if (auto *base = qobject_cast<DialogBase *>(dialog))
        base->centreOnScreen();
    dialog->show();
    dialog->activateWindow();
}

void Funkbote::queueBulkRecipients(const QStringList &numbers)
{
    // The message and call-back number as they stand in the main window now;
    // the fields keep their texts.
    enqueueMessage(*m_queue, numbers, m_queuePanel->messageText(), m_rueckrufNummer->text(),
                   m_queuePanel->messageSplit());
}

void Funkbote::activationRefresh()
{
    const bool settled = callBackNumberSettled();
    if (settled)
        m_settings->setRueckrufnummer(m_rueckrufNummer->text());
    // A changed row shows in the call-back field through Settings::changed.
    m_settings->reload();
    m_connection->reload();
    m_titel->setText(titleText() + m_env.titleSuffix);
}

bool Funkbote::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        activationRefresh();
    return QWidget::event(event);
}

QString Funkbote::failureMessageText()
{
    return tr("Die SMS konnte trotz mehrerer Versuche nicht versandt werden. Bitte überprüfen Sie "
              "die Einstellungen über die Schaltfläche \"SMS-Versand konfigurieren\".");
}

void Funkbote::showPaused(bool paused)
{
    // The quit question pauses sending only while it is open; the button
    // keeps telling what the user chose.
    if (m_quitQuestionOpen)
        return;
    m_startStop->setText(paused ? tr("Versand starten") : tr("Versand stoppen"));
}

void Funkbote::toggleSending()
{
    if (m_engine->isPaused()) {
        m_env.prompter->message(resumedNotice(), Prompter::Buttons::Ok,
                                Prompter::Icon::Information);
        m_engine->resume();
        return;
    }
    if (m_env.prompter->message(stopQuestion(), Prompter::Buttons::YesNo, Prompter::Icon::None) ==
        Prompter::Answer::Yes)
        m_engine->pause();
}

void Funkbote::tellAttemptsFailing()
{
    // The engine goes on while the box is open; the failures it reports
    // meanwhile do not stack further boxes on this one.
    if (m_failureBoxOpen || m_closing)
        return;
    m_failureBoxOpen = true;
    m_env.prompter->message(failureMessageText(), Prompter::Buttons::Ok, Prompter::Icon::None);
    m_failureBoxOpen = false;
}

bool Funkbote::confirmQuit()
{
    if (m_queue->isEmpty())
        return true;
    // No message may start going out while the user decides.
    const bool pausedHere = !m_engine->isPaused();
    m_quitQuestionOpen = true;
    if (pausedHere)
        m_engine->pause();
    const bool quit =
        m_env.prompter->message(quitQuestion(), Prompter::Buttons::YesNo) == Prompter::Answer::Yes;
    m_quitQuestionOpen = false;
    // On Yes sending stays off: the program is ending.
    if (!quit && pausedHere)
        m_engine->resume();
    return quit;
}

void Funkbote::endSending()
{
    // The user has chosen to drop the queue. Closing the dialogs may still
    // show boxes, whose nested event loops run ticks and line events: with
    // the engine shut down and the queue empty, nothing is dialled,
    // submitted or logged any more.
    m_engine->shutDown();
    m_queue->clear();
}

void Funkbote::closeEvent(QCloseEvent *event)
{
    // Every way of closing (the X label, the window manager, the end of the
    // session) asks before queued messages are thrown away.
    if (m_closed) {
        event->accept();
        return;
    }
    if (!m_closing) {
        const bool quit = confirmQuit();
        // A quit without questions (a signal) may have come while the
        // question was open: the program is ending with its queue kept.
        if (m_closed) {
            event->accept();
            return;
        }
        if (!quit) {
            event->ignore();
            return;
        }
    }
    m_closing = true;
    if (m_keepQueue)
        m_engine->shutDown();
    else
        endSending();
    saveCallBackNumber();
    // Open dialogs go with the program, their unsaved entries unchecked and
    // dropped: a dialog that refused to close would keep the program open
    // after the user had chosen to end it.
    QList<QPointer<QWidget>> windows = {m_addressBook->addressBook(),
                                        m_addressBook->searchResults(), m_addressBook->singlePick(),
                                        m_addressBook->bulkPick()};
    windows.append(m_openDialogs);
    for (const QPointer<QWidget> &window : std::as_const(windows)) {
        if (auto *dialog = qobject_cast<DialogBase *>(window))
            dialog->closeWithoutSaving();
        else if (window)
            window->close();
    }
    event->accept();
    m_closed = true;
    Q_EMIT closed();
}

void Funkbote::quitWithoutQuestions()
{
    if (m_closing)
        return;
    m_closing = true;
    m_keepQueue = true;
    close();
}

void Funkbote::hoverTitleLabel(HoverLabel *label)
{
    Look::setTextColor(label, Look::rot);
    Look::setTextColor(label == m_ende ? m_minimize : m_ende, Look::windowColour());
}

void Funkbote::hoverBackground()
{
    Look::setTextColor(m_ende, Look::windowColour());
    Look::setTextColor(m_minimize, Look::windowColour());
    Look::setTextColor(m_copyright, Look::lightYellow);
    Look::setBackground(m_cmdAn, Look::grau);
}

void Funkbote::storeFailed(const QString &message)
{
    // Told once by the settings until the row reads well again.
    m_env.prompter->message(tr("Die Datenbank meldet einen Fehler:\n%1").arg(message),
                            Prompter::Buttons::Ok, Prompter::Icon::Warning);
}

bool Funkbote::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_cmdAn && event->type() == QEvent::Enter)
        Look::setBackground(m_cmdAn, Look::hellgrau);
    if (watched == m_titel && event->type() == QEvent::MouseButtonPress) {
        // The frameless window moves when its title is dragged.
        if (windowHandle())
            windowHandle()->startSystemMove();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
