#include "programdoor.h"

#include "messagetext.h"
#include "outbox.h"
#include "queuenumber.h"
#include "queuetexts.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace {} // namespace

QString ProgramSend::errorName(Error error)
{
    switch (error) {
    case Error::InvalidNumber:
        return u"ch.funkbote.Funkbote1.Error.InvalidNumber"_s;
    case Error::EmptyText:
        return u"ch.funkbote.Funkbote1.Error.EmptyText"_s;
    case Error::StopListed:
        return u"ch.funkbote.Funkbote1.Error.StopListed"_s;
    case Error::TooLong:
        return u"ch.funkbote.Funkbote1.Error.TooLong"_s;
    case Error::StoreFailed:
        return u"ch.funkbote.Funkbote1.Error.StoreFailed"_s;
    case Error::None:
        break;
    }
    return QString();
}

ProgramSend sendFromProgram(Outbox *outbox, const QString &number, const QString &text)
{
    return describe(outbox->enqueue(number, text, Outbox::Origin::Program), number, text, *outbox);
}

ProgramSend describe(const Enqueued &result, const QString &number, const QString &text,
                     const Outbox &outbox)
{
    ProgramSend send;
    switch (result.refusal) {
    case Enqueued::Refusal::None:
        send.id = result.ids.isEmpty() ? 0 : result.ids.constFirst();
        break;
    case Enqueued::Refusal::NoText:
        send.error = ProgramSend::Error::EmptyText;
        send.message = QCoreApplication::translate("ProgramDoor", "Die Nachricht ist leer.");
        break;
    case Enqueued::Refusal::Number:
        send.error = ProgramSend::Error::InvalidNumber;
        send.message = queueNumberMessage(QueueText::mobileNumber(), number, result.number);
        break;
    case Enqueued::Refusal::CallBack:
        send.error = ProgramSend::Error::InvalidNumber;
        send.message = queueNumberMessage(QueueText::callBackNumber(), outbox.callBackNumber(),
                                          result.callBack) +
                       u' ' +
                       QCoreApplication::translate(
                           "ProgramDoor", "Bitte korrigieren Sie die Rückrufnummer im Fenster.");
        break;
    case Enqueued::Refusal::Stopped:
        send.error = ProgramSend::Error::StopListed;
        send.message =
            QCoreApplication::translate("ProgramDoor", "%1 hat den Empfang abgelehnt (STOP am %2).")
                .arg(number.trimmed(), result.stoppedSince.toLocalTime().toString(u"dd.MM.yyyy"_s));
        break;
    case Enqueued::Refusal::TooLong:
        send.error = ProgramSend::Error::TooLong;
        send.message = QCoreApplication::translate("ProgramDoor", "Die Nachricht ist zu lang: %1")
                           .arg(outbox.plan().hint ? outbox.plan().hint(toCrLf(text)) : QString());
        break;
    }
    return send;
}
