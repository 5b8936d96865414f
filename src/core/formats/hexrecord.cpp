// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/formats/hexrecord.h"

#include <QFileInfo>
#include <cmath>

namespace hexrecord {

int nibble(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

int fieldValue(const QByteArray &line, int pos, int len)
{
    int v = 0;
    for (int k = 0; k < len; ++k) {
        const qsizetype idx = qsizetype(pos) - 1 + k;
        if (idx < 0 || idx >= line.size()) break;
        const int d = nibble(line[idx]);
        if (d < 0) break;
        v = v * 16 + d;
    }
    return v;
}

Record parse(const QByteArray &line)
{
    Record r;
    r.colon = !line.isEmpty() && line[0] == ':';
    r.count = fieldValue(line, 2, 2);
    r.address = qint16(uint16_t(fieldValue(line, 4, 4)));
    r.type = line.mid(7, 2);
    return r;
}

int writeWordAddress(qint16 byteAddress)
{
    // The default rounding mode sends halves to the even neighbour.
    return int(std::nearbyint(byteAddress / 2.0));
}

bool configWordOf(const Record &r, const QByteArray &line, qint16 *word)
{
    if (!r.isData()) return false;
    // In byte addresses: the record starts at or above 4000h and its last whole word reaches
    // 2007h (byte 400Eh) without starting after it.
    const int a = r.address;
    if (a < 2 * kIdAddress) return false;
    if (a + r.count < 2 * kConfigWordAddress + 2 || a > 2 * kConfigWordAddress) return false;
    const int lowPos = 10 + 2 * (2 * kConfigWordAddress - a);
    const int low = byteAt(line, lowPos);
    const int high = byteAt(line, lowPos + 2);
    *word = qint16(uint16_t(low + 256 * high));
    return true;
}

// ---- line reader ------------------------------------------------------------------------

bool LineReader::open(const QString &path)
{
    file_.close();
    buf_.clear();
    pos_ = 0;
    atEnd_ = failed_ = skipLf_ = false;
    // A FIFO or a device would block or never end: only regular files are read.
    if (path.isEmpty() || !QFileInfo(path).isFile()) return false;
    file_.setFileName(path);
    return file_.open(QIODevice::ReadOnly);
}

bool LineReader::fill()
{
    if (atEnd_ || failed_ || !file_.isOpen()) return false;
    char chunk[16384];
    const qint64 n = file_.read(chunk, sizeof chunk);
    if (n < 0) {
        failed_ = true;
        return false;
    }
    if (n == 0) {
        atEnd_ = true;
        return false;
    }
    buf_.append(chunk, qsizetype(n));
    return true;
}

LineReader::Status LineReader::next(QByteArray *line)
{
    line->clear();
    if (pos_ > 0) {
        buf_.remove(0, pos_);
        pos_ = 0;
    }
    if (skipLf_) {
        if (buf_.isEmpty()) fill();
        if (!buf_.isEmpty() && buf_[0] == '\n') buf_.remove(0, 1);
        skipLf_ = false;
    }
    qsizetype scanFrom = 0;
    for (;;) {
        for (qsizetype i = scanFrom; i < buf_.size(); ++i) {
            const char c = buf_[i];
            if (c != '\n' && c != '\r') continue;
            if (i > kMaxLineLength) return Status::TooLong;
            *line = buf_.left(i);
            pos_ = i + 1;
            skipLf_ = c == '\r';
            return Status::Line;
        }
        if (buf_.size() > kMaxLineLength) return Status::TooLong;
        scanFrom = buf_.size();
        if (!fill()) break;
    }
    if (failed_) return Status::ReadError;
    if (buf_.isEmpty()) return Status::End;
    // A last line without a line end.
    *line = buf_;
    pos_ = buf_.size();
    return Status::Line;
}

}  // namespace hexrecord
