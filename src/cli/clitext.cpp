// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/clitext.h"

#include "core/formats/configword.h"
#include "core/formats/numbertext.h"
#include "core/link/portstatus.h"

#include <QCoreApplication>
#include <QStringList>

namespace cli::text {

namespace {

using numbertext::hex;
using numbertext::hexWord;

QString minutesSeconds(int seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

int displayWidth(QChar c)
{
    const char16_t u = c.unicode();
    const bool wide = (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF) || (u >= 0xAC00 && u <= 0xD7A3)
                      || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60)
                      || (u >= 0xFFE0 && u <= 0xFFE6);
    return wide ? 2 : 1;
}

int displayWidth(const QString &text)
{
    int width = 0;
    for (const QChar c : text) width += displayWidth(c);
    return width;
}

QString helpHead()
{
    return QCoreApplication::translate("cli",
        "使い方: veltraw-cli [-p ポート] [--json] [-q] [--progress auto|bar|lines|none] コマンド ...\n"
        "\n"
        "VELTRA2オンボードプログラムライタで、PICマイコンへの書込み・読出し・照合をウィンドウなしで行います。\n"
        "\n"
        "コマンド:\n");
}

QString helpTail()
{
    // Three pieces, each laid out in columns of its own language.
    return QCoreApplication::translate("cli",
        "\n"
        "オプション:\n"
        "  -p ポート         デバイス（/dev/ttyUSB0、/dev/serial/by-id/...）または COM番号（COM3、3）。\n"
        "                    COM番号はウィンドウ版と同じく、設定ファイルの [Ports]、~/.wine/dosdevices/comN、\n"
        "                    /dev/ttyS(n-1) の順に対応づけます。省略すると $VELTRAW_PORT、\n"
        "                    それもなければウィンドウ版の設定ファイル（veltraw.ini の [Com] port）のポート。\n"
        "  --json            標準出力をJSON Lines（1行に1つ: progress、mismatch、warning、最後に必ず result）にする\n"
        "  -q                エラーだけを表示する\n"
        "  --progress 方法   進み具合の表示: auto（端末ならバー、それ以外は10%ごとの行）、bar、lines、none\n"
        "  --config ワード   書込むコンフィグレーションワード（0x3FF1、3FF1h、10進数）。省略するとファイルの\n"
        "                    2007h、それもなければ設定ファイルの [Config] word（ないときは 26）\n"
        "  --no-verify       書込みのあとで読出して照合しない\n"
        "  --eeprom          ファイルのデータEEPROMのレコード（4200h〜427Fh）も書込み・照合する\n"
        "  --force           チェックサムの合わないレコードや 400h〜1FFFh のワードがあっても書込む\n"
        "  --listing         照合の違いごとに、ファイルとPICの命令を並べて表示する\n"
        "  --all             disasm で、3FFF が16ワード以上続く所もまとめずに1ワードずつ表示する\n"
        "  -o FILE|-         出力ファイル（- は標準出力）。書き終えてから置き換えるので、書きかけは残りません\n"
        "  --help            この説明を表示する\n"
        "  --version         このプログラムのバージョンを表示する\n")
        + QCoreApplication::translate("cli",
        "\n"
        "人が読むメッセージは標準エラーに、結果（HEX、表、照合の違いなど）は標準出力に出ます。\n"
        "設定ファイルは読むだけで、書換えません。\n")
        + QCoreApplication::translate("cli",
        "\n"
        "終了コード:\n"
        "  0    完了（照合したときは一致）\n"
        "  1    照合: PICの内容がファイルと違う\n"
        "  2    ブランクチェック: 消去されていないワードがある\n"
        "  3    照合できない（コードプロテクトが有効）\n"
        "  4    ターゲットボードの電源が入っていない\n"
        "  64   使い方の誤り\n"
        "  65   入力ファイルの内容が正しくない（HEXファイル、データファイル）\n"
        "  66   入力ファイルがない、または読めない\n"
        "  69   ライタにつながらない（ポートのデバイスがない、リンクチェックに応答がない）\n"
        "  73   出力ファイルを書けない（書きかけのファイルは残しません）\n"
        "  74   通信中にポートが使えなくなった\n"
        "  75   ポートをほかのプログラムが使用中\n"
        "  76   通信中にライタの応答が正しくない、または応答がなくなった\n"
        "  77   ポートを開く権限がない（dialout グループに加わってください）\n"
        "  130  中断した（Ctrl+C、SIGTERM、SIGHUP）。ライタはコマンド待ちに戻してから終わります\n");
}

QString usageError(const QString &detail)
{
    return QCoreApplication::translate("cli", "%1\n使い方は「veltraw-cli --help」で表示できます。").arg(detail);
}

QString listSeparator() { return QCoreApplication::translate("cli", "、"); }

QString noCommand() { return QCoreApplication::translate("cli", "コマンドを指定してください。"); }
QString unknownCommand(const QString &name) { return QCoreApplication::translate("cli", "「%1」というコマンドはありません。").arg(name); }
QString noEepromAction(const QString &actions)
{
    return QCoreApplication::translate("cli", "eeprom のあとに %1 のどれかを指定してください。").arg(actions);
}
QString unknownEepromAction(const QString &name, const QString &actions)
{
    return QCoreApplication::translate("cli", "「eeprom %1」というコマンドはありません（%2 のどれかです）。").arg(name, actions);
}
QString unknownOption(const QString &option) { return QCoreApplication::translate("cli", "「%1」というオプションはありません。").arg(option); }
QString unexpectedValue(const QString &option) { return QCoreApplication::translate("cli", "%1 は値をとりません。").arg(option); }
QString missingValue(const QString &option) { return QCoreApplication::translate("cli", "%1 のあとに値を指定してください。").arg(option); }
QString badProgressMode(const QString &mode)
{
    return QCoreApplication::translate("cli", "--progress に「%1」は指定できません（auto、bar、lines、none のどれかです）。").arg(mode);
}
QString optionNotForCommand(const QString &option, const QString &command)
{
    return QCoreApplication::translate("cli", "%1 は %2 では使えません。").arg(option, command);
}
QString extraArgument(const QString &argument) { return QCoreApplication::translate("cli", "余分な引数「%1」があります。").arg(argument); }
QString outputRequired() { return QCoreApplication::translate("cli", "read には -o で保存先を指定してください（- で標準出力）。"); }
QString jsonAndStandardOutput()
{
    return QCoreApplication::translate("cli", "--json のときは -o - は使えません（標準出力は JSON だけにします）。ファイル名を指定してください。");
}
QString badConfigWord(const QString &text)
{
    return QCoreApplication::translate("cli", "コンフィグレーションワード「%1」が正しくありません（0x3FF1、3FF1h、10進数で 0〜3FFFh）。").arg(text);
}
QString badEepromAddress(const QString &text)
{
    return QCoreApplication::translate("cli", "EEPROM のアドレス「%1」が正しくありません（16進数で 00〜3F）。").arg(text);
}
QString badEepromValue(const QString &text, const QString &problem)
{
    return QCoreApplication::translate("cli", "値「%1」: %2（16進数で 00〜FF）。").arg(text, problem);
}

QString warningLine(const QString &text) { return QCoreApplication::translate("cli", "注意: %1").arg(text); }

QString progressLine(const QString &phase, int percent, int done, int total, int secondsLeft)
{
    return QCoreApplication::translate("cli", "%1 %2% (%3/%4) 残り約 %5").arg(phase).arg(percent, 3).arg(done).arg(total).arg(minutesSeconds(secondsLeft));
}

QString progressBar(const QString &phase, const QString &bar, int percent, int done, int total, int secondsLeft)
{
    return QCoreApplication::translate("cli", "%1 [%2] %3% %4/%5 残り %6")
        .arg(phase, bar)
        .arg(percent, 3)
        .arg(done)
        .arg(total)
        .arg(minutesSeconds(secondsLeft));
}

QString phaseWrite() { return QCoreApplication::translate("cli", "書込み"); }
QString phaseRead() { return QCoreApplication::translate("cli", "読出し"); }
QString phaseEepromWrite() { return QCoreApplication::translate("cli", "EEPROM書込み"); }
QString phaseEepromRead() { return QCoreApplication::translate("cli", "EEPROM読出し"); }

QString noPort(const QString &iniPath)
{
    return QCoreApplication::translate("cli", "ポートが決まっていません。-p でポートを指定するか、環境変数 VELTRAW_PORT を設定してください"
                                              "（設定ファイル %1 にも使えるポートがありません）。").arg(iniPath);
}
QString badComNumber(const QString &text) { return QCoreApplication::translate("cli", "COM番号「%1」が正しくありません（1以上）。").arg(text); }
QString comMapping(const QString &how, int comNumber, const QString &source, const QString &iniPath)
{
    // source: the mapping's own word, as the port choice and JSON give it (untranslated).
    QString via;
    if (source == QLatin1String("settings")) via = QCoreApplication::translate("cli", "[Ports] の対応");
    else if (source == QLatin1String("wine")) via = QCoreApplication::translate("cli", "~/.wine/dosdevices のリンク");
    else via = QCoreApplication::translate("cli", "標準の対応");
    if (how.isEmpty()) return QCoreApplication::translate("cli", "設定ファイル %1 の COM%2、%3").arg(iniPath).arg(comNumber).arg(via);
    return QCoreApplication::translate("cli", "%1 の COM%2、%3").arg(how).arg(comNumber).arg(via);
}
QString usingPort(const QString &device, const QString &how) { return QCoreApplication::translate("cli", "ポート: %1（%2）").arg(device, how); }
QString checkingLink() { return QCoreApplication::translate("cli", "ライタとの接続を確認しています..."); }
QString linkSilent(const QString &device)
{
    return QCoreApplication::translate("cli", "%1 のライタから応答がありません。ライタの電源、ケーブル、ポートの指定を確認してください。").arg(device);
}
QString portLostDuring(const QString &device, const QString &reason)
{
    return QCoreApplication::translate("cli", "通信中にポート %1 が使えなくなりました（%2）。ケーブルの接続を確認してください。").arg(device, reason);
}
QString interrupting() { return QCoreApplication::translate("cli", "中断します。ライタをコマンド待ちに戻しています..."); }
QString interrupted() { return QCoreApplication::translate("cli", "中断しました。"); }
QString answeredYes(const QString &question) { return QCoreApplication::translate("cli", "%1 → はい（コマンドラインでの指定どおり）").arg(question); }
QString writerStoppedAnswering() { return QCoreApplication::translate("cli", "ライタの応答が途中でなくなりました。"); }
QString noFirmwareAnswer()
{
    return QCoreApplication::translate("cli", "ライタからファームウェアバージョンの応答がありませんでした。");
}
QString writerFellSilent(int written, int total)
{
    return QCoreApplication::translate("cli", "ライタの応答がなくなりました（書込み済み %1 / %2 バイト）。もう一度実行してください。").arg(written).arg(total);
}

QString programWrittenUpTo(int next)
{
    return QCoreApplication::translate("cli", "0000h〜%1h を書込みました。%2h 以降は書込まれていません。").arg(hexWord(next - 1), hexWord(next));
}
QString programAllWritten(int next)
{
    if (next == 0) return QCoreApplication::translate("cli", "ファイルのプログラムワードはすべて書込みました。");
    return QCoreApplication::translate("cli", "プログラムメモリはファイルのとおり書込みました（0000h〜%1h）。").arg(hexWord(next - 1));
}
QString programNothingWritten() { return QCoreApplication::translate("cli", "プログラムメモリには何も書込んでいません。"); }
QString wordUnconfirmed(int address)
{
    return QCoreApplication::translate("cli", "%1h は送りましたが書込みの確認が取れず、書込まれたかどうか分かりません。").arg(hexWord(address));
}
QString configWritten() { return QCoreApplication::translate("cli", "コンフィグレーションワードは書込みました。"); }
QString configUnconfirmed()
{
    return QCoreApplication::translate("cli", "コンフィグレーションワードは送りましたが書込みの確認が取れず、書込まれたかどうか分かりません。");
}
QString configNotWritten() { return QCoreApplication::translate("cli", "コンフィグレーションワードは書込まれていません。"); }
QString picPartlyWritten() { return QCoreApplication::translate("cli", "PICは書きかけです。全消去してから、もう一度書込んでください。"); }
QString picUntouched() { return QCoreApplication::translate("cli", "PICは元のままです。もう一度書込んでください。"); }
QString eepromByteNotWritten(int address) { return QCoreApplication::translate("cli", "EEPROM の %1h は書込まれていません。").arg(hex(address, 2)); }
QString eepromWritten(int written, int total) { return QCoreApplication::translate("cli", "EEPROM は %1 / %2 バイトを書込みました。").arg(written).arg(total); }
QString eepromWrittenUpTo(int written, int total, int next)
{
    return eepromWritten(written, total) + QCoreApplication::translate("cli", "%1h 以降は書込まれていません。").arg(hex(next, 2));
}
QString writeAgain() { return QCoreApplication::translate("cli", "もう一度書込んでください。"); }
QString eraseNotRun() { return QCoreApplication::translate("cli", "全消去はしていません。PICは元のままです。"); }

QString inputMissing(const QString &path) { return QCoreApplication::translate("cli", "ファイル %1 がありません。").arg(path); }
QString inputNotAFile(const QString &path) { return QCoreApplication::translate("cli", "%1 は通常のファイルではありません。").arg(path); }
QString inputUnreadable(const QString &path) { return QCoreApplication::translate("cli", "ファイル %1 を読めません（読む権限を確認してください）。").arg(path); }
QString outputIsFolder(const QString &path) { return QCoreApplication::translate("cli", "%1 はフォルダなので、ファイルとして保存できません。").arg(path); }
QString outputFolderMissing(const QString &path, const QString &folder)
{
    return QCoreApplication::translate("cli", "%1 に保存できません: フォルダ %2 がありません。").arg(path, folder);
}
QString outputNotWritable(const QString &path) { return QCoreApplication::translate("cli", "%1 に保存できません: 書込む権限がありません。").arg(path); }
QString outputFailed(const QString &path, const QString &why)
{
    return QCoreApplication::translate("cli", "%1 に保存できませんでした: %2（書きかけのファイルは残していません）").arg(path, why);
}
QString saved(const QString &path) { return QCoreApplication::translate("cli", "%1 に保存しました。").arg(path); }

QString fileLine(const QString &path, int line, const QString &text) { return QStringLiteral("%1:%2: %3").arg(path).arg(line).arg(text); }
QString fileLineless(const QString &path, const QString &text) { return QStringLiteral("%1: %2").arg(path, text); }
QString lineNote(int line, const QString &text) { return QCoreApplication::translate("cli", "%1 行目: %2").arg(line).arg(text); }
QString fileRefused(bool forceWouldDo)
{
    QString t = QCoreApplication::translate("cli", "ファイルに誤りがあるので、ライタには何も送っていません。");
    if (forceWouldDo) t += QCoreApplication::translate("cli", "\nこのまま書込むときは --force を付けてください。");
    return t;
}
QString noProgramWords() { return QCoreApplication::translate("cli", "ファイルに書込むプログラムワードがありません。コンフィグレーションワードだけを書込みます。"); }
QString noEepromInFile() { return QCoreApplication::translate("cli", "ファイルにデータEEPROMのレコード（4200h〜427Fh）がありません。データEEPROMはそのままです。"); }
QString eepromLeftOut(int bytes, bool writing)
{
    return writing ? QCoreApplication::translate("cli", "ファイルにはデータEEPROMのデータが %1 バイトありますが、書込みません（--eeprom で書込みます）。").arg(bytes)
                   : QCoreApplication::translate("cli", "ファイルにはデータEEPROMのデータが %1 バイトありますが、照合しません（--eeprom で照合します）。").arg(bytes);
}

QString configChoice(int word, const QString &source, int written)
{
    return QCoreApplication::translate("cli", "コンフィグレーションワード: %1h（%2）→ %3h: %4")
        .arg(hexWord(word), source, hex(written, 2), configword::describe(written));
}
QString configFromOption() { return QCoreApplication::translate("cli", "--config で指定"); }
QString configFromFile(int line) { return QCoreApplication::translate("cli", "ファイルの 2007h、%1 行目").arg(line); }
QString configFromSettings(const QString &iniPath) { return QCoreApplication::translate("cli", "設定ファイル %1 の [Config] word").arg(iniPath); }
QString configDefault() { return QCoreApplication::translate("cli", "ファイルにも設定ファイルにもないので既定値"); }
QString configDiffersFromPlan(int confirmed, int planned)
{
    return QCoreApplication::translate("cli", "書込んだコンフィグレーションワードは %1h です（予定は %2h でした）。").arg(hex(confirmed & 0xFF, 2), hex(planned, 2));
}
QString verifySkipped() { return QCoreApplication::translate("cli", "照合はしていません（--no-verify）。"); }
QString readingBack() { return QCoreApplication::translate("cli", "書込んだ内容を読出して照合します..."); }

QString blank() { return QCoreApplication::translate("cli", "プログラムメモリは消去されています（1024 ワードすべて 3FFFh）。"); }
QString notBlank(int words) { return QCoreApplication::translate("cli", "プログラムメモリに消去されていないワードが %1 個あります。").arg(words); }
QString notBlankWord(int address, int value) { return QStringLiteral("%1h  %2").arg(hexWord(address), hexWord(value)); }

QString dataFileNotANumber(const QString &field)
{
    return QCoreApplication::translate("cli", "「%1」は10進数の整数ではありません（ウィンドウ版は 0 として書込みます）。").arg(field);
}
QString dataFileOutOfRange(const QString &field) { return QCoreApplication::translate("cli", "値 %1 は 0〜255 の範囲を超えています。").arg(field); }
QString dataFileAddressIgnored(const QString &field, int address)
{
    return QCoreApplication::translate("cli", "アドレスの欄は「%1」ですが、次の値はアドレス %2 に書込まれます（値は並んだ順に書込まれます）。").arg(field).arg(address);
}
QString dataFileMoreAddressNotes(int more) { return QCoreApplication::translate("cli", "アドレスの欄が合わない行がほかに %1 か所あります。").arg(more); }
QString dataFileExtra(int used) { return QCoreApplication::translate("cli", "ここから先の値は使われません（使うのは最初の %1 個です）。").arg(used); }
QString dataFileTooFew(int values, int needed)
{
    return QCoreApplication::translate("cli", "値が %1 個しかありません。%2 個（「アドレス,値」を 64 行）必要です。").arg(values).arg(needed);
}
QString dataFileInconsistent(int address) { return QCoreApplication::translate("cli", "アドレス %1 の値を読み違えました。").arg(address); }
QString dataFileRefused() { return QCoreApplication::translate("cli", "データファイルに誤りがあるので、ライタには何も送っていません。"); }
QString eepromByteWritten(int address, int value)
{
    return QCoreApplication::translate("cli", "データEEPROM のアドレス %1h に %2h を書込みました（読出して確かめました）。").arg(hex(address, 2), hex(value, 2));
}
QString eepromErased() { return QCoreApplication::translate("cli", "データEEPROMを全消去しました（64 バイトすべて FFh）。"); }

QString noPorts() { return QCoreApplication::translate("cli", "シリアルポートが見つかりません。"); }
QString portHeading(const QString &path, const QString &comNumbers)
{
    return comNumbers.isEmpty() ? path : QStringLiteral("%1  (%2)").arg(path, comNumbers);
}
QString portField(const QString &name, const QString &value) { return QStringLiteral("    %1: %2").arg(name, value); }
QString portFieldDevice() { return QCoreApplication::translate("cli", "デバイス"); }
QString portFieldSerial() { return QCoreApplication::translate("cli", "シリアル番号"); }
QString portFieldDescription() { return QCoreApplication::translate("cli", "説明"); }
QString portFieldState() { return QCoreApplication::translate("cli", "状態"); }
QString portFieldLatency() { return QCoreApplication::translate("cli", "レイテンシタイマ"); }
QString portMappedOnly(const QString &source)
{
    return source == QLatin1String("wine") ? QCoreApplication::translate("cli", "~/.wine/dosdevices のリンクが指すデバイス")
                                           : QCoreApplication::translate("cli", "設定ファイルの [Ports] が指すデバイス");
}
QString portState(const portstatus::Status &s)
{
    switch (s.problem) {
    case portstatus::PortProblem::None: return QCoreApplication::translate("cli", "使えます");
    case portstatus::PortProblem::NoDevice: return QCoreApplication::translate("cli", "見つかりません");
    case portstatus::PortProblem::NoPermission: return QCoreApplication::translate("cli", "開く権限がありません（dialout グループに加わってください）");
    case portstatus::PortProblem::Busy:
        if (s.holderPid > 0)
            return QCoreApplication::translate("cli", "使用中（%1、プロセス %2）").arg(s.holderName.isEmpty() ? QStringLiteral("?") : s.holderName).arg(s.holderPid);
        return QCoreApplication::translate("cli", "使用中");
    case portstatus::PortProblem::Other: return QCoreApplication::translate("cli", "開けません（%1）").arg(s.detail);
    }
    return QString();
}
QString milliseconds(int ms) { return QStringLiteral("%1 ms").arg(ms); }

QString standardInput() { return QCoreApplication::translate("cli", "標準入力"); }
QString disasmBeside(const QString &file, const QString &pic)
{
    return QCoreApplication::translate("cli", "ファイル: %1  PIC: %2").arg(file, -14).arg(pic);
}
QString disasmConfigBeside(const QString &file, const QString &pic)
{
    return QCoreApplication::translate("cli", "ファイル: %1 / PIC: %2").arg(file, pic);
}
QString remedyLine(const QString &remedy) { return QCoreApplication::translate("cli", "\n     対処: ") + remedy; }
QString udevInstallHint(const QString &rulePath, const QString &command)
{
    return QCoreApplication::translate("cli", "%1 に保存して読み込み直すには:\n  %2").arg(rulePath, command);
}
QString diagnosing(const QString &device) { return QCoreApplication::translate("cli", "%1 を診断します。").arg(device); }
// The hint to erase first names this program's own command.
QString eraseCommandHint() { return QCoreApplication::translate("cli", "erase で"); }
QString disasmUnused(int first, int last)
{
    return QCoreApplication::translate("cli", "%1-%2:  3fff  未使用 (%3 ワード)")
        .arg(first, 4, 16, QLatin1Char('0'))
        .arg(last, 4, 16, QLatin1Char('0'))
        .arg(last - first + 1);
}
QString disasmNoProgramWords(const QString &source)
{
    return QCoreApplication::translate("cli", "%1 にはプログラムメモリ（0000h〜03FFh）のワードがありません。").arg(source);
}

}  // namespace cli::text
