#include "connectionkinds.h"

#include "dialupdialogue.h"
#include "gsmdialogue.h"
#include "gsmpdu.h"
#include "messagetext.h"
#include "nurziffern.h"
#include "smppdialogue.h"
#include "ucp.h"
#include "ucpsession.h"
#include "ucptcpdialogue.h"

#include <QCoreApplication>
#include <QStringBuilder>
#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// --- The rules of the settings -------------------------------------------

std::optional<int> numberIn(const QString &text, int lowest, int highest)
{
    bool ok = false;
    const int number = text.trimmed().toInt(&ok, 10);
    if (!ok || number < lowest || number > highest)
        return std::nullopt;
    return number;
}

// Serial ports COM1 to COM255: the range the modem line can name.
constexpr int kKleinsterPort = 1;
constexpr int kGroessterPort = 255;

// A SIM PIN has four to eight digits.
bool isSimPin(const QString &text)
{
    return text.size() >= 4 && text.size() <= 8 &&
           std::all_of(text.cbegin(), text.cend(), isAsciiDigit);
}

// The account of a login (OAdC): digits, blanks allowed, at most sixteen
// digits as in any address of a UCP frame. A letter would be dropped from
// the frame without a word.
bool isAccount(const QString &text)
{
    const qsizetype digits = std::count_if(text.cbegin(), text.cend(), isAsciiDigit);
    return digits >= 1 && digits <= 16 && std::all_of(text.cbegin(), text.cend(), [](QChar c) {
               return isAsciiDigit(c) || c == u' ';
           });
}

// The password goes hex-encoded into the login frame, whose length field
// has five digits; no centre asks for more than a few dozen characters.
constexpr qsizetype kLongestPassword = 64;

// A service centre number: digits, blanks allowed, "+" in front for an
// international one; at most twenty digits fit its address field.
bool isCentreNumber(const QString &text)
{
    QString digits = text.trimmed();
    if (digits.startsWith(u'+'))
        digits.remove(0, 1);
    digits.remove(u' ');
    return !digits.isEmpty() && digits.size() <= 20 &&
           std::all_of(digits.cbegin(), digits.cend(), isAsciiDigit);
}

QString comPortRefusal(const QString &text)
{
    if (numberIn(text, kKleinsterPort, kGroessterPort))
        return {};
    return QCoreApplication::translate("FRMKonfiguration",
                                       "Der Com-Port des Modems muss eine ganze Zahl von 1 bis 255 "
                                       "sein (zum Beispiel 1 für COM1).");
}

QString providerNumberRefusal(const QString &text)
{
    if (std::any_of(text.cbegin(), text.cend(), isAsciiDigit))
        return {};
    return QCoreApplication::translate(
        "FRMKonfiguration",
        "Die Rufnummer des Service-Providers muss mindestens eine Ziffer enthalten.");
}

// The stored number keeps only its digits.
QString providerNumberMissing(const QString &stored)
{
    if (!stored.isEmpty())
        return {};
    return QCoreApplication::translate("DialUpDialogue",
                                       "Keine Rufnummer des Service-Providers konfiguriert");
}

QString modemCommandRefusal(const QString &text)
{
    if (!text.trimmed().isEmpty())
        return {};
    return QCoreApplication::translate("FRMKonfiguration",
                                       "Der Initialisierungsbefehl für das Modem darf nicht leer "
                                       "sein (zum Beispiel ATDT).");
}

QString noRefusal(const QString &)
{
    return {};
}

QString serverRefusal(const QString &text)
{
    if (!text.trimmed().isEmpty())
        return {};
    return QCoreApplication::translate(
        "FRMKonfiguration",
        "Der Server darf nicht leer sein (Name oder IP-Adresse der SMS-Zentrale).");
}

QString noServer()
{
    return QCoreApplication::translate("UcpTcpDialogue",
                                       "Kein Server für die Internet-Verbindung konfiguriert");
}

QString serverMissing(const QString &stored)
{
    return stored.trimmed().isEmpty() ? noServer() : QString();
}

