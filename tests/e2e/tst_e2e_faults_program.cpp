// Fault matrix: the link check and the program erase against a simulated writer that
// misbehaves in every way it can, one reply position after another. Every case checks the
// messages, the time taken, the link back in text mode and free, the windows usable again,
// and then that a normal run of the same exchange succeeds.

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
            return f->LblCommP->text().isEmpty() ? QString() : quoted(QStringLiteral("status line"), f->LblCommP->text());
        };
        x.idle = [this](QStringList &p) {
            if (FrmReadWrite()->isVisible()) p << QStringLiteral("progress window still open");
            if (f->Timer1->isActive() || f->Timer2->isActive()) p << QStringLiteral("watchdog or ticker still running");
        };
        x.normal = [this](QStringList &p) {
            h->modalActions.push_back(chooseCom1);
            f->menu_comm_Click();
            h->waitFor([&] { return h->writerBytes().endsWith('c'); }, 2000);
            if (!h->messages.isEmpty()) p << QStringLiteral("normal check: %1").arg(h->messageTexts().join(" | "));
            if (h->hostBytes() != "SSC") p << QStringLiteral("normal check sent %1").arg(QString::fromLatin1(h->hostBytes()));
            if (!f->LblCommP->text().isEmpty()) p << QStringLiteral("normal check left the status line");
            QTest::qWait(20);
            f->MSComm1->clearInput();
        };
        return x;
    }

    Exchange eraseExchange()
    {
        auto start = [this] {
            h->sim.writer().program[5] = 0x1234;
            h->modalActions.push_back(pressOk);
            f->EraseCommand->click();
        };
        auto normal = [this, start](QStringList &p) {
            start();
            if (h->messageTexts() != QStringList{kErased}) p << QStringLiteral("normal erase: %1").arg(h->messageTexts().join(" | "));
            if (h->sim.writer().program[5] != 0x3FFF) p << QStringLiteral("normal erase left the memory");
        };
        return operation(*h, QStringLiteral("program erase"), kOpTimeout, start, normal);
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
        const QString status = quoted(QStringLiteral("status line"), kSetUpComm);
        addRow({Kind::Unpowered, 0}, {{}, 0, QStringLiteral("the check does not involve the board"), QString("")});
        for (int at : {0, 1}) addRow({Kind::Silence, at}, {{kWatchdog}, kWatchdogMs, {}, status});
        for (int at : {0, 1}) addRow({Kind::WrongReply, at}, {{}, 0, QStringLiteral("\"S\" again brings the answer"), QString("")});
        for (int at : {0, 1}) addRow({Kind::Noise, at}, {{}, 0, QStringLiteral("\"S\" again after each stray byte"), QString("")});
        addRow({Kind::HangUp, 1}, {{kWatchdog}, kWatchdogMs, {}, status});
        addRow({Kind::Slow, 0}, {{kWatchdog}, kWatchdogMs, {}, status});
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
        addRow({Kind::Unpowered, 0}, {{kPowerOff}, 0, {}});
        addRow({Kind::Silence, 0}, {{kTimeout, kTimeout, kEraseError}, 2 * kOpTimeout,
                                    QStringLiteral("both waits time out, the dialog closes")});
        addRow({Kind::Silence, 1}, {{kTimeout, kEraseError}, kOpTimeout, {}});
        addRow({Kind::WrongReply, 0}, {{kErased}, 0, QStringLiteral("the opening reply is not checked")});
        addRow({Kind::WrongReply, 1}, {{kEraseError}, 0, {}});
        addRow({Kind::Noise, 0}, {{kErased}, 0, QStringLiteral("the opening reply is not checked")});
        addRow({Kind::Noise, 1}, {{kEraseError}, 0, {}});
        addRow({Kind::HangUp, 1}, {{kEraseError}, 0, {}});
        addRow({Kind::Slow, 1}, {{kTimeout, kEraseError}, kOpTimeout, {}});
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
