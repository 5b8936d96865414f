// SPDX-License-Identifier: GPL-3.0-or-later
// veltraw-cli's commands as a user runs them, against veltraw-sim as its own process: what
// each prints, the PIC it leaves behind, the exit status and the JSON Lines.

#include "cli/clirun.h"
#include "support/hexfiles.h"
#include "support/translation.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace clitest;
using hexfiles::kEnd;
using hexfiles::rec;
using hexfiles::words;

namespace {

// 0: 2805, 1: 0123, 2: 3FF0, 3 blank; configuration word 3FF1 (XT, power-up timer on).
const QByteArray kPic = rec(0, words({0x2805, 0x0123, 0x3FF0})) + rec(0x400E, words({0x3FF1})) + kEnd;


// The terminal columns where the lines of a help section start their description, after a gap
// of two spaces or more (or an indent of three or more); a line that is all syntax has none.
// CJK characters take two columns.
QSet<int> descriptionColumns(const QString &help, const QString &heading)
{
    const auto width = [](const QString &t) {
        int w = 0;
        for (const QChar c : t) w += c.unicode() >= 0x1100 ? 2 : 1;
        return w;
    };
    static const QRegularExpression gap(QStringLiteral("^(  \\S.*?  +| {3,})\\S"));
    QSet<int> columns;
    const QStringList lines = help.split(QLatin1Char('\n'));
    for (int i = int(lines.indexOf(heading)) + 1; i > 0 && i < lines.size() && !lines[i].isEmpty(); ++i)
        if (const auto m = gap.match(lines[i]); m.hasMatch()) columns << width(m.captured(1));
    return columns;
}

}  // namespace

class TestCli : public ScratchSuite {
    Q_OBJECT


private slots:
    void cleanup() { settingsUntouched(); }

    void helpAndUsageErrors()
    {
        const Result help = cli({QStringLiteral("--help")});
        QCOMPARE(help.code, 0);
        QVERIFY(help.outText().contains(QStringLiteral("終了コード")));
        QVERIFY(help.outText().contains(QStringLiteral("130")));
        QCOMPARE(cli({QStringLiteral("frobnicate")}).code, 64);
        QCOMPARE(cli({QStringLiteral("read")}).code, 64);  // no -o
        QCOMPARE(cli({QStringLiteral("write"), QStringLiteral("x.hex"), QStringLiteral("--config"), QStringLiteral("4000h")}).code, 64);
        QCOMPARE(cli({QStringLiteral("erase"), QStringLiteral("--eeprom")}).code, 64);
        QCOMPARE(cli({QStringLiteral("disasm")}).code, 64);  // no file
        QCOMPARE(cli({QStringLiteral("verify"), QStringLiteral("x.hex"), QStringLiteral("--all")}).code, 64);
        QCOMPARE(cli({QStringLiteral("disasm"), QStringLiteral("x.hex"), QStringLiteral("--listing")}).code, 64);

        const Result json = cli({QStringLiteral("--json"), QStringLiteral("read"), QStringLiteral("-o"), QStringLiteral("-")});
        QCOMPARE(json.code, 64);
        CLI_EVENTS(events, json.out);
        QCOMPARE(events.last().value(QStringLiteral("event")).toString(), QStringLiteral("result"));
        QCOMPARE(events.last().value(QStringLiteral("exit")).toInt(), 64);
        QCOMPARE(events.last().value(QStringLiteral("ok")).toBool(), false);
    }

