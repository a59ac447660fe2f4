#pragma once

#include "calldialogue.h"
#include "fakeclock.h"
#include "qtserialline.h"
#include "sendengine.h"
#include "sendlog.h"
#include "settings.h"
#include "simprocess.h"
#include "storeconnection.h"
#include "testdb.h"

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// What the end-to-end tests of the engine share: one Daten.mdb in a folder
// of its own, one simulator, one engine on a real serial line (or a TCP/IP
// dialogue), the send log. The engine is declared last: it goes first, while
// the dialogue it drives is still there.
struct EngineRig
{
    // Daten.mdb with this settings row, read, and the send log on it.
    bool openStore(const TestDb::Settings &row)
    {
        const QString path = TestDb::create(dir.path(), row);
        settings = std::make_unique<Settings>(path);
        connection = std::make_unique<StoreConnection>(path, QStringLiteral("sendlog"));
        log = std::make_unique<SendLog>(connection->database());
        return settings->reload();
    }
    // The engine on this dialogue, which the rig keeps.
    template <typename Dialogue> Dialogue *drive(std::unique_ptr<Dialogue> chosen)
    {
        Dialogue *kept = chosen.get();
        dialogue = std::move(chosen);
        engine = std::make_unique<SendEngine>(&queue, log.get(), dialogue.get(), &clock);
        return kept;
    }
    // Each logged row as "<number> <status>", or "<text> <status>".
    QStringList logged(bool byText = false) const
    {
        QStringList result;
        for (const LogRow &row : log->readAll())
            result.append((byText ? row.nachricht : row.mobilNummer) + u' ' + row.versandt);
        return result;
    }

    QTemporaryDir dir;
    std::unique_ptr<Settings> settings;
    OutgoingQueue queue;
    QtSerialLine line;
    FakeClock clock;
    SimProcess sim;
    std::unique_ptr<StoreConnection> connection;
    std::unique_ptr<SendLog> log;
    std::unique_ptr<CallDialogue> dialogue;
    std::unique_ptr<SendEngine> engine;
};
