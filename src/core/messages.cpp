// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/messages.h"

#include "core/formats/numbertext.h"
#include "core/systemtext.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdint>

namespace messages {

QString Text::toString() const { return QCoreApplication::translate("messages", source); }
QString operator+(const Text &a, const QString &b) { return a.toString() + b; }
QString operator+(const QString &a, const Text &b) { return a + b.toString(); }
bool operator==(const QString &a, const Text &b) { return a == b.toString(); }

const Text kProgramTitle{QT_TRANSLATE_NOOP("messages", "VELTRA2オンボードライタ")};
const Text kMainCaption{QT_TRANSLATE_NOOP("messages", "VELTRA2オンボードプログラムライタ")};
const Text kErrorTitle{QT_TRANSLATE_NOOP("messages", "エラーが発生しました")};
const Text kFileErrorTitle{QT_TRANSLATE_NOOP("messages", "ファイルエラー")};
const Text kTimeoutTitle{QT_TRANSLATE_NOOP("messages", "タイムアウトエラー")};

const Text kCommErrorStatus{QT_TRANSLATE_NOOP("messages", "通信ポートエラーです")};
const Text kSetUpCommStatus{QT_TRANSLATE_NOOP("messages", "通信設定をしてください")};
const Text kLinkCheckProgress{QT_TRANSLATE_NOOP("messages", "VELTRA2オンボードプログラムライタと通信中...")};
const Text kOperationBusy{QT_TRANSLATE_NOOP("messages", "ＰＩＣマイコンボードと通信中...")};
const Text kExporting{QT_TRANSLATE_NOOP("messages", "ファイル出力中")};
const Text kStoppedAtConfig{
    QT_TRANSLATE_NOOP("messages", "プログラムメモリは書込み済みです。コンフィグレーションワードの書込みで止まりました。")};
const Text kEepromBusy{QT_TRANSLATE_NOOP("messages", "PICマイコンボードと通信中")};
const Text kEepromWriting{QT_TRANSLATE_NOOP("messages", "書込み中")};

namespace {

struct Tr {
    Q_DECLARE_TR_FUNCTIONS(messages)
};

const Text kAgain{QT_TRANSLATE_NOOP("messages", "\r\nもう一度操作してください。")};

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
    return box(Tr::tr("ほかの画面がライタと通信中です。\r\n通信が終わってからもう一度操作してください。"),
               Icon::Exclamation, kProgramTitle);
}

Message alreadyRunning()
{
    return critical(Tr::tr("すでにVELTRA2オンボードプログラムライタが実行されています"), kMainCaption);
}

Message launchFileMissing() { return critical(Tr::tr("指定ファイルを呼出しません。"), kProgramTitle); }
Message launchArgumentWrong() { return critical(Tr::tr("引数の指定が違います"), kProgramTitle); }

Message commPortError(const QString &title, const QString &detail) { return critical(kCommErrorStatus, title, detail); }

Message writerSilent()
{
    return critical(Tr::tr("ライタの反応がありません。\r\n電源およびケーブルの接続を確認し、通信設定をもう一度クリックしてください。"),
                    kErrorTitle);
}

Message portLost(const QString &detail)
{
    return critical(Tr::tr("通信ポートが使えなくなりました。\r\nケーブルの接続を確認し、通信設定をもう一度クリックしてください。"),
                    kErrorTitle, detail);
}

Message noHexFileChosen() { return critical(Tr::tr("参照をクリックしてHEXファイルを指定してください"), kMainCaption); }

Message hexFileMissing()
{
    return critical(Tr::tr("HEXファイルが存在しません。参照をクリックしてファイルを指定をしてください"), kMainCaption);
}

Message editorFileMissing() { return critical(Tr::tr("ファイルが存在しません"), kMainCaption); }
Message editorFailed() { return critical(Tr::tr("テキストエディタを起動できませんでした。"), kMainCaption); }
QString noEditorSet()
{
    return Tr::tr("環境変数 VISUAL も EDITOR も設定されておらず、デスクトップの既定のアプリケーションでも開けませんでした。");
}
QString editorDidNotStart(const QString &variable, const QString &command)
{
    return Tr::tr("環境変数 %1 のエディタ「%2」を起動できませんでした。").arg(variable, command);
}

Message manualMissing(const QString &expectedPath)
{
    return box(Tr::tr("マニュアルが見つかりません。\r\nマニュアルは次の場所にインストールされているはずです:\r\n") + expectedPath,
               Icon::Exclamation, kProgramTitle);
}
Message browserFailed(const QString &page)
{
    return box(Tr::tr("ブラウザを起動できませんでした。\r\nヘルプのウィンドウで読むか、ブラウザで次のページを開いてください:\r\n") + page,
               Icon::Exclamation, kProgramTitle);
}

Message slowAdapter(int ms, const QString &device)
{
    return box(Tr::tr("USBシリアル変換器の遅延タイマが %1 ms に設定されています。\r\n"
                      "このままでは書込みや読出しに何倍もの時間がかかります。\r\n"
                      "遅延タイマを 1 ms にする方法は、マニュアルの「トラブルシューティング」を見てください。")
                   .arg(ms),
               Icon::Information, kProgramTitle, device);
}

QString writeQuestion(const QString &path)
{
    return Tr::tr("PICにプログラムを書込んでよろしいですか？ ") + QStringLiteral("\r\n") + path;
}
QString eraseQuestion() { return Tr::tr("プログラムメモリを全消去しますか"); }
QString readQuestion() { return Tr::tr("PICのプログラムを読出しますか"); }
QString verifyQuestion(const QString &path)
{
    return Tr::tr("PICのプログラムをHEXファイルと照合しますか") + QStringLiteral("\r\n") + path;
}
Message verifyProtected()
{
    return box(Tr::tr("コードプロテクトがONのため、プログラムメモリを照合できません。\r\n"
                      "照合するには、コードプロテクトをOFFにして書込み直してください。"),
               Icon::Exclamation, kProgramTitle);
}
Message verifyFileStops(const QString &detail)
{
    return critical(Tr::tr("Hexファイルにエラーがありました"), kFileErrorTitle, detail);
}
QString verifyListHeading(const QString &path, int differences)
{
    return Tr::tr("%1 とPICの内容が %2 か所で異なります。").arg(path).arg(differences);
}

Message operationTimeout()
{
    return critical(Tr::tr("ライタまたはPICマイコンボードの反応がありません。\r\nもう一度操作してください。"), kTimeoutTitle);
}

Message programPowerOff() { return critical(Tr::tr("PICマイコンボードの電源は投入されていますか？"), kErrorTitle); }
Message programWriterError() { return critical(Tr::tr("ライタにエラーが発生しました。"), kErrorTitle); }
Message programEraseWriterError(const QString &detail)
{
    return critical(Tr::tr("ライタにエラーが発生しました"), kErrorTitle, detail);
}
Message programErased() { return box(Tr::tr("全消去しました"), Icon::Information, kProgramTitle); }
Message hexFileError() { return critical(Tr::tr("Hexファイルにエラーがありました"), kErrorTitle); }
Message hexFileStopped(const QString &detail)
{
    return critical(Tr::tr("Hexファイルにエラーがありました"), kFileErrorTitle, detail);
}
Message hexFileNotFound() { return critical(Tr::tr("ファイルが見つかりません"), kFileErrorTitle); }
Message writeFailed(const QString &detail)
{
    return critical(Tr::tr("書き込み中にエラーが発生しました"), kErrorTitle, detail);
}
Message fileProcessError(const QString &detail) { return critical(Tr::tr("ファイル処理エラーです"), kErrorTitle, detail); }
Message writeDone() { return box(Tr::tr("書込みが終了しました"), Icon::None, kProgramTitle); }
Message readFileError(const QString &detail) { return critical(Tr::tr("ファイルエラーです"), kErrorTitle, detail); }
Message readIncomplete(const QString &detail)
{
    return critical(Tr::tr("PICのプログラムを最後まで受信できませんでした。\r\n"
                           "ファイルは出力していません。もう一度操作してください。"),
                    kErrorTitle, detail);
}
Message readDone() { return box(Tr::tr("読取り終了しました"), Icon::None, kProgramTitle); }

QString writingAt(int wordAddress)
{
    return Tr::tr("アドレス %1 書込み中").arg(numbertext::hexPadded(wordAddress, 4));
}
QString receivingAt(int wordAddress)
{
    return Tr::tr("アドレス %1 受信中").arg(numbertext::hexPadded(wordAddress, 4));
}
QString stoppedAtLine(int line) { return Tr::tr("HEXファイルの %1 行目で止まりました。").arg(line); }
QString writtenBefore(int wordAddress)
{
    return Tr::tr("アドレス %1h の手前まで書込み済みです。").arg(hex(uint16_t(wordAddress), 4));
}
QString receivedWords(int received, int total) { return Tr::tr("受信したワード数: %1 / %2").arg(received).arg(total); }

Message eepromPowerOff()
{
    return critical(Tr::tr("PICマイコンボードの電源が入っていません。\r\n電源を入れて、もう一度クリックしてください。"),
                    kProgramTitle);
}
Message eepromCommFailed()
{
    return critical(Tr::tr("ライタとの通信に失敗しました。\r\nケーブルの確認をしてから、もう一度クリックしてください。"),
                    kProgramTitle);
}
Message eepromEraseQuestion()
{
    Message m = box(Tr::tr("EEP-ROMデータエリアを全消去しますか"), Icon::Question, kProgramTitle);
    m.buttons = Yes | No;
    m.defaultButton = Yes;
    return m;
}
Message entryPowerOff() { return critical(Tr::tr("PICマイコンボードの電源が入っていません"), kProgramTitle); }
Message entryCommFailedFirst()
{
    return critical(Tr::tr("ライタとの通信に失敗しました\r\nケーブルの確認をして、もう一度クリックしてください。"),
                    kProgramTitle);
}
Message entryCommFailed()
{
    return critical(Tr::tr("ライタとの通信に失敗しました。\r\nケーブルの確認をして、もう一度クリックしてください。"),
                    kProgramTitle);
}
Message entryProblem(const QString &text) { return box(text, Icon::None, kProgramTitle); }

Message dataFilePowerOff() { return critical(Tr::tr("PICマイコンボードの電源が入っていません。") + kAgain, kErrorTitle); }
Message dataFileCommFailed(const QString &detail)
{
    return critical(Tr::tr("ライタとの通信に失敗しました。") + kAgain, kErrorTitle, detail);
}
Message dataFileMissing()
{
    return critical(Tr::tr("指定したファイルが存在しないので書込みができません。") + kAgain, Tr::tr("Veltraライタ"));
}
Message dataFileUnreadable(const QString &detail)
{
    return critical(Tr::tr("データファイルを読み込めないので書込みができません。") + kAgain, kErrorTitle, detail);
}
Message dataFileDone() { return box(Tr::tr("書込みが終了しました"), Icon::None, kProgramTitle); }
QString dataFileStoppedAt(int address, int total)
{
    return Tr::tr("アドレス %1h で止まりました（書込み済み %2 / %3 バイト）。").arg(hex(address, 2)).arg(address).arg(total);
}
QString byteUnconfirmed(int address)
{
    return Tr::tr("%1h のバイトは送りましたが書込みの確認が取れず、書込まれたかどうか分かりません。").arg(hex(address, 2));
}
QString eraseUnconfirmed()
{
    return Tr::tr("全消去の確認が取れず、消去されたかどうか分かりません。もう一度全消去してください。");
}

Message confRegPowerOff()
{
    return critical(Tr::tr("PICマイコンボードの電源が入っていません。\r\n電源を入れてからもう一度クリックしてください。"),
                    kErrorTitle);
}
Message confRegCommFailed()
{
    return critical(Tr::tr("ライタとの通信に失敗しました。\r\nケーブルの確認をしてからもう一度クリックしてください。"),
                    kErrorTitle);
}

Message hexOutsideProgramMemory(const QStringList &lines)
{
    // A file with hundreds of such records still gives a box that fits the screen.
    constexpr int kShown = 8;
    QStringList shown = lines.mid(0, kShown);
    if (lines.size() > kShown) shown << Tr::tr("ほかに %1 行あります。").arg(lines.size() - kShown);
    return critical(Tr::tr("HEXファイルに、PICにメモリのないアドレス（0400h〜1FFFh）のワードがあります。\r\n"
                           "このファイルは書込みも照合もできません。ライタには何も送っていません。"),
                    kFileErrorTitle, shown.join(QLatin1Char('\n')));
}
QString outsideProgramMemoryLine(int line, int firstWord, int lastWord)
{
    const QString first = hex(firstWord, 4) + QLatin1Char('h');
    if (lastWord <= firstWord) return Tr::tr("%1 行目: アドレス %2").arg(line).arg(first);
    return Tr::tr("%1 行目: アドレス %2〜%3h").arg(line).arg(first, hex(lastWord, 4));
}
QString idEepromNotWritten() { return Tr::tr("ID / データEEPROM のレコードは書込んでいません"); }
QString saveFailed(const QString &path, const QString &systemText)
{
    return systemtext::after(Tr::tr("%1 に保存できませんでした。").arg(path), systemText);
}
QString portLostDetail(const QString &device, const QString &systemText)
{
    return systemtext::after(Tr::tr("ポート: %1").arg(device), systemText);
}

Message programMemoryNothing()
{
    return box(Tr::tr("表示するプログラムがありません。\r\n"
                      "HEXファイルを指定するか、プログラムRead または Verify でPICを読出してください。"),
               Icon::Information, kMainCaption);
}
Message programMemoryNoAddress(const QString &text)
{
    return box(Tr::tr("アドレス「%1」は表示していません。\r\n"
                      "0000h〜03FFh、2000h〜2007h の16進数で指定してください。").arg(text),
               Icon::Exclamation, kMainCaption);
}

}  // namespace messages

