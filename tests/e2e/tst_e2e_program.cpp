// SPDX-License-Identifier: GPL-3.0-or-later
// Program write and read through the real windows against the simulated writer: the main
// window's commands, the operation dialog, the configuration word dialog and the save dialog.

#include "gui/windows.h"
#include "gui/windowtimer.h"
#include "gui/frmconfig.h"
#include "core/link/programmerlink.h"
#include "gui/frmreadwrite.h"
#include "gui/frmverify.h"
#include "support/harness.h"
#include "support/language.h"
#include "support/hexfiles.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QTest>

#include <optional>

namespace {

using hexfiles::kEnd;
using hexfiles::rec;
using hexfiles::words;

const QString kDone = QStringLiteral("書込みが終了しました");
const QString kReadDone = QStringLiteral("読取り終了しました");
const QString kTimeout = QStringLiteral("ライタまたはPICマイコンボードの反応がありません。\r\nもう一度操作してください。");
const QString kPowerOff = QStringLiteral("PICマイコンボードの電源は投入されていますか？");
const QString kFileError = QStringLiteral("ファイルエラーです");
const QString kConfigTitle = QStringLiteral("Configレジスタの設定");

// A modal action pressing the operation dialog's OK.
std::function<void(QDialog *)> pressOk(QString *caption = nullptr, QString *question = nullptr)
{
    return [caption, question](QDialog *d) {
        auto *rw = qobject_cast<frmReadWrite *>(d);
        QVERIFY(rw);
        if (caption) *caption = rw->OperationCaption();
        if (question) *question = rw->Label1->text();
        rw->cmdOK->click();
    };
}
// A modal action confirming the configuration dialog, noting what it showed.
std::function<void(QDialog *)> confirmConfig(QString *shown = nullptr)
{
    return [shown](QDialog *d) {
        auto *c = qobject_cast<frmConfig *>(d);
        QVERIFY(c);
        if (shown) {
            const char *osc[4] = {"RC", "LP", "XT", "HS"};
            const auto s = c->selection();
            *shown = QStringLiteral("%1/%2/%3/%4")
                         .arg(QLatin1String(osc[s.oscillator]), s.watchdog ? "OFF" : "ON", s.powerUp ? "OFF" : "ON",
                              s.codeProtect ? "OFF" : "ON");
        }
        c->Command1->click();
    };
}

// The file a complete read of an erased PIC gives, built here line by line.
QByteArray erasedFile()
{
    QByteArray out;
    for (int a = 0; a < 0x800; a += 0x10) {
        const int sum = 0x10 + (a >> 8) + (a & 0xFF) + 8 * (0xFF + 0x3F);
        out += ":10" + QByteArray::number(a, 16).toUpper().rightJustified(4, '0') + "00" + QByteArray("FF3F").repeated(8)
               + QByteArray::number((256 - (sum & 0xFF)) & 0xFF, 16).toUpper().rightJustified(2, '0') + "\r\n";
    }
    out += ":10400000" + QByteArray("FF3F").repeated(8) + "C0\r\n";
    out += ":00000001FF\r\n";
    return out;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs the Read command with OK pressed and the save dialog answered.
void runRead(Harness &h, const std::optional<QString> &answer)
{
    h.modalActions.push_back(pressOk());
    h.fileAnswers.push_back(answer);
    h.form->ReadCommand_Click();
}

// Runs the Write command for `path` with OK pressed and the configuration dialog confirmed.
void runWrite(Harness &h, const QString &path, QString *shown = nullptr)
{
    h.form->HexFileName->setText(path);
    h.modalActions.push_back(pressOk());
    h.modalActions.push_back(confirmConfig(shown));
    h.form->WriteCommand_Click();
}

}  // namespace

class TestProgram : public QObject {
    Q_OBJECT
private:
    QString startDir;

private slots:
    void initTestCase() { startDir = QDir::currentPath(); }
    void cleanup() { QDir::setCurrent(startDir); }

    void commandsAreEnabled()
    {
        Harness h;
        FormMain *f = h.start();
        QVERIFY(f->WriteCommand->isEnabled() && f->ReadCommand->isEnabled());
        QVERIFY(f->menu_memory_w->isEnabled() && f->menu_memory_r->isEnabled());
    }

