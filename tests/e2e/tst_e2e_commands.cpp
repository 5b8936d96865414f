// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's commands and the operation dialog, against the simulated writer.

#include "core/i18n.h"
#include "gui/windows.h"
#include "gui/windowtimer.h"
#include "gui/forminitcomm.h"
#include "gui/frmabout.h"
#include "gui/frmconfig.h"
#include "gui/frmconfreg.h"
#include "gui/frmeeprom.h"
#include "gui/frminput.h"
#include "core/link/programmerlink.h"
#include "gui/frmreadwrite.h"
#include "gui/manualviewer.h"
#include "support/harness.h"
#include "support/language.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QMimeData>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTest>
#include <QUrl>

#include <optional>

namespace {
const QString kTimeout = QStringLiteral("ライタまたはPICマイコンボードの反応がありません。\r\nもう一度操作してください。");

void clickOk(QDialog *d)
{
    auto *rw = qobject_cast<frmReadWrite *>(d);
    QVERIFY(rw);
    QVERIFY(rw->cmdOK->isEnabled());
    rw->cmdOK->click();
}

// Every picture of the page the viewer shows is found beside it: empty, or what is wrong.
QString picturesProblem(ManualViewer *v)
{
    QFile html(v->Browser->source().toLocalFile());
    if (!html.open(QIODevice::ReadOnly)) return QStringLiteral("cannot read ") + html.fileName();
    const int expected = int(html.readAll().count("<img "));
    int images = 0;
    for (QTextBlock b = v->Browser->document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat()) continue;
            const QUrl url(format.toImageFormat().name());
            const QVariant data = v->Browser->loadResource(QTextDocument::ImageResource, url);
            if (QImage::fromData(data.toByteArray()).isNull()) return QStringLiteral("no picture ") + url.toString();
            ++images;
        }
    if (expected <= 10 || images != expected) return QStringLiteral("pictures: %1 of %2").arg(images).arg(expected);
    return {};
}

// The anchors and picture names of a page of the manual, in order.
QStringList sectionsAndPictures(const QString &page)
{
    QFile f(page);
    if (!f.open(QIODevice::ReadOnly)) return {QStringLiteral("cannot read ") + page};
    const QString html = QString::fromUtf8(f.readAll());
    QStringList found;
    static const QRegularExpression marks(QStringLiteral("(id=\"[^\"]+\"|images/[a-z-]+\\.png)"));
    for (auto it = marks.globalMatch(html); it.hasNext();) found << it.next().captured(1);
    return found;
}

void drop(QWidget *target, const QList<QUrl> &urls)
{
    auto *mime = new QMimeData;
    mime->setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent dropEvent(QPointF(5, 5), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropEvent);
    delete mime;
}
}  // namespace

