// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/i18n.h"
#include "core/protocol/versionexchange.h"
#include "gui/formmain.h"
#include "gui/translations.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstdio>
#include <cstring>

namespace {

const char kHelp[] = QT_TRANSLATE_NOOP(
    "veltraw",
    "使い方: veltraw [FILE.hex | /F データファイル]\n"
    "\n"
    "VELTRA2オンボードプログラムライタで、PICマイコンへの書込み・読出し・照合を行うウィンドウ版のプログラムです。\n"
    "\n"
    "  （引数なし）        メインウィンドウを開く\n"
    "  FILE.hex            そのHEXファイルをプログラムメモリに書込んで終了する\n"
    "                      （書込みの確認とコンフィグレーションワードの確認は表示します）\n"
    "  /F データファイル   データファイルの64バイトをデータEEPROMに書込んで終了する（O K を1回クリック）\n"
    "  --help              この説明を表示する\n"
    "  --version           このプログラムのバージョンを表示する\n"
    "\n"
    "ウィンドウなしで操作するには veltraw-cli を使います。詳しくは man veltraw と、ヘルプメニューのマニュアルを見てください。\n");

// Answers --help and --version, which need no window; false for every other command line.
bool answerWithoutWindow(int argc, char **argv)
{
    if (argc != 2) return false;
    if (std::strcmp(argv[1], "--help") == 0) {
        // A translator needs an application object; one without windows needs no display.
        QCoreApplication app(argc, argv);
        i18n::install();
        std::fputs(QCoreApplication::translate("veltraw", kHelp).toUtf8().constData(), stdout);
        return true;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        const QByteArray line = "veltraw " + about::versionLine(about::kMajor, about::kMinor).toUtf8() + '\n';
        std::fputs(line.constData(), stdout);
        return true;
    }
    return false;
}

}  // namespace

int main(int argc, char **argv)
{
    // Before QApplication: no display is needed to ask.
    if (answerWithoutWindow(argc, argv)) return std::fflush(stdout) == 0 ? 0 : 1;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("veltraw"));
    QApplication::setQuitOnLastWindowClosed(false);  // the main window's closing ends the program
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.veltraw.veltraw"));
    InstallQtTranslations();
    FormMain form;
    QStringList args = QApplication::arguments();
    args.removeFirst();
    form.Form_Load(args);
    return app.exec();
}
