// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An error text of the operating system (strerror, a file's or port's errorString) comes in the
// system's own language. It is kept, since it helps a search, but after our own sentence and
// marked as the system's, never as part of a Japanese sentence.

#include <QCoreApplication>
#include <QString>

namespace systemtext {

inline QString after(const QString &sentence, const QString &systemText)
{
    if (systemText.isEmpty()) return sentence;
    return sentence + QCoreApplication::translate("systemtext", "\nシステムのメッセージ: ") + systemText;
}

}  // namespace systemtext
