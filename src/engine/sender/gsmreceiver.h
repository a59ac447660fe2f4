#pragma once

#include "atchannel.h"
#include "partcollector.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class IncomingSink;

// What a GSM modem receives, on the AtChannel of the dialogue that sends
// through it (TS 27.005 in PDU mode):
//
// - The set-up, once the modem is in PDU mode: AT+CNMI=? tells which
//   indications the modem has; the receiver asks for +CMTI for each message
//   stored and for status reports as +CDS (the PDU itself) where the modem
//   has it, else as +CDSI (stored). AT+CPMS chooses the SIM's storage ("SM")
//   or the first the modem lists. Then AT+CMGL=4 reads what waits there.
//   A modem that refuses these still sends; it only reports nothing, which
//   the trace says.
// - A stored message or report (+CMTI, +CDSI, AT+CMGL) is read with
//   AT+CMGR, handed to the sink and deleted with AT+CMGD only once the sink
//   has committed it. The parts of a concatenated message are kept in the
//   modem until the joined message is stored; parts still incomplete after
//   24 hours are stored as they are, a mark for each missing part.
// - A +CDS report is handed to the sink straight away. The modem is left at
//   message service 0 (+CSMS), where such a report needs no AT+CNMA.
//
// A PDU that cannot be read is traced and left in the modem.
class GsmReceiver final : public QObject
{
    Q_OBJECT

public:
    static constexpr int expiryCheckMs = 60 * 60 * 1000;

    GsmReceiver(AtChannel *channel, std::function<IncomingSink *()> sink,
                QObject *parent = nullptr);

    // The commands of the set-up, then done(); the modem's indications are
    // followed from then on.
    void setUp(int commandTimeoutMs, std::function<void()> done);
    // The connection has closed: indications no longer count. Parts of
    // unfinished messages stay in memory (and in the modem).
    void stop();
    // Time for the 24-hour rule; the system's UTC time when unset.
    void setNow(std::function<QDateTime()> now) { m_now = std::move(now); }
    void setExpiryCheckMs(int ms) { m_expiryCheck.setInterval(ms); }
    // Messages waiting for parts.
    qsizetype pendingCount() const { return m_collector.pendingCount(); }

Q_SIGNALS:
    void traced(const QString &line);

private:
    // One stored item as AT+CMGR or AT+CMGL gave it.
    struct Stored
    {
        int index = 0;
        QByteArray pdu;
    };
    // The modem's indexes of the parts of one unfinished message.
    struct Parts
    {
        QString sender;
        QDateTime firstCame;
        QList<int> indexes;
    };

    void command(const QByteArray &text, std::function<void(const At::Response &)> onLine,
                 std::function<void(bool ok, const At::Response &)> onFinal);
    void askIndications();
    void chooseIndications(const QByteArray &supported);
    void askStorage();
    void listWaiting();
    void read(int index);
    void handleStored(const Stored &stored);
    void handleDeliver(int index, const Gsm::DeliverPdu &sms);
    bool storeReport(const Gsm::StatusReport &report);
    bool storeMessage(const Gsm::PartCollector::Message &message);
    void storeExpired();
    void remove(const QList<int> &indexes);
    QDateTime now() const;

    AtChannel *m_channel;
    std::function<IncomingSink *()> m_sink;
    std::function<QDateTime()> m_now;
    std::function<void()> m_done;
    int m_timeoutMs = 10'000;
    bool m_active = false;
    Gsm::PartCollector m_collector;
    QMap<QString, Parts> m_parts; // by sender, reference and total
    QTimer m_expiryCheck;
};
