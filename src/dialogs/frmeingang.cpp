#include "frmeingang.h"

#include "csvformat.h"
#include "freedmemory.h"
#include "frmsperrliste.h"
#include "hoverlabel.h"
#include "inboxline.h"
#include "inboxmodel.h"
#include "queuenumber.h"
#include "storeconnection.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QSaveFile>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

DialogBase::Look inboxLook()
{
    return DialogBase::Look::sized(
        QCoreApplication::translate("FRMEingang", "Eingang"),
        QCoreApplication::translate("FRMEingang", "Empfangene Nachrichten..."), 7350, 4350);
}

} // namespace

FRMEingang::FRMEingang(QString databasePath, QWidget *mainWindow, Prompter *prompter,
                       const Clock *clock)
    : DialogBase(inboxLook(), mainWindow, prompter), m_databasePath(std::move(databasePath)),
      m_clock(clock)
{
    setObjectName(u"FRMEingang"_s);

    auto *heading = new QLabel(tr("Nachrichten:"));
    heading->setObjectName(u"lblNachrichten"_s);
    placeInFrame(heading, 240, 660, 3000, 255);
    m_unread = new QLabel;
    m_unread->setObjectName(u"lblUngelesen"_s);
    m_unread->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    placeInFrame(m_unread, 3855, 660, 3000, 255);

    // The window marks messages read and deletes them.
    m_connection = std::make_unique<StoreConnection>(m_databasePath, u"FRMEingang"_s);
    m_rows = new InboxModel(m_connection->database(), this);
    m_list = new QListView;
    m_list->setObjectName(u"LSTEingang"_s);
    m_list->setModel(m_rows);
    // One height for all lines: a hundred thousand lines are laid out
    // without reading them. A line wider than the list ends in "…"; its
    // tooltip shows it whole.
    m_list->setUniformItemSizes(true);
    m_list->setTextElideMode(Qt::ElideRight);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    placeInFrame(m_list, 240, 960, 6615, 2010);
    heading->setBuddy(m_list);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FRMEingang::markSelectedRead);

    auto *antworten = new QPushButton(tr("Antworten"));
    antworten->setObjectName(u"cmdAntworten"_s);
    placeInFrame(antworten, 240, 3240, 1200, 330);
    connect(antworten, &QPushButton::clicked, this, &FRMEingang::reply);

    auto *loeschen = new QPushButton(tr("Löschen"));
    loeschen->setObjectName(u"cmdLoeschen"_s);
    placeInFrame(loeschen, 1530, 3240, 1100, 330);
    connect(loeschen, &QPushButton::clicked, this, &FRMEingang::removeSelected);

    auto *exportieren = new QPushButton(tr("Exportieren…"));
    exportieren->setObjectName(u"cmdExportieren"_s);
    placeInFrame(exportieren, 2720, 3240, 1500, 330);
    connect(exportieren, &QPushButton::clicked, this, &FRMEingang::exportShown);

    auto *sperrliste = new QPushButton(tr("Sperrliste…"));
    sperrliste->setObjectName(u"cmdSperrliste"_s);
    placeInFrame(sperrliste, 4310, 3240, 1500, 330);
    connect(sperrliste, &QPushButton::clicked, this, &FRMEingang::openStopList);

    auto *ok = new QPushButton(tr("OK"));
    ok->setObjectName(u"cmdOK"_s);
    placeInFrame(ok, 6360, 3240, 495, 330);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);

    QWidget *order[] = {m_list, antworten, loeschen, exportieren, sperrliste, ok, ende()};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    m_list->setFocus();

    centreOnScreen();
}

FRMEingang::~FRMEingang()
{
    // The stop list goes with the inbox; the model reads through the
    // window's connection, which goes first.
    delete m_stopList.data();
    delete m_rows;
    returnFreedMemoryLater();
}

QStringList FRMEingang::lines() const
{
    return displayedLines(m_rows);
}

void FRMEingang::firstActivation()
{
    if (!m_connection->lastError().isEmpty()) {
        showReadError(m_connection->lastError());
        Q_EMIT filled();
        return;
    }
    // The newest lines show first; the older ones and then the names from
    // the address book follow from the event loop.
    connect(m_rows, &InboxModel::loaded, this, [this] {
        m_rows->loadNames();
        Q_EMIT filled();
    });
    connect(m_rows, &InboxModel::loadFailed, this, [this](const QString &error) {
        showReadError(error);
        Q_EMIT filled();
    });
    if (!m_rows->load()) {
        showReadError(m_rows->lastError());
        Q_EMIT filled();
    }
    showUnread();
}

int FRMEingang::selectedPosition() const
{
    const QModelIndexList selected = m_list->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.constFirst().row();
}

