// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The words of veltraw-cli's batch features: serial numbers, the log per unit, several
// writers in one run, and write on change.

#include <QString>
#include <QStringList>

namespace cli::text {

QString helpSection();

QString badNumberOption(const QString &option, const QString &text);
QString badSerialPlace(const QString &text);
QString serialNeedsSource();
QString sourceNeedsSerial(const QString &option);
QString twoSources();
QString logStdoutWithJson();
QString notWithSeveralPorts(const QString &command);
QString samePortTwice(const QString &port);

QString serialOutside(bool eeprom, int address, int length, int size);
QString serialOverlaps(bool eeprom, int address);
QString serialTooLarge(qint64 value, int length);
QString lockTimeout(const QString &lockPath);
QString lockFailed(const QString &lockPath, const QString &why);
QString serialFileUnreadable(const QString &path, const QString &why);
QString serialFileNotWritten(const QString &path, const QString &why);
QString folderNotWritable();
QString counterMissing(const QString &path);
QString counterBad(const QString &path);
QString counterOverflow(const QString &path);
QString listBadLine(const QString &path, int line);
QString listExhausted(const QString &path);
QString listTwice(const QString &path, int first, int second);
QString serialTaken(qint64 value, const QString &place);
QString serialRecordedFailed(qint64 value);

QString logShortWrite();
QString logNotWritten(const QString &path, const QString &why);
QString tally(int passed, int failed, int total);

QString portStatus(const QString &phase, int percent);
QString portConnecting();
QString portPassed();
QString portFailed(int exit, const QString &error);
QString failedPorts(const QStringList &ports);
QString retryWith(const QString &command);
QString childFailed(const QString &port, const QString &why);

QString watching(const QString &path);
QString halfWritten(const QString &path);
QString configChanged(int before, int now);
QString roundLine(const QString &time, int round, bool passed, int exit, double seconds, const QString &error);

}  // namespace cli::text