    // The language follows the locale: English for an English user, the program's own Japanese
    // for C and ja; the same exit status, and JSON with the same fields, either way.
    void language_data()
    {
        QTest::addColumn<QStringList>("env");   // NAME=VALUE set, NAME unset, over the suite's own
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("english");
        QTest::addColumn<QStringList>("expected");  // the help's headings, or the usage error
        const QStringList english{"LANGUAGE=en"};  // LC_ALL=C.UTF-8 stays, as ctest pins it
        const QStringList englishLang{"LC_ALL", "LANGUAGE", "LC_MESSAGES", "LANG=en_US.UTF-8"};
        const QStringList c{"LC_ALL", "LANGUAGE", "LC_MESSAGES", "LANG=C.UTF-8"};
        const QStringList enHeadings{"Commands:", "Options:", "Exit status:"};
        const QStringList jaHeadings{"コマンド:", "オプション:", "終了コード:"};
        QTest::newRow("help, LANGUAGE=en") << english << QStringList{"--help"} << 0 << true << enHeadings;
        QTest::newRow("help, LANG=en_US.UTF-8") << englishLang << QStringList{"--help"} << 0 << true << enHeadings;
        QTest::newRow("help, LANG=C.UTF-8") << c << QStringList{"--help"} << 0 << false << jaHeadings;
        QTest::newRow("unknown command, LANGUAGE=en")
            << english << QStringList{"--json", "frobnicate"} << 64 << true
            << QStringList{"No such command: \"frobnicate\".", "For usage, run \"veltraw-cli --help\"."};
        QTest::newRow("unknown command, LANG=C.UTF-8")
            << c << QStringList{"--json", "frobnicate"} << 64 << false
            << QStringList{"「frobnicate」というコマンドはありません。", "使い方は「veltraw-cli --help」で表示できます。"};
        QTest::newRow("write without its file, LANGUAGE=en")
            << english << QStringList{"--json", "write"} << 64 << true
            << QStringList{"write needs a HEX file.", "For usage, run \"veltraw-cli --help\"."};
        QTest::newRow("write without its file, LANG=C.UTF-8")
            << c << QStringList{"--json", "write"} << 64 << false
            << QStringList{"write には HEX ファイルを指定してください。", "使い方は「veltraw-cli --help」で表示できます。"};
    }

    void language()
    {
        QFETCH(QStringList, env);
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(bool, english);
        QFETCH(QStringList, expected);
        Cli c(dir_.path());
        for (const QString &e : env) {
            const qsizetype eq = e.indexOf(QLatin1Char('='));
            if (eq < 0) c.unsetEnv(e);
            else c.setEnv(e.left(eq), e.mid(eq + 1));
        }
        c.start(args);
        const Result r = c.finish();
        QCOMPARE(r.code, code);
        QCOMPARE(hasJapanese(r.both()), !english);
        if (code == 0) {
            // Each section's descriptions in one column, in either language.
            const QString help = r.outText();
            QCOMPARE(descriptionColumns(help, expected[0]), QSet<int>{34});
            QCOMPARE(descriptionColumns(help, expected[1]), QSet<int>{20});
            QCOMPARE(descriptionColumns(help, expected[2]), QSet<int>{7});
            return;
        }
        QCOMPARE(r.errText(), expected.join(QLatin1Char('\n')) + QLatin1Char('\n'));
        CLI_EVENTS(events, r.out);
        QCOMPARE(events.size(), 1);
        QCOMPARE(events[0].keys(), (QStringList{"command", "error", "event", "exit", "ok"}));
        QCOMPARE(events[0].value(QStringLiteral("error")).toString(), expected[0]);
        QCOMPARE(events[0].value(QStringLiteral("exit")).toInt(), code);
    }

    // What one writer's PIC gives, read out, written into a second one and verified there.
    void readWriteVerifyRoundTrip()
    {
        SimProcess a(dir_.path(), QStringLiteral("a"), {QStringLiteral("--hex"), file(QStringLiteral("pic.hex"), kPic)});
        QVERIFY(a.ready);
        const QString image = path(QStringLiteral("image.hex"));
        const Result read = cli({QStringLiteral("-p"), a.link, QStringLiteral("read"), QStringLiteral("-o"), image});
        QCOMPARE(read.code, 0);
        const QByteArray hex = readFile(image);
        QVERIFY(hex.startsWith(rec(0, words({0x2805, 0x0123, 0x3FF0, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF}))));
        QVERIFY(hex.endsWith(rec(0x4000, words({0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FF1})) + kEnd));

        SimProcess b(dir_.path(), QStringLiteral("b"), {QStringLiteral("--dump"), path(QStringLiteral("b.dump"))});
        QVERIFY(b.ready);
        const Result write = cli({QStringLiteral("-p"), b.link, QStringLiteral("-q"), QStringLiteral("write"), image}, 120000);
        QVERIFY2(write.code == 0, qPrintable(write.both()));
        const Result verify = cli({QStringLiteral("-p"), b.link, QStringLiteral("verify"), image});
        QVERIFY2(verify.code == 0, qPrintable(verify.both()));
        QVERIFY(verify.out.isEmpty());  // no mismatch listed
        // The read's ID words are told as not written, never dropped silently.
        QVERIFY(verify.errText().contains(QStringLiteral("ID ワード")));
        b.stop();
        const QByteArray dump = readFile(path(QStringLiteral("b.dump")));
        QVERIFY(dump.startsWith(rec(0, words({0x2805, 0x0123, 0x3FF0, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF}))));
        // The file's word 3FF1 went through the dialog's mapping: bits 0-4 only.
        QVERIFY(dump.contains(rec(0x4000, words({0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x0011}))));
    }

