// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/messages.h"

#include "core/formats/numbertext.h"
#include "core/systemtext.h"

#include <cstdint>

namespace messages {

const QString kProgramTitle = QStringLiteral("VELTRA2オンボードライタ");
const QString kMainCaption = QStringLiteral("VELTRA2オンボードプログラムライタ");
const QString kErrorTitle = QStringLiteral("エラーが発生しました");
const QString kFileErrorTitle = QStringLiteral("ファイルエラー");
const QString kTimeoutTitle = QStringLiteral("タイムアウトエラー");

const QString kCommErrorStatus = QStringLiteral("通信ポートエラーです");
const QString kSetUpCommStatus = QStringLiteral("通信設定をしてください");
const QString kLinkCheckProgress = QStringLiteral("VELTRA2オンボードプログラムライタと通信中...");
const QString kOperationBusy = QStringLiteral("ＰＩＣマイコンボードと通信中...");
const QString kExporting = QStringLiteral("ファイル出力中");
const QString kStoppedAtConfig =
    QStringLiteral("プログラムメモリは書込み済みです。コンフィグレーションワードの書込みで止まりました。");
const QString kEepromBusy = QStringLiteral("PICマイコンボードと通信中");
const QString kEepromWriting = QStringLiteral("書込み中");

namespace {

const QString kAgain = QStringLiteral("\r\nもう一度操作してください。");

Message box(const QString &text, Icon icon, const QString &title, const QString &detail = QString())
{
    Message m;
    m.text = text;
    m.icon = icon;
    m.title = title;
    m.detail = detail;
    return m;
}

Message critical(const QString &text, const QString &title, const QString &detail = QString())
{
    return box(text, Icon::Critical, title, detail);
}

using numbertext::hex;

}  // namespace

Message linkBusy()
{
    return box(QStringLiteral("ほかの画面がライタと通信中です。\r\n通信が終わってからもう一度操作してください。"),
               Icon::Exclamation, kProgramTitle);
}

Message alreadyRunning()
{
    return critical(QStringLiteral("すでにVELTRA2オンボードプログラムライタが実行されています"), kMainCaption);
}

Message launchFileMissing() { return critical(QStringLiteral("指定ファイルを呼出しません。"), kProgramTitle); }
Message launchArgumentWrong() { return critical(QStringLiteral("引数の指定が違います"), kProgramTitle); }

Message commPortError(const QString &title, const QString &detail) { return critical(kCommErrorStatus, title, detail); }

Message writerSilent()
{
    return critical(QStringLiteral("ライタの反応がありません。\r\n電源およびケーブルの接続を確認し、通信設定をもう一度クリックしてください。"),
                    kErrorTitle);
}

Message portLost(const QString &detail)
{
    return critical(QStringLiteral("通信ポートが使えなくなりました。\r\nケーブルの接続を確認し、通信設定をもう一度クリックしてください。"),
                    kErrorTitle, detail);
}

Message noHexFileChosen() { return critical(QStringLiteral("参照をクリックしてHEXファイルを指定してください"), kMainCaption); }

Message hexFileMissing()
{
    return critical(QStringLiteral("HEXファイルが存在しません。参照をクリックしてファイルを指定をしてください"), kMainCaption);
}

Message editorFileMissing() { return critical(QStringLiteral("ファイルが存在しません"), kMainCaption); }
Message editorFailed() { return critical(QStringLiteral("テキストエディタを起動できませんでした。"), kMainCaption); }
QString noEditorSet()
{
    return QStringLiteral("環境変数 VISUAL も EDITOR も設定されておらず、デスクトップの既定のアプリケーションでも開けませんでした。");
}
QString editorDidNotStart(const QString &variable, const QString &command)
{
    return QStringLiteral("環境変数 %1 のエディタ「%2」を起動できませんでした。").arg(variable, command);
}

Message manualMissing(const QString &expectedPath)
{
    return box(QStringLiteral("マニュアルが見つかりません。\r\nマニュアルは次の場所にインストールされているはずです:\r\n") + expectedPath,
               Icon::Exclamation, kProgramTitle);
}
Message browserFailed(const QString &page)
{
    return box(QStringLiteral("ブラウザを起動できませんでした。\r\nヘルプのウィンドウで読むか、ブラウザで次のページを開いてください:\r\n") + page,
               Icon::Exclamation, kProgramTitle);
}

Message slowAdapter(int ms, const QString &device)
{
    return box(QStringLiteral("USBシリアル変換器の遅延タイマが %1 ms に設定されています。\r\n"
                              "このままでは書込みや読出しに何倍もの時間がかかります。\r\n"
                              "遅延タイマを 1 ms にする方法は、マニュアルの「トラブルシューティング」を見てください。")
                   .arg(ms),
               Icon::Information, kProgramTitle, device);
}

QString writeQuestion(const QString &path)
{
    return QStringLiteral("PICにプログラムを書込んでよろしいですか？ ") + QStringLiteral("\r\n") + path;
}
QString eraseQuestion() { return QStringLiteral("プログラムメモリを全消去しますか"); }
QString readQuestion() { return QStringLiteral("PICのプログラムを読出しますか"); }
QString verifyQuestion(const QString &path)
{
    return QStringLiteral("PICのプログラムをHEXファイルと照合しますか") + QStringLiteral("\r\n") + path;
}
Message verifyProtected()
{
    return box(QStringLiteral("コードプロテクトがONのため、プログラムメモリを照合できません。\r\n"
                              "照合するには、コードプロテクトをOFFにして書込み直してください。"),
               Icon::Exclamation, kProgramTitle);
}
Message verifyFileStops(const QString &detail)
{
    return critical(QStringLiteral("Hexファイルにエラーがありました"), kFileErrorTitle, detail);
}
QString verifyListHeading(const QString &path, int differences)
{
    return QStringLiteral("%1 とPICの内容が %2 か所で異なります。").arg(path).arg(differences);
}

Message operationTimeout()
{
    return critical(QStringLiteral("ライタまたはPICマイコンボードの反応がありません。\r\nもう一度操作してください。"), kTimeoutTitle);
}

Message programPowerOff() { return critical(QStringLiteral("PICマイコンボードの電源は投入されていますか？"), kErrorTitle); }
Message programWriterError() { return critical(QStringLiteral("ライタにエラーが発生しました。"), kErrorTitle); }
Message programEraseWriterError(const QString &detail)
{
    return critical(QStringLiteral("ライタにエラーが発生しました"), kErrorTitle, detail);
}
Message programErased() { return box(QStringLiteral("全消去しました"), Icon::Information, kProgramTitle); }
Message hexFileError() { return critical(QStringLiteral("Hexファイルにエラーがありました"), kErrorTitle); }
Message hexFileStopped(const QString &detail)
{
    return critical(QStringLiteral("Hexファイルにエラーがありました"), kFileErrorTitle, detail);
}
Message hexFileNotFound() { return critical(QStringLiteral("ファイルが見つかりません"), kFileErrorTitle); }
Message writeFailed(const QString &detail)
{
    return critical(QStringLiteral("書き込み中にエラーが発生しました"), kErrorTitle, detail);
}
Message fileProcessError(const QString &detail) { return critical(QStringLiteral("ファイル処理エラーです"), kErrorTitle, detail); }
Message writeDone() { return box(QStringLiteral("書込みが終了しました"), Icon::None, kProgramTitle); }
Message readFileError(const QString &detail) { return critical(QStringLiteral("ファイルエラーです"), kErrorTitle, detail); }
Message readIncomplete(const QString &detail)
{
    return critical(QStringLiteral("PICのプログラムを最後まで受信できませんでした。\r\n"
                                   "ファイルは出力していません。もう一度操作してください。"),
                    kErrorTitle, detail);
}
Message readDone() { return box(QStringLiteral("読取り終了しました"), Icon::None, kProgramTitle); }

QString writingAt(int wordAddress)
{
    return QStringLiteral("アドレス ") + numbertext::hexPadded(wordAddress, 4) + QStringLiteral(" 書込み中");
}
QString receivingAt(int wordAddress)
{
    return QStringLiteral("アドレス ") + numbertext::hexPadded(wordAddress, 4) + QStringLiteral(" 受信中");
}
QString stoppedAtLine(int line) { return QStringLiteral("HEXファイルの %1 行目で止まりました。").arg(line); }
QString writtenBefore(int wordAddress)
{
    return QStringLiteral("アドレス %1h の手前まで書込み済みです。").arg(hex(uint16_t(wordAddress), 4));
}
QString receivedWords(int received, int total) { return QStringLiteral("受信したワード数: %1 / %2").arg(received).arg(total); }

Message eepromPowerOff()
{
    return critical(QStringLiteral("PICマイコンボードの電源が入っていません。\r\n電源を入れて、もう一度クリックしてください。"),
                    kProgramTitle);
}
Message eepromCommFailed()
{
    return critical(QStringLiteral("ライタとの通信に失敗しました。\r\nケーブルの確認をしてから、もう一度クリックしてください。"),
                    kProgramTitle);
}
Message eepromEraseQuestion()
{
    Message m = box(QStringLiteral("EEP-ROMデータエリアを全消去しますか"), Icon::Question, kProgramTitle);
    m.buttons = Yes | No;
    m.defaultButton = Yes;
    return m;
}
Message entryPowerOff() { return critical(QStringLiteral("PICマイコンボードの電源が入っていません"), kProgramTitle); }
Message entryCommFailedFirst()
{
    return critical(QStringLiteral("ライタとの通信に失敗しました\r\nケーブルの確認をして、もう一度クリックしてください。"),
                    kProgramTitle);
}
Message entryCommFailed()
{
    return critical(QStringLiteral("ライタとの通信に失敗しました。\r\nケーブルの確認をして、もう一度クリックしてください。"),
                    kProgramTitle);
}
Message entryProblem(const QString &text) { return box(text, Icon::None, kProgramTitle); }

Message dataFilePowerOff() { return critical(QStringLiteral("PICマイコンボードの電源が入っていません。") + kAgain, kErrorTitle); }
Message dataFileCommFailed(const QString &detail)
{
    return critical(QStringLiteral("ライタとの通信に失敗しました。") + kAgain, kErrorTitle, detail);
}
Message dataFileMissing()
{
    return critical(QStringLiteral("指定したファイルが存在しないので書込みができません。") + kAgain, QStringLiteral("Veltraライタ"));
}
Message dataFileUnreadable(const QString &detail)
{
    return critical(QStringLiteral("データファイルを読み込めないので書込みができません。") + kAgain, kErrorTitle, detail);
}
Message dataFileDone() { return box(QStringLiteral("書込みが終了しました"), Icon::None, kProgramTitle); }
QString dataFileStoppedAt(int address, int total)
{
    return QStringLiteral("アドレス %1h で止まりました（書込み済み %2 / %3 バイト）。").arg(hex(address, 2)).arg(address).arg(total);
}
QString byteUnconfirmed(int address)
{
    return QStringLiteral("%1h のバイトは送りましたが書込みの確認が取れず、書込まれたかどうか分かりません。").arg(hex(address, 2));
}
QString eraseUnconfirmed()
{
    return QStringLiteral("全消去の確認が取れず、消去されたかどうか分かりません。もう一度全消去してください。");
}

Message confRegPowerOff()
{
    return critical(QStringLiteral("PICマイコンボードの電源が入っていません。\r\n電源を入れてからもう一度クリックしてください。"),
                    kErrorTitle);
}
Message confRegCommFailed()
{
    return critical(QStringLiteral("ライタとの通信に失敗しました。\r\nケーブルの確認をしてからもう一度クリックしてください。"),
                    kErrorTitle);
}

Message hexOutsideProgramMemory(const QStringList &lines)
{
    // A file with hundreds of such records still gives a box that fits the screen.
    constexpr int kShown = 8;
    QStringList shown = lines.mid(0, kShown);
    if (lines.size() > kShown) shown << QStringLiteral("ほかに %1 行あります。").arg(lines.size() - kShown);
    return critical(QStringLiteral("HEXファイルに、PICにメモリのないアドレス（0400h〜1FFFh）のワードがあります。\r\n"
                                   "このファイルは書込みも照合もできません。ライタには何も送っていません。"),
                    kFileErrorTitle, shown.join(QLatin1Char('\n')));
}
QString outsideProgramMemoryLine(int line, int firstWord, int lastWord)
{
    const QString first = hex(firstWord, 4) + QLatin1Char('h');
    if (lastWord <= firstWord) return QStringLiteral("%1 行目: アドレス %2").arg(line).arg(first);
    return QStringLiteral("%1 行目: アドレス %2〜%3h").arg(line).arg(first, hex(lastWord, 4));
}
QString idEepromNotWritten() { return QStringLiteral("ID / データEEPROM のレコードは書込んでいません"); }
QString saveFailed(const QString &path, const QString &systemText)
{
    return systemtext::after(QStringLiteral("%1 に保存できませんでした。").arg(path), systemText);
}
QString portLostDetail(const QString &device, const QString &systemText)
{
    return systemtext::after(QStringLiteral("ポート: %1").arg(device), systemText);
}

Message programMemoryNothing()
{
    return box(QStringLiteral("表示するプログラムがありません。\r\n"
                              "HEXファイルを指定するか、プログラムRead または Verify でPICを読出してください。"),
               Icon::Information, kMainCaption);
}
Message programMemoryNoAddress(const QString &text)
{
    return box(QStringLiteral("アドレス「%1」は表示していません。\r\n"
                              "0000h〜03FFh、2000h〜2007h の16進数で指定してください。").arg(text),
               Icon::Exclamation, kMainCaption);
}

}  // namespace messages

