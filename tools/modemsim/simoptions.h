#pragma once

#include "gsmoptions.h"
#include "smppoptions.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// How the modem answers one dial command.
enum class DialOutcome { Connect, Busy, NoCarrier, NoAnswer, NoDialtone, Silent };

// How the message centre answers one frame.
struct CentreAnswer
{
    // OtherTrnAck: a positive result carrying the TRN before the frame's
    // instead of its own, and nothing else.
    enum Kind { Ack, Nack, Silent, Garbage, OtherTrnAck };
    Kind kind = Ack;
    QByteArray errorCode; // two digits, for Nack only
    // "31" (alert) or "53" (delivery notification): an operation of the
    // centre's own that goes to the program before the answer; empty for none.
    QByteArray ownOperation;
    // A late negative result (02) for the TRN before the frame's goes out
    // first, as for an earlier operation answered twice.
    bool lateFirst = false;
};

// How the centre reports on a message to one number (operation 53):
// Dst 0 delivered, 1 buffered, 2 not delivered, with the reason code.
struct ReportOutcome
{
    int dst = 0;
    QByteArray reason = "000";
};

// A message the centre hands to the program (operation 52).
struct IncomingScript
{
    QString sender;
    QString text;
};

struct SimOptions
{
    QString dir;
    int port = 0;
    QList<DialOutcome> dialScript{DialOutcome::Connect};
    QList<CentreAnswer> centreScript{CentreAnswer{}};
    // Answers to logins whose account and password fit, one per login.
    QList<CentreAnswer> loginScript{CentreAnswer{}};
    int connectDelayMs = 300;
    int replyDelayMs = 50;
    QString logFile;
    GsmOptions gsm;
    QString helpText; // set instead of the rest when --help was asked for

    // TCP message centre instead of the modem: listens on 127.0.0.1 at this
    // port (0: any free port); dir and port are not used then.
    std::optional<int> tcpPort;
    // A session login (operation 60) with these is required when account is
    // set; the password may be empty.
    QByteArray account;
    QByteArray password;
    // The answer to this submission of the run is cut off halfway and the
    // connection dropped, once; 0 never.
    int dropAfter = 0;
    // The device goes away when the frame of this number arrives (0 never):
    // the pseudo-terminal closes unanswered and the COMn link is removed,
    // like a USB modem pulled out mid-call. It comes back, with a new
    // pseudo-terminal under the same link, after replugMs (0: never).
    int unplugAtFrame = 0;
    int replugMs = 0;
    // Bytes go both ways no faster than a line of this speed carries them
    // (10 bits a byte); 0 passes them on at once.
    int baud = 0;

    // TCP centre, two-way: the outcome that operation 53 reports for a
    // message with NRq, by recipient (its digits); delivered for the rest.
    QMap<QString, ReportOutcome> outcomes;
    // Messages sent to the program once per run, incomingAfterMs after the
    // first session is open (logged in, or connected when no login is
    // required).
    QList<IncomingScript> incoming;
    int incomingAfterMs = 0;
    // The session is dropped when no operation of the program arrives for
    // this long (0: never): the program must keep it alive.
    int keepAliveLimitMs = 0;

    // SMPP 3.4 message centre instead of the modem (--smpp); it shares the
    // reply delay, --outcome, --incoming and the keep-alive limit above.
    SmppOptions smpp;

    // Parses the program's arguments (arguments.first() is the program).
    // Returns nothing and sets *error for unusable input.
    static std::optional<SimOptions> parse(const QStringList &arguments, QString *error);
};
