// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A udev rule for one USB serial adapter of the writer: the seat's user may open it
// (uaccess), ModemManager leaves it alone, it gets a stable /dev/veltraw-... name and, for an
// FTDI chip, a latency timer of 1 ms. And a check of a rule file's syntax, since Debian 12's
// udevadm has no "verify".

#include "core/diagnosis/serialdevice.h"

#include <QString>
#include <QStringList>

namespace diagnosis {

// uaccess is acted on by 73-seat-late.rules: the rule must be read before it.
constexpr const char *kUdevRulePath = "/etc/udev/rules.d/70-veltraw.rules";

// The rule's text; empty (and *why) for a device that is no USB adapter.
QString udevRule(const DeviceInfo &d, QString *why);
// The stable name the rule gives the adapter ("/dev/veltraw-...").
QString udevLinkName(const DeviceInfo &d);
// The one command line that installs the rule printed by `command` and reloads udev.
QString udevInstallCommand(const QString &command);

// Every syntax error of a rules file, as "line N: what" (empty when there are none).
QStringList checkUdevRules(const QString &text);

}  // namespace diagnosis
