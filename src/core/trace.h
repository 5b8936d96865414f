// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Troubleshooting trace: when VELTRAW_TRACE names a file, every byte on the line and every
// message box is appended to it with the milliseconds since start. Off by default.

#include <QByteArray>
#include <QString>

namespace trace {

bool enabled();
void bytes(bool sent, const QByteArray &data, bool binaryMode);
void note(const QString &text);
void message(const QString &title, const QString &text, const QString &answer);

}  // namespace trace