    void hexPathOnTheCommandLineIsWrittenAndTheProgramEnds()
    {
        Harness h;
        const QVector<int> program{0x2805, 0x1683, 0x3000, 0x0085, 0x0000, 0x3FFF, 0x2806};
        const QString path = h.writeFile(QStringLiteral("prog.HEX"), rec(0, words(program)) + rec(0x40, words({0x0123, 0x0456}))
                                                                         + rec(0x400E, words({0x3FF1})) + kEnd);
        const QByteArray iniBefore = h.readIni();
        QString caption, question, shown;
        h.modalActions.push_back(pressOk(&caption, &question));
        h.modalActions.push_back(confirmConfig(&shown));
        h.start({path});
        QVERIFY(h.ended());
        QCOMPARE(h.modalTitles, (QStringList{QStringLiteral("VELTRA2   Write"), kConfigTitle}));
        QCOMPARE(caption, QStringLiteral("VELTRA2   Write"));
        QCOMPARE(question, QStringLiteral("PICにプログラムを書込んでよろしいですか？ \r\n") + path);
        QCOMPARE(shown, QStringLiteral("XT/OFF/ON/OFF"));  // 3FF1h from the file
        QCOMPARE(h.messageTexts(), QStringList{kDone});
        QCOMPARE(h.messages[0].detail, QString());  // the configuration word is written: nothing left out
        auto &pic = h.sim.writer();
        for (int i = 0; i < program.size(); ++i) QCOMPARE(int(pic.program[i]), program[i]);
        QCOMPARE(pic.program[7], uint16_t(0x3FFF));
        QCOMPARE(pic.program[0x20], uint16_t(0x0123));
        QCOMPARE(pic.program[0x21], uint16_t(0x0456));
        QCOMPARE(pic.configWord(), uint16_t(0x11));
        QCOMPARE(settings::stored().ConfigWord, qint16(0x11));
        const QByteArray host = h.hostBytes();
        // The link check, the dialog's "C", "W", words 0-6 as "D" and their two 7-bit groups, a
        // skip of 25 words, words 20h and 21h, then the configuration word's low group.
        QCOMPARE(host, QByteArray("SSC" "C" "W"
                                  "D\xD0\x85" "D\xAD\x83" "D\xE0\x80" "D\x81\x85" "D\x80\x80" "D\xFF\xFF" "D\xD0\x86"
                                  "I\x99" "D\x82\xA3" "D\x88\xD6"
                                  "G\x80\x91" "E"));
        QCOMPARE(h.readIni(), iniBefore);
        QVERIFY(!FrmReadWrite()->isVisible());
    }

    // Words at 400h..1FFFh have no place in the PIC: the file is refused before anything is
    // sent, naming each line and its addresses, and a start with the file ends after the box.
    void wordsWithoutMemoryAreRefused_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("write") << "write";
        QTest::newRow("verify") << "verify";
        QTest::newRow("file on the command line") << "start";
    }
    void wordsWithoutMemoryAreRefused()
    {
        QFETCH(QString, how);
        Harness h;
        // Line 2 runs from 3FEh over the end of program memory; line 3 is the last word before 2000h.
        const QString path = h.writeFile(QStringLiteral("beyond.hex"), rec(0, words({0x2805, 0x0123})) + rec(0x7FC, words({5, 6, 7, 8}))
                                                                          + rec(0x3FFE, words({9})) + rec(0x400E, words({0x3FF1})) + kEnd);
        h.modalActions.push_back(pressOk());
        if (how == QLatin1String("start")) {
            h.start({path});
            QVERIFY(h.ended());
            QCOMPARE(h.hostBytes(), QByteArray("SSC"));  // the link check alone
        } else {
            h.startQuiet();
            h.clearWire();
            h.form->HexFileName->setText(path);
            if (how == QLatin1String("write")) h.form->WriteCommand_Click();
            else h.form->StartProgramVerify();
            QCOMPARE(h.hostBytes(), QByteArray());
            QVERIFY(!h.form->MSComm1->busy());
        }
        QCOMPARE(h.modalTitles.size(), 1);  // no configuration word dialog, no result window
        QCOMPARE(h.messages.size(), 1);
        QVERIFY2(h.messages[0].text.startsWith(QStringLiteral("HEXファイルに、PICにメモリのないアドレス（0400h〜1FFFh）のワードがあります。")),
                 qPrintable(h.messages[0].text));
        QCOMPARE(h.messages[0].icon, gui::Icon::Critical);
        QCOMPARE(h.messages[0].title, QStringLiteral("ファイルエラー"));
        QCOMPARE(h.messages[0].detail, QStringLiteral("2 行目: アドレス 0400h〜0401h\n3 行目: アドレス 1FFFh"));
        QCOMPARE(h.sim.writer().program[0], uint16_t(0x3FFF));
        QVERIFY(!FrmReadWrite()->isVisible());
    }

