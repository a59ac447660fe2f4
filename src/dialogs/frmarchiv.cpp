#include "frmarchiv.h"

#include "archiveline.h"
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
class LineWidthDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setMinimumWidth(int width) { m_minimumWidth = width; }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setWidth(std::max(size.width(), m_minimumWidth));
        return size;
    }

private:
    int m_minimumWidth = 0;
};

namespace {

DialogBase::Look archiveLook()
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
constexpr qsizetype kMeasuredLines = 32;

int widestLine(const QStringList &lines, const QFontMetrics &metrics)
{
    QList<qsizetype> byLength(lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i)
        byLength[i] = i;
    const qsizetype count = std::min(kMeasuredLines, lines.size());
    std::partial_sort(
        byLength.begin(), byLength.begin() + count, byLength.end(),
        [&lines](qsizetype a, qsizetype b) { return lines.at(a).size() > lines.at(b).size(); });
    int width = 0;
    for (qsizetype i = 0; i < count; ++i)
        width = std::max(width, metrics.horizontalAdvance(lines.at(byLength.at(i))));
    return width;
}

} // namespace

FRMArchiv::FRMArchiv(QString databasePath, QWidget *mainWindow, Prompter *prompter)
    : DialogBase(archiveLook(), mainWindow, prompter), m_databasePath(std::move(databasePath))
{
    setObjectName(u"FRMArchiv"_s);

    auto *label2 = new QLabel(u"Nachrichtenarchiv:"_s);
    label2->setObjectName(u"Label2"_s);
    placeInFrame(label2, 1200, 240, 4215, 375);

    m_lines = new QStringListModel(this);
    m_delegate = new LineWidthDelegate(this);
    m_list = new QListView;
    m_list->setObjectName(u"LSTSelektion"_s);
    m_list->setModel(m_lines);
    m_list->setItemDelegate(m_delegate);
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    placeInFrame(m_list, 240, 600, 6615, 2010);
    label2->setBuddy(m_list);

    auto *ok = new QPushButton(u"OK"_s);
    ok->setObjectName(u"cmdOK"_s);
    placeInFrame(ok, 6360, 2880, 495, 300);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);

    setTabOrder(m_list, ok);
    setTabOrder(ok, ende());
    m_list->setFocus();

    // DTAVersandLog: the archive only reads.
    m_connection =
        std::make_unique<StoreConnection>(m_databasePath, u"DTAVersandLog"_s, /*readOnly=*/true);

    centreOnScreen();
}

FRMArchiv::~FRMArchiv() = default;

QStringList FRMArchiv::lines() const
{
    return m_lines->stringList();
}

void FRMArchiv::firstActivation()
{
    fill();
}

void FRMArchiv::fill()
{
    QString error = m_connection->lastError();
    QList<LogRow> rows;
    if (error.isEmpty()) {
        SendLog log(m_connection->database());
        rows = log.readAll();
        error = log.lastError();
    }

    QStringList lines;
    lines.reserve(rows.size());
    for (const LogRow &row : std::as_const(rows))
        lines.append(ArchiveLine::line(row));
    rows.clear();

    m_delegate->setMinimumWidth(widestLine(lines, m_list->fontMetrics()) +
                                2 * m_list->fontMetrics().averageCharWidth());
    m_lines->setStringList(lines);

    if (!error.isEmpty()) {
        message(u"Das Archiv konnte nicht aus "_s + m_databasePath + u" gelesen werden:\n"_s +
                    error,
                Prompter::Buttons::Ok, Prompter::Icon::Warning);
    }
    Q_EMIT filled();
}
