#include "gsmreceiver.h"

#include "incoming.h"

#include <QRegularExpression>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// The values of one parenthesised list of an AT+CNMI=? answer: "0-2",
// "0,1,3" or a mix.
QList<int> values(const QString &list)
{
    QList<int> result;
    for (const QString &item : list.split(u',', Qt::SkipEmptyParts)) {
        const QStringList range = item.trimmed().split(u'-');
        bool ok = false;
        const int first = range.constFirst().toInt(&ok);
        const int last = range.size() == 2 ? range.constLast().toInt() : first;
        for (int value = first; ok && value <= last && value - first < 16; ++value)
            result.append(value);
    }
    return result;
}

// The parenthesised lists after "+XXXX:".
QStringList lists(const QByteArray &line)
{
    static const QRegularExpression list(u"\\(([^)]*)\\)"_s);
    QStringList result;
    for (const QRegularExpressionMatch &match : list.globalMatch(QString::fromLatin1(line)))
        result.append(match.captured(1));
    return result;
}

// The first number after "+CMGL:", the index of a listed item.
int listedIndex(const QByteArray &line)
{
    return line.mid(line.indexOf(':') + 1).split(',').constFirst().trimmed().toInt();
}

QString partsKey(const Gsm::DeliverPdu &sms)
{
    return sms.sender + u'|' + QString::number(sms.part->reference) + u'|' +
           QString::number(sms.part->total);
}

} // namespace

GsmReceiver::GsmReceiver(AtChannel *channel, std::function<IncomingSink *()> sink, QObject *parent)
    : QObject(parent), m_channel(channel), m_sink(std::move(sink))
{
    m_expiryCheck.setInterval(expiryCheckMs);
    connect(&m_expiryCheck, &QTimer::timeout, this, &GsmReceiver::storeExpired);
    // A message or a status report stored: "SM",<index>.
    static const QRegularExpression stored(u"\\+(CMTI|CDSI):\\s*\"?\\w*\"?\\s*,\\s*(\\d+)"_s);
    m_channel->addUrcHandler(stored, [this](const QRegularExpressionMatch &match) {
        if (m_active)
            read(match.captured(2).toInt());
    });
    // A status report handed over at once: +CDS: <length>, then the PDU.
    static const QRegularExpression report(u"\\+CDS:\\s*\\d+"_s);
    m_channel->addUrcHandler(report,
                             [this](const QRegularExpressionMatch &, const QByteArray &pdu) {
                                 QString error;
                                 const auto decoded = Gsm::decodeStatusReport(pdu, &error);
                                 if (!decoded)
                                     Q_EMIT traced(tr("Statusbericht nicht lesbar: %1").arg(error));
                                 else if (!storeReport(*decoded))
                                     Q_EMIT traced(tr("Statusbericht nicht gespeichert"));
                             });
}

void GsmReceiver::setUp(int commandTimeoutMs, std::function<void()> done)
{
    m_timeoutMs = commandTimeoutMs;
    m_done = std::move(done);
    m_active = false;
    askIndications();
}

void GsmReceiver::stop()
{
    m_active = false;
    m_done = nullptr;
}

QDateTime GsmReceiver::now() const
{
    return m_now ? m_now() : QDateTime::currentDateTimeUtc();
}

void GsmReceiver::command(const QByteArray &text, std::function<void(const At::Response &)> onLine,
                          std::function<void(bool ok, const At::Response &)> onFinal)
{
    AtChannel::Command command;
    command.text = text;
    command.timeoutMs = m_timeoutMs;
    command.onLine = std::move(onLine);
    command.onFinal = [onFinal](const At::Response &result) {
        if (onFinal)
            onFinal(result.kind == At::Response::Ok, result);
        return true;
    };
    // No answer counts as a refusal: the modem still sends.
    command.onTimeout = [onFinal, text] {
        if (onFinal)
            onFinal(false, At::Response{At::Response::Error, text, {}});
    };
    m_channel->send(std::move(command));
}