QString tcpPortRefusal(const QString &text)
{
    if (numberIn(text, 1, 65535))
        return {};
    return QCoreApplication::translate("FRMKonfiguration",
                                       "Der TCP-Port muss eine ganze Zahl von 1 bis 65535 sein.");
}

// A port the store could not read is kept as 0.
QString tcpPortMissing(const QString &stored)
{
    return numberIn(stored, 1, 65535) ? QString() : noServer();
}

QString accountRefusal(const QString &text)
{
    if (text.trimmed().isEmpty() || isAccount(text))
        return {};
    return QCoreApplication::translate(
        "FRMKonfiguration", "Das Konto (OAdC) besteht aus höchstens 16 Ziffern (leer lassen, "
                            "wenn die SMS-Zentrale keine Anmeldung verlangt).");
}

QString passwordRefusal(const QString &text)
{
    if (text.size() > kLongestPassword)
        return QCoreApplication::translate("FRMKonfiguration",
                                           "Das Passwort darf höchstens %1 Zeichen lang sein.")
            .arg(kLongestPassword);
    // The login carries the password as typed or not at all.
    if (const QString character = ucpUnsendablePasswordCharacter(text); !character.isEmpty())
        return QCoreApplication::translate(
                   "FRMKonfiguration",
                   "Das Passwort darf das Zeichen «%1» nicht enthalten: bei der Anmeldung "
                   "gehen nur Buchstaben ohne Umlaute, Ziffern, Leerzeichen und die Zeichen "
                   "der englischen Tastatur.")
            .arg(character);
    return {};
}

// Sent as stored or not at all: a password changed on the way would be
// refused, and each refusal brings the account closer to being locked.
QString passwordMissing(const QString &stored)
{
    if (const QString character = ucpUnsendablePasswordCharacter(stored); !character.isEmpty())
        return QCoreApplication::translate("UcpTcpDialogue",
                                           "Das Passwort enthält das Zeichen «%1», das bei der "
                                           "Anmeldung nicht gesendet werden kann")
            .arg(character);
    return {};
}

QString simPinRefusal(const QString &text)
{
    if (text.trimmed().isEmpty() || isSimPin(text.trimmed()))
        return {};
    return QCoreApplication::translate(
        "FRMKonfiguration", "Die SIM-PIN besteht aus 4 bis 8 Ziffern (leer lassen, wenn die "
                            "SIM-Karte keine PIN verlangt).");
}

// A PIN that cannot be right would cost one of the SIM's three tries.
QString simPinMissing(const QString &stored)
{
    if (stored.trimmed().isEmpty() || isSimPin(stored.trimmed()))
        return {};
    return QCoreApplication::translate("GsmDialogue",
                                       "Die PIN der SIM-Karte muss aus 4 bis 8 Ziffern bestehen");
}

QString smsCentreRefusal(const QString &text)
{
    if (text.trimmed().isEmpty() || isCentreNumber(text))
        return {};
    return QCoreApplication::translate(
        "FRMKonfiguration", "Die Nummer der SMS-Zentrale besteht aus höchstens 20 Ziffern, "
                            "international mit + davor (leer lassen für die der SIM-Karte).");
}

QString smsCentreMissing(const QString &stored)
{
    if (Gsm::encodeCentre(stored))
        return {};
    return QCoreApplication::translate(
        "GsmDialogue", "Die Nummer der Nachrichtenzentrale hat mehr als 20 Ziffern");
}

// A sender the centre shows instead of the account: a number (digits,
// blanks and a leading "+"), or up to 11 characters of the GSM alphabet.
constexpr qsizetype kLongestAlphanumericSender = 11;

QString senderRefusal(const QString &text)
{
    const QString sender = text.trimmed();
    if (sender.isEmpty())
        return {};
    QString digits = sender.startsWith(u'+') ? sender.mid(1) : sender;
    digits.remove(u' ');
    if (!digits.isEmpty() && std::all_of(digits.cbegin(), digits.cend(), isAsciiDigit)) {
        if (digits.size() <= 16)
            return {};
    } else if (const std::optional<QByteArray> septets = Gsm::toSeptets(sender);
               septets && septets->size() <= kLongestAlphanumericSender) {
        return {};
    }
    return QCoreApplication::translate(
        "FRMKonfiguration",
        "Der Absender ist eine Rufnummer mit höchstens 16 Ziffern oder ein Name aus höchstens "
        "11 Buchstaben und Ziffern ohne Umlaute (leer lassen für das Konto).");
}

