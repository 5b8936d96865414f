// SPDX-License-Identifier: GPL-3.0-or-later
// The program memory window over the simulated writer: the file alone, the PIC alone after a
// read, both side by side from the verify result, and no stale PIC after a read that failed.

#include "gui/frmprogrammemory.h"
#include "gui/frmreadwrite.h"
#include "gui/frmverify.h"
#include "gui/windowtimer.h"
#include "support/harness.h"
#include "support/hexfiles.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>

using hexfiles::kEnd;
using hexfiles::rec;
using hexfiles::words;

namespace {

std::function<void(QDialog *)> pressOk()
{
    return [](QDialog *d) {
        auto *rw = qobject_cast<frmReadWrite *>(d);
        QVERIFY(rw);
        rw->cmdOK->click();
    };
}

void runRead(Harness &h, const QString &saveAs)
{
    h.modalActions.push_back(pressOk());
    h.fileAnswers.push_back(saveAs);
    h.form->ReadCommand_Click();
}

// Column c of every row, as the window shows it.
QStringList column(frmProgramMemory *w, int c)
{
    QStringList out;
    for (int r = 0; r < w->Table->rowCount(); ++r) out << (w->Table->item(r, c) ? w->Table->item(r, c)->text() : QString());
    return out;
}

QString currentAddress(frmProgramMemory *w) { return w->Table->item(w->Table->currentRow(), 0)->text(); }

}  // namespace

class TestProgramMemory : public QObject {
    Q_OBJECT
private slots:
    void init() { programmemory::forgetPic(); }

    // The file as the write takes it: nothing sent, a word past 3FFh told.
    void fileOnly()
    {
        Harness h;
        FormMain *f = h.startQuiet();
        const QString path = h.writeFile(QStringLiteral("f.hex"), rec(0, words({0x2805, 0x3FFF, 0x0186})) + rec(0x400E, words({0x3FF1}))
                                                                       + rec(0x800, words({0x0000})) + kEnd);
        f->HexFileName->setText(path);
        h.clearWire();
        f->menu_memory_view->trigger();
        frmProgramMemory *w = FrmProgramMemory();
        QVERIFY(w->isVisible());
        QCOMPARE(w->Source->text(), QStringLiteral("ファイル: ") + path);
        QVERIFY2(w->Notes->text().contains(QStringLiteral("0400h はプログラムメモリ")), qPrintable(w->Notes->text()));
        QCOMPARE(column(w, 0), (QStringList{"0000h", "0001h", "0002h", "0003h–03FFh 未使用 (3FFF)", "2007h"}));
        QCOMPARE(column(w, 2).mid(0, 3), (QStringList{"goto    0x0005", "addlw   0xFF", "clrf    0x06"}));
        QVERIFY(column(w, 2).last().startsWith(QStringLiteral("オシレータ XT、ウォッチドッグタイマ OFF")));
        QVERIFY(!w->cmdNext->isEnabled());
        QCOMPARE(h.hostBytes(), QByteArray());
        QVERIFY(h.messages.isEmpty());
    }

    // After a read, the PIC as it was read; opening the window reads nothing more.
    void picOnlyAfterARead()
    {
        Harness h;
        FormMain *f = h.startQuiet();
        h.sim.writer().program[0] = 0x2805;
        h.sim.writer().program[5] = 0x0186;
        runRead(h, h.path(QStringLiteral("r.hex")));
        h.clearWire();
        h.messages.clear();
        f->HexFileName->setText(QString());
        f->menu_memory_view->trigger();
        frmProgramMemory *w = FrmProgramMemory();
        QVERIFY(w->isVisible());
        QVERIFY2(QRegularExpression(QStringLiteral("^PIC \\(\\d\\d:\\d\\d に読出し\\)$")).match(w->Source->text()).hasMatch(),
                 qPrintable(w->Source->text()));
        QCOMPARE(column(w, 0).mid(0, 7), (QStringList{"0000h", "0001h", "0002h", "0003h", "0004h", "0005h", "0006h–03FFh 未使用 (3FFF)"}));
        QCOMPARE(column(w, 1).at(5), QStringLiteral("0186"));
        QCOMPARE(w->Table->rowCount(), 7 + 8);
        QCOMPARE(h.hostBytes(), QByteArray());

        // Found by address; an address it does not show is told.
        w->FindAddress->setText(QStringLiteral("2007h"));
        w->cmdFind->click();
        QCOMPARE(currentAddress(w), QStringLiteral("2007h"));
        w->FindAddress->setText(QStringLiteral("0x120"));
        w->cmdFind->click();
        QCOMPARE(currentAddress(w), QStringLiteral("0006h–03FFh 未使用 (3FFF)"));
        w->FindAddress->setText(QStringLiteral("1234"));
        w->cmdFind->click();
        QCOMPARE(h.messages.size(), 1);
        QVERIFY(h.messages[0].text.contains(QStringLiteral("「1234」")));
    }

