#pragma once

#include "bytepacer.h"
#include "centredesk.h"
#include "simoptions.h"

#include <QObject>
#include <QTcpServer>

class QTcpSocket;

// The message centre reached over TCP/IP: listens on 127.0.0.1 and serves
// every connection with a CentreDesk of its own; script, login and the count
// of submissions are the run's. Reports OPEN and HANGUP for each connection
// (HANGUP followed by the run's STATS) and the bytes received as RX, besides
// the desk's lines.
class TcpCentre : public QObject
{
    Q_OBJECT

public:
    explicit TcpCentre(const SimOptions &options, QObject *parent = nullptr);

    // Port 0 takes any free port.
    bool listen(int port, QString *error);
    // "127.0.0.1:PORT" once listening.
    QString address() const;
    // The counts of the run as one STATS line.
    QString statsLine() const { return m_run.statsLine(); }

signals:
    void report(const QString &line);

private:
    void accept();

    QTcpServer m_server;
    CentreRun m_run;
    int m_baud;
};

// One connection of the program; deletes itself when it has ended.
class TcpConnection : public QObject
{
    Q_OBJECT

public:
    TcpConnection(QTcpSocket *socket, CentreRun &run, int baud, QObject *parent = nullptr);

signals:
    void report(const QString &line);

private:
    void drop();
    void ended();

    QTcpSocket *m_socket;
    CentreDesk m_desk;
    BytePacer m_fromProgram;
    BytePacer m_toProgram;
    bool m_dropping = false;
};
