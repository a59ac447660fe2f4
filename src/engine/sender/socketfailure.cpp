#include "socketfailure.h"

#include <QCoreApplication>

QString socketFailure(QAbstractSocket::SocketError error, const QString &host, quint16 port,
                      const QString &errorString)
{
    const QString where = host + u':' + QString::number(port);
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return QCoreApplication::translate("SocketFailure", "Server %1 verweigert die Verbindung")
            .arg(where);
    case QAbstractSocket::HostNotFoundError:
        return QCoreApplication::translate("SocketFailure", "Server %1 nicht gefunden").arg(host);
    case QAbstractSocket::RemoteHostClosedError:
        return connectionLost();
    case QAbstractSocket::SocketTimeoutError:
        return QCoreApplication::translate("SocketFailure", "Server %1 antwortet nicht").arg(where);
    default:
        return QCoreApplication::translate("SocketFailure", "Verbindungsfehler mit %1: %2")
            .arg(where, errorString);
    }
}

QString connectionLost()
{
    return QCoreApplication::translate("SocketFailure", "Verbindung zum Server unterbrochen");
}
