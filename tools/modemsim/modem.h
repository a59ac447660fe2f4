#pragma once

#include "script.h"
#include "simoptions.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

// A Hayes modem with the provider's message centre behind it. In command
// mode it echoes and answers AT commands; a dial command gets the scripted
// call result after the connect delay; once connected it reads UCP frames
// and lets the centre answer each one after the reply delay. Closing the
// port hangs up. Every event is reported as one text line.
class Modem : public QObject
{
    Q_OBJECT

public:
    Modem(const SimOptions &options, QObject *parent = nullptr);

    void receive(const QByteArray &bytes);
    void hangUp();

signals:
    // Bytes for the program.
    void transmit(const QByteArray &bytes);
    void report(const QString &line);

private:
    enum class State { Command, Dialling, Data };

    void commandByte(char byte, QByteArray *echo);
    void commandLine(const QByteArray &line);
    void abortDial();
    void answerDial();
    void dataByte(char byte);
    void frameReceived(const QByteArray &frame);
    void sendResult(const QByteArray &text);
    void sendReply(const QByteArray &frame);

    State m_state = State::Command;
    QByteArray m_line;
    QByteArray m_frame;
    bool m_inFrame = false;
    DialOutcome m_dialOutcome = DialOutcome::Connect;
    QTimer m_dialTimer;
    // Replies scheduled before a hang-up must not reach the next call.
    quint64 m_callId = 0;
    Script<DialOutcome> m_dialScript;
    Script<CentreAnswer> m_centreScript;
    int m_replyDelayMs;
};
