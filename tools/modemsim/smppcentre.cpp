#include "smppcentre.h"

#include "reporter.h"
#include "smppmessaging.h"

#include <QDateTime>
#include <QFile>
#include <QSslCipher>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtEndian>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Sequence numbers run from 1 to 0x7FFFFFFF.
constexpr quint32 maxSequence = 0x7FFFFFFF;

// message_state of the receipted_message_id's message.
constexpr char stateEnroute = 1;
constexpr char stateDelivered = 2;
constexpr char stateUndeliverable = 5;

QString hexStatus(quint32 status)
{
    return u"0x"_s + QString::number(status, 16).toUpper().rightJustified(8, u'0');
}

// "+41791234567" for TON 1, else the address as sent.
QString addressText(const Smpp::Address &address)
{
    return (address.ton == 1 ? u"+"_s : QString()) + QString::fromLatin1(address.address);
}

QByteArray receiptDate(const QDateTime &time)
{
    return time.toString(u"yyMMddHHmm"_s).toLatin1();
}

// The part of a message as a text, or nothing when it cannot be decoded.
std::optional<Smpp::IncomingPart> readMessage(const Smpp::Pdu &pdu)
{
    Smpp::Pdu asDelivered = pdu;
    asDelivered.command = Smpp::DeliverSm;
    asDelivered.esmClass &= quint8(~0x04); // a part, never a receipt
    return Smpp::readIncoming(asDelivered);
}

// The deliver_sm PDUs of an incoming message from sender, concatenated by
// UDH or, with sar, by the SAR options.
QList<Smpp::Pdu> incomingPdus(const QString &sender, const QString &text, quint8 reference,
                              bool sar)
{
    const QString digits = sender.startsWith(u'+') ? sender.mid(1) : sender;
    const bool name = digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), [](QChar c) {
                          return c.unicode() >= u'0' && c.unicode() <= u'9';
                      });
    const QString number = sender.startsWith(u'+') ? u"00"_s + digits : sender;
    QList<Smpp::Pdu> pdus = Smpp::submissions(name ? u"0"_s : number, text,
                                              Smpp::SubmitOptions{{}, false, {}}, reference);
    if (pdus.isEmpty()) {
        Smpp::Pdu empty;
        empty.destination = {0, 1, number.toLatin1()};
        pdus.append(empty);
    }
    for (Smpp::Pdu &pdu : pdus) {
        pdu.command = Smpp::DeliverSm;
        pdu.source = name ? Smpp::Address{5, 0, sender.left(11).toLatin1()} : pdu.destination;
        pdu.destination = {};
        pdu.registeredDelivery = 0;
        if (!sar || !(pdu.esmClass & 0x40) || pdu.shortMessage.size() < 6)
            continue;
        // The UDH's concatenation element (8- or 16-bit reference) as SAR options.
        const QByteArray udh = pdu.shortMessage.first(1 + quint8(pdu.shortMessage.at(0)));
        const bool wide = udh.at(1) == 0x08;
        const quint16 ref =
            wide ? quint16((quint8(udh.at(3)) << 8) | quint8(udh.at(4))) : quint8(udh.at(3));
        const qsizetype at = wide ? 5 : 4;
        char refBytes[2];
        qToBigEndian(ref, refBytes);
        pdu.tlvs.append({Smpp::TagSarMsgRefNum, QByteArray(refBytes, 2)});
        pdu.tlvs.append({Smpp::TagSarTotalSegments, udh.mid(at, 1)});
        pdu.tlvs.append({Smpp::TagSarSegmentSeqnum, udh.mid(at + 1, 1)});
        pdu.shortMessage.remove(0, udh.size());
        pdu.esmClass &= quint8(~0x40);
    }
    return pdus;
}

} // namespace

SmppRun::SmppRun(const SimOptions &options, QObject *parent) : QObject(parent), options(options)
{
    for (auto it = options.outcomes.cbegin(); it != options.outcomes.cend(); ++it)
        m_outcomes.insert(smppNumberKey(it.key()), it.value());
}

