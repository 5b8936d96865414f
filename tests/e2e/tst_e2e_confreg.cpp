// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration register window against the simulated writer over a pseudo-terminal.

#include "gui/windows.h"
#include "gui/windowtimer.h"
#include "gui/frmconfreg.h"
#include "core/link/programmerlink.h"
#include "support/harness.h"

#include <QAction>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTest>

#include <limits>

namespace {

const QString kTalking = QStringLiteral("　　通信中");
const QString kNoPower = QStringLiteral("PICマイコンボードの電源が入っていません。\r\n電源を入れてからもう一度クリックしてください。");
const QString kCommFailure = QStringLiteral("ライタとの通信に失敗しました。\r\nケーブルの確認をしてからもう一度クリックしてください。");
const QString kPortLost = QStringLiteral("通信ポートが使えなくなりました。\r\nケーブルの接続を確認し、通信設定をもう一度クリックしてください。");

FormMain *startQuiet(Harness &h) { return h.startQuiet(); }

// Answers "Y" with exactly these bytes.
void answerY(Harness &h, const QByteArray &bytes)
{
    h.sim.writer().responder = [bytes](uint8_t b, sim::SimWriter &) -> std::optional<QByteArray> {
        if (b == 'Y') return bytes;
        return std::nullopt;
    };
}

bool closedAndGone(Harness &h, QPointer<frmConfReg> &w)
{
    return h.waitFor([&] { return w.isNull(); }, 2000);
}

}  // namespace

class TestConfReg : public QObject {
    Q_OBJECT
private slots:
    void positionInTwipsIsClampedToSixteenBits()
    {
        QCOMPARE(TwipsFromPixels(0), qint16(0));
        QCOMPARE(TwipsFromPixels(100), qint16(1500));
        QCOMPARE(TwipsFromPixels(-7), qint16(-105));
        QCOMPARE(TwipsFromPixels(2184), qint16(32760));
        QCOMPARE(TwipsFromPixels(2185), qint16(32767));
        QCOMPARE(TwipsFromPixels(-2185), qint16(-32768));
        QCOMPARE(TwipsFromPixels(std::numeric_limits<int>::max()), qint16(32767));
        QCOMPARE(TwipsFromPixels(std::numeric_limits<int>::min()), qint16(-32768));
    }

