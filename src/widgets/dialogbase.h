#pragma once

#include "prompter.h"

#include <QPointer>
#include <QWidget>

class QAbstractItemModel;

class HoverLabel;
class QFrame;
class QLabel;

// What every dialog of the program shares: a frameless top-most window
// without owner in the program's blue, its own title label LBLTitel (which
// also moves the window when dragged) and close label LBLEnde with their
// hover colours, the frame Frame1 for the working area, the main window
// disabled from loading to unloading however the dialog closes, and the
// hide/show bracket around its own message and input boxes (a top-most
// dialog would otherwise cover them).
class DialogBase : public QWidget
{
    Q_OBJECT

public:
    struct Look
    {
        QString windowTitle; // the window caption, for task bar and screen readers
        QString titel;       // caption of LBLTitel
        int widthTwips = 0;  // client area
        int heightTwips = 0;
        int endeLeftTwips = 0; // LBLEnde position
        int endeTopTwips = 70;
        int frameWidthTwips = 0; // Frame1 at 120, 360
        int frameHeightTwips = 0;
        // The information window returns its labels to the tooltip colour
        // instead of the window colour when the pointer leaves them.
        bool infoVariant = false;

        // A window of this size with the close label in its top right corner
        // and the frame filling it below the title, as the list windows have.
        static Look sized(const QString &windowTitle, const QString &titel, int widthTwips,
                          int heightTwips);
    };

    DialogBase(const Look &look, QWidget *mainWindow, Prompter *prompter);
    ~DialogBase() override;

    // The display text of every row of a list's model, for tests and
    // screen readers.
    static QStringList displayedLines(const QAbstractItemModel *model);

    QLabel *titel() const { return m_titel; }
    HoverLabel *ende() const { return m_ende; }
    QFrame *frame1() const { return m_frame1; }
    Prompter *prompter() const { return m_prompter; }
    QWidget *mainWindow() const { return m_mainWindow; }

    // Message and input box, bracketed: the dialog hides itself, shows the
    // box, and shows itself again when the box is closed.
    Prompter::Answer message(const QString &text, Prompter::Buttons buttons = Prompter::Buttons::Ok,
                             Prompter::Icon icon = Prompter::Icon::None);
    std::optional<QString> input(const QString &prompt, const QString &title,
                                 const QString &defaultText = QString());
    // File and folder choosers, bracketed the same way.
    std::optional<QString> openFile(const QString &title, const QStringList &filters);
    std::optional<Prompter::SaveFile> saveFile(const QString &title, const QString &suggestedName,
                                               const QStringList &filters);
    std::optional<QString> chooseFolder(const QString &title, const QString &startFolder);
    // True while a bracketed box is open (the dialog is hidden for it).
    bool isBracketed() const { return m_bracketDepth > 0; }

    // Closes the dialog without asking aboutToUnload(): its unsaved entries
    // are dropped unchecked, as when the program ends.
    void closeWithoutSaving();

    // Places a control inside Frame1 by twips relative to the frame.
    void placeInFrame(QWidget *widget, int left, int top, int width, int height);
    // Opens centred on the screen (all dialogs but the single pick).
    void centreOnScreen();

Q_SIGNALS:
    // The dialog has unloaded; the main window is enabled again.
    void unloaded();

protected:
    // Runs once, right after the dialog has been shown for the first time:
    // the place to fill lists, since a dialog may close itself from here.
    virtual void firstActivation() {}
    // Asked before the dialog unloads; false keeps it open (e.g. invalid
    // settings). The place to save bound fields.
    virtual bool aboutToUnload() { return true; }
    // Runs instead of aboutToUnload() when the dialog closes without saving:
    // the place to stop work under way.
    virtual void abandon() {}
    // Registers a label that, in the information window, takes part in the
    // hover rules like LBLEnde.
    void addInfoHoverLabel(HoverLabel *label);

    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Runs ask() with the dialog stepped aside.
    template <typename Ask> auto bracketed(Ask ask);
    void markHovered(HoverLabel *label);
    void resetHover();
    void unload();

    Look m_look;
    QPointer<QWidget> m_mainWindow;
    Prompter *m_prompter;
    QLabel *m_titel;
    HoverLabel *m_ende;
    QFrame *m_frame1;
    QList<HoverLabel *> m_infoLabels;
    QPoint m_dragOffset;
    bool m_dragging = false;
    bool m_activated = false;
    bool m_unloaded = false;
    bool m_withoutSaving = false;
    int m_bracketDepth = 0;
};