QString SmppRun::statsLine() const
{
    return u"STATS binds="_s + QString::number(stats.binds) + u" bind-refusals="_s +
           QString::number(stats.bindRefusals) + u" submissions="_s +
           QString::number(stats.submissions) + u" declined="_s + QString::number(stats.declined) +
           u" messages="_s + QString::number(stats.messages) + u" receipts="_s +
           QString::number(stats.receipts) + u" receipt-answers="_s +
           QString::number(stats.receiptAnswers) + u" incoming="_s +
           QString::number(stats.incoming) + u" incoming-answers="_s +
           QString::number(stats.incomingAnswers) + u" refusals="_s +
           QString::number(stats.refusals) + u" enquiries="_s + QString::number(stats.enquiries) +
           u" drops="_s + QString::number(stats.drops);
}

std::optional<quint32> SmppRun::answerFor(const QString &number)
{
    const int before = m_submitted[number]++;
    const SmppAnswer answer = options.smpp.answers.value(number);
    switch (answer.kind) {
    case SmppAnswer::Ok:
        return Smpp::Ok;
    case SmppAnswer::Status:
        return answer.status;
    case SmppAnswer::Throttle:
        return before < answer.throttled ? Smpp::Throttled : Smpp::Ok;
    case SmppAnswer::Silent:
        break;
    }
    return std::nullopt;
}

std::pair<QByteArray, QByteArray> SmppRun::nextMessageId()
{
    const quint32 id = m_nextId++;
    const QByteArray hex = QByteArray::number(id, 16).toUpper();
    return {hex, options.smpp.receiptIdDecimal ? QByteArray::number(id) : hex};
}

void SmppRun::scheduleReceipt(const Smpp::Pdu &submit, const QByteArray &receiptId,
                              const QString &text)
{
    const QDateTime submitted = QDateTime::currentDateTime();
    const ReportOutcome outcome =
        m_outcomes.value(smppNumberKey(QString::fromLatin1(submit.destination.address)));
    QTimer::singleShot(options.smpp.receiptDelayMs, this, [=, this] {
        const char *stat = outcome.dst == 0 ? "DELIVRD" : outcome.dst == 1 ? "ENROUTE" : "UNDELIV";
        const char state = outcome.dst == 0   ? stateDelivered
                           : outcome.dst == 1 ? stateEnroute
                                              : stateUndeliverable;
        Smpp::Pdu receipt;
        receipt.command = Smpp::DeliverSm;
        receipt.source = submit.destination;
        receipt.destination = submit.source;
        receipt.esmClass = 0x04;
        receipt.shortMessage =
            "id:" + receiptId + " sub:001 dlvrd:" + (outcome.dst == 0 ? "001" : "000") +
            " submit date:" + receiptDate(submitted) +
            " done date:" + receiptDate(QDateTime::currentDateTime()) + " stat:" + stat +
            " err:" + outcome.reason + " text:" + text.left(20).toLatin1();
        receipt.tlvs = {{Smpp::TagReceiptedMessageId, receiptId + '\0'},
                        {Smpp::TagMessageState, QByteArray(1, state)}};
        ++stats.receipts;
        post({0, receipt, true,
              u"id="_s + QString::fromLatin1(receiptId) + u" to="_s +
                  addressText(submit.destination) + u" stat="_s + QLatin1StringView(stat),
              false});
    });
}

void SmppRun::sessionBound()
{
    if (m_incomingSent || options.incoming.isEmpty())
        return;
    m_incomingSent = true;
    QTimer::singleShot(options.incomingAfterMs, this, [this] {
        quint8 reference = 0;
        for (const IncomingScript &message : options.incoming) {
            const QList<Smpp::Pdu> pdus =
                incomingPdus(message.sender, message.text, ++reference, options.smpp.incomingSar);
            for (qsizetype i = 0; i < pdus.size(); ++i) {
                const std::optional<Smpp::IncomingPart> part = readMessage(pdus.at(i));
                ++stats.incoming;
                post({0, pdus.at(i), false,
                      u"from="_s + message.sender + u" part="_s + QString::number(i + 1) + u'/' +
                          QString::number(pdus.size()) + u" text="_s +
                          escapedForLine(part ? part->text : u"?"_s),
                      false});
            }
        }
    });
}

