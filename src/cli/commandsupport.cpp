// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/commandsupport.h"
#include "cli/clitext.h"
#include "cli/commands.h"

#include "core/formats/configword.h"
#include "core/formats/hexexport.h"
#include "core/platform.h"
#include "core/protocol/eepromexchange.h"
#include "core/protocol/programexchange.h"
#include "core/settings/storedsettings.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QRegularExpression>

#include <csignal>

namespace cli {

int checkInputFile(Run &run, const QString &path)
{
    const QFileInfo info(path);
    QString why;
    if (!info.exists()) why = text::inputMissing(path);
    else if (!info.isFile()) why = text::inputNotAFile(path);
    else if (!platform::isRegularFile(path)) why = text::inputUnreadable(path);
    if (why.isEmpty()) return exitcode::Ok;
    run.out.error(why);
    run.error = why;
    return exitcode::NoInput;
}

int checkOutputFile(Run &run, const QString &path)
{
    if (path == QLatin1String("-")) return exitcode::Ok;
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    QString why;
    if (info.isDir()) why = text::outputIsFolder(path);
    else if (!folder.isDir()) why = text::outputFolderMissing(path, folder.filePath());
    // The new file is made beside the old one and then put in its place.
    else if (!folder.isWritable() || (info.exists() && !info.isWritable())) why = text::outputNotWritable(path);
    if (why.isEmpty()) return exitcode::Ok;
    run.out.error(why);
    run.error = why;
    return exitcode::CannotWrite;
}

int saveOutput(Run &run, const QString &path, const QByteArray &data)
{
    if (path == QLatin1String("-")) {
        run.out.resultBytes(data);
        return exitcode::Ok;
    }
    QString why;
    if (!hexexport::saveAtomically(path, data, &why)) {
        const QString t = text::outputFailed(path, why);
        run.out.error(t);
        run.error = t;
        return exitcode::CannotWrite;
    }
    run.out.info(text::saved(path));
    run.result.insert(QStringLiteral("output"), path);
    return exitcode::Ok;
}

int reportFileIssues(Run &run, const QString &path, const memoryimage::Image &img, bool force)
{
    bool refused = false;
    for (const memoryimage::Issue &i : img.issues) {
        const memoryimage::Severity sev = memoryimage::severityOf(i.problem);
        const QString t = text::fileLine(path, i.line, memoryimage::problemText(i));
        const bool error = sev == memoryimage::Severity::Error || (sev == memoryimage::Severity::ForcibleError && !force);
        if (error) {
            refused = true;
            run.out.error(t);
            if (run.error.isEmpty()) run.error = t;
        } else {
            run.out.warning(t);
        }
    }
    if (!refused) return exitcode::Ok;
    bool forcible = false;
    for (const memoryimage::Issue &i : img.issues)
        forcible |= memoryimage::severityOf(i.problem) == memoryimage::Severity::ForcibleError;
    // --force is suggested where the command takes it.
    const bool forceTaken = run.options.command->options.contains(QStringLiteral("--force"));
    run.out.error(text::fileRefused(forceTaken && forcible && !force && !img.hasErrors(true)));
    return exitcode::BadInput;
}

ConfigChoice chooseConfigWord(const Options &o, const memoryimage::Image &img)
{
    ConfigChoice c;
    // Read as the window program loads it.
    const QString iniPath = settingsFile();
    const settings::StoredConfigWord stored = settings::loadConfigWord(iniPath);
    c.storedWord = stored.word;
    if (o.configWord) {
        c.word = *o.configWord;
        c.source = QStringLiteral("option");
        c.sourceText = text::configFromOption();
    } else if (img.configWord) {
        c.word = quint16(*img.configWord);
        c.source = QStringLiteral("file");
        c.sourceText = text::configFromFile(img.configLine);
    } else if (stored.stored) {
        c.word = quint16(stored.word);
        c.source = QStringLiteral("settings");
        c.sourceText = text::configFromSettings(iniPath);
    } else {
        c.word = configword::kDefaultWord;
        c.source = QStringLiteral("default");
        c.sourceText = text::configDefault();
    }
    c.written = configword::wordFromSelection(configword::selectionFromWord(qint16(c.word)));
    return c;
}

QJsonObject mismatchEvent(const verify::Mismatch &m)
{
    return QJsonObject{{QStringLiteral("event"), QStringLiteral("mismatch")},
                       {QStringLiteral("space"), QLatin1String(verify::spaceName(m.space))},
                       {QStringLiteral("address"), m.address},
                       {QStringLiteral("expected"), m.expected},
                       {QStringLiteral("actual"), m.actual}};
}

verify::Mismatch mismatchFromEvent(const QJsonObject &e)
{
    verify::Mismatch m;
    const QString space = e.value(QStringLiteral("space")).toString();
    for (verify::Space s : {verify::Space::Program, verify::Space::Config, verify::Space::Eeprom})
        if (space == QLatin1String(verify::spaceName(s))) m.space = s;
    m.address = e.value(QStringLiteral("address")).toInt();
    m.expected = e.value(QStringLiteral("expected")).toInt();
    m.actual = e.value(QStringLiteral("actual")).toInt();
    return m;
}

void reportComparison(Run &run, const verify::Report &r)
{
    for (const verify::Mismatch &m : r.mismatches) {
        QJsonObject e = mismatchEvent(m);
        const QString beside = run.options.listing ? mismatchInstructions(m) : QString();
        if (!beside.isEmpty()) e.insert(QStringLiteral("text"), beside);
        run.out.event(e);
        run.out.result(verify::mismatchText(m) + (beside.isEmpty() ? QString() : QStringLiteral("  ") + beside));
    }
    const QString summary = verify::summaryText(r, text::eraseCommandHint());
    if (!summary.isEmpty()) {
        if (r.differs() || r.programUnverifiable) run.out.error(summary);
        else run.out.info(summary);
    }
    run.result.insert(QStringLiteral("mismatches"), int(r.mismatches.size()));
    run.result.insert(QStringLiteral("program_compared"), r.programCompared);
    run.result.insert(QStringLiteral("config_compared"), r.configCompared);
    run.result.insert(QStringLiteral("eeprom_compared"), r.eepromCompared);
    run.result.insert(QStringLiteral("bits_1_to_0"), r.program.oneToZero + r.eeprom.oneToZero);
    run.result.insert(QStringLiteral("bits_0_to_1"), r.program.zeroToOne + r.eeprom.zeroToOne);
    run.result.insert(QStringLiteral("erase_first"), r.eraseFirst());
    run.result.insert(QStringLiteral("program_unverifiable"), r.programUnverifiable);
    run.result.insert(QStringLiteral("verified"), !r.differs() && !r.programUnverifiable);
    run.result.insert(QStringLiteral("summary"), QString(summary).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    if (r.differs() || r.programUnverifiable) run.error = QString(summary).replace(QLatin1Char('\n'), QLatin1Char(' '));
}

int comparisonStatus(const verify::Report &r)
{
    if (r.differs()) return exitcode::Differs;
    if (r.programUnverifiable) return exitcode::CannotVerify;
    return exitcode::Ok;
}

int failedWith(Run &run, Session &s, int status)
{
    run.out.abandonPhase();
    s.tellPortLost();
    if (status == exitcode::Interrupted) {
        s.error(text::interrupted());
        const int sig = s.signalNumber();
        const char *name = sig == SIGTERM ? "SIGTERM" : sig == SIGHUP ? "SIGHUP" : "SIGINT";
        if (sig) run.result.insert(QStringLiteral("signal"), QLatin1String(name));
    }
    if (run.error.isEmpty()) run.error = s.lastError();
    return status;
}

int failed(Run &run, Session &s, Outcome o) { return failedWith(run, s, s.exitFor(o)); }

bool stopHere(Run &run, Session &s, int *status)
{
    if (!s.interrupted() && !s.portLost()) return false;
    *status = failedWith(run, s, s.interrupted() ? exitcode::Interrupted : exitcode::PortFailed);
    return true;
}

namespace {
int hexIn(const QString &line)
{
    static const QRegularExpression digits(QStringLiteral("[0-9A-F]+"));
    const auto m = digits.match(line);
    return m.hasMatch() ? m.captured(0).toInt(nullptr, 16) : -1;
}
}  // namespace

int writeStep(const QString &line, const std::array<int, 1025> &sentBefore)
{
    const int a = hexIn(line);
    if (a < 0 || line != messages::writingAt(a)) return -1;
    if (a <= 1024) return sentBefore[size_t(a)];
    return sentBefore[1024] + (a - 1024);
}

int readStep(const QString &line)
{
    const int a = hexIn(line);
    if (a < 0 || line != messages::receivingAt(a)) return -1;
    return a < 1024 ? a : 1024 + (a - 0x2000);
}

Phase writePhase(int words)
{
    // "C" and its answer, the pause, "W" and "w"; then each word "D", "w", two groups, "w" and
    // the PIC's write; the configuration word is one more such word, and "E".
    return {QStringLiteral("write"), text::phaseWrite(), words, 5 * kByteSeconds + kPicWriteSeconds,
            4 * kByteSeconds + program::kSettleMs / 1000.0 + 6 * kByteSeconds + kPicWriteSeconds};
}

Phase readPhase()
{
    return {QStringLiteral("read"), text::phaseRead(), hexexport::kReadWords, 2 * kByteSeconds,
            4 * kByteSeconds + program::kSettleMs / 1000.0};
}

Phase eepromWritePhase(int bytes)
{
    // "V", "v", the address, "v", two groups, "a", the PIC's write and the pause the entry
    // dialog gives it.
    return {QStringLiteral("eeprom-write"), text::phaseEepromWrite(), bytes,
            7 * kByteSeconds + kPicWriteSeconds + eeprom::kWritePauseMs / 1000.0, 0};
}

Phase eepromReadPhase()
{
    return {QStringLiteral("eeprom-read"), text::phaseEepromRead(), eeprom::kBytes, 2 * kByteSeconds, 2 * kByteSeconds};
}

}  // namespace cli
