// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/formats/datafile.h"

#include "core/systemtext.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace datafile {

namespace {

struct Tr {
    Q_DECLARE_TR_FUNCTIONS(datafile)
};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

QByteArray trimmedBlanks(const QByteArray &s)
{
    int from = 0;
    int to = s.size();
    while (from < to && isBlank(s[from])) ++from;
    while (to > from && isBlank(s[to - 1])) --to;
    return s.mid(from, to - from);
}

QByteArray nextLine(const QByteArray &text, int *pos)
{
    const int n = text.size();
    int end = *pos;
    while (end < n && text[end] != '\n' && text[end] != '\r') ++end;
    const QByteArray line = text.mid(*pos, end - *pos);
    // CR LF, LF and a lone CR all end a line.
    *pos = end;
    if (*pos < n && text[*pos] == '\r') {
        ++*pos;
        if (*pos < n && text[*pos] == '\n') ++*pos;
    } else if (*pos < n && text[*pos] == '\n') {
        ++*pos;
    }
    return line;
}

uint8_t byteFromValue(const QByteArray &text)
{
    const QByteArray v = trimmedBlanks(text);
    int i = 0;
    bool negative = false;
    if (i < v.size() && (v[i] == '+' || v[i] == '-')) {
        negative = v[i] == '-';
        ++i;
    }
    if (i >= v.size()) return 0;
    // The magnitude modulo 256, digit by digit, so any length of number works.
    unsigned low = 0;
    for (; i < v.size(); ++i) {
        const char c = v[i];
        if (c < '0' || c > '9') return 0;
        low = (low * 10 + unsigned(c - '0')) % 256;
    }
    if (negative) low = (256 - low) % 256;  // two's complement
    return uint8_t(low);
}

QList<QByteArray> splitValues(const QByteArray &text, int max)
{
    QList<QByteArray> values;
    int pos = 0;
    // A UTF-8 byte order mark written by some editors is not part of the first value.
    if (text.startsWith("\xEF\xBB\xBF")) pos = 3;
    const int n = text.size();
    while (pos < n && values.size() < max) {
        const QByteArray line = nextLine(text, &pos);
        if (trimmedBlanks(line).isEmpty()) continue;
        int from = 0;
        for (;;) {
            const int comma = line.indexOf(',', from);
            const int stop = comma < 0 ? line.size() : comma;
            values.append(trimmedBlanks(line.mid(from, stop - from)));
            if (values.size() >= max || comma < 0) break;
            from = comma + 1;
        }
    }
    return values;
}

std::array<uint8_t, kBytes> bytesFromValues(const QList<QByteArray> &values)
{
    std::array<uint8_t, kBytes> out{};
    uint8_t position[4] = {0, 0, 0, 0};
    int next = 0;
    for (int g = 0; g < kGroups; ++g) {
        for (int p = 0; p < 4; ++p) {
            if (next < values.size() && next < kValuesUsed) position[p] = byteFromValue(values[next++]);
        }
        out[size_t(2 * g)] = position[1];
        out[size_t(2 * g + 1)] = position[3];
    }
    return out;
}

QByteArray decodeText(const QByteArray &raw)
{
    QStringDecoder::Encoding encoding;
    if (raw.startsWith("\xFF\xFE")) encoding = QStringDecoder::Utf16LE;
    else if (raw.startsWith("\xFE\xFF")) encoding = QStringDecoder::Utf16BE;
    else return raw;
    // Read byte by byte, the digits, commas and line ends of a UTF-16 text would each come
    // with a NUL, and every value would read as "not a number": all zeros, written as a success.
    QStringDecoder decode(encoding, QStringDecoder::Flag::Stateless);
    const QString text = decode(QByteArrayView(raw).sliced(2));
    return text.toUtf8();
}

ReadResult readDataFile(const QString &path)
{
    ReadResult r;
    const QFileInfo info(path);
    // A FIFO or a device could block the open or never end: only plain files are read.
    if (!info.exists()) {
        r.error = Tr::tr("ファイルがありません: %1").arg(path);
        return r;
    }
    if (!info.isFile()) {
        r.error = Tr::tr("通常のファイルではありません: %1").arg(path);
        return r;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        r.error = systemtext::after(Tr::tr("%1 を読めません。").arg(path), f.errorString());
        return r;
    }
    const QByteArray text = f.read(kMaxFileBytes);
    if (f.error() != QFileDevice::NoError) {
        r.error = systemtext::after(Tr::tr("%1 を読めません。").arg(path), f.errorString());
        return r;
    }
    r.bytes = bytesFromValues(splitValues(decodeText(text)));
    r.ok = true;
    return r;
}

}  // namespace datafile
