#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Frames for the UCP tests, with LEN and the checksum worked out here once
// more, independently of the code under test.
namespace UcpTestFrames {

// The UCP checksum: low 8 bits of the byte sum, two upper-case hex digits.
inline QByteArray checksumOf(QByteArrayView text)
{
    unsigned sum = 0;
    for (char c : text)
        sum += static_cast<unsigned char>(c);
    return QByteArray::number(sum & 0xFF, 16).toUpper().rightJustified(2, '0');
}

// A frame with LEN and checksum made to fit, so that a row breaks one thing
// only; lenDelta falsifies LEN and the checksum still matches.
inline QByteArray sealed(QByteArrayView trn, QByteArrayView rest, int lenDelta = 0)
{
    const QByteArray len = QByteArray::number(trn.size() + rest.size() + 9 + lenDelta);
    const QByteArray body = trn.toByteArray() + '/' + len.rightJustified(5, '0') + '/' + rest;
    return body + checksumOf(body);
}

} // namespace UcpTestFrames
