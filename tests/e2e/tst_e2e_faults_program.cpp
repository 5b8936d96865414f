// SPDX-License-Identifier: GPL-3.0-or-later
// Fault matrix: the link check and the program erase against a simulated writer that
// misbehaves in every way it can, one reply position after another. Every case checks the
// messages, the time taken, what the link check sent and what the erase left in the modelled PIC,
// the link back in text mode and free, the windows usable again, and then that a normal run of
// the same exchange succeeds.

#include "support/faultmatrix.h"

#include <QTest>

using namespace faults;

namespace {

const QString kWatchdog = QStringLiteral("ライタの反応がありません。\r\n電源およびケーブルの接続を確認し、通信設定をもう一度クリックしてください。");
const QString kTimeout = QStringLiteral("ライタまたはPICマイコンボードの反応がありません。\r\nもう一度操作してください。");
const QString kPowerOff = QStringLiteral("PICマイコンボードの電源は投入されていますか？");
const QString kEraseError = QStringLiteral("ライタにエラーが発生しました");
const QString kErased = QStringLiteral("全消去しました");
const QString kSetUpComm = QStringLiteral("通信設定をしてください");
const QString kPicErased = QStringLiteral("PIC erased");
const QString kPicKept = QStringLiteral("PIC not erased");

// Shortened time-outs: the operation dialog's 5000 ms and the link watchdog's 5000 ms.
constexpr int kOpTimeout = 300;
constexpr int kWatchdogMs = 1200;

}  // namespace

class TestFaultsProgram : public QObject {
    Q_OBJECT

    std::unique_ptr<Harness> h;
    FormMain *f = nullptr;
    Table table;

    Exchange linkCheckExchange()
    {
        Exchange x;
        x.name = QStringLiteral("link check (port command)");
        x.fixedMs = 500;
        x.slowMs = kWatchdogMs + 300;
        x.run = [this] {
            h->modalActions.push_back(chooseCom1);
            f->menu_comm_Click();
            QString shown = quoted(QStringLiteral("sent"), QString::fromLatin1(h->hostBytes()));
            if (!f->LblCommP->text().isEmpty()) shown += QStringLiteral("; ") + quoted(QStringLiteral("status line"), f->LblCommP->text());
            return shown;
        };
        x.idle = [this](QStringList &p) {
            if (FrmReadWrite()->isVisible()) p << QStringLiteral("progress window still open");
            if (f->Timer1->isActive() || f->Timer2->isActive()) p << QStringLiteral("watchdog or ticker still running");
        };
        x.normal = [this](QStringList &p) {
            h->modalActions.push_back(chooseCom1);
            f->menu_comm_Click();
            h->waitFor([&] { return h->writerBytes().endsWith('c') && f->MSComm1->bytesWaiting() >= 1; }, 2000);
            if (!h->messages.isEmpty()) p << QStringLiteral("normal check: %1").arg(h->messageTexts().join(" | "));
            if (h->hostBytes() != "SSC") p << QStringLiteral("normal check sent %1").arg(QString::fromLatin1(h->hostBytes()));
            if (!f->LblCommP->text().isEmpty()) p << QStringLiteral("normal check left the status line");
            f->MSComm1->clearInput();
        };
        return x;
    }

    Exchange eraseExchange()
    {
        auto start = [this] {
            sim::SimWriter &pic = h->sim.writer();
            pic.eraseAll();
            pic.program[5] = 0x1234;
            pic.program[1023] = 0x0001;
            pic.idConfig[7] = 0x3FF1;
            h->modalActions.push_back(pressOk);
            f->EraseCommand->click();
        };
        auto normal = [this, start](QStringList &p) {
            start();
            if (h->messageTexts() != QStringList{kErased}) p << QStringLiteral("normal erase: %1").arg(h->messageTexts().join(" | "));
            if (memory() != kPicErased) p << QStringLiteral("normal erase: %1").arg(memory());
        };
        Exchange x = operation(*h, QStringLiteral("program erase"), kOpTimeout, start, normal);
        auto run = x.run;
        x.run = [this, run] {
            run();
            return memory();
        };
        return x;
    }

