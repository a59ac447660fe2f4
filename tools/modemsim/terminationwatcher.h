#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT, SIGTERM and SIGHUP into a Qt signal through a self-pipe, so
// that the simulator ends through its event loop and can remove its link.
class TerminationWatcher : public QObject
{
    Q_OBJECT

public:
    explicit TerminationWatcher(QObject *parent = nullptr);
    ~TerminationWatcher() override;

    bool install(QString *error);

signals:
    void terminationRequested();

private:
    static void handleSignal(int signal);
    void drain();

    static int s_pipe[2];
    QSocketNotifier *m_notifier = nullptr;
};
