#pragma once

#include "secretstore.h"

// The desktop's keyring through QtKeychain (the Secret Service of GNOME or
// KDE on Linux). The entries are kept under the service "Funkbote".
class KeychainSecretStore final : public SecretStore
{
    Q_OBJECT

public:
    using SecretStore::SecretStore;

    void read(const QString &key) override;
    void write(const QString &key, const QString &value) override;
    void remove(const QString &key) override;
};
