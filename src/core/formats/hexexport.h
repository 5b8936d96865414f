// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program read's Intel HEX file: 128 records of 16 bytes over words 0..1023, one record
// at byte address 4000h for words 2000h..2007h, and the end record. No widgets here.

#include <QByteArray>
#include <QString>
#include <QVector>

namespace hexexport {

// Words a complete read delivers: 1024 program words, then the 8 ID/configuration words.
constexpr int kReadWords = 1024 + 8;

// One data record at a byte address: length AAAA "00" data checksum, CR LF (the export's
// records are 16 bytes, ":10...").
QByteArray dataRecord(int byteAddress, const QByteArray &bytes);

// The whole file for a complete read (kReadWords words, each low byte first); an empty
// array when the read was not complete, so no record is ever shorter than its byte count.
QByteArray programImageToHex(const QVector<quint16> &words);

// Replaces `path` with `data` only once all of it is written: on any failure the old file
// stays as it was and `why` says what went wrong.
bool saveAtomically(const QString &path, const QByteArray &data, QString *why);

}  // namespace hexexport
