// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Intel HEX text for tests: records with correct checksums, as an assembler writes them.

#include <QByteArray>
#include <QVector>

namespace hexfiles {

inline QByteArray rec(int address, const QByteArray &data, int type = 0)
{
    QByteArray r;
    r.append(char(data.size()));
    r.append(char((address >> 8) & 0xFF));
    r.append(char(address & 0xFF));
    r.append(char(type));
    r.append(data);
    int sum = 0;
    for (char c : r) sum += uint8_t(c);
    r.append(char((256 - (sum & 0xFF)) & 0xFF));
    return ':' + r.toHex().toUpper() + "\r\n";
}

// Program words as HEX data: low byte first.
inline QByteArray words(const QVector<int> &ws)
{
    QByteArray d;
    for (int w : ws) {
        d.append(char(w & 0xFF));
        d.append(char((w >> 8) & 0xFF));
    }
    return d;
}

inline const QByteArray kEnd = ":00000001FF\r\n";

}  // namespace hexfiles
