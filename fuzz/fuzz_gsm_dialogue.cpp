// GsmDialogue fed arbitrary modem output in chunks, as a serial line hands
// it out; a byte FF in the output stands for time passing (every time-out
// under way runs out). The harness leads the dialogue as the send engine
// does: begin, submit the first entry once ready and each next one after
// the answer to the one before has been dealt with, begin again after a
// failure, nothing more after a halt.
//
// Properties: an entry counts as sent only when each of its parts went out as a
// PDU in hex with Ctrl-Z after AT+CMGS and a +CMGS line came after that PDU; a
// refusal names a permanent +CMS ERROR code that the modem sent, with that
// code's meaning; the dialogue writes ESC, the known commands ended by CR
// (those of receiving among them, with a storage name of two capitals), and
// PDUs; a second PIN is never written before the modem accepted the first (the
// SIM locks after three) and a halt comes only for the PIN; ready() comes after
// AT+CMGF=0 of the same call; a failed or halted call has closed the line.

#include "cmserror.h"
#include "fuzzcheck.h"
#include "gsmdialogue.h"
#include "serialline.h"
#include "settings.h"
#include "storeconnection.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

using fuzz::printable;

constexpr char timePasses = char(0xFF);
constexpr qsizetype lineCap = 256; // of ModemLineBuffer, which keeps a line's end
constexpr int maxCalls = 64;

class FuzzLine final : public SerialLine
{
public:
    bool open(const QString &, QString *) override
    {
        m_open = true;
        m_input.clear();
        return true;
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    bool write(const QByteArray &bytes) override
    {
        if (!m_open)
            return false;
        writes.append(bytes);
        Q_EMIT bytesWritten(bytes.size());
        return true;
    }
    QByteArray readAll() override { return std::exchange(m_input, QByteArray()); }
    void clearInput() override { m_input.clear(); }
    void deliver(QByteArrayView bytes)
    {
        if (!m_open)
            return;
        m_input.append(bytes);
        Q_EMIT readyRead();
    }

    QByteArrayList writes;

private:
    bool m_open = false;
    QByteArray m_input;
};

// A Daten.mdb whose settings name COM1, made once for the whole run.
struct World
{
    World() : app(argc, argv)
    {
        const QString path = dir.filePath(u"Daten.mdb"_s);
        {
            StoreConnection store(path, u"fuzz"_s);
            if (!store.createSchema())
                fuzz::fail("schema", __FILE__, __LINE__, store.lastError().toUtf8());
        }
        settings = std::make_unique<Settings>(path);
        if (!settings->reload())
            fuzz::fail("settings", __FILE__, __LINE__, settings->lastError().toUtf8());
    }

    int argc = 1;
    char name[5] = "fuzz";
    char *argv[2] = {name, nullptr};
    QCoreApplication app;
    QTemporaryDir dir;
    std::unique_ptr<Settings> settings;
};

const QString entries[] = {
    u"abc"_s,
    u"[Treffpunkt] 18 Uhr. "_s.repeated(7),              // 7-bit, 161 septets: two parts
    u"Grüße aus Zürich – 5 € \U0001F600 "_s.repeated(3), // UCS-2, two parts
};

struct Harness
{
    Harness(const World &world)
        : dialogue(&line, world.settings.get(), world.dir.path(), [] {
              return GsmAccount{u"1234"_s, QString()};
          })
    {
        dialogue.setAnswerTimeoutMs(0);
        dialogue.setSubmitTimeoutMs(0);
        QObject::connect(&dialogue, &CallDialogue::ready, &dialogue, [this] { onReady(); });
        QObject::connect(&dialogue, &CallDialogue::submitted, &dialogue,
                         [this](const CallDialogue::Result &result) { onSubmitted(result); });
        QObject::connect(&dialogue, &CallDialogue::failed, &dialogue,
                         [this](const QString &reason) { onFailed(reason); });
        QObject::connect(&dialogue, &CallDialogue::halted, &dialogue,
                         [this](const QString &reason) { onHalted(reason); });
    }

    void begin()
    {
        if (halted || ++calls > maxCalls)
            return;
        pduModeWritten = false;
        dialogue.begin();
        scanWrites();
    }

    void submit()
    {
        const QString &text = entries[entry++ % std::size(entries)];
        expectedParts = Gsm::planMessage(text).parts;
        parts.clear();
        submitting = true;
        dialogue.submit(QueueEntry{{}, u"0791234567"_s, text, QString()});
        scanWrites();
    }

    // The lines of the modem's output as the dialogue reads them.
    void feedLine(QByteArrayView piece)
    {
        for (char c : piece) {
            if (c != '\r' && c != '\n') {
                pending.append(c);
                continue;
            }
            const QByteArray line = pending.right(lineCap).trimmed();
            pending.clear();
            if (line.isEmpty())
                continue;
            lastLine = line;
            // An answer to the PDU under way.
            if (line.startsWith("+CMGS:") && !parts.isEmpty())
                parts.last() = true;
        }
    }

    void deliver(QByteArrayView chunk)
    {
        // One line end at a time: the harness knows which writes came
        // before each line.
        qsizetype start = 0;
        for (qsizetype i = 0; i <= chunk.size(); ++i) {
            if (i < chunk.size() && chunk[i] != '\r' && chunk[i] != '\n' && chunk[i] != timePasses)
                continue;
            const QByteArrayView piece = chunk.sliced(start, std::min(i + 1, chunk.size()) - start);
            start = i + 1;
            if (!piece.isEmpty() && piece.back() == timePasses) {
                feedAndDeliver(piece.chopped(1));
                QCoreApplication::processEvents();
                scanWrites();
            } else {
                feedAndDeliver(piece);
            }
            runNext();
        }
    }

