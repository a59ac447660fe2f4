#pragma once

#include "connectionsettings.h"

#include <QObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

// The demo: a throw-away data folder with a fresh Daten.mdb that dials a
// demo provider number, and the modem simulator playing the modem on COM1
// in that folder; or playing a message centre on a free TCP port of this
// computer, which the folder's connection settings then name, with a demo
// account, over UCP or SMPP (a window of 10 and delivery receipts); or
// playing a GSM modem on COM1. The address book holds one person,
// whose reply the GSM modem and the centre deliver. ready() comes once the simulator has said
// READY; failed() carries a German message for the user. The simulator ends with this object, and
// the folder goes with it. After READY, the simulator's lines (every SMS it receives among them)
// are passed on to stdout.
class DemoModem : public QObject
{
    Q_OBJECT

public:
    static inline const QString providerNumber = QStringLiteral("0800 123 456");
    static inline const QString account = QStringLiteral("4179000000");
    static inline const QString password = QStringLiteral("demo");
    // The SMPP account: system_id and password of the bind.
    static inline const QString systemId = QStringLiteral("funkbote");
    // A person of the demo's address book, who answers half a minute after
    // the start over the kinds that receive.
    static inline const QString personName = QStringLiteral("Anna Muster");
    static inline const QString personNumber = QStringLiteral("079 123 45 67");
    static inline const QString personReply =
        QStringLiteral("+41791234567=Danke, ist angekommen. Bis später!");
    static constexpr int replyAfterMs = 30000;

    explicit DemoModem(QString simulatorPath, ConnectionKind kind = ConnectionKind::DialUp,
                       QObject *parent = nullptr);
    ~DemoModem() override;

    // The simulator beside the program (a build folder), or where the
    // installed package puts it.
    static QString findSimulator(const QString &programDir);
    // The kind --demo-connection names (modem, tcp, gsm or smpp).
    static ConnectionKind kindOf(const QString &demoConnection);

    // Makes the folder and its Daten.mdb; an empty string on success,
    // otherwise the message for the user.
    QString prepare();
    QString folder() const { return m_folder.path(); }

    // Starts the simulator; ready() or failed() follows, failed() also when
    // no READY has come within timeoutMs.
    void start(int timeoutMs = 10000);

Q_SIGNALS:
    void ready();
    void failed(const QString &message);

private:
    void readOutput();
    void fail(const QString &message);
    // Writes the kind into the folder's connection settings once the
    // simulator has said where it is; false after failed().
    bool configure(const QByteArray &readyLine);

    QString m_simulatorPath;
    ConnectionKind m_kind;
    QTemporaryDir m_folder;
    QProcess m_simulator;
    QTimer m_timeout;
    bool m_ready = false;
    bool m_failed = false;
};
