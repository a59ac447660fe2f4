// The modem's output cut into responses by At::ResponseParser.
//
// Properties: without a prompt awaited, the responses for the input fed in
// chunks are those for the input fed at once; every response is a trimmed,
// non-empty line of at most 256 bytes without CR or LF; its kind follows
// from its words alone (OK, ERROR, +CME/+CMS ERROR with the rest as detail,
// the dial results, the echo of the command in flight), and every result
// but OK has a text for the user; awaiting the prompt, it comes at most
// once, and never when no prompt is awaited.

#include "atresponse.h"
#include "fuzzcheck.h"

namespace {

using fuzz::printable;

const QByteArray command = "AT+CMGS=15";

QByteArray describe(const QList<At::Response> &responses)
{
    QByteArray out;
    for (const At::Response &response : responses)
        out += QByteArray::number(response.kind) + '[' + printable(response.text) + ']';
    return out;
}

void checkResponse(const At::Response &response)
{
    const QByteArray why = QByteArray::number(response.kind) + ' ' + printable(response.text);
    const QByteArray &text = response.text;
    FUZZ_CHECK(!text.isEmpty() && text == text.trimmed(), why);
    FUZZ_CHECK(text.size() <= At::ResponseParser::maxLineLength, why);
    FUZZ_CHECK(!text.contains('\r') && !text.contains('\n'), why);
    FUZZ_CHECK((response.kind == At::Response::Echo) == (text == command), why);
    FUZZ_CHECK(response.kind != At::Response::Prompt, why);
    if (response.kind == At::Response::Echo)
        return;
    FUZZ_CHECK((response.kind == At::Response::Ok) == (text == "OK"), why);
    FUZZ_CHECK((response.kind == At::Response::Error) == (text == "ERROR"), why);
    FUZZ_CHECK((response.kind == At::Response::CmeError) == text.startsWith("+CME ERROR:"), why);
    FUZZ_CHECK((response.kind == At::Response::CmsError) == text.startsWith("+CMS ERROR:"), why);
    FUZZ_CHECK((response.kind == At::Response::NoCarrier) == (text == "NO CARRIER"), why);
    if (response.kind == At::Response::CmeError || response.kind == At::Response::CmsError)
        FUZZ_CHECK(response.detail == text.sliced(11).trimmed(), why);
    else
        FUZZ_CHECK(response.detail.isEmpty(), why);
    if (response.isFinal() && response.kind != At::Response::Ok)
        FUZZ_CHECK(!At::errorText(response).isEmpty(), why);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const fuzz::ChunkedInput input(data, size);

    At::ResponseParser atOnce;
    atOnce.setCommand(command, false);
    const QList<At::Response> whole = atOnce.feed(input.payload);

    At::ResponseParser inChunks;
    inChunks.setCommand(command, false);
    QList<At::Response> chunked;
    for (QByteArrayView chunk : input.chunks)
        chunked += inChunks.feed(chunk);
    FUZZ_CHECK(whole == chunked, "at once " + describe(whole) + " in chunks " + describe(chunked));
    for (const At::Response &response : whole)
        checkResponse(response);

    At::ResponseParser prompted;
    prompted.setCommand(command, true);
    int prompts = 0;
    for (QByteArrayView chunk : input.chunks) {
        for (const At::Response &response : prompted.feed(chunk))
            prompts += response.kind == At::Response::Prompt;
    }
    FUZZ_CHECK(prompts <= 1, QByteArray::number(prompts));
    return 0;
}