    // Records at 2000h and above still end the write's data phase; the ID words and data EEPROM
    // they hold are named in the completion message as not written.
    // In English too: the dialogs' titles, the question and the messages.
    void idAndEepromRecordsAreToldAsNotWritten_data()
    {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QStringList>("shown");  // configuration dialog, question, box title, text, detail
        QTest::newRow("Japanese") << false
                                  << QStringList{kConfigTitle, QStringLiteral("PICにプログラムを書込んでよろしいですか？ \r\n"),
                                                 QStringLiteral("VELTRA2オンボードライタ"), kDone,
                                                 QStringLiteral("ID / データEEPROM のレコードは書込んでいません")};
        QTest::newRow("English") << true
                                 << QStringList{"Config Register Settings", "Write the program to the PIC? \r\n", "VELTRA2 On-board Writer",
                                                "Writing finished", "ID / data EEPROM records were not written"};
    }

    void idAndEepromRecordsAreToldAsNotWritten()
    {
        QFETCH(bool, english);
        QFETCH(QStringList, shown);
        std::optional<LanguageScope> language;
        if (english) QVERIFY(language.emplace(i18n::Language::English).installed());
        Harness h;
        h.startQuiet();
        QString question;
        const QString path = h.writeFile(QStringLiteral("id.hex"), rec(0, words({0x2805})) + rec(0x4000, words({1, 2, 3, 4}))
                                                                       + rec(0x400E, words({0x3FF1})) + rec(0x4200, words({0xA5})) + kEnd);
        h.form->HexFileName->setText(path);
        h.modalActions.push_back(pressOk(nullptr, &question));
        h.modalActions.push_back(confirmConfig());
        h.form->WriteCommand->click();
        QCOMPARE(h.modalTitles, (QStringList{QStringLiteral("VELTRA2   Write"), shown[0]}));
        QCOMPARE(question, shown[1] + path);
        QCOMPARE(h.messages.size(), 1);
        QCOMPARE(h.messages[0].title, shown[2]);
        QCOMPARE(h.messages[0].text, shown[3]);
        QCOMPARE(h.messages[0].detail, shown[4]);
        auto &pic = h.sim.writer();
        QCOMPARE(pic.program[0], uint16_t(0x2805));
        QCOMPARE(pic.configWord(), uint16_t(0x11));
        QCOMPARE(pic.idConfig[0], uint16_t(0x3FFF));
        QCOMPARE(pic.eeprom[0], uint8_t(0xFF));
    }

    void configDialogClosedWritesNothing()
    {
        Harness h;
        FormMain *f = h.start();
        settings::stored().ConfigWord = 9;
        f->HexFileName->setText(h.writeFile(QStringLiteral("p.hex"), rec(0, words({1})) + rec(0x400E, words({0x3FF1})) + kEnd));
        h.clearWire();
        h.modalActions.push_back(pressOk());  // frmConfig gets no action: its close box
        f->WriteCommand_Click();
        QCOMPARE(h.unscriptedModals, 1);
        QCOMPARE(h.modalTitles.last(), kConfigTitle);
        QCOMPARE(h.hostBytes(), QByteArray("C"));
        QVERIFY(h.messages.isEmpty());
        QCOMPARE(settings::stored().ConfigWord, qint16(0x3FF1));  // taken from the file, kept
        QCOMPARE(h.sim.writer().program[0], uint16_t(0x3FFF));
        QVERIFY(!FrmReadWrite()->isVisible());
    }

