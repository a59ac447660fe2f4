#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT, SIGTERM and SIGHUP (a logout, kill, a service stop) into a
// Qt signal through a self-pipe, so that a program ends through its event
// loop and runs its clean-up: the handler itself only writes a byte.
class TerminationWatcher : public QObject
{
    Q_OBJECT

public:
    explicit TerminationWatcher(QObject *parent = nullptr);
    ~TerminationWatcher() override;

    bool install(QString *error);
    // Asks for SIGTERM when the process that started this one is gone,
    // however it ended (Linux; elsewhere nothing). A parent already gone
    // ends this process at once.
    static void endWithParent();

Q_SIGNALS:
    void terminationRequested();

private:
    static void handleSignal(int signal);
    void drain();

    static int s_pipe[2];
    QSocketNotifier *m_notifier = nullptr;
};
