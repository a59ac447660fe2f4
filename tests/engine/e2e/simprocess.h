#pragma once

#include <QProcess>
#include <QStringList>

// tools/modemsim as a child process: a Hayes modem and UCP message centre on
// a pseudo-terminal, linked as DIR/COMn, or the centre alone on a TCP port.
// Collects the report lines it prints (READY, OPEN, RX, DIAL, RESULT, FRAME,
// SMS, INVALID, REPLY, HANGUP, ...; modemsim --help lists them all).
class SimProcess
{
public:
    ~SimProcess();

    // Starts the simulator beside the test program; true once it is READY.
    bool start(const QString &dir, int port, const QStringList &extraArguments);
    // The same with all arguments given, e.g. {"--tcp", "0", ...}.
    bool start(const QStringList &arguments);
    // The report lines of one kind, without the kind word.
    QStringList values(const QString &kind) const;
    int count(const QString &kind) const { return int(values(kind).size()); }
    // All bytes the program wrote to the modem, from the RX lines.
    QByteArray received() const;

    static QString program();

    QProcess process;
    QStringList lines;
    QString errorOutput;

private:
    QByteArray m_pending;
};
