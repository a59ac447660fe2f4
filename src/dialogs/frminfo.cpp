#include "frminfo.h"

#include "dialogtexts.h"
#include "hoverlabel.h"
#include "look.h"

#include <QCoreApplication>
#include <QLabel>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

DialogBase::Look infoLook()
{
    DialogBase::Look look;
    look.windowTitle = QCoreApplication::translate("FRMInfo", "Funkbote - Info");
    look.titel = QCoreApplication::translate("FRMInfo", "Funkbote Version 1.0 - Info...");
    look.widthTwips = 4680;
    look.heightTwips = 4350;
    look.endeLeftTwips = 4320;
    look.frameWidthTwips = 4420;
    look.frameHeightTwips = 3840;
    look.infoVariant = true;
    return look;
}

QString eigentumsHinweis()
{
    return QCoreApplication::translate(
        "FRMInfo",
        "Funkbote ist urheberrechtlich geschützt und gehört den Funkbote-Entwicklern. Sie dürfen "
        "es nach der GNU General Public License, Version 3 oder neuer, weitergeben und ändern; "
        "es kommt ohne jede Gewährleistung.");
}

QString productText()
{
    return QCoreApplication::translate(
        "FRMInfo",
        "Funkbote versendet SMS über Ihr Modem: Die Nachrichten kommen in eine Warteschlange "
        "und gehen der Reihe nach an die Mitteilungszentrale Ihres Providers. Versandte "
        "Nachrichten finden Sie im Archiv. Fragen oder Anregungen? Schreiben Sie uns bitte an "
        "die unten stehende E-Mail-Adresse.");
}

// A paragraph that the user's font makes too long for its place gets a
// slightly smaller font rather than losing its last lines.
void fitParagraph(QLabel *label)
{
    constexpr qreal kKleinsteGroesse = 7.0;
    QFont font = label->font();
    while (label->heightForWidth(label->width()) > label->height() &&
           font.pointSizeF() - 0.5 >= kKleinsteGroesse) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        label->setFont(font);
    }
}

// The links show full addresses, which must stay readable and whole: where
// the user's font makes one wider than its place, the label grows to both
// sides around the same centre, within the frame.
void fitLink(QLabel *label)
{
    const int textWidth = label->fontMetrics().horizontalAdvance(label->text()) + 4;
    if (textWidth <= label->width())
        return;
    const int frameWidth = label->parentWidget()->width();
    const int width = std::min(textWidth, frameWidth);
    const int centre = label->geometry().center().x();
    const int left = std::clamp(centre - width / 2, 0, frameWidth - width);
    label->setGeometry(left, label->y(), width, label->height());
}

} // namespace

FRMInfo::FRMInfo(QWidget *mainWindow, Prompter *prompter, UrlOpener urlOpener)
    : DialogBase(infoLook(), mainWindow, prompter), m_urlOpener(std::move(urlOpener))
{
    setObjectName(u"FRMInfo"_s);

    auto *label2 = new QLabel(eigentumsHinweis());
    label2->setObjectName(u"Label2"_s);
    label2->setWordWrap(true);
    ::Look::setTextColor(label2, ::Look::lightOrange);
    placeInFrame(label2, 120, 240, 4215, 975);
    fitParagraph(label2);

    auto *label1 = new QLabel(productText());
    label1->setObjectName(u"Label1"_s);
    label1->setWordWrap(true);
    ::Look::setTextColor(label1, ::Look::windowColour());
    placeInFrame(label1, 120, 1200, 4215, 1815);
    fitParagraph(label1);

    auto *titel = new HoverLabel(tr("E-Mail: %1").arg(kSupportAddress));
    titel->setObjectName(u"Titel"_s);
    titel->setAlignment(Qt::AlignCenter);
    ::Look::setTextColor(titel, ::Look::lightYellow);
    placeInFrame(titel, 1320, 3120, 1935, 255);
    fitLink(titel);
    addInfoHoverLabel(titel);
    connect(titel, &HoverLabel::clicked, this, [this] { openUrl(mailUrl()); });

    auto *web = new HoverLabel(tr("Web: %1").arg(kWebAddress));
    web->setObjectName(u"LBLWeb"_s);
    web->setAlignment(Qt::AlignCenter);
    ::Look::setTextColor(web, ::Look::lightYellow);
    placeInFrame(web, 1080, 3480, 2415, 255);
    fitLink(web);
    addInfoHoverLabel(web);
    connect(web, &HoverLabel::clicked, this, [this] { openUrl(webUrl()); });

    setTabOrder(titel, web);
    setTabOrder(web, ende());

    centreOnScreen();
}

QUrl FRMInfo::webUrl()
{
    return QUrl(kWebAddress);
}

QUrl FRMInfo::mailUrl()
{
    return QUrl(u"mailto:"_s + kSupportAddress);
}

void FRMInfo::openUrl(const QUrl &url)
{
    // Whether a browser or mail program took the address or not, the user
    // has made the choice the window was for; it closes either way.
    if (m_urlOpener)
        m_urlOpener(url);
    close();
}