QString SmppRun::joinPart(const QString &key, int total, int sequence, const QString &text)
{
    QMap<int, QString> &texts = m_parts[key];
    texts.insert(sequence, text);
    if (texts.size() < total)
        return {};
    const QString whole = texts.values().join(QString());
    m_parts.remove(key);
    return whole;
}

void SmppRun::post(SmppDelivery delivery)
{
    delivery.id = ++m_nextDelivery;
    m_outbox.append(delivery);
    emit deliveryWaiting();
}

SmppDelivery *SmppRun::delivery(quint64 id)
{
    for (SmppDelivery &delivery : m_outbox) {
        if (delivery.id == id)
            return &delivery;
    }
    return nullptr;
}

void SmppRun::answered(quint64 id)
{
    m_outbox.removeIf([id](const SmppDelivery &delivery) { return delivery.id == id; });
}

void SmppRun::again(quint64 id)
{
    QTimer::singleShot(options.smpp.receiptDelayMs, this, [this, id] {
        if (SmppDelivery *waiting = delivery(id)) {
            waiting->inFlight = false;
            emit deliveryWaiting();
        }
    });
}

SmppCentre::SmppCentre(const SimOptions &options, QObject *parent) : QObject(parent), m_run(options)
{}

SmppCentre::~SmppCentre() = default;

bool SmppCentre::listen(int port, QString *error)
{
    const SmppOptions &smpp = m_run.options.smpp;
    if (smpp.tlsCertificate.isEmpty()) {
        m_server = std::make_unique<QTcpServer>();
    } else {
        const QList<QSslCertificate> certificates = QSslCertificate::fromPath(smpp.tlsCertificate);
        QFile keyFile(smpp.tlsKey);
        if (certificates.isEmpty()) {
            *error = smpp.tlsCertificate + u": no PEM certificate"_s;
            return false;
        }
        if (!keyFile.open(QIODevice::ReadOnly)) {
            *error = smpp.tlsKey + u": "_s + keyFile.errorString();
            return false;
        }
        const QByteArray pem = keyFile.readAll();
        QSslKey key(pem, QSsl::Rsa);
        if (key.isNull())
            key = QSslKey(pem, QSsl::Ec);
        if (key.isNull()) {
            *error = smpp.tlsKey + u": no RSA or EC private key in PEM"_s;
            return false;
        }
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setLocalCertificateChain(certificates);
        configuration.setPrivateKey(key);
        configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
        auto server = std::make_unique<QSslServer>();
        server->setSslConfiguration(configuration);
        // A client that refuses the certificate ends the handshake.
        connect(server.get(), &QSslServer::errorOccurred, this,
                [this](QSslSocket *socket, QAbstractSocket::SocketError) {
                    emit report(u"TLS failed: "_s + socket->errorString());
                });
        m_server = std::move(server);
    }
    connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, this, &SmppCentre::accept);
    if (m_server->listen(QHostAddress::LocalHost, quint16(port)))
        return true;
    *error = u"127.0.0.1:"_s + QString::number(port) + u": "_s + m_server->errorString();
    return false;
}

QString SmppCentre::address() const
{
    return u"127.0.0.1:"_s + QString::number(m_server->serverPort());
}

void SmppCentre::accept()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        auto *session = new SmppSession(socket, m_run, this);
        connect(session, &SmppSession::report, this, [this](const QString &line) {
            emit report(line);
            if (line == u"HANGUP"_s)
                emit report(m_run.statsLine());
        });
        emit report(u"OPEN"_s);
        if (auto *ssl = qobject_cast<QSslSocket *>(socket))
            emit report(u"TLS ok "_s + ssl->sessionCipher().protocolString());
    }
}

