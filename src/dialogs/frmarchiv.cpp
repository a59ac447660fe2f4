#include "frmarchiv.h"

#include "archiveline.h"
#include "archivemodel.h"
#include "csvformat.h"
#include "freedmemory.h"
#include "hoverlabel.h"
#include "queuenumber.h"
#include "queuetexts.h"
#include "sendlog.h"
#include "storeconnection.h"
#include "textfield.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSaveFile>
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

    // The list lays its lines out again when the width changes.
    void setMinimumWidth(int width)
    {
        if (width == m_minimumWidth)
            return;
        m_minimumWidth = width;
        Q_EMIT sizeHintChanged(QModelIndex());
    }

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
    return DialogBase::Look::sized(
        QCoreApplication::translate("FRMArchiv", "Archiv"),
        QCoreApplication::translate("FRMArchiv", "Archiv der versandten Nachrichten..."), 7350,
        4350);
}

int widestLine(const QStringList &lines, const QFontMetrics &metrics)
{
    int width = 0;
    for (const QString &line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    return width;
}

} // namespace

FRMArchiv::FRMArchiv(QString databasePath, QWidget *mainWindow, Prompter *prompter)
    : DialogBase(archiveLook(), mainWindow, prompter), m_databasePath(std::move(databasePath))
{
    setObjectName(u"FRMArchiv"_s);

    // The search field and the choice of rows above the list.
    auto *searchLabel = new QLabel(tr("Suchen:"));
    searchLabel->setObjectName(u"lblSuchen"_s);
    placeInFrame(searchLabel, 240, 270, 800, 255);
    m_search = newTextField();
    m_search->setObjectName(u"txtSuchen"_s);
    m_search->setClearButtonEnabled(true);
    placeInFrame(m_search, 1060, 240, 3000, 285);
    searchLabel->setBuddy(m_search);
    auto *showLabel = new QLabel(tr("Anzeigen:"));
    showLabel->setObjectName(u"lblAnzeigen"_s);
    placeInFrame(showLabel, 4300, 270, 900, 255);
    m_show = new QComboBox;
    m_show->setObjectName(u"cboAnzeigen"_s);
    // In the order of ArchiveModel::Show.
    m_show->addItems(
        {tr("alle"), tr("versandt"), tr("abgelehnt"), tr("zugestellt"), tr("nicht zugestellt")});
    placeInFrame(m_show, 5220, 225, 1635, 315);
    showLabel->setBuddy(m_show);

    auto *label2 = new QLabel(tr("Nachrichtenarchiv:"));
    label2->setObjectName(u"Label2"_s);
    placeInFrame(label2, 240, 660, 4215, 255);

    // DTAVersandLog: the archive only reads.
    m_connection =
        std::make_unique<StoreConnection>(m_databasePath, u"DTAVersandLog"_s, /*readOnly=*/true);
    m_rows = new ArchiveModel(m_connection->database(), this);
    m_delegate = new LineWidthDelegate(this);
    m_list = new QListView;
    m_list->setObjectName(u"LSTSelektion"_s);
    m_list->setModel(m_rows);
    m_list->setItemDelegate(m_delegate);
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    placeInFrame(m_list, 240, 960, 6615, 2010);
    label2->setBuddy(m_list);

    m_resend = new QPushButton(tr("Erneut senden"));
    m_resend->setObjectName(u"cmdErneutSenden"_s);
    placeInFrame(m_resend, 240, 3240, 1500, 330);
    connect(m_resend, &QPushButton::clicked, this, &FRMArchiv::resend);

    auto *exportButton = new QPushButton(tr("Exportieren…"));
    exportButton->setObjectName(u"cmdExportieren"_s);
    placeInFrame(exportButton, 1860, 3240, 1500, 330);
    connect(exportButton, &QPushButton::clicked, this, &FRMArchiv::exportShown);

    auto *protokoll = new QPushButton(tr("Protokoll"));
    protokoll->setObjectName(u"cmdProtokoll"_s);
    placeInFrame(protokoll, 3480, 3240, 1200, 330);
    connect(protokoll, &QPushButton::clicked, this, &FRMArchiv::traceRequested);

    auto *ok = new QPushButton(tr("OK"));
    ok->setObjectName(u"cmdOK"_s);
    placeInFrame(ok, 6360, 3240, 495, 330);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);

    connect(m_search, &QLineEdit::textChanged, m_rows, &ArchiveModel::setSearch);
    connect(m_show, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_rows->setShow(ArchiveModel::Show(index)); });

    QWidget *order[] = {m_search, m_show, m_list, m_resend, exportButton, protokoll, ok, ende()};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    m_list->setFocus();

    connect(m_rows, &ArchiveModel::loaded, this, [this] {
        m_delegate->setMinimumWidth(widestLine(m_rows->longestLines(), m_list->fontMetrics()) +
                                    2 * m_list->fontMetrics().averageCharWidth());
        Q_EMIT filled();
    });
    connect(m_rows, &ArchiveModel::failed, this, [this](const QString &error) {
        showReadError(error);
        Q_EMIT filled();
    });

    centreOnScreen();
}

