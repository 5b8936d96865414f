// SPDX-License-Identifier: GPL-3.0-or-later
// The data EEPROM view against the simulated writer: showing, reading, time-outs, closing.

#include "gui/windows.h"
#include "gui/windowtimer.h"
#include "gui/frmeeprom.h"
#include "gui/frminput.h"
#include "core/link/programmerlink.h"
#include "support/harness.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QFontMetrics>
#include <QTest>

namespace {
const QString kBusy = QStringLiteral("PICマイコンボードと通信中");
const QString kPowerOff = QStringLiteral("PICマイコンボードの電源が入っていません。\r\n電源を入れて、もう一度クリックしてください。");
const QString kFailed = QStringLiteral("ライタとの通信に失敗しました。\r\nケーブルの確認をしてから、もう一度クリックしてください。");

QString cell(frmEPROM *v, int row, int column) { return v->Grid1->item(row, column)->text(); }
QString cellAt(frmEPROM *v, int address) { return cell(v, address / 16 + 1, address % 16 + 1); }

// Starts the program and clears the record of the link check.
FormMain *startClean(Harness &h)
{
    FormMain *f = h.start();
    h.hostBytes();  // takes in the link check's last "C" before the record is cleared
    h.clearWire();
    return f;
}

// Waits until n "X" commands have gone out and the view is idle again.
bool readsDone(Harness &h, int n, int ms = 5000)
{
    return h.waitFor(
        [&] {
            frmEPROM *v = LoadedFrmEPROM();
            return h.hostBytes().count('X') >= n && v && !v->running();
        },
        ms);
}

// "x" and 64 pairs as given, for a scripted reply to "X".
QByteArray xReply(const QByteArray &pairs)
{
    QByteArray r("x");
    r += pairs;
    while (r.size() < 129) r += QByteArray("\x80\x80", 2);
    return r;
}

bool activate(QWidget *w)
{
    w->activateWindow();
    return QTest::qWaitForWindowActive(w, 3000);
}
}  // namespace

class TestEepromView : public QObject {
    Q_OBJECT
private slots:
    void windowLayout()
    {
        Harness h;
        startClean(h);
        h.sim.writer().setFault({sim::Fault::Silence, 0, {}, 0});
        frmEPROM *v = FrmEPROM();
        QCOMPARE(v->windowTitle(), QStringLiteral("EEP-ROM"));
        QCOMPARE(v->size(), QSize(465, 143));
        QCOMPARE(v->Label1->text(), QStringLiteral("EEP-ROMデータメモリエリア"));
        QCOMPARE(v->Label2->text(), QString());
        QCOMPARE(v->cmdEraseAll->text(), QStringLiteral("&DATA Clear"));
        QCOMPARE(v->cmdRefresh->text(), QStringLiteral("&Refresh"));
        QCOMPARE(v->cmdClose->text(), QStringLiteral("&Close"));
        QCOMPARE(v->Grid1->geometry(), QRect(0, 24, 473, 81));
        QCOMPARE(v->Grid1->rowCount(), 5);
        QCOMPARE(v->Grid1->columnCount(), 17);
        QVERIFY(v->Grid1->horizontalHeader()->isHidden() && v->Grid1->verticalHeader()->isHidden());
        for (int c = 0; c < 17; ++c) QCOMPARE(v->Grid1->columnWidth(c), 26);
        QCOMPARE(v->Grid1->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
        // 9 point, or smaller where the fallback for a missing font would not fit the headers.
        const QFont gf = v->Grid1->font();
        QVERIFY(gf.pointSizeF() <= 9 && gf.pointSizeF() >= 6);
        QVERIFY(gf.pointSizeF() == 9 || gf.pointSizeF() == 6
                || QFontMetrics(gf).horizontalAdvance(QStringLiteral(" 30h")) <= 400 / 15 - 7);
        QCOMPARE(cell(v, 0, 0), QString());
        QCOMPARE(cell(v, 0, 1), QStringLiteral("+0h"));
        QCOMPARE(cell(v, 0, 11), QStringLiteral("+Ah"));
        QCOMPARE(cell(v, 0, 16), QStringLiteral("+Fh"));
        QCOMPARE(cell(v, 1, 0), QStringLiteral(" 00h"));
        QCOMPARE(cell(v, 4, 0), QStringLiteral(" 30h"));
        for (int a = 0; a < 64; ++a) {
            QCOMPARE(cellAt(v, a), QStringLiteral("*"));
            QCOMPARE(v->Grid1->item(a / 16 + 1, a % 16 + 1)->textAlignment(), int(Qt::AlignCenter));
        }
        QCOMPARE(v->Grid1->currentRow(), 4);
        QCOMPARE(v->Grid1->currentColumn(), 16);
        QVERIFY(!v->Timer1->enabled());
        QCOMPARE(v->Timer1->interval(), 1000);
        QVERIFY(!v->cmdRefresh->isDefault() && !v->cmdRefresh->autoDefault());
        // Header cells cannot be made current with the keyboard.
        v->show();
        QVERIFY(activate(v));
        // The grid has the focus, and Tab goes on to "&Close", "&DATA Clear", "&Refresh".
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(v->Grid1));
        QTest::keyClick(v->Grid1, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(v->cmdClose));
        QTest::keyClick(v->cmdClose, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(v->cmdEraseAll));
        QTest::keyClick(v->cmdEraseAll, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(v->cmdRefresh));
        v->Grid1->setFocus();
        v->Grid1->setCurrentCell(1, 1);
        QTest::keyClick(v->Grid1, Qt::Key_Left);
        QTest::keyClick(v->Grid1, Qt::Key_Up);
        QCOMPARE(v->Grid1->currentRow(), 1);
        QCOMPARE(v->Grid1->currentColumn(), 1);
    }