// SMPP's bind carries its account as C-Octet strings of printable ASCII
// (SMPP 3.4, section 4.1): the system_id up to 15 characters, the password up to
// 8, the system_type up to 12. The login of UCP allows the same characters.
constexpr qsizetype kLongestSystemId = 15;
constexpr qsizetype kLongestSmppPassword = 8;
constexpr qsizetype kLongestSystemType = 12;

QString nonAscii(QStringView text)
{
    return ucpUnsendablePasswordCharacter(text);
}

QString systemIdRefusal(const QString &text)
{
    const QString systemId = text.trimmed();
    if (!systemId.isEmpty() && systemId.size() <= kLongestSystemId && nonAscii(systemId).isEmpty())
        return {};
    return QCoreApplication::translate(
        "FRMKonfiguration",
        "Die System-ID für SMPP besteht aus 1 bis 15 Zeichen: Buchstaben ohne Umlaute, Ziffern "
        "und die Zeichen der englischen Tastatur.");
}

QString systemIdMissing(const QString &stored)
{
    if (!stored.trimmed().isEmpty())
        return {};
    return QCoreApplication::translate("SmppDialogue", "Keine System-ID für SMPP konfiguriert");
}

QString smppPasswordRefusal(const QString &text)
{
    if (text.size() > kLongestSmppPassword)
        return QCoreApplication::translate("FRMKonfiguration",
                                           "Das Passwort darf bei SMPP höchstens 8 Zeichen lang "
                                           "sein.");
    // The same characters as the UCP login, and the same refusal.
    return passwordRefusal(text);
}

// As for UCP: a password the bind cannot carry as stored would be refused,
// and refusals lock accounts.
QString smppPasswordMissing(const QString &stored)
{
    if (stored.size() > kLongestSmppPassword)
        return QCoreApplication::translate("SmppDialogue",
                                           "Das Passwort für SMPP ist länger als 8 Zeichen");
    return passwordMissing(stored);
}

QString systemTypeRefusal(const QString &text)
{
    const QString systemType = text.trimmed();
    if (systemType.size() <= kLongestSystemType && nonAscii(systemType).isEmpty())
        return {};
    return QCoreApplication::translate(
        "FRMKonfiguration",
        "Der System-Typ besteht aus höchstens 12 Zeichen ohne Umlaute (leer lassen, wenn die "
        "SMS-Zentrale keinen verlangt).");
}

const FieldRule kRules[] = {
    {SettingField::ComPort, comPortRefusal, nullptr},
    {SettingField::ProviderNumber, providerNumberRefusal, providerNumberMissing},
    {SettingField::ModemCommand, modemCommandRefusal, nullptr},
    {SettingField::SeveralPerCall, noRefusal, nullptr},
    {SettingField::Server, serverRefusal, serverMissing},
    {SettingField::TcpPort, tcpPortRefusal, tcpPortMissing},
    {SettingField::Account, accountRefusal, nullptr},
    {SettingField::Password, passwordRefusal, passwordMissing},
    {SettingField::SimPin, simPinRefusal, simPinMissing},
    {SettingField::SmsCentre, smsCentreRefusal, smsCentreMissing},
    {SettingField::DeliveryReports, noRefusal, nullptr},
    {SettingField::Sender, senderRefusal, nullptr},
    {SettingField::KeepOpen, noRefusal, nullptr},
    {SettingField::UcpWindow, noRefusal, nullptr},
    {SettingField::SystemId, systemIdRefusal, systemIdMissing},
    {SettingField::SmppPassword, smppPasswordRefusal, smppPasswordMissing},
    {SettingField::SystemType, systemTypeRefusal, nullptr},
    {SettingField::UseTls, noRefusal, nullptr},
    {SettingField::SmppWindow, noRefusal, nullptr},
};

// --- The hints below the message field ------------------------------------

