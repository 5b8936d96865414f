// SPDX-License-Identifier: GPL-3.0-or-later
// Fault matrix: the program write against a simulated writer that misbehaves in every way it
// can, at every reply position of a short file. Every case checks the messages, the time
// taken, what the modelled PIC holds afterwards (and that it agrees with how far the message
// says the write got), the link back in text mode and free, the windows usable again, and then
// that a normal write of the same file succeeds.

#include "core/messages.h"
#include "support/faultmatrix.h"

#include <QRegularExpression>
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

// The file: word 0 and word 2; the configuration word comes from the settings.
constexpr uint16_t kWord0 = 0x0123, kWord2 = 0x2805, kConfig = 26;

// What the modelled PIC holds, as the table says it.
const QString kNothing = QStringLiteral("PIC: nothing written");
const QString kFirst = QStringLiteral("PIC: word 0 written");
const QString kBoth = QStringLiteral("PIC: words 0, 2 written");
const QString kAll = QStringLiteral("PIC: words 0, 2 and the configuration word written");

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
            settings::stored().ConfigWord = kConfig;
            f->HexFileName->setText(hexPath);
            h->modalActions.push_back(pressOk);
            h->modalActions.push_back(confirmConfig);
            f->WriteCommand->click();
        };
        auto normal = [this, start](QStringList &p) {
            start();
            if (h->messageTexts() != QStringList{kWritten}) p << QStringLiteral("normal write: %1").arg(h->messageTexts().join(" | "));
            if (memory() != kAll) p << QStringLiteral("normal write left %1").arg(memory());
        };
        Exchange x = operation(*h, QStringLiteral("program write"), kOpTimeout, start, normal);
        auto run = x.run;
        x.run = [this, run] {
            run();
            return memory();
        };
        auto idle = x.idle;
        x.idle = [this, idle](QStringList &p) {
            idle(p);
            agreesWithMessage(p);
        };
        return x;
    }

    // The words of the file and the configuration word the PIC holds; anything else is named.
    QString memory() const
    {
        const auto &pic = h->sim.writer();
        QStringList words, stray;
        for (int a = 0; a < sim::kProgramWords; ++a) {
            const uint16_t w = pic.program[size_t(a)];
            if (w == sim::kErasedWord) continue;
            if ((a == 0 && w == kWord0) || (a == 2 && w == kWord2)) words << QString::number(a);
            else stray << QStringLiteral("%1h at word %2").arg(w, 4, 16, QLatin1Char('0')).arg(a);
        }
        for (int i = 0; i < sim::kIdConfigWords; ++i) {
            const uint16_t w = pic.idConfig[size_t(i)];
            if (w != sim::kErasedWord && !(i == 7 && w == kConfig)) stray << QStringLiteral("%1h at word %2h").arg(w, 4, 16, QLatin1Char('0')).arg(0x2000 + i, 0, 16);
        }
        QString s = QStringLiteral("PIC: ");
        if (words.isEmpty()) s += pic.configWord() == kConfig ? QStringLiteral("the configuration word written") : QStringLiteral("nothing written");
        else if (pic.configWord() == kConfig) s += QStringLiteral("words %1 and the configuration word written").arg(words.join(QStringLiteral(", ")));
        else s += (words.size() == 1 ? QStringLiteral("word %1 written") : QStringLiteral("words %1 written")).arg(words.join(QStringLiteral(", ")));
        if (!stray.isEmpty()) s += QStringLiteral("; also ") + stray.join(QStringLiteral(", "));
        return s;
    }

    // A write that stopped says in its detail how far it got: every word before that address
    // is written, none after it (the word at it may be, if its reply was what failed).
    void agreesWithMessage(QStringList &p) const
    {
        const auto &pic = h->sim.writer();
        const QRegularExpression before(QStringLiteral("アドレス ([0-9A-F]{4})h の手前まで書込み済みです。$"));
        for (const auto &m : h->messages) {
            if (m.detail == messages::kStoppedAtConfig && (pic.program[0] != kWord0 || pic.program[2] != kWord2))
                p << QStringLiteral("stopped at the configuration word, but the program words are not all written");
            const QRegularExpressionMatch got = before.match(m.detail);
            if (!got.hasMatch()) continue;
            const int n = got.captured(1).toInt(nullptr, 16);
            const std::pair<int, uint16_t> file[] = {{0, kWord0}, {2, kWord2}};
            for (const auto &[a, w] : file) {
                if (a < n && pic.program[size_t(a)] != w) p << QStringLiteral("word %1 not written, though the write got to %2").arg(a).arg(n);
                if (a > n && pic.program[size_t(a)] != sim::kErasedWord) p << QStringLiteral("word %1 written, though the write stopped at %2").arg(a).arg(n);
            }
            if (pic.configWord() != sim::kErasedWord) p << QStringLiteral("configuration word written, though the write stopped at %1").arg(n);
        }
    }

private slots:
    void initTestCase()
    {
        h = std::make_unique<Harness>();
        f = startQuiet(*h);
        QVERIFY(f && f->MSComm1->isOpen());
        // Words 0 and 2: a "D", an "I" over word 1, a "D", then "G".
        hexPath = h->writeFile(QStringLiteral("prog.hex"),
                               hexRecord(0, hexWords({kWord0})) + hexRecord(4, hexWords({kWord2})) + ":00000001FF\r\n");
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
        // What the PIC holds: the writer writes a word, or the configuration word, before it
        // answers, so a fault on that answer leaves it written.
        auto held = [](int at) { return at <= 2 ? kNothing : at <= 6 ? kFirst : at <= 8 ? kBoth : kAll; };
        addRow({Kind::Unpowered, 0}, {{kPowerOff}, 0, {}, kNothing});
        addRow({Kind::Silence, 0}, {{kTimeout, kTimeout, kWriterError}, 2 * kOpTimeout,
                                    QStringLiteral("both waits time out, the dialog closes"), kNothing});
        addRow({Kind::Silence, 1}, {{kTimeout, kWriterError}, kOpTimeout, {}, kNothing});
        for (int at = 2; at <= 9; ++at) addRow({Kind::Silence, at}, {{kTimeout, kWriteError}, kOpTimeout, {}, held(at)});
        addRow({Kind::WrongReply, 0}, {{kWritten}, 0, QStringLiteral("the opening reply is not checked"), kAll});
        addRow({Kind::WrongReply, 1}, {{kWriterError}, 0, {}, kNothing});
        for (int at = 2; at <= 9; ++at) addRow({Kind::WrongReply, at}, {{kWriteError}, 0, {}, held(at)});
        addRow({Kind::Noise, 0}, {{kWritten}, 0, QStringLiteral("the opening reply is not checked"), kAll});
        addRow({Kind::Noise, 1}, {{kWriterError}, 0, {}, kNothing});
        for (int at : {2, 9}) addRow({Kind::Noise, at}, {{kWriteError}, 0, {}, held(at)});
        addRow({Kind::HangUp, 5}, {{kWriteError}, 0, {}, held(5)});
        addRow({Kind::Slow, 1}, {{kTimeout, kWriterError}, kOpTimeout, {}, kNothing});
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
