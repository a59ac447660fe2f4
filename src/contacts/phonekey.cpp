#include "phonekey.h"

#include <phonenumbers/phonenumberutil.h>

namespace PhoneKey {

namespace {

using i18n::phonenumbers::PhoneNumber;
using i18n::phonenumbers::PhoneNumberUtil;

// The instance is created once, thread-safely, and lives until the end.
const PhoneNumberUtil &util()
{
    return *PhoneNumberUtil::GetInstance();
}

// Parses the text and gives its E.164 form, if it is a number at all.
std::optional<QString> parsedKey(QStringView text, PhoneNumber *number)
{
    const QByteArray utf8 = text.toUtf8();
    if (util().Parse(std::string(utf8.constData(), size_t(utf8.size())), defaultRegion, number) !=
        PhoneNumberUtil::NO_PARSING_ERROR)
        return std::nullopt;
    if (!util().IsPossibleNumber(*number))
        return std::nullopt;
    // A number that keeps a leading 0 after its national prefix should have
    // gone is one with a digit too few or too many ("079 555 12 3"); the
    // length check alone would take it for a number.
    if (number->italian_leading_zero() && !util().IsValidNumber(*number))
        return std::nullopt;
    std::string e164;
    util().Format(*number, PhoneNumberUtil::E164, &e164);
    return QString::fromStdString(e164);
}

// The common forms of a Swiss number ("079 555 12 34", "+41 79 555 12 34",
// "0041 79 555 12 34", with blanks, dashes, slashes or dots) read without
// libphonenumber, which costs some tens of microseconds a number: an
// address book of a million persons is keyed in well under a second. Any
// other text goes to libphonenumber, which gives these forms the same key.
std::optional<QString> swissKey(QStringView text)
{
    constexpr qsizetype nationalDigits = 9;
    QString digits;
    digits.reserve(text.size());
    bool plus = false;
    for (const QChar c : text) {
        if (c.isDigit() && c.unicode() < 128)
            digits.append(c);
        else if (c == u'+' && digits.isEmpty() && !plus)
            plus = true;
        else if (c != u' ' && c != u'-' && c != u'/' && c != u'.')
            return std::nullopt;
    }
    qsizetype prefix = -1;
    if (plus && digits.startsWith(u"41"))
        prefix = 2;
    else if (!plus && digits.startsWith(u"0041"))
        prefix = 4;
    else if (!plus && digits.startsWith(u'0'))
        prefix = 1;
    if (prefix < 0 || digits.size() != prefix + nationalDigits || digits.at(prefix) == u'0')
        return std::nullopt;
    return u"+41" + QStringView(digits).sliced(prefix);
}

} // namespace

NumberInfo analyse(QStringView text)
{
    NumberInfo info;
    PhoneNumber number;
    info.key = parsedKey(text, &number);
    if (info.key) {
        // The type of a number that is not valid is UNKNOWN.
        const PhoneNumberUtil::PhoneNumberType type = util().GetNumberType(number);
        info.mobile =
            type == PhoneNumberUtil::MOBILE || type == PhoneNumberUtil::FIXED_LINE_OR_MOBILE;
    }
    return info;
}

std::optional<QString> key(QStringView text)
{
    if (std::optional<QString> swiss = swissKey(text))
        return swiss;
    PhoneNumber number;
    return parsedKey(text, &number);
}

bool isMobile(QStringView text)
{
    return analyse(text).mobile;
}

} // namespace PhoneKey
