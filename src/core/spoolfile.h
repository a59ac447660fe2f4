#pragma once

#include <QByteArrayView>
#include <QCoreApplication>
#include <QString>

// One message file of a spool folder, in the format scripts write for
// smstools3: header lines "Name: value" (names in any case), an empty line,
// then the text. "To:" gives the recipient, international without "+" as
// smstools3 has it, or with "+" or a leading "0" as written; "Alphabet:"
// says how the text is encoded (ISO-8859-15, UTF-8 or UCS2); every other
// header (Flash, Report, Validity, From, ...) is read and ignored. Without
// an alphabet the text is UTF-8 when its bytes are valid UTF-8 and
// ISO-8859-15 otherwise. Lines may end in LF or CR LF.
//
// A value class without I/O: it reads the bytes it is given.
class SpoolFile
{
    Q_DECLARE_TR_FUNCTIONS(SpoolFile)

public:
    // Larger files are refused unread: no SMS text comes near it.
    static constexpr qsizetype maxBytes = 64 * 1024;

    explicit SpoolFile(QByteArrayView bytes);

    bool isValid() const { return m_reason.isEmpty(); }
    // The recipient for the queue: "+" put before an international number
    // without one; otherwise as written (trimmed). Empty when not valid.
    const QString &number() const { return m_number; }
    // The text with its line ends as LF and trailing line ends cut off.
    const QString &text() const { return m_text; }
    // Why the file cannot be sent, in German; empty when it is valid.
    const QString &reason() const { return m_reason; }

private:
    void parse(QByteArrayView bytes);
    bool refuse(const QString &reason);

    QString m_number;
    QString m_text;
    QString m_reason;
};
