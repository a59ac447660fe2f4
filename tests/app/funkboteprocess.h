#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// The real program as a child process, offscreen, on the data folder of a
// test, with its boxes written to stderr and answered by default
// (--unattended) and a fast Timer1. Its boxes are collected as they come.
class FunkboteProcess
{
public:
    ~FunkboteProcess();

    void start(const QString &dataDir, int tickMs);
    // The same with other arguments (--unattended is always added).
    void startWith(QStringList arguments);
    // The texts of the boxes shown so far.
    QStringList boxes() const;
    // Resident memory in KiB and the open descriptors, described with what
    // they lead to ("socket", "pipe", a file path, ...); read from /proc.
    qint64 residentKiB() const;
    QStringList openFiles() const;

    QProcess process;
    QString errors;
};
