#include "keychainsecretstore.h"

#include <qt6keychain/keychain.h>

using namespace Qt::StringLiterals;

namespace {

const QString service = u"Funkbote"_s;

SecretStore::Outcome outcomeOf(const QKeychain::Job *job)
{
    switch (job->error()) {
    case QKeychain::NoError:
        return SecretStore::Outcome::Ok;
    case QKeychain::EntryNotFound:
        return SecretStore::Outcome::NotFound;
    default:
        // No session bus, no Secret Service, a locked keyring the user
        // would not open: for the program all the same, no keyring.
        return SecretStore::Outcome::NoKeyring;
    }
}

} // namespace

void KeychainSecretStore::read(const QString &key)
{
    auto *job = new QKeychain::ReadPasswordJob(service, this);
    job->setKey(key);
    connect(job, &QKeychain::Job::finished, this, [this, key](QKeychain::Job *done) {
        const auto *readJob = static_cast<QKeychain::ReadPasswordJob *>(done);
        const Outcome outcome = outcomeOf(readJob);
        Q_EMIT readDone(key, outcome, outcome == Outcome::Ok ? readJob->textData() : QString());
    });
    job->start();
}

void KeychainSecretStore::write(const QString &key, const QString &value)
{
    auto *job = new QKeychain::WritePasswordJob(service, this);
    job->setKey(key);
    job->setTextData(value);
    connect(job, &QKeychain::Job::finished, this,
            [this, key](QKeychain::Job *done) { Q_EMIT writeDone(key, outcomeOf(done)); });
    job->start();
}

void KeychainSecretStore::remove(const QString &key)
{
    auto *job = new QKeychain::DeletePasswordJob(service, this);
    job->setKey(key);
    job->start();
}
