#pragma once

#include <QHash>
#include <QString>

#include <memory>
#include <optional>

class StoreConnection;

// What a GSM modem has taken of a message sent in several concatenated
// parts, kept per queue entry so that a retry of the entry sends only the
// parts still missing, under the same reference: a phone that holds part 1
// then completes the message instead of keeping an orphan and later a second
// copy of the whole text. It also hands out the references, one per
// message, so that a receiver never mixes the parts of two messages.
//
// Both outlive the program in Daten.mdb: the parts in two columns of the
// entry's row of PendingMessages (added when first needed, and gone with
// the row when the entry is logged), the next reference in the one-row
// table GsmConcatenation (made when first needed). Without a file, or when
// it cannot be written, everything is kept in memory for the run.
class ConcatenationProgress
{
public:
    struct Parts
    {
        quint8 reference = 0;
        int accepted = 0; // the parts the modem took, from the first on
    };

    // An empty path keeps everything in memory.
    explicit ConcatenationProgress(const QString &databasePath = {});
    ~ConcatenationProgress();
    ConcatenationProgress(const ConcatenationProgress &) = delete;
    ConcatenationProgress &operator=(const ConcatenationProgress &) = delete;

    // What was taken of the entry, nothing when no part of it was.
    std::optional<Parts> parts(quint64 entryId);
    void setParts(quint64 entryId, Parts parts);
    // The entry is done with (all parts taken, or refused for good).
    void forget(quint64 entryId);
    // The reference of the next message in several parts.
    quint8 takeReference();

private:
    bool ensureColumns();
    bool storeParts(quint64 entryId, const std::optional<Parts> &parts);

    std::unique_ptr<StoreConnection> m_connection;
    QHash<quint64, Parts> m_parts;
    std::optional<quint8> m_nextReference;
    bool m_columnsChecked = false;
};
