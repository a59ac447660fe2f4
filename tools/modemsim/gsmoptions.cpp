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
      m_urc(u"urc"_s, u"Unsolicited line sent before every answer; may be repeated."_s, u"LINE"_s)
{
    parser.addOptions({m_gsm, m_pin, m_centre, m_cmgs, m_urc});
}

bool GsmOptionParser::read(GsmOptions *options, QString *error) const
{
    options->enabled = m_parser.isSet(m_gsm);
    if (!options->enabled) {
        for (const QCommandLineOption *option : {&m_pin, &m_centre, &m_cmgs, &m_urc}) {
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
    return true;
}
