// SPDX-License-Identifier: GPL-3.0-or-later
// A write, an erase or an EEPROM write cut short, row by row: each fault of the simulated
// writer mid-way, and SIGINT, SIGTERM or SIGHUP while a reply is awaited. What the result event
// says must be what the simulated PIC holds: every unit below next_address (eeprom_written) as
// the file has it, none above it written, and the one sent but never acknowledged told so.

#include "cli/clirun.h"
#include "support/hexfiles.h"

#include <QTemporaryDir>

using namespace clitest;

namespace {

enum class Cmd { Write, Erase, EepromWrite, EepromSet, WriteEeprom, EepromErase };

struct Row {
    Cmd cmd;
    sim::Fault::Kind fault;  // with a signal: Silence, so the signal lands in the wait
    int signal;              // 0: the fault alone
    int at;                  // the word or byte cut; for Write -1 is the configuration word,
                             // for Erase -1 is the opening "C" (before "L")
    int reply;               // which of that unit's replies the fault takes (0: its first)
    int exit;
};

constexpr int kWords = 64;
constexpr int kSetAddress = 0x1F;
constexpr int kSetValue = 0x5A;

int fileWord(int a) { return (0x2000 + a * 37) & 0x3FFF; }
int fileByte(int a) { return (a * 7 + 3) & 0xFF; }

QByteArray programHex(bool withEeprom)
{
    QByteArray text;
    for (int a = 0; a < kWords; a += 8) {
        QVector<int> ws;
        for (int i = 0; i < 8; ++i) ws << fileWord(a + i);
        text += hexfiles::rec(a * 2, hexfiles::words(ws));
    }
    text += hexfiles::rec(0x400E, hexfiles::words({0x3FF1}));
    if (withEeprom) {
        QVector<int> bs;
        for (int a = 0; a < 8; ++a) bs << fileByte(a);
        text += hexfiles::rec(0x4200, hexfiles::words(bs));
    }
    return text + hexfiles::kEnd;
}

QByteArray dataFile()
{
    QByteArray text;
    for (int a = 0; a < 64; ++a) text += QByteArray::number(a) + ',' + QByteArray::number(fileByte(a)) + "\r\n";
    return text;
}

QString hexWord(int a) { return QStringLiteral("%1h").arg(QStringLiteral("%1").arg(a, 4, 16, QLatin1Char('0')).toUpper()); }

}  // namespace

Q_DECLARE_METATYPE(Row)

