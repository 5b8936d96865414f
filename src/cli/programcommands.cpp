// SPDX-License-Identifier: GPL-3.0-or-later
// Program memory: write (with its read-back), verify, read, erase, blank-check.

#include "cli/commandsupport.h"
#include "cli/clitext.h"
#include "cli/picstate.h"
#include "cli/serialwrite.h"
#include "cli/unitlog.h"

#include "core/formats/eepromtext.h"
#include "core/formats/hexexport.h"
#include "core/protocol/eepromexchange.h"
#include "core/protocol/programexchange.h"

#include <QFileInfo>

namespace cli {

namespace {

// For the write's progress: how many of the words it sends come before each address.
std::array<int, 1025> sentBefore(const memoryimage::Image &img)
{
    std::array<int, 1025> before{};
    for (int a = 0; a < 1024; ++a) before[size_t(a + 1)] = before[size_t(a)] + (img.program[size_t(a)] >= 0 ? 1 : 0);
    return before;
}

// Reads the HEX file and tells what is wrong with it; 0 when it may be used.
int loadHex(Run &run, const QString &path, bool force, memoryimage::Image *img)
{
    if (const int status = checkInputFile(run, path)) return status;
    *img = memoryimage::read(path);
    if (!img->opened) {
        const QString t = text::inputUnreadable(path);
        run.out.error(t);
        run.error = t;
        return exitcode::NoInput;
    }
    return reportFileIssues(run, path, *img, force);
}

// One program read under its progress phase: the verify's, the blank check's or the plain read's.
template <class Exchange>
int readPhaseOf(Run &run, Session &s, Exchange exchange)
{
    if (int status = 0; stopHere(run, s, &status)) return status;
    run.out.beginPhase(QStringLiteral("read"), readStep);
    Outcome o;
    {
        PlainHost host(s);
        o = exchange(host);
    }
    if (o != Outcome::Done) return failed(run, s, o);
    run.out.endPhase();
    return exitcode::Ok;
}

// The file's EEPROM bytes one by one with the byte entry's exchange.
int writeEepromBytes(Run &run, Session &s, const memoryimage::Image &img)
{
    run.out.beginPhase(QStringLiteral("eeprom-write"));
    EepromState state;
    state.total = img.eepromByteCount();
    for (int a = 0; a < memoryimage::kEepromBytes; ++a) {
        const int value = img.eeprom[size_t(a)];
        if (value < 0) continue;
        int status = 0;
        Outcome o = Outcome::Done;
        if (!stopHere(run, s, &status)) {
            EntryHost host(s);
            o = eeprom::writeEepromByte(s.link(), host, a, eepromtext::cellText(value), &state.unconfirmed);
        }
        if (status == 0 && o != Outcome::Done) status = failed(run, s, o);
        if (status != 0) {
            state.at = a;
            state.unconfirmed = state.unconfirmed && o != Outcome::NoPower;
            reportEepromState(run, state, true);
            return status;
        }
        state.unconfirmed = false;
        run.out.step(++state.written);
    }
    run.out.endPhase();
    reportEepromState(run, state, false);
    return exitcode::Ok;
}

void tellConfigWord(Run &run, const ConfigChoice &c)
{
    run.out.info(text::configChoice(c.word, c.sourceText, c.written));
    run.result.insert(QStringLiteral("config_word"), c.written);
    run.result.insert(QStringLiteral("config_source"), c.source);
}

// Whether the file's EEPROM records take part, and the warning when they are there unasked.
bool useEeprom(Run &run, const memoryimage::Image &img, bool asked, bool writing)
{
    const int bytes = img.eepromByteCount();
    if (asked && bytes == 0) run.out.warning(text::noEepromInFile());
    if (!asked && bytes > 0) run.out.warning(text::eepromLeftOut(bytes, writing));
    return asked && bytes > 0;
}

// Reads the PIC back and compares it with the file: program memory unless code protection
// leaves it unverifiable, then the data EEPROM where the file's records take part.
int readBackAndCompare(Run &run, Session &s, const memoryimage::Image &img, int configWord, bool program, bool eeprom)
{
    verify::Report report;
    if (program) {
        const int status = readPhaseOf(run, s, [&](PlainHost &host) {
            const verify::Result r = verify::verifyProgram(s.link(), host, img, configWord);
            report = r.report;
            return r.outcome;
        });
        if (status) return status;
    } else {
        report.programUnverifiable = true;
    }
    if (eeprom) {
        if (int status = 0; stopHere(run, s, &status)) return status;
        run.out.beginPhase(QStringLiteral("eeprom-read"));
        Outcome o;
        {
            ViewHost host(s);
            o = verify::verifyEeprom(s.link(), host, img, report);
        }
        if (o != Outcome::Done) return failed(run, s, o);
        run.out.endPhase();
    }
    reportComparison(run, report);
    return comparisonStatus(report);
}

}  // namespace

int runWrite(Run &run)
{
    const Options &o = run.options;
    const QString path = o.arguments.at(0);
    memoryimage::Image img;
    if (const int status = loadHex(run, path, o.force, &img)) return status;
    // What was read, should the file change during the write.
    if (wantsUnitRecord(o)) run.unit.sha256 = fileSha256(path);
    if (img.wordsSent == 0) run.out.warning(text::noProgramWords());
    const ConfigChoice config = chooseConfigWord(o, img);
    tellConfigWord(run, config);
    const bool withEeprom = useEeprom(run, img, o.eeprom, true);
    SerialWrite sw;
    if (const int status = checkSerial(run, img, &sw)) return status;
    // Serial bytes in the data EEPROM are written and verified with or without --eeprom.
    if (!withEeprom) img.eeprom.fill(-1);
    const bool serialInEeprom = sw.place && sw.place->inEeprom();
    const bool eepromPart = withEeprom || serialInEeprom;
    const bool protectedCode = verify::codeProtected(config.written);
    const bool readBack = !o.noVerify && !protectedCode;

    QVector<Phase> phases{writePhase(img.wordsSent + (sw.place && !serialInEeprom ? sw.place->length : 0))};
    if (eepromPart) phases << eepromWritePhase(img.eepromByteCount() + (serialInEeprom ? sw.place->length : 0));
    if (readBack) phases << readPhase();
    if (eepromPart && !o.noVerify) phases << eepromReadPhase();
    run.out.plan(phases);

    Session s(run.out, o);
    if (o.configWord) s.configOverride = *o.configWord;
    reportProgramState(run, {}, false);  // nothing written until the writer has answered
    if (const int status = s.connect()) return failedWith(run, s, status);
    QString sendPath = path;
    if (const int status = takeSerial(run, &sw, &img, &sendPath)) return failedWith(run, s, status);

    const std::array<int, 1025> before = sentBefore(img);
    run.out.beginPhase(QStringLiteral("write"), [&before](const QString &line) { return writeStep(line, before); });
    program::WriteResult w;
    {
        PlainHost host(s);
        w = program::writeProgram(s.link(), host, sendPath, qint16(config.storedWord));
    }
    if (w.outcome != Outcome::Done) {
        const bool gone = w.outcome == Outcome::FileError && !QFileInfo::exists(path);
        const int status = gone ? failedWith(run, s, exitcode::NoInput) : failed(run, s, w.outcome);
        reportProgramState(run, w, true);
        return status;
    }
    reportProgramState(run, w, false);
    run.out.endPhase();
    // The exchange found the same word and the dialog's mapping made the same of it: told as sent.
    if (!s.configConfirmed || *s.configConfirmed != config.written)
        run.out.warning(text::configDiffersFromPlan(s.configConfirmed ? *s.configConfirmed : -1, config.written));
    run.result.insert(QStringLiteral("words_written"), img.wordsSent);

    if (eepromPart) {
        if (const int status = writeEepromBytes(run, s, img)) return status;
    }
    if (int status = 0; stopHere(run, s, &status)) return status;
    if (o.noVerify) {
        run.out.info(text::verifySkipped());
        run.result.insert(QStringLiteral("verified"), false);
        return exitcode::Ok;
    }

    if (!protectedCode) run.out.info(text::readingBack());
    return readBackAndCompare(run, s, img, config.written, !protectedCode, eepromPart);
}

int runVerify(Run &run)
{
    const Options &o = run.options;
    const QString path = o.arguments.at(0);
    memoryimage::Image img;
    if (const int status = loadHex(run, path, false, &img)) return status;
    const ConfigChoice config = chooseConfigWord(o, img);
    tellConfigWord(run, config);
    const bool withEeprom = useEeprom(run, img, o.eeprom, false);

    QVector<Phase> phases{readPhase()};
    if (withEeprom) phases << eepromReadPhase();
    run.out.plan(phases);
    Session s(run.out, o);
    if (const int status = s.connect()) return failedWith(run, s, status);

    return readBackAndCompare(run, s, img, config.written, true, withEeprom);
}

int runRead(Run &run)
{
    const QString path = run.options.output;
    if (const int status = checkOutputFile(run, path)) return status;
    run.out.plan({readPhase()});
    Session s(run.out, run.options);
    if (const int status = s.connect()) return failedWith(run, s, status);
    program::ReadResult r;
    const int status = readPhaseOf(run, s, [&](PlainHost &host) {
        r = program::readProgramHex(s.link(), host);
        return r.outcome;
    });
    if (status) return status;
    run.result.insert(QStringLiteral("words"), int(r.words.size()));
    run.result.insert(QStringLiteral("config_word"), int(r.words.last()));
    return saveOutput(run, path, r.hex);
}

int runErase(Run &run)
{
    Session s(run.out, run.options);
    reportEraseState(run, false, false, false);
    if (const int status = s.connect()) return failedWith(run, s, status);
    Outcome o;
    bool sent = false;
    {
        PlainHost host(s);
        o = program::eraseProgram(s.link(), host, &sent);
    }
    if (o == Outcome::Done) {
        reportEraseState(run, sent, true, false);
        return exitcode::Ok;
    }
    const int status = failed(run, s, o);
    reportEraseState(run, sent && o != Outcome::NoPower, false, true);
    return status;
}

int runBlankCheck(Run &run)
{
    run.out.plan({readPhase()});
    Session s(run.out, run.options);
    if (const int status = s.connect()) return failedWith(run, s, status);
    verify::Result r;
    const int status = readPhaseOf(run, s, [&](PlainHost &host) {
        r = verify::checkBlank(s.link(), host);
        return r.outcome;
    });
    if (status) return status;
    for (const verify::Mismatch &m : r.report.mismatches) {
        run.out.event(mismatchEvent(m));
        run.out.result(text::notBlankWord(m.address, m.actual));
    }
    const int notBlank = int(r.report.mismatches.size());
    run.result.insert(QStringLiteral("blank"), notBlank == 0);
    run.result.insert(QStringLiteral("not_blank"), notBlank);
    if (notBlank == 0) {
        run.out.info(text::blank());
        return exitcode::Ok;
    }
    const QString t = text::notBlank(notBlank);
    run.out.error(t);
    run.error = t;
    return exitcode::NotBlank;
}

}  // namespace cli
