// The writer's replies come from the input: every exchange of the core runs against a simulated
// writer that answers each byte the program sends as the input says (as the writer would,
// something else, nothing, late, or by hanging up the line). Whatever comes, the exchange must
// not crash, must return within its time-outs, must leave the link in text mode and free, and
// must end with one of the outcomes it can have.
//
// Input: the first byte picks the exchange (and the EEPROM address of the byte write); then one
// control byte for each byte the program sends, in order:
//   00h-7Fh  the writer answers as it would;
//   80h-BFh  it answers with the next (c & 3Fh) % 9 input bytes instead (0: nothing);
//   C0h-DFh  it answers as it would, and from now on its replies pass a USB adapter that holds
//            them up to 1 + (c & 1Fh) * 5 ms;
//   E0h-FFh  it sends the next (c & 3) input bytes, then hangs up the line.
// When the input runs out the writer answers as it would.

#define FUZZRIG_SHORT_SLEEPS
#include "fuzzrig.h"

#include "core/protocol/confregexchange.h"
#include "core/protocol/datafileexchange.h"
#include "core/protocol/eepromexchange.h"
#include "core/protocol/linkcheck.h"
#include "core/protocol/programexchange.h"
#include "core/protocol/versionexchange.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// The hosts' reply time-out, whatever the exchange asks for; also their pauses.
constexpr int kTimeoutMs = 20;
// The "/F" write has no time-out: the user closes its window after this long.
constexpr int kUserClosesMs = 60;
// Scheduling on a loaded machine, on top of the time-outs; less than the shortest time-out of
// the program (500 ms), so a wait on a clock of its own rather than the host's shows.
constexpr int kSlackMs = 400;

enum Exchange { LinkCheck, Write, Read, Erase, EepromRead, EepromErase, EepromByte, DataFile, ConfReg, Version, kExchanges };
const char *const kNames[] = {"link check", "program write", "program read", "program erase", "EEPROM read",
                              "EEPROM erase", "EEPROM byte write", "data-file write", "configuration register", "firmware version"};

[[noreturn]] void fail(int x, const QString &what)
{
    std::fprintf(stderr, "fuzz_replies: %s: %s\n", kNames[x], qPrintable(what));
    std::abort();
}

// The files the write exchanges send, made once.
struct Files {
    QTemporaryDir dir;
    QString hex, data;
    Files()
    {
        // Words 0 and 1, a gap, word 5, and a configuration word past the data phase.
        hex = dir.filePath(QStringLiteral("p.hex"));
        QFile h(hex);
        if (!h.open(QIODevice::WriteOnly)) std::abort();
        h.write(":0400000023010528AB\r\n:02000A003412AE\r\n:02400E00F13F80\r\n:00000001FF\r\n");
        data = dir.filePath(QStringLiteral("d.txt"));
        QFile d(data);
        if (!d.open(QIODevice::WriteOnly)) std::abort();
        for (int n = 0; n < 64; ++n) d.write(QByteArray::number(n) + "," + QByteArray::number((n * 37 + 200) % 256) + "\n");
    }
};

// The writer's side: each byte the program sends takes the next control byte.
class Script {
public:
    Script(const uint8_t *data, size_t size, sim::PtyServer &server) : data_(data), size_(size), server_(server) {}

    std::optional<QByteArray> answer(sim::SimWriter &w)
    {
        if (pos_ >= size_) return std::nullopt;
        const uint8_t c = data_[pos_++];
        if (c < 0x80) return std::nullopt;
        if (c < 0xC0) return take((c & 0x3F) % 9);
        if (c < 0xE0) {
            // Late by the packet, not by the byte: a long reply stays as quick as the line.
            server_.setAdapterLatency(1 + (c & 0x1F) * 5);
            return std::nullopt;
        }
        QByteArray out = take(c & 3);
        // The fault hangs up in place of the reply after these bytes.
        w.setFault({sim::Fault::HangUp, int(out.size()), {}, 0});
        return out + '\0';
    }

private:
    QByteArray take(size_t n)
    {
        n = std::min(n, size_ - pos_);
        QByteArray out(reinterpret_cast<const char *>(data_ + pos_), qsizetype(n));
        pos_ += n;
        return out;
    }
    const uint8_t *data_;
    size_t size_;
    sim::PtyServer &server_;
    size_t pos_ = 0;
};

