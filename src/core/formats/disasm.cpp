// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/formats/disasm.h"

namespace disasm {

namespace {

constexpr int kProgramWords = 0x400;  // a call or goto beyond lands nowhere on this PIC

QString hex(int value, int digits, bool upper)
{
    QString t = QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0'));
    return QStringLiteral("0x") + (upper ? t.toUpper() : t);
}

QString op(const char *mnemonic, const QString &operands = QString())
{
    if (operands.isEmpty()) return QLatin1String(mnemonic);
    return QStringLiteral("%1").arg(QLatin1String(mnemonic), -8) + operands;
}

QString data(int word, bool upper) { return op("dw", hex(word, 4, upper)); }

// Bits 13-12 = 00: file register operations, and the few with no operand.
QString fileOperation(int w, bool upper)
{
    static const char *const kNames[16] = {nullptr, nullptr, "subwf", "decf",  "iorwf", "andwf", "xorwf",  "addwf",
                                           "movf",  "comf",  "incf",  "decfsz", "rrf",  "rlf",   "swapf", "incfsz"};
    const int code = (w >> 8) & 0xF;
    const int d = (w >> 7) & 1;
    const int f = w & 0x7F;
    if (code >= 2) return op(kNames[code], hex(f, 2, upper) + QStringLiteral(", ") + hex(d, 1, upper));
    if (code == 1) {
        if (d) return op("clrf", hex(f, 2, upper));
        return w == 0x0103 ? op("clrw") : data(w, upper);
    }
    if (d) return op("movwf", hex(f, 2, upper));
    switch (f) {
    case 0x00: case 0x20: case 0x40: case 0x60: return op("nop");
    case 0x08: return op("return");
    case 0x09: return op("retfie");
    case 0x61: return op("halt");
    case 0x62: return op("option");
    case 0x63: return op("sleep");
    case 0x64: return op("clrwdt");
    case 0x65: case 0x66: case 0x67: return op("tris", hex(f, 2, upper));
    default: return data(w, upper);
    }
}

QString literalOperation(int w, bool upper)
{
    const int code = (w >> 8) & 0xF;
    const QString k = hex(w & 0xFF, 2, upper);
    if (code < 4) return op("movlw", k);
    if (code < 8) return op("retlw", k);
    switch (code) {
    case 0x8: return op("iorlw", k);
    case 0x9: return op("andlw", k);
    case 0xA: return op("xorlw", k);
    case 0xB: return data(w, upper);
    case 0xC: case 0xD: return op("sublw", k);
    default: return op("addlw", k);
    }
}

}  // namespace

QString instruction(int word, bool upper)
{
    const int w = word & 0x3FFF;
    switch (w >> 12) {
    case 0: return fileOperation(w, upper);
    case 1: {
        static const char *const kNames[4] = {"bcf", "bsf", "btfsc", "btfss"};
        return op(kNames[(w >> 10) & 3], hex(w & 0x7F, 2, upper) + QStringLiteral(", ") + hex((w >> 7) & 7, 1, upper));
    }
    case 2: {
        const int k = w & 0x7FF;
        if (k >= kProgramWords) return data(w, upper);
        return op((w & 0x800) ? "goto" : "call", hex(k, 4, upper));
    }
    default: return literalOperation(w, upper);
    }
}

QString textAt(int address, int word)
{
    const bool idOrConfig = (address >= 0x2000 && address <= 0x2003) || address == 0x2007;
    return idOrConfig ? data(word & 0xFFFF, false) : instruction(word);
}

QString line(int address, int word)
{
    return QStringLiteral("%1:  %2  ").arg(address, 4, 16, QLatin1Char('0')).arg(word & 0xFFFF, 4, 16, QLatin1Char('0')) + textAt(address, word);
}

}  // namespace disasm