// ==== the comparison of the PIC with a file ========================================================

#include <QStringList>

namespace messages {

namespace {

using numbertext::hexWord;

// The places a text takes in a fixed-pitch font: two for a wide (CJK, full-width) character.
int places(const QString &text)
{
    int n = 0;
    for (const QChar c : text) {
        const ushort u = c.unicode();
        const bool wide = (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF) || (u >= 0xAC00 && u <= 0xD7A3)
            || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60)
            || (u >= 0xFFE0 && u <= 0xFFE6);
        n += wide ? 2 : 1;
    }
    return n;
}

// The widest label, "プログラム", in places.
constexpr int kLabelPlaces = 10;

// What a comparison covered, as "プログラムメモリ 24 ワード、コンフィグレーションワード".
QString comparedParts(int programWords, bool configWord, int eepromBytes)
{
    QStringList parts;
    if (programWords > 0) parts << Tr::tr("プログラムメモリ %1 ワード").arg(programWords);
    if (configWord) parts << Tr::tr("コンフィグレーションワード");
    if (eepromBytes > 0) parts << Tr::tr("データEEPROM %1 バイト").arg(eepromBytes);
    return parts.join(Tr::tr("、"));
}

}  // namespace

QString verifyMatched(int programWords, bool configWord, int eepromBytes)
{
    return Tr::tr("照合しました。ファイルと一致しています（%1）。").arg(comparedParts(programWords, configWord, eepromBytes));
}

