#pragma once

#include "gsmoptions.h"
#include "pdudecoder.h"
#include "script.h"

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QString>

struct SimOptions;
class DeviceLink;
class PtyLine;
class Reporter;

// A GSM modem with a SIM that sends SMS in PDU mode (AT commands of
// TS 27.005): echo (ATE), error reports (AT+CMEE), the SIM PIN (AT+CPIN),
// the message format (AT+CMGF), the service centre (AT+CSCA) and AT+CMGS,
// which prompts with "> ", takes the PDU in hex up to Ctrl-Z (ESC cancels),
// decodes it and answers after the reply delay as scripted. The modem keeps
// its settings and the SIM its state while the port is closed, as a powered
// modem does. Every event is reported as one text line.
//
// It receives too: the indications of AT+CNMI (as offered by --cnmi), one
// storage for every AT+CPMS, AT+CMGR, AT+CMGD and AT+CMGL=4. A message sent
// with TP-SRR is reported on as scripted per number: as +CDS with the PDU
// when the program chose ds=1, stored with +CDSI for ds=2. Incoming messages
// are stored part by part, each with +CMTI when mt=1. Message service 0
// (+CSMS) needs no AT+CNMA, which is refused with CMS 340 accordingly.
class GsmModem : public QObject
{
    Q_OBJECT

public:
    explicit GsmModem(const SimOptions &options, QObject *parent = nullptr);

    void receive(const QByteArray &bytes);
    void opened();
    void hangUp();

signals:
    // Bytes for the program.
    void transmit(const QByteArray &bytes);
    void report(const QString &line);

private:
    enum class Sim { PinRequired, Ready, PukRequired };
    enum class Input { Command, Pdu };

    void commandByte(char byte, QByteArray *echo);
    void commandLine(const QByteArray &line);
    void pinEntered(const QString &pin);
    void pduByte(char byte, QByteArray *echo);
    void pduComplete();
    void partAccepted(const QString &key, const SmsPdu::Submit &sms);
    // Info lines (may be empty) followed by a final result, after the
    // unsolicited lines.
    void respond(const QList<QByteArray> &lines);
    void sendUnsolicited();
    QByteArray cmeError(int code) const;
    void setIndications(const QByteArray &values);
    // Stores a PDU; its index, or 0 when the storage is full.
    int store(const QString &kind, const QByteArray &hex, int tpduLength);
    void storeMessage(const QString &item, const QString &why);
    void scheduleReports(const SmsPdu::Submit &sms, int reference);
    // A line the modem sends on its own, held back while a PDU is typed.
    void indicate(const QByteArray &line);

    struct Parts
    {
        QString encoding;
        QMap<int, QString> texts; // by part number
    };

    Sim m_sim = Sim::Ready;
    Input m_input = Input::Command;
    QString m_pin;
    int m_wrongPins = 0;
    bool m_echo = true;
    int m_errorMode = 0; // AT+CMEE
    QString m_centre;
    QByteArray m_line;
    QByteArray m_pdu;
    int m_tpduLength = 0;
    quint8 m_messageReference = 0;
    // Answers scheduled before a hang-up must not reach the next session.
    quint64 m_session = 0;
    Script<CmgsAnswer> m_cmgsScript;
    QStringList m_unsolicited;
    int m_replyDelayMs;
    // Parts of concatenated messages that the network took, until the last
    // one arrives; by recipient, reference and part count.
    QMap<QString, Parts> m_pending;

    struct Stored
    {
        QString kind; // "deliver" or "report"
        bool read = false;
        QByteArray hex;
        int tpduLength = 0;
    };
    static constexpr int storageSize = 30;
    QMap<int, Stored> m_storage;
    bool m_open = false;
    QString m_cnmi;
    int m_mt = 0;
    int m_ds = 0;
    QByteArray m_deferred;
    QMap<QString, QList<int>> m_outcomes;
    int m_reportDelayMs;
    QStringList m_incoming;
    int m_incomingDelayMs;
    int m_incomingReference = 0;
};

// Runs the simulator in GSM modem mode on line, reached through link, until
// it is asked to end; the exit status of the event loop.
int runGsmModem(const SimOptions &options, PtyLine &line, DeviceLink &link, Reporter &reporter);