    // From the verify result: file and PIC side by side, at the line's address, the
    // differences stepped through, copied and saved.
    void bothFromTheVerifyResult()
    {
        Harness h;
        FormMain *f = h.startQuiet();
        f->HexFileName->setText(h.writeFile(QStringLiteral("v.hex"), rec(0, words({0x2805, 0x0123, 0x3FFF, 0x0456}))
                                                                          + rec(0x400E, words({0x3FF1})) + kEnd));
        auto &pic = h.sim.writer();
        pic.program[0] = 0x2805;
        pic.program[1] = 0x0103;
        pic.program[3] = 0x0457;
        pic.idConfig[7] = 0x11;
        const QString saved = h.path(QStringLiteral("list.txt"));
        int differences = -1;
        QStringList stops, addresses;
        QString copied, source, clicked;
        h.modalActions.push_back(pressOk());
        h.modalActions.push_back([&](QDialog *d) {
            auto *v = qobject_cast<frmVerify *>(d);
            QVERIFY(v);
            // A double click on the first line (0001h) opens the window there.
            h.modalActions.push_back([&](QDialog *m) { clicked = currentAddress(qobject_cast<frmProgramMemory *>(m)); });
            const QRect first = v->List->cursorRect(QTextCursor(v->List->document()->findBlockByNumber(0)));
            QTest::mouseDClick(v->List->viewport(), Qt::LeftButton, {}, first.center());
            v->List->setTextCursor(QTextCursor(v->List->document()->findBlockByNumber(1)));  // 0003h
            h.modalActions.push_back([&](QDialog *m) {
                auto *w = qobject_cast<frmProgramMemory *>(m);
                QVERIFY(w);
                source = w->Source->text();
                differences = w->differences();
                addresses = column(w, 0);
                stops << currentAddress(w);
                w->cmdNext->click();  // past the last one, round to the first
                stops << currentAddress(w);
                w->cmdNext->click();
                stops << currentAddress(w);
                w->cmdPrevious->click();
                stops << currentAddress(w);
                w->cmdCopy->click();
                copied = QApplication::clipboard()->text();
                h.fileAnswers.push_back(saved);
                w->cmdSave->click();
            });
            v->cmdMemory->click();
        });
        f->menu_memory_v->trigger();
        QCOMPARE(h.hostBytes().left(2), QByteArray("CR"));
        QVERIFY2(source.startsWith(QStringLiteral("ファイル: ") + f->HexFileName->text() + QStringLiteral("\nPIC (")), qPrintable(source));
        QVERIFY(source.endsWith(QStringLiteral("に照合)")));
        QCOMPARE(clicked, QStringLiteral("0001h"));
        QCOMPARE(differences, 2);
        QCOMPARE(addresses.mid(0, 5), (QStringList{"0000h", "0001h", "0002h", "0003h", "0004h–03FFh 未使用 (3FFF)"}));
        QCOMPARE(stops, (QStringList{"0003h", "0001h", "0003h", "0001h"}));
        QVERIFY2(copied.contains(QStringLiteral("*  0001h  0123  dw      0x0123")) && copied.contains(QStringLiteral("0103  clrw")),
                 qPrintable(copied));
        QVERIFY(copied.contains(QStringLiteral("ファイルとPICで違うところ: 2 か所")));
        QFile file(saved);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()), copied);
    }

    // A read that fails leaves no picture of the PIC behind: the last one would be stale.
    void failedReadShowsNothingStale()
    {
        Harness h;
        FormMain *f = h.startQuiet();
        runRead(h, h.path(QStringLiteral("ok.hex")));
        QVERIFY(programmemory::picAtHand());
        // The window open on file and PIC: the PIC goes from it at once.
        const QString file = h.writeFile(QStringLiteral("f.hex"), rec(0, words({0x2805})) + kEnd);
        f->HexFileName->setText(file);
        f->menu_memory_view->trigger();
        frmProgramMemory *w = FrmProgramMemory();
        QVERIFY(w->Source->text().contains(QStringLiteral("\nPIC (")));
        FrmReadWrite()->Timer1->setInterval(300);
        h.sim.writer().setFault({sim::Fault::Silence, 2 + 51, {}, 0});
        runRead(h, h.path(QStringLiteral("x.hex")));
        QVERIFY(!programmemory::picAtHand());
        QCOMPARE(w->Source->text(), QStringLiteral("ファイル: ") + file);
        QCOMPARE(w->Table->columnCount(), 3);
        w->close();
        h.messages.clear();
        f->HexFileName->setText(QString());
        f->menu_memory_view->trigger();
        QCOMPARE(h.messages.size(), 1);
        QVERIFY(h.messages[0].text.startsWith(QStringLiteral("表示するプログラムがありません")));
        QVERIFY(!w->isVisible());
    }
};

QTEST_MAIN(TestProgramMemory)
#include "tst_e2e_programmemory.moc"
