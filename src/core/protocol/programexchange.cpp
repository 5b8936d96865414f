// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/protocol/programexchange.h"

#include "core/formats/hexexport.h"
#include "core/formats/hexrecord.h"
#include "core/link/programmerlink.h"
#include "core/link/sevenbit.h"
#include "core/messages.h"

#include <QCoreApplication>
#include <QDir>

namespace program {

namespace {

// "description|pattern|...": the descriptions translate, the patterns and bars stay.
QString hexFilter()
{
    return QCoreApplication::translate("program", "Hexファイル(*.hex)|*.hex|すべてのファイル(*.*)|*.*");
}

bool is(const QString &reply, char letter) { return reply.size() == 1 && reply[0] == QLatin1Char(letter); }

// Binary receive mode for one data stretch; text again on every way out of it.
class BinaryStretch {
public:
    explicit BinaryStretch(ProgrammerLink &link) : link_(link) { link_.setBinaryMode(true); }
    ~BinaryStretch() { link_.setBinaryMode(false); }
    BinaryStretch(const BinaryStretch &) = delete;
    BinaryStretch &operator=(const BinaryStretch &) = delete;

private:
    ProgrammerLink &link_;
};

// The waits of one operation, each under the reply time-out. When the time-out runs out the
// writer is sent back to its command loop (E, E, S) and the user told.
class Session {
public:
    Session(ProgrammerLink &link, ExchangeHost &host)
        : link_(link), host_(host), wait_(link, host, [this] { timeoutReaction(); })
    {
    }

    QString reply()
    {
        wait_.await(kReplyTimeoutMs);
        return link_.readText();
    }
    int byte()
    {
        wait_.await(kReplyTimeoutMs);
        return link_.readByte();
    }
    Outcome failure(Outcome otherwise) const { return wait_.failure(otherwise); }
    void tell(const messages::Message &m) { host_.show(m); }
    bool stopping() const { return host_.stopRequested(); }

