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
    return u"Status: Warten..."_qs;
}

} // namespace

QString statusText(const EngineStatus &status)
{
    using Sending::State;
    switch (status.state) {
    case State::Dialling:
        return u"Status: Verbindung wird hergestellt..."_qs;
    case State::Submitting:
        return u"Status: SMS wird versandt..."_qs;
    case State::Logging:
        if (status.logError.isEmpty())
            return u"Status: SMS wird versandt..."_qs;
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
