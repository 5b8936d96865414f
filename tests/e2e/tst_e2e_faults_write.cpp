// Fault matrix: the program write against a simulated writer that misbehaves in every way it
// can, at every reply position of a short file. Every case checks the messages, the time
// taken, the link back in text mode and free, the windows usable again, and then that a
// normal write of the same file succeeds.

#include "support/faultmatrix.h"

#include <QTest>

using namespace faults;

namespace {

const QString kTimeout = QStringLiteral("ライタまたはPICマイコンボードの反応がありません。\r\nもう一度操作してください。");
const QString kPowerOff = QStringLiteral("PICマイコンボードの電源は投入されていますか？");
const QString kWriterError = QStringLiteral("ライタにエラーが発生しました。");
const QString kWriteError = QStringLiteral("書き込み中にエラーが発生しました");
const QString kWritten = QStringLiteral("書込みが終了しました");

// The operation dialog's 5000 ms, shortened.
constexpr int kOpTimeout = 300;

}  // namespace

class TestFaultsWrite : public QObject {
    Q_OBJECT

    std::unique_ptr<Harness> h;
    FormMain *f = nullptr;
    Table table;
    QString hexPath;

    Exchange writeExchange()
    {
        auto start = [this] {
            h->sim.writer().eraseAll();
            settings::stored().ConfigWord = 26;
            f->HexFileName->setText(hexPath);
            h->modalActions.push_back(pressOk);
            h->modalActions.push_back(confirmConfig);
            f->WriteCommand->click();
        };
        auto normal = [this, start](QStringList &p) {
            start();
            if (h->messageTexts() != QStringList{kWritten}) p << QStringLiteral("normal write: %1").arg(h->messageTexts().join(" | "));
            const auto &pic = h->sim.writer();
            if (pic.program[0] != 0x0123 || pic.program[1] != 0x3FFF || pic.program[2] != 0x2805 || pic.configWord() != 26)
                p << QStringLiteral("normal write left the wrong memory");
        };
        return operation(*h, QStringLiteral("program write"), kOpTimeout, start, normal);
    }

private slots:
    void initTestCase()
    {
        h = std::make_unique<Harness>();
        f = startQuiet(*h);
        QVERIFY(f && f->MSComm1->isOpen());
        // Words 0 and 2: a "D", an "I" over word 1, a "D", then "G".
        hexPath = h->writeFile(QStringLiteral("prog.hex"),
                               hexRecord(0, hexWords({0x0123})) + hexRecord(4, hexWords({0x2805})) + ":00000001FF\r\n");
    }

    void cleanupTestCase()
    {
        table.publish(QStringLiteral("Program write"));
        h.reset();
    }

    // Replies: 0 "c", 1 "w" to "W", 2 "w" to "D", 3 "w" to word 0, 4 "i" to "I", 5 "w" to the
    // skip count, 6 "w" to "D", 7 "w" to word 2, 8 "g" to "G", 9 "w" to the configuration word.
    void programWrite_data()
    {
        QTest::addColumn<Case>("c");
        QTest::addColumn<Expect>("e");
        addRow({Kind::Unpowered, 0}, {{kPowerOff}, 0, {}});
        addRow({Kind::Silence, 0}, {{kTimeout, kTimeout, kWriterError}, 2 * kOpTimeout,
                                    QStringLiteral("both waits time out, the dialog closes")});
        addRow({Kind::Silence, 1}, {{kTimeout, kWriterError}, kOpTimeout, {}});
        for (int at = 2; at <= 9; ++at) addRow({Kind::Silence, at}, {{kTimeout, kWriteError}, kOpTimeout, {}});
        addRow({Kind::WrongReply, 0}, {{kWritten}, 0, QStringLiteral("the opening reply is not checked")});
        addRow({Kind::WrongReply, 1}, {{kWriterError}, 0, {}});
        for (int at = 2; at <= 9; ++at) addRow({Kind::WrongReply, at}, {{kWriteError}, 0, {}});
        addRow({Kind::Noise, 0}, {{kWritten}, 0, QStringLiteral("the opening reply is not checked")});
        addRow({Kind::Noise, 1}, {{kWriterError}, 0, {}});
        for (int at : {2, 9}) addRow({Kind::Noise, at}, {{kWriteError}, 0, {}});
        addRow({Kind::HangUp, 5}, {{kWriteError}, 0, {}});
        addRow({Kind::Slow, 1}, {{kTimeout, kWriterError}, kOpTimeout, {}});
    }
    void programWrite()
    {
        QFETCH(Case, c);
        QFETCH(Expect, e);
        const QStringList problems = runCase(*h, table, writeExchange(), c, e);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
    }
};

QTEST_MAIN(TestFaultsWrite)
#include "tst_e2e_faults_write.moc"
