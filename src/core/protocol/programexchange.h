// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Program memory exchanges: write a HEX file, read the program memory and the ID/configuration
// words back into a HEX file, erase. Each runs as the operation dialog runs it: the opening "C",
// the fixed pause, the exchange itself, and the time-out reaction (E, E, S).

#include "core/protocol/host.h"

#include <QString>
#include <QVector>

class ProgrammerLink;

namespace program {

// Reply time-out of every wait of these exchanges.
constexpr int kReplyTimeoutMs = 5000;
// The pause after the opening "C" and its answer.
constexpr int kSettleMs = 500;

struct WriteResult {
    Outcome outcome = Outcome::Done;
    qint16 configWord = 0;      // the word after the file's lookup and the confirmation
    bool configWritten = false;
    // The first program word not written: every word of the file below it is in the PIC and
    // acknowledged, none above it was sent.
    int nextAddress = 0;
    int line = 0;               // the file's line then being sent (1-based; 0 before the first)
    bool wordsDone = false;     // every program word of the file is written
    // The word at nextAddress (the configuration word once wordsDone) went out but was never
    // acknowledged: it may or may not be in the PIC.
    bool unconfirmed = false;
};

struct ReadResult {
    Outcome outcome = Outcome::Done;
    QVector<quint16> words;     // as received: 1024 program words, then 2000h..2007h
    QString savedTo;            // the HEX file written, when one was
    QByteArray hex;             // readProgramHex: the HEX file's text, once every word came
};

// The word at 2007h of the HEX file, when the file holds one; a file that cannot be read, or a
// bad line before that word, is reported through the host and gives nothing.
std::optional<qint16> configWordFromHex(const QString &path, ExchangeHost &host);

// The whole write: "C", the configuration word lookup and its confirmation, the pause, then
// "W", the file's words with "I" skips and "D" writes, "G" with the word and "E". doneNote, when
// given, is the completion message's added line.
WriteResult writeProgram(ProgrammerLink &link, ExchangeHost &host, const QString &path, qint16 storedConfigWord,
                         const QString &doneNote = QString());
// The whole read: "C", the pause, "R", the 1032 words, then a file name from the host and the
// HEX file.
ReadResult readProgram(ProgrammerLink &link, ExchangeHost &host);
// The whole erase: "C", the pause, "L". *sent tells whether "L" went out: if so and the
// outcome is not Done, the erase may or may not have run.
Outcome eraseProgram(ProgrammerLink &link, ExchangeHost &host, bool *sent = nullptr);

// The write alone (from "W" on) with the given configuration word, for callers that have
// opened and confirmed it themselves.
WriteResult sendProgram(ProgrammerLink &link, ExchangeHost &host, const QString &path, qint16 configWord);

// The whole read without the file: "C", the pause, "R" and the words, as readProgram sends
// them. The exchanges that compare what came (core/protocol/verify.h) are built on it.
ReadResult readProgramWords(ProgrammerLink &link, ExchangeHost &host);
// The same, with the HEX file's text that readProgram would save, for callers that put it
// somewhere of their own.
ReadResult readProgramHex(ProgrammerLink &link, ExchangeHost &host);

}  // namespace program