    void configurationByteIsDecoded_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("text");
        QTest::newRow("1Ah") << QByteArray("y\x80\x1A", 3)
                             << QStringLiteral("FOSC    HS\r\nWDT     OFF\r\nPWRTE   OFF\r\nCP      OFF");
        QTest::newRow("00h") << QByteArray("y\x80\x00", 3)
                             << QStringLiteral("FOSC    LP\r\nWDT     OFF\r\nPWRTE   ON\r\nCP      ON");
        QTest::newRow("FFh") << QByteArray("y\x80\xFF", 3)
                             << QStringLiteral("FOSC    RC\r\nWDT     ON\r\nPWRTE   OFF\r\nCP      OFF");
    }
    void configurationByteIsDecoded()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, text);
        Harness h;
        FormMain *f = startQuiet(h);
        answerY(h, reply);
        f->ConfigCommand->click();
        frmConfReg *w = FrmConfReg();
        QVERIFY(w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("ConfigRegister"));
        QVERIFY(h.waitFor([&] { return w->Label3->text() != kTalking; }, 3000));
        QCOMPARE(w->Label3->text(), text);
        QCOMPARE(h.hostBytes(), QByteArray("Y"));
        QVERIFY(h.messages.isEmpty());
        QVERIFY(w->isVisible());  // stays open with the result
        QVERIFY(!w->running());
        QVERIFY(!w->Timer1->isActive());
        QVERIFY(!f->MSComm1->binaryMode());
        QVERIFY(!f->MSComm1->busy());
    }

    void modelledRegisterComesThroughTheMenu()
    {
        Harness h;
        FormMain *f = startQuiet(h);
        f->LblCommP->setText(QStringLiteral("通信設定をしてください"));
        h.sim.writer().idConfig[7] = 0x3FF5;  // the low group carries the register: 75h
        QVERIFY(f->ConfigCommand->isEnabled());
        QCOMPARE(f->menu_memory_config->text(), QStringLiteral("CONGIG(&C)..."));
        QVERIFY(f->menu_memory_config->isEnabled());
        f->menu_memory_config->trigger();
        QCOMPARE(f->LblCommP->text(), QString());
        frmConfReg *w = FrmConfReg();
        QVERIFY(h.waitFor([&] { return w->Label3->text() != kTalking; }, 3000));
        QCOMPARE(w->Label3->text(), QStringLiteral("FOSC    XT\r\nWDT     ON\r\nPWRTE   ON\r\nCP      OFF"));
        QCOMPARE(h.writerBytes(), QByteArray("y\xFF\xF5"));
    }

    void unpoweredBoardClosesTheWindowWithItsMessage()
    {
        Harness h;
        FormMain *f = startQuiet(h);
        h.sim.writer().boardPowered = false;
        f->ConfigCommand->click();
        QPointer<frmConfReg> w = FrmConfReg();
        QVERIFY(closedAndGone(h, w));
        QCOMPARE(h.messageTexts(), QStringList{kNoPower});
        QCOMPARE(h.messages[0].title, QStringLiteral("エラーが発生しました"));
        QCOMPARE(h.messages[0].icon, gui::Icon::Critical);
        QTest::qWait(50);
        QCOMPARE(h.hostBytes(), QByteArray("Y"));  // nothing more is sent
        QVERIFY(!f->MSComm1->busy());
    }

    void upperCaseReplyIsACommunicationFailure()
    {
        Harness h;
        FormMain *f = startQuiet(h);
        answerY(h, "Y");
        f->ConfigCommand->click();
        QPointer<frmConfReg> w = FrmConfReg();
        QVERIFY(closedAndGone(h, w));
        QCOMPARE(h.messageTexts(), QStringList{kCommFailure});
        QCOMPARE(h.messages[0].title, QStringLiteral("エラーが発生しました"));
        QCOMPARE(h.messages[0].icon, gui::Icon::Critical);
        QCOMPARE(h.hostBytes(), QByteArray("YCE"));
    }

    void timeOutAfterTheYEndsQuietly()
    {
        // The real 3000 ms limit: "y" comes, the register bytes never do.
        Harness h;
        FormMain *f = startQuiet(h);
        answerY(h, "y");
        QElapsedTimer t;
        t.start();
        f->ConfigCommand->click();
        QPointer<frmConfReg> w = FrmConfReg();
        QVERIFY(h.waitFor([&] { return w.isNull(); }, 6000));
        QVERIFY2(t.elapsed() >= 2900 && t.elapsed() < 4500, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(h.hostBytes(), QByteArray("YC"));
        QVERIFY(h.messages.isEmpty());
        QVERIFY(!f->MSComm1->binaryMode());
        QVERIFY(!f->MSComm1->busy());
    }

    void silenceTimesOutWithTheCommunicationMessage()
    {
        Harness h;
        FormMain *f = startQuiet(h);
        h.sim.writer().setFault({sim::Fault::Silence, 0, {}, 0});
        QPointer<frmConfReg> w = FrmConfReg();
        w->Timer1->setInterval(300);
        QElapsedTimer t;
        t.start();
        f->ConfigCommand->click();
        QVERIFY(closedAndGone(h, w));
        QVERIFY(t.elapsed() >= 280 && t.elapsed() < 2000);
        // "C" by the time-out, then "C" and "E" around the message.
        QCOMPARE(h.hostBytes(), QByteArray("YCCE"));
        QCOMPARE(h.messageTexts(), QStringList{kCommFailure});
    }

    void reactivationRepeatsTheExchangeKeepingTheOldResult()
    {
        Harness h;
        FormMain *f = startQuiet(h);
        h.sim.writer().idConfig[7] = 0x1A;
        f->ConfigCommand->click();
        frmConfReg *w = FrmConfReg();
        const QString first = QStringLiteral("FOSC    HS\r\nWDT     OFF\r\nPWRTE   OFF\r\nCP      OFF");
        QVERIFY(h.waitFor([&] { return w->Label3->text() == first; }, 3000));

        // Back to the main window and again to the register window.
        QString shownDuringSecond;
        h.sim.writer().responder = [&](uint8_t b, sim::SimWriter &) -> std::optional<QByteArray> {
            if (b == 'Y') shownDuringSecond = w->Label3->text();
            return std::nullopt;
        };
        h.sim.writer().idConfig[7] = 0x01;
        f->activateWindow();
        QVERIFY(h.waitFor([&] { return QApplication::activeWindow() == f; }, 2000));
        w->activateWindow();
        const QString second = QStringLiteral("FOSC    XT\r\nWDT     OFF\r\nPWRTE   ON\r\nCP      ON");
        QVERIFY(h.waitFor([&] { return w->Label3->text() == second; }, 3000));
        QCOMPARE(shownDuringSecond, first);  // not reset to the waiting text
        QCOMPARE(h.hostBytes(), QByteArray("YY"));

        // The command on an open window brings the same window forward and reads again.
        f->activateWindow();
        QVERIFY(h.waitFor([&] { return QApplication::activeWindow() == f; }, 2000));
        f->ConfigCommand->click();
        QCOMPARE(FrmConfReg(), w);
        QVERIFY(h.waitFor([&] { return h.hostBytes() == "YYY" && !w->running(); }, 3000));
        QVERIFY(h.messages.isEmpty());
    }

    void activationDuringAWaitStartsNoSecondExchange()
    {
        Harness h;
        FormMain *f = startQuiet(h);
        h.sim.writer().setFault({sim::Fault::Silence, 0, {}, 0});
        QPointer<frmConfReg> w = FrmConfReg();
        w->Timer1->setInterval(800);
        int activations = 0;
        QTimer::singleShot(100, [&] { f->activateWindow(); });
        QTimer::singleShot(250, [&] {
            if (w) w->activateWindow();
            ++activations;
        });
        QTimer::singleShot(400, [&] { f->activateWindow(); });
        QTimer::singleShot(550, [&] {
            if (w) w->activateWindow();
            ++activations;
        });
        f->ConfigCommand->click();
        QVERIFY(closedAndGone(h, w));
        QCOMPARE(activations, 2);
        QCOMPARE(h.hostBytes(), QByteArray("YCCE"));
        QCOMPARE(h.messages.size(), 1);
    }

    void closingDuringTheWaitAbandonsTheExchange_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("close box") << 0;
        QTest::newRow("&Close") << 1;
        QTest::newRow("Escape") << 2;
        QTest::newRow("Enter") << 3;
    }
    void closingDuringTheWaitAbandonsTheExchange()
    {
        QFETCH(int, how);
        Harness h;
        FormMain *f = startQuiet(h);
        h.sim.writer().setFault({sim::Fault::Silence, 0, {}, 0});
        QPointer<frmConfReg> w = FrmConfReg();
        bool sawWaiting = false;
        QTimer::singleShot(150, [&] {
            if (!w) return;
            sawWaiting = w->running();
            if (how == 0) w->close();
            else if (how == 1) w->Command1->click();
            else if (how == 2) QTest::keyClick(w.data(), Qt::Key_Escape);
            else QTest::keyClick(w.data(), Qt::Key_Return);
        });
        QElapsedTimer t;
        t.start();
        f->ConfigCommand->click();
        QVERIFY(closedAndGone(h, w));
        QVERIFY(sawWaiting);
        QVERIFY2(t.elapsed() < 1500, qPrintable(QString::number(t.elapsed())));  // not the 3 s time-out
        QTest::qWait(50);
        QCOMPARE(h.hostBytes(), QByteArray("Y"));
        QVERIFY(h.messages.isEmpty());
        QVERIFY(!f->MSComm1->binaryMode());
        QVERIFY(!f->MSComm1->busy());
        // The next opening is a fresh window that reads again.
        h.sim.writer().setFault({});
        h.sim.writer().idConfig[7] = 0x1F;
        f->ConfigCommand->click();
        frmConfReg *again = FrmConfReg();
        // 1Fh goes out as the groups 80h 9Fh.
        const QString decoded = QStringLiteral("FOSC    RC\r\nWDT     ON\r\nPWRTE   OFF\r\nCP      OFF");
        QVERIFY(h.waitFor([&] { return again->Label3->text() == decoded; }, 3000));
    }

    void closingWhileTheRegisterBytesAreAwaitedLeavesTextMode()
    {
        Harness h;
        FormMain *f = startQuiet(h);
        answerY(h, "y");
        QPointer<frmConfReg> w = FrmConfReg();
        bool binaryWhileWaiting = false;
        QTimer::singleShot(150, [&] {
            binaryWhileWaiting = f->MSComm1->binaryMode();
            if (w) w->Command1->click();
        });
        f->ConfigCommand->click();
        QVERIFY(closedAndGone(h, w));
        QVERIFY(binaryWhileWaiting);
        QVERIFY(!f->MSComm1->binaryMode());
        QTest::qWait(50);
        QCOMPARE(h.hostBytes(), QByteArray("Y"));
        QVERIFY(h.messages.isEmpty());
    }

    void portLostBeforeTheRegisterByteShowsNoMadeUpValue()
    {
        Harness h;
        FormMain *f = startQuiet(h);
        h.sim.writer().setFault({sim::Fault::HangUp, 1, {}, 0});  // hangs up right after "y"
        f->ConfigCommand->click();
        QPointer<frmConfReg> w = FrmConfReg();
        QVERIFY(closedAndGone(h, w));
        // The lost line's own notice comes as well, queued, before or after.
        QVERIFY(h.waitFor([&] { return h.messages.size() >= 2; }, 3000));
        QStringList texts = h.messageTexts();
        QCOMPARE(texts.removeAll(kPortLost), 1);
        QCOMPARE(texts, QStringList{kCommFailure});
        QVERIFY(!f->MSComm1->binaryMode());
        QVERIFY(!f->MSComm1->busy());
    }

    void busyLinkIsSaidAndNothingIsSent()
    {
        Harness h;
        FormMain *f = startQuiet(h);
        LinkSession other(*f->MSComm1, "test");
        QVERIFY(other.held());
        f->ConfigCommand->click();
        QPointer<frmConfReg> w = FrmConfReg();
        QVERIFY(closedAndGone(h, w));
        QCOMPARE(h.messageTexts(),
                 QStringList{QStringLiteral("ほかの画面がライタと通信中です。\r\n通信が終わってからもう一度操作してください。")});
        QTest::qWait(50);
        QVERIFY(h.hostBytes().isEmpty());
    }

    void aTickWithNoExchangeRunningSendsNothing()
    {
        Harness h;
        startQuiet(h);
        frmConfReg *w = FrmConfReg();  // created, never shown
        QVERIFY(w->Timer1->isActive());
        w->Timer1->setInterval(50);
        // The timer stops itself at its first tick.
        QVERIFY(h.waitFor([&] { return !w->Timer1->isActive(); }, 3000));
        QVERIFY(!w->unloaded());
        QVERIFY(h.hostBytes().isEmpty());
    }

    void positionIsRememberedDuringTheRun()
    {
        Harness h;
        FormMain *f = startQuiet(h);
        QCOMPARE(frmConfReg::WindowLeft, qint16(0));
        QCOMPARE(frmConfReg::WindowTop, qint16(0));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();

        // Centred by the window's size as known when it is placed (the frame, a few pixels,
        // may only be known once it is on screen).
        auto centred = [&](const QPoint &p, QWidget *w) {
            const QPoint c(screen.width() / 2 - w->width() / 2, screen.height() / 2 - w->height() / 2);
            return qAbs(p.x() - c.x()) <= 4 && qAbs(p.y() - c.y()) <= 4;
        };
        f->ConfigCommand->click();
        QPointer<frmConfReg> w = FrmConfReg();
        QVERIFY(centred(w->pos(), w));
        QVERIFY(h.waitFor([&] { return !w->running() && w->Label3->text() != kTalking; }, 3000));
        w->move(100, 80);
        w->Command1->click();
        QCOMPARE(frmConfReg::WindowLeft, qint16(1500));
        QCOMPARE(frmConfReg::WindowTop, qint16(1200));
        QVERIFY(closedAndGone(h, w));

        f->ConfigCommand->click();
        w = FrmConfReg();
        QCOMPARE(w->pos(), QPoint(100, 80));
        QVERIFY(h.waitFor([&] { return !w->running() && w->Label3->text() != kTalking; }, 3000));

        // Closed at the very top left corner: as if never placed.
        w->move(0, 0);
        w->close();
        QCOMPARE(frmConfReg::WindowLeft, qint16(0));
        QVERIFY(closedAndGone(h, w));
        f->ConfigCommand->click();
        w = FrmConfReg();
        QVERIFY(centred(w->pos(), w));
        QVERIFY(h.waitFor([&] { return !w->running(); }, 3000));

        // Beyond the 16-bit range of twips the position is clamped.
        w->move(3000, -3000);
        w->close();
        QCOMPARE(frmConfReg::WindowLeft, qint16(32767));
        QCOMPARE(frmConfReg::WindowTop, qint16(-32768));
        QVERIFY(closedAndGone(h, w));
        f->ConfigCommand->click();
        w = FrmConfReg();
        QCOMPARE(w->pos(), QPoint(32767 / 15, -32768 / 15));
        QVERIFY(h.waitFor([&] { return !w->running(); }, 3000));
    }

    void aRestartForgetsThePosition()
    {
        {
            Harness h;
            startQuiet(h);
            frmConfReg *w = FrmConfReg();
            w->show();
            w->move(40, 30);
            w->close();
            QCOMPARE(frmConfReg::WindowLeft, qint16(600));
        }
        Harness h;
        startQuiet(h);
        QCOMPARE(frmConfReg::WindowLeft, qint16(0));
        QCOMPARE(frmConfReg::WindowTop, qint16(0));
        frmConfReg *w = FrmConfReg();
        QVERIFY(w->pos() != QPoint(40, 30));
    }
};

QTEST_MAIN(TestConfReg)
#include "tst_e2e_confreg.moc"
