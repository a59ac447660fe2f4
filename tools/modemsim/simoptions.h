#pragma once

#include "gsmoptions.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// How the modem answers one dial command.
enum class DialOutcome { Connect, Busy, NoCarrier, NoAnswer, NoDialtone, Silent };

// How the message centre answers one frame.
struct CentreAnswer
{
    enum Kind { Ack, Nack, Silent, Garbage };
    Kind kind = Ack;
    QByteArray errorCode; // two digits, for Nack only
};

struct SimOptions
{
    QString dir;
    int port = 0;
    QList<DialOutcome> dialScript{DialOutcome::Connect};
    QList<CentreAnswer> centreScript{CentreAnswer{}};
    int connectDelayMs = 300;
    int replyDelayMs = 50;
    QString logFile;
    GsmOptions gsm;
    QString helpText; // set instead of the rest when --help was asked for

    // Parses the program's arguments (arguments.first() is the program).
    // Returns nothing and sets *error for unusable input.
    static std::optional<SimOptions> parse(const QStringList &arguments, QString *error);
};
