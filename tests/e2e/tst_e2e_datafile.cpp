// SPDX-License-Identifier: GPL-3.0-or-later
// The "/F" start: the data EEPROM written from a data file after one click, against the
// simulated writer over a pseudo-terminal.

#include "gui/windows.h"
#include "gui/frmeepromwrite.h"
#include "core/link/programmerlink.h"
#include "core/link/sevenbit.h"
#include "support/harness.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

namespace {

const QString kDone = QStringLiteral("書込みが終了しました");
const QString kNoPower = QStringLiteral("PICマイコンボードの電源が入っていません。\r\nもう一度操作してください。");
const QString kCommFailure = QStringLiteral("ライタとの通信に失敗しました。\r\nもう一度操作してください。");
const QString kNoFile = QStringLiteral("指定したファイルが存在しないので書込みができません。\r\nもう一度操作してください。");
const QString kPortLost = QStringLiteral("通信ポートが使えなくなりました。\r\nケーブルの接続を確認し、通信設定をもう一度クリックしてください。");

// Starts in "/F" mode and lets the link check's last "C" and its answer go by.
frmEEPROMwrite *startWith(Harness &h, const QStringList &args)
{
    FormMain *f = h.startQuiet(args);
    if (!f || h.ended()) return nullptr;
    return FrmEEPROMwrite();
}

QByteArray wireFor(const std::array<uint8_t, 64> &bytes)
{
    QByteArray out("M");
    for (uint8_t b : bytes) out += SevenBitGroup::byte8(b);
    return out;
}

// The 64-line file: line n holds n, a comma and its value.
QByteArray sixtyFourLines(std::array<uint8_t, 64> &values)
{
    QByteArray text;
    for (int n = 0; n < 64; ++n) {
        values[size_t(n)] = uint8_t((n * 53 + 11) % 256);
        if (n == 0) values[0] = 0x00;
        if (n == 1) values[1] = 0x7F;
        if (n == 2) values[2] = 0x80;
        if (n == 3) values[3] = 0xFF;
        text += QByteArray::number(n) + "," + QByteArray::number(values[size_t(n)]) + "\r\n";
    }
    return text;
}

}  // namespace

class TestDataFileWrite : public QObject {
    Q_OBJECT
private slots:
    void windowOpensBesideTheMainWindow()
    {
        Harness h;
        const QString file = h.writeFile("data.txt", "0,1\n");
        frmEEPROMwrite *w = startWith(h, {QStringLiteral("/F") + file});
        QVERIFY(w);
        QVERIFY(w->isVisible());
        QVERIFY(h.form->isVisible());
        QCOMPARE(MainForm()->Launch.LaunchMode, qint16(1));
        QCOMPARE(w->windowTitle(), QStringLiteral("WriteEEPROM"));
        QCOMPARE(w->Label1->text(), QStringLiteral("OKをクリックするとデータを書込みます"));
        QCOMPARE(w->Command1->text(), QStringLiteral("O K"));
        QVERIFY(w->Command1->isDefault() && w->Command1->isEnabled());
        QVERIFY(!w->isModal());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY(qAbs(w->x() - (screen.width() - w->width()) / 2) <= 4);
        QVERIFY(qAbs(w->y() - (screen.height() - w->height()) / 2) <= 4);
        QVERIFY(h.messages.isEmpty());
        QVERIFY(!h.ended());
    }

    void loadingTheWindowHidesTheMainWindow()
    {
        Harness h;
        FormMain *f = h.start();
        QVERIFY(f->isVisible());
        FrmEEPROMwrite();
        QVERIFY(!f->isVisible());
    }

