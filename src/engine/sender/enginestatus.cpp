#include "enginestatus.h"

#include "ucp.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace {

QString refusedOrWaiting(const EngineStatus &status)
{
    if (!status.missingSetting.isEmpty())
        return QCoreApplication::translate("EngineStatus", "Status: %1").arg(status.missingSetting);
    if (!status.refusalCode.isEmpty()) {
        const QString meaning = status.refusalMeaning.isEmpty() ? ucpNackText(status.refusalCode)
                                                                : status.refusalMeaning;
        return QCoreApplication::translate("EngineStatus", "Status: SMS abgelehnt (%1: %2)")
            .arg(status.refusalCode, meaning);
    }
    if (!status.refusalMeaning.isEmpty()) {
        return QCoreApplication::translate("EngineStatus", "Status: SMS nicht versandt: %1")
            .arg(status.refusalMeaning);
    }
    if (!status.listeningVia.isEmpty())
        return QCoreApplication::translate("EngineStatus", "Status: Bereit: empfängt über %1")
            .arg(status.listeningVia);
    if (status.connectionOpen)
        return QCoreApplication::translate("EngineStatus",
                                           "Status: Verbunden – Warten auf weitere SMS...");
    return QCoreApplication::translate("EngineStatus", "Status: Warten...");
}

QString sendingText(const EngineStatus &status)
{
    if (status.entryNumber == 0)
        return QCoreApplication::translate("EngineStatus", "Status: SMS wird versandt...");
    return QCoreApplication::translate("EngineStatus", "Status: SMS %1 von %2 wird versandt...")
        .arg(status.entryNumber)
        .arg(status.entryCount);
}

} // namespace

QString statusText(const EngineStatus &status)
{
    using Sending::State;
    switch (status.state) {
    case State::Dialling:
        if (status.loggingIn)
            return QCoreApplication::translate("EngineStatus",
                                               "Status: Anmeldung beim SMS-Center...");
        return QCoreApplication::translate("EngineStatus",
                                           "Status: Verbindung wird hergestellt...");
    case State::Submitting:
        return sendingText(status);
    case State::Logging:
        if (status.logError.isEmpty())
            return sendingText(status);
        return QCoreApplication::translate("EngineStatus",
                                           "Status: Eintrag ins Versand-Archiv "
                                           "fehlgeschlagen (%1) – neuer Versuch in %2 s")
            .arg(status.logError, QString::number(status.secondsToLogRetry));
    case State::Waiting:
        if (!status.missingSetting.isEmpty())
            break;
        return QCoreApplication::translate("EngineStatus", "Status: %1 – nächster Versuch in %2 s")
            .arg(status.failure, QString::number(status.secondsToNextAttempt));
    case State::Paused:
        if (!status.failure.isEmpty())
            return QCoreApplication::translate("EngineStatus", "Status: %1 – Versand angehalten")
                .arg(status.failure);
        break;
    case State::Idle:
    // Not told apart outside the engine; see Sending::State.
    case State::LoggingIn:
    case State::Holding:
    case State::Testing:
        break;
    }
    return refusedOrWaiting(status);
}
