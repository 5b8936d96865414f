// SPDX-License-Identifier: GPL-3.0-or-later
// The writer's replies come from the input: every exchange of the core runs against a simulated
// writer that answers each byte the program sends as the input says (as the writer would,
// something else, nothing, late, or by hanging up the line). Whatever comes, the exchange must
// not crash, must return within its time-outs and fixed pauses, must leave the link in text mode
// and free, and must end only as its replies allow: a success only where every reply it relies on
// was the writer's own, and then with what the modelled PIC holds.
//
// Input: the first byte picks the exchange (and the EEPROM address of the byte write); then one
// control byte for each byte the program sends, in order:
//   00h-7Fh  the writer answers as it would;
//   80h-BFh  it answers with the next (c & 3Fh) % 9 input bytes instead (0: nothing), and the
//            modelled PIC does nothing of what the byte asked;
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

// The writer's side: each byte the program sends takes the next control byte. What the writer
// sent in place of its own reply is kept, to judge the outcome by.
class Script {
public:
    Script(const uint8_t *data, size_t size, sim::PtyServer &server) : data_(data), size_(size), server_(server) {}

    std::optional<QByteArray> answer(uint8_t sent, sim::SimWriter &w)
    {
        if (pos_ >= size_) return std::nullopt;
        const uint8_t c = data_[pos_++];
        if (c < 0x80) return std::nullopt;
        if (c >= 0xC0 && c < 0xE0) {
            // Late by the packet, not by the byte: a long reply stays as quick as the line.
            server_.setAdapterLatency(1 + (c & 0x1F) * 5);
            late = true;
            return std::nullopt;
        }
        QByteArray out = take(c < 0xE0 ? (c & 0x3F) % 9 : c & 3);
        hungUp = hungUp || c >= 0xE0;
        judge(sent, w, out);
        // The fault hangs up in place of the reply after these bytes.
        if (c >= 0xE0) w.setFault({sim::Fault::HangUp, int(out.size()), {}, 0});
        return c >= 0xE0 ? out + '\0' : out;
    }

    bool late = false;      // replies went through a slow adapter
    bool hungUp = false;
    bool replaced = false;  // some reply was not the writer's own: the modelled PIC did not do it
    bool refused = false;   // some reply was one the exchange must not take for the writer's own

private:
    // The exchanges read one byte as the reply. Outside the link check nothing waits for what
    // "C", "E" and "S" bring (the opening, the way back to the command loop); an EEPROM erase
    // takes its "a" behind one other byte; a data-file byte takes "m" or "a".
    void judge(uint8_t sent, const sim::SimWriter &w, const QByteArray &out)
    {
        sim::SimWriter own = w;
        own.responder = nullptr;
        QByteArray expected;
        for (const sim::OutUnit &u : own.feed(sent)) expected.append(char(u.byte));
        if (out == expected && !hungUp) return;
        replaced = true;
        if (expected.isEmpty() || sent == 'C' || sent == 'E' || sent == 'S') return;
        const char want = expected[0];
        bool taken = out.startsWith(want);
        if (sent == 'F') taken = out.left(2).contains('a');
        if ((sent & 0x80) && (want == 'm' || want == 'a')) taken = out.startsWith('m') || out.startsWith('a');
        if (!taken) refused = true;
    }
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

// The modelled PIC starts with none of its memory blank, so an erase that does nothing shows.
void fillPic(sim::SimWriter &w)
{
    for (size_t i = 0; i < w.program.size(); ++i) w.program[i] = uint16_t((i * 0x9D + 0x123) & 0x3FFF);
    for (size_t i = 0; i < w.idConfig.size(); ++i) w.idConfig[i] = uint16_t(0x3F00 + i * 0x11);
    for (size_t i = 0; i < w.eeprom.size(); ++i) w.eeprom[i] = uint8_t(i * 13 + 7);
}

// The fixed pauses that sleep without the event loop, each exchange's total.
const qint64 kSleepsMs[kExchanges] = {500, 0, 500, 500, 0, 300, 0, 0, 0, 0};

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
    sim::SimWriter &pic = rig.server.writer();
    fillPic(pic);
    const sim::SimWriter before = pic;
    pic.responder = [&script](uint8_t b, sim::SimWriter &w) { return script.answer(b, w); };
    ProgrammerLink &link = rig.link;

    // A wait that never ends is caught here rather than by the fuzzer's own time limit.
    QTimer stuck;
    stuck.setSingleShot(true);
    QObject::connect(&stuck, &QTimer::timeout, [x] { fail(x, QStringLiteral("still running after 20 s")); });
    stuck.start(20000);

