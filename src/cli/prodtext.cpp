// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/prodtext.h"

#include "core/formats/numbertext.h"

#include <QCoreApplication>

namespace cli::text {

using numbertext::hex;

QString helpSection()
{
    return QCoreApplication::translate("prod",
        "\n"
        "量産と書換えの繰返し:\n"
        "  -p ポート,ポート  -p を複数（またはカンマ区切り）で、全ポートで同時に実行（write、verify、erase、\n"
        "                    blank-check、eeprom write/set/erase）。終了コードは最初に失敗したポートのもの\n"
        "  --serial eeprom:ADDR:LEN | retlw:ADDR:LEN\n"
        "                    シリアル番号を書込む場所: データEEPROMの LEN バイト、またはプログラムメモリの\n"
        "                    LEN 個の retlw 命令（34kkh）。上位バイトが先（--serial-le で下位バイトが先）\n"
        "  --serial-counter FILE  番号をカウンタファイルから取る（--serial-start N: ファイルがないときの\n"
        "                    最初の番号、--serial-step K: 増分、省略すると 1）\n"
        "  --serial-list FILE     番号をリスト（1行に1つ）の未使用のものから取る\n"
        "  --log FILE|-      1台ごとに1行（JSON Lines）を追記する。write、erase、eeprom write/set/erase、watch\n"
        "  数値は10進数または 0x…。番号は書込みの開始時に取り、失敗しても二度と使いません。\n");
}

QString badNumberOption(const QString &option, const QString &text)
{
    return QCoreApplication::translate("prod", "%1 の値「%2」が正しくありません（10進数または 0x…）。").arg(option, text);
}
QString badSerialPlace(const QString &text)
{
    return QCoreApplication::translate("prod", "--serial の「%1」が正しくありません（eeprom:ADDR:LEN または retlw:ADDR:LEN、LEN は 1〜7）。").arg(text);
}
QString serialNeedsSource()
{
    return QCoreApplication::translate("prod", "--serial には番号の取り方（--serial-counter FILE または --serial-list FILE）も指定してください。");
}
QString sourceNeedsSerial(const QString &option)
{
    if (option == QLatin1String("--serial-start") || option == QLatin1String("--serial-step"))
        return QCoreApplication::translate("prod", "%1 は --serial-counter と一緒に指定してください。").arg(option);
    return QCoreApplication::translate("prod", "%1 は --serial と一緒に指定してください。").arg(option);
}
QString twoSources() { return QCoreApplication::translate("prod", "--serial-counter と --serial-list は一緒に使えません。"); }
QString logStdoutWithJson()
{
    return QCoreApplication::translate("prod", "--json のときは --log - は使えません（標準出力は JSON だけにします）。ファイル名を指定してください。");
}
QString notWithSeveralPorts(const QString &command)
{
    return QCoreApplication::translate("prod", "%1 は複数のポートでは実行できません（write、verify、erase、blank-check、eeprom write/set/erase だけです）。")
        .arg(command);
}
QString samePortTwice(const QString &port) { return QCoreApplication::translate("prod", "ポート %1 が2回指定されています。").arg(port); }

QString serialOutside(bool eeprom, int address, int length, int size)
{
    return QCoreApplication::translate("prod", "シリアル番号（%1 の %2 から %3 %4）が%1の外にはみ出します（%5 %4まで）。")
        .arg(eeprom ? QCoreApplication::translate("prod", "データEEPROM") : QCoreApplication::translate("prod", "プログラムメモリ"))
        .arg(address)
        .arg(length)
        .arg(eeprom ? QCoreApplication::translate("prod", "バイト") : QCoreApplication::translate("prod", "ワード"))
        .arg(size);
}
QString serialOverlaps(bool eeprom, int address)
{
    return QCoreApplication::translate("prod", "シリアル番号の場所 %1 %2h に HEX ファイルのデータがあります。")
        .arg(eeprom ? QCoreApplication::translate("prod", "データEEPROM") : QCoreApplication::translate("prod", "プログラムメモリ"), hex(address, eeprom ? 2 : 4));
}
QString serialTooLarge(qint64 value, int length)
{
    return QCoreApplication::translate("prod", "シリアル番号 %1 は %2 バイトに入りません。").arg(value).arg(length);
}
QString lockTimeout(const QString &lockPath)
{
    return QCoreApplication::translate("prod", "%1 のロックがほかのプロセスから解放されません。").arg(lockPath);
}
QString lockFailed(const QString &lockPath, const QString &why)
{
    return QCoreApplication::translate("prod", "%1 をロックできません: %2").arg(lockPath, why);
}
QString serialFileUnreadable(const QString &path, const QString &why)
{
    if (why.isEmpty()) return QCoreApplication::translate("prod", "番号リスト %1 がありません。").arg(path);
    return QCoreApplication::translate("prod", "%1 を読めません: %2").arg(path, why);
}
QString serialFileNotWritten(const QString &path, const QString &why)
{
    if (why.isEmpty()) return QCoreApplication::translate("prod", "%1 に結果を書けません（ファイルが書換えられています）。").arg(path);
    return QCoreApplication::translate("prod", "%1 を書けません: %2").arg(path, why);
}
QString folderNotWritable() { return QCoreApplication::translate("prod", "フォルダに書込めません"); }
QString counterMissing(const QString &path)
{
    return QCoreApplication::translate("prod", "カウンタファイル %1 がありません。新しく始めるときは --serial-start で最初の番号を指定してください。").arg(path);
}
QString counterBad(const QString &path)
{
    return QCoreApplication::translate("prod", "カウンタファイル %1 の中身が番号（10進数または 0x…）ではありません。").arg(path);
}
QString counterOverflow(const QString &path) { return QCoreApplication::translate("prod", "カウンタファイル %1 の番号がこれ以上増やせません。").arg(path); }
QString listBadLine(const QString &path, int line)
{
    return QCoreApplication::translate("prod", "番号リスト %1 の %2 行目が番号（10進数または 0x…）ではありません。").arg(path).arg(line);
}
QString listTwice(const QString &path, int first, int second)
{
    return QCoreApplication::translate("prod", "番号リスト %1 の %2 行目と %3 行目が同じ番号です。").arg(path).arg(first).arg(second);
}
QString listExhausted(const QString &path) { return QCoreApplication::translate("prod", "番号リスト %1 に未使用の番号が残っていません。").arg(path); }
QString serialTaken(qint64 value, const QString &place)
{
    return QCoreApplication::translate("prod", "シリアル番号: %1（0x%2、%3）").arg(value).arg(QString::number(value, 16).toUpper()).arg(place);
}
QString serialRecordedFailed(qint64 value) { return QCoreApplication::translate("prod", "シリアル番号 %1 は失敗として記録しました（再使用しません）。").arg(value); }

QString logShortWrite() { return QCoreApplication::translate("prod", "1行を書き切れませんでした"); }
QString logNotWritten(const QString &path, const QString &why)
{
    return QCoreApplication::translate("prod", "ログ %1 に書けません: %2").arg(path, why);
}
QString tally(int passed, int failed, int total)
{
    return QCoreApplication::translate("prod", "合格 %1 / 不合格 %2 / 計 %3").arg(passed).arg(failed).arg(total);
}

QString portStatus(const QString &phase, int percent) { return QStringLiteral("%1 %2%").arg(phase).arg(percent, 3); }
QString portConnecting() { return QCoreApplication::translate("prod", "接続中"); }
QString portPassed() { return QCoreApplication::translate("prod", "完了"); }
QString portFailed(int exit, const QString &error)
{
    if (error.isEmpty()) return QCoreApplication::translate("prod", "失敗（終了コード %1）").arg(exit);
    return QCoreApplication::translate("prod", "失敗（終了コード %1）: %2").arg(exit).arg(error);
}
QString failedPorts(const QStringList &ports) { return QCoreApplication::translate("prod", "失敗したポート: %1").arg(ports.join(QStringLiteral(", "))); }
QString retryWith(const QString &command) { return QCoreApplication::translate("prod", "そのポートだけやり直すには: %1").arg(command); }
QString childFailed(const QString &port, const QString &why)
{
    return QCoreApplication::translate("prod", "%1 の処理を始められません: %2").arg(port, why);
}

QString watching(const QString &path)
{
    return QCoreApplication::translate("prod", "%1 の変更を待っています（Ctrl+C で終了）。").arg(path);
}
QString halfWritten(const QString &path)
{
    return QCoreApplication::translate("prod", "%1 は書きかけのようです（終了レコードがないか、読めない行があります）。次の変更を待ちます。").arg(path);
}
QString configChanged(int before, int now)
{
    return QCoreApplication::translate("prod", "コンフィグレーションワードが前回と違います: %1h → %2h").arg(hex(before, 4), hex(now, 4));
}
QString roundLine(const QString &time, int round, bool passed, int exit, double seconds, const QString &error)
{
    const QString head = QStringLiteral("%1 #%2 ").arg(time).arg(round);
    if (passed) return head + QCoreApplication::translate("prod", "書込み・照合完了（%1 秒）").arg(seconds, 0, 'f', 1);
    if (error.isEmpty()) return head + QCoreApplication::translate("prod", "失敗（終了コード %1、%2 秒）").arg(exit).arg(seconds, 0, 'f', 1);
    return head + QCoreApplication::translate("prod", "失敗（終了コード %1、%2 秒）: %3").arg(exit).arg(seconds, 0, 'f', 1).arg(error);
}

}  // namespace cli::text
