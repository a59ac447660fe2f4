#pragma once

#include <QString>

namespace Gsm {

// What a "+CMS ERROR: <n>" answer to AT+CMGS means for the message.
struct CmsError
{
    // The meaning in the user's language (German source), for the status line.
    QString text;
    // True when the same message may go through later (no network, memory
    // full, a time-out, a busy centre); false when it never will as it
    // stands (an invalid or barred destination, a refused content).
    bool temporary = true;
};

// The meaning of a +CMS ERROR code: 1..127 are the network's causes for a
// refused submission, 128..255 the message centre's failure causes, 300..
// the modem's own errors. A code outside the table is "unbekannter Fehler"
// and counts as temporary, so a message is never dropped for a code nobody
// knows.
CmsError cmsError(int code);

// The meaning of a +CME ERROR code of TS 27.007 that concerns the SIM or the
// network; any other code is "unbekannter Fehler".
QString cmeErrorText(int code);

} // namespace Gsm
