#include "funkbote.h"

#include "addressbookflow.h"
#include "calltrace.h"
#include "connectiontest.h"
#include "frmadressbuch.h"
#include "frmarchiv.h"
#include "frmeingang.h"
#include "frminfo.h"
#include "frmkonfiguration.h"
#include "frmprotokoll.h"
#include "frmselektion.h"
#include "frmselektion1.h"
#include "frmsuchen.h"
#include "hoverlabel.h"
#include "inbound.h"
#include "look.h"
#include "messagingcore.h"
#include "numberfieldcheck.h"
#include "outbox.h"
#include "outgoingqueue.h"
#include "prompter.h"
#include "queuepanel.h"
#include "sendengine.h"
#include "settings.h"
#include "statusline.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

using namespace Qt::StringLiterals;

Funkbote::Funkbote(MessagingCore *core, const QString &titleSuffix, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_core(core),
      m_titleSuffix(titleSuffix)
{
    setObjectName(u"Funkbote"_s);
    setWindowTitle(u"Funkbote"_s);
    setFixedSize(Look::px(6855), Look::px(6015));
    Look::setBackground(this, Look::navy);
    m_form.build(this, m_titleSuffix);
    m_form.titel->installEventFilter(this);
    m_form.cmdAn->installEventFilter(this);
    auto *watcher = new BackgroundHoverWatcher(this);
    watcher->watch(this);
    watcher->watch(m_form.frame1);
    connect(watcher, &BackgroundHoverWatcher::backgroundHovered, this, &Funkbote::hoverBackground);

    connect(m_core, &MessagingCore::storeFailed, this, &Funkbote::storeFailed);
    // Queued: the box's nested event loop must not run inside the folder's
    // look at its files.
    connect(
        m_core, &MessagingCore::spoolRefused, this,
        [this](const QString &reason) {
            m_core->prompter()->message(reason, Prompter::Buttons::Ok, Prompter::Icon::Warning);
        },
        Qt::QueuedConnection);
    // The call-back field shows the stored number, unless its own check is
    // still taking a refused character off.
    connect(m_core->settings(), &Settings::changed, this, [this] {
        if (callBackNumberSettled())
            m_form.rueckrufNummer->setText(m_core->settings()->rueckrufnummer());
    });
    m_form.rueckrufNummer->setText(m_core->settings()->rueckrufnummer());

    m_queuePanel = new QueuePanel(m_core->outbox(),
                                  QueueWidgets{
                                      .natelNummer = m_form.natelNummer,
                                      .rueckrufNummer = m_form.rueckrufNummer,
                                      .nachricht = m_form.nachricht,
                                      .zaehler = m_form.zaehler,
                                      .hintLabel = m_form.hintLabel,
                                      .listNatelNummer = m_form.lstNatelNummer,
                                      .listNachricht = m_form.lstNachricht,
                                      .listRueckrufNummer = m_form.lstRueckrufNummer,
                                      .scroll = m_form.vscroll,
                                      .senden = m_form.senden,
                                      .loeschen = m_form.auslistloesch,
                                  },
                                  m_core->prompter(), this);
    m_addressBook = new AddressBookFlow(m_core->databasePath(), this, m_core->prompter(), this);

    connectEngine();
    connectButtons();
    connectAddressBook();
    activationRefresh();
}

Funkbote::~Funkbote()
{
    for (const QPointer<QWidget> &dialog : std::as_const(m_openDialogs)) {
        if (dialog)
            delete dialog.data();
    }
    saveCallBackNumber();
    delete m_addressBook;
    delete m_queuePanel;
}

bool Funkbote::callBackNumberSettled() const
{
    // The field's check shows its message before it takes a refused
    // character off the end. Until then the text is neither stored nor
    // replaced: the refused character never reaches the row, and the check
    // finishes on the text it is correcting.
    const QString text = m_form.rueckrufNummer->text();
    return text.isEmpty() || NumberFieldCheck::isAllowed(text.back());
}

void Funkbote::saveCallBackNumber()
{
    if (!callBackNumberSettled())
        return;
    m_core->settings()->setRueckrufnummer(m_form.rueckrufNummer->text());
    m_core->settings()->save();
}

void Funkbote::showCentred()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    activateWindow();
}

void Funkbote::connectEngine()
{
    SendEngine *engine = m_core->engine();
    m_form.status->setStatus(statusText(engine->status()));
    showPaused(engine->isPaused());
    connect(engine, &SendEngine::statusChanged, this,
            [this](const EngineStatus &status) { m_form.status->setStatus(statusText(status)); });
    connect(engine, &SendEngine::pausedChanged, this, &Funkbote::showPaused);
    // Queued: the box runs a nested event loop, which must not run inside
    // the engine's own handling of the failed call.
    connect(engine, &SendEngine::attemptsFailing, this, &Funkbote::tellAttemptsFailing,
            Qt::QueuedConnection);
    connect(engine, &SendEngine::halted, this, &Funkbote::tellHalted, Qt::QueuedConnection);
}

