#include "simoptions.h"

#include <QCommandLineParser>

#include <algorithm>

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
    // "late+ack": a late result for the TRN before first, then the answer.
    if (item.startsWith(u"late+"_s)) {
        std::optional<CentreAnswer> answer = centreAnswer(item.mid(5));
        if (!answer || answer->lateFirst)
            return std::nullopt;
        answer->lateFirst = true;
        return answer;
    }
    // "53+ack": the centre's own operation 53 first, then the answer.
    for (const char *ownOperation : {"31", "53"}) {
        if (item.startsWith(QLatin1StringView(ownOperation) + u'+')) {
            std::optional<CentreAnswer> answer = centreAnswer(item.mid(3));
            if (!answer || !answer->ownOperation.isEmpty())
                return std::nullopt;
            answer->ownOperation = ownOperation;
            return answer;
        }
    }
    if (item == u"ack"_s)
        return CentreAnswer{CentreAnswer::Ack, {}, {}};
    if (item == u"silent"_s)
        return CentreAnswer{CentreAnswer::Silent, {}, {}};
    if (item == u"garbage"_s)
        return CentreAnswer{CentreAnswer::Garbage, {}, {}};
    if (item == u"othertrn"_s)
        return CentreAnswer{CentreAnswer::OtherTrnAck, {}, {}};
    if (item.startsWith(u"nack:"_s)) {
        const QString code = item.mid(5);
        if (code.size() == 2 && code.at(0).isDigit() && code.at(1).isDigit() &&
            code.at(0).unicode() < 0x80 && code.at(1).unicode() < 0x80)
            return CentreAnswer{CentreAnswer::Nack, code.toLatin1(), {}};
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

bool parseLogin(const QString &account, bool accountSet, const QString &password, bool passwordSet,
                SimOptions *options, QString *error)
{
    if (passwordSet && !accountSet) {
        *error = u"--password needs --account"_s;
        return false;
    }
    if (!accountSet)
        return true;
    // The program sends the account with its digits only.
    if (account.isEmpty() || !std::all_of(account.begin(), account.end(), [](QChar c) {
            return c.unicode() >= u'0' && c.unicode() <= u'9';
        })) {
        *error = u"--account: expected digits, got '"_s + account + u"'"_s;
        return false;
    }
    if (!std::all_of(password.begin(), password.end(),
                     [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7F; })) {
        *error = u"--password: printable ASCII characters only"_s;
        return false;
    }
    options->account = account.toLatin1();
    options->password = password.toLatin1();
    return true;
}

bool parseOutcomes(const QString &text, QMap<QString, ReportOutcome> *outcomes, QString *error)
{
    for (const QString &item : text.split(u',')) {
        const QString number = item.section(u'=', 0, 0).trimmed();
        const QString outcome = item.section(u'=', 1);
        const QString reason = outcome.section(u':', 1);
        const bool digits =
            !number.isEmpty() && std::all_of(number.begin(), number.end(), [](QChar c) {
                return c.unicode() >= u'0' && c.unicode() <= u'9';
            });
        const bool reasonOk =
            reason.size() == 3 && std::all_of(reason.begin(), reason.end(), [](QChar c) {
                return c.unicode() >= u'0' && c.unicode() <= u'9';
            });
        ReportOutcome parsed;
        if (outcome == u"delivered"_s) {
            parsed.dst = 0;
        } else if (outcome.startsWith(u"buffered:"_s) && reasonOk) {
            parsed = ReportOutcome{1, reason.toLatin1()};
        } else if (outcome.startsWith(u"failed:"_s) && reasonOk) {
            parsed = ReportOutcome{2, reason.toLatin1()};
        } else {
            *error = u"--outcome: unknown item '"_s + item + u"'"_s;
            return false;
        }
        if (!digits) {
            *error = u"--outcome: the number of '"_s + item + u"' is not digits"_s;
            return false;
        }
        outcomes->insert(number, parsed);
    }
    return true;
}

} // namespace

