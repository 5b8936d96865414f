// SPDX-License-Identifier: GPL-3.0-or-later
// The About box: the version line's formatting, and the firmware query against the simulated
// writer over a pseudo-terminal.

#include "gui/frmabout.h"
#include "gui/windowtimer.h"
#include "core/link/programmerlink.h"
#include "support/harness.h"

#include <QAction>
#include <QElapsedTimer>
#include <QTest>

namespace {

const QString kDefault = QStringLiteral("このソフトはVELTRA2用PICライタです");

FormMain *startQuiet(Harness &h) { return h.startQuiet(); }

struct Shown {
    QString label1, label2, label3, button, title;
    QByteArray wireWhenShown;
    bool visible = false;
};

// Chooses the menu item and records the box as it is when shown, then presses "&O K".
Shown showAbout(Harness &h, FormMain *f, qint64 *elapsedMs = nullptr)
{
    Shown s;
    h.modalActions.push_back([&](QDialog *d) {
        auto *box = qobject_cast<frmAbout *>(d);
        if (!box) return;
        s.title = box->windowTitle();
        s.label1 = box->Label1->text();
        s.label2 = box->Label2->text();
        s.label3 = box->Label3->text();
        s.button = box->Command1->text();
        s.visible = box->isVisible();
        s.wireWhenShown = h.hostBytes();
        box->Command1->click();
    });
    QElapsedTimer t;
    t.start();
    f->menu_help_about->trigger();
    if (elapsedMs) *elapsedMs = t.elapsed();
    return s;
}

}  // namespace

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    void versionLineFormatting_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<QString>("line");
        QTest::newRow("1.7") << 1 << 7 << QStringLiteral("Ver 1.07");
        QTest::newRow("0.7") << 0 << 7 << QStringLiteral("Ver .07");
        QTest::newRow("12.12") << 12 << 12 << QStringLiteral("Ver 12.12");
        QTest::newRow("2.0") << 2 << 0 << QStringLiteral("Ver 2.00");
        QTest::newRow("3.123") << 3 << 123 << QStringLiteral("Ver 3.123");
        QTest::newRow("10.5") << 10 << 5 << QStringLiteral("Ver 10.05");
    }
    void versionLineFormatting()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(QString, line);
        QCOMPARE(about::versionLine(major, minor), line);
    }

    void firmwareTextTakesFirstAndLastTwo()
    {
        QCOMPARE(about::firmwareVersionText(QStringLiteral("105")), QStringLiteral("ファームウェアバージョン 1.05"));
        QCOMPARE(about::firmwareVersionText(QStringLiteral("12")), QStringLiteral("ファームウェアバージョン 1.12"));
        QCOMPARE(about::firmwareVersionText(QStringLiteral("1a05")), QStringLiteral("ファームウェアバージョン 1.05"));
    }

    void answers_data()
    {
        QTest::addColumn<QString>("firmware");  // the writer answers these characters, then "a"
        QTest::addColumn<QString>("label2");
        QTest::addColumn<bool>("timesOut");
        QTest::newRow("105a") << "105" << QStringLiteral("ファームウェアバージョン 1.05") << false;
        QTest::newRow("12a") << "12" << QStringLiteral("ファームウェアバージョン 1.12") << false;
        QTest::newRow("5a") << "5" << kDefault << true;
        QTest::newRow("1a05a") << "1a05" << QStringLiteral("ファームウェアバージョン 1.05") << false;
        QTest::newRow("ten without a") << "0123456789" << kDefault << false;
        QTest::newRow("a as the tenth") << "987654321" << QStringLiteral("ファームウェアバージョン 9.21") << false;
    }
    void answers()
    {
        QFETCH(QString, firmware);
        QFETCH(QString, label2);
        QFETCH(bool, timesOut);
        Harness h;
        FormMain *f = startQuiet(h);
        h.sim.writer().firmwareVersion = firmware;
        qint64 elapsed = 0;
        const Shown s = showAbout(h, f, &elapsed);
        QCOMPARE(s.label2, label2);
        QCOMPARE(s.wireWhenShown, QByteArray("@"));  // asked before the box was shown
        QVERIFY(s.visible);
        if (timesOut) QVERIFY2(elapsed >= 480 && elapsed < 1500, qPrintable(QString::number(elapsed)));
        else QVERIFY2(elapsed < 450, qPrintable(QString::number(elapsed)));
        QVERIFY(h.messages.isEmpty());
        QCOMPARE(h.hostBytes(), QByteArray("@"));
        QVERIFY(!f->MSComm1->busy());
    }

    void fixedTextsAndTheMenuItem()
    {
        Harness h;
        FormMain *f = startQuiet(h);
        QCOMPARE(f->menu_help_about->text(), QStringLiteral("バージョン情報(&A)..."));
        QVERIFY(f->menu_help_about->isEnabled());
        const Shown s = showAbout(h, f);
        QCOMPARE(h.modalTitles, QStringList{QStringLiteral("VELTRAライタ")});
        QCOMPARE(s.title, QStringLiteral("VELTRAライタ"));
        const QStringList lines = s.label1.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("VELTRA2オンボードプログラムライタ"));
        QCOMPARE(lines[1], QStringLiteral("Ver 1.07"));
        QCOMPARE(lines[2], QStringLiteral("  (C) veltraw project"));
        QCOMPARE(s.label3, QStringLiteral("シリアルポートを搭載したパソコンでご利用ください"));
        QCOMPARE(s.button, QStringLiteral("&O K"));
    }

    void silenceKeepsTheDefaultAfterHalfASecond()
    {
        // The real 500 ms limit.
        Harness h;
        FormMain *f = startQuiet(h);
        h.sim.writer().setFault({sim::Fault::Silence, 0, {}, 0});
        qint64 elapsed = 0;
        const Shown s = showAbout(h, f, &elapsed);
        QCOMPARE(s.label2, kDefault);
        QVERIFY2(elapsed >= 480 && elapsed < 1500, qPrintable(QString::number(elapsed)));
        QVERIFY(h.messages.isEmpty());
        QCOMPARE(h.hostBytes(), QByteArray("@"));
    }

    void staleInputIsDiscardedBeforeTheQuestion()
    {
        Harness h;
        FormMain *f = startQuiet(h);
        // A late "a" from some earlier exchange waits in the input: it must not end the answer.
        h.sim.writer().responder = [](uint8_t b, sim::SimWriter &) -> std::optional<QByteArray> {
            if (b == 'S') return QByteArray("xya");
            return std::nullopt;
        };
        f->MSComm1->sendLetter('S');
        QVERIFY(h.waitFor([&] { return f->MSComm1->bytesWaiting() >= 3; }, 2000));
        h.clearWire();
        const Shown s = showAbout(h, f);
        QCOMPARE(s.label2, QStringLiteral("ファームウェアバージョン 1.05"));
    }

    void busyLinkSkipsTheQuestion()
    {
        Harness h;
        FormMain *f = startQuiet(h);
        LinkSession other(*f->MSComm1, "test");
        qint64 elapsed = 0;
        const Shown s = showAbout(h, f, &elapsed);
        QCOMPARE(s.label2, kDefault);
        QVERIFY(elapsed < 400);
        QTest::qWait(50);
        QVERIFY(h.hostBytes().isEmpty());
        QVERIFY(h.messages.isEmpty());
    }

    void closedPortEndsByTheTimeLimit()
    {
        Harness h;
        FormMain *f = startQuiet(h);
        f->MSComm1->close();
        qint64 elapsed = 0;
        const Shown s = showAbout(h, f, &elapsed);
        QCOMPARE(s.label2, kDefault);
        QVERIFY(elapsed >= 480 && elapsed < 1500);
    }

    void timerStopsItselfAtItsFirstTick()
    {
        Harness h;
        startQuiet(h);
        frmAbout box(h.form.get());
        QCOMPARE(box.Timer1->interval(), 0);
        QVERIFY(box.Timer1->enabled());
        box.Form_Load();  // the writer answers at once
        box.WaitingFlag = 1;
        box.Timer1->setInterval(50);
        QVERIFY(h.waitFor([&] { return box.WaitingFlag == 0; }, 1000));
        QCOMPARE(box.Timer1->interval(), 0);
        QVERIFY(!box.Timer1->isActive());
    }
};

QTEST_MAIN(TestAbout)
#include "tst_e2e_about.moc"
