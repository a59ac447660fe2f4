#pragma once

#include <QCommandLineOption>
#include <QMap>
#include <QString>

#include <optional>

class QCommandLineParser;

// How the SMPP centre answers the submit_sm of one recipient.
struct SmppAnswer
{
    enum Kind { Ok, Status, Throttle, Silent };
    Kind kind = Ok;
    quint32 status = 0; // for Status
    int throttled = 0;  // for Throttle: so many submissions get 0x58 first
};

// The options of the SMPP 3.4 message centre (--smpp), beside the shared
// ones (--reply-delay, --outcome, --incoming, --keepalive-limit, --log).
struct SmppOptions
{
    // Listens on 127.0.0.1 at this port (0: any free port).
    std::optional<int> port;
    // A bind_transceiver must carry these when systemId is not empty.
    QByteArray systemId;
    QByteArray password;
    // Answers to submit_sm by recipient (digits, without "+" or "00"); ok
    // for the rest.
    QMap<QString, SmppAnswer> answers;
    // submit_sm_resp gives the message id in hex, the receipt in decimal.
    bool receiptIdDecimal = false;
    // The submissions of one read are answered in reverse order.
    bool shuffle = false;
    int receiptDelayMs = 200;
    // The centre's own enquire_link every so often (0: never); a session
    // that leaves one unanswered until the next is dropped.
    int enquireEveryMs = 0;
    // Long incoming messages carry the SAR options instead of a UDH.
    bool incomingSar = false;
    // Serve TLS with this certificate and private key (PEM), both or none.
    QString tlsCertificate;
    QString tlsKey;
};

// The recipient as the SMPP centre compares it: digits, without a leading
// "+" or "00".
QString smppNumberKey(const QString &number);

// Adds the SMPP options to the simulator's parser and reads them back.
class SmppOptionParser
{
public:
    explicit SmppOptionParser(QCommandLineParser &parser);
    bool isSet() const;
    // After a successful parse: the options, or false and *error.
    bool read(SmppOptions *options, QString *error) const;

private:
    QCommandLineParser &m_parser;
    QCommandLineOption m_smpp;
    QCommandLineOption m_systemId;
    QCommandLineOption m_answer;
    QCommandLineOption m_receiptIdDecimal;
    QCommandLineOption m_shuffle;
    QCommandLineOption m_receiptDelay;
    QCommandLineOption m_enquireEvery;
    QCommandLineOption m_incomingSar;
    QCommandLineOption m_tlsCert;
    QCommandLineOption m_tlsKey;
};