    void badLineIsReportedByTheLookupAndByTheWrite()
    {
        Harness h;
        FormMain *f = h.start();
        h.clearWire();
        runWrite(h, h.writeFile(QStringLiteral("bad.hex"), rec(0, words({7})) + "0200020034120E\r\n" + kEnd));
        QCOMPARE(h.messageTexts(), (QStringList{QStringLiteral("Hexファイルにエラーがありました"),
                                                QStringLiteral("Hexファイルにエラーがありました")}));
        QCOMPARE(h.messages[0].title, QStringLiteral("エラーが発生しました"));
        QCOMPARE(h.messages[1].title, QStringLiteral("ファイルエラー"));
        QCOMPARE(h.hostBytes(), QByteArray("CW") + "D\x80\x87" + "E");
        QCOMPARE(h.sim.writer().program[0], uint16_t(7));
        Q_UNUSED(f);
    }

    void silentWriterDuringTheData()
    {
        Harness h;
        FormMain *f = h.start();
        FrmReadWrite()->Timer1->setInterval(300);
        h.clearWire();
        // Replies since now: "c", "w" to "W", "w" to "D", "w" to the word, then silence.
        h.sim.writer().setFault({sim::Fault::Silence, 4, {}, 0});
        QElapsedTimer t;
        t.start();
        runWrite(h, h.writeFile(QStringLiteral("p.hex"), rec(0, words({1, 2, 3})) + kEnd));
        QVERIFY(t.elapsed() < 3000);
        QCOMPARE(h.messageTexts(), (QStringList{kTimeout, QStringLiteral("書き込み中にエラーが発生しました")}));
        QCOMPARE(h.messages[0].title, QStringLiteral("タイムアウトエラー"));
        // The time-out sends "E","E","S"; the write then its own single "E".
        QCOMPARE(h.hostBytes(), QByteArray("CW") + "D\x80\x81" + "D" + "EES" + "E");
        QVERIFY(!FrmReadWrite()->isVisible());
        QVERIFY(!f->MSComm1->binaryMode());
    }

    void silentWriterAtG()
    {
        Harness h;
        h.start();
        FrmReadWrite()->Timer1->setInterval(300);
        h.clearWire();
        // "c", "w", "w", "w", then nothing for "G".
        h.sim.writer().setFault({sim::Fault::Silence, 4, {}, 0});
        QElapsedTimer t;
        t.start();
        runWrite(h, h.writeFile(QStringLiteral("p.hex"), rec(0, words({1})) + kEnd));
        QVERIFY(t.elapsed() < 3000);
        QCOMPARE(h.messageTexts(), (QStringList{kTimeout, QStringLiteral("書き込み中にエラーが発生しました")}));
        QCOMPARE(h.hostBytes(), QByteArray("CW") + "D\x80\x81" + "G" + "EES" + "E");
        QVERIFY(!FrmReadWrite()->isVisible());
    }

    void erasedPicExportsTheKnownFile()
    {
        Harness h;
        FormMain *f = h.start();
        QDir::setCurrent(h.dir.path());
        h.clearWire();
        const QString out = h.path(QStringLiteral("veltra.hex"));
        QString caption, question;
        h.modalActions.push_back(pressOk(&caption, &question));
        h.fileAnswers.push_back(out);
        f->ReadCommand_Click();
        QCOMPARE(caption, QStringLiteral("VELTRA2   Read"));
        QCOMPARE(question, QStringLiteral("PICのプログラムを読出しますか"));
        QCOMPARE(h.messageTexts(), QStringList{kReadDone});
        QCOMPARE(h.messages[0].title, QStringLiteral("VELTRA2オンボードライタ"));
        QCOMPARE(h.messages[0].icon, gui::Icon::None);
        QCOMPARE(readFile(out), erasedFile());
        QCOMPARE(h.fileRequests.size(), 1);
        const auto &r = h.fileRequests[0];
        QVERIFY(r.save);
        QCOMPARE(r.filter, QStringLiteral("Hexファイル(*.hex)|*.hex|すべてのファイル(*.*)|*.*"));
        QCOMPARE(r.defaultSuffix, QStringLiteral("hex"));
        QVERIFY(r.confirmOverwrite);
        QCOMPARE(r.presetName, QDir::currentPath() + QStringLiteral("/veltra.hex"));
        QCOMPARE(h.hostBytes(), QByteArray("CR"));
        QCOMPARE(FrmReadWrite()->Label1->text(), QStringLiteral("ファイル出力中"));
        QVERIFY(!f->MSComm1->binaryMode());
        QVERIFY(!FrmReadWrite()->isVisible());
    }

