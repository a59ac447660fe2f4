#include "simprocess.h"

#include <QCoreApplication>
#include <QTest>

using namespace Qt::StringLiterals;

SimProcess::~SimProcess()
{
    process.kill();
    (void)QTest::qWaitFor([this] { return process.state() == QProcess::NotRunning; }, 3000);
}

QString SimProcess::program()
{
    return QCoreApplication::applicationDirPath() + u"/modemsim"_s;
}

bool SimProcess::start(const QString &dir, int port, const QStringList &extraArguments)
{
    return start(QStringList{u"--dir"_s, dir, u"--port"_s, QString::number(port)} + extraArguments);
}

bool SimProcess::start(const QStringList &arguments)
{
    QObject::connect(&process, &QProcess::readyReadStandardOutput, &process, [this] {
        m_pending += process.readAllStandardOutput();
        for (qsizetype end; (end = m_pending.indexOf('\n')) >= 0; m_pending.remove(0, end + 1))
            lines.append(QString::fromUtf8(m_pending.left(end)));
    });
    QObject::connect(&process, &QProcess::readyReadStandardError, &process, [this] {
        errorOutput += QString::fromLocal8Bit(process.readAllStandardError());
    });
    process.start(program(), arguments);
    (void)QTest::qWaitFor(
        [this] { return count(u"READY"_s) > 0 || process.state() == QProcess::NotRunning; }, 10000);
    return count(u"READY"_s) > 0;
}

QStringList SimProcess::values(const QString &kind) const
{
    QStringList result;
    for (const QString &line : lines) {
        if (line == kind || line.startsWith(kind + u' '))
            result.append(line.mid(kind.size() + 1));
    }
    return result;
}

QByteArray SimProcess::received() const
{
    QByteArray bytes;
    for (const QString &hex : values(u"RX"_s))
        bytes += QByteArray::fromHex(hex.toLatin1());
    return bytes;
}
