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

// The words with which a Hayes modem gives up a dial, each with its result.
struct FailureWord
{
    QByteArrayView word;
    ModemResult result;
};
constexpr FailureWord failureWords[] = {
    {"BUSY", ModemResult::Busy},
    {"NO CARRIER", ModemResult::NoCarrier},
    {"NO DIALTONE", ModemResult::NoDialtone},
    {"NO DIAL TONE", ModemResult::NoDialtone},
    {"NO ANSWER", ModemResult::NoAnswer},
    {"ERROR", ModemResult::Error},
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
    // Exactly the six words give up the dial, each with its own result.
    ModemResult expected = result == ModemResult::Connect ? result : ModemResult::Other;
    for (const FailureWord &failure : failureWords) {
        if (text == failure.word)
            expected = failure.result;
    }
    FUZZ_CHECK(result == expected, why);
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
