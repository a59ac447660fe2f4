#include "demomodem.h"

#include "newstore.h"
#include "schema.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>

using namespace Qt::StringLiterals;

DemoModem::DemoModem(QString simulatorPath, QObject *parent)
    : QObject(parent), m_simulatorPath(std::move(simulatorPath)),
      m_folder(QDir::temp().filePath(u"funkbote-demo-XXXXXX"_s))
{
    m_simulator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(&m_simulator, &QProcess::readyReadStandardOutput, this, &DemoModem::readOutput);
    connect(&m_simulator, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            fail(u"Der Modem-Simulator \"%1\" kann nicht gestartet werden: %2"_s.arg(
                QDir::toNativeSeparators(m_simulatorPath), m_simulator.errorString()));
    });
    connect(&m_simulator, &QProcess::finished, this, [this](int exitCode) {
        if (!m_ready)
            fail(u"Der Modem-Simulator hat sich vorzeitig beendet (Exit-Code %1)."_s.arg(exitCode));
    });
    m_timeout.setSingleShot(true);
    connect(&m_timeout, &QTimer::timeout, this,
            [this] { fail(u"Der Modem-Simulator meldet sich nicht."_s); });
}

DemoModem::~DemoModem()
{
    // The simulator must not outlive the demo. This runs when the program
    // ends, after its event loop: the killed child is reaped at once, as
    // QProcess's own destructor would do (without its warning).
    m_simulator.disconnect(this);
    if (m_simulator.state() != QProcess::NotRunning) {
        m_simulator.kill();
        m_simulator.waitForFinished();
    }
}

QString DemoModem::findSimulator(const QString &programDir)
{
    const QDir dir(programDir);
    const QString beside = dir.filePath(u"modemsim"_s);
    if (QFileInfo(beside).isExecutable())
        return beside;
    return QDir::cleanPath(
        dir.filePath(QStringLiteral(FUNKBOTE_LIBEXEC_FROM_BIN) + u"/modemsim"_s));
}

QString DemoModem::prepare()
{
    if (!m_folder.isValid())
        return u"Der Ordner für die Demo kann nicht angelegt werden: %1"_s.arg(
            m_folder.errorString());
    const QString error =
        NewStore::create(QDir(folder()).filePath(Schema::fileName), providerNumber);
    if (!error.isEmpty())
        return u"Die Daten für die Demo können nicht angelegt werden: %1"_s.arg(error);
    return QString();
}

void DemoModem::start(int timeoutMs)
{
    m_timeout.start(timeoutMs);
    m_simulator.start(m_simulatorPath,
                      {u"--dir"_s, folder(), u"--port"_s, u"1"_s, u"--connect-delay"_s, u"1000"_s});
}

void DemoModem::readOutput()
{
    while (m_simulator.canReadLine()) {
        const QByteArray line = m_simulator.readLine();
        if (m_ready) {
            std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
            std::fflush(stdout);
        } else if (line.startsWith("READY ") && !m_failed) {
            m_ready = true;
            m_timeout.stop();
            Q_EMIT ready();
        }
    }
}

void DemoModem::fail(const QString &message)
{
    if (m_failed || m_ready)
        return;
    m_failed = true;
    m_timeout.stop();
    m_simulator.kill();
    Q_EMIT failed(message + u"\n\nDie Demo wird beendet."_s);
}
