// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which device a COM number opens on this machine. In order: the key "COMn" of the section
// "Ports" of the settings file (the port dialog writes it), a Wine-style link
// ~/.wine/dosdevices/comN, then /dev/ttyS(n-1).

#include <QString>

namespace portnaming {

struct Resolution {
    QString device;  // path to open
    QString source;  // where the mapping came from: "settings", "wine", "default"
};

Resolution deviceFor(int comNumber, const QString &iniPath, const QString &homeDir);

// A one-line description for the port dialog, e.g. "→ /dev/ttyUSB0" or with a problem noted.
QString describe(int comNumber, const QString &iniPath, const QString &homeDir);

// The cause of an opening failure in the user's terms.
QString openFailureText(const QString &device, int serialError, const QString &systemText);

}  // namespace portnaming
