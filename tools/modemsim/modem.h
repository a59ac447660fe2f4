#pragma once

#include "centredesk.h"
#include "script.h"
#include "simoptions.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

// A Hayes modem with the provider's message centre behind it. In command
// mode it echoes and answers AT commands; a dial command gets the scripted
// call result after the connect delay; once connected it hands the bytes to
// the centre, which answers each frame, as many as the call carries. Closing
// the port hangs up; a connection the centre drops ends with NO CARRIER.
// Every event is reported as one text line.
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
    void carrierLost();
    void sendResult(const QByteArray &text);

    State m_state = State::Command;
    QByteArray m_line;
    DialOutcome m_dialOutcome = DialOutcome::Connect;
    QTimer m_dialTimer;
    Script<DialOutcome> m_dialScript;
    CentreRun m_centre;
    CentreDesk m_desk;
};
