#include "dialogbase.h"

#include "hoverlabel.h"
#include "look.h"

#include <QAbstractItemModel>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QWindow>

using namespace Qt::StringLiterals;

QStringList DialogBase::displayedLines(const QAbstractItemModel *model)
{
    QStringList lines;
    lines.reserve(model->rowCount());
    for (int i = 0; i < model->rowCount(); ++i)
        lines.append(model->index(i, 0).data().toString());
    return lines;
}

DialogBase::Look DialogBase::Look::sized(const QString &windowTitle, const QString &titel,
                                         int widthTwips, int heightTwips)
{
    Look look;
    look.windowTitle = windowTitle;
    look.titel = titel;
    look.widthTwips = widthTwips;
    look.heightTwips = heightTwips;
    look.endeLeftTwips = widthTwips - 350;
    look.endeTopTwips = 75;
    look.frameWidthTwips = widthTwips - 255;
    look.frameHeightTwips = heightTwips - 495;
    return look;
}

DialogBase::DialogBase(const Look &look, QWidget *mainWindow, Prompter *prompter)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_look(look), m_mainWindow(mainWindow), m_prompter(prompter)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(look.windowTitle);
    setFixedSize(::Look::px(look.widthTwips), ::Look::px(look.heightTwips));
    ::Look::setBackground(this, ::Look::blau);

    m_titel = new QLabel(look.titel, this);
    m_titel->setObjectName(u"LBLTitel"_s);
    m_titel->setFont(::Look::titleFont());
    ::Look::setTextColor(m_titel, ::Look::lightYellow);
    m_titel->setGeometry(::Look::px(120), ::Look::px(120), ::Look::px(look.endeLeftTwips - 240),
                         ::Look::px(255));
    m_titel->setCursor(Qt::SizeAllCursor);
    m_titel->installEventFilter(this);

    m_ende = new HoverLabel(u"X"_s, this);
    m_ende->setObjectName(u"LBLEnde"_s);
    m_ende->setFont(::Look::closeFont());
    m_ende->setAlignment(Qt::AlignCenter);
    m_ende->setAccessibleName(tr("Schliessen"));
    m_ende->setToolTip(tr("Schliessen"));
    ::Look::setTextColor(m_ende, ::Look::infoBk());
    m_ende->setGeometry(::Look::px(look.endeLeftTwips), ::Look::px(look.endeTopTwips),
                        ::Look::px(255), ::Look::px(255));
    connect(m_ende, &HoverLabel::hovered, this, [this] { markHovered(m_ende); });
    connect(m_ende, &HoverLabel::clicked, this, &QWidget::close);

    m_frame1 = new QFrame(this);
    m_frame1->setObjectName(u"Frame1"_s);
    m_frame1->setFrameShape(QFrame::Box);
    m_frame1->setFrameShadow(QFrame::Sunken);
    ::Look::setBackground(m_frame1, ::Look::blau);
    m_frame1->setGeometry(::Look::px(120), ::Look::px(360), ::Look::px(look.frameWidthTwips),
                          ::Look::px(look.frameHeightTwips));
    // Plain labels in the frame: tooltip colour on blue.
    ::Look::setTextColor(m_frame1, ::Look::infoBk());

    auto *watcher = new BackgroundHoverWatcher(this);
    watcher->watch(this);
    watcher->watch(m_frame1);
    connect(watcher, &BackgroundHoverWatcher::backgroundHovered, this, &DialogBase::resetHover);

    // Loading disables the main window until this dialog unloads.
    if (m_mainWindow)
        m_mainWindow->setEnabled(false);
}

DialogBase::~DialogBase()
{
    // Destroyed without closing (e.g. at program end): still give the main
    // window back.
    if (!m_unloaded && m_mainWindow)
        m_mainWindow->setEnabled(true);
}

void DialogBase::placeInFrame(QWidget *widget, int left, int top, int width, int height)
{
    widget->setParent(m_frame1);
    widget->setGeometry(::Look::rectTwips(left, top, width, height));
}

void DialogBase::centreOnScreen()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
}

