// SPDX-License-Identifier: GPL-3.0-or-later
// Fault matrix: the "/F" start, which writes the whole data EEPROM from a data file after one
// click and ends the program however it ends. Every case is a program run of its own: the
// messages, the time taken, the program's end with the port closed and the link free, and then
// a fresh start whose normal write succeeds. The write has no time-out by design: a writer
// that stops answering leaves the window waiting, and closing it ends the program.

#include "gui/frmeepromwrite.h"
#include "support/faultmatrix.h"

#include <QPointer>
#include <QTest>

using namespace faults;

namespace {

const QString kDone = QStringLiteral("書込みが終了しました");
const QString kNoPower = QStringLiteral("PICマイコンボードの電源が入っていません。\r\nもう一度操作してください。");
const QString kCommFailure = QStringLiteral("ライタとの通信に失敗しました。\r\nもう一度操作してください。");

// How long a silent case waits before the user closes the window.
constexpr int kUserWaitsMs = 1500;
constexpr int kSlowMs = 800;

// Reply positions: 0 "m" to "M", then one per data byte: 1 to 63 "m", 64 "a".
constexpr int kLastByte = 64;

}  // namespace

class TestFaultsDataFile : public QObject {
    Q_OBJECT

    Table table;

    static QByteArray dataFile(std::array<uint8_t, 64> &values)
    {
        QByteArray text;
        for (int n = 0; n < 64; ++n) {
            values[size_t(n)] = uint8_t((n * 29 + 7) & 0xFF);
            text += QByteArray::number(n) + "," + QByteArray::number(values[size_t(n)]) + "\r\n";
        }
        return text;
    }

    // A program started with "/F", up to the moment its window waits for the click.
    struct Run {
        Harness h;
        FormMain *f = nullptr;
        QPointer<frmEEPROMwrite> w;
        std::array<uint8_t, 64> values{};
        bool start()
        {
            const QString path = h.writeFile(QStringLiteral("eeprom data.txt"), dataFile(values));
            f = startQuiet(h, {QStringLiteral("/F"), path});
            w = FrmEEPROMwrite();
            return f && w && w->isVisible() && !h.ended() && h.messages.isEmpty();
        }
    };

    void runCase(const Case &c, const Expect &e)
    {
        QStringList problems;
        qint64 ms = 0;
        QStringList texts;
        int lost = 0;
        bool waited = false;
        {
            Run r;
            QVERIFY(r.start());
            apply(r.h, c, kSlowMs);
            // A writer that stops answering: the user looks, then closes the window.
            int sentBeforeClose = -1;
            if (c.kind == Kind::Silence) {
                QTimer::singleShot(kUserWaitsMs, r.w, [&] {
                    waited = !r.h.ended() && r.w->isVisible() && !r.w->Command1->isEnabled() && r.h.messages.isEmpty();
                    sentBeforeClose = int(r.h.hostBytes().size());
                    r.w->close();
                });
            }
            QElapsedTimer t;
            t.start();
            r.w->Command1->click();
            ms = t.elapsed();
            if (c.kind == Kind::HangUp) r.h.waitFor([&] { return countPortLost(r.h.messages) > 0; }, 1000);
            QTest::qWait(30);
            texts = textsWithoutPortLost(r.h.messages);
            lost = countPortLost(r.h.messages);

            if (texts != e.messages)
                problems << QStringLiteral("messages [%1], expected [%2]").arg(texts.join(" | "), e.messages.join(" | "));
            // The program has already ended when a lost line's notice could come; it may or may not.
            if (lost > (c.kind == Kind::HangUp ? 1 : 0)) problems << QStringLiteral("%1 port-lost notices").arg(lost);
            const qint64 bound = (c.kind == Kind::Silence ? kUserWaitsMs : 0) + e.timeoutMs + 1000;
            if (ms > bound) problems << QStringLiteral("took %1 ms, more than %2").arg(ms).arg(bound);
            if (ms < e.timeoutMs - 30) problems << QStringLiteral("ended after %1 ms, sooner than it could").arg(ms);
            if (!r.h.ended()) problems << QStringLiteral("the program did not end");
            if (r.f->MSComm1->isOpen()) problems << QStringLiteral("the port stays open");
            if (r.f->MSComm1->busy()) problems << QStringLiteral("link still held by %1").arg(r.f->MSComm1->busyOwner());
            if (r.f->MSComm1->binaryMode()) problems << QStringLiteral("link left in binary mode");
            if (r.w && r.w->isVisible()) problems << QStringLiteral("the window stays open");
            if (c.kind == Kind::Silence) {
                if (!waited) problems << QStringLiteral("the window was not waiting, responsive, without a message");
                if (int(r.h.hostBytes().size()) != sentBeforeClose) problems << QStringLiteral("bytes sent after the window closed");
            }
        }
        QString note = e.note;
        if (c.kind == Kind::Silence && waited) note = QStringLiteral("waits (no time-out by design); closing the window ends the program");
        Row row{QStringLiteral("data EEPROM write from a file (\"/F\")"), kindName(c.kind), c.kind == Kind::Unpowered ? -1 : c.at,
                describe(texts, lost, note.isEmpty() ? QStringLiteral("the program ends")
                                      : note.contains(QStringLiteral("ends the program")) ? note
                                                                                          : note + QStringLiteral("; the program ends")),
                ms, false};

        // The next start, with a sound writer, writes the file.
        {
            Run r;
            QVERIFY(r.start());
            r.w->Command1->click();
            if (r.h.messageTexts() != QStringList{kDone}) problems << QStringLiteral("next start: %1").arg(r.h.messageTexts().join(" | "));
            if (!r.h.ended()) problems << QStringLiteral("next start did not end");
            for (int a = 0; a < 64; ++a)
                if (r.h.sim.writer().eeprom[size_t(a)] != r.values[size_t(a)]) {
                    problems << QStringLiteral("next start wrote the wrong byte at %1").arg(a);
                    break;
                }
        }
        row.passed = problems.isEmpty();
        table.add(row);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
    }

private slots:
    void cleanupTestCase() { table.publish(QStringLiteral("Data EEPROM write from a file (\"/F\")")); }

    void dataFileWrite_data()
    {
        QTest::addColumn<Case>("c");
        QTest::addColumn<Expect>("e");
        addRow({Kind::Unpowered, 0}, {{kNoPower}, 0, {}});
        for (int at : {0, 32, kLastByte}) addRow({Kind::Silence, at}, {{}, 0, {}});
        for (int at : {0, 1, kLastByte}) addRow({Kind::WrongReply, at}, {{kCommFailure}, 0, {}});
        for (int at : {0, 1, kLastByte}) addRow({Kind::Noise, at}, {{kCommFailure}, 0, {}});
        addRow({Kind::HangUp, 32}, {{kCommFailure}, 0, {}});
        addRow({Kind::Slow, kLastByte}, {{kDone}, kSlowMs, QStringLiteral("completes late: no time-out by design")});
    }
    void dataFileWrite()
    {
        QFETCH(Case, c);
        QFETCH(Expect, e);
        runCase(c, e);
    }
};

QTEST_MAIN(TestFaultsDataFile)
#include "tst_e2e_faults_datafile.moc"
