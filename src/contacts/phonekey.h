#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// Telephone numbers compared as numbers rather than as texts, with the help
// of libphonenumber: "079 555 12 34", "+41 79 555 12 34", "0041795551234"
// and "41795551234" are one number. A number without a country code is
// Swiss.
namespace PhoneKey {

// The region of a number written without country code.
inline constexpr char defaultRegion[] = "CH";

// What libphonenumber makes of one number text.
struct NumberInfo
{
    // E.164 form ("+41795551234") when the text is a number of a possible
    // length; nothing for an empty text, letters, or a number too short or
    // too long to be one.
    std::optional<QString> key;
    // A valid mobile number (for regions whose plans do not tell mobile from
    // fixed numbers apart, a valid number that may be either).
    bool mobile = false;
};

NumberInfo analyse(QStringView text);
std::optional<QString> key(QStringView text);
bool isMobile(QStringView text);

} // namespace PhoneKey