    void readAndWriteBackRoundTrip()
    {
        Harness h;
        FormMain *f = h.start();
        auto &pic = h.sim.writer();
        for (int i = 0; i < 1024; ++i) pic.program[size_t(i)] = uint16_t((i * 0x2F5 + 0x155) & 0x3FFF);
        for (int i = 0; i < 8; ++i) pic.idConfig[size_t(i)] = uint16_t(0x3F00 + i);
        pic.idConfig[7] = 0x3FF5;  // XT, watchdog ON, power-up timer ON, code protection OFF
        const auto program = pic.program;

        const QString out = h.writeFile(QStringLiteral("old.hex"), "old contents\r\n");
        runRead(h, out);  // replaces an existing file
        QCOMPARE(h.messageTexts(), QStringList{kReadDone});
        const QByteArray exported = readFile(out);
        QCOMPARE(exported.count('\n'), 130);
        // The file dialog's next preset is the name just saved to.
        h.fileAnswers.push_back(std::nullopt);
        f->FileNameRef_Click();
        QCOMPARE(h.fileRequests.last().presetName, out);

        pic.eraseAll();
        h.messages.clear();
        QString shown;
        runWrite(h, out, &shown);
        QCOMPARE(shown, QStringLiteral("XT/ON/ON/OFF"));
        QCOMPARE(h.messageTexts(), QStringList{kDone});
        QVERIFY(pic.program == program);
        QCOMPARE(pic.configWord() & 0x1F, 0x3FF5 & 0x1F);

        // Read once more: the program records are the first export's, byte for byte (the ID
        // words are not written back, so the record at 4000h differs).
        h.messages.clear();
        const QString again = h.path(QStringLiteral("again.hex"));
        runRead(h, again);
        QCOMPARE(readFile(again).left(128 * 45), exported.left(128 * 45));
    }

    void cancelledSaveWritesNothing()
    {
        Harness h;
        h.start();
        QDir::setCurrent(QStringLiteral("/"));  // the root: the name is appended directly
        h.clearWire();
        runRead(h, std::nullopt);
        QVERIFY(h.messages.isEmpty());
        QCOMPARE(h.fileRequests.size(), 1);
        QCOMPARE(h.fileRequests[0].presetName, QStringLiteral("/veltra.hex"));
        QCOMPARE(QDir(h.dir.path()).entryList(QStringList{QStringLiteral("*.hex")}, QDir::Files), QStringList{});
        QCOMPARE(h.hostBytes(), QByteArray("CR"));
        QVERIFY(!h.form->MSComm1->binaryMode());
    }

    void failedSaveIsReported()
    {
        Harness h;
        h.start();
        // The words read are kept: the message names the file and why, the dialog opens again
        // (here cancelled, as the harness answers a second dialog).
        const QString missing = h.path(QStringLiteral("no/such/folder/x.hex"));
        runRead(h, missing);
        QCOMPARE(h.messageTexts(), QStringList{kFileError});
        QCOMPARE(h.messages[0].title, QStringLiteral("エラーが発生しました"));
        QCOMPARE(h.messages[0].icon, gui::Icon::Critical);
        // The program's sentence, then the system's own text, marked as such.
        const QString said = missing + QStringLiteral(" に保存できませんでした。\nシステムのメッセージ: ");
        QVERIFY2(h.messages[0].detail.startsWith(said) && h.messages[0].detail.size() > said.size(), qPrintable(h.messages[0].detail));
        QCOMPARE(h.fileRequests.size(), 2);
        QCOMPARE(h.fileRequests[1].presetName, missing);
        // Chosen again, a good place takes the same read without another "R".
        h.messages.clear();
        h.clearWire();
        h.sim.writer().program[3] = 0x0ABC;
        const QString good = h.path(QStringLiteral("good.hex"));
        h.fileAnswers.push_back(missing);
        h.fileAnswers.push_back(good);
        h.modalActions.push_back(pressOk());
        h.form->ReadCommand_Click();
        QCOMPARE(h.messageTexts(), (QStringList{kFileError, kReadDone}));
        QCOMPARE(h.hostBytes(), QByteArray("CR"));
        QVERIFY(readFile(good).startsWith(rec(0, words({0x3FFF, 0x3FFF, 0x3FFF, 0x0ABC, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF}))));
        // A folder chosen in place of a file.
        h.messages.clear();
        QDir(h.dir.path()).mkdir(QStringLiteral("folder.hex"));
        runRead(h, h.path(QStringLiteral("folder.hex")));
        QCOMPARE(h.messageTexts(), QStringList{kFileError});
        QVERIFY(QFileInfo(h.path(QStringLiteral("folder.hex"))).isDir());
    }

