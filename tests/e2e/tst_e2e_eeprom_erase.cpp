// SPDX-License-Identifier: GPL-3.0-or-later
// "&DATA Clear" against the simulated writer: the question, "F", the pauses, the read-back
// and the failures.

#include "gui/windowtimer.h"
#include "gui/frmeeprom.h"
#include "core/link/programmerlink.h"
#include "support/eepromview.h"
#include "support/harness.h"

#include <QElapsedTimer>
#include <QTest>

namespace {
const QString kQuestion = QStringLiteral("EEP-ROMデータエリアを全消去しますか");
const QString kPowerOff = QStringLiteral("PICマイコンボードの電源が入っていません。\r\n電源を入れて、もう一度クリックしてください。");
const QString kFailed = QStringLiteral("ライタとの通信に失敗しました。\r\nケーブルの確認をしてから、もう一度クリックしてください。");

QString cellAt(frmEPROM *v, int address) { return v->Grid1->item(address / 16 + 1, address % 16 + 1)->text(); }

// The program started with a written EEPROM in the writer, the view shown and read.
// The view ready, with EEPROM byte n holding n.
frmEPROM *readyCountingView(Harness &h)
{
    for (int a = 0; a < 64; ++a) h.sim.writer().eeprom[size_t(a)] = uint8_t(a);
    return readyView(h);
}

bool gridShowsAddresses(frmEPROM *v)
{
    for (int a = 0; a < 64; ++a)
        if (cellAt(v, a) != QString::number(a, 16).toUpper().rightJustified(2, QLatin1Char('0'))) return false;
    return true;
}
}  // namespace

