#include "reporter.h"

#include <QDateTime>

#include <cstdio>

using namespace Qt::StringLiterals;

bool Reporter::openLog(const QString &path, QString *error)
{
    m_log.setFileName(path);
    if (!m_log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        *error = path + u": "_s + m_log.errorString();
        return false;
    }
    return true;
}

void Reporter::line(const QString &text)
{
    const QByteArray bytes = text.toUtf8() + '\n';
    // The log first: whoever has read a line on stdout finds it logged.
    if (m_log.isOpen()) {
        const QByteArray stamp =
            QDateTime::currentDateTime().toString(Qt::ISODateWithMs).toUtf8() + ' ';
        m_log.write(stamp + bytes);
        m_log.flush();
    }
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

QString escapedForLine(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\\')
            escaped += u"\\\\"_s;
        else if (c == u'\r')
            escaped += u"\\r"_s;
        else if (c == u'\n')
            escaped += u"\\n"_s;
        else
            escaped += c;
    }
    return escaped;
}