void FRMEingang::markSelectedRead()
{
    const int position = selectedPosition();
    if (position < 0)
        return;
    bool wasUnread = false;
    if (!m_rows->markRead(position, &wasUnread)) {
        showWriteError(m_rows->lastError());
        return;
    }
    if (wasUnread) {
        showUnread();
        Q_EMIT unreadChanged();
    }
}

void FRMEingang::addReceived(qint64 id)
{
    m_rows->addNewest(id);
    showUnread();
}

void FRMEingang::showUnread()
{
    Inbox inbox(m_connection->database());
    const std::optional<int> unread = inbox.unreadCount();
    const QString text = unread ? tr("Ungelesen: %1").arg(*unread) : QString();
    m_unread->setText(text);
    m_unread->setAccessibleName(text);
}

void FRMEingang::reply()
{
    const InboxRow *shown = m_rows->row(selectedPosition());
    if (!shown) {
        message(tr("Bitte wählen Sie zuerst eine Nachricht aus."));
        return;
    }
    // A sender that is a name (a company's short code) takes no answer.
    const QueueNumber number = queueNumber(shown->message.sender);
    if (!number.isValid()) {
        message(tr("Auf diese Nachricht kann nicht geantwortet werden: der Absender "
                   "«%1» ist keine Mobilnummer.")
                    .arg(shown->message.sender));
        return;
    }
    Q_EMIT replyRequested(number.digits);
}

void FRMEingang::removeSelected()
{
    const int position = selectedPosition();
    const InboxRow *shown = m_rows->row(position);
    if (!shown) {
        message(tr("Bitte wählen Sie zuerst eine Nachricht aus."));
        return;
    }
    const bool wasUnread = !shown->message.read;
    if (message(tr("Wollen Sie diese Nachricht wirklich löschen?"), Prompter::Buttons::YesNo) !=
        Prompter::Answer::Yes)
        return;
    if (!m_rows->remove(position)) {
        showWriteError(m_rows->lastError());
        return;
    }
    if (wasUnread) {
        showUnread();
        Q_EMIT unreadChanged();
    }
}

void FRMEingang::exportShown()
{
    const std::optional<Prompter::SaveFile> choice =
        saveFile(tr("Eingang exportieren"), tr("Eingang") + u".csv"_s,
                 {tr("CSV-Datei für Tabellenprogramme (*.csv)")});
    if (!choice)
        return;
    QString path = choice->path;
    if (QFileInfo(path).suffix().isEmpty())
        path += u".csv"_s;
    if (!m_rows->finishLoading()) {
        showReadError(m_rows->lastError());
        return;
    }
    QList<QStringList> rows;
    rows.reserve(m_rows->rowCount());
    if (!m_rows->forEachShown([&rows](const InboxRow &row) {
            rows.append({InboxLine::dateText(row.message), InboxLine::timeText(row.message),
                         row.message.sender, row.name, row.message.text,
                         InboxLine::status(row.message)});
        })) {
        showReadError(m_rows->lastError());
        return;
    }
    // The whole file or none: an existing file is replaced only once the new
    // one is complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(writeCsvTable(
            {tr("Datum"), tr("Zeit"), tr("Absender"), tr("Name"), tr("Nachricht"), tr("Status")},
            rows)) < 0 ||
        !file.commit()) {
        message(tr("Der Eingang konnte nicht nach %1 exportiert werden:\n%2")
                    .arg(QDir::toNativeSeparators(path), file.errorString()),
                Prompter::Buttons::Ok, Prompter::Icon::Warning);
        return;
    }
    // German says "Nachrichten" for any count; the translation has its plural forms.
    message(tr("%n Nachrichten nach %1 exportiert.", nullptr, int(rows.size()))
                .arg(QFileInfo(path).fileName()));
}

void FRMEingang::openStopList()
{
    if (m_stopList) {
        m_stopList->raise();
        return;
    }
    // The inbox waits while the stop list is open, as the main window waits
    // for the inbox.
    m_stopList = new FRMSperrliste(m_databasePath, this, prompter(), m_clock);
    m_stopList->show();
}

void FRMEingang::showReadError(const QString &error)
{
    message(tr("Der Eingang konnte nicht aus %1 gelesen werden:\n%2").arg(m_databasePath, error),
            Prompter::Buttons::Ok, Prompter::Icon::Warning);
}

void FRMEingang::showWriteError(const QString &error)
{
    message(tr("Der Eingang konnte in %1 nicht geändert werden:\n%2").arg(m_databasePath, error),
            Prompter::Buttons::Ok, Prompter::Icon::Warning);
}
