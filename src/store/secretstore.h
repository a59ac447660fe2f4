#pragma once

#include <QObject>
#include <QString>

// Where secrets (a password, a SIM PIN) are kept outside Daten.mdb: the
// desktop's keyring. Every call answers later by a signal, since a keyring
// may have to be started or unlocked first.
class SecretStore : public QObject
{
    Q_OBJECT

public:
    enum class Outcome {
        Ok,
        NotFound,  // the keyring answers, but holds no such entry
        NoKeyring, // no keyring is running, or it refused to answer
    };
    Q_ENUM(Outcome)

    using QObject::QObject;

    virtual void read(const QString &key) = 0;
    virtual void write(const QString &key, const QString &value) = 0;
    virtual void remove(const QString &key) = 0;

Q_SIGNALS:
    void readDone(const QString &key, SecretStore::Outcome outcome, const QString &value);
    void writeDone(const QString &key, SecretStore::Outcome outcome);
};
