// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/picstate.h"

#include "core/messages.h"

#include <QStringList>

namespace cli {

namespace {

QString hex(int value, int digits) { return QStringLiteral("%1h").arg(QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper()); }
QString word(int address) { return hex(address, 4); }
QString byte(int address) { return hex(address, 2); }

// The state told as lines of text, and kept in one line for the result event.
void tell(Run &run, const QStringList &lines)
{
    for (const QString &l : lines) run.out.error(l);
    run.result.insert(QStringLiteral("state"), lines.join(QLatin1Char(' ')));
}

QString unconfirmedWord(int address)
{
    return QStringLiteral("%1 は送りましたが書込みの確認が取れず、書込まれたかどうか分かりません。").arg(word(address));
}

}  // namespace

void reportProgramState(Run &run, const program::WriteResult &w, bool stopped)
{
    run.result.insert(QStringLiteral("next_address"), w.nextAddress);
    run.result.insert(QStringLiteral("config_written"), w.configWritten);
    run.result.insert(QStringLiteral("unconfirmed"), w.unconfirmed);
    if (!stopped) return;

    QStringList lines;
    const bool touched = w.nextAddress > 0 || w.unconfirmed || w.configWritten;
    if (w.wordsDone && w.nextAddress > 0)
        lines << QStringLiteral("プログラムメモリはファイルのとおり書込みました（0000h〜%1）。").arg(word(w.nextAddress - 1));
    else if (w.wordsDone)
        lines << QStringLiteral("ファイルのプログラムワードはすべて書込みました。");
    else if (w.nextAddress > 0)
        lines << QStringLiteral("0000h〜%1 を書込みました。%2 以降は書込まれていません。").arg(word(w.nextAddress - 1), word(w.nextAddress));
    else
        lines << QStringLiteral("プログラムメモリには何も書込んでいません。");
    if (w.unconfirmed && !w.wordsDone) lines << unconfirmedWord(w.nextAddress);

    if (w.configWritten) lines << QStringLiteral("コンフィグレーションワードは書込みました。");
    else if (w.unconfirmed && w.wordsDone)
        lines << QStringLiteral("コンフィグレーションワードは送りましたが書込みの確認が取れず、書込まれたかどうか分かりません。");
    else lines << QStringLiteral("コンフィグレーションワードは書込まれていません。");

    lines << (touched ? QStringLiteral("PICは書きかけです。全消去してから、もう一度書込んでください。")
                      : QStringLiteral("PICは元のままです。もう一度書込んでください。"));
    tell(run, lines);
}

void reportEepromState(Run &run, const EepromState &e, bool stopped)
{
    run.result.insert(QStringLiteral("eeprom_written"), e.written);
    run.result.insert(QStringLiteral("unconfirmed"), e.unconfirmed);
    if (!stopped) return;

    QStringList lines;
    if (e.total == 1 && e.at >= 0)
        lines << QStringLiteral("EEPROM の %1 は書込まれていません。").arg(byte(e.at));
    else if (e.at >= 0)
        lines << QStringLiteral("EEPROM は %1 / %2 バイトを書込みました。%3 以降は書込まれていません。")
                     .arg(e.written)
                     .arg(e.total)
                     .arg(byte(e.at));
    else
        lines << QStringLiteral("EEPROM は %1 / %2 バイトを書込みました。").arg(e.written).arg(e.total);
    if (e.unconfirmed && e.at >= 0) lines << messages::byteUnconfirmed(e.at);
    lines << QStringLiteral("もう一度書込んでください。");
    tell(run, lines);
}

void reportEraseState(Run &run, bool sent, bool done, bool stopped)
{
    run.result.insert(QStringLiteral("erased"), done);
    run.result.insert(QStringLiteral("unconfirmed"), sent && !done);
    if (!stopped) return;
    if (sent) tell(run, {messages::eraseUnconfirmed()});
    else tell(run, {QStringLiteral("全消去はしていません。PICは元のままです。")});
}

}  // namespace cli