// Characters that would be invisible or unreadable in the hint on their own
// are written as their code point.
QString readable(const QString &character)
{
    if (character.size() != 1)
        return character; // outside the Basic Multilingual Plane: an emoji and the like
    const QChar c = character.front();
    if (c.category() == QChar::Mark_NonSpacing || c.category() == QChar::Mark_SpacingCombining ||
        c.category() == QChar::Mark_Enclosing) {
        // A combining accent, e.g. from a text with decomposed letters.
        return QStringView(u"\u25CC") % c;
    }
    if (!c.isPrint() || c.isSpace())
        return QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
    return character;
}

// Enough to recognise the problem; the rest is summed up.
constexpr qsizetype maxListedCharacters = 10;

// Cut into SMS at the marks of the UCP centre, which leaves out what its
// alphabet lacks.
QString markedPartsHint(const QString &crLfText)
{
    if (crLfText.isEmpty())
        return QString();
    QString result = QCoreApplication::translate("MessageFieldCheck", "Wird als %1 SMS versandt.")
                         .arg(messagePartCount(crLfText.size()));
    const QStringList left = unsendableCharacters(crLfText);
    if (!left.isEmpty()) {
        QStringList shown;
        for (qsizetype i = 0; i < left.size() && i < maxListedCharacters; ++i)
            shown.append(readable(left.at(i)));
        QString list = shown.join(u' ');
        if (left.size() > maxListedCharacters) {
            list = QCoreApplication::translate("MessageFieldCheck", "%1 und %2 weitere")
                       .arg(list, QString::number(left.size() - maxListedCharacters));
        }
        result += u'\n' + QCoreApplication::translate("MessageFieldCheck",
                                                      "Nicht übertragbar (wird weggelassen): %1")
                              .arg(list);
    }
    return result;
}

// One concatenated SMS of a GSM modem, which transmits every character
// (as Unicode when one is not in the GSM alphabet).
QString gsmHint(const QString &crLfText)
{
    if (crLfText.isEmpty())
        return QString();
    const Gsm::MessagePlan plan = Gsm::planMessage(crLfText);
    if (plan.parts > Gsm::maxParts)
        return QCoreApplication::translate("MessageFieldCheck",
                                           "Zu lang für ein GSM-Modem (höchstens %1 SMS).")
            .arg(Gsm::maxParts);
    if (plan.encoding == Gsm::Encoding::Ucs2)
        return QCoreApplication::translate("MessageFieldCheck",
                                           "Wird als %1 SMS versandt (Unicode).")
            .arg(plan.parts);
    return QCoreApplication::translate("MessageFieldCheck", "Wird als %1 SMS versandt.")
        .arg(plan.parts);
}

// --- The dialogues ---------------------------------------------------------

CallDialogue *makeDialUp(const DialogueNeeds &needs)
{
    auto *dialogue = new DialUpDialogue(needs.line, needs.settings, needs.programDir, needs.parent);
    ConnectionSettings *connection = needs.connection;
    QObject::connect(connection, &ConnectionSettings::changed, dialogue, [dialogue, connection] {
        dialogue->setSeveralPerCall(connection->values().severalPerCall);
    });
    return dialogue;
}

CallDialogue *makeTcp(const DialogueNeeds &needs)
{
    return new UcpTcpDialogue(
        [connection = needs.connection] {
            const ConnectionValues values = connection->values();
            return UcpTcpAccount{values.server,   quint16(values.tcpPort), values.account,
                                 values.password, values.sender,           values.deliveryReports,
                                 values.keepOpen, values.ucpWindow};
        },
        needs.parent);
}

CallDialogue *makeGsm(const DialogueNeeds &needs)
{
    auto *dialogue = new GsmDialogue(
        needs.line, needs.settings, needs.programDir,
        [connection = needs.connection] {
            const ConnectionValues values = connection->values();
            return GsmAccount{values.simPin, values.smsCentre, connection->simPinRefused(),
                              values.deliveryReports};
        },
        needs.parent);
    dialogue->keepConcatenationIn(needs.databasePath);
    dialogue->notePinRefusal(
        [connection = needs.connection](const QString &pin) { connection->setSimPinRefused(pin); });
    return dialogue;
}

