#include "enginestatus.h"

#include "ucp.h"

using namespace Qt::StringLiterals;

namespace {

QString refusedOrWaiting(const EngineStatus &status)
{
    if (!status.missingSetting.isEmpty())
        return u"Status: "_s + status.missingSetting;
    if (!status.refusalCode.isEmpty()) {
        const QString meaning = status.refusalMeaning.isEmpty() ? ucpNackText(status.refusalCode)
                                                                : status.refusalMeaning;
        return u"Status: SMS abgelehnt ("_s + status.refusalCode + u": "_s + meaning + u')';
    }
    if (!status.refusalMeaning.isEmpty())
        return u"Status: SMS nicht versandt: "_s + status.refusalMeaning;
    if (status.connectionOpen)
        return u"Status: Verbunden – Warten auf weitere SMS..."_s;
    return u"Status: Warten..."_s;
}

QString sendingText(const EngineStatus &status)
{
    if (status.entryNumber == 0)
        return u"Status: SMS wird versandt..."_s;
    return u"Status: SMS "_s + QString::number(status.entryNumber) + u" von "_s +
           QString::number(status.entryCount) + u" wird versandt..."_s;
}

} // namespace

QString statusText(const EngineStatus &status)
{
    using Sending::State;
    switch (status.state) {
    case State::Dialling:
        if (status.loggingIn)
            return u"Status: Anmeldung beim SMS-Center..."_s;
        return u"Status: Verbindung wird hergestellt..."_s;
    case State::Submitting:
        return sendingText(status);
    case State::Logging:
        if (status.logError.isEmpty())
            return sendingText(status);
        return u"Status: Eintrag ins Versand-Archiv fehlgeschlagen ("_s + status.logError +
               u") – neuer Versuch in "_s + QString::number(status.secondsToLogRetry) + u" s"_s;
    case State::Waiting:
        if (!status.missingSetting.isEmpty())
            break;
        return u"Status: "_s + status.failure + u" – nächster Versuch in "_s +
               QString::number(status.secondsToNextAttempt) + u" s"_s;
    case State::Paused:
        if (!status.failure.isEmpty())
            return u"Status: "_s + status.failure + u" – Versand angehalten"_s;
        break;
    case State::Idle:
        break;
    }
    return refusedOrWaiting(status);
}
