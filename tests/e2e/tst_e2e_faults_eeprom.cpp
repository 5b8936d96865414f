// SPDX-License-Identifier: GPL-3.0-or-later
// Fault matrix: the data EEPROM view's read, its erase and the single-byte write of the entry
// dialog, against a simulated writer that misbehaves in every way it can. Every case checks the
// messages, which cells of the grid show what, what the dialog shows, what the modelled EEPROM
// holds after an erase or a write, whether the view read back, the time taken, the link back in
// text mode and free, the buttons usable again, and then that a normal run of the same exchange
// succeeds.

#include "gui/frmeeprom.h"
#include "gui/frminput.h"
#include "core/link/sevenbit.h"
#include "support/faultmatrix.h"

#include <QPointer>
#include <QTest>

using namespace faults;

namespace {

const QString kPowerOff = QStringLiteral("PICマイコンボードの電源が入っていません。\r\n電源を入れて、もう一度クリックしてください。");
const QString kViewFailed = QStringLiteral("ライタとの通信に失敗しました。\r\nケーブルの確認をしてから、もう一度クリックしてください。");
const QString kEntryPowerOff = QStringLiteral("PICマイコンボードの電源が入っていません");
const QString kEntryFailedAtV = QStringLiteral("ライタとの通信に失敗しました\r\nケーブルの確認をして、もう一度クリックしてください。");
const QString kEntryFailed = QStringLiteral("ライタとの通信に失敗しました。\r\nケーブルの確認をして、もう一度クリックしてください。");

constexpr int kViewTimeout = 300;   // the view's 1000 ms, shortened but for one case
constexpr int kEntryTimeout = 300;  // the entry dialog's 3000 ms, shortened but for one case
constexpr int kErasePauses = 300 + 1000;  // the sleep after "F" and the pause after "a"
constexpr int kEntryAddress = 0x12;       // grid row 2, column 3

// Reply positions of the read: 0 "x", then the 128 data bytes from 1 to 128 (pair k at 2k+1, 2k+2).
constexpr int kLastData = 128;

// The grid after a read: the first n cells show the PIC's bytes; a read that stops empties the
// cells it did not reach, while a failure before any read leaves the grid as it was.
QString cellsShown(int n, bool emptied = true)
{
    const QString rest = emptied ? QStringLiteral("empty") : QStringLiteral("unchanged");
    if (n == 64) return QStringLiteral("all 64 cells read");
    if (n == 0) return QStringLiteral("no cell read, all ") + rest;
    const QString after = n == 63 ? QStringLiteral("cell 63") : QStringLiteral("cells %1–63").arg(n);
    return QStringLiteral("cells 0–%1 read, %2 %3").arg(n - 1).arg(after, rest);
}

}  // namespace

class TestFaultsEeprom : public QObject {
    Q_OBJECT

    std::unique_ptr<Harness> h;
    FormMain *f = nullptr;
    QPointer<frmEPROM> v;
    Table table;
    std::unique_ptr<HangUpWhen> hangUp;
    int nextValue = 0x40;

    uint8_t pattern(int a) const { return uint8_t((a * 37 + 11) & 0xFF); }

    QString cell(int a) const { return v->Grid1->item(a / 16 + 1, a % 16 + 1)->text(); }
    void blankGrid()
    {
        for (int a = 0; a < 64; ++a) v->Grid1->item(a / 16 + 1, a % 16 + 1)->setText(QStringLiteral("*"));
    }
    QString picByte(int a) const { return QStringLiteral("%1").arg(h->sim.writer().eeprom[size_t(a)], 2, 16, QLatin1Char('0')).toUpper(); }
    // Cells from address 0 on that show the simulated PIC's byte.
    int cellsRead() const
    {
        int n = 0;
        while (n < 64 && cell(n) == picByte(n)) ++n;
        return n;
    }
    // Which cells show what: read from address 0 on, then all empty or all as blankGrid() left
    // them.
    QString gridShown() const
    {
        const int n = cellsRead();
        if (n == 64) return cellsShown(n);
        const QString rest = cell(n);
        for (int a = n; a < 64; ++a)
            if (cell(a) != rest || (rest != QLatin1String("*") && !rest.isEmpty()))
                return QStringLiteral("cells 0–%1 read, then cell %2 shows \"%3\"").arg(n - 1).arg(a).arg(cell(a));
        return cellsShown(n, rest.isEmpty());
    }
    void viewIdle(QStringList &p)
    {
        if (!v) {
            p << QStringLiteral("the view went away");
            return;
        }
        if (!v->isVisible()) p << QStringLiteral("the view closed");
        if (v->running()) p << QStringLiteral("the view still runs an exchange");
        if (!v->cmdRefresh->isEnabled() || !v->cmdEraseAll->isEnabled()) p << QStringLiteral("the view's buttons stay disabled");
        if (v->Timer1->isActive()) p << QStringLiteral("the view's time-out still running");
    }