    ProgrammerLink &link_;
    ExchangeHost &host_;

private:
    void timeoutReaction()
    {
        link_.sendLetter('E');
        link_.sendLetter('E');
        link_.sendLetter('S');
        host_.show(messages::operationTimeout());
        host_.closeWindow();
    }
    ReactingWait wait_;
};

// The opening of every operation: "C", whose answer only tells the writer is there.
void open(Session &s)
{
    s.host_.progress(messages::kOperationBusy);
    s.link_.clearInput();
    s.link_.sendLetter('C');
    s.reply();
}

enum class DataPhase { Done, HexError, WriteError, ProcessError };

// Sends the words of the open file; returns how the data phase ended.
DataPhase sendWords(Session &s, hexrecord::LineReader &file, WriteResult &reached)
{
    using hexrecord::LineReader;
    ProgrammerLink &link = s.link_;
    qint16 nextAddress = 0;
    QByteArray line;
    for (;;) {
        reached.nextAddress = nextAddress;
        ++reached.line;
        const LineReader::Status st = file.next(&line);
        if (st == LineReader::Status::End) return DataPhase::Done;
        if (st == LineReader::Status::TooLong) return DataPhase::HexError;
        if (st == LineReader::Status::ReadError) return DataPhase::ProcessError;

        const hexrecord::Record rec = hexrecord::parse(line);
        if (!rec.colon) return DataPhase::HexError;
        if (rec.isEnd()) return DataPhase::Done;
        if (!rec.isData()) continue;
        const int count = rec.count;
        const int a = hexrecord::writeWordAddress(rec.address);
        if (a > hexrecord::kLastProgramWord) return DataPhase::Done;
        // Addresses 8000h..FFFFh read negative: they go backwards like any lower address.
        if (rec.address < 0 || a < nextAddress) return DataPhase::HexError;
        if (s.stopping()) return DataPhase::WriteError;

        // The writer keeps the address itself: a gap is skipped with "I", at most 127 a step,
        // the remainder of 128 first so the steps end exactly at the record.
        while (nextAddress < a) {
            int n = (a - nextAddress) & 0x7F;
            if (n == 0) n = 127;
            link.sendLetter('I');
            if (!is(s.reply(), 'i') || s.stopping()) return DataPhase::WriteError;
            link.sendByte(SevenBitGroup::single(n));
            if (!is(s.reply(), 'w')) return DataPhase::WriteError;
            nextAddress = qint16(nextAddress + n);
            reached.nextAddress = nextAddress;
        }

        for (int i = 0; i < count / 2; ++i) {
            if (nextAddress > hexrecord::kLastProgramWord) return DataPhase::Done;
            link.sendLetter('D');
            s.host_.progress(messages::writingAt(nextAddress));
            const int high = hexrecord::highByte(line, i);
            const int low = hexrecord::lowByte(line, i);
            // Bits 13..7 are 2 * high plus bit 7 of low; a high byte of 80h or more has no
            // place in a program word.
            if (high >= 0x80) return DataPhase::ProcessError;
            const int g1 = (2 * high + ((low & 0x80) ? 1 : 0)) & 0x7F;
            const int g0 = low & 0x7F;
            if (!is(s.reply(), 'w') || s.stopping()) return DataPhase::WriteError;
            link.sendByte(SevenBitGroup::single(g1));
            link.drainTransmit();
            link.sendByte(SevenBitGroup::single(g0));
            reached.unconfirmed = true;
            if (!is(s.reply(), 'w')) return DataPhase::WriteError;
            reached.unconfirmed = false;
            nextAddress = qint16(nextAddress + 1);
            reached.nextAddress = nextAddress;
            if (s.stopping()) return DataPhase::WriteError;
        }
    }
}

// What a write that stopped part-way leaves in the PIC, for the message's detail.
QString stoppedAt(const WriteResult &r, bool withLine)
{
    QString s;
    if (withLine) s = messages::stoppedAtLine(r.line);
    return s + messages::writtenBefore(r.nextAddress);
}

// The data phase after "W" and its answer.
void writeWords(Session &s, const QString &path, qint16 word, WriteResult &result, const QString &doneNote = QString())
{
    ProgrammerLink &link = s.link_;
    if (s.stopping()) {
        result.outcome = Outcome::Cancelled;
        return;
    }
    link.clearInput();
    link.sendLetter('W');
    const QString reply = s.reply();
    if (is(reply, '?')) {
        s.reply();  // the writer's second unit after "?"
        link.sendLetter('C');
        s.tell(messages::programPowerOff());
        link.sendLetter('E');
        result.outcome = s.failure(Outcome::NoPower);
        return;
    }
    if (!is(reply, 'w')) {
        link.sendLetter('S');
        link.sendLetter('C');
        s.tell(messages::programWriterError());
        link.sendLetter('E');
        result.outcome = s.failure(Outcome::WriterError);
        return;
    }

    hexrecord::LineReader file;
    if (!file.open(path)) {
        link.sendLetter('E');
        s.tell(messages::hexFileNotFound());
        result.outcome = Outcome::FileError;
        return;
    }
    const DataPhase phase = sendWords(s, file, result);
    file.close();
    // A write that stops part-way says how far it got: the message's text stays as it is, the
    // detail tells the line and the address.
    switch (phase) {
    case DataPhase::Done:
        result.wordsDone = true;
        break;
    case DataPhase::HexError:
        link.sendLetter('E');
        s.tell(messages::hexFileStopped(stoppedAt(result, true)));
        result.outcome = Outcome::FileError;
        return;
    case DataPhase::WriteError:
        link.sendLetter('E');
        s.tell(messages::writeFailed(stoppedAt(result, false)));
        result.outcome = s.failure(Outcome::WriterError);
        return;
    case DataPhase::ProcessError:
        link.sendLetter('E');
        s.tell(messages::fileProcessError(stoppedAt(result, true)));
        result.outcome = Outcome::FileError;
        return;
    }

    // The configuration word. Its reply has the same time-out as every other wait: a writer
    // that never answers "G" must not leave the dialog waiting for ever.
    link.sendLetter('G');
    if (!is(s.reply(), 'g') || s.stopping()) {
        link.sendLetter('E');
        s.tell(messages::writeFailed(messages::kStoppedAtConfig));
        result.outcome = s.failure(Outcome::WriterError);
        return;
    }
    link.sendByte(0x80);
    link.sendByte(SevenBitGroup::single(word & 0x7F));
    result.unconfirmed = true;
    if (!is(s.reply(), 'w')) {
        link.sendLetter('E');
        s.tell(messages::writeFailed(messages::kStoppedAtConfig));
        result.outcome = s.failure(Outcome::WriterError);
        return;
    }
    result.configWritten = true;
    result.unconfirmed = false;
    link.sendLetter('E');
    messages::Message done = messages::writeDone();
    done.detail = doneNote;
    s.tell(done);
    result.outcome = Outcome::Done;
}

ReadResult receive(Session &s)
{
    ProgrammerLink &link = s.link_;
    ReadResult result;
    link.clearInput();
    link.sendLetter('R');
    const QString reply = s.reply();
    if (is(reply, '?')) {
        link.sendLetter('S');
        s.tell(messages::programPowerOff());
        result.outcome = s.failure(Outcome::NoPower);
        return result;
    }
    if (!is(reply, 'r')) {
        link.sendLetter('C');
        s.tell(messages::programWriterError());
        result.outcome = s.failure(Outcome::WriterError);
        return result;
    }

    enum class Received { Complete, Stopped, Failed };
    Received how = Received::Complete;
    QVector<quint16> &words = result.words;
    words.reserve(hexexport::kReadWords);
    int address = 0;
    {
        BinaryStretch binary(link);
        for (;;) {
            s.host_.progress(messages::receivingAt(address));
            const int b1 = s.byte();
            if (b1 < 0) {
                how = Received::Failed;
                break;
            }
            if (!SevenBitGroup::isData(uint8_t(b1))) {
                how = Received::Stopped;
                break;
            }
            const int b2 = s.byte();
            if (b2 < 0) {
                how = Received::Failed;
                break;
            }
            if (!SevenBitGroup::isData(uint8_t(b2))) {
                how = Received::Stopped;
                break;
            }
            words.append(SevenBitGroup::decode2(uint8_t(b1), uint8_t(b2)));
            ++address;
            if (address == 1024) address = hexrecord::kIdAddress;
            if (address == hexrecord::kIdAddress + 8) break;
        }
    }
    const QString received = messages::receivedWords(int(words.size()), hexexport::kReadWords);
    if (how == Received::Failed) {
        s.tell(messages::readFileError(received));
        result.outcome = s.failure(Outcome::WriterError);
        return result;
    }
    if (how == Received::Stopped) {
        // Records past the end of a short read would be shorter than their byte count: no
        // file rather than a corrupt one.
        s.tell(messages::readIncomplete(received));
        result.outcome = s.failure(Outcome::WriterError);
        return result;
    }
    result.outcome = Outcome::Done;
    return result;
}

QString proposedSaveName()
{
    const QString dir = QDir::currentPath();
    const QString name = QStringLiteral("veltra.hex");
    return dir.endsWith(QLatin1Char('/')) ? dir + name : dir + QLatin1Char('/') + name;
}

}  // namespace

std::optional<qint16> configWordFromHex(const QString &path, ExchangeHost &host)
{
    hexrecord::LineReader file;
    if (!file.open(path)) {
        host.show(messages::hexFileError());
        return std::nullopt;
    }
    QByteArray line;
    for (;;) {
        const auto st = file.next(&line);
        // A line that cannot be read ends the lookup; the write reports it in its own words.
        if (st == hexrecord::LineReader::Status::End || st == hexrecord::LineReader::Status::ReadError) break;
        const hexrecord::Record rec = hexrecord::parse(line);
        if (st == hexrecord::LineReader::Status::TooLong || !rec.colon) {
            host.show(messages::hexFileError());
            return std::nullopt;
        }
        if (rec.isEnd()) break;
        qint16 word = 0;
        if (hexrecord::configWordOf(rec, line, &word)) return word;
    }
    return std::nullopt;
}

WriteResult writeProgram(ProgrammerLink &link, ExchangeHost &host, const QString &path, qint16 storedConfigWord,
                         const QString &doneNote)
{
    Session s(link, host);
    WriteResult result;
    open(s);
    qint16 word = storedConfigWord;
    if (const auto fromFile = configWordFromHex(path, host)) word = *fromFile;
    result.configWord = word;
    const bool confirmed = host.confirmConfigWord(&word);
    result.configWord = word;
    pauseWithoutEvents(kSettleMs);
    if (confirmed) writeWords(s, path, word, result, doneNote);
    else result.outcome = Outcome::Declined;
    link.clearInput();
    return result;
}

WriteResult sendProgram(ProgrammerLink &link, ExchangeHost &host, const QString &path, qint16 configWord)
{
    Session s(link, host);
    WriteResult result;
    result.configWord = configWord;
    writeWords(s, path, configWord, result);
    return result;
}

ReadResult readProgram(ProgrammerLink &link, ExchangeHost &host)
{
    Session s(link, host);
    open(s);
    pauseWithoutEvents(kSettleMs);
    ReadResult result = receive(s);
    if (result.outcome == Outcome::Done) {
        SaveRequest r;
        r.filter = hexFilter();
        r.defaultSuffix = QStringLiteral("hex");
        r.proposedName = proposedSaveName();
        // The words read are not thrown away because one file could not be written: the user
        // is told which and why, and chooses again until a save works or is cancelled.
        for (;;) {
            const auto chosen = host.saveFileName(r);
            if (!chosen) {
                result.outcome = Outcome::Declined;  // cancelled: no file, no message
                break;
            }
            host.progress(messages::kExporting);
            QString why;
            if (hexexport::saveAtomically(*chosen, hexexport::programImageToHex(result.words), &why)) {
                result.savedTo = *chosen;
                host.show(messages::readDone());
                break;
            }
            host.show(messages::readFileError(messages::saveFailed(*chosen, why)));
            if (host.cancelled()) {
                result.outcome = Outcome::FileError;
                break;
            }
            r.proposedName = *chosen;
        }
    }
    link.clearInput();
    return result;
}

ReadResult readProgramWords(ProgrammerLink &link, ExchangeHost &host)
{
    Session s(link, host);
    open(s);
    pauseWithoutEvents(kSettleMs);
    ReadResult result = receive(s);
    link.clearInput();
    return result;
}

ReadResult readProgramHex(ProgrammerLink &link, ExchangeHost &host)
{
    ReadResult result = readProgramWords(link, host);
    if (result.outcome == Outcome::Done && result.words.size() == hexexport::kReadWords)
        result.hex = hexexport::programImageToHex(result.words);
    return result;
}

Outcome eraseProgram(ProgrammerLink &link, ExchangeHost &host, bool *sent)
{
    Session s(link, host);
    if (sent) *sent = false;
    open(s);
    pauseWithoutEvents(kSettleMs);
    if (s.stopping()) return Outcome::Cancelled;
    link.clearInput();
    link.sendLetter('L');
    if (sent) *sent = true;
    const QString reply = s.reply();
    Outcome outcome;
    if (reply == QLatin1String("?")) {
        s.reply();  // the writer's second unit after "?"
        link.sendLetter('S');
        host.show(messages::programPowerOff());
        outcome = s.failure(Outcome::NoPower);
    } else if (reply == QLatin1String("a")) {
        host.show(messages::programErased());
        outcome = Outcome::Done;
    } else {
        link.sendLetter('C');
        host.show(messages::programEraseWriterError(messages::eraseUnconfirmed()));
        outcome = s.failure(Outcome::WriterError);
    }
    link.clearInput();
    return outcome;
}

}  // namespace program
