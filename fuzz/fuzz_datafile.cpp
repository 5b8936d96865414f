// SPDX-License-Identifier: GPL-3.0-or-later
// Any file contents as the data file of the "/F" start: the 64 bytes the program reads from it
// must be those a reading of the file by the rules below gives. The rules are written out here
// again on purpose, without the program's code.

#include "core/formats/datafile.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// ---- the rules -------------------------------------------------------------------------------
//
// - A file that starts with FF FE or FE FF is UTF-16 (little or big endian) after those two
//   bytes; a byte order mark right after them is not text either. Only the characters below 80h
//   matter to the values: any other character (also a broken surrogate, or an odd last byte)
//   is just something that is neither a digit, a sign, a blank, a comma nor a line end.
// - Otherwise the bytes are the text; a UTF-8 byte order mark at its start is not text.
// - Lines end at CR LF, LF or a lone CR. A line of nothing but blanks (space, tab) holds no
//   value; any other line holds one value per comma-separated field, blanks around it ignored.
// - Only the first 128 values count, taken in 32 groups of four: the second value of group g
//   gives the byte at address 2g, the fourth the byte at 2g + 1. Where the values run out, a
//   position keeps the value it had in the group before (0 in the first).
// - A value is a whole decimal number (a sign, then at least one digit, nothing else): its
//   low eight bits in two's complement; anything else is 0.

constexpr char kOther = '\x01';  // a character that plays no part in the rules

// The text as characters below 80h, everything else as kOther.
QByteArray characters(const QByteArray &raw)
{
    const bool le = raw.startsWith("\xFF\xFE"), be = raw.startsWith("\xFE\xFF");
    if (!le && !be) return raw.startsWith("\xEF\xBB\xBF") ? raw.mid(3) : raw;
    QByteArray out;
    int skipped = 0;
    int i = 2;
    for (; i + 1 < raw.size(); i += 2) {
        const int unit = le ? (uint8_t(raw[i]) | uint8_t(raw[i + 1]) << 8) : (uint8_t(raw[i]) << 8 | uint8_t(raw[i + 1]));
        // Up to two more byte order marks at the start: the decoder's, then the one the UTF-8
        // text would begin with.
        if (unit == 0xFEFF && out.isEmpty() && skipped < 2) {
            ++skipped;
            continue;
        }
        out += unit < 0x80 ? char(unit) : kOther;
    }
    if (i < raw.size()) out += kOther;  // an odd last byte
    return out;
}

bool blank(char c) { return c == ' ' || c == '\t'; }

QByteArray trim(const QByteArray &s)
{
    int a = 0, b = int(s.size());
    while (a < b && blank(s[a])) ++a;
    while (b > a && blank(s[b - 1])) --b;
    return s.mid(a, b - a);
}

uint8_t valueByte(const QByteArray &field)
{
    const QByteArray v = trim(field);
    int i = 0;
    int sign = 1;
    if (!v.isEmpty() && (v[0] == '+' || v[0] == '-')) {
        sign = v[0] == '-' ? -1 : 1;
        i = 1;
    }
    if (i == v.size()) return 0;
    int n = 0;
    for (; i < v.size(); ++i) {
        if (v[i] < '0' || v[i] > '9') return 0;
        n = (n * 10 + (v[i] - '0')) & 0xFF;
    }
    return uint8_t((sign * n) & 0xFF);
}

std::array<uint8_t, 64> expectedBytes(const QByteArray &raw)
{
    const QByteArray text = characters(raw);
    QList<QByteArray> values;
    int pos = 0;
    while (pos < text.size() && values.size() < 128) {
        int end = pos;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
        const QByteArray line = text.mid(pos, end - pos);
        pos = end + ((end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ? 2 : 1);
        if (trim(line).isEmpty()) continue;
        for (const QByteArray &f : line.split(',')) {
            if (values.size() == 128) break;
            values.append(f);
        }
    }
    std::array<uint8_t, 64> out{};
    uint8_t position[4] = {0, 0, 0, 0};
    for (int g = 0; g < 32; ++g) {
        for (int p = 0; p < 4; ++p)
            if (4 * g + p < values.size()) position[p] = valueByte(values[4 * g + p]);
        out[size_t(2 * g)] = position[1];
        out[size_t(2 * g + 1)] = position[3];
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray raw(reinterpret_cast<const char *>(data), qsizetype(size));
    // readDataFile's steps after the read itself (which the bad-file suite covers): a file
    // read here would cost its 1 MiB buffer on every input.
    const QList<QByteArray> values = datafile::splitValues(datafile::decodeText(raw));
    if (values.size() > datafile::kValuesUsed) {
        std::fprintf(stderr, "fuzz_datafile: %d values\n", int(values.size()));
        std::abort();
    }
    const std::array<uint8_t, 64> bytes = datafile::bytesFromValues(values);
    const std::array<uint8_t, 64> e = expectedBytes(raw);
    for (int a = 0; a < 64; ++a) {
        if (bytes[size_t(a)] == e[size_t(a)]) continue;
        std::fprintf(stderr, "fuzz_datafile: byte %d is %d, the rules give %d\n", a, bytes[size_t(a)], e[size_t(a)]);
        std::abort();
    }
    return 0;
}
