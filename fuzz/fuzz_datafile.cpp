// The "/F" data-file reader on arbitrary text: bounded, and every value it sends is the one the
// value rule gives.

#include "core/formats/datafile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    const QList<QByteArray> values = datafile::SplitValues(text);
    if (values.size() > datafile::kValuesUsed) abort();
    for (const QByteArray &v : values)
        if (v.size() > text.size()) abort();
    const auto bytes = datafile::BytesFromValues(values);
    // Address 2g comes from value 4g + 1 when the file has it.
    for (int g = 0; g < datafile::kGroups; ++g) {
        const int i = 4 * g + 1;
        if (i < values.size() && bytes[size_t(2 * g)] != datafile::ByteFromValue(values[i])) abort();
    }
    return 0;
}
