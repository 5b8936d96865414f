// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/formats/confregtext.h"

namespace confreg {

QString decodeConfigByte(uint8_t b)
{
    static const char *const kOscillator[4] = {"LP", "XT", "HS", "RC"};
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("FOSC    ") + QLatin1String(kOscillator[b & 3]) + crlf
           + QStringLiteral("WDT     ") + QLatin1String((b & 0x04) ? "ON" : "OFF") + crlf
           // Power-up timer and code protection are active when their bit is clear.
           + QStringLiteral("PWRTE   ") + QLatin1String((b & 0x08) ? "OFF" : "ON") + crlf
           + QStringLiteral("CP      ") + QLatin1String((b & 0x10) ? "OFF" : "ON");
}

}  // namespace confreg
