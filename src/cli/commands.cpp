// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/commands.h"

#include "cli/clitext.h"

#include <QCoreApplication>

#include <cstring>

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

// %1: the command's words.
const char *const kHexArgumentMissing = QT_TRANSLATE_NOOP("cli", "%1 には HEX ファイルを指定してください。");

}  // namespace

const QVector<Command> &commands()
{
    // The words and option names are typed and parsed, and named in JSON: untranslated in every
    // language; the texts for people are translated where shown.
    // watch writes each round as write does.
    static const QStringList kWriteOptions = {
        QStringLiteral("--config"),         QStringLiteral("--no-verify"),   QStringLiteral("--eeprom"),
        QStringLiteral("--force"),          QStringLiteral("--serial"),      QStringLiteral("--serial-le"),
        QStringLiteral("--serial-counter"), QStringLiteral("--serial-list"), QStringLiteral("--serial-start"),
        QStringLiteral("--serial-step"),    QStringLiteral("--log")};
    static const QVector<Command> table = {
        {QStringLiteral("ports"), 0, {}, {}, QT_TRANSLATE_NOOP("cli", "シリアルポートの一覧（COM番号、使用中か、USBの情報）"), {}, runPorts},
        {QStringLiteral("write"), 1, kWriteOptions,
         QT_TRANSLATE_NOOP("cli", "FILE.hex [--config ワード] [--no-verify] [--eeprom] [--force]"),
         QT_TRANSLATE_NOOP("cli", "プログラムメモリとコンフィグレーションワードを書込み、読出して照合"), kHexArgumentMissing, runWrite},
        {QStringLiteral("verify"), 1, {QStringLiteral("--config"), QStringLiteral("--eeprom"), QStringLiteral("--listing")},
         QT_TRANSLATE_NOOP("cli", "FILE.hex [--config ワード] [--eeprom] [--listing]"),
         QT_TRANSLATE_NOOP("cli", "PICの内容をファイルと照合（違いはすべて表示）"), kHexArgumentMissing, runVerify},
        {QStringLiteral("read"), 0, {QStringLiteral("-o")}, "-o FILE.hex|-",
         QT_TRANSLATE_NOOP("cli", "プログラムメモリとID/コンフィグレーションワードをIntel HEXで保存"), {}, runRead, true},
        {QStringLiteral("erase"), 0, {QStringLiteral("--log")}, {}, QT_TRANSLATE_NOOP("cli", "プログラムメモリを全消去"), {}, runErase},
        {QStringLiteral("blank-check"), 0, {}, {}, QT_TRANSLATE_NOOP("cli", "プログラムメモリが消去されているか調べる"), {}, runBlankCheck},
        {QStringLiteral("eeprom read"), 0, {QStringLiteral("-o")}, "[-o FILE|-]",
         QT_TRANSLATE_NOOP("cli", "データEEPROMを4行x16バイトの表で表示（-o でデータファイルに保存）"), {}, runEepromRead},
        {QStringLiteral("eeprom write"), 1, {QStringLiteral("--log")}, "DATAFILE", QT_TRANSLATE_NOOP("cli", "データファイル（/F と同じ形式）でデータEEPROM全体を書込み"),
         QT_TRANSLATE_NOOP("cli", "eeprom write にはデータファイルを指定してください。"), runEepromWrite},
        {QStringLiteral("eeprom set"), 2, {QStringLiteral("--log")}, "ADDR VALUE", QT_TRANSLATE_NOOP("cli", "1バイト書込み（16進数: アドレス 00〜3F、値 00〜FF）"),
         QT_TRANSLATE_NOOP("cli", "eeprom set にはアドレスと値を指定してください（例: eeprom set 3F A5）。"), runEepromSet},
        {QStringLiteral("eeprom erase"), 0, {QStringLiteral("--log")}, {}, QT_TRANSLATE_NOOP("cli", "データEEPROMを全消去"), {}, runEepromErase},
        {QStringLiteral("config"), 0, {}, {}, QT_TRANSLATE_NOOP("cli", "コンフィグレーションレジスタを読出して表示"), {}, runConfig},
        {QStringLiteral("version"), 0, {}, {}, QT_TRANSLATE_NOOP("cli", "ライタのファームウェアバージョン"), {}, runVersion},
        {QStringLiteral("watch"), 1, kWriteOptions,
         QT_TRANSLATE_NOOP("cli", "FILE.hex [write のオプション ...]"), QT_TRANSLATE_NOOP("cli", "ファイルが変わるたびに書込んで照合（変更が止まって 300 ms 後）。Ctrl+C で終了"),
         kHexArgumentMissing, runWatch},
        {QStringLiteral("doctor"), 0, {QStringLiteral("--deep"), QStringLiteral("--udev-rule")}, "[--deep] [--udev-rule]",
         QT_TRANSLATE_NOOP("cli", "ポートからPICまでの接続診断（--deep でプログラムメモリも読む、--udev-rule でアダプタ用の udev 規則を表示）"), {}, runDoctor},
        {QStringLiteral("disasm"), 1, {QStringLiteral("--all")}, "FILE.hex|- [--all]",
         QT_TRANSLATE_NOOP("cli", "HEXファイル（- は標準入力）を gpdasm と同じ形で逆アセンブル"),
         QT_TRANSLATE_NOOP("cli", "disasm には HEX ファイルを指定してください（標準入力なら -）。"), runDisasm},
    };
    return table;
}

QString helpText()
{
    // The syntax in a column 34 wide on the terminal, in either language; a longer one has its
    // help under it. A help of several lines (as a translation may wrap it) keeps to its column.
    constexpr int kColumn = 34;
    const QString indent(kColumn, QLatin1Char(' '));
    QString list;
    for (const Command &c : commands()) {
        QString syntax = QStringLiteral("  ") + c.words;
        if (c.synopsis) syntax += QLatin1Char(' ') + QCoreApplication::translate("cli", c.synopsis);
        const QString help = QCoreApplication::translate("cli", c.help).replace(QLatin1Char('\n'), QLatin1Char('\n') + indent);
        const int width = text::displayWidth(syntax);
        if (width < kColumn) list += syntax + QString(kColumn - width, QLatin1Char(' ')) + help + QLatin1Char('\n');
        else list += syntax + QLatin1Char('\n') + indent + help + QLatin1Char('\n');
    }
    return text::helpHead() + list + text::helpTail();
}

QString missingArgumentsText(const Command &c)
{
    if (!c.missingArguments) return QString();
    const QString text = QCoreApplication::translate("cli", c.missingArguments);
    return std::strstr(c.missingArguments, "%1") ? text.arg(c.words) : text;
}

}  // namespace cli