SmppSession::SmppSession(QTcpSocket *socket, SmppRun &run, QObject *parent)
    : QObject(parent), m_socket(socket), m_run(run)
{
    m_socket->setParent(this);
    connect(m_socket, &QTcpSocket::readyRead, this, &SmppSession::readBytes);
    connect(m_socket, &QTcpSocket::disconnected, this, &SmppSession::ended);
    connect(&m_run, &SmppRun::deliveryWaiting, this, &SmppSession::sendWaiting);
    m_keepAlive.setSingleShot(true);
    connect(&m_keepAlive, &QTimer::timeout, this, [this] {
        drop(u"keepalive: no PDU for "_s + QString::number(m_run.options.keepAliveLimitMs) +
             u" ms"_s);
    });
    if (m_run.options.keepAliveLimitMs > 0)
        m_keepAlive.start(m_run.options.keepAliveLimitMs);
    connect(&m_enquire, &QTimer::timeout, this, &SmppSession::enquire);
    // Bytes that came with the handshake are already waiting.
    if (m_socket->bytesAvailable() > 0)
        QTimer::singleShot(0, this, &SmppSession::readBytes);
}

void SmppSession::readBytes()
{
    m_buffer += m_socket->readAll();
    QList<Outgoing> answers;
    while (!m_closing && !m_buffer.isEmpty()) {
        const Smpp::Unpacked unpacked = Smpp::unpack(m_buffer);
        if (unpacked.outcome == Smpp::Unpacked::Outcome::Incomplete)
            break;
        if (unpacked.outcome == Smpp::Unpacked::Outcome::Complete) {
            m_buffer.remove(0, unpacked.used);
            if (m_keepAlive.isActive())
                m_keepAlive.start(m_run.options.keepAliveLimitMs);
            handle(unpacked.pdu, &answers);
            continue;
        }
        emit report(u"INVALID "_s + escapedForLine(unpacked.error));
        if (unpacked.used <= 0 || m_buffer.size() < 16) {
            drop(u"a stream that cannot be read on"_s);
            return;
        }
        const quint32 sequence = qFromBigEndian<quint32>(m_buffer.constData() + 12);
        m_buffer.remove(0, unpacked.used);
        answers.append({Smpp::genericNack(sequence, Smpp::InvalidCommandLength)});
    }
    answer(answers);
}

void SmppSession::handle(const Smpp::Pdu &pdu, QList<Outgoing> *answers)
{
    emit report(u"PDU "_s + escapedForLine(Smpp::describe(pdu)));
    if (pdu.isResponse()) {
        responseReceived(pdu);
        return;
    }
    if (pdu.command == Smpp::BindTransceiver) {
        bind(pdu, answers);
        return;
    }
    if (!m_bound) {
        answers->append({Smpp::genericNack(pdu.sequence, Smpp::IncorrectBindStatus)});
        return;
    }
    switch (pdu.command) {
    case Smpp::SubmitSm:
        submit(pdu, answers);
        break;
    case Smpp::EnquireLink:
        answers->append({Smpp::response(pdu)});
        break;
    case Smpp::Unbind:
        emit report(u"UNBIND"_s);
        m_bound = false;
        answers->append({Smpp::response(pdu), {}, true});
        break;
    default:
        answers->append({Smpp::genericNack(pdu.sequence, Smpp::InvalidCommandId)});
        break;
    }
}