    void sixtyFourLinesAreWrittenWithTheirExactBytes_data()
    {
        QTest::addColumn<bool>("blank");
        QTest::newRow("/F then the name") << false;
        QTest::newRow("/F, a blank, the name") << true;
    }
    void sixtyFourLinesAreWrittenWithTheirExactBytes()
    {
        QFETCH(bool, blank);
        Harness h;
        std::array<uint8_t, 64> values{};
        const QString file = h.writeFile("eeprom data.csv", sixtyFourLines(values));
        frmEEPROMwrite *w = startWith(h, blank ? QStringList{QStringLiteral("/F"), file} : QStringList{QStringLiteral("/F") + file});
        QVERIFY(w);
        QCOMPARE(MainForm()->Launch.LaunchArgument, file);

        // What the window shows while the bytes go out, and when the last message comes.
        QString labelDuring;
        bool buttonEnabledDuring = true;
        h.sim.writer().responder = [&](uint8_t b, sim::SimWriter &) -> std::optional<QByteArray> {
            if (b & 0x80) {
                labelDuring = w->Label1->text();
                buttonEnabledDuring = w->Command1->isEnabled();
            }
            return std::nullopt;
        };
        int acksWhenDone = -1;
        gui::setMessageHandler([&](const gui::Message &m) {
            const QByteArray replies = h.writerBytes();
            acksWhenDone = int(replies.count('m') + replies.count('a')) - 1;  // less the "m" to "M"
            h.messages.append(m);
            return QMessageBox::Ok;
        });
        w->Command1->click();

        QCOMPARE(h.messageTexts(), QStringList{kDone});
        QCOMPARE(h.messages[0].title, QStringLiteral("VELTRA2オンボードライタ"));
        QCOMPARE(h.messages[0].icon, gui::Icon::None);
        QCOMPARE(acksWhenDone, 64);
        const QByteArray wire = h.hostBytes();
        QCOMPARE(wire, wireFor(values));
        QCOMPARE(wire.mid(1, 8), QByteArray("\x80\x80\x80\xFF\x81\x80\x81\xFF"));
        for (int a = 0; a < 64; ++a) QCOMPARE(int(h.sim.writer().eeprom[size_t(a)]), int(values[size_t(a)]));
        QCOMPARE(labelDuring, QStringLiteral("書込み中"));
        QVERIFY(!buttonEnabledDuring);
        QVERIFY(!w->Command1->isEnabled());
        // The window closed and the program ended with it.
        QVERIFY(h.ended());
        QVERIFY(!w->isVisible());
        QVERIFY(!h.form->isVisible());
        QVERIFY(!h.form->MSComm1->isOpen());
    }

    void acknowledgementAIsTakenLikeM()
    {
        Harness h;
        std::array<uint8_t, 64> values{};
        const QString file = h.writeFile("d.txt", sixtyFourLines(values));
        frmEEPROMwrite *w = startWith(h, {QStringLiteral("/F") + file});
        int dataBytes = 0;
        h.sim.writer().responder = [&](uint8_t b, sim::SimWriter &) -> std::optional<QByteArray> {
            if (!(b & 0x80)) return std::nullopt;
            return (++dataBytes % 2 == 0) ? QByteArray("a") : QByteArray();
        };
        w->Command1->click();
        QCOMPARE(h.messageTexts(), QStringList{kDone});
        QCOMPARE(h.hostBytes(), wireFor(values));
        QCOMPARE(h.writerBytes(), QByteArray("m") + QByteArray(64, 'a'));
        QVERIFY(h.ended());
    }

