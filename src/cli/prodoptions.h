// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The options of the batch features: serial numbers, the log per unit, several ports. Taken
// from the command line with the other options and checked once the command is known.

#include <QString>
#include <QStringList>
#include <optional>

namespace serialnumber {
class Source;
}

namespace cli {

struct ProductionOptions {
    QStringList ports;  // every -p, commas split, in order
    QString serial;     // --serial as given
    bool serialLe = false;
    QString serialCounter;
    QString serialList;
    std::optional<qint64> serialStart;
    qint64 serialStep = 1;
    QString log;
    bool unitEvents = false;  // a run of several ports asks each port's run for its log record
    bool serialGiven() const { return !serial.isEmpty(); }
};

// Sets what the option (one of the above, by the name given) asks for; the usage error, or an
// empty text.
QString applyProductionOption(ProductionOptions &p, const QString &name, const QString &value);
// What is wrong with the options together, once the command is known; empty when nothing.
QString checkProductionOptions(const ProductionOptions &p, const QString &command, bool json);
// The counter or the list the options name (with --serial given).
serialnumber::Source serialSource(const ProductionOptions &p);

}  // namespace cli