    void verifyListsEveryMismatch()
    {
        SimProcess sim(dir_.path(), QStringLiteral("v"), {QStringLiteral("--hex"), file(QStringLiteral("pic.hex"), kPic)});
        QVERIFY(sim.ready);
        const QString differs = file(QStringLiteral("differs.hex"),
                                     rec(0, words({0x2805, 0x0124, 0x3FF1, 0x0000})) + rec(0x400E, words({0x3FF2})) + kEnd);
        const Result r = cli({QStringLiteral("-p"), sim.link, QStringLiteral("--json"), QStringLiteral("verify"), differs});
        QCOMPARE(r.code, 1);
        CLI_EVENTS(events, r.out);
        const QList<QJsonObject> mismatches = eventsOf(events, QStringLiteral("mismatch"));
        QCOMPARE(mismatches.size(), 4);
        QList<int> addresses;
        for (const QJsonObject &m : mismatches) addresses << m.value(QStringLiteral("address")).toInt();
        QCOMPARE(addresses, (QList<int>{1, 2, 3, 0x2007}));
        QCOMPARE(mismatches[2].value(QStringLiteral("expected")).toInt(), 0);
        QCOMPARE(mismatches[2].value(QStringLiteral("actual")).toInt(), 0x3FFF);
        QCOMPARE(mismatches[3].value(QStringLiteral("space")).toString(), QStringLiteral("config"));
        const QJsonObject result = events.last();
        QCOMPARE(result.value(QStringLiteral("event")).toString(), QStringLiteral("result"));
        QCOMPARE(result.value(QStringLiteral("mismatches")).toInt(), 4);
        QCOMPARE(result.value(QStringLiteral("program_compared")).toInt(), 4);
        // 0124/0123: one 1->0, two 0->1; 3FF1/3FF0: one 1->0; 0000/3FFF: fourteen 0->1;
        // configuration 12/11: one each way.
        QCOMPARE(result.value(QStringLiteral("bits_1_to_0")).toInt(), 3);
        QCOMPARE(result.value(QStringLiteral("bits_0_to_1")).toInt(), 17);
        QCOMPARE(result.value(QStringLiteral("erase_first")).toBool(), false);

        // Read as text: a line a mismatch on standard output.
        const Result text = cli({QStringLiteral("-p"), sim.link, QStringLiteral("verify"), differs});
        QCOMPARE(text.code, 1);
        QCOMPARE(text.outText().trimmed().split(QLatin1Char('\n')).size(), 4);
        QVERIFY(text.outText().contains(QStringLiteral("0003h  ファイル 0000  PIC 3FFF")));
        // With the instructions beside each: 3FF1 and 3FF0 are both addlw.
        const Result listing = cli({QStringLiteral("-p"), sim.link, QStringLiteral("verify"), QStringLiteral("--listing"), differs});
        QCOMPARE(listing.code, 1);
        const QStringList lines = listing.outText().trimmed().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 4);
        QVERIFY2(lines[1].contains(QStringLiteral("ファイル: addlw   0xf1    PIC: addlw   0xf0")), qPrintable(lines[1]));
        QVERIFY2(lines[3].contains(QStringLiteral("PIC: オシレータ XT")), qPrintable(lines[3]));

