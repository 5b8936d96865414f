// SPDX-License-Identifier: GPL-3.0-or-later
// Any file contents as the HEX file of a program write. The configuration word lookup and the
// write's data phase (from "W" on) run for real against the simulated writer; the bytes sent, the
// memory written, where the write stopped and how, must all be what a reading of the file by the
// rules below gives. The rules are written out here again on purpose, without the program's code.

#include "core/protocol/programexchange.h"
#include "fuzzrig.h"

#include <QElapsedTimer>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// ---- the rules -------------------------------------------------------------------------------
//
// - A line ends at LF, CR LF or a lone CR; a last line may lack its end. A line of more than
//   1024 characters is an error.
// - A line that does not start with ":" is an error (an empty line too).
// - Characters 2-3 are the byte count, 4-7 the byte address, 8-9 the type; each field is read
//   as hex digits of either case up to the first character that is not one (none: 0).
// - Type "00" is data, "01" ends the file, any other line is skipped.
// - The write: the word address is the byte address / 2, halves to the even neighbour. Words 0
//   to 3FFh are written: a record at word 400h or above, or a record's word that would go there,
//   ends the data phase (the configuration word follows); a byte address of 8000h or more, or a
//   word address below the next one to write, is an error. A gap is skipped with "I" and a
//   count, at most 127 a step, the remainder of 128 first. Then each whole word of the record
//   (low byte at 10 + 4i, high at 12 + 4i) goes as "D" and two 7-bit groups of the 14-bit word;
//   a high byte of 80h or more is an error once its "D" is out.
// - The data phase ends at the end of the file or at an end record; then "G", the groups 00h and
//   the low 7 bits of the configuration word, "E". After an error only "E" follows.
// - The configuration word lookup: the first data record, before any bad line and before an end
//   record, whose byte address (read as signed 16 bits) lies from 4000h to 400Eh and whose
//   bytes reach 400Fh gives low + 256 * high at byte address 400Eh.

constexpr int kMaxLine = 1024;
constexpr int kWords = 0x400;
// Words and skips sent at most, to keep one input fast on the real line.
constexpr int kMaxSteps = 64;

int digit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    const char l = char(c | 0x20);
    if (l >= 'a' && l <= 'f') return l - 'a' + 10;
    return -1;
}

// Hex field at 0-based `from`, at most `n` digits.
int field(const QByteArray &line, int from, int n)
{
    int v = 0;
    for (int i = from; i < from + n && i < line.size(); ++i) {
        const int d = digit(line[i]);
        if (d < 0) break;
        v = v * 16 + d;
    }
    return v;
}

struct Lines {
    QList<QByteArray> lines;
    bool tooLong = false;  // the line after the last one listed is too long
};