void SmppSession::bind(const Smpp::Pdu &pdu, QList<Outgoing> *answers)
{
    const SmppOptions &smpp = m_run.options.smpp;
    quint32 status = Smpp::Ok;
    if (m_bound)
        status = Smpp::AlreadyBound;
    else if (!smpp.systemId.isEmpty() && pdu.systemId != smpp.systemId)
        status = Smpp::InvalidSystemId;
    else if (!smpp.systemId.isEmpty() && pdu.password != smpp.password)
        status = Smpp::InvalidPassword;
    Smpp::Pdu response = Smpp::response(pdu, status);
    response.systemId = "modemsim";
    answers->append({response});
    const QString who = u" system_id="_s + escapedForLine(QString::fromLatin1(pdu.systemId));
    if (status != Smpp::Ok) {
        ++m_run.stats.bindRefusals;
        emit report(u"BIND refused "_s + hexStatus(status) + who);
        return;
    }
    ++m_run.stats.binds;
    m_bound = true;
    emit report(u"BIND ok"_s + who);
    if (m_run.options.smpp.enquireEveryMs > 0)
        m_enquire.start(m_run.options.smpp.enquireEveryMs);
    m_run.sessionBound();
    // What waits for a session goes out after the answer to the bind.
    answers->last().then = [this] { sendWaiting(); };
}

void SmppSession::submit(const Smpp::Pdu &pdu, QList<Outgoing> *answers)
{
    const QString to = addressText(pdu.destination);
    const std::optional<Smpp::IncomingPart> part = readMessage(pdu);
    if (!part)
        emit report(u"INVALID submit_sm to "_s + to + u" whose text cannot be decoded"_s);
    const std::optional<quint32> status =
        m_run.answerFor(smppNumberKey(QString::fromLatin1(pdu.destination.address)));
    if (!status) {
        emit report(u"SILENT to="_s + to);
        return;
    }
    Smpp::Pdu response = Smpp::response(pdu, *status);
    if (*status != Smpp::Ok) {
        ++m_run.stats.declined;
        emit report(u"DECLINED to="_s + to + u" status="_s + hexStatus(*status));
        answers->append({response});
        return;
    }
    ++m_run.stats.submissions;
    const auto [id, receiptId] = m_run.nextMessageId();
    response.messageId = id;
    const QString text = part ? part->text : u"?"_s;
    const QString from = escapedForLine(addressText(pdu.source));
    const QString ids = u" id="_s + QString::fromLatin1(id);
    QString whole = text;
    int parts = 1;
    if (part && part->total > 1) {
        emit report(u"PART to="_s + to + ids + u" udh="_s + QString::number(part->reference) +
                    u'/' + QString::number(part->total) + u'/' + QString::number(part->sequence) +
                    u" text="_s + escapedForLine(text));
        whole = m_run.joinPart(to + u'|' + QString::number(part->reference) + u'|' +
                                   QString::number(part->total),
                               part->total, part->sequence, text);
        parts = part->total;
    }
    if (!whole.isEmpty() || parts == 1) {
        ++m_run.stats.messages;
        emit report(u"SUBMIT to="_s + to + u" from="_s + from + ids + u" dcs="_s +
                    QString::number(pdu.dataCoding) + u" parts="_s + QString::number(parts) +
                    u" text="_s + escapedForLine(whole));
    }
    std::function<void()> then;
    if (pdu.registeredDelivery & 0x01)
        then = [this, pdu, receiptId, text] { m_run.scheduleReceipt(pdu, receiptId, text); };
    answers->append({response, then});
}

void SmppSession::responseReceived(const Smpp::Pdu &pdu)
{
    if (pdu.command == (Smpp::EnquireLink | Smpp::responseBit)) {
        if (m_enquiry == pdu.sequence)
            m_enquiry.reset();
        return;
    }
    const auto inFlight = m_inFlight.constFind(pdu.sequence);
    if (inFlight == m_inFlight.cend() || (pdu.command != (Smpp::DeliverSm | Smpp::responseBit) &&
                                          pdu.command != Smpp::GenericNack)) {
        emit report(u"INVALID "_s + Smpp::commandName(pdu.command) + u" with sequence "_s +
                    QString::number(pdu.sequence) + u", which the centre did not send"_s);
        return;
    }
    const quint64 id = *inFlight;
    m_inFlight.erase(inFlight);
    const SmppDelivery *delivery = m_run.delivery(id);
    if (!delivery)
        return;
    if (pdu.status == Smpp::Ok && pdu.command != Smpp::GenericNack) {
        ++(delivery->receipt ? m_run.stats.receiptAnswers : m_run.stats.incomingAnswers);
        emit report(u"ANSWER "_s + (delivery->receipt ? u"receipt "_s : u"deliver "_s) +
                    delivery->line);
        m_run.answered(id);
        return;
    }
    ++m_run.stats.refusals;
    emit report(u"REFUSED "_s + hexStatus(pdu.status) + u' ' + delivery->line);
    m_run.again(id);
}

