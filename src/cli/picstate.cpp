// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/picstate.h"

#include "cli/clitext.h"
#include "core/messages.h"

#include <QStringList>

namespace cli {

namespace {

// The state told as lines of text, and kept in one line for the result event.
void tell(Run &run, const QStringList &lines)
{
    for (const QString &l : lines) run.out.error(l);
    run.result.insert(QStringLiteral("state"), lines.join(QLatin1Char(' ')));
}

}  // namespace

void reportProgramState(Run &run, const program::WriteResult &w, bool stopped)
{
    run.result.insert(QStringLiteral("next_address"), w.nextAddress);
    run.result.insert(QStringLiteral("config_written"), w.configWritten);
    run.result.insert(QStringLiteral("unconfirmed"), w.unconfirmed);
    if (!stopped) return;

    QStringList lines;
    if (w.wordsDone) lines << text::programAllWritten(w.nextAddress);
    else if (w.nextAddress > 0) lines << text::programWrittenUpTo(w.nextAddress);
    else lines << text::programNothingWritten();
    if (w.unconfirmed && !w.wordsDone) lines << text::wordUnconfirmed(w.nextAddress);

    if (w.configWritten) lines << text::configWritten();
    else if (w.unconfirmed && w.wordsDone) lines << text::configUnconfirmed();
    else lines << text::configNotWritten();

    const bool touched = w.nextAddress > 0 || w.unconfirmed || w.configWritten;
    lines << (touched ? text::picPartlyWritten() : text::picUntouched());
    tell(run, lines);
}

void reportEepromState(Run &run, const EepromState &e, bool stopped)
{
    run.result.insert(QStringLiteral("eeprom_written"), e.written);
    run.result.insert(QStringLiteral("unconfirmed"), e.unconfirmed);
    if (!stopped) return;

    QStringList lines;
    if (e.total == 1 && e.at >= 0) lines << text::eepromByteNotWritten(e.at);
    else if (e.at >= 0) lines << text::eepromWrittenUpTo(e.written, e.total, e.at);
    else lines << text::eepromWritten(e.written, e.total);
    if (e.unconfirmed && e.at >= 0) lines << messages::byteUnconfirmed(e.at);
    lines << text::writeAgain();
    tell(run, lines);
}

void reportEraseState(Run &run, bool sent, bool done, bool stopped)
{
    run.result.insert(QStringLiteral("erased"), done);
    run.result.insert(QStringLiteral("unconfirmed"), sent && !done);
    if (!stopped) return;
    tell(run, {sent ? messages::eraseUnconfirmed() : text::eraseNotRun()});
}

}  // namespace cli
