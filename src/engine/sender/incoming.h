#pragma once

#include "twowaytables.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// A message the modem or the centre handed in, decoded and (for a message
// in several parts) joined.
struct ReceivedMessage
{
    QString sender; // digits with "+" for an international number, or a name
    QString text;
    QDateTime sentAt = {}; // the centre's time stamp
    // A part stayed missing: the text carries a mark where it belongs.
    bool incomplete = false;
};

// A delivery report for one sent part, named as the dialogue named it in
// the submission's Result (the recipient and the reference).
struct DeliveryReport
{
    QString recipient;
    QString reference;
    DeliveryState state = DeliveryState::Pending;
    QDateTime at = {};
    QString detail = {}; // the reason in German, for a part not (yet) delivered
    // Other ways the same reference may have been stored (an SMPP centre
    // that writes a message id in hex in one place and in decimal in the
    // other); tried in order after reference.
    QStringList otherReferences = {};
};

// Where a dialogue hands in what comes back from the network. Each call
// returns once the item is committed to Daten.mdb (true) or could not be
// stored (false): only after true may the modem delete its copy or the
// centre be told that it arrived; after false the modem keeps it and the
// centre is answered so that it tries again.
class IncomingSink
{
public:
    virtual ~IncomingSink() = default;
    virtual bool storeMessage(const ReceivedMessage &message) = 0;
    virtual bool storeReport(const DeliveryReport &report) = 0;
};
