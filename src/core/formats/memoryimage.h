// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A HEX file read whole, as the program write would take it, before anything is sent: the
// program words the write sends (its own rules: records in file order, word address = byte
// address / 2 with halves to the even neighbour, "I" gaps, the data phase over at the end
// record or at the first word at 400h or above), the configuration word its lookup finds,
// the ID words, the data EEPROM records (byte addresses 4200h-427Fh, one byte per word), and
// everything wrong with the file, line by line. No widgets here.

#include <QString>
#include <QVector>
#include <array>
#include <optional>

namespace memoryimage {

constexpr int kProgramWords = 1024;
constexpr int kIdWords = 8;                 // 2000h..2007h
constexpr int kIdWordAddress = 0x2000;
constexpr int kEepromBytes = 64;
constexpr int kEepromByteAddress = 0x4200;  // EEPROM byte n is the low byte of word 2100h + n

enum class Problem {
    // The write itself would stop part-way on these.
    LineTooLong,
    Unreadable,
    NoColon,
    AddressBackwards,   // a record before the word the write has reached (or at 8000h and up)
    WordTooWide,        // a high byte of 80h or more
    // The write would go on; the command line refuses them unless forced.
    BadRecord,          // checksum, byte count or digits do not add up
    BeyondProgramMemory,  // words from 400h to 1FFFh
    // Told, never refused.
    NotWrittenAfterStop,  // program words after the record that ended the data phase
    IdNotWritten,         // words 2000h..2006h: the writer has no command for them
    BitsAboveFourteen,    // a word with bit 14 or 15 set; the PIC keeps 14 bits
    Ignored,              // an address the PIC has nothing at
    OtherRecordType,      // a record type the write skips
};

enum class Severity { Error, ForcibleError, Warning };
Severity severityOf(Problem p);

struct Issue {
    Problem problem = Problem::Ignored;
    int line = 0;        // 1-based
    int address = -1;    // the word address concerned, where there is one
    int value = 0;       // BadRecord: the checksum that would fit (-1 when the record is cut short);
                         // NotWrittenAfterStop: the line that ended the data phase;
                         // BeyondProgramMemory: the line's last word address below 2000h
};

// What is wrong, in the user's words (without the file name and line).
QString problemText(const Issue &issue);

struct Image {
    bool opened = false;
    // Program words the write sends, by word address; -1 where the file gives none.
    std::array<int, kProgramWords> program;
    // Words the write sends with "D", those at 400h and above included.
    int wordsSent = 0;
    // The configuration word the write's lookup finds (the first record that covers 2007h).
    std::optional<qint16> configWord;
    int configLine = 0;
    // Words 2000h..2007h and the EEPROM bytes as the file gives them; -1 where it does not.
    std::array<int, kIdWords> id;
    std::array<int, kEepromBytes> eeprom;
    QVector<Issue> issues;

    Image()
    {
        program.fill(-1);
        id.fill(-1);
        eeprom.fill(-1);
    }
    bool hasErrors(bool force) const;
    // The file gives ID words (2000h-2006h) or data EEPROM bytes, which a program write leaves out.
    bool hasIdOrEeprom() const;
    int programWordCount() const;
    int eepromByteCount() const;
};

// Reads the whole file. opened is false when the path is not a regular file that can be read.
Image read(const QString &path);

}  // namespace memoryimage
