#include "frmsperrliste.h"

#include "clock.h"
#include "hoverlabel.h"
#include "phonekey.h"
#include "queuenumber.h"
#include "queuetexts.h"
#include "storeconnection.h"

#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

DialogBase::Look stopListLook()
{
    return DialogBase::Look::sized(
        QCoreApplication::translate("FRMSperrliste", "Sperrliste"),
        QCoreApplication::translate("FRMSperrliste", "Nummern ohne weitere Nachrichten..."), 6150,
        4350);
}

} // namespace

FRMSperrliste::FRMSperrliste(QString databasePath, QWidget *mainWindow, Prompter *prompter,
                             const Clock *clock)
    : DialogBase(stopListLook(), mainWindow, prompter), m_databasePath(std::move(databasePath)),
      m_clock(clock)
{
    setObjectName(u"FRMSperrliste"_s);

    auto *heading = new QLabel(tr("Gesperrte Nummern:"));
    heading->setObjectName(u"lblGesperrt"_s);
    placeInFrame(heading, 240, 270, 4000, 255);

    m_connection = std::make_unique<StoreConnection>(m_databasePath, u"FRMSperrliste"_s);
    m_list = new QListWidget;
    m_list->setObjectName(u"LSTSperrliste"_s);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    placeInFrame(m_list, 240, 570, 5415, 2400);
    heading->setBuddy(m_list);

    auto *entfernen = new QPushButton(tr("Entfernen"));
    entfernen->setObjectName(u"cmdEntfernen"_s);
    placeInFrame(entfernen, 240, 3240, 1300, 330);
    connect(entfernen, &QPushButton::clicked, this, &FRMSperrliste::removeSelected);

    auto *hinzufuegen = new QPushButton(tr("Hinzufügen…"));
    hinzufuegen->setObjectName(u"cmdHinzufuegen"_s);
    placeInFrame(hinzufuegen, 1650, 3240, 1500, 330);
    connect(hinzufuegen, &QPushButton::clicked, this, &FRMSperrliste::addNumber);

    auto *ok = new QPushButton(tr("OK"));
    ok->setObjectName(u"cmdOK"_s);
    placeInFrame(ok, 5160, 3240, 495, 330);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);

    QWidget *order[] = {m_list, entfernen, hinzufuegen, ok, ende()};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    m_list->setFocus();

    centreOnScreen();
}

FRMSperrliste::~FRMSperrliste() = default;

QString FRMSperrliste::line(const StopEntry &entry)
{
    QString text = entry.number + u" – "_s +
                   tr("seit %1").arg(entry.since.toLocalTime().toString(u"dd.MM.yyyy"_s));
    if (!entry.reason.isEmpty())
        text += u" – "_s + entry.reason;
    return text;
}

QStringList FRMSperrliste::lines() const
{
    QStringList lines;
    for (int i = 0; i < m_list->count(); ++i)
        lines.append(m_list->item(i)->text());
    return lines;
}

void FRMSperrliste::firstActivation()
{
    fill();
}

void FRMSperrliste::fill()
{
    m_list->clear();
    m_entries.clear();
    StopList stopList(m_connection->database());
    std::optional<QList<StopEntry>> entries;
    if (m_connection->lastError().isEmpty() && stopList.prepareTable())
        entries = stopList.all();
    if (!entries) {
        showError(m_connection->lastError().isEmpty() ? stopList.lastError()
                                                      : m_connection->lastError());
        Q_EMIT filled();
        return;
    }
    // Newest first by the moment itself: the stored texts may carry
    // different offsets from UTC (summer and winter time).
    m_entries = std::move(*entries);
    std::stable_sort(m_entries.begin(), m_entries.end(),
                     [](const StopEntry &a, const StopEntry &b) { return a.since > b.since; });
    for (const StopEntry &entry : std::as_const(m_entries))
        m_list->addItem(line(entry));
    Q_EMIT filled();
}

void FRMSperrliste::removeSelected()
{
    const int position = m_list->currentRow();
    if (position < 0 || position >= m_entries.size() || !m_list->currentItem()->isSelected()) {
        message(tr("Bitte wählen Sie zuerst eine Nummer aus."));
        return;
    }
    const StopEntry entry = m_entries.at(position);
    if (message(tr("Soll %1 wieder Nachrichten erhalten?").arg(entry.number),
                Prompter::Buttons::YesNo) != Prompter::Answer::Yes)
        return;
    StopList stopList(m_connection->database());
    if (!stopList.remove(entry.key)) {
        showError(stopList.lastError());
        return;
    }
    fill();
}

void FRMSperrliste::addNumber()
{
    const std::optional<QString> typed =
        input(tr("Mobilnummer, die keine Nachrichten mehr erhalten soll:"), tr("Sperrliste"));
    if (!typed)
        return;
    const QString text = typed->trimmed();
    const QueueNumber number = queueNumber(text);
    if (!number.isValid()) {
        message(queueNumberMessage(QueueText::mobileNumber(), text, number));
        return;
    }
    // Listed by the number libphonenumber makes of it, so that a reply from
    // "+41 79…" finds "079…"; a number it cannot read is listed by its digits.
    const QString key = PhoneKey::key(text).value_or(number.digits);
    StopList stopList(m_connection->database());
    if (!stopList.prepareTable() ||
        !stopList.add(StopEntry{key, text, m_clock->now(), tr("von Hand")})) {
        showError(stopList.lastError());
        return;
    }
    fill();
}

void FRMSperrliste::showError(const QString &error)
{
    message(tr("Die Sperrliste in %1 konnte nicht gelesen oder geändert werden:\n%2")
                .arg(m_databasePath, error),
            Prompter::Buttons::Ok, Prompter::Icon::Warning);
}
