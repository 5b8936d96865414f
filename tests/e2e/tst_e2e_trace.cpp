// SPDX-License-Identifier: GPL-3.0-or-later
// The troubleshooting trace and a line that hangs up.

#include "core/trace.h"
#include "core/link/programmerlink.h"
#include "support/harness.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

class TestTrace : public QObject {
    Q_OBJECT
    QTemporaryDir traceDir;
    QString tracePath() const { return traceDir.filePath(QStringLiteral("trace.txt")); }

private slots:
    void initTestCase()
    {
        // The trace file is chosen once, at the first thing traced.
        qputenv("VELTRAW_TRACE", tracePath().toLocal8Bit());
    }

    void bytesModesAndMessagesAreTraced()
    {
        Harness h;
        h.sim.writer().boardPowered = false;
        FormMain *f = h.start();
        h.modalActions.push_back([](QDialog *d) { d->findChild<QPushButton *>(QStringLiteral("cmdOK"))->click(); });
        f->EraseCommand->click();
        QFile t(tracePath());
        QVERIFY(t.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(t.readAll());
        QVERIFY(text.contains(QStringLiteral("sent bin  53('S')")));
        QVERIFY(text.contains(QStringLiteral("recv bin  73('s')")));
        QVERIFY(text.contains(QStringLiteral("sent text 4C('L')")));
        QVERIFY(text.contains(QStringLiteral("recv text 3F('?')")));
        QVERIFY(text.contains(QStringLiteral("box  [エラーが発生しました] PICマイコンボードの電源は投入されていますか？ -> OK")));
        // Every line starts with the milliseconds since start, right-aligned in eight places and
        // never going back, then a blank.
        const QRegularExpression stamp(QStringLiteral("^ *([0-9]+) \\S"));
        qint64 last = -1;
        for (const QString &line : text.split('\n', Qt::SkipEmptyParts)) {
            const QRegularExpressionMatch m = stamp.match(line);
            QVERIFY2(m.hasMatch() && m.capturedEnd(1) == 8, qPrintable(line));
            const qint64 ms = m.captured(1).toLongLong();
            QVERIFY2(ms >= last, qPrintable(line));
            last = ms;
        }
        QVERIFY(last >= 0);
    }

    void lineThatHangsUpClosesThePortAndSaysSoOnce()
    {
        Harness h;
        FormMain *f = h.start();
        QVERIFY(f->MSComm1->isOpen());
        h.sim.hangUp();
        QVERIFY(h.waitFor([&] { return !f->MSComm1->isOpen() && !h.messages.isEmpty(); }, 5000));
        QTest::qWait(300);  // a second notice would come meanwhile
        QCOMPARE(h.messageTexts(), QStringList{QStringLiteral("通信ポートが使えなくなりました。\r\nケーブルの接続を確認し、通信設定をもう一度クリックしてください。")});
        QCOMPARE(f->LblCommP->text(), QStringLiteral("通信ポートエラーです"));
        // An operation on the closed port fails at once instead of waiting for ever.
        h.modalActions.push_back([](QDialog *d) { d->findChild<QPushButton *>(QStringLiteral("cmdOK"))->click(); });
        QElapsedTimer t;
        t.start();
        f->EraseCommand->click();
        QVERIFY(t.elapsed() < 3000);
        QCOMPARE(h.messages.last().text, QStringLiteral("ライタにエラーが発生しました"));
    }

    // A pty has no serial driver: the request for low latency is refused, traced, and no error.
    void lowLatencyRequestOnAPtyIsRefusedQuietly()
    {
        Harness h;
        FormMain *f = h.start();
        QVERIFY(f->MSComm1->isOpen());
        QVERIFY(h.messages.isEmpty());
        QCOMPARE(f->MSComm1->adapterLatencyMs(), -1);
        QFile t(tracePath());
        QVERIFY(t.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(t.readAll());
        QVERIFY2(text.contains(QStringLiteral("low latency not available: ")), qPrintable(text.right(2000)));
    }
};

QTEST_MAIN(TestTrace)
#include "tst_e2e_trace.moc"
