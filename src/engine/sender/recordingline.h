#pragma once

#include "serialline.h"

#include <QPointer>

// A serial line that tells what passes over it, for the call trace: it
// passes every call on to the line it wraps and announces the port opened
// (or why not), every byte written and read, and the port closed, as traced
// lines of text.
class RecordingLine final : public SerialLine
{
    Q_OBJECT

public:
    explicit RecordingLine(SerialLine *line, QObject *parent = nullptr);

    bool open(const QString &portName, QString *errorText = nullptr) override;
    void close() override;
    bool isOpen() const override;
    bool write(const QByteArray &bytes) override;
    QByteArray readAll() override;
    void clearInput() override;

Q_SIGNALS:
    void traced(const QString &line);

private:
    SerialLine *m_line;
};

// Bytes as a line of the trace: printable ASCII as it stands, control
// characters by name (<CR>, <LF>, <STX>, <ETX>, <SUB>, <ESC>, ...), other
// bytes as <0xNN>.
QString readableBytes(const QByteArray &bytes);