    void showingFromTheMainWindowReadsTheWholeEeprom()
    {
        Harness h;
        FormMain *f = startClean(h);
        auto &w = h.sim.writer();
        w.eeprom[0] = 10;
        w.eeprom[1] = 0;
        w.eeprom[0x2A] = 0x5C;
        QVERIFY(f->EPROMCommand1->isEnabled());
        QVERIFY(f->menu_memory_data->isEnabled());
        f->LblCommP->setText(QStringLiteral("通信設定をしてください"));
        f->EPROMCommand1->click();
        frmEPROM *v = LoadedFrmEPROM();
        QVERIFY(v);
        QVERIFY(v->isVisible());
        QCOMPARE(f->LblCommP->text(), QString());
        QVERIFY(readsDone(h, 1));
        QCOMPARE(v->EepromViewActivated, qint16(1));
        QCOMPARE(h.hostBytes(), QByteArray("X"));
        QCOMPARE(h.writerBytes().size(), 129);
        QCOMPARE(cellAt(v, 0), QStringLiteral("0A"));
        QCOMPARE(cellAt(v, 1), QStringLiteral("00"));
        QCOMPARE(cellAt(v, 2), QStringLiteral("FF"));
        QCOMPARE(cellAt(v, 0x2A), QStringLiteral("5C"));
        QCOMPARE(cellAt(v, 63), QStringLiteral("FF"));
        QCOMPARE(v->Label2->text(), QString());
        QVERIFY(v->cmdRefresh->isEnabled() && v->cmdEraseAll->isEnabled());
        QCOMPARE(v->Grid1->currentRow(), 4);
        QCOMPARE(v->Grid1->currentColumn(), 16);
        QVERIFY(!f->MSComm1->binaryMode());
        QVERIFY(!f->MSComm1->busy());
        QVERIFY(h.messages.isEmpty());
        // The menu item brings the same window forward.
        f->menu_memory_data->trigger();
        QCOMPARE(LoadedFrmEPROM(), v);
    }

    void pairsDecodeWithTheirBitsIgnored()
    {
        Harness h;
        startClean(h);
        h.sim.writer().responder = [](uint8_t b, sim::SimWriter &) -> std::optional<QByteArray> {
            if (b == 'X') return xReply(QByteArray("\x81\xFF\x80\x80\x83\x81\x80\x8A\x81\x80", 10));
            return std::nullopt;
        };
        h.form->EPROMCommand1->click();
        QVERIFY(readsDone(h, 1));
        frmEPROM *v = LoadedFrmEPROM();
        QCOMPARE(cellAt(v, 0), QStringLiteral("FF"));
        QCOMPARE(cellAt(v, 1), QStringLiteral("00"));
        QCOMPARE(cellAt(v, 2), QStringLiteral("81"));
        QCOMPARE(cellAt(v, 3), QStringLiteral("0A"));
        QCOMPARE(cellAt(v, 4), QStringLiteral("80"));
        QCOMPARE(cellAt(v, 5), QStringLiteral("00"));
        QVERIFY(h.messages.isEmpty());
    }

