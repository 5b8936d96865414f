// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Intel HEX records as the write and the configuration word lookup read them, and a line
// reader that never holds more than one bounded line. No widgets here.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace hexrecord {

// Word address of the configuration word, and of the first ID location.
constexpr int kConfigWordAddress = 0x2007;
constexpr int kIdAddress = 0x2000;
// Words 0..kLastProgramWord are written; a word above it ends the data phase (on a 1K-word
// PIC word 400h would wrap to the reset vector, which the same write has programmed).
constexpr int kLastProgramWord = 1023;

// The value of one hex digit of either case; -1 when it is not one.
int nibble(char c);

// Hex digits of either case starting at the 1-based position `pos`, at most `len` of them,
// converted up to the first non-hex character; none at all gives 0.
int fieldValue(const QByteArray &line, int pos, int len);

// The fields of one line. Positions are 1-based as in the record layout.
struct Record {
    bool colon = false;    // ":" at position 1
    int count = 0;         // byte count (positions 2-3)
    qint16 address = 0;    // byte address (positions 4-7), 16-bit signed: 8000h.. reads negative
    QByteArray type;       // positions 8-9 as text, compared with "00" and "01"

    bool isData() const { return type == "00"; }
    bool isEnd() const { return type == "01"; }
};
Record parse(const QByteArray &line);

// The data byte at the 1-based position `pos` (two digits).
inline int byteAt(const QByteArray &line, int pos) { return fieldValue(line, pos, 2); }

// Word i of a data record: low byte at 10 + 4i, high byte at 12 + 4i.
inline int lowByte(const QByteArray &line, int i) { return byteAt(line, 10 + 4 * i); }
inline int highByte(const QByteArray &line, int i) { return byteAt(line, 12 + 4 * i); }

// The write's word address of a record: byte address / 2, halves to the even neighbour.
int writeWordAddress(qint16 byteAddress);

// The configuration word when this data record holds word 2007h (its first record that
// covers it decides); otherwise nothing. The value is low + 256 * high as a 16-bit integer.
bool configWordOf(const Record &r, const QByteArray &line, qint16 *word);

// Reads a text file line by line. A line ends at LF, CR LF or a lone CR; a line longer than
// kMaxLineLength is refused rather than collected, so a binary or absurd file cannot make us
// hold it whole.
class LineReader {
public:
    // A record holds at most 255 data bytes: 1 + 2 + 4 + 2 + 510 + 2 = 521 characters.
    static constexpr int kMaxLineLength = 1024;
    enum class Status { Line, End, TooLong, ReadError };

    // False when the path is not a regular file or cannot be opened for reading.
    bool open(const QString &path);
    Status next(QByteArray *line);
    void close() { file_.close(); }
    bool isOpen() const { return file_.isOpen(); }

private:
    bool fill();
    QFile file_;
    QByteArray buf_;
    qsizetype pos_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
    bool skipLf_ = false;  // the previous line ended in CR: a following LF belongs to it
};

}  // namespace hexrecord
