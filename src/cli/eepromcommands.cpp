// SPDX-License-Identifier: GPL-3.0-or-later
// Data EEPROM: read (as a grid or a data file), write from a data file, set one byte, erase.

#include "cli/commandsupport.h"
#include "cli/clitext.h"
#include "cli/datafilecheck.h"
#include "cli/picstate.h"

#include "core/formats/datafile.h"
#include "core/formats/eepromtext.h"
#include "core/protocol/datafileexchange.h"
#include "core/protocol/eepromexchange.h"

#include <QJsonArray>

namespace cli {

namespace {

int readAll(Run &run, Session &s, eeprom::ReadResult *r, bool erase = false)
{
    if (int status = 0; stopHere(run, s, &status)) return status;
    run.out.beginPhase(QStringLiteral("eeprom-read"));
    {
        ViewHost host(s);
        *r = erase ? eeprom::eraseEeprom(s.link(), host) : eeprom::readEeprom(s.link(), host);
    }
    if (r->outcome != Outcome::Done) return failed(run, s, r->outcome);
    run.out.endPhase();
    QJsonArray bytes;
    for (int b : r->bytes) bytes.append(b);
    run.result.insert(QStringLiteral("bytes"), bytes);
    return exitcode::Ok;
}

// The grid of the EEPROM window: a header row "+0h".."+Fh", then " 00h".." 30h" and 16 bytes.
QString grid(const std::array<int, 64> &bytes)
{
    QString out = QStringLiteral("    ");
    for (int c = 1; c < eepromtext::kColumns; ++c) out += QLatin1Char(' ') + eepromtext::columnHeader(c);
    for (int r = 1; r < eepromtext::kRows; ++r) {
        out += QLatin1Char('\n') + eepromtext::rowHeader(r);
        for (int c = 1; c < eepromtext::kColumns; ++c)
            out += QStringLiteral("  ") + eepromtext::cellText(bytes[size_t(eepromtext::cellAddress(r, c))]);
    }
    return out;
}

// Bytes expected against bytes read: the listing and the status.
int compareBytes(Run &run, const std::array<int, 64> &expected, const std::array<int, 64> &read)
{
    verify::Report report;
    verify::compareEeprom(report, expected, read);
    if (!report.differs()) return exitcode::Ok;
    reportComparison(run, report);
    return exitcode::Differs;
}

}  // namespace

int runEepromRead(Run &run)
{
    const Options &o = run.options;
    if (o.outputGiven) {
        if (const int status = checkOutputFile(run, o.output)) return status;
    }
    run.out.plan({eepromReadPhase()});
    Session s(run.out, o);
    if (const int status = s.connect()) return failedWith(run, s, status);
    eeprom::ReadResult r;
    if (const int status = readAll(run, s, &r)) return status;
    if (!o.outputGiven) {
        run.out.result(grid(r.bytes));
        return exitcode::Ok;
    }
    return saveOutput(run, o.output, dataFileText(r.bytes));
}

int runEepromWrite(Run &run)
{
    const QString path = run.options.arguments.at(0);
    if (const int status = checkInputFile(run, path)) return status;
    const DataFileCheck check = checkDataFile(path);
    if (!check.readError.isEmpty()) {
        run.out.error(check.readError);
        run.error = check.readError;
        return exitcode::NoInput;
    }
    for (const QString &w : check.warnings) run.out.warning(text::fileLineless(path, w));
    if (!check.errors.isEmpty()) {
        for (const QString &e : check.errors) run.out.error(text::fileLineless(path, e));
        run.error = text::fileLineless(path, check.errors.first());
        run.out.error(text::dataFileRefused());
        return exitcode::BadInput;
    }

    Session s(run.out, run.options);
    EepromState state;
    state.total = datafile::kBytes;
    reportEepromState(run, state, false);
    if (const int status = s.connect()) return failedWith(run, s, status);
    datafilewrite::Result r;
    bool silent = false;
    {
        DataFileHost host(s, s.link());
        r = datafilewrite::writeDataFile(s.link(), host, path);
        silent = host.fellSilent();
    }
    run.result.insert(QStringLiteral("written"), r.written);
    state.written = r.written;
    state.unconfirmed = r.unconfirmed;
    // The writer took "M" once it answered: the bytes from `written` on are not written.
    if (r.written > 0 || r.unconfirmed) state.at = r.written;
    int status = exitcode::Ok;
    if (r.outcome == Outcome::Cancelled) {
        // The exchange stopped waiting and sent nothing more: "C" takes the writer back to its
        // command loop, as the exchange's own failure path does.
        s.link().sendLetter('C');
        if (!s.interrupted() && silent) {
            s.error(text::writerFellSilent(r.written, datafile::kBytes));
            status = failedWith(run, s, exitcode::WriterFailed);
        }
    }
    if (status == exitcode::Ok && r.outcome != Outcome::Done) status = failed(run, s, r.outcome);
    reportEepromState(run, state, status != exitcode::Ok);
    return status;
}

int runEepromSet(Run &run)
{
    const Options &o = run.options;
    const auto address = parseEepromAddress(o.arguments.at(0));
    QString usage;
    if (!address) usage = text::badEepromAddress(o.arguments.at(0));
    const eepromtext::Entry entry = eepromtext::checkEntry(o.arguments.at(1));
    if (usage.isEmpty() && entry.problem != eepromtext::EntryProblem::None)
        usage = text::badEepromValue(o.arguments.at(1), eepromtext::problemText(entry.problem));
    if (!usage.isEmpty()) {
        run.out.error(text::usageError(usage));
        run.error = usage;
        return exitcode::Usage;
    }

    run.out.plan({eepromReadPhase()});
    Session s(run.out, o);
    EepromState state;
    state.total = 1;
    reportEepromState(run, state, false);
    if (const int status = s.connect()) return failedWith(run, s, status);
    Outcome written;
    {
        EntryHost host(s);
        written = eeprom::writeEepromByte(s.link(), host, *address, o.arguments.at(1), &state.unconfirmed);
    }
    state.at = *address;
    if (written != Outcome::Done) {
        const int status = failed(run, s, written);
        state.unconfirmed = state.unconfirmed && written != Outcome::NoPower;
        reportEepromState(run, state, true);
        return status;
    }
    state.written = 1;
    state.unconfirmed = false;
    reportEepromState(run, state, false);
    // The EEPROM window reads itself again after an entry: so does this, and checks the byte.
    eeprom::ReadResult r;
    if (const int status = readAll(run, s, &r)) return status;
    std::array<int, 64> expected;
    expected.fill(-1);
    expected[size_t(*address)] = entry.value;
    run.result.insert(QStringLiteral("address"), *address);
    run.result.insert(QStringLiteral("value"), entry.value);
    const int status = compareBytes(run, expected, r.bytes);
    if (status == exitcode::Ok) run.out.info(text::eepromByteWritten(*address, entry.value));
    return status;
}

int runEepromErase(Run &run)
{
    run.out.plan({eepromReadPhase()});
    Session s(run.out, run.options);
    reportEraseState(run, false, false, false);
    if (const int status = s.connect()) return failedWith(run, s, status);
    eeprom::ReadResult r;
    const int failure = readAll(run, s, &r, true);
    reportEraseState(run, r.eraseSent && r.outcome != Outcome::NoPower, r.erased, failure != exitcode::Ok && !r.erased);
    if (failure) return failure;
    std::array<int, 64> erased;
    erased.fill(0xFF);
    const int status = compareBytes(run, erased, r.bytes);
    if (status == exitcode::Ok) run.out.info(text::eepromErased());
    return status;
}

}  // namespace cli