    Exchange readExchange(int timerMs)
    {
        Exchange x;
        x.name = QStringLiteral("data EEPROM read (Refresh)");
        x.slowMs = timerMs + 200;
        x.run = [this, timerMs] {
            for (int a = 0; a < 64; ++a) h->sim.writer().eeprom[size_t(a)] = pattern(a);
            blankGrid();
            v->Timer1->setInterval(timerMs);
            v->cmdRefresh->click();
            hangUp.reset();
            h->sim.writer().responder = nullptr;
            return gridShown();
        };
        x.idle = [this](QStringList &p) { viewIdle(p); };
        x.normal = [this](QStringList &p) {
            blankGrid();
            v->Timer1->setInterval(kViewTimeout);
            v->cmdRefresh->click();
            if (!h->messages.isEmpty()) p << QStringLiteral("normal read: %1").arg(h->messageTexts().join(" | "));
            if (gridShown() != cellsShown(64)) p << QStringLiteral("normal read: %1").arg(gridShown());
            if (!v->Label2->text().isEmpty()) p << QStringLiteral("normal read left the status line");
        };
        // A hang-up in the middle: the writer sends the bytes before the position, and the line
        // hangs up once the program has taken them (a hang-up discards what the driver holds).
        x.injectFault = [this](const Case &c) {
            if (c.kind != Kind::HangUp) return false;
            h->sim.writer().responder = [at = c.at](uint8_t byte, sim::SimWriter &w) -> std::optional<QByteArray> {
                if (byte != 'X') return std::nullopt;
                QByteArray reply("x");
                for (uint8_t b : w.eeprom) reply += SevenBitGroup::byte8(b);
                return reply.left(at);
            };
            hangUp = std::make_unique<HangUpWhen>(*h, [this, at = c.at] { return cellsRead() >= (at - 1) / 2; });
            return true;
        };
        return x;
    }

    Exchange eraseExchange()
    {
        Exchange x;
        x.name = QStringLiteral("data EEPROM erase (DATA Clear)");
        x.fixedMs = kErasePauses;
        x.slowMs = 300 + kViewTimeout + 200;
        auto run = [this] {
            for (int a = 0; a < 64; ++a) h->sim.writer().eeprom[size_t(a)] = pattern(a);
            blankGrid();
            v->Timer1->setInterval(kViewTimeout);
            h->answers.push_back(QMessageBox::Yes);
            v->cmdEraseAll->click();
            int erased = 0;
            for (int a = 0; a < 64; ++a) erased += cell(a) == QLatin1String("FF") ? 1 : 0;
            return (erased == 64 ? QStringLiteral("grid shows the erased EEPROM") : gridShown()) + QStringLiteral("; ") + eepromState();
        };
        x.run = run;
        x.idle = [this](QStringList &p) { viewIdle(p); };
        x.normal = [this, run](QStringList &p) {
            const QString shown = run();
            // The question is the only message of a good erase.
            if (h->messageTexts() != QStringList{QStringLiteral("EEP-ROMデータエリアを全消去しますか")})
                p << QStringLiteral("normal erase: %1").arg(h->messageTexts().join(" | "));
            if (shown != QStringLiteral("grid shows the erased EEPROM; EEPROM erased")) p << QStringLiteral("normal erase: %1").arg(shown);
        };
        return x;
    }

    // The modelled EEPROM after an erase: every byte erased, or all as they were set.
    QString eepromState() const
    {
        int erased = 0, kept = 0;
        for (int a = 0; a < 64; ++a) {
            erased += h->sim.writer().eeprom[size_t(a)] == 0xFF ? 1 : 0;
            kept += h->sim.writer().eeprom[size_t(a)] == pattern(a) ? 1 : 0;
        }
        if (erased == 64) return QStringLiteral("EEPROM erased");
        if (kept == 64) return QStringLiteral("EEPROM not erased");
        return QStringLiteral("EEPROM: %1 bytes erased, %2 kept").arg(erased).arg(kept);
    }

    struct EntryRun {
        bool opened = false;
        bool stayedOpen = false;
        bool usable = false;
    };
    EntryRun entry;

