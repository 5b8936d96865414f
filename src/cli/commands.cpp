// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/commands.h"

#include "cli/clitext.h"

namespace cli {

int runPorts(Run &run);
int runWrite(Run &run);
int runVerify(Run &run);
int runRead(Run &run);
int runErase(Run &run);
int runBlankCheck(Run &run);
int runEepromRead(Run &run);
int runEepromWrite(Run &run);
int runEepromSet(Run &run);
int runEepromErase(Run &run);
int runConfig(Run &run);
int runVersion(Run &run);
int runWatch(Run &run);
int runDoctor(Run &run);
int runDisasm(Run &run);

namespace {

QString hexArgumentMissing(const char *command) { return QStringLiteral("%1 には HEX ファイルを指定してください。").arg(QLatin1String(command)); }

}  // namespace

const QVector<Command> &commands()
{
    static const QVector<Command> table = {
        {QStringLiteral("ports"), 0, {}, {}, QStringLiteral("シリアルポートの一覧（COM番号、使用中か、USBの情報）"), {}, runPorts},
        {QStringLiteral("write"), 1, {QStringLiteral("--config"), QStringLiteral("--no-verify"), QStringLiteral("--eeprom"), QStringLiteral("--force"),
                                      QStringLiteral("--serial"), QStringLiteral("--serial-le"), QStringLiteral("--serial-counter"), QStringLiteral("--serial-list"), QStringLiteral("--serial-start"), QStringLiteral("--serial-step"), QStringLiteral("--log")},
         QStringLiteral("FILE.hex [--config ワード] [--no-verify] [--eeprom] [--force]"),
         QStringLiteral("プログラムメモリとコンフィグレーションワードを書込み、読出して照合"), hexArgumentMissing("write"), runWrite},
        {QStringLiteral("verify"), 1, {QStringLiteral("--config"), QStringLiteral("--eeprom"), QStringLiteral("--listing")},
         QStringLiteral("FILE.hex [--config ワード] [--eeprom] [--listing]"),
         QStringLiteral("PICの内容をファイルと照合（違いはすべて表示）"), hexArgumentMissing("verify"), runVerify},
        {QStringLiteral("read"), 0, {QStringLiteral("-o")}, QStringLiteral("-o FILE.hex|-"),
         QStringLiteral("プログラムメモリとID/コンフィグレーションワードをIntel HEXで保存"), {}, runRead, true},
        {QStringLiteral("erase"), 0, {QStringLiteral("--log")}, {}, QStringLiteral("プログラムメモリを全消去"), {}, runErase},
        {QStringLiteral("blank-check"), 0, {}, {}, QStringLiteral("プログラムメモリが消去されているか調べる"), {}, runBlankCheck},
        {QStringLiteral("eeprom read"), 0, {QStringLiteral("-o")}, QStringLiteral("[-o FILE|-]"),
         QStringLiteral("データEEPROMを4行x16バイトの表で表示（-o でデータファイルに保存）"), {}, runEepromRead},
        {QStringLiteral("eeprom write"), 1, {QStringLiteral("--log")}, QStringLiteral("DATAFILE"), QStringLiteral("データファイル（/F と同じ形式）でデータEEPROM全体を書込み"),
         QStringLiteral("eeprom write にはデータファイルを指定してください。"), runEepromWrite},
        {QStringLiteral("eeprom set"), 2, {QStringLiteral("--log")}, QStringLiteral("ADDR VALUE"), QStringLiteral("1バイト書込み（16進数: アドレス 00〜3F、値 00〜FF）"),
         QStringLiteral("eeprom set にはアドレスと値を指定してください（例: eeprom set 3F A5）。"), runEepromSet},
        {QStringLiteral("eeprom erase"), 0, {QStringLiteral("--log")}, {}, QStringLiteral("データEEPROMを全消去"), {}, runEepromErase},
        {QStringLiteral("config"), 0, {}, {}, QStringLiteral("コンフィグレーションレジスタを読出して表示"), {}, runConfig},
        {QStringLiteral("version"), 0, {}, {}, QStringLiteral("ライタのファームウェアバージョン"), {}, runVersion},
        {QStringLiteral("watch"), 1, {QStringLiteral("--config"), QStringLiteral("--no-verify"), QStringLiteral("--eeprom"), QStringLiteral("--force"),
                                      QStringLiteral("--serial"), QStringLiteral("--serial-le"), QStringLiteral("--serial-counter"), QStringLiteral("--serial-list"), QStringLiteral("--serial-start"), QStringLiteral("--serial-step"), QStringLiteral("--log")},
         QStringLiteral("FILE.hex [write のオプション ...]"), QStringLiteral("ファイルが変わるたびに書込んで照合（変更が止まって 300 ms 後）。Ctrl+C で終了"),
         hexArgumentMissing("watch"), runWatch},
        {QStringLiteral("doctor"), 0, {QStringLiteral("--deep"), QStringLiteral("--udev-rule")}, QStringLiteral("[--deep] [--udev-rule]"),
         QStringLiteral("ポートからPICまでの接続診断（--deep でプログラムメモリも読む、--udev-rule でアダプタ用の udev 規則を表示）"), {}, runDoctor},
        {QStringLiteral("disasm"), 1, {QStringLiteral("--all")}, QStringLiteral("FILE.hex|- [--all]"),
         QStringLiteral("HEXファイル（- は標準入力）を gpdasm と同じ形で逆アセンブル"),
         QStringLiteral("disasm には HEX ファイルを指定してください（標準入力なら -）。"), runDisasm},
    };
    return table;
}

QString helpText()
{
    // The syntax in a column of 34; a longer one has its line of help under it.
    constexpr int kColumn = 34;
    QString list;
    for (const Command &c : commands()) {
        QString syntax = QStringLiteral("  ") + c.words;
        if (!c.synopsis.isEmpty()) syntax += QLatin1Char(' ') + c.synopsis;
        if (syntax.size() < kColumn) list += syntax.leftJustified(kColumn) + c.help + QLatin1Char('\n');
        else list += syntax + QLatin1Char('\n') + QString(kColumn, QLatin1Char(' ')) + c.help + QLatin1Char('\n');
    }
    return text::helpHead() + list + text::helpTail();
}

}  // namespace cli