// Every host of the exchanges counts the time-outs it arms; its clock is short.
template <typename Base>
class Host : public Base {
public:
    messages::Button show(const messages::Message &) override { return messages::Yes; }
    void armTimeout(int) override
    {
        ++armed;
        Base::armTimeout(kTimeoutMs);
    }
    bool cancelled() const override { return closed; }
    int armed = 0;
    bool closed = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1) return 0;
    fuzzrig::ensureApplication();
    static Files files;
    const int x = data[0] % kExchanges;

    fuzzrig::Rig rig;
    if (!rig.ready) fail(x, QStringLiteral("no simulated writer"));
    Script script(data + 1, size - 1, rig.server);
    rig.server.writer().responder = [&script](uint8_t, sim::SimWriter &w) { return script.answer(w); };
    ProgrammerLink &link = rig.link;

    // A wait that never ends is caught here rather than by the fuzzer's own time limit.
    QTimer stuck;
    stuck.setSingleShot(true);
    QObject::connect(&stuck, &QTimer::timeout, [x] { fail(x, QStringLiteral("still running after 20 s")); });
    stuck.start(20000);

    Outcome outcome = Outcome::Busy;
    std::vector<Outcome> allowed;
    int armed = 0;
    qint64 untimedMs = 0;  // how long an exchange without a time-out may wait
    QString problem;
    QElapsedTimer clock;
    clock.start();
    {
        LinkSession session(link, "fuzz");
        allowed = {Outcome::Done, Outcome::NoPower, Outcome::WriterError, Outcome::TimedOut, Outcome::PortLost};
        switch (x) {
        case LinkCheck: {
            Host<linkcheck::Host> h;
            outcome = linkcheck::checkLink(link, h);
            armed = h.armed;
            allowed = {Outcome::Done, Outcome::TimedOut};
            break;
        }
        case Write: {
            Host<ExchangeHost> h;
            const program::WriteResult r = program::sendProgram(link, h, files.hex, 0x3FF1);
            outcome = r.outcome;
            armed = h.armed;
            if (r.nextAddress < 0 || r.nextAddress > 6) problem = QStringLiteral("reached address %1").arg(r.nextAddress);
            if (r.configWritten != (r.outcome == Outcome::Done)) problem = QStringLiteral("configuration word written or not");
            break;
        }
        case Read: {
            Host<ExchangeHost> h;
            const program::ReadResult r = program::readProgram(link, h);
            outcome = r.outcome;
            armed = h.armed;
            // No file name is given: a complete read ends declined.
            allowed = {Outcome::Declined, Outcome::NoPower, Outcome::WriterError, Outcome::TimedOut, Outcome::PortLost};
            if (r.words.size() > 1032 || (r.outcome == Outcome::Declined) != (r.words.size() == 1032))
                problem = QStringLiteral("%1 words").arg(r.words.size());
            for (quint16 w : r.words)
                if (w > 0x3FFF) problem = QStringLiteral("word %1").arg(w, 0, 16);
            break;
        }
        case Erase: {
            Host<ExchangeHost> h;
            outcome = program::eraseProgram(link, h);
            armed = h.armed;
            break;
        }
        case EepromRead:
        case EepromErase: {
            Host<eeprom::ViewHost> h;
            const eeprom::ReadResult r = x == EepromRead ? eeprom::readEeprom(link, h) : eeprom::eraseEeprom(link, h);
            outcome = r.outcome;
            armed = h.armed;
            if (r.count < 0 || r.count > 64 || (r.outcome == Outcome::Done) != (r.count == 64))
                problem = QStringLiteral("%1 bytes").arg(r.count);
            for (int a = 0; a < 64; ++a)
                if (a < r.count ? (r.bytes[size_t(a)] < 0 || r.bytes[size_t(a)] > 255) : r.bytes[size_t(a)] != -1)
                    problem = QStringLiteral("byte %1 is %2").arg(a).arg(r.bytes[size_t(a)]);
            break;
        }
        case EepromByte: {
            Host<eeprom::EntryHost> h;
            outcome = eeprom::writeEepromByte(link, h, (data[0] / kExchanges) & 0x3F, QStringLiteral("5A"));
            armed = h.armed;
            break;
        }
        case DataFile: {
            Host<ExchangeHost> h;
            // No time-out: the user closes the window; from then on nothing more may be sent.
            int sentAtClose = -1;
            QTimer close;
            close.setSingleShot(true);
            QObject::connect(&close, &QTimer::timeout, [&] {
                h.closed = true;
                sentAtClose = int(rig.sent().size());
            });
            close.start(kUserClosesMs);
            const datafilewrite::Result r = datafilewrite::writeDataFile(link, h, files.data);
            outcome = r.outcome;
            untimedMs = kUserClosesMs;
            allowed = {Outcome::Done, Outcome::NoPower, Outcome::WriterError, Outcome::PortLost, Outcome::Cancelled};
            if (r.written < 0 || r.written > 64 || (r.outcome == Outcome::Done) != (r.written == 64))
                problem = QStringLiteral("%1 bytes written").arg(r.written);
            if (sentAtClose >= 0 && int(rig.sent().size()) != sentAtClose) problem = QStringLiteral("sent after the window closed");
            if ((r.outcome == Outcome::Cancelled) != h.closed) problem = QStringLiteral("cancelled or not");
            break;
        }
        case ConfReg: {
            Host<ExchangeHost> h;
            const confreg::ReadResult r = confreg::readConfigRegister(link, h);
            outcome = r.outcome;
            armed = h.armed;
            if (r.outcome == Outcome::Done && (r.value < 0 || r.value > 255 || r.text.isEmpty()))
                problem = QStringLiteral("register %1").arg(r.value);
            break;
        }
        case Version: {
            Host<ExchangeHost> h;
            const about::VersionResult r = about::queryFirmwareVersion(link, h);
            outcome = r.outcome;
            armed = h.armed;
            allowed = {Outcome::Done, Outcome::WriterError, Outcome::TimedOut, Outcome::PortLost};
            if (r.outcome == Outcome::Done && r.text.isEmpty()) problem = QStringLiteral("no version text");
            break;
        }
        }
    }
    const qint64 ms = clock.elapsed();
    stuck.stop();
    rig.server.writer().responder = nullptr;

    static const bool verbose = qEnvironmentVariableIsSet("FUZZ_REPLIES_VERBOSE");
    if (verbose)
        std::fprintf(stderr, "%s: %s in %lld ms, %d time-outs armed, %d bytes sent\n", kNames[x], outcomeName(outcome),
                     ms, armed, int(rig.sent().size()));
    if (!problem.isEmpty()) fail(x, problem);
    if (std::find(allowed.begin(), allowed.end(), outcome) == allowed.end())
        fail(x, QStringLiteral("outcome %1").arg(QLatin1String(outcomeName(outcome))));
    const qint64 bound = qint64(armed) * kTimeoutMs + untimedMs + kSlackMs;
    if (ms > bound) fail(x, QStringLiteral("took %1 ms, more than %2 (%3 time-outs armed)").arg(ms).arg(bound).arg(armed));
    if (link.binaryMode()) fail(x, QStringLiteral("link left in binary mode"));
    if (link.busy()) fail(x, QStringLiteral("link still held"));
    return 0;
}