std::optional<SimOptions> SimOptions::parse(const QStringList &arguments, QString *error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Hayes modem with a UCP message centre behind it, on a pseudo-terminal;\n"_s
        u"or, with --tcp, the message centre alone on a TCP port.\n\n"_s
        u"The centre answers every submission (operation 01) as --centre says,\n"_s
        u"with its TRN, as many as a call or connection carries, and requires the\n"_s
        u"session login (operation 60) when --account is given. Each event is one\n"_s
        u"line on stdout: READY, OPEN, RX, DIAL, RESULT, ABORT, FRAME, LOGIN, SMS,\n"_s
        u"INVALID, REPLY, ASK, ANSWER, UNANSWERED, DROP, HANGUP, UNPLUG, PLUG.\n\n"_s
        u"With --smpp, an SMPP 3.4 message centre on a TCP port (TLS with --tls-cert):\n"_s
        u"bind_transceiver, submit_sm answered per --smpp-answer, receipts as deliver_sm\n"_s
        u"after --receipt-delay, --incoming as deliver_sm, enquire_link both ways, unbind.\n"_s
        u"Its lines: READY, OPEN, TLS, PDU, BIND, SUBMIT, PART, DECLINED, SILENT, REPLY,\n"_s
        u"RECEIPT, DELIVER, ANSWER, REFUSED, INVALID, UNBIND, DROP, UNANSWERED, HANGUP,\n"_s
        u"STATS."_s);
    const QCommandLineOption dirOption(u"dir"_s, u"Folder for the COMn link."_s, u"DIR"_s);
    const QCommandLineOption portOption(u"port"_s, u"Port number n of COMn."_s, u"N"_s);
    const QCommandLineOption dialOption(
        u"dial"_s,
        u"Answers to dial commands: connect, busy, nocarrier, noanswer, "_s
        u"nodialtone, silent; comma-separated, the last repeats."_s,
        u"LIST"_s);
    const QCommandLineOption centreOption(
        u"centre"_s,
        u"Answers to submissions: ack, nack:NN, silent, garbage, othertrn (an ack with the "_s
        u"TRN before, alone); comma-separated, the last repeats. A prefix 31+ or 53+ "_s
        u"(53+ack) first sends an operation 31 (alert) or 53 (delivery notification) of the "_s
        u"centre's own, which the program must answer; late+ (late+ack) first sends a "_s
        u"negative result 02 for the TRN before."_s,
        u"LIST"_s);
    const QCommandLineOption loginOption(
        u"login"_s,
        u"Answers to logins whose account and password fit, as --centre (ack, nack:NN, "_s
        u"silent, othertrn, late+...); a login that does not fit gets nack:07."_s,
        u"LIST"_s);
    const QCommandLineOption connectDelayOption(
        u"connect-delay"_s, u"Milliseconds from dial command to its answer (300)."_s, u"MS"_s);
    const QCommandLineOption replyDelayOption(
        u"reply-delay"_s, u"Milliseconds from frame to the centre's answer (50)."_s, u"MS"_s);
    const QCommandLineOption logOption(u"log"_s, u"Also append every line to FILE."_s, u"FILE"_s);
    const QCommandLineOption tcpOption(
        u"tcp"_s,
        u"Be a message centre on 127.0.0.1:PORT instead of a modem (0: any free port, "_s
        u"shown in the READY line); --dir and --port are not used."_s,
        u"PORT"_s);
    const QCommandLineOption accountOption(
        u"account"_s, u"Require a session login (operation 60) with this account (digits)."_s,
        u"ACCOUNT"_s);
    const QCommandLineOption passwordOption(
        u"password"_s,
        u"The password of the login (printable ASCII; empty if not given); with --smpp, "_s
        u"of the bind (at most 8 characters)."_s,
        u"PASSWORD"_s);
    const QCommandLineOption dropOption(
        u"drop-after"_s,
        u"Cut the answer to the N-th submission (operation 01) of the run off halfway "_s
        u"and drop the connection (the modem reports NO CARRIER), once."_s,
        u"N"_s);
    const QCommandLineOption baudOption(
        u"baud"_s,
        u"Pass bytes both ways no faster than a line of this speed (10 bits a byte, "_s
        u"so 9600 is 960 bytes a second)."_s,
        u"BAUD"_s);
    const QCommandLineOption unplugOption(
        u"unplug"_s,
        u"When the N-th frame (of the run) arrives, the device goes away unanswered: the "_s
        u"pseudo-terminal closes and the COMn link is removed (UNPLUG). After MS "_s
        u"milliseconds it comes back under the same link (PLUG); MS 0: never."_s,
        u"N:MS"_s);
    const QCommandLineOption outcomeOption(
        u"outcome"_s,
        u"TCP: what the delivery notification (operation 53) that follows an operation 51 "_s
        u"with NRq says for a recipient: NUMBER=delivered, NUMBER=buffered:RSN or "_s
        u"NUMBER=failed:RSN (RSN three digits); comma-separated. Others: delivered. SMPP: "_s
        u"the receipt's stat DELIVRD, ENROUTE or UNDELIV, with err RSN."_s,
        u"LIST"_s);
    const QCommandLineOption incomingOption(
        u"incoming"_s,
        u"A message SENDER=TEXT for the program, once per run: TCP sends it as operation 52 "_s
        u"(a text that is not short ASCII in UCS-2), SMPP as deliver_sm (GSM 7-bit or "_s
        u"UCS-2), GSM stores it with +CMTI once the indications are on; in several parts "_s
        u"when long. Repeatable."_s,
        u"SENDER=TEXT"_s);
    const QCommandLineOption incomingAfterOption(
        u"incoming-after"_s,
        u"Milliseconds from the first open session to the --incoming messages (0)."_s, u"MS"_s);
    const QCommandLineOption keepAliveOption(
        u"keepalive-limit"_s,
        u"TCP, SMPP: drop a session on which no operation (PDU) of the program arrived for MS "_s
        u"milliseconds (DROP keepalive)."_s,
        u"MS"_s);
    parser.addOptions({dirOption, portOption, dialOption, centreOption, loginOption,
                       connectDelayOption, replyDelayOption, logOption, tcpOption, accountOption,
                       passwordOption, dropOption, baudOption, unplugOption, outcomeOption,
                       incomingOption, incomingAfterOption, keepAliveOption});
    const GsmOptionParser gsmOptions(parser);
    const SmppOptionParser smppOptions(parser);
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
    SimOptions options;
    if (smppOptions.isSet()) {
        if (parser.isSet(dirOption) || parser.isSet(portOption) || parser.isSet(tcpOption) ||
            parser.isSet(u"gsm"_s)) {
            *error = u"--dir, --port, --tcp and --gsm are not used with --smpp"_s;
            return std::nullopt;
        }
        // The UCP centre's and the modem's scripts would be silently ignored.
        for (const QCommandLineOption *option : {&dialOption, &centreOption, &loginOption,
                                                 &connectDelayOption, &dropOption, &baudOption}) {
            if (parser.isSet(*option)) {
                *error = u"--"_s + option->names().constFirst() + u" is not used with --smpp"_s;
                return std::nullopt;
            }
        }
        if (!smppOptions.read(&options.smpp, error))
            return std::nullopt;
        // An SMPP centre answers at once unless told otherwise.
        options.replyDelayMs = 0;
    } else if (parser.isSet(tcpOption)) {
        if (parser.isSet(dirOption) || parser.isSet(portOption)) {
            *error = u"--dir and --port are not used with --tcp"_s;
            return std::nullopt;
        }
        int tcpPort = 0;
        if (!parseNumber(parser.value(tcpOption), u"tcp"_s, 0, 65535, &tcpPort, error))
            return std::nullopt;
        options.tcpPort = tcpPort;
    } else {
        if (!parser.isSet(dirOption) || !parser.isSet(portOption)) {
            *error = u"--dir and --port are required"_s;
            return std::nullopt;
        }
        options.dir = parser.value(dirOption);
        if (options.dir.isEmpty()) {
            *error = u"--dir: empty folder name"_s;
            return std::nullopt;
        }
        if (!parseNumber(parser.value(portOption), u"port"_s, 1, 32767, &options.port, error))
            return std::nullopt;
    }
    options.logFile = parser.value(logOption);
    // With --smpp, --password goes with --system-id (read above).
    if (!smppOptions.isSet() &&
        !parseLogin(parser.value(accountOption), parser.isSet(accountOption),
                    parser.value(passwordOption), parser.isSet(passwordOption), &options, error))
        return std::nullopt;
    if (smppOptions.isSet() && parser.isSet(accountOption)) {
        *error = u"--account is not used with --smpp (--system-id is)"_s;
        return std::nullopt;
    }
    if (parser.isSet(dropOption) && !parseNumber(parser.value(dropOption), u"drop-after"_s, 1,
                                                 1000000, &options.dropAfter, error))
        return std::nullopt;
    if (parser.isSet(unplugOption)) {
        if (options.tcpPort || options.smpp.port) {
            *error = u"--unplug needs the modem, not --tcp or --smpp"_s;
            return std::nullopt;
        }
        const QStringList parts = parser.value(unplugOption).split(u':');
        if (parts.size() != 2) {
            *error = u"--unplug: N:MS expected"_s;
            return std::nullopt;
        }
        if (!parseNumber(parts.at(0), u"unplug"_s, 1, 1000000, &options.unplugAtFrame, error) ||
            !parseNumber(parts.at(1), u"unplug"_s, 0, maxDelayMs, &options.replugMs, error))
            return std::nullopt;
    }
    if (parser.isSet(baudOption) &&
        !parseNumber(parser.value(baudOption), u"baud"_s, 300, 115200, &options.baud, error))
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
    if (parser.isSet(loginOption) && !parseScript(parser.value(loginOption), centreAnswer,
                                                  u"login"_s, &options.loginScript, error))
        return std::nullopt;
    if (parser.isSet(outcomeOption) &&
        !parseOutcomes(parser.value(outcomeOption), &options.outcomes, error))
        return std::nullopt;
    for (const QString &item : parser.values(incomingOption)) {
        const qsizetype equals = item.indexOf(u'=');
        if (equals <= 0) {
            *error = u"--incoming: SENDER=TEXT expected, got '"_s + item + u"'"_s;
            return std::nullopt;
        }
        options.incoming.append(IncomingScript{item.first(equals), item.sliced(equals + 1)});
    }
    if (parser.isSet(incomingAfterOption) &&
        !parseNumber(parser.value(incomingAfterOption), u"incoming-after"_s, 0, maxDelayMs,
                     &options.incomingAfterMs, error))
        return std::nullopt;
    if (parser.isSet(keepAliveOption) &&
        !parseNumber(parser.value(keepAliveOption), u"keepalive-limit"_s, 1, maxDelayMs,
                     &options.keepAliveLimitMs, error))
        return std::nullopt;
    const bool network = options.tcpPort || options.smpp.port;
    if (!network && (!options.outcomes.isEmpty() || options.keepAliveLimitMs > 0)) {
        *error = u"--outcome and --keepalive-limit need --tcp or --smpp"_s;
        return std::nullopt;
    }
    if (!network && !parser.isSet(u"gsm"_s) && !options.incoming.isEmpty()) {
        *error = u"--incoming needs --tcp, --smpp or --gsm"_s;
        return std::nullopt;
    }
    // Only to refuse SMPP options without --smpp (read above with it).
    if (!smppOptions.isSet() && !smppOptions.read(&options.smpp, error))
        return std::nullopt;
    if (!gsmOptions.read(&options.gsm, error))
        return std::nullopt;
    return options;
}
