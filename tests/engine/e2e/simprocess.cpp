#include "simprocess.h"

#include <QCoreApplication>
#include <QTest>

SimProcess::~SimProcess()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!QTest::qWaitFor([this] { return m_process.state() == QProcess::NotRunning; }, 3000)) {
        m_process.kill();
        (void)QTest::qWaitFor([this] { return m_process.state() == QProcess::NotRunning; }, 3000);
    }
}

QString SimProcess::program()
{
    return QCoreApplication::applicationDirPath() + u"/modemsim"_qs;
}

bool SimProcess::start(const QString &dir, int port, const QStringList &extraArguments)
{
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput, &m_process,
                     [this] { readOutput(); });
    QObject::connect(&m_process, &QProcess::readyReadStandardError, &m_process, [this] {
        m_stderr += QString::fromLocal8Bit(m_process.readAllStandardError());
    });
    m_process.start(program(), QStringList{u"--dir"_qs, dir, u"--port"_qs, QString::number(port)} +
                                   extraArguments);
    return QTest::qWaitFor([this] { return count(u"READY"_qs) > 0; }, 10000);
}

void SimProcess::kill()
{
    m_process.kill();
    (void)QTest::qWaitFor([this] { return m_process.state() == QProcess::NotRunning; }, 3000);
}

QStringList SimProcess::values(const QString &kind) const
{
    QStringList result;
    for (const QString &line : m_lines) {
        if (line == kind)
            result.append(QString());
        else if (line.startsWith(kind + u' '))
            result.append(line.mid(kind.size() + 1));
    }
    return result;
}

QByteArray SimProcess::received() const
{
    QByteArray bytes;
    for (const QString &hex : values(u"RX"_qs))
        bytes += QByteArray::fromHex(hex.toLatin1());
    return bytes;
}

void SimProcess::readOutput()
{
    m_pending += m_process.readAllStandardOutput();
    qsizetype end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        m_lines.append(QString::fromUtf8(m_pending.left(end)).trimmed());
        m_pending.remove(0, end + 1);
    }
}