    // Opens the entry dialog on the cell and writes `value` there.
    void writeByte(int value, int entryTimer)
    {
        entry = EntryRun();
        v->Timer1->setInterval(kViewTimeout);
        v->Grid1->setCurrentCell(kEntryAddress / 16 + 1, kEntryAddress % 16 + 1);
        h->modalActions.push_back([this, value, entryTimer](QDialog *d) {
            auto *in = qobject_cast<frmInput *>(d);
            if (!in) return;
            entry.opened = true;
            in->Timer1->setInterval(entryTimer);
            in->Data1->setText(QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')));
            in->cmdWrite->click();
            entry.stayedOpen = in->isVisible();
            entry.usable = in->cmdWrite->isEnabled() && in->cmdClose->isEnabled();
        });
        v->Grid1_DblClick();
    }

    Exchange entryExchange(int entryTimer)
    {
        Exchange x;
        x.name = QStringLiteral("single-byte write (entry dialog)");
        x.fixedMs = 500;
        x.slowMs = entryTimer + 200;
        x.run = [this, entryTimer] {
            h->sim.writer().eeprom[kEntryAddress] = 0;
            writeByte(0x5A, entryTimer);
            QString s = entry.stayedOpen ? QStringLiteral("dialog stays open") : QStringLiteral("dialog closed");
            if (h->sim.writer().eeprom[kEntryAddress] == 0x5A) s += QStringLiteral(", byte written");
            // The view reads the EEPROM again once the writer has taken the address.
            const QByteArray sent = h->hostBytes();
            if (sent.indexOf('X', std::max<qsizetype>(0, sent.indexOf('V'))) > 0) s += QStringLiteral("; the view read back");
            return s;
        };
        x.idle = [this](QStringList &p) {
            if (!entry.opened) p << QStringLiteral("the entry dialog did not open");
            if (entry.stayedOpen && !entry.usable) p << QStringLiteral("the entry dialog's buttons stay disabled");
            viewIdle(p);
        };
        x.normal = [this](QStringList &p) {
            const int value = nextValue++ & 0xFF;
            writeByte(value, kEntryTimeout);
            if (!h->messages.isEmpty()) p << QStringLiteral("normal write: %1").arg(h->messageTexts().join(" | "));
            if (entry.stayedOpen) p << QStringLiteral("normal write left the dialog open");
            if (h->sim.writer().eeprom[kEntryAddress] != value) p << QStringLiteral("normal write did not reach the EEPROM");
            if (cell(kEntryAddress) != QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper())
                p << QStringLiteral("normal write: the grid shows %1").arg(cell(kEntryAddress));
        };
        return x;
    }

    void check(const QStringList &problems) { QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; ")))); }

private slots:
    void initTestCase()
    {
        h = std::make_unique<Harness>();
        f = startQuiet(*h);
        QVERIFY(f && f->MSComm1->isOpen());
        f->EPROMCommand1->click();
        v = LoadedFrmEPROM();
        QVERIFY(v);
        QVERIFY(h->waitFor([&] { return h->hostBytes().contains('X') && !v->running(); }, 5000));
        QVERIFY(h->messages.isEmpty());
    }

    void cleanupTestCase()
    {
        table.publish(QStringLiteral("Data EEPROM read, erase and single-byte write"));
        h.reset();
    }

    void eepromRead_data()
    {
        QTest::addColumn<Case>("c");
        QTest::addColumn<Expect>("e");
        const QString silent = QStringLiteral("read stops there, no message by design");
        // Pairs complete before the byte at position p: (p - 1) / 2.
        auto before = [](int p) { return cellsShown((p - 1) / 2); };
        addRow({Kind::Unpowered, 0}, {{kPowerOff}, 0, {}, cellsShown(0)});
        addRow({Kind::Silence, 0, 1000}, {{kViewFailed}, 1000, {}, cellsShown(0)});
        for (int at : {1, 2, 64, kLastData}) addRow({Kind::Silence, at}, {{kViewFailed}, kViewTimeout, {}, before(at)});
        addRow({Kind::WrongReply, 0}, {{kViewFailed}, 0, {}, cellsShown(0)});
        for (int at : {1, 2, 64, kLastData}) addRow({Kind::WrongReply, at}, {{}, 0, silent, before(at)});
        for (int at : {1, 2, 64, kLastData}) addRow({Kind::ClearBit7, at}, {{}, 0, silent, before(at)});
        addRow({Kind::Noise, 0}, {{kViewFailed}, 0, {}, cellsShown(0)});
        for (int at : {1, 64, kLastData}) addRow({Kind::Noise, at}, {{}, 0, silent, before(at)});
        addRow({Kind::HangUp, 64}, {{kViewFailed}, 0, {}, before(64)});
        addRow({Kind::Slow, kLastData}, {{kViewFailed}, kViewTimeout, {}, before(kLastData)});
    }
    void eepromRead()
    {
        QFETCH(Case, c);
        QFETCH(Expect, e);
        check(runCase(*h, table, readExchange(c.timerMs ? c.timerMs : kViewTimeout), c, e));
    }

    // Replies: 0 "a" to "F", then the read-back: 1 "x", 2 its first data byte.
    void eepromErase_data()
    {
        QTest::addColumn<Case>("c");
        QTest::addColumn<Expect>("e");
        const QString question = QStringLiteral("EEP-ROMデータエリアを全消去しますか");
        // The writer erases as "F" reaches it, before it answers.
        // A failure before the read-back leaves the grid as it was; one in it empties the grid.
        const QString before = cellsShown(0, false) + QStringLiteral("; EEPROM erased");
        const QString during = cellsShown(0) + QStringLiteral("; EEPROM erased");
        addRow({Kind::Unpowered, 0}, {{question, kPowerOff}, 0, {}, cellsShown(0, false) + QStringLiteral("; EEPROM not erased")});
        addRow({Kind::Silence, 0}, {{question, kViewFailed}, kViewTimeout, {}, before});
        addRow({Kind::Silence, 1}, {{question, kViewFailed}, 1000, {}, during});
        addRow({Kind::WrongReply, 0}, {{question, kViewFailed}, 0, {}, before});
        addRow({Kind::WrongReply, 1}, {{question, kViewFailed}, 0, {}, during});
        addRow({Kind::Noise, 0}, {{question, kViewFailed}, 0, QStringLiteral("neither of the two takes is \"a\""), before});
        addRow({Kind::Noise, 1}, {{question, kViewFailed}, 0, {}, during});
        addRow({Kind::HangUp, 0}, {{question, kViewFailed}, 0, {}, before});
        addRow({Kind::Slow, 0}, {{question, kViewFailed}, kViewTimeout, {}, before});
    }
    void eepromErase()
    {
        QFETCH(Case, c);
        QFETCH(Expect, e);
        check(runCase(*h, table, eraseExchange(), c, e));
    }

    // Replies: 0 "v" to "V", 1 "v" to the address, 2 "a" to the value, then the view's
    // read-back: 3 "x".
    void singleByteWrite_data()
    {
        QTest::addColumn<Case>("c");
        QTest::addColumn<Expect>("e");
        const QString open = QStringLiteral("dialog stays open");
        const QString reread = QStringLiteral("dialog stays open; the view read back");
        const QString rereadWritten = QStringLiteral("dialog stays open, byte written; the view read back");
        const QString closedWritten = QStringLiteral("dialog closed, byte written; the view read back");
        addRow({Kind::Unpowered, 0}, {{kEntryPowerOff}, 0, {}, open});
        addRow({Kind::Silence, 0, 3000}, {{kEntryFailedAtV}, 3000, {}, open});
        addRow({Kind::Silence, 1}, {{kEntryFailed, kViewFailed}, kEntryTimeout + kViewTimeout, {}, reread});
        addRow({Kind::Silence, 2}, {{kEntryFailed, kViewFailed}, kEntryTimeout + kViewTimeout, {}, rereadWritten});
        addRow({Kind::Silence, 3}, {{kViewFailed}, kViewTimeout, {}, closedWritten});
        addRow({Kind::WrongReply, 0}, {{kEntryFailedAtV}, 0, {}, open});
        addRow({Kind::WrongReply, 1}, {{kEntryFailed}, 0, {}, reread});
        addRow({Kind::WrongReply, 2}, {{kEntryFailed}, 0, {}, rereadWritten});
        addRow({Kind::WrongReply, 3}, {{kViewFailed}, 0, {}, closedWritten});
        addRow({Kind::Noise, 0}, {{kEntryFailedAtV}, 0, {}, open});
        addRow({Kind::Noise, 1}, {{kEntryFailed}, 0, {}, reread});
        addRow({Kind::Noise, 2}, {{kEntryFailed}, 0, {}, rereadWritten});
        addRow({Kind::Noise, 3}, {{kViewFailed}, 0, {}, closedWritten});
        // The view tries to read back, but the line is gone: nothing reaches the writer.
        addRow({Kind::HangUp, 1}, {{kEntryFailed, kViewFailed}, 0, {}, open});
        addRow({Kind::Slow, 0}, {{kEntryFailedAtV}, kEntryTimeout, {}, open});
    }
    void singleByteWrite()
    {
        QFETCH(Case, c);
        QFETCH(Expect, e);
        check(runCase(*h, table, entryExchange(c.timerMs ? c.timerMs : kEntryTimeout), c, e));
    }
};

QTEST_MAIN(TestFaultsEeprom)
#include "tst_e2e_faults_eeprom.moc"
