#include "corerun.h"

#include "startup.h"
#include "startupplan.h"

#include <QDBusConnection>

CoreRun::CoreRun(const StartupPlan &plan)
    : m_settings(StartupGuard::databasePath(plan.dataDir())),
      m_connection(StartupGuard::databasePath(plan.dataDir()),
                   plan.isDemo() ? nullptr : &m_keyring),
      m_core(MessagingCore::Environment{.programDir = plan.dataDir(),
                                        .prompter = plan.prompter(),
                                        .clock = &m_clock,
                                        .settings = &m_settings,
                                        .connection = &m_connection,
                                        .lastRunEndedUncleanly = plan.lastRunEndedUncleanly()}),
      m_service(&m_core)
{}

bool CoreRun::offerOnBus(QString *error)
{
    return m_service.registerOn(QDBusConnection::sessionBus(), error);
}
