// SPDX-License-Identifier: GPL-3.0-or-later
// The program write exchange byte by byte against the simulated writer over a pseudo-terminal,
// run without its window: our own link and a small host with a short reply time-out.

#include "gui/windowtimer.h"
#include "core/link/programmerlink.h"
#include "core/protocol/programexchange.h"
#include "support/harness.h"
#include "support/hexfiles.h"

#include <QTest>

namespace {

using hexfiles::kEnd;
using hexfiles::rec;
using hexfiles::words;

// What the program must send for one word, one skip and the configuration word.
QByteArray D(int w) { return QByteArray("D") + char(0x80 | ((w >> 7) & 0x7F)) + char(0x80 | (w & 0x7F)); }
QByteArray I(int n) { return QByteArray("I") + char(0x80 | n); }
QByteArray G(int configWord) { return QByteArray("G\x80") + char(0x80 | (configWord & 0x7F)); }

const QString kDone = QStringLiteral("書込みが終了しました");
const QString kWriteError = QStringLiteral("書き込み中にエラーが発生しました");
const QString kHexError = QStringLiteral("Hexファイルにエラーがありました");
const QString kProcessError = QStringLiteral("ファイル処理エラーです");
const QString kTimeout = QStringLiteral("ライタまたはPICマイコンボードの反応がありません。\r\nもう一度操作してください。");

class TestContext : public ExchangeHost {
public:
    TestContext()
    {
        QObject::connect(&timer, &WindowTimer::Timer, [this] {
            timer.setEnabled(false);
            expire();
            ++timeouts;
        });
    }
    void progress(const QString &text) override { progress_ << text; }
    messages::Button show(const messages::Message &m) override { return gui::Show(m); }
    void armTimeout(int) override { timer.setEnabled(true); }
    void disarmTimeout() override { timer.setEnabled(false); }
    WindowTimer timer{300, false};
    QStringList progress_;
    int timeouts = 0;
};

// The harness's simulated writer with our own link on it.
struct Wire {
    Harness h;
    ProgrammerLink link;
    TestContext ctx;
    Wire()
    {
        QString why;
        if (!link.openDevice(h.sim.slavePath(), &why)) qFatal("cannot open the pty: %s", qPrintable(why));
        gui::setLink(&link);
        settings::stored().ConfigWord = 26;
    }
    ~Wire()
    {
        gui::setLink(nullptr);
        link.close();
    }
    // Writes `hex` and returns every byte the program sent.
    QByteArray write(const QByteArray &hex)
    {
        const QString path = h.writeFile(QStringLiteral("w.hex"), hex);
        h.clearWire();
        program::sendProgram(link, ctx, path, settings::stored().ConfigWord);
        return h.hostBytes();
    }
    sim::SimWriter &pic() { return h.sim.writer(); }
};

}  // namespace

class TestProgramWire : public QObject {
    Q_OBJECT
private slots:
    void oneRecordFile()
    {
        Wire w;
        settings::stored().ConfigWord = 0x3FF1;  // only the low 7 bits travel
        const QByteArray host = w.write(rec(0, words({0x2805, 0x3FFF, 0x0000, 0x1234})) + kEnd);
        QCOMPARE(host, "W" + D(0x2805) + D(0x3FFF) + D(0) + D(0x1234) + G(0x71) + "E");
        QCOMPARE(w.h.writerBytes(), QByteArray("wwwwwwwwwgw"));
        QCOMPARE(w.pic().program[0], uint16_t(0x2805));
        QCOMPARE(w.pic().program[1], uint16_t(0x3FFF));
        QCOMPARE(w.pic().program[2], uint16_t(0));
        QCOMPARE(w.pic().program[3], uint16_t(0x1234));
        QCOMPARE(w.pic().program[4], uint16_t(0x3FFF));
        QCOMPARE(w.pic().configWord(), uint16_t(0x71));
        QCOMPARE(w.h.messageTexts(), QStringList{kDone});
        QCOMPARE(w.h.messages[0].title, QStringLiteral("VELTRA2オンボードライタ"));
        QCOMPARE(w.h.messages[0].icon, gui::Icon::None);
        QCOMPARE(w.ctx.progress_, (QStringList{QStringLiteral("アドレス    0 書込み中"), QStringLiteral("アドレス    1 書込み中"),
                                              QStringLiteral("アドレス    2 書込み中"), QStringLiteral("アドレス    3 書込み中")}));
        QCOMPARE(w.ctx.timeouts, 0);
    }