CallDialogue *makeSmpp(const DialogueNeeds &needs)
{
    return new SmppDialogue(
        [connection = needs.connection] {
            const ConnectionValues values = connection->values();
            return SmppAccount{
                .host = values.server,
                .port = quint16(values.tcpPort),
                .systemId = values.systemId,
                .password = values.smppPassword,
                .systemType = values.systemType,
                .sender = values.sender,
                .useTls = values.useTls,
                .deliveryReports = values.deliveryReports,
                .keepOpen = values.keepOpen,
                .window = values.smppWindow,
            };
        },
        needs.parent);
}

const QList<ConnectionKindRow> &table()
{
    static const QList<ConnectionKindRow> rows = {
        {
            ConnectionKind::DialUp,
            [] {
                return QCoreApplication::translate("FRMKonfiguration", "Modem (Wählverbindung)");
            },
            {SettingField::ComPort, SettingField::ProviderNumber, SettingField::ModemCommand,
             SettingField::SeveralPerCall},
            MessagePlan{MessageSplit::MarkedParts, 0, markedPartsHint},
            makeDialUp,
        },
        {
            ConnectionKind::Tcp,
            [] { return QCoreApplication::translate("FRMKonfiguration", "Internet (TCP/IP)"); },
            {SettingField::Server, SettingField::TcpPort, SettingField::Account,
             SettingField::Password, SettingField::DeliveryReports, SettingField::Sender,
             SettingField::KeepOpen, SettingField::UcpWindow},
            // Sent whole with operation 51 as one concatenated SMS.
            MessagePlan{MessageSplit::Whole, Gsm::maxParts, gsmHint},
            makeTcp,
            // The centre reaches the program only while the session stands.
            [](const ConnectionValues &values) { return values.keepOpen; },
        },
        {
            ConnectionKind::Gsm,
            [] { return QCoreApplication::translate("FRMKonfiguration", "GSM-Modem"); },
            {SettingField::ComPort, SettingField::SimPin, SettingField::SmsCentre,
             SettingField::DeliveryReports},
            // Sent whole as one concatenated SMS, which the phone joins.
            MessagePlan{MessageSplit::Whole, Gsm::maxParts, gsmHint},
            makeGsm,
            // Messages wait on the SIM, whose storage fills up: always read.
            [](const ConnectionValues &) { return true; },
        },
        {
            ConnectionKind::Smpp,
            [] { return QCoreApplication::translate("FRMKonfiguration", "SMPP (Internet)"); },
            {SettingField::Server, SettingField::TcpPort, SettingField::SystemId,
             SettingField::SmppPassword, SettingField::SystemType, SettingField::Sender,
             SettingField::UseTls, SettingField::SmppWindow, SettingField::DeliveryReports,
             SettingField::KeepOpen},
            // Sent whole as one concatenated SMS (a UDH in each submit_sm).
            MessagePlan{MessageSplit::Whole, Gsm::maxParts, gsmHint},
            makeSmpp,
            // Receipts and replies come as deliver_sm while the session is bound.
            [](const ConnectionValues &values) { return values.keepOpen; },
        },
    };
    return rows;
}

} // namespace

bool MessagePlan::tooLong(const QString &crLfText) const
{
    // Only a message sent whole has a limit: marked parts go one by one.
    return partLimit > 0 && Gsm::planMessage(crLfText).parts > partLimit;
}

namespace ConnectionKinds {

const QList<ConnectionKindRow> &all()
{
    return table();
}

int indexOf(ConnectionKind kind)
{
    const QList<ConnectionKindRow> &rows = table();
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (rows.at(i).kind == kind)
            return int(i);
    }
    qFatal("ConnectionKinds: a kind without a row");
}

const ConnectionKindRow &of(ConnectionKind kind)
{
    return table().at(indexOf(kind));
}

const FieldRule &rule(SettingField field)
{
    const auto found = std::find_if(std::cbegin(kRules), std::cend(kRules),
                                    [field](const FieldRule &rule) { return rule.field == field; });
    if (found == std::cend(kRules))
        qFatal("ConnectionKinds: a setting without a rule");
    return *found;
}

} // namespace ConnectionKinds