    void failedRepliesEndTheWrite_data()
    {
        QTest::addColumn<QByteArray>("reply");  // replaces the writer's reply at index `at`
        QTest::addColumn<int>("at");            // 0: the answer to "M"; n: the answer to pair n
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("after");  // the program's last bytes
        QTest::newRow("M after a pair") << QByteArray("M") << 6 << kCommFailure << QByteArray("C");
        QTest::newRow("A after a pair") << QByteArray("A") << 1 << kCommFailure << QByteArray("C");
        QTest::newRow("? after a pair") << QByteArray("?") << 64 << kCommFailure << QByteArray("C");
        QTest::newRow("x to M") << QByteArray("x") << 0 << kCommFailure << QByteArray("C");
        QTest::newRow("M to M") << QByteArray("M") << 0 << kCommFailure << QByteArray("C");
        QTest::newRow("? to M") << QByteArray("?") << 0 << kNoPower << QByteArray("S");
    }
    void failedRepliesEndTheWrite()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, at);
        QFETCH(QString, message);
        QFETCH(QByteArray, after);
        Harness h;
        std::array<uint8_t, 64> values{};
        const QString file = h.writeFile("d.txt", sixtyFourLines(values));
        frmEEPROMwrite *w = startWith(h, {QStringLiteral("/F") + file});
        h.sim.writer().setFault({sim::Fault::WrongReply, at, reply, 0});
        w->Command1->click();
        QCOMPARE(h.messageTexts(), QStringList{message});
        QCOMPARE(h.messages[0].title, QStringLiteral("エラーが発生しました"));
        QCOMPARE(h.messages[0].icon, gui::Icon::Critical);
        // Every pair up to the failing answer went out, then the closing letter and nothing more.
        QCOMPARE(h.hostBytes(), wireFor(values).left(1 + 2 * at) + after);
        QVERIFY(h.ended());
        QVERIFY(!w->isVisible());
        QVERIFY(!h.form->MSComm1->isOpen());
    }

    void unpoweredBoardIsReported()
    {
        Harness h;
        const QString file = h.writeFile("d.txt", "0,1\n");
        frmEEPROMwrite *w = startWith(h, {QStringLiteral("/F") + file});
        h.sim.writer().boardPowered = false;
        w->Command1->click();
        QCOMPARE(h.messageTexts(), QStringList{kNoPower});
        QCOMPARE(h.hostBytes(), QByteArray("MS"));
        QVERIFY(h.ended());
    }

    void missingFileIsFoundOnlyAfterTheWriterSaidM()
    {
        Harness h;
        const QString file = h.path("no such file.txt");
        frmEEPROMwrite *w = startWith(h, {QStringLiteral("/F"), file});
        QVERIFY(w);
        QVERIFY(h.messages.isEmpty());  // nothing is checked before the click
        w->Command1->click();
        QCOMPARE(h.messageTexts(), QStringList{kNoFile});
        QCOMPARE(h.messages[0].title, QStringLiteral("Veltraライタ"));
        QCOMPARE(h.messages[0].icon, gui::Icon::Critical);
        QCOMPARE(h.writerBytes(), QByteArray("m"));
        QTest::qWait(50);
        QCOMPARE(h.hostBytes(), QByteArray("M"));
        QVERIFY(h.ended());
        QVERIFY(!h.form->MSComm1->isOpen());
    }

    void shortFileRepeatsTheLastPair()
    {
        Harness h;
        const QString file = h.writeFile("short.txt", "0,10\n1,11\n2,12\n3,13\n");
        frmEEPROMwrite *w = startWith(h, {QStringLiteral("/F") + file});
        w->Command1->click();
        QCOMPARE(h.messageTexts(), QStringList{kDone});
        const auto &e = h.sim.writer().eeprom;
        QCOMPARE(int(e[0]), 10);
        QCOMPARE(int(e[1]), 11);
        for (int a = 2; a < 64; a += 2) {
            QCOMPARE(int(e[size_t(a)]), 12);
            QCOMPARE(int(e[size_t(a + 1)]), 13);
        }
    }

    void emptyFileWritesZeros()
    {
        Harness h;
        const QString file = h.writeFile("empty.txt", "");
        frmEEPROMwrite *w = startWith(h, {QStringLiteral("/F") + file});
        w->Command1->click();
        QCOMPARE(h.messageTexts(), QStringList{kDone});
        QByteArray zeros("M");
        for (int i = 0; i < 64; ++i) zeros += QByteArray("\x80\x80");
        QCOMPARE(h.hostBytes(), zeros);
        for (uint8_t b : h.sim.writer().eeprom) QCOMPARE(int(b), 0);
    }

    void valuesAfterTheHundredTwentyEighthAreIgnored()
    {
        Harness h;
        QByteArray text;
        for (int n = 0; n < 80; ++n) text += QByteArray::number(n) + "," + QByteArray::number(n < 64 ? n : 250) + "\n";
        const QString file = h.writeFile("long.txt", text);
        frmEEPROMwrite *w = startWith(h, {QStringLiteral("/F") + file});
        w->Command1->click();
        QCOMPARE(h.messageTexts(), QStringList{kDone});
        QCOMPARE(h.hostBytes().size(), 1 + 128);
        for (int a = 0; a < 64; ++a) QCOMPARE(int(h.sim.writer().eeprom[size_t(a)]), a);
    }

    void valuesThatAreNoByteAreNeitherReportedNorStopping()
    {
        Harness h;
        // 300 and -1 go out as their low eight bits; words and fractions as 0.
        const QString file = h.writeFile("odd.txt", "0,300\n1,-1\n2,abc\n3,1.5\n4,\n5, 77 \n");
        frmEEPROMwrite *w = startWith(h, {QStringLiteral("/F") + file});
        w->Command1->click();
        QCOMPARE(h.messageTexts(), QStringList{kDone});
        const auto &e = h.sim.writer().eeprom;
        QCOMPARE(int(e[0]), 44);
        QCOMPARE(int(e[1]), 255);
        QCOMPARE(int(e[2]), 0);
        QCOMPARE(int(e[3]), 0);
        QCOMPARE(int(e[4]), 0);
        QCOMPARE(int(e[5]), 77);
        QCOMPARE(h.hostBytes().mid(1, 4), QByteArray("\x80\xAC\x81\xFF"));
    }

    void closingDuringAWaitEndsTheProgramCleanly_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("close box") << false;
        // Escape does nothing while the bytes go out (the data EEPROM would be left half
        // written); the close box still ends the program.
        QTest::newRow("Escape first") << true;
    }
    void closingDuringAWaitEndsTheProgramCleanly()
    {
        QFETCH(bool, escape);
        Harness h;
        std::array<uint8_t, 64> values{};
        const QString file = h.writeFile("d.txt", sixtyFourLines(values));
        frmEEPROMwrite *w = startWith(h, {QStringLiteral("/F") + file});
        h.sim.writer().setFault({sim::Fault::Silence, 3, {}, 0});  // "m", two acks, then nothing
        bool waiting = false;
        bool escapeIgnored = true;
        QTimer::singleShot(300, [&] {
            waiting = w->running();
            if (escape) {
                QTest::keyClick(w, Qt::Key_Escape);
                escapeIgnored = w->isVisible() && w->running() && !h.ended();
            }
            w->close();
        });
        QElapsedTimer t;
        t.start();
        w->Command1->click();
        QVERIFY(waiting);
        QVERIFY(escapeIgnored);
        QVERIFY(t.elapsed() < 2000);
        QVERIFY(h.ended());
        QVERIFY(h.messages.isEmpty());
        QVERIFY(!w->isVisible());
        QVERIFY(!h.form->isVisible());
        QVERIFY(!h.form->MSComm1->isOpen());
        QCOMPARE(h.hostBytes(), wireFor(values).left(1 + 2 * 3));
    }

    void closingBeforeTheClickEndsTheProgram_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("close box") << false;
        QTest::newRow("Escape") << true;
    }
    void closingBeforeTheClickEndsTheProgram()
    {
        QFETCH(bool, escape);
        Harness h;
        const QString file = h.writeFile("d.txt", "0,1\n");
        frmEEPROMwrite *w = startWith(h, {QStringLiteral("/F") + file});
        if (escape) QTest::keyClick(w, Qt::Key_Escape);
        else w->close();
        QVERIFY(h.ended());
        QVERIFY(!h.form->MSComm1->isOpen());
        QVERIFY(!h.form->isVisible());
        QVERIFY(h.hostBytes().isEmpty());
        QCOMPARE(h.readIni(), h.standardIni());  // mode 1 saves nothing
    }

    void lostPortIsACommunicationFailure()
    {
        Harness h;
        std::array<uint8_t, 64> values{};
        const QString file = h.writeFile("d.txt", sixtyFourLines(values));
        frmEEPROMwrite *w = startWith(h, {QStringLiteral("/F") + file});
        h.sim.writer().setFault({sim::Fault::HangUp, 10, {}, 0});
        w->Command1->click();
        // Replies 1-9 acknowledged bytes 0-8; the line hung up in place of the tenth. The lost
        // line's own notice may come too, once the program has ended.
        QStringList texts = h.messageTexts();
        QVERIFY(texts.removeAll(kPortLost) <= 1);
        QCOMPARE(texts, QStringList{kCommFailure});
        QCOMPARE(h.messages[h.messageTexts().indexOf(kCommFailure)].detail, 
                 QStringLiteral("アドレス 09h で止まりました（書込み済み 9 / 64 バイト）。"
                                "09h のバイトは送りましたが書込みの確認が取れず、書込まれたかどうか分かりません。"));
        QVERIFY(h.ended());
    }

    void busyLinkIsSaidAndTheButtonStaysUsable()
    {
        Harness h;
        const QString file = h.writeFile("d.txt", "0,1\n");
        frmEEPROMwrite *w = startWith(h, {QStringLiteral("/F") + file});
        {
            LinkSession other(*h.form->MSComm1, "test");
            w->Command1->click();
            QCOMPARE(h.messageTexts(),
                     QStringList{QStringLiteral("ほかの画面がライタと通信中です。\r\n通信が終わってからもう一度操作してください。")});
            QVERIFY(w->Command1->isEnabled());
            QVERIFY(!h.ended());
            QVERIFY(h.hostBytes().isEmpty());
        }
        w->Command1->click();
        QCOMPARE(h.messageTexts().last(), kDone);
        QCOMPARE(int(h.sim.writer().eeprom[0]), 1);
        QVERIFY(h.ended());
    }
};

QTEST_MAIN(TestDataFileWrite)
#include "tst_e2e_datafile.moc"
