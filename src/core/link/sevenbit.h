// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The wire encoding of values: 7-bit groups, most significant first, each with bit 7 set.

#include <QByteArray>
#include <cstdint>

namespace SevenBitGroup {

// value cut into `groups` groups of 7 bits, most significant first, each as 0x80 | group.
inline QByteArray encode(uint32_t value, int groups)
{
    QByteArray out;
    for (int g = groups - 1; g >= 0; --g) out.append(char(0x80 | ((value >> (7 * g)) & 0x7F)));
    return out;
}

inline QByteArray word14(uint16_t w) { return encode(w & 0x3FFF, 2); }
inline QByteArray byte8(uint8_t b) { return encode(b, 2); }
inline uint8_t single(int v) { return uint8_t(0x80 | (v & 0x7F)); }

// Two received groups back into a value; the caller has checked bit 7 of both.
inline uint16_t decode2(uint8_t first, uint8_t second) { return uint16_t(((first & 0x7F) << 7) | (second & 0x7F)); }

inline bool isData(uint8_t b) { return (b & 0x80) != 0; }

}  // namespace SevenBitGroup
