// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The settings file: a small private-profile (".ini") reader and writer.
// Sections and keys are found regardless of case; every other line of the file is kept
// byte for byte; the file is in the local 8-bit encoding; writes replace the file atomically.

#include <QByteArray>
#include <QString>

namespace ini {

inline const QString kMissing = QStringLiteral("???");
constexpr int kValueByteLimit = 2599;

// Value of key in section of the file at path, cut to its first 2 599 bytes in the local
// 8-bit encoding, or "???" when the file, the section or the key is missing.
QString readValue(const QString &path, const QString &section, const QString &key);

// Creates or replaces the key's line; creates the file and the section as needed.
// Returns false when the file could not be written (the old file is then left as it was).
bool writeValue(const QString &path, const QString &section, const QString &key, const QString &value,
                QString *error = nullptr);

// The same on file contents in memory, for the two above and for tests.
QString lookup(const QByteArray &contents, const QString &section, const QString &key);
QByteArray update(const QByteArray &contents, const QString &section, const QString &key, const QString &value);

// Numbers as the settings file stores them: a blank before a zero or positive number.
QString numberText(int value);

// Largest settings file we read; anything past it is not ours to interpret.
constexpr qint64 kMaxFileBytes = 1024 * 1024;

}  // namespace ini
