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
    PhoneNumber number;
    return parsedKey(text, &number);
}

bool isMobile(QStringView text)
{
    return analyse(text).mobile;
}

} // namespace PhoneKey