FRMArchiv::~FRMArchiv()
{
    // The model reads through the window's connection, which goes first.
    delete m_rows;
    returnFreedMemoryLater();
}

QStringList FRMArchiv::lines() const
{
    return displayedLines(m_rows);
}

void FRMArchiv::exportShown()
{
    const std::optional<Prompter::SaveFile> choice =
        saveFile(tr("Archiv exportieren"), tr("Versandarchiv") + u".csv"_s,
                 {tr("CSV-Datei für Tabellenprogramme (*.csv)")});
    if (!choice)
        return;
    QString path = choice->path;
    if (QFileInfo(path).suffix().isEmpty())
        path += u".csv"_s;
    // Every row the search and choice give, also those not yet listed; a
    // reading that failed leaves a part, and a part is no export.
    if (!m_rows->loadRest()) {
        showReadError(m_rows->lastError());
        return;
    }
    QList<QStringList> rows;
    rows.reserve(m_rows->rowCount());
    if (!m_rows->forEachShown([&rows](const LogRow &row) {
            rows.append({ArchiveLine::dateText(row.versandDatum),
                         ArchiveLine::timeText(row.versandZeit), row.mobilNummer, row.nachricht,
                         row.versandt, ArchiveLine::deliveryState(row.delivery),
                         ArchiveLine::deliveryTime(row.delivery)});
        })) {
        showReadError(m_rows->lastError());
        return;
    }
    // The whole file or none: an existing file is replaced only once the new
    // one is complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(writeCsvTable({tr("Datum"), tr("Zeit"), tr("Mobilnummer"), tr("Nachricht"),
                                  tr("Status"), tr("Zustellung"), tr("Zustellzeit")},
                                 rows)) < 0 ||
        !file.commit()) {
        message(tr("Das Archiv konnte nicht nach %1 exportiert werden:\n%2")
                    .arg(QDir::toNativeSeparators(path), file.errorString()),
                Prompter::Buttons::Ok, Prompter::Icon::Warning);
        return;
    }
    // German says "Nachrichten" for any count; the translation has its plural forms.
    message(tr("%n Nachrichten nach %1 exportiert.", nullptr, int(rows.size()))
                .arg(QFileInfo(path).fileName()));
}

void FRMArchiv::resend()
{
    const QModelIndexList selected = m_list->selectionModel()->selectedIndexes();
    const LogRow *shown = selected.isEmpty() ? nullptr : m_rows->row(selected.constFirst().row());
    if (!shown) {
        message(tr("Bitte wählen Sie zuerst die Nachricht aus, die erneut gesendet werden soll."));
        return;
    }
    const LogRow row = *shown;
    // The logged number goes into the queue by the rule of every number
    // that enters it: one that cannot be sent (a log of an older program
    // may hold one) is told now rather than dropped after the question.
    const QueueNumber number = queueNumber(row.mobilNummer);
    if (!number.isValid()) {
        message(queueNumberMessage(QueueText::mobileNumber(), row.mobilNummer, number));
        return;
    }
    const Prompter::Answer answer =
        message(tr("Die Nachricht an %1 erneut in die Warteschlange stellen?\n\n%2")
                    .arg(row.mobilNummer, row.nachricht),
                Prompter::Buttons::YesNo, Prompter::Icon::None);
    if (answer == Prompter::Answer::Yes)
        Q_EMIT resendRequested(number.digits, row.nachricht);
}

void FRMArchiv::firstActivation()
{
    fill();
}

void FRMArchiv::fill()
{
    if (!m_connection->lastError().isEmpty()) {
        showReadError(m_connection->lastError());
        Q_EMIT filled();
        return;
    }
    m_rows->load();
}

void FRMArchiv::showReadError(const QString &error)
{
    message(tr("Das Archiv konnte nicht aus %1 gelesen werden:\n%2").arg(m_databasePath, error),
            Prompter::Buttons::Ok, Prompter::Icon::Warning);
}