void GsmReceiver::askIndications()
{
    auto supported = std::make_shared<QByteArray>();
    command(
        "AT+CNMI=?",
        [supported](const At::Response &line) {
            if (line.text.startsWith("+CNMI:"))
                *supported = line.text;
        },
        [this, supported](bool ok, const At::Response &result) {
            if (!ok || supported->isEmpty()) {
                Q_EMIT traced(tr("Modem meldet keine eingehenden SMS (AT+CNMI=?: %1)")
                                  .arg(ok ? u"-"_s : At::errorText(result)));
                askStorage();
                return;
            }
            chooseIndications(*supported);
        });
}

void GsmReceiver::chooseIndications(const QByteArray &supported)
{
    const QStringList groups = lists(supported);
    const auto pick = [&](int group, std::initializer_list<int> preferred) {
        const QList<int> offered = values(groups.value(group));
        for (int value : preferred) {
            if (offered.contains(value))
                return value;
        }
        return -1;
    };
    // Mode 2 keeps indications in the modem while the line is busy and
    // hands them over after; 1 and 3 lose or mix them more easily.
    const int mode = pick(0, {2, 1, 3});
    const int mt = pick(1, {1});
    const int ds = pick(3, {1, 2});
    if (mode < 0 || (mt < 0 && ds < 0)) {
        Q_EMIT traced(tr("Modem meldet keine eingehenden SMS (AT+CNMI=?: %1)")
                          .arg(QString::fromLatin1(supported)));
        askStorage();
        return;
    }
    QByteArray text = "AT+CNMI=" + QByteArray::number(mode) + ',' +
                      QByteArray::number(std::max(mt, 0)) + ",0," +
                      QByteArray::number(std::max(ds, 0));
    if (groups.size() >= 5 && values(groups.at(4)).contains(0))
        text += ",0";
    command(text, nullptr, [this](bool ok, const At::Response &result) {
        if (!ok)
            Q_EMIT traced(
                tr("Modem meldet keine eingehenden SMS (AT+CNMI: %1)").arg(At::errorText(result)));
        askStorage();
    });
}

void GsmReceiver::askStorage()
{
    auto offered = std::make_shared<QStringList>();
    command(
        "AT+CPMS=?",
        [offered](const At::Response &line) {
            if (!line.text.startsWith("+CPMS:"))
                return;
            for (QString name : lists(line.text).value(0).split(u',', Qt::SkipEmptyParts)) {
                name = name.trimmed().remove(u'"');
                // Storages are named by two capitals ("SM", "ME", "MT");
                // nothing else the modem says goes back into a command.
                static const QRegularExpression storage(u"^[A-Z]{2}$"_s);
                if (storage.match(name).hasMatch())
                    offered->append(name);
            }
        },
        [this, offered](bool ok, const At::Response &) {
            if (!ok || offered->isEmpty()) {
                // The modem's own storage is read then.
                listWaiting();
                return;
            }
            const QByteArray name =
                (offered->contains(u"SM"_s) ? u"SM"_s : offered->constFirst()).toLatin1();
            const QByteArray quoted = '"' + name + '"';
            command("AT+CPMS=" + quoted + ',' + quoted + ',' + quoted, nullptr,
                    [this](bool, const At::Response &) { listWaiting(); });
        });
}

void GsmReceiver::listWaiting()
{
    auto listed = std::make_shared<QList<Stored>>();
    auto awaitsPdu = std::make_shared<bool>(false);
    command(
        "AT+CMGL=4",
        [listed, awaitsPdu](const At::Response &line) {
            if (line.text.startsWith("+CMGL:")) {
                listed->append(Stored{listedIndex(line.text), {}});
                *awaitsPdu = true;
            } else if (std::exchange(*awaitsPdu, false)) {
                listed->last().pdu = line.text;
            }
        },
        [this, listed](bool, const At::Response &) {
            m_active = true;
            for (const Stored &stored : std::as_const(*listed))
                handleStored(stored);
            if (const auto done = std::exchange(m_done, nullptr))
                done();
        });
}

void GsmReceiver::read(int index)
{
    auto stored = std::make_shared<Stored>(Stored{index, {}});
    auto awaitsPdu = std::make_shared<bool>(false);
    command(
        "AT+CMGR=" + QByteArray::number(index),
        [stored, awaitsPdu](const At::Response &line) {
            if (line.text.startsWith("+CMGR:"))
                *awaitsPdu = true;
            else if (std::exchange(*awaitsPdu, false))
                stored->pdu = line.text;
        },
        [this, stored](bool ok, const At::Response &) {
            // Nothing at that index (read already): nothing to do.
            if (ok && !stored->pdu.isEmpty() && m_active)
                handleStored(*stored);
        });
}

