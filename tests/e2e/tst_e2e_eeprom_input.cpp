// SPDX-License-Identifier: GPL-3.0-or-later
// The byte entry dialog against the simulated writer: entries, the "V" exchange, its
// failures and time-outs, keys, and closing it while it waits.

#include "gui/windowtimer.h"
#include "gui/frmeeprom.h"
#include "gui/frminput.h"
#include "core/link/programmerlink.h"
#include "support/eepromview.h"
#include "support/harness.h"

#include <QElapsedTimer>
#include <QTest>

namespace {
const QString kPowerOff = QStringLiteral("PICマイコンボードの電源が入っていません");
const QString kFailedV = QStringLiteral("ライタとの通信に失敗しました\r\nケーブルの確認をして、もう一度クリックしてください。");
const QString kFailed = QStringLiteral("ライタとの通信に失敗しました。\r\nケーブルの確認をして、もう一度クリックしてください。");
const QString kWriting = QStringLiteral("書込み中");

QString cellAt(frmEPROM *v, int address) { return v->Grid1->item(address / 16 + 1, address % 16 + 1)->text(); }

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int x : list) b.append(char(x));
    return b;
}

// Opens the entry dialog on a cell and runs `action` in it.
void openEntry(frmEPROM *v, Harness &h, int row, int column, std::function<void(frmInput *)> action)
{
    v->Grid1->setCurrentCell(row, column);
    h.modalActions.push_back([action](QDialog *d) {
        auto *in = qobject_cast<frmInput *>(d);
        QVERIFY(in);
        action(in);
    });
    v->Grid1_DblClick();
}

// A writer that answers "V" and then keeps quiet after the address byte.
std::optional<QByteArray> quietAfterAddress(uint8_t b, sim::SimWriter &)
{
    if (b == 'V') return QByteArray("v");
    if (b & 0x80) return QByteArray();
    return std::nullopt;
}
}  // namespace