void Funkbote::connectButtons()
{
    connect(m_form.ende, &HoverLabel::clicked, this, &QWidget::close);
    connect(m_form.minimize, &HoverLabel::clicked, this, &QWidget::showMinimized);
    connect(m_form.ende, &HoverLabel::hovered, this, [this] { hoverTitleLabel(m_form.ende); });
    connect(m_form.minimize, &HoverLabel::hovered, this,
            [this] { hoverTitleLabel(m_form.minimize); });
    connect(m_form.copyright, &HoverLabel::hovered, this,
            [this] { Look::setTextColor(m_form.copyright, Look::rot); });
    connect(m_form.startStop, &QPushButton::clicked, this, &Funkbote::toggleSending);
    connect(m_form.konfiguration, &QPushButton::clicked, this, &Funkbote::openConfiguration);
    connect(m_form.versandLog, &QPushButton::clicked, this, &Funkbote::openArchive);
    connect(m_form.eingang, &QPushButton::clicked, this, &Funkbote::openInbox);
    connect(m_core->inbound(), &Inbound::unreadChanged, this, &Funkbote::showUnread);
    showUnread(m_core->inbound()->unreadCount());
    connect(m_form.copyright, &HoverLabel::clicked, this,
            [this] { openDialog(new FRMInfo(this, m_core->prompter())); });
}

void Funkbote::connectAddressBook()
{
    connect(m_form.adressbuch, &QPushButton::clicked, m_addressBook,
            &AddressBookFlow::openAddressBook);
    connect(m_form.cmdAn, &QPushButton::clicked, m_addressBook, &AddressBookFlow::openSinglePick);
    connect(m_form.auswahlNamen, &QPushButton::clicked, this, [this] {
        m_addressBook->startBulk(m_queuePanel->messageText(), m_form.rueckrufNummer->text());
    });
    connect(m_addressBook, &AddressBookFlow::messageFieldFocusRequested, this,
            [this] { m_form.nachricht->setFocus(); });
    connect(m_addressBook, &AddressBookFlow::numberTaken, m_form.natelNummer, &QLineEdit::setText);
    // The message and call-back number as they stand in the main window now;
    // the fields keep their texts.
    connect(m_addressBook, &AddressBookFlow::bulkRecipients, this,
            [this](const QStringList &numbers) {
                int stopped = 0;
                m_core->outbox()->enqueue(numbers, m_queuePanel->messageText(),
                                          Outbox::Origin::Bulk, &stopped);
                tellStopped(stopped);
            });
    // A message with merge fields: each recipient's own text.
    connect(m_addressBook, &AddressBookFlow::bulkMessages, this,
            [this](const QStringList &numbers, const QStringList &texts) {
                int stopped = 0;
                m_core->outbox()->enqueueEach(numbers, texts, Outbox::Origin::Bulk, &stopped);
                tellStopped(stopped);
            });
}

void Funkbote::tellStopped(int stopped)
{
    if (stopped > 0)
        m_core->prompter()->message(
            tr("Mit STOP abgemeldet und darum ausgelassen: %n Empfänger.", "", stopped),
            Prompter::Buttons::Ok, Prompter::Icon::Information);
}

void Funkbote::openConfiguration()
{
    auto *dialog =
        new FRMKonfiguration(m_core->databasePath(), m_core->settings(), this, m_core->prompter(),
                             m_core->connectionSettings(), m_core->connectionTest());
    connect(dialog, &DialogBase::unloaded, this,
            [this] { m_form.titel->setText(FunkboteForm::titleText() + m_titleSuffix); });
    connect(dialog, &FRMKonfiguration::portDeviceChanged, m_core->dialogue(),
            &CallDialogue::forgetPortLink);
    openDialog(dialog);
}

void Funkbote::openArchive()
{
    auto *archive = new FRMArchiv(m_core->databasePath(), this, m_core->prompter());
    // The same entry as cmdSenden would queue, with today's call-back number.
    connect(archive, &FRMArchiv::resendRequested, this,
            [this](const QString &number, const QString &text) {
                m_core->outbox()->enqueue(number, text, Outbox::Origin::Archive);
            });
    connect(archive, &FRMArchiv::traceRequested, this, [this] {
        QStringList calls = m_core->callTrace()->calls();
        std::reverse(calls.begin(), calls.end());
        openDialog(new FRMProtokoll(calls, this, m_core->prompter()));
    });
    openDialog(archive);
}