Message verifyPassed(int programWords, bool configWord, int eepromBytes)
{
    return box(Tr::tr("PICの内容はHEXファイルと一致しています（%1）。").arg(comparedParts(programWords, configWord, eepromBytes)),
               Icon::None, kProgramTitle);
}

QString verifyDiffered(int programWords, int programCompared, int configWords, int eepromBytes, int eepromCompared)
{
    QStringList parts;
    if (programWords > 0) parts << Tr::tr("プログラムメモリ %1 / %2 ワード").arg(programWords).arg(programCompared);
    if (configWords > 0) parts << Tr::tr("コンフィグレーションワード");
    if (eepromBytes > 0) parts << Tr::tr("データEEPROM %1 / %2 バイト").arg(eepromBytes).arg(eepromCompared);
    return Tr::tr("ファイルと一致しません: %1が違います。").arg(parts.join(Tr::tr("、")));
}

QString verifyBits(int oneToZero, int zeroToOne)
{
    return Tr::tr("違うビット（ファイル→PIC）: 1→0 が %1 ビット、0→1 が %2 ビット")
        .arg(oneToZero)
        .arg(zeroToOne);
}

QString verifyEepromBits(int oneToZero, int zeroToOne)
{
    return Tr::tr("データEEPROM の違うビット（ファイル→PIC）: 1→0 が %1 ビット、0→1 が %2 ビット")
        .arg(oneToZero)
        .arg(zeroToOne);
}