// ==== the comparison of the PIC with a file ========================================================

#include <QStringList>

namespace messages {

namespace {

using numbertext::hexWord;

// What a comparison covered, as "プログラムメモリ 24 ワード、コンフィグレーションワード".
QString comparedParts(int programWords, bool configWord, int eepromBytes)
{
    QStringList parts;
    if (programWords > 0) parts << QStringLiteral("プログラムメモリ %1 ワード").arg(programWords);
    if (configWord) parts << QStringLiteral("コンフィグレーションワード");
    if (eepromBytes > 0) parts << QStringLiteral("データEEPROM %1 バイト").arg(eepromBytes);
    return parts.join(QStringLiteral("、"));
}

}  // namespace

QString verifyMatched(int programWords, bool configWord, int eepromBytes)
{
    return QStringLiteral("照合しました。ファイルと一致しています（%1）。").arg(comparedParts(programWords, configWord, eepromBytes));
}

Message verifyPassed(int programWords, bool configWord, int eepromBytes)
{
    return box(QStringLiteral("PICの内容はHEXファイルと一致しています（%1）。").arg(comparedParts(programWords, configWord, eepromBytes)),
               Icon::None, kProgramTitle);
}

QString verifyDiffered(int programWords, int programCompared, int configWords, int eepromBytes, int eepromCompared)
{
    QStringList parts;
    if (programWords > 0) parts << QStringLiteral("プログラムメモリ %1 / %2 ワード").arg(programWords).arg(programCompared);
    if (configWords > 0) parts << QStringLiteral("コンフィグレーションワード");
    if (eepromBytes > 0) parts << QStringLiteral("データEEPROM %1 / %2 バイト").arg(eepromBytes).arg(eepromCompared);
    return QStringLiteral("ファイルと一致しません: %1が違います。").arg(parts.join(QStringLiteral("、")));
}

QString verifyBits(int oneToZero, int zeroToOne)
{
    return QStringLiteral("違うビット（ファイル→PIC）: 1→0 が %1 ビット、0→1 が %2 ビット")
        .arg(oneToZero)
        .arg(zeroToOne);
}

QString verifyEepromBits(int oneToZero, int zeroToOne)
{
    return QStringLiteral("データEEPROM の違うビット（ファイル→PIC）: 1→0 が %1 ビット、0→1 が %2 ビット")
        .arg(oneToZero)
        .arg(zeroToOne);
}

const QString kEraseCommandInWindow = QStringLiteral("「Erase」ボタン（メニューの「プログラムErase」）で");

QString verifyEraseFirst(const QString &eraseCommand)
{
    return QStringLiteral("違いはどれも、ファイルが 1 で PIC が 0 のビット（書込みでは 1 にできないビット）です。"
                          "消去してから書込みましたか？ %1消去してから、もう一度書込んでください。").arg(eraseCommand);
}

QString verifyProgramProtected()
{
    return QStringLiteral("コードプロテクトが有効なので、プログラムメモリは照合できません"
                          "（保護された PIC からは書込んだ内容を読出せません）。");
}

QString mismatchLine(int space, int address, int expected, int actual)
{
    // The columns line up in a fixed-pitch font, where a Japanese character takes two places:
    // the list is shown in one, and saved as text.
    const int digits = space == 0 ? 4 : 2;
    const QString label = space == 1 ? QStringLiteral("コンフィグ") : space == 2 ? QStringLiteral("EEPROM    ") : QStringLiteral("プログラム");
    const QString at = (space == 2 ? hex(address, 2) : hexWord(address)) + QLatin1Char('h');
    const QString pic = actual < 0 ? QStringLiteral("--") : hex(actual, digits);
    const QString line = QStringLiteral("%1  %2  ファイル %3  PIC %4")
                             .arg(label, at.rightJustified(5), hex(expected, digits).rightJustified(4), pic.rightJustified(4));
    return space == 1 ? line + QStringLiteral("  （ビット0〜4）") : line;
}

}  // namespace messages
