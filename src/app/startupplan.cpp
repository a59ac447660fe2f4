#include "startupplan.h"

#include "consoleprompter.h"
#include "demomodem.h"
#include "funkbote.h"
#include "messagingcore.h"
#include "sendengine.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QString demoTitle = u"Funkbote – Demo"_s;

} // namespace

StartupPlan::StartupPlan(StartOptions options, Prompter *prompter, QString programDir,
                         QString userDataDir, QObject *parent)
    : QObject(parent), m_options(std::move(options)), m_prompter(prompter),
      m_programDir(std::move(programDir)), m_userDataDir(std::move(userDataDir))
{
    if (m_options.quitAfterStart || m_options.unattended || m_options.headless) {
        m_consolePrompter = std::make_unique<ConsolePrompter>();
        m_prompter = m_consolePrompter.get();
    }
}

StartupPlan::~StartupPlan() = default;

std::optional<int> StartupPlan::check()
{
    if (m_options.demo) {
        m_demo = std::make_unique<DemoModem>(DemoModem::findSimulator(m_programDir),
                                             DemoModem::kindOf(m_options.demoConnection));
        if (const QString error = m_demo->prepare(); !error.isEmpty()) {
            m_prompter->message(error, Prompter::Buttons::Ok, Prompter::Icon::Critical);
            return DemoFailed;
        }
        m_location = DataLocation::demo(m_demo->folder());
        if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
            QGuiApplication::setApplicationDisplayName(demoTitle);
    } else {
        m_location = DataLocation::choose(m_programDir, m_userDataDir, m_options.dataFolder);
    }
    m_guard = std::make_unique<StartupGuard>(m_location->folder(), m_prompter,
                                             m_location->isFirstStart());
    m_guard->setOfferToEndHeadless(!m_options.headless);
    return m_guard->check();
}

QString StartupPlan::dataDir() const
{
    return m_location ? m_location->folder() : QString();
}

void StartupPlan::show(Funkbote *window)
{
    whenReady(window->core(), window, [this, window] {
        // The demo has just written its connection settings: read them now,
        // not only when the window manager activates the window.
        window->activationRefresh();
        window->showCentred();
        if (m_options.quitAfterStart)
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    });
    if (m_demo)
        window->setWindowTitle(demoTitle);
}

void StartupPlan::whenReady(MessagingCore *core, QObject *context, std::function<void()> start)
{
    if (m_options.tickMs > 0)
        core->engine()->timer1()->setInterval(m_options.tickMs);
    if (!m_demo) {
        start();
        return;
    }
    connect(m_demo.get(), &DemoModem::ready, context, std::move(start));
    connect(m_demo.get(), &DemoModem::failed, this, [this](const QString &message) {
        m_prompter->message(message, Prompter::Buttons::Ok, Prompter::Icon::Critical);
        QCoreApplication::exit(DemoFailed);
    });
    m_demo->start();
}