class TestCommands : public QObject {
    Q_OBJECT
private slots:
    void eraseSucceeds()
    {
        Harness h;
        FormMain *f = h.start();
        h.sim.writer().program[5] = 0x0123;
        h.sim.writer().idConfig[7] = 0x0011;
        h.clearWire();
        h.modalActions.push_back([&](QDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("VELTRA2   Erase"));
            QCOMPARE(FrmReadWrite()->Label1->text(), QStringLiteral("プログラムメモリを全消去しますか"));
            clickOk(d);
        });
        f->EraseCommand->click();
        QCOMPARE(h.hostBytes(), QByteArray("CL"));
        QCOMPARE(h.writerBytes(), QByteArray("ca"));
        QCOMPARE(h.hostGapMs(0, 1) >= 500, true);
        QCOMPARE(h.messageTexts(), QStringList{QStringLiteral("全消去しました")});
        QCOMPARE(h.messages[0].icon, gui::Icon::Information);
        QCOMPARE(h.messages[0].title, QStringLiteral("VELTRA2オンボードライタ"));
        QCOMPARE(h.sim.writer().program[5], uint16_t(0x3FFF));
        QCOMPARE(h.sim.writer().configWord(), uint16_t(0x3FFF));
        QVERIFY(!FrmReadWrite()->isVisible());
        QVERIFY(!f->MSComm1->busy());
        // A link check afterwards shows the dialog with its own caption, not the erase's.
        QString caption;
        QTimer::singleShot(0, [&] { caption = FrmReadWrite()->windowTitle(); });
        h.modalActions.push_back([](QDialog *d) { qobject_cast<FormInitComm *>(d)->Command1->click(); });
        f->menu_comm->trigger();
        QCOMPARE(caption, QStringLiteral("VELTRA2 Writer"));
    }

    void eraseWithTheBoardUnpowered()
    {
        Harness h;
        FormMain *f = h.start();
        h.sim.writer().boardPowered = false;
        h.clearWire();
        h.modalActions.push_back(clickOk);
        f->EraseCommand->click();
        QCOMPARE(h.hostBytes(), QByteArray("CLS"));
        QCOMPARE(h.writerBytes(), QByteArray("c??s"));
        QCOMPARE(h.messageTexts(), QStringList{QStringLiteral("PICマイコンボードの電源は投入されていますか？")});
        QCOMPARE(h.messages[0].title, QStringLiteral("エラーが発生しました"));
        QCOMPARE(h.messages[0].icon, gui::Icon::Critical);
    }

    void eraseWithAWrongReply()
    {
        Harness h;
        FormMain *f = h.start();
        h.clearWire();
        h.sim.writer().setFault({sim::Fault::WrongReply, 1, "x", 0});
        h.modalActions.push_back(clickOk);
        f->EraseCommand->click();
        QCOMPARE(h.hostBytes(), QByteArray("CLC"));
        QCOMPARE(h.messageTexts(), QStringList{QStringLiteral("ライタにエラーが発生しました")});
        // "L" went out: whether the erase ran is not known, and the user is told so.
        QCOMPARE(h.messages[0].detail, QStringLiteral("全消去の確認が取れず、消去されたかどうか分かりません。もう一度全消去してください。"));
    }

    void writerSilentAfterTheOpeningC()
    {
        Harness h;
        FormMain *f = h.start();
        h.clearWire();
        h.sim.writer().setFault({sim::Fault::Silence, 0, {}, 0});
        frmReadWrite *rw = FrmReadWrite();
        rw->Timer1->setInterval(700);  // the real 5000 ms is covered by the link check's watchdog test
        QElapsedTimer t;
        h.modalActions.push_back([&](QDialog *d) {
            t.start();
            clickOk(d);
        });
        f->EraseCommand->click();
        // Each wait ends by the time-out: "E","E","S", the message and the dialog closed; the erase that
        // follows meets the same silence and ends with its own error.
        QCOMPARE(h.hostBytes(), QByteArray("CEESLEESC"));
        QCOMPARE(h.messageTexts(), (QStringList{kTimeout, kTimeout, QStringLiteral("ライタにエラーが発生しました")}));
        QCOMPARE(h.messages[0].title, QStringLiteral("タイムアウトエラー"));
        QVERIFY(t.elapsed() >= 1400);
        QVERIFY(!rw->isVisible());
        QCOMPARE(MainForm()->StartupCheckPending, qint16(0));
        QVERIFY(!h.ended());
        rw->Timer1->setInterval(5000);
    }

    void cancelSendsNothing()
    {
        Harness h;
        FormMain *f = h.start();
        h.clearWire();
        const QByteArray ini = h.readIni();
        h.modalActions.push_back([](QDialog *d) { qobject_cast<frmReadWrite *>(d)->cmdCancel->click(); });
        f->EraseCommand->click();
        h.modalActions.push_back([](QDialog *d) { qobject_cast<frmReadWrite *>(d)->cmdCancel->click(); });
        f->StartProgramRead();
        QCOMPARE(h.modalTitles.mid(0, 2), (QStringList{QStringLiteral("VELTRA2   Erase"), QStringLiteral("VELTRA2   Read")}));
        QCOMPARE(h.hostBytes(), QByteArray());
        QVERIFY(h.messages.isEmpty());
        QCOMPARE(h.readIni(), ini);
        QVERIFY(!h.ended());
    }

    void operationDialogRefusesToCloseWhileItWorks()
    {
        Harness h;
        FormMain *f = h.start();
        h.clearWire();
        h.sim.writer().setFault({sim::Fault::SlowReplies, 1, {}, 400});  // the reply to "L" comes late
        bool stayedOpen = false;
        h.modalActions.push_back([&](QDialog *d) {
            QTimer::singleShot(700, [&] {
                FrmReadWrite()->close();  // the close box
                QTest::keyClick(FrmReadWrite(), Qt::Key_Escape);
                stayedOpen = FrmReadWrite()->isVisible();
            });
            clickOk(d);
        });
        f->EraseCommand->click();
        QVERIFY(stayedOpen);
        QVERIFY(!FrmReadWrite()->isVisible());
        QCOMPARE(h.messageTexts(), QStringList{QStringLiteral("全消去しました")});
    }

    void writeChecksTheFileFirst()
    {
        Harness h;
        FormMain *f = h.start();
        h.clearWire();
        f->HexFileName->setText(QString());
        f->StartProgramWrite();
        f->HexFileName->setText(h.path("deleted.hex"));
        f->StartProgramWrite();
        QCOMPARE(h.messageTexts(), (QStringList{QStringLiteral("参照をクリックしてHEXファイルを指定してください"),
                                                QStringLiteral("HEXファイルが存在しません。参照をクリックしてファイルを指定をしてください")}));
        for (const auto &m : h.messages) {
            QCOMPARE(m.title, QStringLiteral("VELTRA2オンボードプログラムライタ"));
            QCOMPARE(m.icon, gui::Icon::Critical);
        }
        QVERIFY(h.modalTitles.isEmpty());
        QCOMPARE(h.hostBytes(), QByteArray());
    }

    void writeAsksWithTheFilePath()
    {
        Harness h;
        FormMain *f = h.start();
        const QString file = h.writeFile("a b.hex", ":00000001FF\r\n");
        f->HexFileName->setText(file);
        f->LblCommP->setText(QStringLiteral("通信設定をしてください"));
        QString question;
        h.modalActions.push_back([&](QDialog *d) {
            question = FrmReadWrite()->Label1->text();
            qobject_cast<frmReadWrite *>(d)->cmdCancel->click();
        });
        f->StartProgramWrite();
        QCOMPARE(h.modalTitles, QStringList{QStringLiteral("VELTRA2   Write")});
        QCOMPARE(question, QStringLiteral("PICにプログラムを書込んでよろしいですか？ \r\n") + file);
        QCOMPARE(f->LblCommP->text(), QString());  // the common first step
    }

    void busyLinkRefusesASecondExchange()
    {
        Harness h;
        FormMain *f = h.start();
        h.clearWire();
        LinkSession other(*f->MSComm1, "another window");
        QVERIFY(other.held());
        f->EraseCommand->click();
        QCOMPARE(h.modalTitles, QStringList());
        QCOMPARE(h.messages.size(), 1);
        QCOMPARE(h.messages[0].text, QStringLiteral("ほかの画面がライタと通信中です。\r\n通信が終わってからもう一度操作してください。"));
        QCOMPARE(h.hostBytes(), QByteArray());
    }

    void droppingFiles()
    {
        Harness h;
        FormMain *f = h.start();
        const QString a = h.writeFile("one.txt", "x"), b = h.writeFile("two.hex", "y");
        drop(f, {QUrl::fromLocalFile(a), QUrl::fromLocalFile(b)});
        QCOMPARE(f->HexFileName->text(), QString());
        drop(f, {QUrl::fromLocalFile(a)});
        QCOMPARE(f->HexFileName->text(), a);
        drop(f->HexFileName, {QUrl::fromLocalFile(b)});
        QCOMPARE(f->HexFileName->text(), b);
        drop(f->HexFileName, {QUrl(QStringLiteral("https://example.org/x.hex"))});
        QCOMPARE(f->HexFileName->text(), b);
        QCOMPARE(f->CommonDialogFileName, QString());  // a drop does not change the dialog's preset
        // Cancelling the file dialog, from the button or the menu, leaves the label alone.
        f->FileNameRef->click();
        f->menu_file_open->trigger();
        QCOMPARE(h.fileRequests.size(), 2);
        QCOMPARE(h.fileRequests[0].filter, QStringLiteral("Hexファイル(*.hex)|*.hex|すべてのファイル(*.*)|*.*"));
        QVERIFY(!h.fileRequests[0].save);
        QCOMPARE(f->HexFileName->text(), b);
        h.fileAnswers.push_back(a);
        f->FileNameRef->click();
        QCOMPARE(f->HexFileName->text(), a);
        QCOMPARE(f->CommonDialogFileName, a);
        f->FileNameRef->click();
        QCOMPARE(h.fileRequests.last().presetName, a);
    }

    void portCommand()
    {
        Harness h;
        FormMain *f = h.start();
        f->LblCommP->setText(QStringLiteral("通信設定をしてください"));
        h.clearWire();
        // Closed with its close box: nothing changes.
        f->menu_comm->trigger();
        QCOMPARE(h.unscriptedModals, 1);
        QVERIFY(f->MSComm1->isOpen());
        QCOMPARE(f->LblCommP->text(), QStringLiteral("通信設定をしてください"));
        QCOMPARE(h.hostBytes(), QByteArray());
        QCOMPARE(h.ini("Com", "port"), QStringLiteral("1"));
        // Confirmed: the port is opened again and checked.
        QString device;
        h.modalActions.push_back([&](QDialog *d) {
            auto *c = qobject_cast<FormInitComm *>(d);
            QCOMPARE(c->Combo1->count(), 15);
            QCOMPARE(c->Combo1->currentText(), QStringLiteral("COM1"));
            device = c->DeviceLabel->text();
            c->Command1->click();
        });
        f->menu_comm->trigger();
        QVERIFY(device.contains(h.sim.slavePath()));
        QCOMPARE(h.hostBytes(), QByteArray("SSC"));
        QCOMPARE(f->LblCommP->text(), QString());
        QVERIFY(h.messages.isEmpty());
        // A port that does not open: the label and the message; the settings stay.
        h.modalActions.push_back([](QDialog *d) {
            auto *c = qobject_cast<FormInitComm *>(d);
            c->Combo1->setCurrentIndex(9);
            c->Command1->click();
        });
        f->menu_comm->trigger();
        QCOMPARE(h.ini("Com", "port"), QStringLiteral("10"));
        QCOMPARE(f->LblCommP->text(), QStringLiteral("通信ポートエラーです"));
        QCOMPARE(h.messageTexts(), QStringList{QStringLiteral("通信ポートエラーです")});
        QCOMPARE(h.messages[0].title, QStringLiteral("VELTRA2オンボードプログラムライタ"));
        QVERIFY(h.messages[0].detail.contains(QStringLiteral("/dev/ttyS9")));
    }

    void editorGetsThePathAsOneArgument()
    {
        Harness h;
        FormMain *f = h.start();
        const QString out = h.path("editor-args.txt");
        const QString script = h.writeFile("editor.sh", "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > \"" + out.toLocal8Bit() + "\"\n");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString file = h.writeFile("my file 'x' $(y) ファイル.hex", ":00000001FF\n");
        qputenv("VISUAL", script.toLocal8Bit());
        f->HexFileName->setText(file);
        f->menu_file_notepad->trigger();
        QVERIFY(h.waitFor([&] { return QFile(out).size() > 0; }, 5000));
        QFile r(out);
        QVERIFY(r.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(r.readAll()), "[" + file + "]\n");
        qunsetenv("VISUAL");
        QVERIFY(h.messages.isEmpty());
        f->HexFileName->setText(h.path("gone.hex"));
        f->menu_file_notepad->trigger();
        QCOMPARE(h.messageTexts(), QStringList{QStringLiteral("ファイルが存在しません")});
        // An editor that does not start, and no desktop handler: the message says which variable.
        h.messages.clear();
        h.urlOpens = false;
        qputenv("VISUAL", "/no/such/editor -w");
        f->HexFileName->setText(file);
        f->menu_file_notepad->trigger();
        qunsetenv("VISUAL");
        QCOMPARE(h.messageTexts(), QStringList{QStringLiteral("テキストエディタを起動できませんでした。")});
        QCOMPARE(h.messages[0].detail, QStringLiteral("環境変数 VISUAL のエディタ「/no/such/editor -w」を起動できませんでした。"));
    }

    void helpShowsTheManualWithItsPicturesInsideTheProgram()
    {
        Harness h;
        FormMain *f = h.start();
        f->menu_help_file->trigger();
        f->menu_help_file->trigger();  // again: the same viewer comes to the front
        QVERIFY(h.messages.isEmpty());
        QVERIFY(h.openedUrls.isEmpty());
        const auto viewers = f->findChildren<ManualViewer *>();
        QCOMPARE(viewers.size(), 1);
        ManualViewer *v = viewers[0];
        QVERIFY(v->isVisible());
        const QString page = v->Browser->source().toLocalFile();
        QVERIFY2(page.endsWith(QStringLiteral("/share/veltraw/manual/index.html")), qPrintable(page));
        QVERIFY(v->Browser->toPlainText().contains(QStringLiteral("インストールと起動")));
        const QString pictures = picturesProblem(v);
        QVERIFY2(pictures.isEmpty(), qPrintable(pictures));
    }

    void helpShowsTheManualOfTheLanguageTheProgramSpeaks()
    {
        Harness h;
        FormMain *f = h.start();
        i18n::install(i18n::Language::English);
        auto restore = qScopeGuard([] { i18n::install(i18n::Language::Japanese); });
        f->menu_help_file->trigger();
        QVERIFY(h.messages.isEmpty());
        ManualViewer *v = f->findChild<ManualViewer *>();
        QVERIFY(v);
        const QString page = v->Browser->source().toLocalFile();
        QVERIFY2(page.endsWith(QStringLiteral("/share/veltraw/manual/en/index.html")), qPrintable(page));
        QVERIFY(v->Browser->toPlainText().contains(QStringLiteral("Installing and starting")));
        const QString pictures = picturesProblem(v);
        QVERIFY2(pictures.isEmpty(), qPrintable(pictures));
        // Its link to the Japanese manual stays in the viewer.
        const QString japanese = QFileInfo(page).dir().filePath(QStringLiteral("../index.html"));
        emit v->Browser->anchorClicked(QUrl(QStringLiteral("../index.html")));
        QCOMPARE(v->Browser->source().toLocalFile(), QDir::cleanPath(japanese));
        QVERIFY(v->Browser->toPlainText().contains(QStringLiteral("インストールと起動")));
        QVERIFY(h.openedUrls.isEmpty());
        // Both tell the same: the same sections, the same pictures, each in its own language.
        QCOMPARE(sectionsAndPictures(page), sectionsAndPictures(japanese));
    }

    void helpViewerFollowsLinksAndHandsPagesToTheBrowser()
    {
        Harness h;
        FormMain *f = h.start();
        f->menu_help_file->trigger();
        ManualViewer *v = f->findChild<ManualViewer *>();
        QVERIFY(v);
        const QUrl manual = v->Browser->source();
        QVERIFY(!v->BackCommand->isEnabled());
        emit v->Browser->anchorClicked(QUrl(QStringLiteral("#ini")));
        QCOMPARE(v->Browser->source().fragment(), QStringLiteral("ini"));
        QVERIFY(v->BackCommand->isEnabled());
        QVERIFY(h.openedUrls.isEmpty());
        v->BrowserCommand->click();
        emit v->Browser->anchorClicked(QUrl(QStringLiteral("https://github.com/veltraw/veltraw")));
        QCOMPARE(h.openedUrls, (QList<QUrl>{manual, QUrl(QStringLiteral("https://github.com/veltraw/veltraw"))}));
        QVERIFY(h.messages.isEmpty());
        // No browser: the manual stays readable here, and the message names the page.
        h.urlOpens = false;
        v->BrowserCommand->click();
        QCOMPARE(h.messages.size(), 1);
        QVERIFY(h.messages[0].text.startsWith(QStringLiteral("ブラウザを起動できませんでした。")));
        QVERIFY(h.messages[0].text.endsWith(manual.toLocalFile()));
        QVERIFY(v->isVisible());
        v->CloseCommand->click();
        QVERIFY(!v->isVisible());
    }

    void helpWithoutTheManualSaysWhereItBelongs()
    {
        Harness h;
        FormMain *f = h.start();
        const QString missing = h.path(QStringLiteral("share/veltraw/manual/index.html"));
        ManualViewer::setManualLocation(missing);
        auto restore = qScopeGuard([] { ManualViewer::setManualLocation(QString()); });
        f->menu_help_file->trigger();
        QCOMPARE(h.messages.size(), 1);
        QCOMPARE(h.messages[0].text, QStringLiteral("マニュアルが見つかりません。\r\nマニュアルは次の場所にインストールされているはずです:\r\n") + missing);
        QVERIFY(f->findChildren<ManualViewer *>().isEmpty());
        QVERIFY(h.openedUrls.isEmpty());
    }

    void menuCaptions_data()
    {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("Japanese") << false
                                  << QStringList{"ファイル(&F)", "  参照(&O)...", "  メモ帳で開く(&M)", "-", "  終了(&X)...",
                                                 "メモリ(&M)", "  プログラムWrite(&W)...", "  プログラムRead(&R)...", "  プログラムVerify(&V)...", "  プログラムErase(&E)...",
                                                 "  データメモリ(&M)...", "  CONGIG(&C)...", "  プログラムメモリ(&P)...", "通信設定(&C)", "ヘルプ(&H)",
                                                 "  ヘルプファイル(&H)", "  接続診断(&D)…", "-", "  バージョン情報(&A)..."};
        QTest::newRow("English") << true
                                 << QStringList{"&File", "  &Open...", "  Open in &Editor", "-", "  E&xit...",
                                                "&Memory", "  Program &Write...", "  Program &Read...", "  Program &Verify...", "  Program &Erase...",
                                                "  Data &Memory...", "  &CONGIG...", "  &Program Memory...", "&Port Settings", "&Help",
                                                "  &Help File", "  Connection &Diagnosis…", "-", "  &About..."};
    }

    void menuCaptions()
    {
        QFETCH(bool, english);
        QFETCH(QStringList, expected);
        std::optional<LanguageScope> language;
        if (english) QVERIFY(language.emplace(i18n::Language::English).installed());
        Harness h;
        FormMain *f = h.start();
        QStringList captions;
        for (QAction *a : f->menuBar()->actions()) {
            captions << a->text();
            if (a->menu())
                for (QAction *i : a->menu()->actions()) captions << (i->isSeparator() ? QStringLiteral("-") : "  " + i->text());
        }
        QCOMPARE(captions, expected);
        // The window keeps its size in either language, and every caption fits its control.
        QCOMPARE(f->centralWidget()->size(), QSize(395, 149));
        QCOMPARE(f->WriteCommand->geometry(), QRect(16, 104, 49, 33));
        QStringList cut = cutCaptions(f->centralWidget());
        cut.removeAll(f->HexFileName->text());  // a path, elided by its label
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1String(" | "))));
        // The title is the message catalogue's.
        QCOMPARE(f->windowTitle(), english ? QStringLiteral("VELTRA2 On-board Program Writer") : QStringLiteral("VELTRA2オンボードプログラムライタ"));
        f->menu_file_unload->trigger();
        QVERIFY(h.ended());
    }

    // The other windows of fixed size hold their captions in either language too.
    void fixedWindowsHoldTheirCaptions_data() { menuCaptions_data(); }

    void fixedWindowsHoldTheirCaptions()
    {
        QFETCH(bool, english);
        std::optional<LanguageScope> language;
        if (english) QVERIFY(language.emplace(i18n::Language::English).installed());
        Harness h;
        FormMain *f = h.startQuiet();
        FormInitComm port(f);
        frmConfig config(0x3FF1, f);
        frmAbout about(f);
        frmConfReg reg(f);
        frmEPROM eeprom(f);
        frmInput byte(1, 1, QStringLiteral("FF"), f);
        const QList<QWidget *> windows{&port, &config, &about, &reg, &eeprom, &byte, FrmReadWrite()};
        for (QWidget *w : windows) {
            const QStringList cut = cutCaptions(w);
            QVERIFY2(cut.isEmpty(), qPrintable(w->windowTitle() + ": " + cut.join(QLatin1String(" | "))));
        }
        // Each keeps the size it was designed with.
        QCOMPARE(config.size(), QSize(264, 163));
        QCOMPARE(port.size(), QSize(360, 161));
    }
};

QTEST_MAIN(TestCommands)
#include "tst_e2e_commands.moc"