    void powerOffAndWrongReplyLeaveTheGrid()
    {
        Harness h;
        startClean(h);
        h.sim.writer().boardPowered = false;
        h.form->EPROMCommand1->click();
        QVERIFY(readsDone(h, 1));
        frmEPROM *v = LoadedFrmEPROM();
        QCOMPARE(h.hostBytes(), QByteArray("XS"));
        QCOMPARE(h.messageTexts(), QStringList{kPowerOff});
        QCOMPARE(h.messages[0].icon, gui::Icon::Critical);
        QCOMPARE(h.messages[0].title, messages::kProgramTitle);
        QCOMPARE(cellAt(v, 0), QString());  // a read that failed shows no byte as the PIC's
        QCOMPARE(v->Label2->text(), QString());
        QVERIFY(v->cmdRefresh->isEnabled() && v->cmdEraseAll->isEnabled());

        h.sim.writer().boardPowered = true;
        h.sim.writer().responder = [](uint8_t b, sim::SimWriter &) -> std::optional<QByteArray> {
            if (b == 'X') return QByteArray("q");
            return std::nullopt;
        };
        h.clearWire();
        h.messages.clear();
        v->cmdRefresh->click();
        QCOMPARE(h.hostBytes(), QByteArray("XC"));
        QCOMPARE(h.messageTexts(), QStringList{kFailed});
        QCOMPARE(h.messages[0].icon, gui::Icon::Critical);
        QCOMPARE(cellAt(v, 0), QString());  // a read that failed shows no byte as the PIC's
        QCOMPARE(v->Label2->text(), QString());
        QVERIFY(v->cmdRefresh->isEnabled() && v->cmdEraseAll->isEnabled());
        QVERIFY(!h.form->MSComm1->busy());

        // A board read well, then another board without power: the first board's bytes go, and
        // the status with them, before the message is on screen.
        h.sim.writer().responder = nullptr;
        h.sim.writer().eeprom[0] = 0x5A;
        v->cmdRefresh->click();
        QCOMPARE(cellAt(v, 0), QStringLiteral("5A"));
        h.sim.writer().boardPowered = false;
        QStringList behindTheBox;
        h.onMessage = [&](const gui::Message &) { behindTheBox << v->Label2->text() << cellAt(v, 0) << cellAt(v, 63); };
        v->cmdRefresh->click();
        QCOMPARE(behindTheBox, (QStringList{QString(), QString(), QString()}));
        for (int a = 0; a < 64; ++a) QCOMPARE(cellAt(v, a), QString());
    }

    void noReplyToXTimesOutAfterOneSecond()
    {
        Harness h;
        startClean(h);
        h.sim.writer().setFault({sim::Fault::Silence, 0, {}, 0});
        frmEPROM *v = FrmEPROM();
        QElapsedTimer t;
        t.start();
        v->cmdRefresh->click();  // the real 1000 ms time-out
        const qint64 ms = t.elapsed();
        QVERIFY2(ms >= 950 && ms < 2000, qPrintable(QString::number(ms)));
        QCOMPARE(h.hostBytes(), QByteArray("XCC"));  // the time-out's "C", then the read's
        QCOMPARE(h.messageTexts(), QStringList{kFailed});
        QCOMPARE(cellAt(v, 0), QString());  // a read that failed shows no byte as the PIC's
        QCOMPARE(v->Label2->text(), QString());
        QVERIFY(v->cmdRefresh->isEnabled() && v->cmdEraseAll->isEnabled());
        QVERIFY(!v->Timer1->enabled());
        QCOMPARE(v->Timer1->interval(), 1000);
    }

    void silenceInTheDataKeepsWhatWasRead()
    {
        Harness h;
        startClean(h);
        auto &w = h.sim.writer();
        for (int a = 0; a < 64; ++a) w.eeprom[size_t(a)] = uint8_t(a + 0x40);
        // "x" and nine complete pairs, then the first byte of address 09h, then nothing.
        w.setFault({sim::Fault::Silence, 20, {}, 0});
        frmEPROM *v = FrmEPROM();
        v->Timer1->setInterval(300);
        v->Grid1->setCurrentCell(3, 3);
        v->cmdRefresh->click();
        QCOMPARE(h.hostBytes(), QByteArray("XC"));  // only the time-out's "C"
        QCOMPARE(h.messageTexts(), QStringList{kFailed});
        for (int a = 0; a < 9; ++a) QCOMPARE(cellAt(v, a), QString::number(a + 0x40, 16).toUpper());
        for (int a = 9; a < 64; ++a) QCOMPARE(cellAt(v, a), QString());
        QCOMPARE(v->Label2->text(), QString());  // the read has ended
        QCOMPARE(v->Grid1->currentRow(), 1);
        QCOMPARE(v->Grid1->currentColumn(), 10);
        QVERIFY(!h.form->MSComm1->binaryMode());
        QVERIFY(v->cmdRefresh->isEnabled() && v->cmdEraseAll->isEnabled());
        QVERIFY(!h.form->MSComm1->busy());
    }

