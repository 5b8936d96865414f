// SPDX-License-Identifier: GPL-3.0-or-later
#include "simwriter.h"

namespace sim {

namespace {

int hexNibble(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool hexByte(const QByteArray &line, int pos, uint8_t *out)
{
    if (pos + 1 >= line.size()) return false;
    int hi = hexNibble(line[pos]);
    int lo = hexNibble(line[pos + 1]);
    if (hi < 0 || lo < 0) return false;
    *out = uint8_t(hi * 16 + lo);
    return true;
}

void appendRecord(QByteArray &out, int address, const QByteArray &data)
{
    QByteArray rec;
    rec.append(char(data.size()));
    rec.append(char((address >> 8) & 0xFF));
    rec.append(char(address & 0xFF));
    rec.append(char(0));
    rec.append(data);
    uint8_t sum = 0;
    for (char c : rec) sum = uint8_t(sum + uint8_t(c));
    rec.append(char(uint8_t(-sum)));
    out.append(':');
    out.append(rec.toHex().toUpper());
    out.append("\r\n");
}

}  // namespace

SimWriter::SimWriter() { eraseAll(); }

void SimWriter::eraseAll()
{
    program.fill(kErasedWord);
    idConfig.fill(kErasedWord);
    eeprom.fill(kErasedByte);
}

void SimWriter::setFault(const Fault &f)
{
    fault_ = f;
    replyIndex_ = 0;
    hungUp_ = false;
}

void SimWriter::pushWord(QVector<OutUnit> &out, uint16_t w)
{
    out.append(OutUnit{uint8_t(0x80 | ((w >> 7) & 0x7F))});
    out.append(OutUnit{uint8_t(0x80 | (w & 0x7F))});
}

QVector<OutUnit> SimWriter::feed(uint8_t byte)
{
    if (hungUp_) return {};
    if (responder) {
        if (auto custom = responder(byte, *this)) {
            QVector<OutUnit> out;
            for (char c : *custom) out.append(OutUnit{uint8_t(c)});
            return applyFaults(out);
        }
    }
    return applyFaults(model(byte));
}

QVector<OutUnit> SimWriter::applyFaults(QVector<OutUnit> out)
{
    QVector<OutUnit> result;
    for (OutUnit unit : out) {
        const int idx = replyIndex_++;
        if (hungUp_) break;
        switch (fault_.kind) {
        case Fault::None:
            break;
        case Fault::Silence:
            if (idx >= fault_.at) continue;
            break;
        case Fault::WrongReply:
            if (idx == fault_.at && !fault_.bytes.isEmpty()) unit.byte = uint8_t(fault_.bytes[0]);
            break;
        case Fault::ClearBit7:
            if (idx == fault_.at) unit.byte &= 0x7F;
            break;
        case Fault::Noise:
            if (idx == fault_.at)
                for (char c : fault_.bytes) result.append(OutUnit{uint8_t(c)});
            break;
        case Fault::HangUp:
            if (idx == fault_.at) {
                hungUp_ = true;
                continue;
            }
            break;
        case Fault::SlowReplies:
            if (idx >= fault_.at) unit.holdMs += fault_.delayMs;
            break;
        }
        result.append(unit);
    }
    return result;
}

QVector<OutUnit> SimWriter::model(uint8_t byte)
{
    QVector<OutUnit> out;

    // Data bytes carry bit 7; they only mean something where a data byte is expected.
    if (byte & 0x80) {
        const uint8_t group = byte & 0x7F;
        switch (state_) {
        case State::SkipCount:
            address_ += group;
            state_ = State::WriteReady;
            out.append(u('w'));
            break;
        case State::WordHigh:
            pendingHigh_ = group;
            state_ = State::WordLow;
            break;
        case State::WordLow: {
            const uint16_t w = uint16_t((pendingHigh_ << 7) | group);
            if (address_ >= 0 && address_ < kProgramWords) program[size_t(address_)] = w;
            ++address_;
            state_ = State::WriteReady;
            out.append(u('w', picTimes.programWordUs));
            break;
        }
        case State::ConfigHigh:
            pendingHigh_ = group;
            state_ = State::ConfigLow;
            break;
        case State::ConfigLow:
            idConfig[7] = uint16_t((pendingHigh_ << 7) | group);
            state_ = State::WriteReady;
            out.append(u('w', picTimes.programWordUs));
            break;
        case State::EepromAddress:
            eepromAddress_ = group & 0x3F;
            state_ = State::EepromHigh;
            out.append(u('v'));
            break;
        case State::EepromHigh:
            pendingHigh_ = group;
            state_ = State::EepromLow;
            break;
        case State::EepromLow:
            eeprom[size_t(eepromAddress_)] = uint8_t(((pendingHigh_ & 1) << 7) | group);
            state_ = State::Idle;
            out.append(u('a', picTimes.eepromByteUs));
            break;
        case State::BulkHigh:
            pendingHigh_ = group;
            state_ = State::BulkLow;
            break;
        case State::BulkLow:
            eeprom[size_t(bulkIndex_)] = uint8_t(((pendingHigh_ & 1) << 7) | group);
            ++bulkIndex_;
            if (bulkIndex_ >= kEepromBytes) {
                state_ = State::Idle;
                out.append(u('a', picTimes.eepromByteUs));
            } else {
                state_ = State::BulkHigh;
                out.append(u('m', picTimes.eepromByteUs));
            }
            break;
        case State::Idle:
        case State::WriteReady:
            break;  // stray data byte: ignored
        }
        return out;
    }

    // A letter always starts afresh, whatever half-finished exchange it interrupts,
    // except the write-mode commands, which need the "W" handshake first.
    const bool inWrite = state_ == State::WriteReady;
    if (byte != 'I' && byte != 'D' && byte != 'G') state_ = State::Idle;

    switch (byte) {
    case 'S':
        out.append(u('s'));
        break;
    case 'C':
        out.append(u('c'));
        break;
    case 'E':
        break;
    case '@':
        for (QChar c : firmwareVersion) out.append(u(char(c.toLatin1())));
        out.append(u('a'));
        break;
    case 'W':
        if (!boardPowered) {
            out.append(u('?'));
            out.append(u('?'));
            break;
        }
        address_ = 0;
        state_ = State::WriteReady;
        out.append(u('w'));
        break;
    case 'I':
    case 'D':
    case 'G':
        if (!inWrite) {
            state_ = State::Idle;
            break;  // no write under way: the writer keeps quiet
        }
        if (byte == 'I') {
            state_ = State::SkipCount;
            out.append(u('i'));
        } else if (byte == 'D') {
            state_ = State::WordHigh;
            out.append(u('w'));
        } else {
            state_ = State::ConfigHigh;
            out.append(u('g'));
        }
        break;
    case 'R':
        if (!boardPowered) {
            out.append(u('?'));
            break;
        }
        out.append(u('r'));
        for (uint16_t w : program) pushWord(out, w);
        for (uint16_t w : idConfig) pushWord(out, w);
        break;
    case 'L':
        if (!boardPowered) {
            out.append(u('?'));
            out.append(u('?'));
            break;
        }
        program.fill(kErasedWord);
        idConfig.fill(kErasedWord);
        out.append(u('a', picTimes.programEraseUs));
        break;
    case 'X':
        if (!boardPowered) {
            out.append(u('?'));
            break;
        }
        out.append(u('x'));
        for (uint8_t b : eeprom) pushWord(out, b);
        break;
    case 'F':
        if (!boardPowered) {
            out.append(u('?'));
            break;
        }
        eeprom.fill(kErasedByte);
        out.append(u('a', picTimes.eepromEraseUs));
        break;
    case 'V':
        if (!boardPowered) {
            out.append(u('?'));
            break;
        }
        state_ = State::EepromAddress;
        out.append(u('v'));
        break;
    case 'M':
        if (!boardPowered) {
            out.append(u('?'));
            break;
        }
        bulkIndex_ = 0;
        state_ = State::BulkHigh;
        out.append(u('m'));
        break;
    case 'Y':
        if (!boardPowered) {
            out.append(u('?'));
            break;
        }
        out.append(u('y'));
        pushWord(out, idConfig[7]);
        break;
    default:
        break;  // unknown letter: ignored
    }
    return out;
}

bool SimWriter::loadHex(const QByteArray &text, QString *error)
{
    int lineNo = 0;
    for (QByteArray line : text.split('\n')) {
        ++lineNo;
        line = line.trimmed();
        if (line.isEmpty()) continue;
        auto fail = [&](const char *why) {
            if (error) *error = QStringLiteral("line %1: %2").arg(lineNo).arg(QLatin1String(why));
            return false;
        };
        if (line[0] != ':') return fail("no ':' at the start");
        uint8_t count, ah, al, type;
        if (!hexByte(line, 1, &count) || !hexByte(line, 3, &ah) || !hexByte(line, 5, &al)
            || !hexByte(line, 7, &type))
            return fail("malformed record header");
        if (type == 1) break;
        if (type != 0) continue;
        const int base = ah * 256 + al;
        QByteArray data;
        for (int i = 0; i < count; ++i) {
            uint8_t b;
            if (!hexByte(line, 9 + 2 * i, &b)) return fail("record shorter than its byte count");
            data.append(char(b));
        }
        for (int i = 0; i + 1 < data.size(); i += 2) {
            const int byteAddr = base + i;
            const uint16_t w = uint16_t((uint8_t(data[i]) | (uint8_t(data[i + 1]) << 8)) & 0x3FFF);
            const int word = byteAddr / 2;
            if (word < kProgramWords) program[size_t(word)] = w;
            else if (word >= 0x2000 && word < 0x2000 + kIdConfigWords) idConfig[size_t(word - 0x2000)] = w;
            else if (word >= 0x2100 && word < 0x2100 + kEepromBytes) eeprom[size_t(word - 0x2100)] = uint8_t(w);
        }
    }
    return true;
}

QByteArray SimWriter::dumpHex() const
{
    QByteArray out;
    auto words = [](const uint16_t *w, int n) {
        QByteArray d;
        for (int i = 0; i < n; ++i) {
            d.append(char(w[i] & 0xFF));
            d.append(char(w[i] >> 8));
        }
        return d;
    };
    for (int a = 0; a < kProgramWords; a += 8) appendRecord(out, a * 2, words(&program[size_t(a)], 8));
    appendRecord(out, 0x4000, words(idConfig.data(), kIdConfigWords));
    for (int a = 0; a < kEepromBytes; a += 8) {
        uint16_t w[8];
        for (int i = 0; i < 8; ++i) w[i] = eeprom[size_t(a + i)];
        appendRecord(out, 0x4200 + a * 2, words(w, 8));
    }
    out.append(":00000001FF\r\n");
    return out;
}

}  // namespace sim