const Text kEraseCommandInWindow{QT_TRANSLATE_NOOP("messages", "「Erase」ボタン（メニューの「プログラムErase」）で")};

QString verifyEraseFirst(const QString &eraseCommand)
{
    return Tr::tr("違いはどれも、ファイルが 1 で PIC が 0 のビット（書込みでは 1 にできないビット）です。"
                  "消去してから書込みましたか？ %1消去してから、もう一度書込んでください。").arg(eraseCommand);
}

QString verifyProgramProtected()
{
    return Tr::tr("コードプロテクトが有効なので、プログラムメモリは照合できません"
                  "（保護された PIC からは書込んだ内容を読出せません）。");
}

QString mismatchLine(int space, int address, int expected, int actual)
{
    // The columns line up in a fixed-pitch font, where a Japanese character takes two places:
    // the list is shown in one, and saved as text.
    const int digits = space == 0 ? 4 : 2;
    QString label = space == 1 ? Tr::tr("コンフィグ") : space == 2 ? QStringLiteral("EEPROM") : Tr::tr("プログラム");
    label += QString(std::max(0, kLabelPlaces - places(label)), QLatin1Char(' '));
    const QString at = (space == 2 ? hex(address, 2) : hexWord(address)) + QLatin1Char('h');
    const QString pic = actual < 0 ? QStringLiteral("--") : hex(actual, digits);
    const QString line = Tr::tr("%1  %2  ファイル %3  PIC %4")
                             .arg(label, at.rightJustified(5), hex(expected, digits).rightJustified(4), pic.rightJustified(4));
    return space == 1 ? line + Tr::tr("  （ビット0〜4）") : line;
}

}  // namespace messages