    void dataByteWithBit7ClearEndsTheReadQuietly()
    {
        Harness h;
        startClean(h);
        auto &w = h.sim.writer();
        w.eeprom.fill(0x11);
        frmEPROM *v = FrmEPROM();
        v->cmdRefresh->click();
        QCOMPARE(cellAt(v, 63), QStringLiteral("11"));
        w.eeprom.fill(0x22);
        w.setFault({sim::Fault::ClearBit7, 10, {}, 0});  // the 10th data byte
        v->Grid1->setCurrentCell(2, 3);
        h.clearWire();
        v->cmdRefresh->click();
        QCOMPARE(h.hostBytes(), QByteArray("X"));
        for (int a = 0; a < 4; ++a) QCOMPARE(cellAt(v, a), QStringLiteral("22"));
        // The cells this read did not reach hold nothing, not the earlier read's bytes.
        for (int a = 4; a < 64; ++a) QCOMPARE(cellAt(v, a), QString());
        QVERIFY(h.messages.isEmpty());
        QCOMPARE(v->Grid1->currentRow(), 2);
        QCOMPARE(v->Grid1->currentColumn(), 3);
        QCOMPARE(v->Label2->text(), QString());
        QVERIFY(!h.form->MSComm1->binaryMode());
    }

    void doubleClickDuringAReadIsIgnored()
    {
        Harness h;
        startClean(h);
        h.sim.writer().setFault({sim::Fault::SlowReplies, 1, {}, 5});  // about 650 ms of data
        frmEPROM *v = FrmEPROM();
        v->show();
        bool wasBusy = false;
        QTimer::singleShot(150, v, [&] {
            wasBusy = v->running() && !v->cmdRefresh->isEnabled() && !v->cmdEraseAll->isEnabled()
                      && v->Label2->text() == kBusy && v->cmdClose->isEnabled();
            const QRect r = v->Grid1->visualItemRect(v->Grid1->item(2, 5));
            QTest::mouseClick(v->Grid1->viewport(), Qt::LeftButton, {}, r.center());
            QTest::mouseDClick(v->Grid1->viewport(), Qt::LeftButton, {}, r.center());
            QTest::keyClick(v->Grid1, Qt::Key_Return);
        });
        v->cmdRefresh->click();
        QVERIFY(wasBusy);
        QCOMPARE(cellAt(v, 63), QStringLiteral("FF"));
        QCOMPARE(h.modalTitles, QStringList());
        QCOMPARE(h.hostBytes(), QByteArray("X"));
        // Idle again, a double-click opens the entry dialog for the clicked cell.
        QString label;
        h.modalActions.push_back([&](QDialog *d) { label = qobject_cast<frmInput *>(d)->Label1->text(); });
        const QRect r = v->Grid1->visualItemRect(v->Grid1->item(2, 5));
        QTest::mouseClick(v->Grid1->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(v->Grid1->viewport(), Qt::LeftButton, {}, r.center());
        QVERIFY(h.waitFor([&] { return !h.modalTitles.isEmpty(); }, 2000));
        QCOMPARE(h.modalTitles, QStringList{QStringLiteral("Data Input")});
        QCOMPARE(label, QStringLiteral("Add 14"));
        // And Enter does the same.
        QTest::keyClick(v->Grid1, Qt::Key_Return);
        QCOMPARE(h.modalTitles.size(), 2);
    }

    void reshowingAfterCloseReadsAgainReactivatingDoesNot()
    {
        Harness h;
        FormMain *f = startClean(h);
        h.sim.writer().eeprom[5] = 0x05;
        f->show();
        f->EPROMCommand1->click();
        QVERIFY(readsDone(h, 1));
        frmEPROM *v = LoadedFrmEPROM();
        QCOMPARE(cellAt(v, 5), QStringLiteral("05"));
        QVERIFY(activate(v));

        // Switching to the main window and back reads nothing.
        QVERIFY(activate(f));
        QVERIFY(activate(v));
        QTest::qWait(100);
        QCOMPARE(h.hostBytes().count('X'), 1);

        // "&Close" hides; the grid keeps its values while hidden.
        v->cmdClose->click();
        QVERIFY(!v->isVisible());
        QCOMPARE(LoadedFrmEPROM(), v);
        QCOMPARE(cellAt(v, 5), QStringLiteral("05"));
        h.sim.writer().eeprom[5] = 0x50;
        QVERIFY(activate(f));
        f->EPROMCommand1->click();
        QVERIFY(readsDone(h, 2));
        QCOMPARE(LoadedFrmEPROM(), v);
        QCOMPARE(cellAt(v, 5), QStringLiteral("50"));
        QCOMPARE(h.hostBytes(), QByteArray("XX"));
        QVERIFY(h.messages.isEmpty());
    }

    void closeBoxUnloadsAndTheNextShowingStartsAfresh()
    {
        Harness h;
        FormMain *f = startClean(h);
        f->EPROMCommand1->click();
        QVERIFY(readsDone(h, 1));
        QPointer<frmEPROM> v = LoadedFrmEPROM();
        QCOMPARE(cellAt(v, 0), QStringLiteral("FF"));
        v->close();
        QVERIFY(!LoadedFrmEPROM());
        QVERIFY(h.waitFor([&] { return v.isNull(); }, 2000));

        h.sim.writer().setFault({sim::Fault::Silence, 0, {}, 0});
        f->EPROMCommand1->click();
        frmEPROM *again = LoadedFrmEPROM();
        QVERIFY(again);
        QCOMPARE(cellAt(again, 0), QStringLiteral("*"));
        QCOMPARE(again->Grid1->currentRow(), 4);
        QVERIFY(readsDone(h, 2));
        QCOMPARE(h.messageTexts(), QStringList{kFailed});
    }

    void closeBoxDuringAReadAbandonsIt()
    {
        Harness h;
        startClean(h);
        // The data stops after a few bytes: the read waits in binary mode.
        h.sim.writer().setFault({sim::Fault::Silence, 6, {}, 0});
        QPointer<frmEPROM> v = FrmEPROM();
        v->show();
        QTimer::singleShot(200, v.data(), [&] { v->close(); });
        QElapsedTimer t;
        t.start();
        v->cmdRefresh->click();
        QVERIFY(t.elapsed() < 900);
        QVERIFY(h.waitFor([&] { return v.isNull(); }, 2000));
        QTest::qWait(1200);  // well past the time-out: nothing more goes out
        QCOMPARE(h.hostBytes(), QByteArray("X"));
        QVERIFY(h.messages.isEmpty());
        QVERIFY(!h.form->MSComm1->binaryMode());
        QVERIFY(!h.form->MSComm1->busy());
        QVERIFY(!LoadedFrmEPROM());
    }

    void closeBoxWhileWaitingForTheFirstReply()
    {
        Harness h;
        startClean(h);
        h.sim.writer().setFault({sim::Fault::Silence, 0, {}, 0});
        QPointer<frmEPROM> v = FrmEPROM();
        v->show();
        QTimer::singleShot(100, v.data(), [&] { v->close(); });
        v->cmdRefresh->click();
        QVERIFY(h.waitFor([&] { return v.isNull(); }, 2000));
        QCOMPARE(h.hostBytes(), QByteArray("X"));
        QVERIFY(h.messages.isEmpty());
        QVERIFY(!h.form->MSComm1->busy());
    }

    void windowDeletedDuringAReadEndsTheWait()
    {
        Harness h;
        startClean(h);
        h.sim.writer().setFault({sim::Fault::Silence, 6, {}, 0});
        QPointer<frmEPROM> v = FrmEPROM();
        v->show();
        QTimer::singleShot(200, [&] { delete v.data(); });
        QElapsedTimer t;
        t.start();
        v->cmdRefresh->click();
        QVERIFY(t.elapsed() < 900);
        QVERIFY(v.isNull());
        QVERIFY(!h.form->MSComm1->busy());
        QVERIFY(!h.form->MSComm1->binaryMode());
        QTest::qWait(1200);
        QCOMPARE(h.hostBytes(), QByteArray("X"));
        QVERIFY(h.messages.isEmpty());
    }

    void busyLinkIsRefusedWithAMessage()
    {
        Harness h;
        startClean(h);
        frmEPROM *v = FrmEPROM();
        {
            LinkSession other(*h.form->MSComm1, "other");
            v->cmdRefresh->click();
            v->cmdEraseAll->click();
        }
        QCOMPARE(h.messageTexts(),
                 QStringList(2, QStringLiteral("ほかの画面がライタと通信中です。\r\n通信が終わってからもう一度操作してください。")));
        QVERIFY(h.hostBytes().isEmpty());
        QVERIFY(v->cmdRefresh->isEnabled() && v->cmdEraseAll->isEnabled());
        QCOMPARE(cellAt(v, 0), QStringLiteral("*"));  // no read ran
    }
};

QTEST_MAIN(TestEepromView)
#include "tst_e2e_eeprom_view.moc"