    fuzzrig::sleptMs() = 0;
    Outcome outcome = Outcome::Busy;
    Outcome success = Outcome::Done;
    std::vector<Outcome> allowed;
    int armed = 0;
    qint64 untimedMs = 0;  // how long an exchange without a time-out may wait
    QString problem;       // a result out of range, or other than the PIC's where that is known
    auto expect = [&problem](bool holds, const QString &what) {
        if (!holds && problem.isEmpty()) problem = what;
    };
    // The EEPROM as a read gives it, where the writer's replies were its own.
    auto eepromMatches = [&](const eeprom::ReadResult &r) {
        for (int a = 0; a < 64; ++a)
            if (r.bytes[size_t(a)] != pic.eeprom[size_t(a)]) return false;
        return true;
    };
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
            // It passes on an "s" to the first "S" and on another to the "S" after its pause.
            if (outcome == Outcome::Done)
                expect(rig.server.writerBytes().count('s') >= 2, QStringLiteral("passed without two \"s\""));
            break;
        }
        case Write: {
            Host<ExchangeHost> h;
            const program::WriteResult r = program::sendProgram(link, h, files.hex, 0x3FF1);
            outcome = r.outcome;
            armed = h.armed;
            expect(r.nextAddress >= 0 && r.nextAddress <= 6, QStringLiteral("reached address %1").arg(r.nextAddress));
            expect(r.configWritten == (r.outcome == Outcome::Done), QStringLiteral("configuration word written or not"));
            if (outcome == Outcome::Done && !script.replaced) {
                // Words 0, 1 and 5 of the file; the skipped ones untouched; only the low group of
                // the configuration word goes out.
                sim::SimWriter want = before;
                want.program[0] = 0x0123;
                want.program[1] = 0x2805;
                want.program[5] = 0x1234;
                want.idConfig[7] = 0x71;
                expect(pic.program == want.program && pic.idConfig == want.idConfig, QStringLiteral("PIC not as written"));
            }
            break;
        }
        case Read: {
            Host<ExchangeHost> h;
            const program::ReadResult r = program::readProgram(link, h);
            outcome = r.outcome;
            armed = h.armed;
            // No file name is given: a complete read ends declined.
            success = Outcome::Declined;
            allowed = {Outcome::Declined, Outcome::NoPower, Outcome::WriterError, Outcome::TimedOut, Outcome::PortLost};
            expect(r.words.size() <= 1032 && (r.outcome == Outcome::Declined) == (r.words.size() == 1032),
                   QStringLiteral("%1 words").arg(r.words.size()));
            for (int i = 0; i < int(r.words.size()); ++i) {
                const quint16 want = i < 1024 ? pic.program[size_t(i)] : pic.idConfig[size_t(i - 1024)];
                expect(r.words[i] <= 0x3FFF, QStringLiteral("word %1").arg(r.words[i], 0, 16));
                if (!script.replaced) expect(r.words[i] == want, QStringLiteral("word %1 is %2, the PIC's %3").arg(i).arg(r.words[i], 0, 16).arg(want, 0, 16));
            }
            break;
        }
        case Erase: {
            Host<ExchangeHost> h;
            outcome = program::eraseProgram(link, h);
            armed = h.armed;
            if (outcome == Outcome::Done && !script.replaced) {
                sim::SimWriter blank;
                expect(pic.program == blank.program && pic.idConfig == blank.idConfig, QStringLiteral("PIC not erased"));
            }
            break;
        }
        case EepromRead:
        case EepromErase: {
            Host<eeprom::ViewHost> h;
            const eeprom::ReadResult r = x == EepromRead ? eeprom::readEeprom(link, h) : eeprom::eraseEeprom(link, h);
            outcome = r.outcome;
            armed = h.armed;
            expect(r.count >= 0 && r.count <= 64 && (r.outcome == Outcome::Done) == (r.count == 64),
                   QStringLiteral("%1 bytes").arg(r.count));
            for (int a = 0; a < 64; ++a)
                expect(a < r.count ? (r.bytes[size_t(a)] >= 0 && r.bytes[size_t(a)] <= 255) : r.bytes[size_t(a)] == -1,
                       QStringLiteral("byte %1 is %2").arg(a).arg(r.bytes[size_t(a)]));
            if (outcome == Outcome::Done && !script.replaced) {
                expect(eepromMatches(r), QStringLiteral("bytes other than the PIC's"));
                if (x == EepromErase) expect(pic.eeprom == sim::SimWriter().eeprom, QStringLiteral("EEPROM not erased"));
            }
            break;
        }
        case EepromByte: {
            Host<eeprom::EntryHost> h;
            const int address = (data[0] / kExchanges) & 0x3F;
            outcome = eeprom::writeEepromByte(link, h, address, QStringLiteral("5A"));
            armed = h.armed;
            if (outcome == Outcome::Done && !script.replaced) {
                sim::SimWriter want = before;
                want.eeprom[size_t(address)] = 0x5A;
                expect(pic.eeprom == want.eeprom, QStringLiteral("EEPROM not as written"));
            }
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
            expect(r.written >= 0 && r.written <= 64 && (r.outcome == Outcome::Done) == (r.written == 64),
                   QStringLiteral("%1 bytes written").arg(r.written));
            expect(sentAtClose < 0 || int(rig.sent().size()) == sentAtClose, QStringLiteral("sent after the window closed"));
            expect((r.outcome == Outcome::Cancelled) == h.closed, QStringLiteral("cancelled or not"));
            if (outcome == Outcome::Done && !script.replaced)
                for (int n = 0; n < 64; ++n)
                    expect(pic.eeprom[size_t(n)] == (n * 37 + 200) % 256, QStringLiteral("EEPROM byte %1 not as written").arg(n));
            break;
        }
        case ConfReg: {
            Host<ExchangeHost> h;
            const confreg::ReadResult r = confreg::readConfigRegister(link, h);
            outcome = r.outcome;
            armed = h.armed;
            if (r.outcome == Outcome::Done)
                expect(r.value >= 0 && r.value <= 255 && !r.text.isEmpty(), QStringLiteral("register %1").arg(r.value));
            // The register is the second data byte: the word's low seven bits with bit 7 set.
            if (outcome == Outcome::Done && !script.replaced)
                expect(r.value == (0x80 | (pic.idConfig[7] & 0x7F)), QStringLiteral("register %1, not the PIC's").arg(r.value));
            break;
        }
        case Version: {
            Host<ExchangeHost> h;
            const about::VersionResult r = about::queryFirmwareVersion(link, h);
            outcome = r.outcome;
            armed = h.armed;
            allowed = {Outcome::Done, Outcome::WriterError, Outcome::TimedOut, Outcome::PortLost};
            if (r.outcome == Outcome::Done) expect(!r.text.isEmpty(), QStringLiteral("no version text"));
            if (outcome == Outcome::Done && !script.replaced)
                expect(r.text == QStringLiteral("ファームウェアバージョン 1.05"), QStringLiteral("version text %1").arg(r.text));
            break;
        }
        }
    }
    const qint64 ms = clock.elapsed();
    stuck.stop();
    pic.responder = nullptr;

    static const bool verbose = qEnvironmentVariableIsSet("FUZZ_REPLIES_VERBOSE");
    if (verbose)
        std::fprintf(stderr, "%s: %s in %lld ms, %d time-outs armed, %d bytes sent%s%s%s\n", kNames[x], outcomeName(outcome),
                     ms, armed, int(rig.sent().size()), script.replaced ? ", replies replaced" : "",
                     script.refused ? ", one not to be taken" : "", script.late ? ", late" : "");
    if (!problem.isEmpty()) fail(x, problem);
    if (std::find(allowed.begin(), allowed.end(), outcome) == allowed.end())
        fail(x, QStringLiteral("outcome %1").arg(QLatin1String(outcomeName(outcome))));
    // Each failure needs a reply that could cause it; a success needs every reply it took.
    // The version's text is any characters before its "a", and the link check judges its own.
    if ((outcome == Outcome::PortLost && !script.hungUp) || (outcome == Outcome::NoPower && !script.replaced) ||
        (outcome == Outcome::WriterError && !script.replaced && !script.late) ||
        (outcome == success && script.refused && x != Version && x != LinkCheck))
        fail(x, QStringLiteral("outcome %1 from these replies").arg(QLatin1String(outcomeName(outcome))));
    if (fuzzrig::sleptMs() > kSleepsMs[x])
        fail(x, QStringLiteral("paused %1 ms without the event loop, more than %2").arg(fuzzrig::sleptMs()).arg(kSleepsMs[x]));
    const qint64 bound = qint64(armed) * kTimeoutMs + untimedMs + kSlackMs;
    if (ms > bound) fail(x, QStringLiteral("took %1 ms, more than %2 (%3 time-outs armed)").arg(ms).arg(bound).arg(armed));
    if (link.binaryMode()) fail(x, QStringLiteral("link left in binary mode"));
    if (link.busy()) fail(x, QStringLiteral("link still held"));
    return 0;
}
