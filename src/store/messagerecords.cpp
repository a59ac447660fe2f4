#include "messagerecords.h"

#include "sendlog.h"

#include <QCoreApplication>
#include <QLocale>

using namespace Qt::StringLiterals;

namespace {

QString whenText(const QDateTime &at)
{
    return at.toLocalTime().toString(u"dd.MM.yyyy HH:mm"_s);
}

} // namespace

QString MessageState::name() const
{
    switch (state) {
    case State::Queued:
        return u"queued"_s;
    case State::Sending:
        return u"sending"_s;
    case State::Sent:
        return u"sent"_s;
    case State::Refused:
        return u"refused"_s;
    case State::Delivered:
        return u"delivered"_s;
    case State::NotDelivered:
        return u"not delivered"_s;
    case State::Unknown:
        break;
    }
    return u"unknown"_s;
}

MessageRecords::MessageRecords(QSqlDatabase db) : m_db(std::move(db)) {}

bool MessageRecords::tablesExist() const
{
    // A file no message was ever queued in from this program version on.
    const QStringList tables = m_db.tables();
    return tables.contains(u"PendingMessages"_s) && tables.contains(u"MessageKeys"_s);
}

std::optional<MessageState> MessageRecords::stateOf(qint64 id) const
{
    const MessageState none{
        MessageState::State::Unknown,
        QCoreApplication::translate("MessageRecords", "Keine Nachricht mit der Nummer %1.")
            .arg(id)};
    if (!tablesExist())
        return none;
    PendingMessages pending(m_db);
    if (const std::optional<PendingMessage> row = pending.read(id)) {
        if (row->submitted != PendingMessage::Submitted::No)
            return MessageState{MessageState::State::Sending,
                                QCoreApplication::translate("MessageRecords", "Wird gesendet.")};
        return MessageState{MessageState::State::Queued,
                            QCoreApplication::translate("MessageRecords", "In der Warteschlange.")};
    }
    if (!pending.lastError().isEmpty()) {
        m_lastError = pending.lastError();
        return std::nullopt;
    }
    const std::optional<qint64> logRow = pending.logRowOf(id);
    if (!logRow) {
        m_lastError = pending.lastError();
        return std::nullopt;
    }
    if (*logRow == 0)
        return none;
    return stateOfLogRow(*logRow);
}

std::optional<MessageState> MessageRecords::stateOfLogRow(qint64 logRow) const
{
    SendLog log(m_db);
    const std::optional<QHash<qint64, LogRow>> rows = log.readByRowid({logRow});
    if (!rows) {
        m_lastError = log.lastError();
        return std::nullopt;
    }
    m_lastError.clear();
    if (!rows->contains(logRow))
        return MessageState{
            MessageState::State::Unknown,
            QCoreApplication::translate("MessageRecords",
                                        "Der Eintrag im Archiv ist nicht mehr vorhanden.")};
    const LogRow row = rows->value(logRow);
    const QString when = row.versandDatum.toString() + u' ' + row.versandZeit.toString();
    if (row.versandt == u"unbekannt" || row.versandt.trimmed().isEmpty())
        return MessageState{
            MessageState::State::Unknown,
            QCoreApplication::translate(
                "MessageRecords",
                "Versandstatus unbekannt: Das Programm endete, nachdem die "
                "Nachricht abgeschickt war und bevor ihr Versand im Archiv stand.")};
    if (row.versandt != u"OK")
        return MessageState{MessageState::State::Refused,
                            QCoreApplication::translate("MessageRecords", "Abgelehnt am %1: %2")
                                .arg(when, row.versandt)};
    if (!row.delivery)
        return MessageState{
            MessageState::State::Sent,
            QCoreApplication::translate("MessageRecords", "Versandt am %1.").arg(when)};
    switch (row.delivery->state) {
    case DeliveryState::Delivered:
        return MessageState{MessageState::State::Delivered,
                            QCoreApplication::translate("MessageRecords", "Zugestellt am %1.")
                                .arg(whenText(row.delivery->at))};
    case DeliveryState::Failed:
        return MessageState{MessageState::State::NotDelivered,
                            QCoreApplication::translate("MessageRecords", "Nicht zugestellt: %1")
                                .arg(row.delivery->detail)};
    case DeliveryState::Pending:
        break;
    }
    return MessageState{MessageState::State::Sent,
                        row.delivery->detail.isEmpty()
                            ? QCoreApplication::translate("MessageRecords",
                                                          "Versandt am %1, Zustellung ausstehend.")
                                  .arg(when)
                            : QCoreApplication::translate(
                                  "MessageRecords", "Versandt am %1, Zustellung ausstehend: %2")
                                  .arg(when, row.delivery->detail)};
}

std::optional<QList<PendingMessage>> MessageRecords::queued() const
{
    if (!m_db.tables().contains(u"PendingMessages"_s))
        return QList<PendingMessage>();
    PendingMessages pending(m_db);
    std::optional<QList<PendingMessage>> rows = pending.readAll();
    m_lastError = pending.lastError();
    return rows;
}
