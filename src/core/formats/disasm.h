// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 14-bit instruction set of the PIC16F84A: a program word as mnemonic and operands, in
// the plain form of gputils' gpdasm ("clrf    0x06"). Words that are no instruction of this
// PIC, a call or goto past its 1K words among them, read as "dw 0x...." as gpdasm has them.
// No widgets here.

#include <QString>

namespace disasm {

// The instruction of a 14-bit word (higher bits are ignored). upper: hexadecimal digits in
// upper case, as the window program writes numbers; the mnemonic stays as it is.
QString instruction(int word, bool upper = false);

// What gpdasm lists at an address: the ID words (2000h..2003h) and the configuration word
// (2007h) as data ("dw      0x3ff1"), every other word as its instruction.
QString textAt(int address, int word);

// One line of gpdasm's plain listing: "0005:  0186  clrf    0x06".
QString line(int address, int word);

}  // namespace disasm
