// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up, the link check and closing, against the simulated writer over a pseudo-terminal.

#include "gui/windows.h"
#include "gui/windowtimer.h"
#include "gui/forminitcomm.h"
#include "core/link/programmerlink.h"
#include "gui/frmreadwrite.h"
#include "support/harness.h"

#include "core/messages.h"
#include "core/platform.h"
#include "gui/translations.h"
#include "support/language.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QLockFile>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPushButton>
#include <QProcess>
#include <QSysInfo>
#include "core/link/portstatus.h"
#include <QTest>

namespace {
const QString kWatchdog = QStringLiteral("ライタの反応がありません。\r\n電源およびケーブルの接続を確認し、通信設定をもう一度クリックしてください。");
}

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void normalCheckOnTheWire()
    {
        Harness h;
        FormMain *f = h.start();
        QVERIFY(!h.ended());
        QVERIFY(f->isVisible());
        QCOMPARE(h.hostBytes(), QByteArray("SSC"));
        QCOMPARE(h.writerBytes().left(2), QByteArray("ss"));
        // The 500 ms pause lies between the first and the second "S".
        QVERIFY(h.hostGapMs(0, 1) >= 500);
        QVERIFY(h.messages.isEmpty());
        QCOMPARE(f->LblCommP->text(), QString());
        QCOMPARE(MainForm()->StartupCheckPending, qint16(0));
        QCOMPARE(MainForm()->LinkCheckState, qint16(1));
        QCOMPARE(settings::stored().CommPortNumber, qint16(1));
        QCOMPARE(settings::stored().ConfigWord, qint16(26));
        QVERIFY(!FrmReadWrite()->isVisible());
        QVERIFY(!f->MSComm1->binaryMode());
        QVERIFY(!f->Timer1->isActive() && !f->Timer2->isActive());
    }

    void writerAnsweringOnlyTheThirdS()
    {
        Harness h;
        int probes = 0;
        h.sim.writer().responder = [&](uint8_t b, sim::SimWriter &) -> std::optional<QByteArray> {
            if (b == 'S' && ++probes < 3) return QByteArray();
            return std::nullopt;
        };
        h.start();
        // Two re-sends a second apart by the ticker, then pass 2 and "C".
        QCOMPARE(h.hostBytes(), QByteArray("SSSSC"));
        QVERIFY(h.hostGapMs(0, 1) >= 900 && h.hostGapMs(1, 2) >= 900);
        QVERIFY(h.messages.isEmpty());
    }

    void wrongReplyIsAnsweredWithAnotherS()
    {
        Harness h;
        int probes = 0;
        h.sim.writer().responder = [&](uint8_t b, sim::SimWriter &) -> std::optional<QByteArray> {
            if (b == 'S' && ++probes == 1) return QByteArray("x");
            return std::nullopt;
        };
        h.start();
        QCOMPARE(h.hostBytes(), QByteArray("SSSC"));
        QVERIFY(h.hostGapMs(0, 1) < 500);  // at once, not a second later
    }

    void silentWriterGivesOneWatchdogMessage()
    {
        Harness h;
        h.sim.writer().setFault({sim::Fault::Silence, 0, {}, 0});
        QElapsedTimer t;
        t.start();
        FormMain *f = h.start();
        QVERIFY(t.elapsed() >= 5000 && t.elapsed() < 7000);
        QCOMPARE(h.messageTexts(), QStringList{kWatchdog});
        QCOMPARE(h.messages[0].title, QStringLiteral("エラーが発生しました"));
        QCOMPARE(h.messages[0].icon, gui::Icon::Critical);
        QCOMPARE(f->LblCommP->text(), QStringLiteral("通信設定をしてください"));
        QVERIFY(h.hostBytes().endsWith('C'));
        QVERIFY(h.hostBytes().startsWith("SSSSS"));  // re-sent once a second
        QVERIFY(!FrmReadWrite()->isVisible());
        QVERIFY(!h.ended());
        QVERIFY(f->MSComm1->isOpen());
        QVERIFY(!f->MSComm1->binaryMode());
        QCOMPARE(h.ini("Com", "port"), QStringLiteral("1"));
    }

    void silentWriterInDataFileModeEndsWithPortZero()
    {
        Harness h;
        h.sim.writer().setFault({sim::Fault::Silence, 0, {}, 0});
        h.writeFile("data.txt", "0,1\n");
        h.start({QStringLiteral("/F"), h.path("data.txt")});
        QVERIFY(h.ended());
        QCOMPARE(h.messageTexts(), QStringList{kWatchdog});
        QCOMPARE(h.ini("Com", "port"), QStringLiteral("0"));
        QVERIFY(!h.form->MSComm1->isOpen());
    }

    void storedPortDecidesWhetherTheDialogOpens_data()
    {
        QTest::addColumn<QByteArray>("port");
        QTest::addColumn<bool>("dialog");
        QTest::newRow("16 accepted") << QByteArray("port= 16\n") << false;
        QTest::newRow("1") << QByteArray("port= 1\n") << false;
        QTest::newRow("0") << QByteArray("port= 0\n") << true;
        QTest::newRow("17") << QByteArray("port= 17\n") << true;
        QTest::newRow("abc") << QByteArray("port=abc\n") << true;
        QTest::newRow("missing") << QByteArray() << true;
        QTest::newRow("???") << QByteArray("port=???\n") << true;
    }
    void storedPortDecidesWhetherTheDialogOpens()
    {
        QFETCH(QByteArray, port);
        QFETCH(bool, dialog);
        Harness h;
        // Every COM number leads to the simulated writer, so only the dialog differs.
        QByteArray ports = "[Ports]\n";
        for (int n = 1; n <= 16; ++n) ports += "COM" + QByteArray::number(n) + "=" + h.sim.slavePath().toLocal8Bit() + "\n";
        h.writeIni(ports + "[Com]\n" + port);
        h.modalActions.push_back([](QDialog *d) {
            auto *c = qobject_cast<FormInitComm *>(d);
            QVERIFY(c);
            c->Combo1->setCurrentIndex(2);
            c->Command1->click();
        });
        h.start();
        QCOMPARE(h.modalTitles.size(), dialog ? 1 : 0);
        if (dialog) {
            QCOMPARE(settings::stored().CommPortNumber, qint16(3));
            QCOMPARE(h.ini("Com", "port"), QStringLiteral("3"));
            QVERIFY(h.readIni().contains("port= 3"));
        } else {
            QCOMPARE(settings::stored().CommPortNumber, qint16(vbtext_port(port)));
        }
        QVERIFY(h.messages.isEmpty());
        QCOMPARE(h.hostBytes(), QByteArray("SSC"));
    }

    void portDialogClosedAtStartupIsAPortError()
    {
        Harness h;
        h.writeIni("[Ports]\nCOM1=" + h.sim.slavePath().toLocal8Bit() + "\n");
        FormMain *f = h.start();  // the dialog is closed with its close box (unscripted)
        QCOMPARE(h.unscriptedModals, 1);
        QCOMPARE(MainForm()->LinkCheckState, qint16(2));
        QCOMPARE(h.messageTexts(), QStringList{QStringLiteral("通信ポートエラーです")});
        QCOMPARE(h.messages[0].title, QStringLiteral("エラーが発生しました"));
        QCOMPARE(f->LblCommP->text(), QStringLiteral("通信ポートエラーです"));
        QCOMPARE(h.ini("Com", "port"), QStringLiteral("0"));
        QVERIFY(h.hostBytes().isEmpty());
        QVERIFY(f->isVisible());
    }

    void missingDeviceIsAPortErrorThatSaysWhy()
    {
        Harness h;
        h.writeIni("[Ports]\nCOM1=" + h.path("no-such-device").toLocal8Bit() + "\n[Com]\nport= 1\n[Config]\nword= 9\n");
        FormMain *f = h.start();
        QCOMPARE(h.messageTexts(), QStringList{QStringLiteral("通信ポートエラーです")});
        QVERIFY(h.messages[0].detail.contains(QStringLiteral("no-such-device")));
        QCOMPARE(f->LblCommP->text(), QStringLiteral("通信ポートエラーです"));
        QCOMPARE(h.ini("Com", "port"), QStringLiteral("0"));
        // The stored configuration word is kept, so closing does not write 26 over it.
        QCOMPARE(settings::stored().ConfigWord, qint16(9));
        // No link check is pending any more: an operation dialog opened and cancelled now
        // closes like any other and does not end the program.
        QCOMPARE(MainForm()->StartupCheckPending, qint16(0));
        h.modalActions.push_back([](QDialog *d) { qobject_cast<frmReadWrite *>(d)->cmdCancel->click(); });
        f->EraseCommand->click();
        QCOMPARE(h.modalTitles.size(), 1);
        QVERIFY(!h.ended());
        f->close();
        QVERIFY(h.ended());
        QVERIFY(h.readIni().contains("word= 9"));
    }

    void configWordThatDoesNotConvertReadsAsMissing()
    {
        Harness h;
        h.writeIni(h.standardIni() + "[Config]\nword=abc\n[File]\nname=/tmp/x.hex\n");
        FormMain *f = h.start();
        QVERIFY(h.messages.isEmpty());
        QCOMPARE(settings::stored().ConfigWord, qint16(26));
        QCOMPARE(h.ini("Com", "port"), QStringLiteral("1"));
        QCOMPARE(f->LblCommP->text(), QString());
        QCOMPARE(f->HexFileName->text(), QStringLiteral("/tmp/x.hex"));
        QCOMPARE(f->CommonDialogFileName, QStringLiteral("/tmp/x.hex"));
    }

    void storedConfigWordAndFileNameAreRestoredAndSavedOnClose()
    {
        Harness h;
        h.writeIni(h.standardIni() + "[Config]\nword= 17\n");
        FormMain *f = h.start();
        QCOMPARE(settings::stored().ConfigWord, qint16(17));
        QCOMPARE(f->HexFileName->text(), QString());
        f->HexFileName->setText(QStringLiteral("/data/ファイル 1.hex"));
        settings::stored().ConfigWord = -3;
        f->close();
        QVERIFY(h.ended());
        QVERIFY(!f->MSComm1->isOpen());
        QCOMPARE(h.ini("File", "name"), QStringLiteral("/data/ファイル 1.hex"));
        QVERIFY(h.readIni().contains("word=-3\n"));
    }

    void closingInModesOneAndTwoSavesNothing()
    {
        for (int mode : {1, 2}) {
            Harness h;
            const QString file = mode == 1 ? h.writeFile("d.txt", "0,1\n") : h.writeFile("p.HEX", ":00000001FF\n");
            // Mode 2 writes at once; without a scripted operation dialog it is closed unused.
            FormMain *f = h.start(mode == 1 ? QStringList{QStringLiteral("/F") + file} : QStringList{file});
            QCOMPARE(int(MainForm()->Launch.LaunchMode), mode);
            const QByteArray before = h.readIni();
            gui::resetProgramEnded();
            f->close();
            QVERIFY(h.ended());
            QCOMPARE(h.readIni(), before);
        }
    }

    void closingTheProgressWindowDuringTheStartupCheckEndsTheProgram()
    {
        Harness h;
        h.sim.writer().setFault({sim::Fault::Silence, 0, {}, 0});
        QTimer::singleShot(300, [] { FrmReadWrite()->close(); });
        h.start();
        QVERIFY(h.ended());
    }

    void secondInstanceIsRefused()
    {
        Harness h;
        QLockFile other(h.path("veltraw.lock"));
        QVERIFY(other.tryLock(0));
        h.start();
        QVERIFY(h.ended());
        QCOMPARE(h.messageTexts(), QStringList{QStringLiteral("すでにVELTRA2オンボードプログラムライタが実行されています")});
        QCOMPARE(h.messages[0].title, QStringLiteral("VELTRA2オンボードプログラムライタ"));
        QVERIFY(h.hostBytes().isEmpty());
    }

    void commandLineModes_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("argument");  // "" when refused
        QTest::addColumn<QString>("message");
        QTest::newRow("/F joined") << QStringList{"/Fdata.txt"} << 1 << "data.txt" << "";
        QTest::newRow("/F blank") << QStringList{"/F", "data.txt"} << 1 << "data.txt" << "";
        QTest::newRow("/f hex") << QStringList{"/fprog.HEX"} << 1 << "prog.HEX" << "";
        QTest::newRow("hex lower") << QStringList{"@prog.hex"} << 2 << "@prog.hex" << "";
        QTest::newRow("hex missing") << QStringList{"@gone.hex"} << -1 << "" << QStringLiteral("指定ファイルを呼出しません。");
        QTest::newRow("other ext") << QStringList{"@prog.txt"} << -1 << "" << QStringLiteral("引数の指定が違います");
        QTest::newRow("quoted") << QStringList{"\"@prog.hex\""} << -1 << "" << QStringLiteral("引数の指定が違います");
    }
    void commandLineModes()
    {
        QFETCH(QStringList, args);
        QFETCH(int, mode);
        QFETCH(QString, argument);
        QFETCH(QString, message);
        Harness h;
        const QString hex = h.writeFile("prog.hex", ":00000001FF\n");
        for (QString &a : args) a.replace("@", h.dir.path() + "/");
        argument.replace("@", h.dir.path() + "/");
        const QByteArray iniBefore = h.readIni();
        h.start(args);
        if (mode < 0) {
            QVERIFY(h.ended());
            QCOMPARE(h.messageTexts(), QStringList{message});
            QCOMPARE(h.messages[0].title, QStringLiteral("VELTRA2オンボードライタ"));
            QCOMPARE(h.readIni(), iniBefore);
            QVERIFY(h.hostBytes().isEmpty());
        } else {
            QCOMPARE(int(MainForm()->Launch.LaunchMode), mode);
            QCOMPARE(MainForm()->Launch.LaunchArgument, argument);
        }
        Q_UNUSED(hex);
    }

    // An adapter whose latency timer stays above 2 ms is named once a run, after the link check,
    // in the normal start only; a direct line (no timer to read) says nothing.
    void slowAdapterIsNamedOnce_data()
    {
        QTest::addColumn<QString>("timer");
        QTest::addColumn<bool>("hexMode");
        QTest::addColumn<int>("boxes");
        QTest::newRow("16 ms") << "16\n" << false << 1;
        QTest::newRow("2 ms") << "2\n" << false << 0;
        QTest::newRow("16 ms, write and end") << "16\n" << true << 0;
        QTest::newRow("no timer") << QString() << false << 0;
    }
    void slowAdapterIsNamedOnce()
    {
        QFETCH(QString, timer);
        QFETCH(bool, hexMode);
        QFETCH(int, boxes);
        Harness h;
        // The sysfs entry of the pty the simulated writer serves.
        const QString tty = QFileInfo(QFileInfo(h.sim.slavePath()).canonicalFilePath()).fileName();
        const QString devices = h.path(QStringLiteral("sys/bus/usb-serial/devices/") + tty);
        if (!timer.isEmpty()) {
            QVERIFY(QDir().mkpath(devices));
            h.writeFile(QStringLiteral("sys/bus/usb-serial/devices/") + tty + QStringLiteral("/latency_timer"), timer.toLatin1());
        }
        platform::setSysRoot(h.path(QStringLiteral("sys")));
        QStringList args;
        if (hexMode) args << h.writeFile(QStringLiteral("p.hex"), ":00000001FF\r\n");
        bool mainShown = false;
        h.onMessage = [&](const gui::Message &) { mainShown = h.form && h.form->isVisible(); };
        FormMain *f = h.start(args);
        if (!hexMode) {
            // Choosing the port again checks the link again, but says nothing more.
            h.modalActions.push_back([](QDialog *d) { qobject_cast<FormInitComm *>(d)->Command1->click(); });
            f->menu_comm->trigger();
        }
        platform::setSysRoot(QStringLiteral("/sys"));
        QStringList told;
        for (const auto &m : h.messages)
            if (m.text.startsWith(QStringLiteral("USBシリアル変換器の遅延タイマが"))) told << m.text;
        QCOMPARE(told.size(), boxes);
        if (boxes) {
            QCOMPARE(h.messages[0].text, messages::slowAdapter(16, QString()).text);
            QCOMPARE(h.messages[0].detail, h.sim.slavePath());
            QCOMPARE(h.messages[0].icon, gui::Icon::Information);
            QVERIFY(mainShown);  // told over the main window, not before it
        }
    }

    // The dialog also picks the device a COM number opens: the stored one stays listed while
    // unplugged, a typed path is taken, and OK writes only that key.
    void portDialogStoresTheDeviceForTheNumber()
    {
        Harness h;
        h.start();
        const QByteArray before = "; mine\r\n[Ports]\r\nCOM3=/dev/gone-adapter\r\nCOM9 = /dev/x\r\n[Com]\r\nport= 3\r\n";
        h.writeIni(before);
        {
            FormInitComm d;
            QCOMPARE(d.Combo1->currentText(), QStringLiteral("COM3"));
            QCOMPARE(d.DeviceCombo->currentText(), QStringLiteral("/dev/gone-adapter"));
            QVERIFY(d.DeviceCombo->findText(QStringLiteral("/dev/gone-adapter")) >= 0);
            QCOMPARE(d.DeviceInfo->text(), QStringLiteral("接続されていません"));
            d.Combo1->setCurrentIndex(3);  // COM4: nothing stored, the default device
            QCOMPARE(d.DeviceCombo->currentText(), QString());
            QVERIFY(d.DeviceLabel->text().contains(QStringLiteral("/dev/ttyS3")));
            d.Combo1->setCurrentIndex(2);
            d.DeviceCombo->setEditText(h.sim.slavePath());
            QCOMPARE(d.DeviceLabel->text(), QStringLiteral("→ ") + h.sim.slavePath());
            d.Command1->click();
        }
        QByteArray after = before;
        after.replace("/dev/gone-adapter", h.sim.slavePath().toLocal8Bit());
        QCOMPARE(h.readIni(), after);
        QCOMPARE(h.ini("Ports", "COM3"), h.sim.slavePath());
    }

    // A device typed that is the start of a stored one, or differs from it in case only, stays
    // as typed through Return and OK: completions come in a list, never inside the text.
    void portDialogKeepsWhatIsTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("start of a longer name") << "/dev/ttyUSB1";
        QTest::newRow("case only") << "/dev/ttyusb10";
    }
    void portDialogKeepsWhatIsTyped()
    {
        QFETCH(QString, typed);
        Harness h;
        h.start();
        h.writeIni("[Ports]\r\nCOM1=/dev/ttyUSB10\r\n[Com]\r\nport= 1\r\n");
        FormInitComm d;
        d.show();
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QLineEdit *field = d.DeviceCombo->lineEdit();
        field->setFocus();
        field->clear();
        QTest::keyClicks(field, typed);
        QCOMPARE(field->text(), typed);
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(d.DeviceCombo->currentText(), typed);
        d.Command1->click();
        QCOMPARE(h.ini("Ports", "COM1"), typed);
    }

    // A port another program holds is named as busy, with that remedy, not as a permission
    // problem (Qt reports both alike).
    void portInUseIsToldAsSuch()
    {
        Harness h;
        // Another program's lock on the port, as Qt's serial port writes it.
        QProcess other;
        other.start(QStringLiteral("sleep"), {QStringLiteral("30")});
        QVERIFY(other.waitForStarted());
        const QString lock = portstatus::lockFilePath(h.sim.slavePath());
        QVERIFY(!lock.isEmpty());
        QFile f(lock);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray::number(other.processId()) + "\nsleep\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        f.close();
        h.start();
        QFile::remove(lock);
        other.kill();
        other.waitForFinished();
        QCOMPARE(h.messageTexts(), QStringList{QStringLiteral("通信ポートエラーです")});
        QVERIFY2(h.messages[0].detail.contains(QStringLiteral("ほかのプログラム")) && h.messages[0].detail.contains(QStringLiteral("使用中")),
                 qPrintable(h.messages[0].detail));
        QVERIFY(!h.messages[0].detail.contains(QStringLiteral("dialout")));
    }

    // The standard buttons and dialogs speak the program's language: Qt's Japanese, or its own
    // English once the Japanese is taken away again.
    void standardDialogsFollowTheLanguage_data()
    {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QStringList>("buttons");
        QTest::newRow("Japanese") << false << QStringList{QStringLiteral("はい(&Y)"), QStringLiteral("いいえ(&N)"), QStringLiteral("キャンセル")};
        QTest::newRow("English") << true << QStringList{QStringLiteral("&Yes"), QStringLiteral("&No"), QStringLiteral("Cancel")};
    }
    void standardDialogsFollowTheLanguage()
    {
        QFETCH(bool, english);
        QFETCH(QStringList, buttons);
        QVERIFY(InstallQtTranslations());
        LanguageScope scope(english ? i18n::Language::English : i18n::Language::Japanese);
        QVERIFY(scope.installed());
        QMessageBox box(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("q"), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE((QStringList{box.button(QMessageBox::Yes)->text(), box.button(QMessageBox::No)->text(),
                              box.button(QMessageBox::Cancel)->text()}),
                 buttons);
    }

    // A box is as wide as the path in its detail and its title need: the path stays on a line.
    void messageBoxFitsItsPath()
    {
        const QString path = QStringLiteral("/home/user/projects/pic/nodir/x.hex");
        const messages::Message m = messages::readFileError(messages::saveFailed(path, QStringLiteral("No such file or directory")));
        gui::Message g;
        g.text = m.text;
        g.title = m.title;
        g.icon = m.icon;
        g.detail = m.detail;
        QMessageBox box;
        gui::SetUpMessageBox(box, g);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const int line = QFontMetrics(box.font()).horizontalAdvance(m.detail.section(QLatin1Char('\n'), 0, 0));
        QVERIFY2(box.width() > line, qPrintable(QStringLiteral("%1 <= %2").arg(box.width()).arg(line)));
    }

    void portDialogPreselectsTheStoredPort()
    {
        Harness h;
        h.start();
        const QList<QPair<QByteArray, QString>> cases = {
            {"port= 3", "COM3"}, {"port= 15", "COM15"}, {"port= 16", "COM1"}, {"port= 0", "COM1"},
            {"port=-2", "COM1"}, {"port=abc", "COM1"}, {"", "COM1"}, {"port=15.6", "COM15"}};
        for (const auto &c : cases) {
            h.writeIni("[Com]\n" + c.first + "\n");
            FormInitComm d;
            QCOMPARE(d.Combo1->currentText(), c.second);
            QCOMPARE(d.windowTitle(), QStringLiteral("InitComm"));
        }
        // Closing with the close box after changing the selection stores nothing.
        h.writeIni("[Com]\nport= 3\n");
        {
            FormInitComm d;
            d.show();
            d.Combo1->setCurrentIndex(9);
            d.close();
            QVERIFY(!d.Confirmed);
            QCOMPARE(h.readIni(), QByteArray("[Com]\nport= 3\n"));
        }
        // OK stores the choice with a leading blank.
        FormInitComm d;
        d.Combo1->setCurrentIndex(9);
        d.Command1->click();
        QCOMPARE(settings::stored().CommPortNumber, qint16(10));
        QVERIFY(d.Confirmed);
        QCOMPARE(h.readIni(), QByteArray("[Com]\nport= 10\n"));
    }

private:
    static int vbtext_port(const QByteArray &line) { return line.mid(line.indexOf('=') + 1).trimmed().toInt(); }
};

QTEST_MAIN(TestStartup)
#include "tst_e2e_startup.moc"
