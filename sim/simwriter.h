// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The writer's side of the serial protocol with a modelled PIC behind it.
// A pure byte-in, byte-out state machine: no I/O, no clock of its own.

#include <QByteArray>
#include <QString>
#include <QVector>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace sim {

constexpr int kProgramWords = 1024;
constexpr int kIdConfigWords = 8;      // 2000h..2007h
constexpr int kEepromBytes = 64;
constexpr uint16_t kErasedWord = 0x3FFF;
constexpr uint8_t kErasedByte = 0xFF;

// Modelled PIC times in microseconds, used only when the wire-time model is on (PtyServer
// adds them before the reply that reports the work done). The values are the typical ones of
// a flash PIC of this size (1K words, 64 bytes of data EEPROM):
// - a program word, and the configuration word: its self-timed write, about 4 ms; the writer
//   sends "w" after the second data group once the word is written;
// - a data EEPROM byte: a few ms, 4 ms here, before "a" (single byte) or "m" (data file);
// - a bulk erase of either memory: longer than one write; 10 ms, a safe wait for it, before "a".
// Reads cost no PIC time: fetching a word takes microseconds, nothing next to 2.083 ms a byte.
struct PicTimes {
    int programWordUs = 4000;   // one program word (or configuration word) write
    int eepromByteUs = 4000;    // one data EEPROM byte write
    int programEraseUs = 10000; // bulk erase of program memory
    int eepromEraseUs = 10000;  // bulk erase of data EEPROM
};

// One byte the writer sends, with the PIC time it must spend before sending it.
struct OutUnit {
    uint8_t byte;
    int busyUs = 0;  // PIC time, honoured only with the wire-time model on
    int holdMs = 0;  // extra hold-back asked by a fault, honoured always
};

// A fault applied to the writer's output, counted in reply bytes sent since the fault was set.
struct Fault {
    enum Kind {
        None,
        Silence,      // from reply index `at` on, nothing more is sent
        WrongReply,   // the reply at index `at` is replaced by `bytes[0]`
        ClearBit7,    // the reply at index `at` goes out with bit 7 cleared
        Noise,        // `bytes` go out just before the reply at index `at`
        HangUp,       // the line is hung up instead of sending the reply at index `at`
        SlowReplies,  // every reply from index `at` on is held back by `delayMs`
    };
    Kind kind = None;
    int at = 0;
    QByteArray bytes;
    int delayMs = 0;
};

struct WireEvent {
    qint64 ms;      // milliseconds on the recorder's clock (for PtyServer, see its wireByte)
    bool fromHost;  // true: the program sent it; false: the writer sent it
    uint8_t byte;
};

class SimWriter {
public:
    SimWriter();

    // The modelled PIC.
    std::array<uint16_t, kProgramWords> program{};
    std::array<uint16_t, kIdConfigWords> idConfig{};  // [7] is the configuration word
    std::array<uint8_t, kEepromBytes> eeprom{};

    bool boardPowered = true;
    QString firmwareVersion = QStringLiteral("105");
    PicTimes picTimes;

    void eraseAll();
    uint16_t configWord() const { return idConfig[7]; }

    // Feed one byte from the program; returns the writer's reply bytes.
    QVector<OutUnit> feed(uint8_t byte);

    // Tests may answer a byte themselves: return a value to replace the model's reply
    // (an empty array means "say nothing"), or nullopt to let the model answer.
    std::function<std::optional<QByteArray>(uint8_t byte, SimWriter &self)> responder;

    void setFault(const Fault &f);
    const Fault &fault() const { return fault_; }
    bool hungUp() const { return hungUp_; }

    // Loads an Intel HEX image (program words, ID/config words at byte 4000h..400Fh,
    // EEPROM at 4200h..427Fh). Returns false with a reason on a malformed file.
    bool loadHex(const QByteArray &text, QString *error);
    // Dumps the memory as Intel HEX.
    QByteArray dumpHex() const;

    // Protocol state, for tests.
    enum class State { Idle, WriteReady, SkipCount, WordHigh, WordLow, ConfigHigh, ConfigLow,
                       EepromAddress, EepromHigh, EepromLow, BulkHigh, BulkLow };
    State state() const { return state_; }
    int writeAddress() const { return address_; }

private:
    QVector<OutUnit> applyFaults(QVector<OutUnit> out);
    QVector<OutUnit> model(uint8_t byte);
    static OutUnit u(char c, int busyUs = 0) { return OutUnit{uint8_t(c), busyUs}; }
    static void pushWord(QVector<OutUnit> &out, uint16_t w);

    State state_ = State::Idle;
    int address_ = 0;
    uint8_t pendingHigh_ = 0;
    int eepromAddress_ = 0;
    int bulkIndex_ = 0;
    Fault fault_;
    int replyIndex_ = 0;
    bool hungUp_ = false;
};

}  // namespace sim
