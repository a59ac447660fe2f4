#include "lineowner.h"

LineOwner *LineOwner::of(SerialLine *line)
{
    if (auto *owner = line->findChild<LineOwner *>(QString(), Qt::FindDirectChildrenOnly))
        return owner;
    return new LineOwner(line);
}

LineOwner::LineOwner(SerialLine *line) : QObject(line), m_line(line)
{
    connect(m_line, &SerialLine::readyRead, this, [this] {
        if (m_borrower)
            Q_EMIT m_borrower->readyRead();
    });
    connect(m_line, &SerialLine::bytesWritten, this, [this](qint64 bytes) {
        if (m_borrower)
            Q_EMIT m_borrower->bytesWritten(bytes);
    });
    connect(m_line, &SerialLine::errorOccurred, this, [this](const QString &text) {
        if (m_borrower)
            Q_EMIT m_borrower->errorOccurred(text);
    });
    connect(m_line, &SerialLine::closedByError, this, [this] {
        if (m_borrower)
            Q_EMIT m_borrower->closedByError();
    });
    connect(m_line, &SerialLine::carrierDetectChanged, this, [this](bool on) {
        if (m_borrower)
            Q_EMIT m_borrower->carrierDetectChanged(on);
    });
}

LentLine *LineOwner::lineFor(QObject *user)
{
    return new LentLine(this, user);
}

bool LineOwner::lend(LentLine *borrower)
{
    if (m_borrower && m_borrower != borrower)
        return false;
    m_borrower = borrower;
    return true;
}

void LineOwner::giveBack(LentLine *borrower)
{
    if (m_borrower == borrower)
        m_borrower = nullptr;
}

LentLine::LentLine(LineOwner *owner, QObject *user) : SerialLine(user), m_owner(owner) {}

bool LentLine::borrow()
{
    if (m_owner && m_owner->lend(this))
        return true;
    qWarning("LentLine: the serial line is lent to another user");
    return false;
}

void LentLine::giveBack()
{
    if (m_owner)
        m_owner->giveBack(this);
}

bool LentLine::isBorrowed() const
{
    return m_owner && m_owner->borrower() == this;
}

bool LentLine::open(const QString &portName, QString *errorText)
{
    if (isBorrowed())
        return m_owner->line()->open(portName, errorText);
    if (errorText)
        *errorText = tr("Die Schnittstelle wird von einer anderen Verbindung benutzt");
    return false;
}

void LentLine::close()
{
    if (isBorrowed())
        m_owner->line()->close();
}

bool LentLine::isOpen() const
{
    return isBorrowed() && m_owner->line()->isOpen();
}

bool LentLine::write(const QByteArray &bytes)
{
    return isBorrowed() && m_owner->line()->write(bytes);
}

QByteArray LentLine::readAll()
{
    return isBorrowed() ? m_owner->line()->readAll() : QByteArray();
}

void LentLine::clearInput()
{
    if (isBorrowed())
        m_owner->line()->clearInput();
}
