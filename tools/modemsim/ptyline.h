#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

class QSocketNotifier;

// The simulator's end of a pseudo-terminal. The program under test opens the
// slave device as its serial port; this class holds the master, tells when
// the program opens and closes the port and carries the bytes both ways.
class PtyLine : public QObject
{
    Q_OBJECT

public:
    explicit PtyLine(QObject *parent = nullptr);
    ~PtyLine() override;

    // Makes a new pseudo-terminal; also after unplug().
    bool create(QString *error);
    // The device goes away: the master closes, which the program's open port
    // sees as an I/O error. Nothing is sent or reported until create().
    void unplug();
    QString slavePath() const { return m_slavePath; }
    // True while the program has the port open.
    bool isOpen() const { return m_open; }
    // Bytes for the program; dropped while the port is closed, since the
    // kernel would keep them for whoever opens the port next.
    void send(const QByteArray &bytes);

signals:
    void opened();
    void received(const QByteArray &bytes);
    void hungUp();

private:
    void readMaster();
    void setOpen(bool open);
    void writePending();
    void discardStaleInput();

    int m_master = -1;
    QString m_slavePath;
    bool m_open = false;
    QByteArray m_pending;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    QTimer m_closedPoll;
};
