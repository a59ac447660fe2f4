#include "enginestatus.h"

#include "ucp.h"

namespace {

QString refusedOrWaiting(const EngineStatus &status)
{
    if (!status.missingSetting.isEmpty())
        return u"Status: "_qs + status.missingSetting;
    if (!status.refusalCode.isEmpty())
        return u"Status: SMS abgelehnt ("_qs + status.refusalCode + u": "_qs +
               ucpNackText(status.refusalCode) + u')';
    if (status.connectionOpen)
        return u"Status: Verbunden – Warten auf weitere SMS..."_qs;
    return u"Status: Warten..."_qs;
}

QString sendingText(const EngineStatus &status)
{
    if (status.entryNumber == 0)
        return u"Status: SMS wird versandt..."_qs;
    return u"Status: SMS "_qs + QString::number(status.entryNumber) + u" von "_qs +
           QString::number(status.entryCount) + u" wird versandt..."_qs;
}

} // namespace

QString statusText(const EngineStatus &status)
{
    using Sending::State;
    switch (status.state) {
    case State::Dialling:
        if (status.loggingIn)
            return u"Status: Anmeldung beim SMS-Center..."_qs;
        return u"Status: Verbindung wird hergestellt..."_qs;
    case State::Submitting:
        return sendingText(status);
    case State::Logging:
        if (status.logError.isEmpty())
            return sendingText(status);
        return u"Status: Eintrag ins Versand-Archiv fehlgeschlagen ("_qs + status.logError +
               u") – neuer Versuch in "_qs + QString::number(status.secondsToLogRetry) + u" s"_qs;
    case State::Waiting:
        if (!status.missingSetting.isEmpty())
            break;
        return u"Status: "_qs + status.failure + u" – nächster Versuch in "_qs +
               QString::number(status.secondsToNextAttempt) + u" s"_qs;
    case State::Paused:
        if (!status.failure.isEmpty())
            return u"Status: "_qs + status.failure + u" – Versand angehalten"_qs;
        break;
    case State::Idle:
        break;
    }
    return refusedOrWaiting(status);
}
