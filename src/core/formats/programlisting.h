// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Program memory as rows to read: the HEX file as the write takes it and/or the PIC as a read
// got it, address by address with the disassembly, long runs of erased words folded, the ID
// and configuration words decoded, and where file and PIC differ (as the verify compares
// them). No widgets here.

#include "core/formats/memoryimage.h"

#include <QString>
#include <QVector>
#include <array>

namespace listing {

constexpr int kProgramWords = memoryimage::kProgramWords;
constexpr int kIdWords = memoryimage::kIdWords;
constexpr int kIdAddress = memoryimage::kIdWordAddress;
constexpr int kConfigAddress = kIdAddress + kIdWords - 1;
constexpr int kErased = 0x3FFF;
// Fewer erased words in a row than this stay as instructions (a lone 3FFFh is "addlw 0xff").
constexpr int kFoldRun = 16;

// One picture of program memory and the words at 2000h..2007h; -1 where it has no word.
struct Image {
    bool present = false;
    std::array<int, kProgramWords> program;
    std::array<int, kIdWords> id;
    // The configuration word is the stored setting's, the file giving none (as the write does).
    bool configFromSettings = false;

    Image()
    {
        program.fill(-1);
        id.fill(-1);
    }
};

// The file as the write takes it; its configuration word, or the stored one where it has none.
Image fromFile(const memoryimage::Image &file, int storedConfigWord);
// A complete read: 1024 program words, then 2000h..2007h. Anything shorter gives no image.
Image fromRead(const QVector<quint16> &words);

struct Row {
    enum Kind { Word, Unused, Id, Config };
    Kind kind = Word;
    int address = 0;
    int last = 0;       // Unused: the run's last address
    int file = -1;      // the words, -1 where that side has none
    int pic = -1;
    bool differs = false;
};

struct Listing {
    QVector<Row> rows;
    int differences = 0;
    // Code protection is on in the file's word or the PIC's: program memory is not compared.
    bool unverifiable = false;

    // The row showing this address (a folded run holds many), or -1.
    int rowOf(int address) const;
};

// The rows of one image or of both side by side; fold: runs of kFoldRun or more erased words
// become one row.
Listing build(const Image &file, const Image &pic, bool fold = true);

// What a row's word says, in the window's upper-case hexadecimal: the instruction, or the ID
// word or the configuration word decoded.
QString describe(const Row &row, int word, bool configFromSettings = false);
// "0120h–03FFh 未使用 (3FFF)", or a single address "0005h".
QString addressText(const Row &row);
// The whole listing as text, one row a line, differences marked with "*".
QString text(const Listing &l, const Image &file, const Image &pic);

}  // namespace listing