void DialogBase::addInfoHoverLabel(HoverLabel *label)
{
    m_infoLabels.append(label);
    connect(label, &HoverLabel::hovered, this, [this, label] { markHovered(label); });
}

void DialogBase::markHovered(HoverLabel *label)
{
    ::Look::setTextColor(label, ::Look::rot);
    if (!m_look.infoVariant)
        return;
    // In the information window the other labels fall back to the tooltip
    // colour when one of them is lit; LBLEnde lit alone leaves them as they are.
    if (label == m_ende)
        return;
    for (HoverLabel *other : std::as_const(m_infoLabels)) {
        if (other != label)
            ::Look::setTextColor(other, ::Look::infoBk());
    }
    ::Look::setTextColor(m_ende, ::Look::infoBk());
}

void DialogBase::resetHover()
{
    if (m_look.infoVariant) {
        ::Look::setTextColor(m_ende, ::Look::infoBk());
        for (HoverLabel *label : std::as_const(m_infoLabels))
            ::Look::setTextColor(label, ::Look::infoBk());
    } else {
        ::Look::setTextColor(m_ende, ::Look::windowColour());
    }
}

template <typename Ask> auto DialogBase::bracketed(Ask ask)
{
    ++m_bracketDepth;
    const bool wasVisible = isVisible();
    hide();
    auto answer = ask();
    if (wasVisible && !m_unloaded)
        show();
    --m_bracketDepth;
    return answer;
}

Prompter::Answer DialogBase::message(const QString &text, Prompter::Buttons buttons,
                                     Prompter::Icon icon)
{
    return bracketed([&] { return m_prompter->message(text, buttons, icon); });
}

std::optional<QString> DialogBase::input(const QString &prompt, const QString &title,
                                         const QString &defaultText)
{
    return bracketed([&] { return m_prompter->input(prompt, title, defaultText); });
}

std::optional<QString> DialogBase::openFile(const QString &title, const QStringList &filters)
{
    return bracketed([&] { return m_prompter->openFile(title, filters); });
}

std::optional<Prompter::SaveFile>
DialogBase::saveFile(const QString &title, const QString &suggestedName, const QStringList &filters)
{
    return bracketed([&] { return m_prompter->saveFile(title, suggestedName, filters); });
}

std::optional<QString> DialogBase::chooseFolder(const QString &title, const QString &startFolder)
{
    return bracketed([&] { return m_prompter->chooseFolder(title, startFolder); });
}

void DialogBase::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_activated)
        return;
    m_activated = true;
    // After the show has finished, so that a dialog may hide or close itself.
    QTimer::singleShot(0, this, [this] {
        if (!m_unloaded)
            firstActivation();
    });
}

void DialogBase::closeEvent(QCloseEvent *event)
{
    if (m_unloaded) {
        event->accept();
        return;
    }
    if (m_withoutSaving) {
        abandon();
    } else if (!aboutToUnload()) {
        event->ignore();
        return;
    }
    event->accept();
    unload();
}

void DialogBase::closeWithoutSaving()
{
    m_withoutSaving = true;
    close();
}

void DialogBase::unload()
{
    m_unloaded = true;
    if (m_mainWindow)
        m_mainWindow->setEnabled(true);
    Q_EMIT unloaded();
}

bool DialogBase::eventFilter(QObject *watched, QEvent *event)
{
    // Dragging the title label moves the frameless window.
    if (watched == m_titel) {
        if (event->type() == QEvent::MouseButtonPress) {
            auto *press = static_cast<QMouseEvent *>(event);
            if (press->button() == Qt::LeftButton) {
                if (windowHandle() && windowHandle()->startSystemMove())
                    return true;
                m_dragging = true;
                m_dragOffset = press->globalPosition().toPoint() - frameGeometry().topLeft();
                return true;
            }
        } else if (event->type() == QEvent::MouseMove && m_dragging) {
            move(static_cast<QMouseEvent *>(event)->globalPosition().toPoint() - m_dragOffset);
            return true;
        } else if (event->type() == QEvent::MouseButtonRelease) {
            m_dragging = false;
        }
    }
    return QWidget::eventFilter(watched, event);
}
