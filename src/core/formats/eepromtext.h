// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Texts and numbers of the data EEPROM view and the byte entry dialog: cell texts, grid
// headers, addresses and the rule that turns an entry into a byte. No widgets here.

#include <QString>
#include <cstdint>

namespace eepromtext {

constexpr int kRows = 5;      // header row + 4 data rows
constexpr int kColumns = 17;  // header column + 16 data columns
constexpr int kBytes = 64;

// A byte as the grid shows it: two upper-case hexadecimal digits, "00" to "FF".
QString cellText(int value);

// The byte carried by a received pair of 7-bit groups; bits 1 to 6 of the first are ignored.
int pairValue(uint8_t first, uint8_t second);

// Header texts: "+0h" .. "+Fh" over columns 1..16, " 00h" .. " 30h" beside rows 1..4.
QString columnHeader(int column);
QString rowHeader(int row);

bool isDataCell(int row, int column);
// The address a grid cell stands for: (row - 1) * 16 + (column - 1).
int cellAddress(int row, int column);
int cellRow(int address);
int cellColumn(int address);

// "Add " and the address in hexadecimal without leading zeros: "Add 0", "Add 3F".
QString addressLabel(int address);

// The hexadecimal value of a text: blanks removed, either case, read up to the first
// character that is not a hexadecimal digit; 0 when it does not start with one.
int hexValue(const QString &text);

// What is wrong with an entry, in the order the entry is checked.
enum class EntryProblem { None, NotOneByte, NotAValue, OutOfRange };

struct Entry {
    EntryProblem problem = EntryProblem::None;
    int value = 0;
};

// Checks the text of the entry field and gives the byte to write.
Entry checkEntry(const QString &text);

// The message for a problem; empty for None.
QString problemText(EntryProblem problem);

}  // namespace eepromtext