class TestCliCut : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void cut_data()
    {
        using F = sim::Fault;
        QTest::addColumn<Row>("row");
        const struct {
            const char *name;
            F::Kind kind;
            int exit;
        } faults[] = {{"silent", F::Silence, 76}, {"wrong reply", F::WrongReply, 76}, {"noise", F::Noise, 76},
                      {"line hung up", F::HangUp, 74}, {"too slow", F::SlowReplies, 76}};
        // Every reply of these exchanges is a letter, which a cleared bit 7 leaves as it is:
        // ClearBit7 only spoils the data bytes of a read.
        for (const auto &f : faults) {
            // The write: the word's "D" refused (nothing of it sent), or its acknowledgement lost.
            // A silent writer and a slow one end in the same time-out, noise as a wrong reply:
            // one place each.
            for (int reply : {0, 1}) {
                if ((f.kind == F::Silence || f.kind == F::Noise) && reply == 0) continue;
                if (f.kind == F::SlowReplies && reply == 1) continue;
                QTest::addRow("write, %s at %s", f.name, reply ? "the word's acknowledgement" : "\"D\"")
                    << Row{Cmd::Write, f.kind, 0, 40, reply, f.exit};
            }
            if (f.kind == F::SlowReplies) continue;
            QTest::addRow("erase, %s", f.name) << Row{Cmd::Erase, f.kind, 0, 0, 0, f.exit};
            QTest::addRow("eeprom write, %s", f.name) << Row{Cmd::EepromWrite, f.kind, 0, 20, 0, f.exit};
        }
        QTest::newRow("write, configuration word unacknowledged") << Row{Cmd::Write, F::Silence, 0, -1, 1, 76};
        QTest::newRow("write, line hung up at the configuration word") << Row{Cmd::Write, F::HangUp, 0, -1, 0, 74};
        QTest::newRow("eeprom set, wrong reply to \"V\"") << Row{Cmd::EepromSet, F::WrongReply, 0, kSetAddress, 0, 76};
        QTest::newRow("eeprom set, value unacknowledged") << Row{Cmd::EepromSet, F::Silence, 0, kSetAddress, 2, 76};
        QTest::newRow("eeprom erase, silent at \"F\"") << Row{Cmd::EepromErase, F::Silence, 0, 0, 0, 76};
        QTest::newRow("write --eeprom, 4th byte refused") << Row{Cmd::WriteEeprom, F::WrongReply, 0, 3, 0, 76};
        for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
            const char *name = sig == SIGINT ? "SIGINT" : sig == SIGTERM ? "SIGTERM" : "SIGHUP";
            QTest::addRow("write, %s", name) << Row{Cmd::Write, F::Silence, sig, 40, 1, 130};
            if (sig != SIGHUP) QTest::addRow("eeprom write, %s", name) << Row{Cmd::EepromWrite, F::Silence, sig, 20, 0, 130};
        }
        QTest::newRow("erase, SIGINT awaiting \"L\"'s answer") << Row{Cmd::Erase, F::Silence, SIGINT, 0, 0, 130};
        QTest::newRow("erase, SIGTERM before \"L\"") << Row{Cmd::Erase, F::Silence, SIGTERM, -1, 0, 130};
        QTest::newRow("eeprom set, SIGINT awaiting the value's answer") << Row{Cmd::EepromSet, F::Silence, SIGINT, kSetAddress, 2, 130};
    }

    void cut()
    {
        QFETCH(Row, row);
        Served w;
        sim::SimWriter &pic = w.server.writer();
        // A slow reply is held well past the 5 s time-out, so a loaded machine cannot let it in.
        const sim::Fault fault{row.fault, 0, row.fault == sim::Fault::Noise ? QByteArray("x") : QByteArray("#"), 9000};
        Cli c(dir_.path());

        // The fault is set when the writer meets the unit to cut (so it counts that unit's
        // replies from 0); a signal follows once the unit's last byte is in.
        int letters = 0;  // "C" or "V" seen, for the rows that count them
        int data = 0;     // data bytes since "M" or "V"
        bool armed = false;
        auto arm = [&](sim::SimWriter &self, int reply) {
            if (armed) return;
            armed = true;
            sim::Fault f = fault;
            f.at = reply;
            self.setFault(f);
        };
        auto signalNow = [&] {
            if (row.signal) ::kill(pid_t(c.pid()), row.signal);
        };
        pic.responder = [&](uint8_t b, sim::SimWriter &self) -> std::optional<QByteArray> {
            switch (row.cmd) {
            case Cmd::Write:
                if (row.at >= 0 && b == 'D' && self.writeAddress() == row.at) arm(self, row.reply);
                if (row.at < 0 && b == 'G') arm(self, row.reply);
                if (armed && (b & 0x80) && self.state() == sim::SimWriter::State::WordLow) signalNow();
                break;
            case Cmd::Erase:
                letters += b == 'C';
                if ((row.at >= 0 && b == 'L') || (row.at < 0 && b == 'C' && letters == 2)) {
                    arm(self, 0);
                    signalNow();
                }
                break;
            case Cmd::EepromWrite:
                if (b == 'M') arm(self, 1 + row.at);
                if (armed && (b & 0x80) && ++data == 2 * (row.at + 1)) signalNow();
                break;
            case Cmd::EepromSet:
                if (b == 'V') arm(self, row.reply);
                if (armed && (b & 0x80) && ++data == 3) signalNow();
                break;
            case Cmd::WriteEeprom:
                if (b == 'V' && letters++ == row.at) arm(self, row.reply);
                break;
            case Cmd::EepromErase:
                if (b == 'F') arm(self, 0);
                break;
            }
            return std::nullopt;
        };

        const QString hex = dir_.filePath(QStringLiteral("cut.hex"));
        const QString eepromHex = dir_.filePath(QStringLiteral("cut-eeprom.hex"));
        const QString data64 = dir_.filePath(QStringLiteral("cut.txt"));
        QVERIFY(writeFile(hex, programHex(false)) && writeFile(eepromHex, programHex(true)) && writeFile(data64, dataFile()));
        QStringList args{QStringLiteral("-p"), w.port(), QStringLiteral("--json")};
        switch (row.cmd) {
        case Cmd::Write: args << QStringLiteral("write") << hex; break;
        case Cmd::Erase: args << QStringLiteral("erase"); break;
        case Cmd::EepromWrite: args << QStringLiteral("eeprom") << QStringLiteral("write") << data64; break;
        case Cmd::EepromSet: args << QStringLiteral("eeprom") << QStringLiteral("set") << QStringLiteral("1F") << QStringLiteral("5A"); break;
        case Cmd::WriteEeprom: args << QStringLiteral("write") << eepromHex << QStringLiteral("--eeprom"); break;
        case Cmd::EepromErase: args << QStringLiteral("eeprom") << QStringLiteral("erase"); break;
        }
        // The erase is checked on a programmed PIC.
        if (row.cmd == Cmd::Erase)
            for (int a = 0; a < kWords; ++a) pic.program[size_t(a)] = uint16_t(fileWord(a));
        if (row.cmd == Cmd::EepromErase)
            for (int a = 0; a < 64; ++a) pic.eeprom[size_t(a)] = uint8_t(fileByte(a));
        const auto before = pic.program;

        c.start(args);
        const Result r = c.finish();
        QVERIFY2(r.code == row.exit, qPrintable(r.both()));
        bool ok = false;
        const QList<QJsonObject> events = jsonLines(r.out, &ok);
        QVERIFY2(ok && !events.isEmpty(), r.out.constData());
        const QJsonObject result = events.last();
        QCOMPARE(result.value(QStringLiteral("exit")).toInt(), row.exit);
        if (row.signal) QCOMPARE(result.value(QStringLiteral("signal")).toString(), QString::fromLatin1(row.signal == SIGINT ? "SIGINT" : row.signal == SIGTERM ? "SIGTERM" : "SIGHUP"));
        const bool unconfirmed = result.value(QStringLiteral("unconfirmed")).toBool();
        const QString text = r.errText();

        switch (row.cmd) {
        case Cmd::Write:
        case Cmd::WriteEeprom: {
            const int next = result.value(QStringLiteral("next_address")).toInt(-1);
            const bool configWritten = result.value(QStringLiteral("config_written")).toBool();
            const int config = result.value(QStringLiteral("config_word")).toInt();
            if (row.cmd == Cmd::WriteEeprom || row.at < 0) QCOMPARE(next, kWords);
            else QCOMPARE(next, row.at);
            for (int a = 0; a < 1024; ++a) {
                const int got = pic.program[size_t(a)];
                if (a < next) QCOMPARE(got, fileWord(a));
                else if (a > next || !unconfirmed || row.at < 0) QCOMPARE(got, 0x3FFF);
                else QVERIFY(got == 0x3FFF || got == fileWord(a));
            }
            if (configWritten) QCOMPARE(int(pic.configWord()), config);
            else if (!unconfirmed) QCOMPARE(int(pic.configWord()), 0x3FFF);
            QCOMPARE(configWritten, row.cmd == Cmd::WriteEeprom);
            QCOMPARE(unconfirmed, row.cmd == Cmd::Write && row.reply == 1);
            if (row.cmd == Cmd::WriteEeprom) {
                QCOMPARE(result.value(QStringLiteral("eeprom_written")).toInt(), row.at);
                for (int a = 0; a < 8; ++a) QCOMPARE(int(pic.eeprom[size_t(a)]), a < row.at ? fileByte(a) : 0xFF);
                QVERIFY2(text.contains(QStringLiteral("EEPROM は 3 / 8 バイトを書込みました。03h 以降は書込まれていません。")), qPrintable(text));
            } else if (row.at >= 0) {
                const QString line = QStringLiteral("0000h〜%1 を書込みました。%2 以降は書込まれていません。").arg(hexWord(next - 1), hexWord(next));
                QVERIFY2(text.contains(line), qPrintable(text));
                QVERIFY(text.contains(QStringLiteral("コンフィグレーションワードは書込まれていません。")));
                QVERIFY(text.contains(QStringLiteral("全消去してから、もう一度書込んでください。")));
            } else {
                QVERIFY2(text.contains(QStringLiteral("プログラムメモリはファイルのとおり書込みました（0000h〜003Fh）。")), qPrintable(text));
            }
            if (unconfirmed) QVERIFY2(text.contains(QStringLiteral("書込まれたかどうか分かりません。")), qPrintable(text));
            break;
        }
        case Cmd::Erase:
        case Cmd::EepromErase: {
            QVERIFY(!result.value(QStringLiteral("erased")).toBool());
            const bool sent = w.hostBytes().contains(row.cmd == Cmd::Erase ? 'L' : 'F');
            QCOMPARE(sent, row.at >= 0);
            QCOMPARE(unconfirmed, sent);
            if (row.cmd == Cmd::EepromErase)
                for (int a = 0; a < 64; ++a) QCOMPARE(int(pic.eeprom[size_t(a)]), 0xFF);
            else
                for (int a = 0; a < kWords; ++a) QCOMPARE(int(pic.program[size_t(a)]), sent ? 0x3FFF : int(before[size_t(a)]));
            QVERIFY2(text.contains(sent ? QStringLiteral("消去されたかどうか分かりません。") : QStringLiteral("全消去はしていません。")), qPrintable(text));
            break;
        }
        case Cmd::EepromWrite:
        case Cmd::EepromSet: {
            const int written = result.value(QStringLiteral("eeprom_written")).toInt(-1);
            const bool set = row.cmd == Cmd::EepromSet;
            QCOMPARE(written, set ? 0 : row.at);
            QCOMPARE(unconfirmed, set ? row.reply == 2 : true);
            for (int a = 0; a < 64; ++a) {
                const int got = pic.eeprom[size_t(a)];
                const int want = set ? (a == kSetAddress ? kSetValue : 0xFF) : fileByte(a);
                const int cut = set ? kSetAddress : written;
                if (!set && a < written) QCOMPARE(got, want);
                else if (a == cut && unconfirmed) QVERIFY(got == 0xFF || got == want);
                else QCOMPARE(got, 0xFF);
            }
            const QString line = set ? QStringLiteral("EEPROM の 1Fh は書込まれていません。")
                                     : QStringLiteral("EEPROM は 20 / 64 バイトを書込みました。14h 以降は書込まれていません。");
            QVERIFY2(text.contains(line), qPrintable(text));
            break;
        }
        }

        if (row.fault == sim::Fault::HangUp) return;
        // The writer is back at its command loop, and the port is free for the next command.
        QCOMPARE(pic.state(), sim::SimWriter::State::Idle);
        if (!row.signal) return;
        pic.responder = nullptr;
        pic.setFault({});
        const Result next = run(dir_.path(), {QStringLiteral("-p"), w.port(), QStringLiteral("version")});
        QVERIFY2(next.code == 0, qPrintable(next.both()));
    }
};

QTEST_GUILESS_MAIN(TestCliCut)
#include "tst_cli_cut.moc"
