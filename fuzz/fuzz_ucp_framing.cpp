// The framing of the receive stream, takeUcpFrame.
//
// Properties: the frames taken out of a buffer that grows chunk by chunk are
// the frames taken when everything has arrived at once, and both are the
// frames read here byte by byte (the bytes between an STX and the next ETX
// with no STX between them); no frame holds an STX or ETX; what stays in the
// buffer is nothing or one unfinished frame from its STX on.

#include "fuzzcheck.h"
#include "ucp.h"

#include <utility>

namespace {

using fuzz::printable;

QList<QByteArray> expectedFrames(QByteArrayView bytes)
{
    QList<QByteArray> frames;
    std::optional<QByteArray> open;
    for (char c : bytes) {
        if (c == UcpStx)
            open = QByteArray();
        else if (c == UcpEtx && open)
            frames.append(*std::exchange(open, std::nullopt));
        else if (open)
            open->append(c);
    }
    return frames;
}

void takeAll(QByteArray &buffer, QList<QByteArray> &frames)
{
    while (const std::optional<QByteArray> frame = takeUcpFrame(buffer)) {
        FUZZ_CHECK(!frame->contains(UcpStx) && !frame->contains(UcpEtx), printable(*frame));
        frames.append(*frame);
    }
    // Left over: nothing, or the start of one frame still waiting for its ETX.
    FUZZ_CHECK(buffer.isEmpty() || (buffer.startsWith(UcpStx) && buffer.count(UcpStx) == 1 &&
                                    !buffer.contains(UcpEtx)),
               printable(buffer));
}

QByteArray describe(const QList<QByteArray> &frames)
{
    QByteArray out;
    for (const QByteArray &frame : frames)
        out += '[' + printable(frame) + ']';
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const fuzz::ChunkedInput input(data, size);

    QList<QByteArray> atOnce;
    QByteArray whole = input.payload.toByteArray();
    takeAll(whole, atOnce);

    QList<QByteArray> inChunks;
    QByteArray growing;
    for (QByteArrayView chunk : input.chunks) {
        growing.append(chunk);
        takeAll(growing, inChunks);
    }

    const QList<QByteArray> expected = expectedFrames(input.payload);
    FUZZ_CHECK(atOnce == expected, "at once " + describe(atOnce) + " expected " +
                                       describe(expected) + " from " + printable(input.payload));
    FUZZ_CHECK(inChunks == expected, "in chunks " + describe(inChunks) + " expected " +
                                         describe(expected) + " from " + printable(input.payload));
    return 0;
}
