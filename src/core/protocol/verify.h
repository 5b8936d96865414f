// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the PIC holds against what a file gives: the exchanges that read the PIC and compare
// (verify, blank check), every word and byte that differs, and the summary the user reads (how
// many differ, which way the bits went, whether an erase was missing).

#include "core/protocol/host.h"

#include <QString>
#include <QVector>
#include <array>
#include <optional>

class ProgrammerLink;

namespace eeprom {
class ViewHost;
}
namespace memoryimage {
struct Image;
}

namespace verify {

enum class Space { Program, Config, Eeprom };
// "program", "config", "eeprom": the names the machine-readable output uses.
const char *spaceName(Space s);

// The write sends the configuration word's bits 0-4 only (the dialog's four options); the
// rest of the word is no choice of the user's.
constexpr int kConfigOptionBits = 0x1F;
constexpr int kCodeProtectBit = 0x10;  // active low
constexpr int kConfigWordAddress = 0x2007;
constexpr int kBlankWord = 0x3FFF;

// Code protection on: the PIC then reads back something else than what was written.
inline bool codeProtected(int configWord) { return (configWord & kCodeProtectBit) == 0; }

struct Mismatch {
    Space space = Space::Program;
    int address = 0;
    int expected = 0;
    int actual = 0;
};

struct Counts {
    int differing = 0;  // words (bytes for the EEPROM) that differ
    int oneToZero = 0;  // bits that are 1 in the file and 0 in the PIC
    int zeroToOne = 0;  // bits that are 0 in the file and 1 in the PIC
};

struct Report {
    QVector<Mismatch> mismatches;
    int programCompared = 0;
    bool configCompared = false;
    int eepromCompared = 0;
    // Program memory not compared because code protection is on (in the file's word or the PIC's).
    bool programUnverifiable = false;
    Counts program;  // the configuration word counts with program memory
    Counts eeprom;

    bool differs() const { return !mismatches.isEmpty(); }
    // Every difference in program memory and the configuration word is a bit a write cannot
    // set: the PIC was not erased before the write.
    bool eraseFirst() const { return program.oneToZero > 0 && program.zeroToOne == 0; }
};

// Compares the program words the file gives (-1: none) with a read of 1024 program words
// followed by 2000h..2007h, and the configuration word's option bits when one is expected.
// With code protection on in either word, program memory is left out.
void compareProgram(Report &r, const std::array<int, 1024> &expected, const QVector<quint16> &read,
                    std::optional<int> expectedConfig);
// Compares the EEPROM bytes the file gives (-1: none) with those read (-1: not read).
void compareEeprom(Report &r, const std::array<int, 64> &expected, const std::array<int, 64> &read);

struct Result {
    Outcome outcome = Outcome::Done;
    Report report;  // complete only when the outcome is Done
    QVector<quint16> words;  // the program read as received (for a listing of what the PIC holds)
};

// The verify: the program read ("C", the pause, "R" and 1032 words) compared with the image and
// the configuration word expected. An image that cannot be used (not opened, or an error the
// write would stop on) is told through the host and nothing is sent: FileError.
Result verifyProgram(ProgrammerLink &link, ExchangeHost &host, const memoryimage::Image &image, int configWord);
// The data EEPROM read ("X") compared with the image's bytes, added to report.
Outcome verifyEeprom(ProgrammerLink &link, eeprom::ViewHost &host, const memoryimage::Image &image, Report &report);
// The program read compared with an erased PIC: every program word that is not 3FFFh.
Result checkBlank(ProgrammerLink &link, ExchangeHost &host);

// The summary, in the user's words; several lines joined by LF. When every difference is a bit
// an erase would have set, the last line names the front end's own erase command.
QString summaryText(const Report &r, const QString &eraseCommand);
// One mismatch as a line of the listing.
QString mismatchText(const Mismatch &m);

}  // namespace verify
