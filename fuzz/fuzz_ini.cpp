// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file: whatever the file holds, a value written is read back as written, and
// every other key reads as before.

#include "core/settings/settingsfile.h"

#include <cstdint>
#include <cstdlib>

namespace {
// Names the program itself uses are plain words; the fuzzer picks among a few.
const char *const kNames[] = {"Com", "port", "File", "name", "Config", "word", "Ports", "COM1"};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 3) return 0;
    const QString section = QString::fromLatin1(kNames[data[0] % 8]);
    const QString key = QString::fromLatin1(kNames[data[1] % 8]);
    // The value: printable text without line ends, as the program writes it.
    const size_t valueLen = std::min<size_t>(data[2], size - 3);
    QByteArray value;
    for (size_t i = 0; i < valueLen; ++i) {
        const char c = char(data[3 + i]);
        if (c >= 0x21 && c < 0x7F) value.append(c);
    }
    const QByteArray contents(reinterpret_cast<const char *>(data + 3 + valueLen), qsizetype(size - 3 - valueLen));

    const QString v = QString::fromLatin1(value);
    const QByteArray updated = ini::update(contents, section, key, v);
    if (ini::lookup(updated, section, key) != v) abort();
    for (const char *s : kNames)
        for (const char *k : kNames) {
            const QString sec = QString::fromLatin1(s), ky = QString::fromLatin1(k);
            if (sec.compare(section, Qt::CaseInsensitive) == 0 && ky.compare(key, Qt::CaseInsensitive) == 0) continue;
            if (ini::lookup(updated, sec, ky) != ini::lookup(contents, sec, ky)) abort();
        }
    // Writing the same value again changes nothing.
    if (ini::update(updated, section, key, v) != updated) abort();
    return 0;
}