void GsmReceiver::handleStored(const Stored &stored)
{
    QString error;
    if (const auto sms = Gsm::decodeDeliver(stored.pdu, &error)) {
        handleDeliver(stored.index, *sms);
        return;
    }
    if (const auto report = Gsm::decodeStatusReport(stored.pdu)) {
        if (storeReport(*report))
            remove({stored.index});
        return;
    }
    Q_EMIT traced(tr("Gespeicherte SMS %1 nicht lesbar: %2").arg(stored.index).arg(error));
}

void GsmReceiver::handleDeliver(int index, const Gsm::DeliverPdu &sms)
{
    const QDateTime now = this->now();
    if (!sms.part || sms.part->total <= 1) {
        if (storeMessage(*m_collector.add(sms, now)))
            remove({index});
        storeExpired();
        return;
    }
    const QString key = partsKey(sms);
    auto parts = m_parts.find(key);
    if (parts == m_parts.end())
        parts = m_parts.insert(key, Parts{sms.sender, now, {}});
    if (!parts->indexes.contains(index))
        parts->indexes.append(index);
    if (const auto joined = m_collector.add(sms, now)) {
        const QList<int> indexes = m_parts.take(key).indexes;
        if (storeMessage(*joined))
            remove(indexes);
    }
    storeExpired();
}

void GsmReceiver::storeExpired()
{
    const QDateTime now = this->now();
    for (const Gsm::PartCollector::Message &message : m_collector.takeExpired(now)) {
        // The collector gives them oldest first: the oldest of this
        // sender's expired parts are the message's.
        auto oldest = m_parts.end();
        for (auto it = m_parts.begin(); it != m_parts.end(); ++it) {
            if (it->sender == message.sender &&
                it->firstCame.secsTo(now) >= Gsm::PartCollector::maxWaitSecs &&
                (oldest == m_parts.end() || it->firstCame < oldest->firstCame))
                oldest = it;
        }
        const QList<int> indexes = oldest == m_parts.end() ? QList<int>() : oldest->indexes;
        if (oldest != m_parts.end())
            m_parts.erase(oldest);
        if (storeMessage(message))
            remove(indexes);
    }
    if (m_collector.pendingCount() == 0)
        m_expiryCheck.stop();
    else if (!m_expiryCheck.isActive())
        m_expiryCheck.start();
}

bool GsmReceiver::storeMessage(const Gsm::PartCollector::Message &message)
{
    IncomingSink *sink = m_sink();
    const bool stored =
        sink && sink->storeMessage(ReceivedMessage{message.sender, message.text, message.sentAt,
                                                   message.missingParts > 0});
    if (!stored)
        Q_EMIT traced(tr("SMS von %1 nicht gespeichert; sie bleibt im Modem").arg(message.sender));
    return stored;
}

bool GsmReceiver::storeReport(const Gsm::StatusReport &report)
{
    IncomingSink *sink = m_sink();
    if (!sink)
        return false;
    const Gsm::DeliveryStatus status = Gsm::deliveryStatus(report.status);
    DeliveryReport stored;
    stored.recipient = report.recipient;
    stored.reference = QString::number(report.reference);
    stored.state = status.kind == Gsm::DeliveryStatus::Completed ? DeliveryState::Delivered
                   : status.isFailed()                           ? DeliveryState::Failed
                                                                 : DeliveryState::Pending;
    stored.at = report.dischargeTime.isValid() ? report.dischargeTime
                : report.centreTime.isValid()  ? report.centreTime
                                               : now();
    // A plain "delivered" needs no words.
    if (report.status != 0)
        stored.detail = status.meaning;
    return sink->storeReport(stored);
}

void GsmReceiver::remove(const QList<int> &indexes)
{
    for (int index : indexes)
        command("AT+CMGD=" + QByteArray::number(index), nullptr, nullptr);
}