class TestEepromInput : public QObject {
    Q_OBJECT
private slots:
    void dialogAsLoaded()
    {
        Harness h;
        frmEPROM *v = readyView(h);
        bool checked = false;
        openEntry(v, h, 2, 3, [&](frmInput *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Data Input"));
            QCOMPARE(d->size(), QSize(155, 77));
            QCOMPARE(d->Label1->text(), QStringLiteral("Add 12"));
            QCOMPARE(d->Label2->text(), QStringLiteral("Hex"));
            QCOMPARE(d->Label3->text(), QString());
            QCOMPARE(d->Data1->text(), QStringLiteral("FF"));
            QCOMPARE(d->Data1->selectedText(), QStringLiteral("FF"));
            QCOMPARE(d->EepromAddress, qint16(0x12));
            QCOMPARE(d->cmdWrite->text(), QStringLiteral("&Write"));
            QCOMPARE(d->cmdClose->text(), QStringLiteral("&Close"));
            QVERIFY(d->cmdWrite->isDefault());
            QVERIFY(d->Timer1->enabled());
            QCOMPARE(d->Timer1->interval(), 3000);
            QCOMPARE(d->EepromWritten, qint16(0));
            d->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(d));
            QCOMPARE(d->focusWidget(), static_cast<QWidget *>(d->Data1));
            QTest::keyClick(d->Data1, Qt::Key_Tab);
            QCOMPARE(d->focusWidget(), static_cast<QWidget *>(d->cmdWrite));
            QTest::keyClick(d->cmdWrite, Qt::Key_Tab);
            QCOMPARE(d->focusWidget(), static_cast<QWidget *>(d->cmdClose));
            checked = true;
        });
        QVERIFY(checked);
        QCOMPARE(h.modalTitles, QStringList{QStringLiteral("Data Input")});
        QVERIFY(h.hostBytes().isEmpty());  // closed unused: no write, no re-read
    }

    void entriesAreWrittenWithTheirExactBytesAndReadBack()
    {
        struct Row {
            const char *text;
            int value;
            QByteArray wire;
        };
        const Row rows[] = {
            {"ff", 0xFF, bytes({0x81, 0xFF})}, {"7F", 0x7F, bytes({0x80, 0xFF})}, {"0", 0, bytes({0x80, 0x80})},
            {"00", 0, bytes({0x80, 0x80})},    {" A ", 10, bytes({0x80, 0x8A})},  {"1G", 1, bytes({0x80, 0x81})},
        };
        Harness h;
        frmEPROM *v = readyView(h);
        bool first = true;
        for (const Row &r : rows) {
            h.sim.writer().eeprom[0x12] = 0x5A;
            h.clearWire();
            int result = -1;
            openEntry(v, h, 2, 3, [&](frmInput *d) {
                d->Data1->setText(QString::fromLatin1(r.text));
                d->cmdWrite->click();
                QVERIFY(!d->isVisible());  // it closed itself
                result = d->result();
            });
            QCOMPARE(result, int(QDialog::Accepted));
            QCOMPARE(h.hostBytes(), QByteArray("V") + char(0x92) + r.wire + "X");
            QCOMPARE(int(h.sim.writer().eeprom[0x12]), r.value);
            QCOMPARE(cellAt(v, 0x12), QString::number(r.value, 16).toUpper().rightJustified(2, QLatin1Char('0')));
            QCOMPARE(v->EntryWritten, qint16(1));
            QVERIFY(h.messages.isEmpty());
            if (first) {
                // Half a second for the PIC between the accepted write and the read-back.
                QVERIFY2(h.hostGapMs(3, 4) >= 480, qPrintable(QString::number(h.hostGapMs(3, 4))));
                first = false;
            }
        }
        QVERIFY(!h.form->MSComm1->busy());
    }

    void firstAndLastAddresses()
    {
        Harness h;
        frmEPROM *v = readyView(h);
        QString label;
        openEntry(v, h, 1, 1, [&](frmInput *d) {
            label = d->Label1->text();
            d->Data1->setText(QStringLiteral("3c"));
            d->cmdWrite->click();
        });
        QCOMPARE(label, QStringLiteral("Add 0"));
        QCOMPARE(h.hostBytes().left(4), bytes({'V', 0x80, 0x80, 0xBC}));
        QCOMPARE(int(h.sim.writer().eeprom[0]), 0x3C);
        QCOMPARE(cellAt(v, 0), QStringLiteral("3C"));
        h.clearWire();
        openEntry(v, h, 4, 16, [&](frmInput *d) {
            label = d->Label1->text();
            d->Data1->setText(QStringLiteral("80"));
            d->cmdWrite->click();
        });
        QCOMPARE(label, QStringLiteral("Add 3F"));
        QCOMPARE(h.hostBytes().left(4), bytes({'V', 0xBF, 0x81, 0x80}));
        QCOMPARE(int(h.sim.writer().eeprom[63]), 0x80);
        QCOMPARE(cellAt(v, 63), QStringLiteral("80"));
    }

    void badEntriesAreRefusedAndNothingIsSent()
    {
        const QString notAValue = QStringLiteral("データの値が正しくありません");
        const QString notOneByte = QStringLiteral("１バイトのデータを入力してください");
        const QList<QPair<QString, QString>> rows = {
            {QStringLiteral("G"), notAValue},   {QStringLiteral("0G"), notAValue},   {QStringLiteral("*"), notAValue},
            {QString(), notOneByte},            {QStringLiteral("123"), notOneByte}, {QStringLiteral("   "), notOneByte},
            {QStringLiteral("-1"), notAValue},
        };
        Harness h;
        frmEPROM *v = readyView(h);
        for (const auto &row : rows) {
            h.messages.clear();
            bool open = false;
            openEntry(v, h, 3, 7, [&](frmInput *d) {
                d->Data1->setText(row.first);
                d->cmdWrite->click();
                open = d->isVisible() && d->cmdWrite->isEnabled() && d->cmdClose->isEnabled()
                       && d->Label3->text().isEmpty();
            });
            QVERIFY2(open, qPrintable(row.first));
            QCOMPARE(h.messageTexts(), QStringList{row.second});
            QCOMPARE(h.messages[0].icon, gui::Icon::None);
            QCOMPARE(h.messages[0].title, messages::kProgramTitle);
        }
        QVERIFY(h.hostBytes().isEmpty());
        QCOMPARE(v->EntryWritten, qint16(0));
    }

    void powerOffOrWrongReplyToV()
    {
        Harness h;
        frmEPROM *v = readyView(h);
        h.sim.writer().boardPowered = false;
        QString status;
        openEntry(v, h, 1, 2, [&](frmInput *d) {
            d->Data1->setText(QStringLiteral("12"));
            d->cmdWrite->click();
            QVERIFY(d->isVisible() && d->cmdWrite->isEnabled() && d->cmdClose->isEnabled());
            status = d->Label3->text();
        });
        QCOMPARE(h.hostBytes(), QByteArray("VS"));  // and no read-back after the dialog closed
        QCOMPARE(h.messageTexts(), QStringList{kPowerOff});
        QCOMPARE(h.messages[0].icon, gui::Icon::Critical);
        QCOMPARE(status, QString());
        QCOMPARE(v->EntryWritten, qint16(0));

        h.sim.writer().boardPowered = true;
        h.sim.writer().setFault({sim::Fault::WrongReply, 0, QByteArray("q"), 0});
        h.clearWire();
        h.messages.clear();
        openEntry(v, h, 1, 2, [&](frmInput *d) {
            d->Data1->setText(QStringLiteral("12"));
            d->cmdWrite->click();
            status = d->Label3->text();
        });
        QCOMPARE(h.hostBytes(), QByteArray("VC"));
        QCOMPARE(h.messageTexts(), QStringList{kFailedV});
        QCOMPARE(status, kWriting);
        QCOMPARE(v->EntryWritten, qint16(0));
        QCOMPARE(h.sim.writer().eeprom[1], uint8_t(0xFF));
    }

    void noReplyToVEndsAfterTheFullThreeSeconds()
    {
        Harness h;
        frmEPROM *v = readyView(h);
        h.sim.writer().setFault({sim::Fault::Silence, 0, {}, 0});
        qint64 ms = 0;
        QString status;
        openEntry(v, h, 1, 2, [&](frmInput *d) {
            d->Data1->setText(QStringLiteral("12"));
            // Half the load-time period has gone by; the wait still gets the whole of it.
            QTest::qWait(1500);
            QElapsedTimer t;
            t.start();
            d->cmdWrite->click();
            ms = t.elapsed();
            status = d->Label3->text();
            QVERIFY(d->cmdWrite->isEnabled() && d->cmdClose->isEnabled());
        });
        QVERIFY2(ms >= 2900 && ms < 4000, qPrintable(QString::number(ms)));
        QCOMPARE(h.hostBytes(), QByteArray("VC"));
        QCOMPARE(h.messageTexts(), QStringList{kFailedV});
        QCOMPARE(status, kWriting);
        QCOMPARE(v->EntryWritten, qint16(0));
    }

    void noReplyToTheAddressAfterTheTimerHasFiredOnce()
    {
        Harness h;
        frmEPROM *v = readyView(h);
        h.sim.writer().responder = quietAfterAddress;
        qint64 ms = 0;
        openEntry(v, h, 1, 6, [&](frmInput *d) {
            d->Timer1->setInterval(200);
            QVERIFY(h.waitFor([&] { return !d->Timer1->enabled(); }, 1000));
            QCOMPARE(d->Timer1->interval(), 1000);  // from now on each wait lasts a second
            d->Data1->setText(QStringLiteral("44"));
            QElapsedTimer t;
            t.start();
            d->cmdWrite->click();
            ms = t.elapsed();
            QCOMPARE(d->Label3->text(), kWriting);
            h.sim.writer().responder = nullptr;
            QTest::qWait(100);  // the user reads the message before closing; the "c" arrives meanwhile
        });
        QVERIFY2(ms >= 950 && ms < 2000, qPrintable(QString::number(ms)));
        QCOMPARE(h.messageTexts(), QStringList{kFailed});
        // "C" after the address, then the read-back: the "v" to "V" counts as written.
        QCOMPARE(h.hostBytes(), bytes({'V', 0x85, 'C', 'X'}));
        QCOMPARE(v->EntryWritten, qint16(1));
    }

    void failedValueBytesSendNothingMore_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("silence") << int(sim::Fault::Silence);
        QTest::newRow("wrong reply") << int(sim::Fault::WrongReply);
    }
    void failedValueBytesSendNothingMore()
    {
        QFETCH(int, kind);
        Harness h;
        frmEPROM *v = readyView(h);
        // Replies: "v" to "V", "v" to the address, then the one to the value bytes.
        h.sim.writer().setFault({sim::Fault::Kind(kind), 2, QByteArray("z"), 0});
        QString status;
        openEntry(v, h, 2, 1, [&](frmInput *d) {
            d->Timer1->setInterval(300);
            d->Data1->setText(QStringLiteral("9"));
            d->cmdWrite->click();
            status = d->Label3->text();
            QVERIFY(d->isVisible() && d->cmdWrite->isEnabled());
            h.sim.writer().setFault({});
        });
        QCOMPARE(h.messageTexts(), QStringList{kFailed});
        QCOMPARE(h.messages[0].icon, gui::Icon::Critical);
        QCOMPARE(status, kWriting);
        QCOMPARE(h.hostBytes(), bytes({'V', 0x90, 0x80, 0x89, 'X'}));
        QCOMPARE(cellAt(v, 0x10), QStringLiteral("09"));  // the read-back shows what the PIC holds
    }

    void keys()
    {
        Harness h;
        frmEPROM *v = readyView(h);
        // Escape in the field closes without writing.
        int result = -1;
        openEntry(v, h, 1, 1, [&](frmInput *d) {
            d->Data1->setText(QStringLiteral("11"));
            QTest::keyClick(d->Data1, Qt::Key_Escape);
            QVERIFY(!d->isVisible());
            result = d->result();
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QVERIFY(h.hostBytes().isEmpty());

        // Enter on "&Close" closes too.
        openEntry(v, h, 1, 1, [&](frmInput *d) {
            d->cmdClose->setFocus();
            QTest::keyClick(d->cmdClose, Qt::Key_Return);
            QVERIFY(!d->isVisible());
        });
        QVERIFY(h.hostBytes().isEmpty());

        // Enter in the field moves to "&Write" and writes.
        openEntry(v, h, 1, 1, [&](frmInput *d) {
            d->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(d));
            d->Data1->setFocus();
            d->Data1->setText(QStringLiteral("11"));
            QTest::keyClick(d->Data1, Qt::Key_Return);
            QVERIFY(!d->isVisible());
        });
        QCOMPARE(h.hostBytes(), bytes({'V', 0x80, 0x80, 0x91, 'X'}));
        QCOMPARE(cellAt(v, 0), QStringLiteral("11"));
    }

    void headerCellsOpenNothing()
    {
        Harness h;
        frmEPROM *v = readyView(h);
        // The grid does not let a header cell become current.
        v->Grid1->setCurrentCell(2, 5);
        for (auto rc : {std::pair{2, 0}, std::pair{1, 0}, std::pair{0, 4}, std::pair{0, 0}}) {
            v->Grid1->setCurrentCell(rc.first, rc.second);
            QCOMPARE(v->Grid1->currentRow(), 2);
            QCOMPARE(v->Grid1->currentColumn(), 5);
        }
        // Given one all the same, the dialog refuses it: " 10h" would otherwise stand for 0Fh.
        for (auto rc : {std::pair{2, 0}, std::pair{1, 0}, std::pair{0, 4}, std::pair{0, 0}, std::pair{5, 1}}) {
            frmInput d(rc.first, rc.second, QStringLiteral("FF"), v);
            QVERIFY(!d.loaded());
            QVERIFY(!d.Timer1->enabled());
            QCOMPARE(d.EepromWritten, qint16(0));
        }
        frmInput ok(1, 1, QStringLiteral("FF"), v);
        QVERIFY(ok.loaded());
        QVERIFY(h.modalTitles.isEmpty());
        QVERIFY(h.hostBytes().isEmpty());
        QVERIFY(h.messages.isEmpty());
    }

    void busyLinkIsRefused()
    {
        Harness h;
        frmEPROM *v = readyView(h);
        bool open = false;
        openEntry(v, h, 1, 1, [&](frmInput *d) {
            LinkSession other(*h.form->MSComm1, "other");
            d->Data1->setText(QStringLiteral("11"));
            d->cmdWrite->click();
            open = d->isVisible() && d->cmdWrite->isEnabled() && d->Label3->text().isEmpty();
        });
        QVERIFY(open);
        QCOMPARE(h.messageTexts(),
                 QStringList{QStringLiteral("ほかの画面がライタと通信中です。\r\n通信が終わってからもう一度操作してください。")});
        QVERIFY(h.hostBytes().isEmpty());
    }

    void closingWhileWaitingAbandonsTheWrite_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::addColumn<bool>("atAddress");
        QTest::newRow("escape, waiting for v") << true << false;
        QTest::newRow("close box, waiting for v") << false << false;
        QTest::newRow("escape, waiting after the address") << true << true;
        QTest::newRow("close box, waiting after the address") << false << true;
    }
    void closingWhileWaitingAbandonsTheWrite()
    {
        QFETCH(bool, escape);
        QFETCH(bool, atAddress);
        Harness h;
        frmEPROM *v = readyView(h);
        if (atAddress) h.sim.writer().responder = quietAfterAddress;
        else h.sim.writer().setFault({sim::Fault::Silence, 0, {}, 0});
        qint64 ms = 0;
        openEntry(v, h, 1, 6, [&](frmInput *d) {
            QTimer::singleShot(200, d, [d, escape] {
                if (escape) QTest::keyClick(d->Data1, Qt::Key_Escape);
                else d->close();
            });
            d->Data1->setText(QStringLiteral("44"));
            QElapsedTimer t;
            t.start();
            d->cmdWrite->click();
            ms = t.elapsed();
            QVERIFY(!d->isVisible());
            QVERIFY(!d->running());
            h.sim.writer().responder = nullptr;
        });
        QVERIFY2(ms < 1000, qPrintable(QString::number(ms)));
        QTest::qWait(300);
        QVERIFY(h.messages.isEmpty());
        QVERIFY(!h.form->MSComm1->busy());
        QVERIFY(!h.form->MSComm1->binaryMode());
        // Nothing more from the abandoned write; once "V" was answered the view reads back.
        QCOMPARE(h.hostBytes(), atAddress ? bytes({'V', 0x85, 'X'}) : QByteArray("V"));
        QCOMPARE(v->EntryWritten, qint16(atAddress ? 1 : 0));
        QVERIFY(v->cmdRefresh->isEnabled());
    }
};

QTEST_MAIN(TestEepromInput)
#include "tst_e2e_eeprom_input.moc"
