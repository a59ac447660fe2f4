#include "calltrace.h"

#include "clock.h"
#include "sendengine.h"

#include <QFile>
#include <QSaveFile>

using namespace Qt::StringLiterals;

CallTrace::CallTrace(SendEngine *engine, const Clock *clock, QString filePath, QObject *parent)
    : QObject(parent), m_engine(engine), m_clock(clock), m_filePath(std::move(filePath))
{
    // One writer, so the files are written in the order of the calls.
    m_writer.setMaxThreadCount(1);
    m_calls = readCalls(m_filePath);
    std::reverse(m_calls.begin(), m_calls.end());
    connect(m_engine, &SendEngine::stateChanged, this, &CallTrace::onStateChanged);
    connect(m_engine, &SendEngine::statusChanged, this, &CallTrace::onStatusChanged);
    connect(m_engine, &SendEngine::messageLogged, this, &CallTrace::onMessageLogged);
}

CallTrace::~CallTrace()
{
    if (m_inCall)
        endCall(tr("abgebrochen (Programmende)"));
    flush();
}

void CallTrace::flush()
{
    m_writer.waitForDone();
}

QStringList CallTrace::readCalls(const QString &filePath)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    const QString text = QString::fromUtf8(file.readAll());
    QStringList calls;
    const QStringList lines = text.split(u'\n');
    for (const QString &line : lines) {
        if (line.startsWith(callMark))
            calls.prepend(line);
        else if (!calls.isEmpty() && !line.isEmpty())
            calls.first() += u'\n' + line;
    }
    return calls;
}

void CallTrace::addLine(const QString &line)
{
    if (!m_inCall)
        beginCall();
    const double seconds = double(m_clock->monotonicMs() - m_callStartMs) / 1000.0;
    m_lines.append(u"%1 +%2 s  %3"_s.arg(m_clock->now().toString(u"HH:mm:ss.zzz"_s))
                       .arg(seconds, 0, 'f', 3)
                       .arg(line));
}

void CallTrace::endTest(bool ok, const QString &summary)
{
    if (!m_inCall)
        beginCall();
    addLine(tr("Ergebnis: %1").arg(summary));
    endCall(ok ? tr("Verbindungstest erfolgreich")
               : tr("Verbindungstest fehlgeschlagen: %1").arg(summary));
}

void CallTrace::beginCall()
{
    m_inCall = true;
    m_callStart = m_clock->now();
    m_callStartMs = m_clock->monotonicMs();
    m_lines.clear();
    m_sent = 0;
    m_refused = 0;
    m_failure.clear();
}

void CallTrace::onStateChanged(Sending::State state)
{
    if (state == Sending::State::Dialling && !m_inCall)
        beginCall();
}

void CallTrace::onStatusChanged(const EngineStatus &status)
{
    if (!m_inCall)
        return;
    using S = Sending::State;
    const bool failedAttempt =
        !status.failure.isEmpty() && (status.state == S::Waiting || status.state == S::Paused);
    if (failedAttempt) {
        addLine(tr("Ergebnis: %1").arg(status.failure));
        endCall(tr("fehlgeschlagen: %1").arg(status.failure));
        return;
    }
    // The call is over once nothing is under way and no connection is held.
    if ((status.state == S::Idle && !status.connectionOpen) || status.state == S::Paused ||
        status.state == S::Waiting) {
        QStringList counts;
        if (m_sent)
            counts.append(tr("%1 gesendet").arg(m_sent));
        if (m_refused)
            counts.append(tr("%1 abgelehnt").arg(m_refused));
        endCall(counts.isEmpty() ? tr("beendet") : counts.join(u", "_s));
    }
}

void CallTrace::onMessageLogged()
{
    const QString refusal = m_engine->status().refusalCode;
    if (refusal.isEmpty()) {
        ++m_sent;
        addLine(tr("Ergebnis: %1").arg(u"OK"_s));
    } else {
        ++m_refused;
        addLine(tr("Ergebnis: abgelehnt (%1)").arg(refusal));
    }
}

void CallTrace::endCall(const QString &outcome)
{
    m_inCall = false;
    QString call = callMark + m_callStart.toString(u"dd.MM.yyyy HH:mm:ss"_s) + u" – "_s + outcome;
    for (const QString &line : std::as_const(m_lines))
        call += u'\n' + line;
    m_lines.clear();
    m_calls.append(call);
    while (m_calls.size() > maxCalls)
        m_calls.removeFirst();
    write();
}

void CallTrace::write()
{
    const QString path = m_filePath;
    const QByteArray text = (m_calls.join(u"\n\n"_s) + u'\n').toUtf8();
    m_writer.start([path, text] {
        // A whole new file or none: a crash never leaves half a trace.
        QSaveFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            // For this user alone, like Daten.mdb: the trace shows numbers
            // and texts.
            file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            file.write(text);
            file.commit();
        }
    });
}
