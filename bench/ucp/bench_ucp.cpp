// Measures how fast full operation 01 frames are built from typical queue
// entries, and how fast replies are parsed. Prints figures only.

#include "ucp.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

constexpr int frameCount = 100000;

// Messages as the queue holds them: up to 160 characters, German text with
// umlauts, line breaks, the odd character that cannot be sent.
QStringList typicalMessages()
{
    const QStringList seeds = {
        u"Hallo Anna, das Treffen am Donnerstag verschiebt sich auf 14:30 Uhr. "
        u"Bitte bring die Unterlagen für das Büro mit. Grüsse, Peter"_s,
        u"Ihre Bestellung Nr. 4711 ist versandbereit.\r\nAbholung ab Montag möglich. "
        u"Öffnungszeiten: 8-12 & 13:30-18 Uhr. Kosten: 12.50 €"_s,
        u"Rückruf erbeten: Frau Müller wegen Offerte §3, Termin à discuter. "
        u"Très urgent! «Danke» – Zürich, 5. März"_s,
        u"Test 1234567890 abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ "
        u"@$_!?#%&*()[]{}<>=+-/\\|~^"_s,
    };
    QStringList messages;
    for (const QString &seed : seeds) {
        QString text = seed;
        while (text.size() < 160)
            text += u' ' + seed;
        messages.append(text.left(160));
    }
    return messages;
}

} // namespace

int main()
{
    QTextStream out(stdout);
    const QStringList messages = typicalMessages();
    const QStringList numbers = {u"079 123 45 67"_s, u"+41 76 987 65 43"_s, u"0781112233"_s};
    const QStringList callBacks = {QString(), u"031 123 45 67"_s};

    qsizetype totalCharacters = 0;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < frameCount; ++i) {
        const QString frame =
            SMSSendString(numbers[i % numbers.size()], messages[i % messages.size()],
                          callBacks[i % callBacks.size()]);
        totalCharacters += frame.size();
    }
    const qint64 encodeNs = timer.nsecsElapsed();

    QList<QByteArray> replies;
    for (int i = 0; i < 4; ++i)
        replies.append(ucpFrameBytes(u"01/00019/R/01/A//69"_s));
    replies[1] = ucpFrameBytes(u"06/00043/R/01/A/01234567890:090196103258/4E"_s);
    replies[2] = ucpFrameBytes(u"12/00022/R/01/N/02//03"_s);
    replies[3] = "garbage that is no frame at all";

    int acknowledged = 0;
    timer.restart();
    for (int i = 0; i < frameCount; ++i) {
        if (parseUcpReply(replies[i % replies.size()]).kind == UcpReply::Kind::Ack)
            ++acknowledged;
    }
    const qint64 parseNs = timer.nsecsElapsed();

    const auto perSecond = [](qint64 ns) { return ns > 0 ? frameCount * 1e9 / double(ns) : 0.0; };
    out << "SMSSendString: " << frameCount << " frames of 160-character messages in "
        << QString::number(encodeNs / 1e6, 'f', 1) << " ms, "
        << QString::number(perSecond(encodeNs), 'f', 0) << " frames/s (average frame "
        << QString::number(double(totalCharacters) / frameCount, 'f', 1) << " characters)\n";
    out << "parseUcpReply: " << frameCount << " replies in "
        << QString::number(parseNs / 1e6, 'f', 1) << " ms, "
        << QString::number(perSecond(parseNs), 'f', 0) << " replies/s (" << acknowledged
        << " acknowledged)\n";
    return 0;
}
