// The modem's output cut into lines by ModemLineBuffer and read by
// classifyModemLine.
//
// Properties: the lines handed out for the input fed in chunks are the lines
// for the input fed at once, and both are the input split here at every CR
// and LF (empty lines and the unfinished last line left out, a line longer
// than the buffer's cap cut to its end); clear() forgets an unfinished line;
// the meaning of a line does not depend on blanks around it; a line means
// failure exactly when it is one of the result words that end a dial; an
// echoed command never counts as a result.

#include "fuzzcheck.h"
#include "modemresult.h"

namespace {

using fuzz::printable;

// The longest line the buffer keeps; of a longer one it keeps the end.
constexpr qsizetype lineCap = 256;

QList<QByteArray> expectedLines(QByteArrayView bytes)
{
    QList<QByteArray> lines;
    QByteArray line;
    for (char c : bytes) {
        if (c == '\r' || c == '\n') {
            if (!line.isEmpty())
                lines.append(line.size() > lineCap ? line.last(lineCap) : line);
            line.clear();
        } else {
            line.append(c);
        }
    }
    return lines;
}

QByteArray describe(const QList<QByteArray> &lines)
{
    QByteArray out;
    for (const QByteArray &line : lines)
        out += '[' + printable(line) + ']';
    return out;
}

QByteArrayView trimmed(QByteArrayView line)
{
    const auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (!line.isEmpty() && blank(line.front()))
        line = line.sliced(1);
    while (!line.isEmpty() && blank(line.back()))
        line.chop(1);
    return line;
}

constexpr QByteArrayView failureWords[] = {
    "BUSY", "NO CARRIER", "NO DIALTONE", "NO DIAL TONE", "NO ANSWER", "ERROR",
};

void checkMeaning(QByteArrayView line)
{
    const ModemResult result = classifyModemLine(line);
    const QByteArray why = printable(line) + " -> " + QByteArray::number(int(result));
    const QByteArray padded = " \t" + line.toByteArray() + "\r\n ";
    FUZZ_CHECK(classifyModemLine(padded) == result, why);

    const QByteArrayView text = trimmed(line);
    if (result == ModemResult::Connect)
        FUZZ_CHECK(text.startsWith("CONNECT"), why);
    bool failureWord = false;
    for (QByteArrayView word : failureWords)
        failureWord = failureWord || text == word;
    FUZZ_CHECK((result == ModemResult::Failure) == failureWord, why);
    // The modem echoes the dial line before it answers.
    if (text.startsWith("AT") || text.startsWith("at"))
        FUZZ_CHECK(result == ModemResult::Other, why);
    // Whatever follows CONNECT (speed, protocol) keeps it a connection.
    FUZZ_CHECK(classifyModemLine(QByteArray("CONNECT " + line.toByteArray())) ==
                   ModemResult::Connect,
               why);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const fuzz::ChunkedInput input(data, size);

    ModemLineBuffer atOnce;
    const QList<QByteArray> whole = atOnce.feed(input.payload);

    ModemLineBuffer inChunks;
    QList<QByteArray> chunked;
    for (QByteArrayView chunk : input.chunks)
        chunked += inChunks.feed(chunk);

    const QList<QByteArray> expected = expectedLines(input.payload);
    FUZZ_CHECK(whole == expected, "at once " + describe(whole) + " expected " + describe(expected));
    FUZZ_CHECK(chunked == expected,
               "in chunks " + describe(chunked) + " expected " + describe(expected));

    // After clear() an unfinished line is gone and the next one stands alone.
    inChunks.clear();
    const QList<QByteArray> afterClear = inChunks.feed("OK\r\n");
    FUZZ_CHECK(afterClear == QList<QByteArray>{"OK"}, describe(afterClear));

    for (const QByteArray &line : whole)
        checkMeaning(line);
    checkMeaning(input.payload);
    return 0;
}
