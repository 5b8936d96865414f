// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/prodoptions.h"

#include "cli/clitext.h"
#include "cli/prodtext.h"
#include "cli/serialnumber.h"

#include <algorithm>

namespace cli {

QString applyProductionOption(ProductionOptions &p, const QString &name, const QString &v)
{
    if (name == QLatin1String("--serial-le")) {
        p.serialLe = true;
        return QString();
    }
    if (name == QLatin1String("--unit-events")) {
        p.unitEvents = true;
        return QString();
    }
    if (v.isEmpty()) return text::missingValue(name);
    QString error;
    if (name == QLatin1String("--serial")) {
        if (serialnumber::parsePlace(v, &error)) p.serial = v;
    } else if (name == QLatin1String("--serial-counter")) {
        p.serialCounter = v;
    } else if (name == QLatin1String("--serial-list")) {
        p.serialList = v;
    } else if (name == QLatin1String("--log")) {
        p.log = v;
    } else {
        const auto n = serialnumber::parseNumber(v);
        if (!n || (name == QLatin1String("--serial-step") && *n == 0)) return text::badNumberOption(name, v);
        if (name == QLatin1String("--serial-start")) p.serialStart = *n;
        else p.serialStep = *n;
    }
    return error;
}

namespace {
// The commands several ports take: the ones whose outcome is a pass or a fail per board (what
// the others print would be one port's output over another's).
const char *const kAcrossPorts[] = {"write", "verify", "erase", "blank-check", "eeprom write", "eeprom set", "eeprom erase"};

template <size_t N>
bool among(const QString &command, const char *const (&names)[N])
{
    return std::any_of(std::begin(names), std::end(names), [&](const char *n) { return command == QLatin1String(n); });
}
}  // namespace

QString checkProductionOptions(const ProductionOptions &p, const QString &command, bool json)
{
    const bool counter = !p.serialCounter.isEmpty();
    const bool list = !p.serialList.isEmpty();
    if (counter && list) return text::twoSources();
    if (p.serialGiven() && !counter && !list) return text::serialNeedsSource();
    if (!p.serialGiven()) {
        if (counter) return text::sourceNeedsSerial(QStringLiteral("--serial-counter"));
        if (list) return text::sourceNeedsSerial(QStringLiteral("--serial-list"));
        if (p.serialLe) return text::sourceNeedsSerial(QStringLiteral("--serial-le"));
    }
    if (!counter && (p.serialStart || p.serialStep != 1))
        return text::sourceNeedsSerial(p.serialStart ? QStringLiteral("--serial-start") : QStringLiteral("--serial-step"));
    if (p.log == QLatin1String("-") && json) return text::logStdoutWithJson();
    if (p.ports.size() > 1) {
        if (!among(command, kAcrossPorts)) return text::notWithSeveralPorts(command);
        for (int i = 0; i < p.ports.size(); ++i)
            if (p.ports.indexOf(p.ports[i]) != i) return text::samePortTwice(p.ports[i]);
    }
    return QString();
}

serialnumber::Source serialSource(const ProductionOptions &p)
{
    if (!p.serialList.isEmpty()) return serialnumber::Source::list(p.serialList);
    return serialnumber::Source::counter(p.serialCounter, p.serialStart, p.serialStep);
}

}  // namespace cli