    void byteWithoutBit7StopsTheReadAndNoFileIsWritten()
    {
        Harness h;
        h.start();
        h.clearWire();
        // Replies since now: "c", "r", then the data bytes; the 101st data byte lacks bit 7.
        h.sim.writer().setFault({sim::Fault::ClearBit7, 2 + 100, {}, 0});
        runRead(h, h.path(QStringLiteral("short.hex")));
        QVERIFY(h.fileRequests.isEmpty());
        QVERIFY(!QFile::exists(h.path(QStringLiteral("short.hex"))));
        QCOMPARE(h.messages.size(), 1);
        QCOMPARE(h.messages[0].text, QStringLiteral("PICのプログラムを最後まで受信できませんでした。\r\n"
                                                     "ファイルは出力していません。もう一度操作してください。"));
        QCOMPARE(h.messages[0].title, QStringLiteral("エラーが発生しました"));
        QCOMPARE(h.messages[0].icon, gui::Icon::Critical);
        QCOMPARE(h.messages[0].detail, QStringLiteral("受信したワード数: 50 / 1032"));
        QCOMPARE(FrmReadWrite()->Label1->text(), QStringLiteral("アドレス   32 受信中"));
        QVERIFY(!h.form->MSComm1->binaryMode());
        QCOMPARE(h.hostBytes(), QByteArray("CR"));
    }

    void boardUnpoweredOnRead()
    {
        Harness h;
        h.start();
        h.clearWire();
        h.sim.writer().boardPowered = false;
        runRead(h, h.path(QStringLiteral("x.hex")));
        QCOMPARE(h.messageTexts(), QStringList{kPowerOff});
        QCOMPARE(h.messages[0].title, QStringLiteral("エラーが発生しました"));
        QVERIFY(h.fileRequests.isEmpty());
        QCOMPARE(h.hostBytes(), QByteArray("CRS"));
    }

    void oddReplyToR()
    {
        Harness h;
        h.start();
        h.clearWire();
        h.sim.writer().setFault({sim::Fault::WrongReply, 1, "x", 0});
        runRead(h, h.path(QStringLiteral("x.hex")));
        QCOMPARE(h.messageTexts(), QStringList{QStringLiteral("ライタにエラーが発生しました。")});
        QVERIFY(h.fileRequests.isEmpty());
        QCOMPARE(h.hostBytes(), QByteArray("CRC"));
    }

    void silentWriterDuringTheRead()
    {
        Harness h;
        h.start();
        FrmReadWrite()->Timer1->setInterval(300);
        h.clearWire();
        h.sim.writer().setFault({sim::Fault::Silence, 2 + 51, {}, 0});  // stops inside word 25
        QElapsedTimer t;
        t.start();
        runRead(h, h.path(QStringLiteral("x.hex")));
        QVERIFY(t.elapsed() < 3000);
        QCOMPARE(h.messageTexts(), (QStringList{kTimeout, kFileError}));
        QVERIFY(h.fileRequests.isEmpty());
        QCOMPARE(h.hostBytes(), QByteArray("CREES"));
        QVERIFY(!h.form->MSComm1->binaryMode());
        QVERIFY(!FrmReadWrite()->isVisible());
    }