void Funkbote::openInbox()
{
    auto *inbox = new FRMEingang(m_core->databasePath(), this, m_core->prompter(), m_core->clock());
    connect(inbox, &FRMEingang::unreadChanged, m_core->inbound(), &Inbound::refreshUnread);
    connect(m_core->inbound(), &Inbound::received, inbox, &FRMEingang::addReceived);
    connect(inbox, &FRMEingang::replyRequested, this, [this](const QString &number) {
        m_form.natelNummer->setText(number);
        m_form.nachricht->setFocus();
    });
    openDialog(inbox);
}

void Funkbote::showUnread(int count)
{
    const QString text = count > 0 ? tr("Eingang (%1)").arg(count) : tr("Eingang");
    m_form.eingang->setText(text);
    m_form.eingang->setAccessibleName(text);
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

void Funkbote::activationRefresh()
{
    if (callBackNumberSettled())
        m_core->settings()->setRueckrufnummer(m_form.rueckrufNummer->text());
    // A changed row shows in the call-back field through Settings::changed.
    m_core->reloadSettings();
    m_form.titel->setText(FunkboteForm::titleText() + m_titleSuffix);
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
    m_form.startStop->setText(paused ? tr("Versand starten") : tr("Versand stoppen"));
}

void Funkbote::toggleSending()
{
    SendEngine *engine = m_core->engine();
    if (engine->isPaused()) {
        m_core->prompter()->message(FunkboteForm::resumedNotice(), Prompter::Buttons::Ok,
                                    Prompter::Icon::Information);
        engine->resume();
        return;
    }
    if (m_core->prompter()->message(FunkboteForm::stopQuestion(), Prompter::Buttons::YesNo,
                                    Prompter::Icon::None) == Prompter::Answer::Yes)
        engine->pause();
}

void Funkbote::tellAttemptsFailing()
{
    // The engine goes on while the box is open; the failures it reports
    // meanwhile do not stack further boxes on this one.
    if (m_failureBoxOpen || m_closing)
        return;
    m_failureBoxOpen = true;
    m_core->prompter()->message(failureMessageText(), Prompter::Buttons::Ok, Prompter::Icon::None);
    m_failureBoxOpen = false;
}

void Funkbote::tellHalted(const QString &reason)
{
    // Sending has stopped for good (a SIM that refused its PIN, a message
    // centre that refuses the account): told once; the start button resumes
    // it once the setting is mended.
    m_core->prompter()->message(FunkboteForm::haltedText(reason), Prompter::Buttons::Ok,
                                Prompter::Icon::Warning);
}

bool Funkbote::confirmQuit()
{
    SendEngine *engine = m_core->engine();
    if (m_core->queue()->isEmpty())
        return true;
    // No message may start going out while the user decides.
    const bool pausedHere = !engine->isPaused();
    m_quitQuestionOpen = true;
    if (pausedHere)
        engine->pause();
    const bool quit =
        m_core->prompter()->message(FunkboteForm::quitQuestion(), Prompter::Buttons::YesNo) ==
        Prompter::Answer::Yes;
    m_quitQuestionOpen = false;
    // On Yes sending stays off: the program is ending.
    if (!quit && pausedHere)
        engine->resume();
    return quit;
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
    // The user chose to drop the queue (or a signal keeps it). Closing the
    // dialogs may still show boxes whose nested event loops run ticks and
    // line events: the core sends nothing more from here on.
    m_core->shutDown(m_keepQueue);
    saveCallBackNumber();
    closeAllWindows();
    event->accept();
    m_closed = true;
    Q_EMIT closed();
}

void Funkbote::closeAllWindows()
{
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
    Look::setTextColor(label == m_form.ende ? m_form.minimize : m_form.ende, Look::windowColour());
}

void Funkbote::hoverBackground()
{
    Look::setTextColor(m_form.ende, Look::windowColour());
    Look::setTextColor(m_form.minimize, Look::windowColour());
    Look::setTextColor(m_form.copyright, Look::lightYellow);
    Look::setBackground(m_form.cmdAn, Look::grau);
}

void Funkbote::storeFailed(const QString &message)
{
    // Told once by the settings until the row reads well again.
    m_core->prompter()->message(tr("Die Datenbank meldet einen Fehler:\n%1").arg(message),
                                Prompter::Buttons::Ok, Prompter::Icon::Warning);
}

bool Funkbote::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_form.cmdAn && event->type() == QEvent::Enter)
        Look::setBackground(m_form.cmdAn, Look::hellgrau);
    if (watched == m_form.titel && event->type() == QEvent::MouseButtonPress) {
        // The frameless window moves when its title is dragged.
        if (windowHandle())
            windowHandle()->startSystemMove();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
