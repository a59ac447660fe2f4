#include "frmarchiv.h"

#include "archivzeile.h"
#include "hoverlabel.h"
#include "sendlog.h"
#include "storeconnection.h"

#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>
#include <QStyledItemDelegate>
#include <algorithm>

using namespace Qt::StringLiterals;

// With uniform item sizes the list measures a single line (Qt takes the
// last one) and gives every line that width, which would end the horizontal
// scroll range before the end of a longer line elsewhere. This delegate
// widens every line to the widest one, measured once when the list is filled.
class ZeilenBreiteDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setMindestBreite(int width) { m_mindestBreite = width; }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setWidth(std::max(size.width(), m_mindestBreite));
        return size;
    }

private:
    int m_mindestBreite = 0;
};

namespace {

DialogBase::Look archivLook()
{
    DialogBase::Look look;
    look.windowTitle = u"Archiv"_s;
    look.titel = u"Archiv der versandten Nachrichten..."_s;
    look.widthTwips = 7350;
    look.heightTwips = 3870;
    look.endeLeftTwips = 7000;
    look.endeTopTwips = 75;
    look.frameWidthTwips = 7095;
    look.frameHeightTwips = 3375;
    return look;
}

// Measuring every line would cost more than reading the log; in a
// proportional font the widest line is among the ones with most characters.
constexpr qsizetype kGemesseneZeilen = 32;

int breitesteZeile(const QStringList &zeilen, const QFontMetrics &metrics)
{
    QList<qsizetype> nachLaenge(zeilen.size());
    for (qsizetype i = 0; i < zeilen.size(); ++i)
        nachLaenge[i] = i;
    const qsizetype anzahl = std::min(kGemesseneZeilen, zeilen.size());
    std::partial_sort(
        nachLaenge.begin(), nachLaenge.begin() + anzahl, nachLaenge.end(),
        [&zeilen](qsizetype a, qsizetype b) { return zeilen.at(a).size() > zeilen.at(b).size(); });
    int breite = 0;
    for (qsizetype i = 0; i < anzahl; ++i)
        breite = std::max(breite, metrics.horizontalAdvance(zeilen.at(nachLaenge.at(i))));
    return breite;
}

} // namespace

FRMArchiv::FRMArchiv(QString databasePath, QWidget *mainWindow, Prompter *prompter)
    : DialogBase(archivLook(), mainWindow, prompter), m_databasePath(std::move(databasePath))
{
    setObjectName(u"FRMArchiv"_s);

    auto *label2 = new QLabel(u"Nachrichtenarchiv:"_s);
    label2->setObjectName(u"Label2"_s);
    placeInFrame(label2, 1200, 240, 4215, 375);

    m_zeilen = new QStringListModel(this);
    m_delegate = new ZeilenBreiteDelegate(this);
    m_liste = new QListView;
    m_liste->setObjectName(u"LSTSelektion"_s);
    m_liste->setModel(m_zeilen);
    m_liste->setItemDelegate(m_delegate);
    m_liste->setUniformItemSizes(true);
    m_liste->setSelectionMode(QAbstractItemView::SingleSelection);
    m_liste->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_liste->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    placeInFrame(m_liste, 240, 600, 6615, 2010);
    label2->setBuddy(m_liste);

    auto *ok = new QPushButton(u"OK"_s);
    ok->setObjectName(u"cmdOK"_s);
    placeInFrame(ok, 6360, 2880, 495, 300);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);

    setTabOrder(m_liste, ok);
    setTabOrder(ok, ende());
    m_liste->setFocus();

    // DTAVersandLog: the archive only reads.
    m_connection =
        std::make_unique<StoreConnection>(m_databasePath, u"DTAVersandLog"_s, /*readOnly=*/true);

    centreOnScreen();
}

FRMArchiv::~FRMArchiv() = default;

QStringList FRMArchiv::zeilen() const
{
    return m_zeilen->stringList();
}

void FRMArchiv::firstActivation()
{
    fuellen();
}

void FRMArchiv::fuellen()
{
    QString fehler = m_connection->lastError();
    QList<LogRow> rows;
    if (fehler.isEmpty()) {
        SendLog log(m_connection->database());
        rows = log.readAll();
        fehler = log.lastError();
    }

    QStringList zeilen;
    zeilen.reserve(rows.size());
    for (const LogRow &row : std::as_const(rows))
        zeilen.append(Archiv::zeile(row));
    rows.clear();

    m_delegate->setMindestBreite(breitesteZeile(zeilen, m_liste->fontMetrics()) +
                                 2 * m_liste->fontMetrics().averageCharWidth());
    m_zeilen->setStringList(zeilen);

    if (!fehler.isEmpty()) {
        message(u"Das Archiv konnte nicht aus "_s + m_databasePath + u" gelesen werden:\n"_s +
                    fehler,
                Prompter::Buttons::Ok, Prompter::Icon::Warning);
    }
    Q_EMIT gefuellt();
}