    // Whether the words set before the erase are still there.
    QString memory() const
    {
        const sim::SimWriter &pic = h->sim.writer();
        int kept = 0, erased = 0, other = 0;
        for (uint16_t w : pic.program) (w == sim::kErasedWord ? erased : w == 0x1234 || w == 0x0001 ? kept : other)++;
        for (uint16_t w : pic.idConfig) (w == sim::kErasedWord ? erased : w == 0x3FF1 ? kept : other)++;
        if (erased == sim::kProgramWords + sim::kIdConfigWords) return kPicErased;
        if (kept == 3 && other == 0) return kPicKept;
        return QStringLiteral("PIC: %1 words erased, %2 kept, %3 changed otherwise").arg(erased).arg(kept).arg(other);
    }

private slots:
    void initTestCase()
    {
        h = std::make_unique<Harness>();
        f = startQuiet(*h);
        QVERIFY(f && f->MSComm1->isOpen());
    }

    void cleanupTestCase()
    {
        table.publish(QStringLiteral("Link check and program erase"));
        h.reset();
    }

    // Replies: 0 "s" to the first "S", 1 "s" to the second.
    void linkCheck_data()
    {
        QTest::addColumn<Case>("c");
        QTest::addColumn<Expect>("e");
        // What the check sends: "S" until "s" in binary mode, again after every other byte and at
        // each second of its ticker; the pause; "S" until "s" in text mode, again after every
        // other byte and once more when the watchdog ends the wait; then "C". What is sent after
        // a hang-up never reaches the writer.
        auto sent = [](const char *bytes, bool watchdog) {
            QString s = quoted(QStringLiteral("sent"), QString::fromLatin1(bytes));
            if (watchdog) s += QStringLiteral("; ") + quoted(QStringLiteral("status line"), kSetUpComm);
            return s;
        };
        addRow({Kind::Unpowered, 0}, {{}, 0, QStringLiteral("the check does not involve the board"), sent("SSC", false)});
        addRow({Kind::Silence, 0}, {{kWatchdog}, kWatchdogMs, {}, sent("SSC", true)});
        addRow({Kind::Silence, 1}, {{kWatchdog}, kWatchdogMs, {}, sent("SSSC", true)});
        addRow({Kind::WrongReply, 0}, {{}, 0, {}, sent("SSSC", false)});
        addRow({Kind::WrongReply, 1}, {{}, 0, {}, sent("SSSC", false)});
        addRow({Kind::Noise, 0}, {{}, 0, {}, sent("SSSSSC", false)});
        addRow({Kind::Noise, 1}, {{}, 0, {}, sent("SSSSSC", false)});
        addRow({Kind::HangUp, 1}, {{kWatchdog}, kWatchdogMs, {}, sent("SS", true)});
        addRow({Kind::Slow, 0}, {{kWatchdog}, kWatchdogMs, {}, sent("SSC", true)});
    }
    void linkCheck()
    {
        QFETCH(Case, c);
        QFETCH(Expect, e);
        ShortWatchdog watchdog(f, kWatchdogMs);
        const QStringList problems = runCase(*h, table, linkCheckExchange(), c, e);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
    }

    // Replies: 0 "c" to the opening "C", 1 "a" to "L" ("?" "?" when unpowered).
    void programErase_data()
    {
        QTest::addColumn<Case>("c");
        QTest::addColumn<Expect>("e");
        // The writer erases as "L" reaches it, before it answers.
        addRow({Kind::Unpowered, 0}, {{kPowerOff}, 0, {}, kPicKept});
        addRow({Kind::Silence, 0}, {{kTimeout, kTimeout, kEraseError}, 2 * kOpTimeout,
                                    QStringLiteral("both waits time out, the dialog closes"), kPicErased});
        addRow({Kind::Silence, 1}, {{kTimeout, kEraseError}, kOpTimeout, {}, kPicErased});
        addRow({Kind::WrongReply, 0}, {{kErased}, 0, QStringLiteral("the opening reply is not checked"), kPicErased});
        addRow({Kind::WrongReply, 1}, {{kEraseError}, 0, {}, kPicErased});
        addRow({Kind::Noise, 0}, {{kErased}, 0, QStringLiteral("the opening reply is not checked"), kPicErased});
        addRow({Kind::Noise, 1}, {{kEraseError}, 0, {}, kPicErased});
        addRow({Kind::HangUp, 1}, {{kEraseError}, 0, {}, kPicErased});
        addRow({Kind::Slow, 1}, {{kTimeout, kEraseError}, kOpTimeout, {}, kPicErased});
    }

    void programErase()
    {
        QFETCH(Case, c);
        QFETCH(Expect, e);
        const QStringList problems = runCase(*h, table, eraseExchange(), c, e);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
    }
};

QTEST_MAIN(TestFaultsProgram)
#include "tst_e2e_faults_program.moc"