        // Only bits that a write cannot set: the PIC was not erased first.
        const QString unerased = file(QStringLiteral("unerased.hex"), rec(0, words({0x2FFF, 0x0123, 0x3FFF})) + kEnd);
        const Result erase = cli({QStringLiteral("-p"), sim.link, QStringLiteral("--json"), QStringLiteral("verify"),
                                  QStringLiteral("--config"), QStringLiteral("0x3FF1"), unerased});
        QCOMPARE(erase.code, 1);
        CLI_EVENTS(erased, erase.out);
        const QJsonObject r2 = erased.last();
        QCOMPARE(r2.value(QStringLiteral("mismatches")).toInt(), 2);
        QCOMPARE(r2.value(QStringLiteral("bits_0_to_1")).toInt(), 0);
        QCOMPARE(r2.value(QStringLiteral("erase_first")).toBool(), true);
        QVERIFY(erase.errText().contains(QStringLiteral("erase で消去してから")));
    }

    // read -o - | disasm -: what the PIC holds, erased words folded; --all lists every word as
    // gpdasm does.
    void disasmOfARead()
    {
        SimProcess sim(dir_.path(), QStringLiteral("d"), {QStringLiteral("--hex"), file(QStringLiteral("pic.hex"), kPic)});
        QVERIFY(sim.ready);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VELTRAW_SETTINGS_DIR"), dir_.path());
        QProcess read, disasm;
        read.setProcessEnvironment(env);
        disasm.setProcessEnvironment(env);
        read.setStandardOutputProcess(&disasm);
        keepDescriptorsToOurselves();
        read.start(QStringLiteral(VELTRAW_CLI_PATH), {QStringLiteral("-p"), sim.link, QStringLiteral("-q"), QStringLiteral("read"),
                                                      QStringLiteral("-o"), QStringLiteral("-")});
        disasm.start(QStringLiteral(VELTRAW_CLI_PATH), {QStringLiteral("disasm"), QStringLiteral("-")});
        QVERIFY(QTest::qWaitFor([&] { return disasm.state() == QProcess::NotRunning; }, 60000));
        QCOMPARE(read.exitCode(), 0);
        QCOMPARE(disasm.exitCode(), 0);
        const QString listed = QString::fromUtf8(disasm.readAllStandardOutput());
        QStringList expected{QStringLiteral("0000:  2805  goto    0x0005"), QStringLiteral("0001:  0123  dw      0x0123"),
                             QStringLiteral("0002:  3ff0  addlw   0xf0"), QStringLiteral("0003-03ff:  3fff  未使用 (1021 ワード)")};
        // As gpdasm has them: the ID words as data, 2004h..2006h as instructions.
        for (int a = 0x2000; a < 0x2007; ++a)
            expected << QStringLiteral("%1:  3fff  %2").arg(a, 4, 16).arg(QLatin1String(a < 0x2004 ? "dw      0x3fff" : "addlw   0xff"));
        expected << QStringLiteral("2007:  3ff1  dw      0x3ff1");
        QCOMPARE(listed.trimmed().split(QLatin1Char('\n')), expected);
        QVERIFY2(disasm.readAllStandardError().isEmpty(), "nothing to warn of in a read");

        const QString image = path(QStringLiteral("read.hex"));
        QCOMPARE(cli({QStringLiteral("-p"), sim.link, QStringLiteral("read"), QStringLiteral("-o"), image}).code, 0);
        const Result all = cli({QStringLiteral("disasm"), QStringLiteral("--all"), image});
        QCOMPARE(all.code, 0);
        const QString gpdasm = QStandardPaths::findExecutable(QStringLiteral("gpdasm"));
        if (gpdasm.isEmpty()) QFAIL("gpdasm (Debian's gputils) is not installed");
        QProcess oracle;
        oracle.start(gpdasm, {QStringLiteral("-p"), QStringLiteral("p16f84a"), image});
        QVERIFY(oracle.waitForFinished(60000));
        QCOMPARE(all.outText(), QString::fromLatin1(oracle.readAllStandardOutput()));

        const Result json = cli({QStringLiteral("--json"), QStringLiteral("disasm"), image});
        bool ok = false;
        const QList<QJsonObject> events = jsonLines(json.out, &ok);
        QVERIFY(ok);
        QCOMPARE(eventsOf(events, QStringLiteral("word")).size(), 3 + 8);
        QCOMPARE(eventsOf(events, QStringLiteral("unused")).at(0).value(QStringLiteral("last")).toInt(), 0x3FF);
        QCOMPARE(eventsOf(events, QStringLiteral("word")).at(2).value(QStringLiteral("text")).toString(), QStringLiteral("addlw   0xf0"));

        const Result missing = cli({QStringLiteral("disasm"), path(QStringLiteral("none.hex"))});
        QCOMPARE(missing.code, 66);
    }

    void blankCheckEraseBlankAgain()
    {
        SimProcess sim(dir_.path(), QStringLiteral("e"), {QStringLiteral("--hex"), file(QStringLiteral("pic.hex"), kPic)});
        QVERIFY(sim.ready);
        const Result before = cli({QStringLiteral("-p"), sim.link, QStringLiteral("blank-check")});
        QCOMPARE(before.code, 2);
        QCOMPARE(before.outText(), QStringLiteral("0000h  2805\n0001h  0123\n0002h  3FF0\n"));
        QCOMPARE(cli({QStringLiteral("-p"), sim.link, QStringLiteral("erase")}).code, 0);
        const Result after = cli({QStringLiteral("-p"), sim.link, QStringLiteral("--json"), QStringLiteral("blank-check")});
        QCOMPARE(after.code, 0);
        CLI_EVENTS(events, after.out);
        const QJsonObject result = events.last();
        QCOMPARE(result.value(QStringLiteral("blank")).toBool(), true);
    }

    // --config in place of the file's word, the file's EEPROM records written and verified, its
    // ID words told as left out.
    void writeWithEepromAndConfigWord()
    {
        SimProcess sim(dir_.path(), QStringLiteral("w"), {QStringLiteral("--dump"), path(QStringLiteral("w.dump"))});
        QVERIFY(sim.ready);
        const QString hex = file(QStringLiteral("withdata.hex"), rec(0, words({0x3000, 0x0008})) + rec(0x4000, words({0, 1, 0, 2}))
                                                                     + rec(0x400E, words({0x3FF2})) + rec(0x4200, words({0x11, 0x22})) + kEnd);
        const Result r = cli({QStringLiteral("-p"), sim.link, QStringLiteral("--json"), QStringLiteral("write"), hex,
                              QStringLiteral("--eeprom"), QStringLiteral("--config"), QStringLiteral("3FF9h")});
        QVERIFY2(r.code == 0, qPrintable(r.both()));
        CLI_EVENTS(events, r.out);
        const QList<QJsonObject> warnings = eventsOf(events, QStringLiteral("warning"));
        QCOMPARE(warnings.size(), 1);
        QVERIFY(warnings[0].value(QStringLiteral("text")).toString().contains(QStringLiteral("ID ワード")));
        const QJsonObject result = events.last();
        QCOMPARE(result.value(QStringLiteral("config_source")).toString(), QStringLiteral("option"));
        QCOMPARE(result.value(QStringLiteral("config_word")).toInt(), 0x19);  // 3FF9h: bits 0-4
        QCOMPARE(result.value(QStringLiteral("eeprom_written")).toInt(), 2);
        QCOMPARE(result.value(QStringLiteral("eeprom_compared")).toInt(), 2);
        QCOMPARE(result.value(QStringLiteral("verified")).toBool(), true);
        sim.stop();
        const QByteArray dump = readFile(path(QStringLiteral("w.dump")));
        QVERIFY(dump.startsWith(rec(0, words({0x3000, 0x0008, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF}))));
        QVERIFY(dump.contains(rec(0x4000, words({0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x19}))));
        QVERIFY(dump.contains(rec(0x4200, words({0x11, 0x22, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}))));
    }

    void eepromCommandsRoundTrip()
    {
        SimProcess sim(dir_.path(), QStringLiteral("d"));
        QVERIFY(sim.ready);
        const QStringList p{QStringLiteral("-p"), sim.link};
        QCOMPARE(cli(p + QStringList{QStringLiteral("eeprom"), QStringLiteral("set"), QStringLiteral("3F"), QStringLiteral("a5")}).code, 0);
        QCOMPARE(cli(p + QStringList{QStringLiteral("eeprom"), QStringLiteral("set"), QStringLiteral("40"), QStringLiteral("00")}).code, 64);
        QCOMPARE(cli(p + QStringList{QStringLiteral("eeprom"), QStringLiteral("set"), QStringLiteral("3F"), QStringLiteral("1FF")}).code, 64);
        const Result grid = cli(p + QStringList{QStringLiteral("eeprom"), QStringLiteral("read")});
        QCOMPARE(grid.code, 0);
        QVERIFY(grid.outText().contains(QStringLiteral(" 30h  FF  FF  FF  FF  FF  FF  FF  FF  FF  FF  FF  FF  FF  FF  FF  A5\n")));

        const QString data = path(QStringLiteral("eeprom.txt"));
        QCOMPARE(cli(p + QStringList{QStringLiteral("eeprom"), QStringLiteral("read"), QStringLiteral("-o"), data}).code, 0);
        QVERIFY(readFile(data).endsWith("62,255\n63,165\n"));
        const Result erase = cli(p + QStringList{QStringLiteral("eeprom"), QStringLiteral("erase")});
        QCOMPARE(erase.code, 0);
        QVERIFY(erase.errText().contains(QStringLiteral("はい")));  // the question, answered
        QCOMPARE(cli(p + QStringList{QStringLiteral("eeprom"), QStringLiteral("write"), data}).code, 0);
        const Result back = cli(p + QStringList{QStringLiteral("--json"), QStringLiteral("eeprom"), QStringLiteral("read")});
        CLI_EVENTS(events, back.out);
        const QJsonArray bytes = events.last().value(QStringLiteral("bytes")).toArray();
        QCOMPARE(bytes.size(), 64);
        QCOMPARE(bytes.at(63).toInt(), 0xA5);
        QCOMPARE(bytes.at(0).toInt(), 0xFF);
    }

    // Without -p the window program's stored port, mapped through [Ports].
    void configAndVersionOnTheStoredPort()
    {
        SimProcess sim(dir_.path(), QStringLiteral("c"),
                       {QStringLiteral("--hex"), file(QStringLiteral("pic.hex"), kPic), QStringLiteral("--firmware"), QStringLiteral("207")});
        QVERIFY(sim.ready);
        QVERIFY(writeFile(path(QStringLiteral("veltraw.ini")),
                          "[Ports]\r\nCOM3=" + sim.link.toUtf8() + "\r\n[Com]\r\nport= 3\r\n"));
        const Result config = cli({QStringLiteral("--json"), QStringLiteral("config")});
        QVERIFY2(config.code == 0, qPrintable(config.both()));
        CLI_EVENTS(events, config.out);
        const QJsonObject r = events.last();
        QCOMPARE(r.value(QStringLiteral("oscillator")).toString(), QStringLiteral("XT"));
        QCOMPARE(r.value(QStringLiteral("power_up_timer")).toBool(), true);
        QCOMPARE(r.value(QStringLiteral("code_protect")).toBool(), false);
        const Result version = cli({QStringLiteral("-p"), QStringLiteral("COM3"), QStringLiteral("version")});
        QCOMPARE(version.code, 0);
        QCOMPARE(version.outText(), QStringLiteral("ファームウェアバージョン 2.07\n"));
        QVERIFY(QFile::remove(path(QStringLiteral("veltraw.ini"))));
    }

    // -p, then $VELTRAW_PORT, then the stored port; "w" is the writer, "gone" a port that is not
    // there, COM3 the writer and COM4 the one not there by the settings' [Ports].
    void portChoice_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("reached");
        QTest::newRow("VELTRAW_PORT over the stored port") << "" << "w" << "4" << true;
        QTest::newRow("VELTRAW_PORT as a COM name") << "" << "COM3" << "4" << true;
        QTest::newRow("VELTRAW_PORT taken though not there") << "" << "gone" << "3" << false;
        QTest::newRow("-p over VELTRAW_PORT") << "w" << "gone" << "4" << true;
    }
    void portChoice()
    {
        QFETCH(QString, given);
        QFETCH(QString, environment);
        QFETCH(QString, stored);
        QFETCH(bool, reached);
        Served w;
        const QString gone = path(QStringLiteral("gone"));
        auto port = [&](const QString &name) { return name == QLatin1String("w") ? w.port() : name == QLatin1String("gone") ? gone : name; };
        QVERIFY(writeFile(path(QStringLiteral("veltraw.ini")), "[Ports]\r\nCOM3=" + w.port().toUtf8() + "\r\nCOM4=" + gone.toUtf8()
                                                                 + "\r\n[Com]\r\nport=" + stored.toUtf8() + "\r\n"));
        Cli c(dir_.path());
        if (!environment.isEmpty()) c.setEnv(QStringLiteral("VELTRAW_PORT"), port(environment));
        c.start((given.isEmpty() ? QStringList() : QStringList{QStringLiteral("-p"), port(given)}) + QStringList{QStringLiteral("version")});
        const Result r = c.finish();
        QVERIFY(QFile::remove(path(QStringLiteral("veltraw.ini"))));
        QVERIFY2(r.code == (reached ? 0 : 69), qPrintable(r.both()));
        QCOMPARE(w.hostBytes().contains('@'), reached);
    }

    // Where the configuration word comes from, and the read-back that --no-verify leaves out:
    // the bytes the writer took and the PIC it was left with.
    void writeChoosesItsWordAndReadsBack_data()
    {
        QTest::addColumn<bool>("wordInFile");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("written");
        QTest::addColumn<bool>("readBack");
        const QByteArray word21 = "[Config]\r\nword=21\r\n";  // 15h: XT, watchdog on, power-up timer on
        QTest::newRow("the file's word, read back") << true << QStringList() << word21 << "file" << 0x11 << true;
        QTest::newRow("--no-verify") << true << QStringList{"--no-verify"} << QByteArray() << "file" << 0x11 << false;
        QTest::newRow("the settings' word") << false << QStringList() << word21 << "settings" << 0x15 << true;
        QTest::newRow("a stored word that is no number") << false << QStringList() << QByteArray("[Config]\r\nword=x\r\n")
                                                          << "default" << 0x1A << true;
        QTest::newRow("--config over file and settings") << true << QStringList{"--config", "3FF9h"} << word21 << "option" << 0x19 << true;
    }
    void writeChoosesItsWordAndReadsBack()
    {
        QFETCH(bool, wordInFile);
        QFETCH(QStringList, options);
        QFETCH(QByteArray, settings);
        QFETCH(QString, source);
        QFETCH(int, written);
        QFETCH(bool, readBack);
        const QString ini = path(QStringLiteral("veltraw.ini"));
        QFile::remove(ini);
        if (!settings.isEmpty()) QVERIFY(writeFile(ini, settings));
        const QString hex = file(QStringLiteral("word.hex"), rec(0, words({0x2805, 0x0123})) + (wordInFile ? rec(0x400E, words({0x3FF1})) : QByteArray()) + kEnd);
        Served w;
        const Result r = cli(QStringList{QStringLiteral("-p"), w.port(), QStringLiteral("--json"), QStringLiteral("write"), hex} + options);
        QFile::remove(ini);
        QVERIFY2(r.code == 0, qPrintable(r.both()));
        CLI_EVENTS(events, r.out);
        QCOMPARE(events.last().value(QStringLiteral("config_source")).toString(), source);
        QCOMPARE(events.last().value(QStringLiteral("config_word")).toInt(), written);
        QCOMPARE(events.last().value(QStringLiteral("verified")).toBool(), readBack);
        QCOMPARE(w.hostBytes().contains('R'), readBack);
        const sim::SimWriter &pic = w.server.writer();
        QCOMPARE(QList<quint16>(pic.program.begin(), pic.program.begin() + 3), (QList<quint16>{0x2805, 0x0123, 0x3FFF}));
        QCOMPARE(int(pic.configWord()), written);
    }

    // A file that is refused is refused before any port is looked at: the port named here
    // does not exist, and the status is the file's.
    void badFilesSendNothing()
    {
        const QStringList p{QStringLiteral("-p"), path(QStringLiteral("no-such-port"))};
        const QString bad = file(QStringLiteral("bad.hex"), rec(0, words({0x2805})) + ":020002000100FF\r\n" + kEnd);
        const Result r = cli(p + QStringList{QStringLiteral("--json"), QStringLiteral("write"), bad});
        QCOMPARE(r.code, 65);
        QVERIFY(r.errText().contains(QStringLiteral("bad.hex:2:")));
        CLI_EVENTS(events, r.out);
        QCOMPARE(events.last().value(QStringLiteral("exit")).toInt(), 65);

        const QString beyond = file(QStringLiteral("beyond.hex"), rec(0x800, words({0x2805})) + kEnd);
        QCOMPARE(cli(p + QStringList{QStringLiteral("write"), beyond}).code, 65);
        // Forced, it gets as far as the port.
        QCOMPARE(cli(p + QStringList{QStringLiteral("write"), QStringLiteral("--force"), beyond}).code, 69);
        QCOMPARE(cli(p + QStringList{QStringLiteral("write"), path(QStringLiteral("missing.hex"))}).code, 66);
        QCOMPARE(cli(p + QStringList{QStringLiteral("eeprom"), QStringLiteral("write"), file(QStringLiteral("bad.txt"), "0,abc\n")}).code, 65);
        const QString out = path(QStringLiteral("no-folder/out.hex"));
        QCOMPARE(cli(p + QStringList{QStringLiteral("read"), QStringLiteral("-o"), out}).code, 73);
        QVERIFY(!QFile::exists(out));
    }

    // A protected PIC reads back something else: told, status 3, never a pass.
    void codeProtectionCannotBeVerified()
    {
        SimProcess sim(dir_.path(), QStringLiteral("p"));
        QVERIFY(sim.ready);
        const QString hex = file(QStringLiteral("cp.hex"), rec(0, words({0x2805})) + kEnd);
        const Result write = cli({QStringLiteral("-p"), sim.link, QStringLiteral("--json"), QStringLiteral("write"), hex,
                                  QStringLiteral("--config"), QStringLiteral("0x3FE1")});
        QCOMPARE(write.code, 3);
        QVERIFY(write.errText().contains(QStringLiteral("コードプロテクト")));
        CLI_EVENTS(events, write.out);
        const QJsonObject result = events.last();
        QCOMPARE(result.value(QStringLiteral("verified")).toBool(), false);
        QCOMPARE(result.value(QStringLiteral("program_unverifiable")).toBool(), true);
        // The word protects the PIC now; a verify of a file that leaves protection off cannot pass either.
        const Result verify = cli({QStringLiteral("-p"), sim.link, QStringLiteral("verify"), QStringLiteral("--config"),
                                   QStringLiteral("0x3FF1"), hex});
        QCOMPARE(verify.code, 1);  // the configuration word itself differs
        QVERIFY(verify.errText().contains(QStringLiteral("コードプロテクト")));
        QVERIFY(!verify.outText().contains(QStringLiteral("プログラム 0000h")));
    }

    void unpoweredBoard()
    {
        SimProcess sim(dir_.path(), QStringLiteral("u"), {QStringLiteral("--unpowered")});
        QVERIFY(sim.ready);
        QCOMPARE(cli({QStringLiteral("-p"), sim.link, QStringLiteral("erase")}).code, 4);
        const Result r = cli({QStringLiteral("-p"), sim.link, QStringLiteral("--json"), QStringLiteral("eeprom"), QStringLiteral("read")});
        QCOMPARE(r.code, 4);
        CLI_EVENTS(events, r.out);
        const QJsonObject result = events.last();
        QCOMPARE(result.value(QStringLiteral("exit")).toInt(), 4);
        QVERIFY(!result.value(QStringLiteral("error")).toString().isEmpty());
    }

    void progressAsEventsAndLines()
    {
        SimProcess sim(dir_.path(), QStringLiteral("g"));
        QVERIFY(sim.ready);
        const Result json = cli({QStringLiteral("-p"), sim.link, QStringLiteral("--json"), QStringLiteral("read"), QStringLiteral("-o"),
                                 path(QStringLiteral("g.hex"))});
        QCOMPARE(json.code, 0);
        CLI_EVENTS(events, json.out);
        const QList<QJsonObject> progress = eventsOf(events, QStringLiteral("progress"));
        QVERIFY(progress.size() >= 10);
        QCOMPARE(progress.last().value(QStringLiteral("phase")).toString(), QStringLiteral("read"));
        QCOMPARE(progress.last().value(QStringLiteral("done")).toInt(), 1032);
        QCOMPARE(progress.last().value(QStringLiteral("total")).toInt(), 1032);
        QVERIFY(progress.first().value(QStringLiteral("eta_s")).toDouble() > 2.0);  // 1032 words at 4800 baud
        QCOMPARE(events.last().value(QStringLiteral("event")).toString(), QStringLiteral("result"));
        QCOMPARE(events.last().value(QStringLiteral("output")).toString(), path(QStringLiteral("g.hex")));

        const Result lines = cli({QStringLiteral("-p"), sim.link, QStringLiteral("--progress"), QStringLiteral("lines"),
                                  QStringLiteral("read"), QStringLiteral("-o"), QStringLiteral("-")});
        QCOMPARE(lines.code, 0);
        QVERIFY(lines.out.startsWith(":10000000"));
        QCOMPARE(lines.errText().count(QStringLiteral("% (")), 10);
        QVERIFY(lines.errText().contains(QStringLiteral("100% (1032/1032)")));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
