#include "smppoptions.h"

#include <QCommandLineParser>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

constexpr int maxDelayMs = 600000;

// "ok", "0xNN" (a command_status in hex), "throttle:N" or "silent".
std::optional<SmppAnswer> smppAnswer(const QString &item)
{
    if (item == u"ok"_s)
        return SmppAnswer{};
    if (item == u"silent"_s)
        return SmppAnswer{SmppAnswer::Silent, 0, 0};
    static const QRegularExpression status(u"^0[xX]([0-9A-Fa-f]{1,8})$"_s);
    if (const QRegularExpressionMatch match = status.match(item); match.hasMatch()) {
        const quint32 code = match.captured(1).toUInt(nullptr, 16);
        if (code == 0)
            return SmppAnswer{};
        return SmppAnswer{SmppAnswer::Status, code, 0};
    }
    static const QRegularExpression throttle(u"^throttle:(\\d{1,6})$"_s);
    if (const QRegularExpressionMatch match = throttle.match(item); match.hasMatch())
        return SmppAnswer{SmppAnswer::Throttle, 0, match.captured(1).toInt()};
    return std::nullopt;
}

bool printable(const QString &text)
{
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() > 0x20 && c.unicode() < 0x7F; });
}

} // namespace

QString smppNumberKey(const QString &number)
{
    if (number.startsWith(u'+'))
        return number.mid(1);
    if (number.startsWith(u"00"_s))
        return number.mid(2);
    return number;
}

SmppOptionParser::SmppOptionParser(QCommandLineParser &parser)
    : m_parser(parser),
      m_smpp(u"smpp"_s,
             u"Be an SMPP 3.4 message centre on 127.0.0.1:PORT instead of a modem (0: any free "_s
             u"port, shown in the READY line); it answers at once unless --reply-delay is given."_s,
             u"PORT"_s),
      m_systemId(u"system-id"_s,
                 u"SMPP: bind_transceiver must carry this system_id (else 0x0F) and the "_s
                 u"--password (else 0x0E); any bind fits without it."_s,
                 u"ID"_s),
      m_answer(u"smpp-answer"_s,
               u"SMPP: how submit_sm to NUMBER is answered: ok, 0xNN (that command_status), "_s
               u"throttle:N (0x58 for the first N, then ok) or silent (never); may be "_s
               u"repeated. Others: ok."_s,
               u"NUMBER=ANSWER"_s),
      m_receiptIdDecimal(u"receipt-id-decimal"_s,
                         u"SMPP: the message id in hex in submit_sm_resp but in decimal in "_s
                         u"the receipt (hex in both without it)."_s),
      m_shuffle(u"smpp-shuffle"_s, u"SMPP: answer the submit_sm of one read in reverse order."_s),
      m_receiptDelay(u"receipt-delay"_s,
                     u"SMPP: milliseconds from submit_sm_resp to the receipt (200), which "_s
                     u"--outcome decides and which goes out again until deliver_sm_resp is Ok."_s,
                     u"MS"_s),
      m_enquireEvery(u"enquire-every"_s,
                     u"SMPP: send enquire_link every MS milliseconds and drop a session that "_s
                     u"leaves one unanswered until the next (default: never)."_s,
                     u"MS"_s),
      m_incomingSar(u"incoming-sar"_s,
                    u"SMPP: long --incoming messages carry the SAR options instead of a UDH."_s),
      m_tlsCert(u"tls-cert"_s, u"SMPP: serve TLS with this certificate (PEM); needs --tls-key."_s,
                u"FILE"_s),
      m_tlsKey(u"tls-key"_s, u"SMPP: the private key (PEM) of --tls-cert."_s, u"FILE"_s)
{
    parser.addOptions({m_smpp, m_systemId, m_answer, m_receiptIdDecimal, m_shuffle, m_receiptDelay,
                       m_enquireEvery, m_incomingSar, m_tlsCert, m_tlsKey});
}

bool SmppOptionParser::isSet() const
{
    return m_parser.isSet(m_smpp);
}

bool SmppOptionParser::read(SmppOptions *options, QString *error) const
{
    if (!isSet()) {
        for (const QCommandLineOption *option :
             {&m_systemId, &m_answer, &m_receiptIdDecimal, &m_shuffle, &m_receiptDelay,
              &m_enquireEvery, &m_incomingSar, &m_tlsCert, &m_tlsKey}) {
            if (m_parser.isSet(*option)) {
                *error = u"--"_s + option->names().constFirst() + u" needs --smpp"_s;
                return false;
            }
        }
        return true;
    }
    bool ok = false;
    const int port = m_parser.value(m_smpp).toInt(&ok);
    if (!ok || port < 0 || port > 65535) {
        *error =
            u"--smpp: expected a port from 0 to 65535, got '"_s + m_parser.value(m_smpp) + u"'"_s;
        return false;
    }
    options->port = port;
    if (m_parser.isSet(m_systemId)) {
        // SMPP 3.4 allows 15 characters for system_id, 8 for the password.
        const QString systemId = m_parser.value(m_systemId);
        const QString password = m_parser.value(u"password"_s);
        if (systemId.isEmpty() || systemId.size() > 15 || !printable(systemId)) {
            *error = u"--system-id: 1 to 15 printable ASCII characters expected"_s;
            return false;
        }
        if (password.size() > 8 || !printable(password)) {
            *error = u"--password: at most 8 printable ASCII characters for --smpp"_s;
            return false;
        }
        options->systemId = systemId.toLatin1();
        options->password = password.toLatin1();
    } else if (m_parser.isSet(u"password"_s)) {
        *error = u"--password needs --system-id with --smpp"_s;
        return false;
    }
    for (const QString &item : m_parser.values(m_answer)) {
        const QString number = item.section(u'=', 0, 0).trimmed();
        const std::optional<SmppAnswer> answer = smppAnswer(item.section(u'=', 1).trimmed());
        static const QRegularExpression digits(u"^(\\+|00)?\\d+$"_s);
        if (!digits.match(number).hasMatch() || !answer) {
            *error = u"--smpp-answer: unusable item '"_s + item + u"'"_s;
            return false;
        }
        options->answers.insert(smppNumberKey(number), *answer);
    }
    options->receiptIdDecimal = m_parser.isSet(m_receiptIdDecimal);
    options->shuffle = m_parser.isSet(m_shuffle);
    options->incomingSar = m_parser.isSet(m_incomingSar);
    for (const auto &[option, value, min] :
         {std::tuple{&m_receiptDelay, &options->receiptDelayMs, 0},
          std::tuple{&m_enquireEvery, &options->enquireEveryMs, 1}}) {
        if (!m_parser.isSet(*option))
            continue;
        *value = m_parser.value(*option).toInt(&ok);
        if (!ok || *value < min || *value > maxDelayMs) {
            *error = u"--"_s + option->names().constFirst() + u": expected milliseconds from "_s +
                     QString::number(min) + u" to "_s + QString::number(maxDelayMs);
            return false;
        }
    }
    if (m_parser.isSet(m_tlsCert) != m_parser.isSet(m_tlsKey)) {
        *error = u"--tls-cert and --tls-key go together"_s;
        return false;
    }
    options->tlsCertificate = m_parser.value(m_tlsCert);
    options->tlsKey = m_parser.value(m_tlsKey);
    return true;
}