    void firstRecordAtWord10hIsReachedWithOneSkip()
    {
        Wire w;
        const QByteArray host = w.write(rec(0x20, words({0x0123, 0x0456})) + kEnd);
        QCOMPARE(host, "W" + I(0x10) + D(0x0123) + D(0x0456) + G(26) + "E");
        QCOMPARE(uint8_t(host[2]), uint8_t(0x90));
        QCOMPARE(w.pic().program[0x0F], uint16_t(0x3FFF));
        QCOMPARE(w.pic().program[0x10], uint16_t(0x0123));
        QCOMPARE(w.pic().program[0x11], uint16_t(0x0456));
        QCOMPARE(w.ctx.progress_.first(), QStringLiteral("アドレス   10 書込み中"));
        QCOMPARE(w.h.messageTexts(), QStringList{kDone});
    }

    void gapsOf128And200Words()
    {
        Wire w;
        // Word 0; then a gap of 128 to word 129; then a gap of 200 to word 330.
        const QByteArray host =
            w.write(rec(0, words({0x0AAA})) + rec(129 * 2, words({0x0BBB})) + rec(330 * 2, words({0x0CCC})) + kEnd);
        QCOMPARE(host, "W" + D(0x0AAA) + I(127) + I(1) + D(0x0BBB) + I(72) + I(127) + I(1) + D(0x0CCC) + G(26) + "E");
        QCOMPARE(w.pic().program[0], uint16_t(0x0AAA));
        QCOMPARE(w.pic().program[129], uint16_t(0x0BBB));
        QCOMPARE(w.pic().program[330], uint16_t(0x0CCC));
        for (int a : {1, 128, 130, 329, 331}) QCOMPARE(w.pic().program[a], uint16_t(0x3FFF));
        QCOMPARE(w.h.messageTexts(), QStringList{kDone});
    }

    // Word 3FFh is the last: a word at 400h would wrap to the reset vector on a 1K-word PIC, so
    // it ends the data phase, whether its record starts there or runs into it.
    void wordAt1023IsWrittenAnd1024EndsTheData()
    {
        {
            Wire w;
            const QByteArray host = w.write(rec(0, words({0x2805})) + rec(0x7FE, words({0x0111})) + rec(0x800, words({0x0222})) + kEnd);
            QVERIFY(host.endsWith(D(0x0111) + G(26) + "E"));
            QCOMPARE(host.count('D'), 2);
            QCOMPARE(w.pic().program[1023], uint16_t(0x0111));
            QCOMPARE(w.pic().program[0], uint16_t(0x2805));  // the reset vector stays as written
            QCOMPARE(w.ctx.progress_.last(), QStringLiteral("アドレス  3FF 書込み中"));
            QCOMPARE(w.h.messageTexts(), QStringList{kDone});
        }
        {
            Wire w;
            const QByteArray host = w.write(rec(0, words({0x2805})) + rec(0x7FC, words({0x0AAA, 0x0BBB, 0x0CCC})) + kEnd);
            QVERIFY(host.endsWith(D(0x0AAA) + D(0x0BBB) + G(26) + "E"));
            QCOMPARE(w.pic().program[1022], uint16_t(0x0AAA));
            QCOMPARE(w.pic().program[1023], uint16_t(0x0BBB));
            QCOMPARE(w.pic().program[0], uint16_t(0x2805));
        }
        {
            Wire w;
            // Word 1025 ends the data phase: nothing after it is read, not even a bad line.
            const QByteArray host =
                w.write(rec(0, words({0x0111})) + rec(0x802, words({0x0222})) + "garbage\r\n" + rec(2, words({3})));
            QCOMPARE(host, "W" + D(0x0111) + G(26) + "E");
            QCOMPARE(w.h.messageTexts(), QStringList{kDone});
        }
    }