class TestEepromErase : public QObject {
    Q_OBJECT
private slots:
    void answeringNoSendsNothing()
    {
        Harness h;
        frmEPROM *v = readyCountingView(h);
        bool disabledWhileAsking = false;
        gui::MessageHandler recorder = [&](const gui::Message &m) {
            h.messages.append(m);
            disabledWhileAsking = !v->cmdRefresh->isEnabled() && !v->cmdEraseAll->isEnabled();
            return QMessageBox::No;
        };
        gui::setMessageHandler(recorder);
        v->cmdEraseAll->click();
        QVERIFY(disabledWhileAsking);
        QCOMPARE(h.messages.size(), 1);
        const gui::Message &q = h.messages[0];
        QCOMPARE(q.text, kQuestion);
        QCOMPARE(q.icon, gui::Icon::Question);
        QCOMPARE(q.title, messages::kProgramTitle);
        QCOMPARE(q.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(q.defaultButton, QMessageBox::Yes);
        QVERIFY(h.hostBytes().isEmpty());
        QVERIFY(gridShowsAddresses(v));
        QVERIFY(v->cmdRefresh->isEnabled() && v->cmdEraseAll->isEnabled());
        QCOMPARE(v->Label2->text(), QString());
        QVERIFY(!h.form->MSComm1->busy());
    }

    void yesErasesAndReadsBackAfterTheRealPauses()
    {
        Harness h;
        frmEPROM *v = readyCountingView(h);
        h.answers.push_back(QMessageBox::Yes);
        QElapsedTimer t;
        t.start();
        v->cmdEraseAll->click();
        const qint64 ms = t.elapsed();
        QVERIFY2(ms >= 1300 && ms < 2300, qPrintable(QString::number(ms)));  // 300 ms, then a second
        QCOMPARE(h.messageTexts(), QStringList{kQuestion});
        for (uint8_t b : h.sim.writer().eeprom) QCOMPARE(b, uint8_t(0xFF));
        for (int a = 0; a < 64; ++a) QCOMPARE(cellAt(v, a), QStringLiteral("FF"));
        // No "C" during the second's pause: "F", then the read-back.
        QCOMPARE(h.hostBytes(), QByteArray("FX"));
        QVERIFY(h.hostGapMs(0, 1) >= 950);
        QCOMPARE(v->ErasePause, qint16(0));
        QCOMPARE(v->Label2->text(), QString());
        QVERIFY(v->cmdRefresh->isEnabled() && v->cmdEraseAll->isEnabled());
        QVERIFY(!v->Timer1->enabled());
        QCOMPARE(v->Timer1->interval(), 1000);
        QVERIFY(!h.form->MSComm1->busy());
    }

    void acknowledgementFoundAtTheSecondTake()
    {
        Harness h;
        frmEPROM *v = readyCountingView(h);
        h.sim.writer().responder = [](uint8_t b, sim::SimWriter &w) -> std::optional<QByteArray> {
            if (b != 'F') return std::nullopt;
            w.eeprom.fill(0xFF);
            return QByteArray("za");
        };
        h.answers.push_back(QMessageBox::Yes);
        v->cmdEraseAll->click();
        QCOMPARE(h.messageTexts(), QStringList{kQuestion});
        QCOMPARE(h.hostBytes(), QByteArray("FX"));
        QCOMPARE(cellAt(v, 0), QStringLiteral("FF"));
    }

    void wrongRepliesOrPowerOff_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QString>("message");
        QTest::newRow("two wrong units") << QByteArray("zz") << QByteArray("FC") << kFailed;
        QTest::newRow("one wrong unit") << QByteArray("z") << QByteArray("FC") << kFailed;
        QTest::newRow("power off") << QByteArray("?") << QByteArray("FS") << kPowerOff;
    }
    void wrongRepliesOrPowerOff()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, sent);
        QFETCH(QString, message);
        Harness h;
        frmEPROM *v = readyCountingView(h);
        h.sim.writer().responder = [reply](uint8_t b, sim::SimWriter &) -> std::optional<QByteArray> {
            if (b == 'F') return reply;
            return std::nullopt;
        };
        h.answers.push_back(QMessageBox::Yes);
        v->cmdEraseAll->click();
        QCOMPARE(h.messageTexts(), (QStringList{kQuestion, message}));
        QCOMPARE(h.messages[1].icon, gui::Icon::Critical);
        QCOMPARE(h.messages[1].title, messages::kProgramTitle);
        QCOMPARE(h.hostBytes(), sent);
        QVERIFY(gridShowsAddresses(v));
        QCOMPARE(v->Label2->text(), QString());
        QVERIFY(v->cmdRefresh->isEnabled() && v->cmdEraseAll->isEnabled());
    }

    void noReplyAtAll()
    {
        Harness h;
        frmEPROM *v = readyCountingView(h);
        h.sim.writer().setFault({sim::Fault::Silence, 0, {}, 0});
        h.answers.push_back(QMessageBox::Yes);
        QElapsedTimer t;
        t.start();
        v->cmdEraseAll->click();
        const qint64 ms = t.elapsed();
        QVERIFY2(ms >= 1250 && ms < 2300, qPrintable(QString::number(ms)));
        QCOMPARE(h.hostBytes(), QByteArray("FCC"));  // the time-out's "C", then the erase's
        QCOMPARE(h.messageTexts(), (QStringList{kQuestion, kFailed}));
        QVERIFY(gridShowsAddresses(v));
        QCOMPARE(v->Label2->text(), QString());
        QVERIFY(v->cmdRefresh->isEnabled() && v->cmdEraseAll->isEnabled());
    }

    void closeBoxDuringThePauseAbandonsTheErase()
    {
        Harness h;
        QPointer<frmEPROM> v = readyCountingView(h);
        h.answers.push_back(QMessageBox::Yes);
        QTimer::singleShot(500, v.data(), [&] {
            QCOMPARE(v->ErasePause, qint16(1));
            v->close();
        });
        QElapsedTimer t;
        t.start();
        v->cmdEraseAll->click();
        QVERIFY(t.elapsed() < 900);
        QVERIFY(h.waitFor([&] { return v.isNull(); }, 2000));
        QTest::qWait(300);
        QCOMPARE(h.hostBytes(), QByteArray("F"));  // erased, and no read-back into a closed window
        QCOMPARE(h.messageTexts(), QStringList{kQuestion});
        QVERIFY(!h.form->MSComm1->busy());
        QVERIFY(!h.form->MSComm1->binaryMode());
    }

    void closeBoxDuringTheReplyWait()
    {
        Harness h;
        QPointer<frmEPROM> v = readyCountingView(h);
        h.sim.writer().setFault({sim::Fault::Silence, 0, {}, 0});
        h.answers.push_back(QMessageBox::Yes);
        QTimer::singleShot(100, v.data(), [&] { v->close(); });  // during the 300 ms sleep
        v->cmdEraseAll->click();
        QVERIFY(h.waitFor([&] { return v.isNull(); }, 2000));
        QTest::qWait(1200);
        QCOMPARE(h.hostBytes(), QByteArray("F"));
        QCOMPARE(h.messageTexts(), QStringList{kQuestion});
        QVERIFY(!h.form->MSComm1->busy());
    }
};

QTEST_MAIN(TestEepromErase)
#include "tst_e2e_eeprom_erase.moc"
