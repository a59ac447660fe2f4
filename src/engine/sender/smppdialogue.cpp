#include "smppdialogue.h"

SmppDialogue::SmppDialogue(std::function<SmppAccount()> account, QObject *parent)
    : CallDialogue(parent), m_account(std::move(account))
{
}

SmppDialogue::~SmppDialogue() = default;

QString SmppDialogue::missingSetting() const
{
    return tr("SMPP wird noch eingerichtet");
}

void SmppDialogue::begin()
{
    Q_EMIT failed(missingSetting());
}

void SmppDialogue::submit(const QueueEntry &entry)
{
    Q_UNUSED(entry);
}

void SmppDialogue::end() {}