    void recordsTheRulesPassOver()
    {
        Wire w;
        // Lower-case digits, a type 04 record, a wrong checksum, an odd byte count (its last
        // byte is not sent), a zero-count data record, LF-only line ends, no end record.
        QByteArray wrongSum = rec(2, words({0x1234}));
        wrongSum.replace(wrongSum.size() - 4, 2, "00");
        const QByteArray hex = ":020000040000FA\n" + rec(0, words({0x3ABC})).toLower().replace("\r\n", "\n") + wrongSum
                               + rec(4, QByteArray("\x21\x03\x7F", 3)) + rec(6, QByteArray());
        QCOMPARE(w.write(hex), "W" + D(0x3ABC) + D(0x1234) + D(0x0321) + G(26) + "E");
        QCOMPARE(w.pic().program[0], uint16_t(0x3ABC));
        QCOMPARE(w.pic().program[1], uint16_t(0x1234));
        QCOMPARE(w.pic().program[2], uint16_t(0x0321));
        QCOMPARE(w.pic().program[3], uint16_t(0x3FFF));
        QCOMPARE(w.h.messageTexts(), QStringList{kDone});
    }

    void sevenBitGroupsOfAWord()
    {
        Wire w;
        // Bit 7 of the low byte goes into the first group; bit 14 and up are not sent.
        const QByteArray host = w.write(rec(0, words({0x00FF, 0x7FFF, 0x0080})) + kEnd);
        QCOMPARE(host.mid(1, 9), QByteArray("D\x81\xFF" "D\xFF\xFF" "D\x81\x80"));
        QCOMPARE(w.pic().program[0], uint16_t(0x00FF));
        QCOMPARE(w.pic().program[1], uint16_t(0x3FFF));
        QCOMPARE(w.pic().program[2], uint16_t(0x0080));
    }

    void hexFileErrors_data()
    {
        QTest::addColumn<QByteArray>("hex");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("title");
        const QString fileTitle = QStringLiteral("ファイルエラー");
        const QString errorTitle = QStringLiteral("エラーが発生しました");
        QTest::newRow("out of order") << rec(0x20, words({1})) + rec(0, words({2})) + kEnd << "W" + I(0x10) + D(1) + "E"
                                      << kHexError << fileTitle;
        QTest::newRow("overlap") << rec(0, words({1, 2})) + rec(2, words({3})) + kEnd << "W" + D(1) + D(2) + "E"
                                 << kHexError << fileTitle;
        QTest::newRow("no colon") << rec(0, words({1})) + rec(2, words({2})).mid(1) + kEnd << "W" + D(1) + "E" << kHexError
                                  << fileTitle;
        QTest::newRow("blank line") << rec(0, words({1})) + "\r\n" + kEnd << "W" + D(1) + "E" << kHexError << fileTitle;
        QTest::newRow("address 8000h and up") << rec(0xFFFE, words({1})) + kEnd << QByteArray("WE") << kHexError << fileTitle;
        QTest::newRow("overlong line") << ":10000000" + QByteArray(200000, '0') + "\r\n" << QByteArray("WE") << kHexError
                                       << fileTitle;
        QTest::newRow("binary") << QByteArray("\x7f" "ELF\x02\x01\x01\0", 8) + QByteArray(300000, '\x90') << QByteArray("WE")
                                << kHexError << fileTitle;
        QTest::newRow("high byte 80h") << rec(0, words({1, 0x8000})) + kEnd << "W" + D(1) + "DE" << kProcessError
                                       << errorTitle;
        QTest::newRow("FFh FFh") << rec(0, words({0xFFFF})) + kEnd << QByteArray("WDE") << kProcessError << errorTitle;
    }
    void hexFileErrors()
    {
        QFETCH(QByteArray, hex);
        QFETCH(QByteArray, sent);
        QFETCH(QString, message);
        QFETCH(QString, title);
        Wire w;
        QElapsedTimer t;
        t.start();
        QCOMPARE(w.write(hex), sent);
        QVERIFY(t.elapsed() < 2000);
        QCOMPARE(w.h.messageTexts(), QStringList{message});
        QCOMPARE(w.h.messages[0].title, title);
        QCOMPARE(w.h.messages[0].icon, gui::Icon::Critical);
        QCOMPARE(w.ctx.timeouts, 0);
        QCOMPARE(w.pic().configWord(), uint16_t(0x3FFF));  // no configuration phase
    }

