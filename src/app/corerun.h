#pragma once

#include "clock.h"
#include "connectionsettings.h"
#include "funkboteservice.h"
#include "keychainsecretstore.h"
#include "messagingcore.h"
#include "settings.h"

#include <QString>

class StartupPlan;

// What the window and the program without a window both run on, once the
// start-up plan has found a usable data folder: the settings row, the
// connection settings (secrets in the keyring; the demo's throw-away folder
// keeps its made-up password in its own Daten.mdb), the messaging core and
// its D-Bus service for other programs of the user.
class CoreRun
{
public:
    explicit CoreRun(const StartupPlan &plan);

    // Takes the service name on the session bus; false and *error when the
    // bus cannot be reached or the name is taken.
    bool offerOnBus(QString *error);

    MessagingCore &core() { return m_core; }
    FunkboteService &service() { return m_service; }

private:
    SystemClock m_clock;
    Settings m_settings;
    KeychainSecretStore m_keyring;
    ConnectionSettings m_connection;
    MessagingCore m_core;
    FunkboteService m_service;
};
