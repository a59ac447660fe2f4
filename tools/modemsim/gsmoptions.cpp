#include "gsmoptions.h"

#include <QCommandLineParser>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

std::optional<CmgsAnswer> cmgsAnswer(const QString &item)
{
    if (item == u"ok"_s)
        return CmgsAnswer{CmgsAnswer::Ok, 0};
    if (item == u"error"_s)
        return CmgsAnswer{CmgsAnswer::Error, 0};
    if (item == u"silent"_s)
        return CmgsAnswer{CmgsAnswer::Silent, 0};
    static const QRegularExpression cms(u"^cms:(\\d{1,3})$"_s);
    const QRegularExpressionMatch match = cms.match(item);
    if (match.hasMatch())
        return CmgsAnswer{CmgsAnswer::CmsError, match.captured(1).toInt()};
    return std::nullopt;
}

// "delivered", "trying", "failed" or a TP-ST value in hex ("45").
std::optional<int> reportStatus(const QString &item)
{
    if (item == u"delivered"_s)
        return 0x00;
    if (item == u"trying"_s)
        return 0x21; // the recipient's phone is busy
    if (item == u"failed"_s)
        return 0x41; // incompatible destination
    bool ok = false;
    const int status = item.toInt(&ok, 16);
    return ok && item.size() == 2 ? std::optional<int>(status) : std::nullopt;
}

bool validMessages(const QStringList &items, const QString &option, QString *error)
{
    for (const QString &item : items) {
        if (item.indexOf(u'=') < 1) {
            *error = option + u": SENDER=TEXT expected, got '"_s + item + u"'"_s;
            return false;
        }
    }
    return true;
}

} // namespace

GsmOptionParser::GsmOptionParser(QCommandLineParser &parser)
    : m_parser(parser),
      m_gsm(u"gsm"_s, u"A GSM modem that takes SMS in PDU mode (AT+CMGS) instead of "_s
                      u"dialling a UCP message centre."_s),
      m_pin(u"pin"_s, u"The SIM asks for this PIN (4 to 8 digits); three wrong ones block it."_s,
            u"PIN"_s),
      m_centre(u"csca"_s, u"Service centre number that AT+CSCA? answers (+41794999000)."_s,
               u"NUMBER"_s),
      m_cmgs(u"cmgs"_s,
             u"Answers to PDUs: ok, cms:N, error, silent; comma-separated, the last repeats."_s,
             u"LIST"_s),
      m_urc(u"urc"_s, u"Unsolicited line sent before every answer; may be repeated."_s, u"LINE"_s),
      m_cnmi(u"cnmi"_s,
             u"Answer to AT+CNMI=? after '+CNMI: ' (default (0-2),(0-3),(0-3),(0-2),(0,1)); "_s
             u"'error' answers ERROR."_s,
             u"LISTS"_s),
      m_outcome(u"deliver-outcome"_s,
                u"Status reports on messages to NUMBER: delivered, trying, failed or a TP-ST "_s
                u"in hex, comma-separated, one report each; may be repeated. Default: "_s
                u"delivered."_s,
                u"NUMBER=LIST"_s),
      m_reportDelay(u"report-delay"_s, u"Milliseconds between a message and each report (100)."_s,
                    u"MS"_s),
      m_incomingDelay(u"incoming-delay"_s,
                      u"Milliseconds from AT+CNMI to the incoming messages (200)."_s, u"MS"_s),
      m_waiting(u"waiting"_s, u"A message from SENDER stored from the start; may be repeated."_s,
                u"SENDER=TEXT"_s)
{
    parser.addOptions({m_gsm, m_pin, m_centre, m_cmgs, m_urc, m_cnmi, m_outcome, m_reportDelay,
                       m_incomingDelay, m_waiting});
}

bool GsmOptionParser::read(GsmOptions *options, QString *error) const
{
    options->enabled = m_parser.isSet(m_gsm);
    if (!options->enabled) {
        for (const QCommandLineOption *option :
             {&m_pin, &m_centre, &m_cmgs, &m_urc, &m_cnmi, &m_outcome, &m_reportDelay,
              &m_incomingDelay, &m_waiting}) {
            if (m_parser.isSet(*option)) {
                *error = u"--"_s + option->names().constFirst() + u" needs --gsm"_s;
                return false;
            }
        }
        return true;
    }
    if (m_parser.isSet(m_pin)) {
        options->pin = m_parser.value(m_pin);
        static const QRegularExpression pin(u"^\\d{4,8}$"_s);
        if (!pin.match(options->pin).hasMatch()) {
            *error = u"--pin: expected 4 to 8 digits, got '"_s + options->pin + u"'"_s;
            return false;
        }
    }
    if (m_parser.isSet(m_centre))
        options->centre = m_parser.value(m_centre);
    if (m_parser.isSet(m_cmgs)) {
        QList<CmgsAnswer> script;
        for (const QString &item : m_parser.value(m_cmgs).split(u',')) {
            const std::optional<CmgsAnswer> answer = cmgsAnswer(item.trimmed());
            if (!answer) {
                *error = u"--cmgs: unknown item '"_s + item + u"'"_s;
                return false;
            }
            script.append(*answer);
        }
        options->cmgsScript = script;
    }
    options->unsolicited = m_parser.values(m_urc);
    if (m_parser.isSet(m_cnmi)) {
        const QString cnmi = m_parser.value(m_cnmi);
        options->cnmi = cnmi == u"error"_s ? QString() : cnmi;
    }
    for (const QString &item : m_parser.values(m_outcome)) {
        const QString number = item.section(u'=', 0, 0);
        QList<int> statuses;
        for (const QString &word : item.section(u'=', 1).split(u',')) {
            const std::optional<int> status = reportStatus(word.trimmed());
            if (number.isEmpty() || !status) {
                *error = u"--deliver-outcome: unusable item '"_s + item + u"'"_s;
                return false;
            }
            statuses.append(*status);
        }
        options->outcomes.insert(number, statuses);
    }
    for (const auto &[option, value] : {std::pair{&m_reportDelay, &options->reportDelayMs},
                                        std::pair{&m_incomingDelay, &options->incomingDelayMs}}) {
        if (!m_parser.isSet(*option))
            continue;
        bool ok = false;
        *value = m_parser.value(*option).toInt(&ok);
        if (!ok || *value < 0) {
            *error = u"--"_s + option->names().constFirst() + u": expected milliseconds"_s;
            return false;
        }
    }
    // --incoming is shared with the TCP centre, which reads it the same way.
    options->incoming = m_parser.values(u"incoming"_s);
    options->waiting = m_parser.values(m_waiting);
    return validMessages(options->waiting, u"--waiting"_s, error);
}
