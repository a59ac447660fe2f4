#pragma once

#include <QByteArray>
#include <QCommandLineOption>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

class QCommandLineParser;

// How the GSM modem answers one PDU after AT+CMGS.
struct CmgsAnswer
{
    enum Kind { Ok, CmsError, Error, Silent };
    Kind kind = Ok;
    int code = 0; // for CmsError only
};

// The options of the GSM modem mode: a modem with a SIM that takes SMS in
// PDU mode instead of a Hayes modem that dials a UCP message centre.
struct GsmOptions
{
    bool enabled = false;
    QString pin;                                     // empty: the SIM asks for none
    QString centre = QStringLiteral("+41794999000"); // answered to AT+CSCA?
    QList<CmgsAnswer> cmgsScript{CmgsAnswer{}};
    QStringList unsolicited; // lines sent before every answer
    // The answer to AT+CNMI=? after "+CNMI: "; empty: ERROR.
    QString cnmi = QStringLiteral("(0-2),(0-3),(0-3),(0-2),(0,1)");
    // TP-ST values of the status reports on a message to each number, one
    // report after another; a number not listed is delivered.
    QMap<QString, QList<int>> outcomes;
    int reportDelayMs = 100;
    // Messages sent to the SIM, "SENDER=TEXT": stored with +CMTI once the
    // program has asked for that indication (AT+CNMI), after incomingDelayMs.
    QStringList incoming;
    int incomingDelayMs = 200;
    // Messages in the SIM's storage from the start.
    QStringList waiting;
};

// Adds the GSM options to the simulator's parser and reads them back.
class GsmOptionParser
{
public:
    explicit GsmOptionParser(QCommandLineParser &parser);
    // After a successful parse: the options, or false and *error.
    bool read(GsmOptions *options, QString *error) const;

private:
    QCommandLineParser &m_parser;
    QCommandLineOption m_gsm;
    QCommandLineOption m_pin;
    QCommandLineOption m_centre;
    QCommandLineOption m_cmgs;
    QCommandLineOption m_urc;
    QCommandLineOption m_cnmi;
    QCommandLineOption m_outcome;
    QCommandLineOption m_reportDelay;
    QCommandLineOption m_incomingDelay;
    QCommandLineOption m_waiting;
};
