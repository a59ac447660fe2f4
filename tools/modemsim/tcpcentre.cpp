#include "tcpcentre.h"

#include <QTcpSocket>

using namespace Qt::StringLiterals;

TcpCentre::TcpCentre(const SimOptions &options, QObject *parent)
    : QObject(parent), m_run(options), m_baud(options.baud)
{
    connect(&m_server, &QTcpServer::newConnection, this, &TcpCentre::accept);
}

bool TcpCentre::listen(int port, QString *error)
{
    if (m_server.listen(QHostAddress::LocalHost, quint16(port)))
        return true;
    *error = u"127.0.0.1:"_s + QString::number(port) + u": "_s + m_server.errorString();
    return false;
}

QString TcpCentre::address() const
{
    return u"127.0.0.1:"_s + QString::number(m_server.serverPort());
}

void TcpCentre::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        auto *connection = new TcpConnection(socket, m_run, m_baud, this);
        connect(connection, &TcpConnection::report, this, [this](const QString &line) {
            emit report(line);
            if (line == u"HANGUP"_s)
                emit report(m_run.statsLine());
        });
        emit report(u"OPEN"_s);
    }
}

TcpConnection::TcpConnection(QTcpSocket *socket, CentreRun &run, int baud, QObject *parent)
    : QObject(parent), m_socket(socket), m_desk(run), m_fromProgram(baud), m_toProgram(baud)
{
    m_socket->setParent(this);
    connect(m_socket, &QTcpSocket::readyRead, this, [this] {
        const QByteArray bytes = m_socket->readAll();
        // After the drop nothing more reaches the centre.
        if (m_dropping)
            return;
        emit report(u"RX "_s + QString::fromLatin1(bytes.toHex().toUpper()));
        m_fromProgram.push(bytes);
    });
    connect(&m_fromProgram, &BytePacer::paced, &m_desk, &CentreDesk::receive);
    connect(&m_desk, &CentreDesk::transmit, &m_toProgram, &BytePacer::push);
    connect(&m_toProgram, &BytePacer::paced, m_socket,
            [this](const QByteArray &bytes) { m_socket->write(bytes); });
    connect(&m_desk, &CentreDesk::report, this, &TcpConnection::report);
    connect(&m_desk, &CentreDesk::dropRequested, this, &TcpConnection::drop);
    connect(&m_toProgram, &BytePacer::drained, this, [this] {
        if (m_dropping)
            m_socket->disconnectFromHost();
    });
    connect(m_socket, &QTcpSocket::disconnected, this, &TcpConnection::ended);
}

void TcpConnection::drop()
{
    m_dropping = true;
    m_fromProgram.clear();
    // The half answer goes out first; closing flushes what the socket holds.
    if (m_toProgram.isEmpty())
        m_socket->disconnectFromHost();
}

void TcpConnection::ended()
{
    m_fromProgram.clear();
    m_toProgram.clear();
    m_desk.reset();
    emit report(u"HANGUP"_s);
    deleteLater();
}
