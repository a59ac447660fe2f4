#include "startupplan.h"

#include "demomodem.h"
#include "funkbote.h"
#include "messagingcore.h"
#include "sendengine.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// Writes every box to stderr and answers it with its default button (Ok, or
// No for a question; an input box is cancelled): for trying out the program
// where nobody can click.
class ConsolePrompter final : public Prompter
{
public:
    Answer message(const QString &text, Buttons buttons, Icon) override
    {
        std::fprintf(stderr, "funkbote: %s\n", qPrintable(text));
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
    std::optional<QString> input(const QString &prompt, const QString &, const QString &) override
    {
        std::fprintf(stderr, "funkbote: %s\n", qPrintable(prompt));
        return std::nullopt;
    }
};

const QString demoTitle = u"Funkbote – Demo"_s;

} // namespace

StartupPlan::StartupPlan(StartOptions options, Prompter *prompter, QString programDir,
                         QString userDataDir, QObject *parent)
    : QObject(parent), m_options(std::move(options)), m_prompter(prompter),
      m_programDir(std::move(programDir)), m_userDataDir(std::move(userDataDir))
{
    if (m_options.quitAfterStart || m_options.unattended) {
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
        QGuiApplication::setApplicationDisplayName(demoTitle);
    } else {
        m_location = DataLocation::choose(m_programDir, m_userDataDir, m_options.dataFolder);
    }
    m_guard = std::make_unique<StartupGuard>(m_location->folder(), m_prompter,
                                             m_location->isFirstStart());
    return m_guard->check();
}

QString StartupPlan::dataDir() const
{
    return m_location ? m_location->folder() : QString();
}

void StartupPlan::show(Funkbote *window)
{
    if (m_options.tickMs > 0)
        window->core()->engine()->timer1()->setInterval(m_options.tickMs);
    const auto showNow = [this, window] {
        // The demo has just written its connection settings: read them now,
        // not only when the window manager activates the window.
        window->activationRefresh();
        window->showCentred();
        if (m_options.quitAfterStart)
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    };
    if (!m_demo) {
        showNow();
        return;
    }
    window->setWindowTitle(demoTitle);
    connect(m_demo.get(), &DemoModem::ready, window, showNow);
    connect(m_demo.get(), &DemoModem::failed, this, [this](const QString &message) {
        m_prompter->message(message, Prompter::Buttons::Ok, Prompter::Icon::Critical);
        QCoreApplication::exit(DemoFailed);
    });
    m_demo->start();
}
