// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One command's run: where its words go, what it was asked, and what its result event carries.

#include "cli/options.h"
#include "cli/output.h"
#include "cli/unit.h"

#include <QJsonObject>

namespace cli {

struct Run {
    Output &out;
    const Options &options;
    QJsonObject result;  // what the result event carries beyond command, ok, exit and error
    QString error;       // the error text for the result event
    Unit unit = {};
};

}  // namespace cli
