#include "demomodem.h"

#include "newstore.h"
#include "schema.h"
#include "storeconnection.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <cstdio>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

DemoModem::DemoModem(QString simulatorPath, ConnectionKind kind, QObject *parent)
    : QObject(parent), m_simulatorPath(std::move(simulatorPath)), m_kind(kind),
      m_folder(QDir::temp().filePath(u"funkbote-demo-XXXXXX"_s))
{
    m_simulator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(&m_simulator, &QProcess::readyReadStandardOutput, this, &DemoModem::readOutput);
    connect(&m_simulator, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            fail(tr("Der Modem-Simulator \"%1\" kann nicht gestartet werden: %2")
                     .arg(QDir::toNativeSeparators(m_simulatorPath), m_simulator.errorString()));
    });
    connect(&m_simulator, &QProcess::finished, this, [this](int exitCode) {
        if (!m_ready)
            fail(
                tr("Der Modem-Simulator hat sich vorzeitig beendet (Exit-Code %1).").arg(exitCode));
    });
#ifdef Q_OS_LINUX
    // The simulator ends with this process however it ends, also by a kill
    // that runs no destructor. Asked for in the child before the simulator
    // runs, so that no moment is left where the program could be gone
    // unnoticed; the simulator asks again itself.
    m_simulator.setChildProcessModifier([parent = ::getpid()] {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::_exit(1);
    });
#endif
    m_timeout.setSingleShot(true);
    connect(&m_timeout, &QTimer::timeout, this,
            [this] { fail(tr("Der Modem-Simulator meldet sich nicht.")); });
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
        return tr("Der Ordner für die Demo kann nicht angelegt werden: %1")
            .arg(m_folder.errorString());
    const QString path = QDir(folder()).filePath(Schema::fileName);
    QString error = NewStore::create(path, providerNumber);
    if (error.isEmpty()) {
        StoreConnection store(path, u"Demo"_s);
        QSqlQuery person(store.database());
        if (!store.isOpen())
            error = store.lastError();
        else if (!person.prepare(u"INSERT INTO Adressen (Name, Adresse, PLZOrt, NatelNummer) "
                                 u"VALUES (?, ?, ?, ?)"_s))
            error = person.lastError().text();
        else {
            for (const QString &value :
                 {personName, u"Bahnhofstrasse 1"_s, u"8001 Zürich"_s, personNumber})
                person.addBindValue(value);
            if (!person.exec())
                error = person.lastError().text();
        }
    }
    if (!error.isEmpty())
        return tr("Die Daten für die Demo können nicht angelegt werden: %1").arg(error);
    return QString();
}

ConnectionKind DemoModem::kindOf(const QString &demoConnection)
{
    if (demoConnection == u"tcp"_s)
        return ConnectionKind::Tcp;
    if (demoConnection == u"gsm"_s)
        return ConnectionKind::Gsm;
    if (demoConnection == u"smpp"_s)
        return ConnectionKind::Smpp;
    return ConnectionKind::DialUp;
}

void DemoModem::start(int timeoutMs)
{
    m_timeout.start(timeoutMs);
    QStringList arguments;
    switch (m_kind) {
    case ConnectionKind::DialUp:
        arguments = {u"--dir"_s, folder(), u"--port"_s, u"1"_s, u"--connect-delay"_s, u"1000"_s};
        break;
    case ConnectionKind::Tcp:
        arguments = {u"--tcp"_s,
                     u"0"_s,
                     u"--account"_s,
                     account,
                     u"--password"_s,
                     password,
                     u"--incoming"_s,
                     personReply,
                     u"--incoming-after"_s,
                     QString::number(replyAfterMs)};
        break;
    case ConnectionKind::Gsm:
        arguments = {u"--gsm"_s,
                     u"--dir"_s,
                     folder(),
                     u"--port"_s,
                     u"1"_s,
                     u"--incoming"_s,
                     personReply,
                     u"--incoming-delay"_s,
                     QString::number(replyAfterMs)};
        break;
    case ConnectionKind::Smpp:
        arguments = {u"--smpp"_s,           u"0"_s,
                     u"--system-id"_s,      systemId,
                     u"--password"_s,       password,
                     u"--incoming"_s,       personReply,
                     u"--incoming-after"_s, QString::number(replyAfterMs)};
        break;
    }
    m_simulator.start(m_simulatorPath, arguments);
}

bool DemoModem::configure(const QByteArray &readyLine)
{
    ConnectionValues values;
    values.kind = m_kind;
    if (m_kind == ConnectionKind::Tcp || m_kind == ConnectionKind::Smpp) {
        // "READY 127.0.0.1:PORT"
        const QByteArray address = readyLine.mid(6).trimmed();
        const qsizetype colon = address.lastIndexOf(':');
        bool ok = false;
        const int port = colon < 0 ? 0 : address.mid(colon + 1).toInt(&ok);
        if (!ok || port < 1 || port > 65535) {
            fail(tr("Der Simulator nennt keinen TCP-Port: %1").arg(QString::fromUtf8(readyLine)));
            return false;
        }
        values.server = QString::fromLatin1(address.left(colon));
        values.tcpPort = port;
    }
    if (m_kind == ConnectionKind::Tcp) {
        values.account = account;
        values.password = password;
    } else if (m_kind == ConnectionKind::Smpp) {
        values.systemId = systemId;
        values.smppPassword = password;
        values.smppWindow = 10;
        values.deliveryReports = true;
    }
    if (values == ConnectionValues())
        return true; // the dial-up line is what a new file has anyway
    ConnectionSettings settings(QDir(folder()).filePath(Schema::fileName), nullptr);
    if (!settings.save(values)) {
        fail(tr("Die Daten für die Demo können nicht angelegt werden: %1")
                 .arg(settings.lastError()));
        return false;
    }
    return true;
}

void DemoModem::readOutput()
{
    while (m_simulator.canReadLine()) {
        const QByteArray line = m_simulator.readLine();
        if (m_ready) {
            std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
            std::fflush(stdout);
        } else if (line.startsWith("READY ") && !m_failed) {
            if (!configure(line))
                return;
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
    Q_EMIT failed(message + u"\n\n"_s + tr("Die Demo wird beendet."));
}
