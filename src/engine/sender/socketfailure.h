#pragma once

#include <QAbstractSocket>
#include <QString>

// Why a TCP/IP connection to the message centre failed, in German as the
// status line names it; the same for every kind that reaches the centre
// over the internet. errorString: the socket's own text, for the rare errors.
QString socketFailure(QAbstractSocket::SocketError error, const QString &host, quint16 port,
                      const QString &errorString);
// The centre or the network closed a connection that stood.
QString connectionLost();
