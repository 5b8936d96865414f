// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/protocol/verify.h"

#include "core/formats/memoryimage.h"
#include "core/messages.h"
#include "core/protocol/eepromexchange.h"
#include "core/protocol/programexchange.h"

#include <bitset>

namespace verify {

namespace {

void count(Counts &c, int expected, int actual, int bits)
{
    const int diff = (expected ^ actual) & bits;
    ++c.differing;
    c.oneToZero += int(std::bitset<16>(unsigned(diff & expected)).count());
    c.zeroToOne += int(std::bitset<16>(unsigned(diff & actual)).count());
}

}  // namespace

const char *spaceName(Space s)
{
    switch (s) {
    case Space::Program: return "program";
    case Space::Config: return "config";
    case Space::Eeprom: return "eeprom";
    }
    return "?";
}

void compareProgram(Report &r, const std::array<int, 1024> &expected, const QVector<quint16> &read,
                    std::optional<int> expectedConfig)
{
    if (read.size() < 1024 + 8) return;
    const int pic = read[1024 + 7];
    // Protected program memory reads back as something else: no word of it says anything.
    r.programUnverifiable = (expectedConfig && codeProtected(*expectedConfig)) || codeProtected(pic);
    for (int a = 0; a < 1024 && !r.programUnverifiable; ++a) {
        if (expected[size_t(a)] < 0) continue;
        ++r.programCompared;
        const int want = expected[size_t(a)] & kBlankWord;
        const int have = read[a] & kBlankWord;
        if (want == have) continue;
        r.mismatches.append({Space::Program, a, want, have});
        count(r.program, want, have, kBlankWord);
    }
    if (expectedConfig) {
        r.configCompared = true;
        const int want = *expectedConfig & kConfigOptionBits;
        const int have = pic & kConfigOptionBits;
        if (want != have) {
            r.mismatches.append({Space::Config, kConfigWordAddress, want, have});
            count(r.program, want, have, kConfigOptionBits);
        }
    }
}

void compareEeprom(Report &r, const std::array<int, 64> &expected, const std::array<int, 64> &read)
{
    for (int a = 0; a < 64; ++a) {
        if (expected[size_t(a)] < 0) continue;
        ++r.eepromCompared;
        const int want = expected[size_t(a)] & 0xFF;
        const int have = read[size_t(a)];
        if (have == want) continue;
        r.mismatches.append({Space::Eeprom, a, want, have});
        // A byte that was not read counts as differing in all its bits.
        count(r.eeprom, want, have < 0 ? (~want & 0xFF) : have, 0xFF);
    }
}

Result verifyProgram(ProgrammerLink &link, ExchangeHost &host, const memoryimage::Image &image, int configWord)
{
    Result result;
    if (!image.opened) {
        host.show(messages::hexFileNotFound());
        result.outcome = Outcome::FileError;
        return result;
    }
    // What would stop the write stops the verify before anything is sent.
    for (const memoryimage::Issue &issue : image.issues) {
        if (memoryimage::severityOf(issue.problem) != memoryimage::Severity::Error) continue;
        host.show(messages::verifyFileStops(messages::stoppedAtLine(issue.line) + memoryimage::problemText(issue)));
        result.outcome = Outcome::FileError;
        return result;
    }
    const program::ReadResult read = program::readProgramWords(link, host);
    result.outcome = read.outcome;
    result.words = read.words;
    if (read.outcome == Outcome::Done) compareProgram(result.report, image.program, read.words, configWord);
    return result;
}

Outcome verifyEeprom(ProgrammerLink &link, eeprom::ViewHost &host, const memoryimage::Image &image, Report &report)
{
    const eeprom::ReadResult read = eeprom::readEeprom(link, host);
    if (read.outcome == Outcome::Done) compareEeprom(report, image.eeprom, read.bytes);
    return read.outcome;
}

Result checkBlank(ProgrammerLink &link, ExchangeHost &host)
{
    Result result;
    const program::ReadResult read = program::readProgramWords(link, host);
    result.outcome = read.outcome;
    if (read.outcome != Outcome::Done) return result;
    for (int a = 0; a < 1024; ++a) {
        ++result.report.programCompared;
        if (read.words[a] == kBlankWord) continue;
        result.report.mismatches.append({Space::Program, a, kBlankWord, int(read.words[a])});
        count(result.report.program, kBlankWord, read.words[a], kBlankWord);
    }
    return result;
}

QString summaryText(const Report &r, const QString &eraseCommand)
{
    QStringList lines;
    if (r.programUnverifiable) lines << messages::verifyProgramProtected();
    if (!r.differs()) {
        if (r.programCompared > 0 || r.configCompared || r.eepromCompared > 0)
            lines << messages::verifyMatched(r.programCompared, r.configCompared, r.eepromCompared);
        return lines.join(QLatin1Char('\n'));
    }
    int program = 0;
    int config = 0;
    for (const Mismatch &m : r.mismatches) {
        program += m.space == Space::Program ? 1 : 0;
        config += m.space == Space::Config ? 1 : 0;
    }
    lines << messages::verifyDiffered(program, r.programCompared, config, r.eeprom.differing, r.eepromCompared);
    if (r.program.differing > 0) lines << messages::verifyBits(r.program.oneToZero, r.program.zeroToOne);
    if (r.eeprom.differing > 0) lines << messages::verifyEepromBits(r.eeprom.oneToZero, r.eeprom.zeroToOne);
    if (r.eraseFirst()) lines << messages::verifyEraseFirst(eraseCommand);
    return lines.join(QLatin1Char('\n'));
}

QString mismatchText(const Mismatch &m)
{
    return messages::mismatchLine(int(m.space), m.address, m.expected, m.actual);
}

}  // namespace verify