    void fileThatCannotBeOpened()
    {
        Wire w;
        w.h.clearWire();
        program::sendProgram(w.link, w.ctx, w.h.path("gone.hex"), 26);
        QCOMPARE(w.h.hostBytes(), QByteArray("WE"));
        QCOMPARE(w.h.messageTexts(), QStringList{QStringLiteral("ファイルが見つかりません")});
        QCOMPARE(w.h.messages[0].title, QStringLiteral("ファイルエラー"));
    }

    void boardUnpoweredOrOddReplyToW()
    {
        {
            Wire w;
            w.pic().boardPowered = false;
            QCOMPARE(w.write(rec(0, words({1})) + kEnd), QByteArray("WCE"));
            QCOMPARE(w.h.messageTexts(), QStringList{QStringLiteral("PICマイコンボードの電源は投入されていますか？")});
            QCOMPARE(w.h.messages[0].title, QStringLiteral("エラーが発生しました"));
            QCOMPARE(w.ctx.timeouts, 0);  // the second unit came
        }
        {
            Wire w;
            w.pic().setFault({sim::Fault::WrongReply, 0, "x", 0});
            QCOMPARE(w.write(rec(0, words({1})) + kEnd), QByteArray("WSCE"));
            QCOMPARE(w.h.messageTexts(), QStringList{QStringLiteral("ライタにエラーが発生しました。")});
            QCOMPARE(w.h.messages[0].icon, gui::Icon::Critical);
        }
    }

    void wrongOrMissingRepliesDuringTheWrite_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("at");  // reply index: W=0, I=1, skip=2, D=3, word=4, G=5, config=6
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<int>("timeouts");
        const QByteArray start = "W" + I(1);
        QTest::newRow("I answered wrongly") << int(sim::Fault::WrongReply) << 1 << QByteArray("WIE") << 0;
        // A time-out sends the writer back to its command loop (E, E, S) before the failure's "E".
        QTest::newRow("skip unanswered") << int(sim::Fault::Silence) << 2 << start + "EESE" << 1;
        QTest::newRow("D unanswered") << int(sim::Fault::Silence) << 3 << start + "DEESE" << 1;
        QTest::newRow("word answered wrongly") << int(sim::Fault::WrongReply) << 4 << start + D(5) + "E" << 0;
        QTest::newRow("G unanswered") << int(sim::Fault::Silence) << 5 << start + D(5) + "GEESE" << 1;
        QTest::newRow("G answered wrongly") << int(sim::Fault::WrongReply) << 5 << start + D(5) + "GE" << 0;
        QTest::newRow("config unanswered") << int(sim::Fault::Silence) << 6 << start + D(5) + G(26) + "EESE" << 1;
    }
    void wrongOrMissingRepliesDuringTheWrite()
    {
        QFETCH(int, kind);
        QFETCH(int, at);
        QFETCH(QByteArray, sent);
        QFETCH(int, timeouts);
        Wire w;
        w.pic().setFault({sim::Fault::Kind(kind), at, "x", 0});
        QElapsedTimer t;
        t.start();
        QCOMPARE(w.write(rec(2, words({5})) + kEnd), sent);
        QCOMPARE(w.ctx.timeouts, timeouts);
        if (timeouts) QVERIFY(t.elapsed() >= 280 && t.elapsed() < 2000);
        QCOMPARE(w.h.messageTexts(), (timeouts ? QStringList{kTimeout, kWriteError} : QStringList{kWriteError}));
        QCOMPARE(w.h.messages.last().title, QStringLiteral("エラーが発生しました"));
        QCOMPARE(w.h.messages.last().icon, gui::Icon::Critical);
    }
};

QTEST_MAIN(TestProgramWire)
#include "tst_e2e_program_wire.moc"