    // Verify compares the HEX file with a read: all equal, differences listed (every one,
    // copyable, saved as text), or code protection on, which cannot be verified.
    void verifyCommand_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("equal") << "equal";
        QTest::newRow("differing") << "differing";
        QTest::newRow("only bits a write cannot set") << "unerased";
        QTest::newRow("code protection on") << "protected";
    }
    void verifyCommand()
    {
        QFETCH(QString, kind);
        Harness h;
        FormMain *f = h.start();
        const int config = kind == QLatin1String("protected") ? 0x3FE1 : 0x3FF1;
        f->HexFileName->setText(h.writeFile(QStringLiteral("v.hex"), rec(0, words({0x2805, 0x0123, 0x3FFF, 0x0456}))
                                                                          + rec(0x400E, words({config})) + kEnd));
        auto &pic = h.sim.writer();
        pic.program[0] = 0x2805;
        pic.program[1] = 0x0123;
        pic.program[3] = 0x0456;
        pic.idConfig[7] = uint16_t(config & 0x1F);
        if (kind != QLatin1String("equal") && kind != QLatin1String("protected"))
            pic.program[1] = 0x0103;  // a bit the write could not set
        if (kind == QLatin1String("differing")) {
            pic.program[3] = 0x0457;
            pic.idConfig[7] = 0x15;  // the watchdog on
        }
        h.clearWire();
        QString caption, question, listed, summary;
        QFont listFont;
        h.modalActions.push_back(pressOk(&caption, &question));
        const QString saved = h.path(QStringLiteral("diff.txt"));
        h.modalActions.push_back([&](QDialog *d) {
            auto *v = qobject_cast<frmVerify *>(d);
            QVERIFY(v);
            listed = v->List->toPlainText();
            listFont = v->List->font();
            summary = v->Summary->text();
            h.fileAnswers.push_back(saved);
            v->cmdSave->click();
        });
        f->menu_memory_v->trigger();
        QCOMPARE(caption, QStringLiteral("VELTRA2   Verify"));
        QCOMPARE(question, QStringLiteral("PICのプログラムをHEXファイルと照合しますか\r\n") + f->HexFileName->text());
        QCOMPARE(h.hostBytes(), QByteArray("CR"));  // a read, nothing written
        QCOMPARE(pic.program[0], uint16_t(0x2805));
        if (kind == QLatin1String("equal")) {
            // One sentence, with what was compared.
            QCOMPARE(h.messageTexts(), QStringList{QStringLiteral("PICの内容はHEXファイルと一致しています（プログラムメモリ 4 ワード、コンフィグレーションワード）。")});
            QCOMPARE(h.messages[0].detail, QString());
            QCOMPARE(h.modalTitles.size(), 1);
        } else if (kind == QLatin1String("protected")) {
            QCOMPARE(h.messageTexts().size(), 1);
            QVERIFY(h.messageTexts()[0].startsWith(QStringLiteral("コードプロテクトがONのため")));
            QCOMPARE(h.modalTitles.size(), 1);
        } else {
            QVERIFY(h.messages.isEmpty());
            QCOMPARE(h.modalTitles, (QStringList{QStringLiteral("VELTRA2   Verify"), QStringLiteral("VELTRA2   Verify")}));
            const QStringList lines = listed.split(QLatin1Char('\n'));
            // The erase the summary suggests is this program's button, not a command word.
            const QString eraseHint = QStringLiteral("「Erase」ボタン（メニューの「プログラムErase」）で消去してから");
            QVERIFY(!summary.contains(QStringLiteral("erase で")));
            if (kind == QLatin1String("unerased")) {
                QCOMPARE(lines.size(), 1);
                QVERIFY2(summary.contains(eraseHint), qPrintable(summary));
                return;
            }
            QVERIFY(!summary.contains(eraseHint));
            QCOMPARE(lines.size(), 3);
            QVERIFY2(lines[0].contains(QStringLiteral("0001h")) && lines[0].contains(QStringLiteral("0123")) && lines[0].contains(QStringLiteral("0103")),
                     qPrintable(lines[0]));
            QVERIFY2(lines[1].contains(QStringLiteral("0003h")) && lines[1].contains(QStringLiteral("0457")), qPrintable(lines[1]));
            QVERIFY2(lines[2].contains(QStringLiteral("2007h")) && lines[2].contains(QStringLiteral("15")), qPrintable(lines[2]));
            QVERIFY(summary.contains(QStringLiteral(" 3 か所")));
            // Japanese labels and hexadecimal columns line up in the list's font.
            if (QFontDatabase::families(QFontDatabase::Japanese).isEmpty()) {
                qWarning("no Japanese font here: the columns' alignment is not checked");
            } else {
                const QFontMetrics fm(listFont);
                for (const QString &column : {QStringLiteral("ファイル"), QStringLiteral("PIC")})
                    QCOMPARE(fm.horizontalAdvance(lines[2].left(lines[2].indexOf(column))),
                             fm.horizontalAdvance(lines[0].left(lines[0].indexOf(column))));
            }
            const QString text = QString::fromUtf8(readFile(saved));
            QVERIFY(text.contains(lines[0]) && text.contains(lines[1]) && text.contains(summary));
        }
    }
};

QTEST_MAIN(TestProgram)
#include "tst_e2e_program.moc"
