#pragma once

#include "dialogbase.h"

#include <QDesktopServices>
#include <QUrl>
#include <functional>

class HoverLabel;

// The information window: name and version, an ownership notice, a paragraph
// about the product, and two links: the web page and a new e-mail to
// support. Following a link hands the address to the desktop and closes the
// window, whether or not the desktop could open it.
class FRMInfo : public DialogBase
{
    Q_OBJECT

public:
    // Opens an address in the user's browser or mail program; true on success.
    using UrlOpener = std::function<bool(const QUrl &)>;

    explicit FRMInfo(QWidget *mainWindow, Prompter *prompter,
                     UrlOpener urlOpener = &QDesktopServices::openUrl);

    static QUrl webUrl();
    static QUrl mailUrl();

private:
    void openUrl(const QUrl &url);

    UrlOpener m_urlOpener;
};
