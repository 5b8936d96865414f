// The simulated writer's input: any byte stream, under any fault, keeps it within its memory.

#include "simwriter.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2) return 0;
    sim::SimWriter w;
    w.boardPowered = (data[0] & 1) != 0;
    sim::Fault f;
    f.kind = sim::Fault::Kind((data[0] >> 1) % 7);
    f.at = data[1];
    f.bytes = QByteArray(1, char(data[0]));
    f.delayMs = 1;
    w.setFault(f);
    size_t out = 0;
    for (size_t i = 2; i < size; ++i) {
        const auto units = w.feed(data[i]);
        out += size_t(units.size());
        for (const auto &u : units)
            if (u.busyUs < 0 || u.holdMs < 0) abort();
    }
    // At most one read's worth of bytes answers one command byte.
    if (out > (size - 2) * (1 + 2 * (sim::kProgramWords + sim::kIdConfigWords)) + 8) abort();
    for (uint16_t word : w.program)
        if (word > 0x3FFF) abort();
    // The memory survives a trip through its HEX image.
    sim::SimWriter copy;
    QString error;
    if (!copy.loadHex(w.dumpHex(), &error)) abort();
    if (copy.program != w.program || copy.eeprom != w.eeprom) abort();
    // And a HEX image of any text is refused or taken without harm.
    copy.loadHex(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), &error);
    return 0;
}
