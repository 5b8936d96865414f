// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/formats/hexexport.h"

#include <QSaveFile>

namespace hexexport {

QByteArray dataRecord(int byteAddress, const QByteArray &bytes)
{
    QByteArray rec;
    rec.reserve(5 + bytes.size());
    rec.append(char(bytes.size()));
    rec.append(char((byteAddress >> 8) & 0xFF));
    rec.append(char(byteAddress & 0xFF));
    rec.append(char(0));
    rec.append(bytes);
    uint8_t sum = 0;
    for (char c : rec) sum = uint8_t(sum + uint8_t(c));
    rec.append(char(uint8_t(0x100 - sum)));
    return ':' + rec.toHex().toUpper() + "\r\n";
}

QByteArray programImageToHex(const QVector<quint16> &words)
{
    if (words.size() != kReadWords) return QByteArray();
    auto bytesOf = [&](int firstWord) {
        QByteArray b;
        b.reserve(16);
        for (int i = firstWord; i < firstWord + 8; ++i) {
            b.append(char(words[i] & 0xFF));
            b.append(char(words[i] >> 8));
        }
        return b;
    };
    QByteArray out;
    out.reserve(130 * 45);
    for (int byteAddress = 0; byteAddress < 0x800; byteAddress += 0x10)
        out += dataRecord(byteAddress, bytesOf(byteAddress / 2));
    out += dataRecord(0x4000, bytesOf(1024));
    out += ":00000001FF\r\n";
    return out;
}

bool saveAtomically(const QString &path, const QByteArray &data, QString *why)
{
    QSaveFile f(path);
    // Unbuffered, so a full disk shows in the write itself: a buffered QSaveFile can report
    // a commit as done although its last buffer never reached the disk.
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (why) *why = f.errorString();
        return false;
    }
    qint64 done = 0;
    while (done < data.size()) {
        const qint64 n = f.write(data.constData() + done, data.size() - done);
        if (n <= 0) {
            if (why) *why = f.errorString();
            f.cancelWriting();
            return false;
        }
        done += n;
    }
    if (!f.commit()) {
        if (why) *why = f.errorString();
        return false;
    }
    return true;
}

}  // namespace hexexport
