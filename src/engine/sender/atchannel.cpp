#include "atchannel.h"

#include "serialline.h"

AtChannel::AtChannel(SerialLine *line, QObject *parent) : QObject(parent), m_line(line)
{
    m_timer.setSingleShot(true);
    // A precise timer never fires early: the modem gets all of its time.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &AtChannel::onTimeout);
    m_stall.setSingleShot(true);
    m_stall.setInterval(defaultStallTimeoutMs);
    connect(&m_stall, &QTimer::timeout, this, &AtChannel::onTimeout);
    connect(m_line, &SerialLine::readyRead, this, &AtChannel::onReadyRead);
    connect(m_line, &SerialLine::bytesWritten, this, &AtChannel::onBytesWritten);
    connect(m_line, &SerialLine::closedByError, this, [this] {
        if (m_started)
            lineBroken();
    });
}

void AtChannel::start()
{
    stop();
    m_started = true;
}

void AtChannel::stop()
{
    ++m_generation;
    m_started = false;
    m_timer.stop();
    m_stall.stop();
    m_queue.clear();
    m_written = false;
    m_prompted = false;
    m_unsent = 0;
    m_armTimeoutMs = -1;
    m_parser.clear();
    m_dataHandler = nullptr;
}

void AtChannel::send(Command command)
{
    if (!m_started)
        return;
    m_queue.append(std::move(command));
    if (m_queue.size() == 1)
        writeNext();
}

bool AtChannel::writeRaw(const QByteArray &bytes)
{
    return writeTimed(bytes, -1);
}

void AtChannel::addUrcHandler(const QRegularExpression &pattern, UrcHandler handler)
{
    m_urcs.append({QRegularExpression(QRegularExpression::anchoredPattern(pattern.pattern()),
                                      pattern.patternOptions()),
                   std::move(handler), nullptr});
}

void AtChannel::addUrcHandler(const QRegularExpression &pattern, UrcDataHandler handler)
{
    m_urcs.append({QRegularExpression(QRegularExpression::anchoredPattern(pattern.pattern()),
                                      pattern.patternOptions()),
                   nullptr, std::move(handler)});
}

void AtChannel::writeNext()
{
    if (m_queue.isEmpty() || m_written)
        return;
    const Command &command = m_queue.constFirst();
    m_written = true;
    m_prompted = false;
    m_parser.setCommand(command.text, bool(command.onPrompt));
    writeTimed(command.text + '\r', command.timeoutMs);
}

bool AtChannel::writeTimed(const QByteArray &bytes, int timeoutMs)
{
    if (!m_started)
        return false;
    // The time-out starts once these bytes and all before them are gone;
    // the line may report them gone before write() returns.
    m_unsent += bytes.size();
    if (timeoutMs >= 0)
        m_armTimeoutMs = timeoutMs;
    if (m_line->write(bytes)) {
        if (m_unsent > 0 && !m_stall.isActive())
            m_stall.start();
        return true;
    }
    lineBroken();
    return false;
}

void AtChannel::onBytesWritten(qint64 bytes)
{
    if (!m_started)
        return;
    m_unsent = std::max<qint64>(0, m_unsent - bytes);
    if (m_unsent > 0)
        return;
    m_stall.stop();
    if (m_armTimeoutMs >= 0)
        m_timer.start(std::exchange(m_armTimeoutMs, -1));
}

void AtChannel::onReadyRead()
{
    // A channel not started leaves the bytes to the dialogue that leads the
    // call.
    if (!m_started)
        return;
    const quint64 generation = m_generation;
    const QByteArray bytes = m_line->readAll();
    for (const At::Response &response : m_parser.feed(bytes)) {
        handle(response);
        if (generation != m_generation)
            return;
    }
}

bool AtChannel::takenAsUrc(const At::Response &response)
{
    for (const Urc &urc : std::as_const(m_urcs)) {
        const QRegularExpressionMatch match = urc.pattern.match(QString::fromLatin1(response.text));
        if (!match.hasMatch())
            continue;
        if (urc.dataHandler) {
            m_dataReport = match;
            m_dataHandler = urc.dataHandler;
        } else {
            urc.handler(match);
        }
        return true;
    }
    return false;
}

void AtChannel::handle(const At::Response &response)
{
    if (m_dataHandler) {
        const UrcDataHandler handler = std::exchange(m_dataHandler, nullptr);
        if (response.kind == At::Response::Line) {
            handler(m_dataReport, response.text);
            return;
        }
    }
    if (response.kind != At::Response::Prompt && takenAsUrc(response))
        return;
    if (m_queue.isEmpty() || !m_written)
        return;
    // The handlers may queue the next command: they are called on copies,
    // which the queue growing leaves alone.
    const Command &command = m_queue.constFirst();
    const quint64 generation = m_generation;
    switch (response.kind) {
    case At::Response::Echo:
        return;
    case At::Response::Prompt: {
        if (!command.onPrompt || m_prompted)
            return;
        m_prompted = true;
        m_timer.stop();
        const int timeoutMs = command.afterPromptTimeoutMs;
        const QByteArray data = std::function(command.onPrompt)();
        if (generation == m_generation)
            writeTimed(data, timeoutMs);
        return;
    }
    case At::Response::NoCarrier:
    case At::Response::Busy:
    case At::Response::NoAnswer:
    case At::Response::NoDialtone:
        if (command.dials)
            break;
        [[fallthrough]];
    case At::Response::Line:
        if (command.onLine)
            std::function(command.onLine)(response);
        return;
    case At::Response::Ok:
    case At::Response::Error:
    case At::Response::CmeError:
    case At::Response::CmsError:
        break;
    }
    const bool ends = !command.onFinal || std::function(command.onFinal)(response);
    if (ends && generation == m_generation)
        finishCommand();
}

void AtChannel::finishCommand()
{
    m_timer.stop();
    m_armTimeoutMs = -1;
    m_queue.removeFirst();
    m_written = false;
    m_prompted = false;
    m_parser.setCommand({}, false);
    writeNext();
}

void AtChannel::onTimeout()
{
    m_timer.stop();
    m_stall.stop();
    if (m_queue.isEmpty() || !m_written)
        return;
    const Command command = m_queue.takeFirst();
    m_written = false;
    m_prompted = false;
    m_armTimeoutMs = -1;
    m_parser.setCommand({}, false);
    const quint64 generation = m_generation;
    if (command.onTimeout)
        command.onTimeout();
    if (generation == m_generation)
        writeNext();
}

void AtChannel::lineBroken()
{
    stop();
    Q_EMIT broken();
}
