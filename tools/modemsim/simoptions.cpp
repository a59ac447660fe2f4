#include "simoptions.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

namespace {

constexpr int maxDelayMs = 600000;

std::optional<DialOutcome> dialOutcome(const QString &item)
{
    static const QList<std::pair<QString, DialOutcome>> names = {
        {u"connect"_s, DialOutcome::Connect},       {u"busy"_s, DialOutcome::Busy},
        {u"nocarrier"_s, DialOutcome::NoCarrier},   {u"noanswer"_s, DialOutcome::NoAnswer},
        {u"nodialtone"_s, DialOutcome::NoDialtone}, {u"silent"_s, DialOutcome::Silent},
    };
    for (const auto &[name, outcome] : names) {
        if (name == item)
            return outcome;
    }
    return std::nullopt;
}

std::optional<CentreAnswer> centreAnswer(const QString &item)
{
    if (item == u"ack"_s)
        return CentreAnswer{CentreAnswer::Ack, {}};
    if (item == u"silent"_s)
        return CentreAnswer{CentreAnswer::Silent, {}};
    if (item == u"garbage"_s)
        return CentreAnswer{CentreAnswer::Garbage, {}};
    if (item.startsWith(u"nack:"_s)) {
        const QString code = item.mid(5);
        if (code.size() == 2 && code.at(0).isDigit() && code.at(1).isDigit() &&
            code.at(0).unicode() < 0x80 && code.at(1).unicode() < 0x80)
            return CentreAnswer{CentreAnswer::Nack, code.toLatin1()};
    }
    return std::nullopt;
}

template <typename T, typename ParseItem>
bool parseScript(const QString &text, ParseItem parseItem, const QString &option, QList<T> *script,
                 QString *error)
{
    QList<T> items;
    for (const QString &item : text.split(u',')) {
        const std::optional<T> parsed = parseItem(item.trimmed());
        if (!parsed) {
            *error = u"--"_s + option + u": unknown item '"_s + item + u"'"_s;
            return false;
        }
        items.append(*parsed);
    }
    *script = items;
    return true;
}

bool parseNumber(const QString &text, const QString &option, int min, int max, int *value,
                 QString *error)
{
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok || number < min || number > max) {
        *error = u"--"_s + option + u": expected a number from "_s + QString::number(min) +
                 u" to "_s + QString::number(max) + u", got '"_s + text + u"'"_s;
        return false;
    }
    *value = number;
    return true;
}

} // namespace

std::optional<SimOptions> SimOptions::parse(const QStringList &arguments, QString *error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Hayes modem with a UCP message centre behind it, on a pseudo-terminal."_s);
    const QCommandLineOption dirOption(u"dir"_s, u"Folder for the COMn link."_s, u"DIR"_s);
    const QCommandLineOption portOption(u"port"_s, u"Port number n of COMn."_s, u"N"_s);
    const QCommandLineOption dialOption(
        u"dial"_s,
        u"Answers to dial commands: connect, busy, nocarrier, noanswer, "_s
        u"nodialtone, silent; comma-separated, the last repeats."_s,
        u"LIST"_s);
    const QCommandLineOption centreOption(u"centre"_s,
                                          u"Answers to frames: ack, nack:NN, silent, garbage; "_s
                                          u"comma-separated, the last repeats."_s,
                                          u"LIST"_s);
    const QCommandLineOption connectDelayOption(
        u"connect-delay"_s, u"Milliseconds from dial command to its answer (300)."_s, u"MS"_s);
    const QCommandLineOption replyDelayOption(
        u"reply-delay"_s, u"Milliseconds from frame to the centre's answer (50)."_s, u"MS"_s);
    const QCommandLineOption logOption(u"log"_s, u"Also append every line to FILE."_s, u"FILE"_s);
    parser.addOptions({dirOption, portOption, dialOption, centreOption, connectDelayOption,
                       replyDelayOption, logOption});
    const GsmOptionParser gsmOptions(parser);
    const QCommandLineOption helpOption = parser.addHelpOption();

    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return std::nullopt;
    }
    if (parser.isSet(helpOption)) {
        SimOptions help;
        help.helpText = parser.helpText();
        return help;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *error = u"unexpected argument '"_s + parser.positionalArguments().constFirst() + u"'"_s;
        return std::nullopt;
    }
    if (!parser.isSet(dirOption) || !parser.isSet(portOption)) {
        *error = u"--dir and --port are required"_s;
        return std::nullopt;
    }

    SimOptions options;
    options.dir = parser.value(dirOption);
    if (options.dir.isEmpty()) {
        *error = u"--dir: empty folder name"_s;
        return std::nullopt;
    }
    options.logFile = parser.value(logOption);
    if (!parseNumber(parser.value(portOption), u"port"_s, 1, 32767, &options.port, error))
        return std::nullopt;
    if (parser.isSet(connectDelayOption) &&
        !parseNumber(parser.value(connectDelayOption), u"connect-delay"_s, 0, maxDelayMs,
                     &options.connectDelayMs, error))
        return std::nullopt;
    if (parser.isSet(replyDelayOption) &&
        !parseNumber(parser.value(replyDelayOption), u"reply-delay"_s, 0, maxDelayMs,
                     &options.replyDelayMs, error))
        return std::nullopt;
    if (parser.isSet(dialOption) &&
        !parseScript(parser.value(dialOption), dialOutcome, u"dial"_s, &options.dialScript, error))
        return std::nullopt;
    if (parser.isSet(centreOption) && !parseScript(parser.value(centreOption), centreAnswer,
                                                   u"centre"_s, &options.centreScript, error))
        return std::nullopt;
    if (!gsmOptions.read(&options.gsm, error))
        return std::nullopt;
    return options;
}
