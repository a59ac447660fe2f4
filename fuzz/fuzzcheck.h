#pragma once

// Helpers shared by the fuzz targets: failing a property loudly, and cutting
// an input into chunks the way a serial line hands out bytes.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

// Bytes as one line of text: printable ASCII as it is, everything else \xNN.
inline QByteArray printable(QByteArrayView bytes)
{
    QByteArray out;
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F && c != '\\') {
            out.append(c);
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", u);
            out.append(escaped);
        }
    }
    return out;
}

inline QByteArray printable(const QByteArray &bytes)
{
    return printable(QByteArrayView(bytes));
}

inline QByteArray printable(const QString &text)
{
    return printable(QByteArrayView(text.toUtf8()));
}

// Ends the run: libFuzzer keeps the input that broke the property as a crash
// file, and the message says which property it was.
[[noreturn]] inline void fail(const char *property, const char *file, int line,
                              const QByteArray &detail)
{
    std::fprintf(stderr, "\n== property failed: %s\n   at %s:%d\n", property, file, line);
    if (!detail.isEmpty())
        std::fprintf(stderr, "   %s\n", detail.constData());
    std::fflush(stderr);
    std::abort();
}

// Two upper-case hex digits of the low 8 bits of a value.
inline QByteArray hexByte(unsigned value)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    const char pair[2] = {digits[(value >> 4) & 0xF], digits[value & 0xF]};
    return QByteArray(pair, 2);
}

// The low 8 bits of the sum of the bytes, as the UCP checksum counts them.
inline unsigned byteSum(QByteArrayView bytes)
{
    unsigned sum = 0;
    for (char c : bytes)
        sum += static_cast<unsigned char>(c);
    return sum & 0xFF;
}

inline bool isDigits(QByteArrayView field, qsizetype width)
{
    if (field.size() != width)
        return false;
    for (char c : field) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// The text made into a frame whose LEN (second field) and checksum (last
// field) are right, whatever else it holds: the parsers then get past those
// two checks and the fuzzer reaches what lies behind them. A text with fewer
// than three fields gets empty ones added.
inline QByteArray sealed(QByteArrayView text, bool lowerCaseChecksum)
{
    QList<QByteArray> fields = text.toByteArray().split('/');
    while (fields.size() < 3)
        fields.append(QByteArray());
    fields.removeLast();
    fields[1] = "00000";
    QByteArray body = fields.join('/') + '/';
    const QByteArray length = QByteArray::number(body.size() + 2).rightJustified(5, '0');
    body.replace(fields[0].size() + 1, 5, length);
    QByteArray checksum = hexByte(byteSum(body));
    if (lowerCaseChecksum)
        checksum = checksum.toLower();
    return body + checksum;
}

// An input read as chunk sizes and payload: the first byte tells how many
// size bytes follow (1 to 8), each size byte gives a chunk of 1 to 256 bytes,
// and the sizes repeat until the payload is used up.
struct ChunkedInput
{
    QByteArrayView payload;
    QList<QByteArrayView> chunks;

    ChunkedInput(const uint8_t *data, size_t size)
    {
        const QByteArrayView all(reinterpret_cast<const char *>(data), qsizetype(size));
        if (all.isEmpty())
            return;
        const qsizetype count =
            qMin<qsizetype>((static_cast<unsigned char>(all[0]) % 8) + 1, all.size() - 1);
        const QByteArrayView sizes = all.sliced(1, count);
        payload = all.sliced(1 + count);
        qsizetype at = 0;
        for (qsizetype i = 0; at < payload.size(); ++i) {
            const qsizetype want = sizes.isEmpty()
                                       ? payload.size()
                                       : static_cast<unsigned char>(sizes[i % sizes.size()]) + 1;
            const qsizetype take = qMin(want, payload.size() - at);
            chunks.append(payload.sliced(at, take));
            at += take;
        }
    }
};

} // namespace fuzz

#define FUZZ_CHECK(condition, detail)                                                              \
    do {                                                                                           \
        if (!(condition))                                                                          \
            ::fuzz::fail(#condition, __FILE__, __LINE__, (detail));                                \
    } while (0)