    // What the engine does later, at a tick or once the log row is stored.
    void runNext()
    {
        switch (std::exchange(next, Next::Nothing)) {
        case Next::Nothing:
            return;
        case Next::Begin:
            begin();
            return;
        case Next::Submit:
            submit();
            return;
        }
    }

    void feedAndDeliver(QByteArrayView piece)
    {
        if (piece.isEmpty())
            return;
        feedLine(piece);
        line.deliver(piece);
        scanWrites();
    }

    void scanWrites()
    {
        // Sending, then what receiving asks: the indications and storage
        // the modem offers (a storage is two capitals), the messages waiting,
        // one read and one deleted by index.
        static const QRegularExpression known(
            u"^(ATE0|AT\\+CMEE=1|AT\\+CPIN\\?|AT\\+CPIN=\"1234\"|AT\\+CMGF=0|AT\\+CMGS=\\d+|"
            u"AT\\+CNMI=\\?|AT\\+CNMI=[0-3],[0-3],0,[0-2](,0)?|AT\\+CPMS=\\?|"
            u"AT\\+CPMS=\"[A-Z]{2}\",\"[A-Z]{2}\",\"[A-Z]{2}\"|AT\\+CMGL=4|AT\\+CMG[RD]=\\d+)\r$"_s);
        static const QRegularExpression pdu(u"^([0-9A-F]{2})+\x1A$"_s);
        for (; scanned < line.writes.size(); ++scanned) {
            const QByteArray &write = line.writes.at(scanned);
            const QByteArray why = "write " + printable(write);
            if (write == "\x1B")
                continue;
            const QString text = QString::fromLatin1(write);
            if (write.endsWith('\x1A')) {
                FUZZ_CHECK(pdu.match(text).hasMatch(), why);
                FUZZ_CHECK(lastCommand.startsWith("AT+CMGS="), why + " after " + lastCommand);
                FUZZ_CHECK(submitting && parts.size() < expectedParts, why);
                parts.append(false);
                lastCommand = "PDU";
                // The dialogue took the prompt, which ends no line, and reads
                // a new line after it.
                pending.clear();
                continue;
            }
            FUZZ_CHECK(known.match(text).hasMatch(), why);
            lastCommand = write.chopped(1);
            if (lastCommand.startsWith("AT+CPIN=")) {
                FUZZ_CHECK(!pinUnconfirmed, why + ": a second PIN before the first was taken");
                pinUnconfirmed = true;
            } else if (lastCommand == "AT+CMGF=0") {
                // Written after the PIN only once the modem accepted it.
                pinUnconfirmed = false;
                pduModeWritten = true;
            }
        }
    }

    void onReady()
    {
        scanWrites();
        // Receiving may set itself up between PDU mode and ready().
        FUZZ_CHECK(pduModeWritten, "ready without AT+CMGF=0, after " + lastCommand);
        FUZZ_CHECK(line.isOpen(), "ready with the line closed");
        submit();
    }

    void onSubmitted(const CallDialogue::Result &result)
    {
        scanWrites();
        FUZZ_CHECK(submitting, "submitted without an entry");
        submitting = false;
        const QByteArray why = "after " + lastLine;
        if (result.accepted) {
            FUZZ_CHECK(parts.size() == expectedParts,
                       why + ": parts " + QByteArray::number(parts.size()));
            for (bool taken : std::as_const(parts))
                FUZZ_CHECK(taken, why + ": a part without +CMGS");
        } else {
            FUZZ_CHECK(lastLine.startsWith("+CMS ERROR:"), why);
            bool numeric = false;
            const int code = lastLine.sliced(11).trimmed().toInt(&numeric);
            FUZZ_CHECK(numeric, why);
            const Gsm::CmsError cms = Gsm::cmsError(code);
            FUZZ_CHECK(!cms.temporary, why);
            FUZZ_CHECK(result.errorCode == u"CMS "_s + QString::number(code), why);
            FUZZ_CHECK(result.logText == result.errorCode && result.meaning == cms.text, why);
        }
        next = Next::Submit;
    }

    void onFailed(const QString &reason)
    {
        scanWrites();
        FUZZ_CHECK(!line.isOpen() && !reason.isEmpty(), printable(reason));
        FUZZ_CHECK(!pinUnconfirmed, "failed after the PIN: " + printable(reason));
        submitting = false;
        next = Next::Begin;
    }

    void onHalted(const QString &reason)
    {
        scanWrites();
        FUZZ_CHECK(!line.isOpen(), printable(reason));
        FUZZ_CHECK(lastCommand.startsWith("AT+CPIN="), "halted after " + lastCommand);
        halted = true;
        submitting = false;
        next = Next::Nothing;
    }

    FuzzLine line;
    GsmDialogue dialogue;
    qsizetype scanned = 0;
    QByteArray lastCommand;
    QByteArray pending;
    QByteArray lastLine;
    int calls = 0;
    int entry = 0;
    enum class Next { Nothing, Begin, Submit } next = Next::Nothing;
    bool halted = false;
    bool submitting = false;
    bool pinUnconfirmed = false;
    bool pduModeWritten = false; // since the last begin()
    int expectedParts = 0;
    QList<bool> parts; // PDUs of the entry under way: +CMGS came after it
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static World *world = new World;
    const fuzz::ChunkedInput input(data, size);
    Harness harness(*world);
    harness.begin();
    for (QByteArrayView chunk : input.chunks)
        harness.deliver(chunk);
    return 0;
}
