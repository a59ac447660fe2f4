#pragma once

#include "calldialogue.h"

#include <QString>

#include <functional>

// Where the SMPP centre is reached and how the session binds.
struct SmppAccount
{
    QString host;
    quint16 port = 0;
    QString systemId;
    QString password;
    QString systemType = {};
    QString sender = {};
    bool useTls = false;
    bool deliveryReports = true;
    // Keep the session bound between calls to receive messages and receipts.
    bool keepOpen = true;
    // submit_sm that may be unanswered at once (1 to 100).
    int window = 10;
};

class SmppDialogue;

// A session with an SMPP 3.4 centre over TCP/IP, with or without TLS.
class SmppDialogue final : public CallDialogue
{
    Q_OBJECT

public:
    // The account is read when a connection begins, so that changed
    // settings apply from the next connection on.
    explicit SmppDialogue(std::function<SmppAccount()> account, QObject *parent = nullptr);
    ~SmppDialogue() override;

    QString missingSetting() const override;
    void begin() override;
    void submit(const QueueEntry &entry) override;
    void end() override;
    bool severalPerCall() const override { return true; }
    bool takesLongMessages() const override { return true; }

private:
    std::function<SmppAccount()> m_account;
};
