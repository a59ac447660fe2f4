#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// tools/modemsim run as a child process for one test: a Hayes modem and UCP
// message centre on a pseudo-terminal, linked as DIR/COMn. Collects the
// simulator's report lines (READY, RX, DIAL, RESULT, FRAME, SMS, REPLY,
// HANGUP, ABORT, ...).
class SimProcess
{
public:
    SimProcess() = default;
    ~SimProcess();
    SimProcess(const SimProcess &) = delete;
    SimProcess &operator=(const SimProcess &) = delete;

    // Starts the simulator beside the test program and waits for READY.
    bool start(const QString &dir, int port, const QStringList &extraArguments);
    // Ends the simulator as a crash would end the far end of the line.
    void kill();

    QStringList lines() const { return m_lines; }
    // The report lines of one kind, without the kind word.
    QStringList values(const QString &kind) const;
    int count(const QString &kind) const { return int(values(kind).size()); }
    // All bytes the program wrote to the modem, from the RX lines.
    QByteArray received() const;
    QString errorOutput() const { return m_stderr; }

    static QString program();

private:
    void readOutput();

    QProcess m_process;
    QByteArray m_pending;
    QStringList m_lines;
    QString m_stderr;
};
