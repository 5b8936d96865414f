// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The data file of the "/F" start: decimal values separated by commas or line ends, taken in
// 32 groups of four; the second and fourth value of each group are the data bytes of two
// consecutive EEPROM addresses. No widgets here.

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <cstdint>

namespace datafile {

constexpr int kGroups = 32;
constexpr int kValuesUsed = kGroups * 4;  // values after these are never read
constexpr int kBytes = kGroups * 2;
// Far more than 128 values can need; the rest of a larger file is never looked at, so a
// huge file costs neither memory nor time.
constexpr qint64 kMaxFileBytes = 1 << 20;

// The byte sent for one value: its low eight bits when it is a whole decimal number (an
// optional sign, then digits), 0 when it is anything else. Blanks around it are ignored.
uint8_t byteFromValue(const QByteArray &text);

// The text without the blanks (spaces, tabs) at either end.
QByteArray trimmedBlanks(const QByteArray &s);

// The line of a text that starts at *pos, without its end; *pos moves past that end.
QByteArray nextLine(const QByteArray &text, int *pos);

// The first `max` values of a text. Lines that are empty or blank hold no value; otherwise a
// line holds one value per comma-separated field (an empty field is a value that is not a number).
QList<QByteArray> splitValues(const QByteArray &text, int max = kValuesUsed);

// The 64 data bytes the values give. A value missing at the end of a short text leaves its
// position in the group with the value it had last (0 when it never had one).
std::array<uint8_t, kBytes> bytesFromValues(const QList<QByteArray> &values);

// The file's text as bytes the value rules can read: a text saved as UTF-16 (with its byte
// order mark, as Windows editors save "Unicode") becomes UTF-8; any other text is left as it is.
QByteArray decodeText(const QByteArray &raw);

struct ReadResult {
    bool ok = false;
    std::array<uint8_t, kBytes> bytes{};
    QString error;  // why the file could not be read, when !ok
};

// Reads at most kMaxFileBytes of a regular file and returns its 64 data bytes.
ReadResult readDataFile(const QString &path);

}  // namespace datafile