void SmppSession::answer(QList<Outgoing> answers)
{
    if (answers.isEmpty())
        return;
    if (m_run.options.smpp.shuffle) {
        // The submit_sm_resp of this read in reverse order, in their places.
        QList<qsizetype> places;
        for (qsizetype i = 0; i < answers.size(); ++i) {
            if (answers.at(i).pdu.command == (Smpp::SubmitSm | Smpp::responseBit))
                places.append(i);
        }
        for (qsizetype i = 0, j = places.size() - 1; i < j; ++i, --j)
            std::swap(answers[places.at(i)], answers[places.at(j)]);
    }
    const auto sendAll = [this, answers] {
        for (const Outgoing &outgoing : answers) {
            if (m_closing)
                return;
            send(outgoing.pdu);
            if (outgoing.then)
                outgoing.then();
            if (outgoing.close) {
                m_closing = true;
                m_socket->disconnectFromHost();
            }
        }
    };
    if (m_run.options.replyDelayMs > 0)
        QTimer::singleShot(m_run.options.replyDelayMs, this, sendAll);
    else
        sendAll();
}

void SmppSession::send(const Smpp::Pdu &pdu)
{
    const QByteArray bytes = Smpp::pack(pdu);
    if (bytes.isEmpty()) {
        emit report(u"INVALID the centre cannot pack "_s + escapedForLine(Smpp::describe(pdu)));
        return;
    }
    m_socket->write(bytes);
    emit report(u"REPLY "_s + escapedForLine(Smpp::describe(pdu)));
}

void SmppSession::sendWaiting()
{
    if (!m_bound || m_closing)
        return;
    for (SmppDelivery &delivery : m_run.outbox()) {
        if (delivery.inFlight)
            continue;
        delivery.inFlight = true;
        Smpp::Pdu pdu = delivery.pdu;
        pdu.sequence = nextSequence();
        m_inFlight.insert(pdu.sequence, delivery.id);
        emit report((delivery.receipt ? u"RECEIPT "_s : u"DELIVER "_s) + delivery.line);
        send(pdu);
    }
}

void SmppSession::enquire()
{
    if (m_enquiry) {
        drop(u"enquire_link unanswered"_s);
        return;
    }
    ++m_run.stats.enquiries;
    m_enquiry = nextSequence();
    send(Smpp::enquireLink(*m_enquiry));
}

void SmppSession::drop(const QString &reason)
{
    if (m_closing)
        return;
    ++m_run.stats.drops;
    emit report(u"DROP "_s + reason);
    m_closing = true;
    m_socket->disconnectFromHost();
}

void SmppSession::ended()
{
    m_closing = true;
    m_keepAlive.stop();
    m_enquire.stop();
    for (auto it = m_inFlight.cbegin(); it != m_inFlight.cend(); ++it) {
        if (SmppDelivery *delivery = m_run.delivery(it.value())) {
            emit report(u"UNANSWERED "_s + delivery->line);
            delivery->inFlight = false;
        }
    }
    m_inFlight.clear();
    emit report(u"HANGUP"_s);
    deleteLater();
}

quint32 SmppSession::nextSequence()
{
    m_sequence = m_sequence >= maxSequence ? 1 : m_sequence + 1;
    return m_sequence;
}