Lines splitLines(const QByteArray &text)
{
    Lines out;
    int start = 0;
    const int n = int(text.size());
    while (start < n) {
        int end = start;
        while (end < n && text[end] != '\n' && text[end] != '\r') ++end;
        if (end - start > kMaxLine) {
            out.tooLong = true;
            return out;
        }
        out.lines.append(text.mid(start, end - start));
        if (end < n && text[end] == '\r' && end + 1 < n && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
    return out;
}

int evenHalf(int byteAddress)
{
    int w = byteAddress / 2;
    if (byteAddress % 2 && w % 2) ++w;
    return w;
}

enum class End { Done, BadFile };

struct Expected {
    QByteArray wire;  // from "W" on
    std::array<uint16_t, 1024> program;
    int config = -1;  // the word the writer stores; -1: not written
    End end = End::Done;
    int line = 0;
    int next = 0;
    int steps = 0;
    Expected() { program.fill(0x3FFF); }
};

Expected model(const Lines &file, int configWord)
{
    Expected e;
    e.wire = "W";
    bool ended = false;
    for (int k = 0; k <= file.lines.size() && !ended; ++k) {
        e.line = k + 1;
        if (k == file.lines.size()) {
            if (file.tooLong) e.end = End::BadFile;
            break;
        }
        const QByteArray &l = file.lines[k];
        if (l.isEmpty() || l[0] != ':') {
            e.end = End::BadFile;
            break;
        }
        const QByteArray type = l.mid(7, 2);
        if (type == "01") break;
        if (type != "00") continue;
        const int count = field(l, 1, 2);
        const int byteAddress = field(l, 3, 4);
        if (byteAddress >= 0x8000) {
            e.end = End::BadFile;
            break;
        }
        const int a = evenHalf(byteAddress);
        if (a >= kWords) break;
        if (a < e.next) {
            e.end = End::BadFile;
            break;
        }
        while (e.next < a) {
            const int step = (a - e.next) % 128 ? (a - e.next) % 128 : 127;
            e.wire += 'I';
            e.wire += char(0x80 | step);
            e.next += step;
            ++e.steps;
        }
        for (int i = 0; i < count / 2; ++i) {
            if (e.next >= kWords) {
                ended = true;
                break;
            }
            e.wire += 'D';
            ++e.steps;
            const int low = field(l, 9 + 4 * i, 2), high = field(l, 11 + 4 * i, 2);
            if (high >= 0x80) {
                e.end = End::BadFile;
                ended = true;
                break;
            }
            const int word = (high * 256 + low) & 0x3FFF;
            e.wire += char(0x80 | (word >> 7));
            e.wire += char(0x80 | (word & 0x7F));
            e.program[size_t(e.next)] = uint16_t(word);
            ++e.next;
        }
    }
    if (e.end == End::Done) {
        e.wire += 'G';
        e.wire += char(0x80);
        e.wire += char(0x80 | (configWord & 0x7F));
        e.config = configWord & 0x7F;
    }
    e.wire += 'E';
    return e;
}

struct Lookup {
    std::optional<qint16> word;
    bool complained = false;
};

Lookup lookupModel(const Lines &file)
{
    Lookup r;
    for (int k = 0; k <= file.lines.size(); ++k) {
        if (k == file.lines.size()) {
            r.complained = file.tooLong;
            return r;
        }
        const QByteArray &l = file.lines[k];
        if (l.isEmpty() || l[0] != ':') {
            r.complained = true;
            return r;
        }
        const QByteArray type = l.mid(7, 2);
        if (type == "01") return r;
        if (type != "00") continue;
        int a = field(l, 3, 4);
        if (a >= 0x8000) a -= 0x10000;
        const int count = field(l, 1, 2);
        if (a >= 0x4000 && a <= 0x400E && a + count >= 0x4010) {
            const int at = 9 + 2 * (0x400E - a);
            r.word = qint16(uint16_t(field(l, at, 2) + 256 * field(l, at + 2, 2)));
            return r;
        }
    }
    return r;
}

// ---- the program -----------------------------------------------------------------------------

class Host : public ExchangeHost {
public:
    messages::Button show(const messages::Message &m) override
    {
        shown << m.text;
        return messages::Ok;
    }
    // Every reply comes from the simulated writer at once: a time-out here is a fault, and a
    // short one keeps the fuzzer from waiting 5 s on it.
    void armTimeout(int) override { ExchangeHost::armTimeout(2000); }
    QStringList shown;
};

[[noreturn]] void fail(const char *what, const QByteArray &detail = {})
{
    std::fprintf(stderr, "fuzz_hex: %s %s\n", what, detail.toHex(' ').constData());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    const Lines file = splitLines(text);
    const Lookup lookup = lookupModel(file);
    const int configWord = lookup.word ? *lookup.word : 0x3FF5;
    const Expected e = model(file, configWord);
    if (e.steps > kMaxSteps) return -1;  // too long on the line for a fuzzing input

    fuzzrig::ensureApplication();
    const int fd = ::memfd_create("hex", 0);
    if (fd < 0) return 0;
    if (size && ::write(fd, data, size) != ssize_t(size)) {
        ::close(fd);
        return 0;
    }
    const QString path = QStringLiteral("/proc/self/fd/%1").arg(fd);

    Host lookupHost;
    const std::optional<qint16> found = program::configWordFromHex(path, lookupHost);
    if (found != lookup.word) fail("configuration word lookup differs");
    if (!lookupHost.shown.isEmpty() != lookup.complained) fail("lookup's complaint differs");

    fuzzrig::Rig rig;
    if (!rig.ready) fail("no simulated writer");
    Host host;
    const program::WriteResult r = program::sendProgram(rig.link, host, path, qint16(configWord));
    ::close(fd);

    const QByteArray sent = rig.sent();
    const sim::SimWriter &pic = rig.server.writer();
    if (sent != e.wire) {
        std::fprintf(stderr, "expected %s\n", e.wire.toHex(' ').constData());
        fail("sent", sent);
    }
    if (r.outcome != (e.end == End::Done ? Outcome::Done : Outcome::FileError)) fail(outcomeName(r.outcome));
    if (r.line != e.line) fail("line reached differs");
    if (r.nextAddress != e.next) fail("address reached differs");
    if (r.configWritten != (e.config >= 0)) fail("configuration word written or not");
    if (host.shown.size() != 1) fail("not one message");
    for (int a = 0; a < 1024; ++a)
        if (pic.program[size_t(a)] != e.program[size_t(a)]) fail("program memory differs");
    if (pic.configWord() != (e.config >= 0 ? uint16_t(e.config) : 0x3FFF)) fail("configuration word differs");
    if (rig.link.binaryMode()) fail("link left in binary mode");
    return 0;
}
