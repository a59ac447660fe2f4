#pragma once

#include "enginestatus.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QThreadPool>

class Clock;
class SendEngine;

// The trace of the engine's calls: for each call (or connection carrying
// several entries) what was written and read, when (wall clock, and seconds
// since the call began by the monotonic clock) and how it ended. The last
// maxCalls calls are kept in a text file beside Daten.mdb, rewritten after
// each call on a thread of its own so the window never waits for the disk.
//
// The trace learns of a call from the engine's signals and of the bytes
// from the sources it is given (a recording serial line, the TCP/IP
// dialogue), each with a signal traced(QString).
class CallTrace : public QObject
{
    Q_OBJECT

public:
    static constexpr int maxCalls = 200;
    static inline const QString fileName = QStringLiteral("Anrufprotokoll.txt");
    // Starts every call's heading; a failed call's heading says so. The
    // headings and outcomes are in the language the program ran in.
    static inline const QString callMark = QStringLiteral("=== ");

    CallTrace(SendEngine *engine, const Clock *clock, QString filePath, QObject *parent = nullptr);
    ~CallTrace() override;

    // A source of traced lines: an object with a signal traced(QString).
    template <typename Source> void addSource(Source *source)
    {
        connect(source, &Source::traced, this, &CallTrace::addLine);
    }

    // The calls kept, oldest first, each as its heading and its lines.
    QStringList calls() const { return m_calls; }
    // Waits until every write has reached the file (tests, the end).
    void flush();

    // The calls of a trace file, newest first.
    static QStringList readCalls(const QString &filePath);

public Q_SLOTS:
    void addLine(const QString &line);
    // A connection test has ended: its lines make a call of its own.
    void endTest(bool ok, const QString &summary);

private:
    void onStateChanged(Sending::State state);
    void onStatusChanged(const EngineStatus &status);
    void onMessageLogged();
    void beginCall();
    void endCall(const QString &outcome);
    void write();

    SendEngine *m_engine;
    const Clock *m_clock;
    QString m_filePath;
    QStringList m_calls;
    // The call under way.
    bool m_inCall = false;
    QDateTime m_callStart;
    qint64 m_callStartMs = 0;
    QStringList m_lines;
    int m_sent = 0;
    int m_refused = 0;
    QString m_failure;
    QThreadPool m_writer;
};
