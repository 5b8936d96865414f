// SPDX-License-Identifier: GPL-3.0-or-later
// veltraw-cli with the PIC toolchain from gputils: HEX files as gpasm writes them are written,
// verified and end up in the PIC word for word; what veltraw reads back and exports is taken
// by gpdasm, disassembles to the same instructions as the source, and runs in gpsim.
// examples/blink.asm and examples/eeprom.asm are assembled afresh; without gpasm the suite is
// skipped, without gpdasm or gpsim only the checks that need them.

#include "cli/clirun.h"

#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QStandardPaths>

using namespace clitest;

namespace {

constexpr int kProgramWords = 1024;
constexpr int kEepromBytes = 64;
constexpr int kConfigByteAddress = 0x400E;  // word 2007h
constexpr int kEepromByteAddress = 0x4200;  // EEPROM byte 0, one byte a word
constexpr int kConfigBitsSent = 0x1F;       // the writer takes the configuration word's bits 0-4

// Intel HEX read on its own terms (not through veltraw's reader): byte address -> byte.
// Data, end and extended linear address records; anything else, or a bad checksum, is an error.
bool parseHex(const QByteArray &text, QMap<int, quint8> *bytes, QString *error)
{
    bytes->clear();
    int upper = 0;
    int lineNo = 0;
    bool ended = false;
    for (QByteArray line : text.split('\n')) {
        ++lineNo;
        line = line.trimmed();
        if (line.isEmpty()) continue;
        const QByteArray raw = QByteArray::fromHex(line.mid(1));
        if (!line.startsWith(':') || raw.size() < 5 || raw.size() != 5 + quint8(raw[0]) || line.size() != 1 + 2 * raw.size()) {
            *error = QStringLiteral("line %1: not a record: %2").arg(lineNo).arg(QString::fromLatin1(line));
            return false;
        }
        int sum = 0;
        for (char c : raw) sum += quint8(c);
        if (sum & 0xFF) {
            *error = QStringLiteral("line %1: checksum").arg(lineNo);
            return false;
        }
        const int count = quint8(raw[0]);
        const int address = (quint8(raw[1]) << 8) | quint8(raw[2]);
        switch (quint8(raw[3])) {
        case 0:
            for (int i = 0; i < count; ++i) bytes->insert(upper + address + i, quint8(raw[4 + i]));
            break;
        case 1: ended = true; break;
        case 4: upper = ((quint8(raw[4]) << 8) | quint8(raw[5])) << 16; break;
        default:
            *error = QStringLiteral("line %1: record type %2").arg(lineNo).arg(quint8(raw[3]));
            return false;
        }
    }
    if (!ended) *error = QStringLiteral("no end record");
    return ended;
}

// The word at word address w of an INHX8M image (low byte first), or -1 where it has none.
int wordAt(const QMap<int, quint8> &bytes, int w)
{
    const auto lo = bytes.constFind(2 * w);
    const auto hi = bytes.constFind(2 * w + 1);
    if (lo == bytes.constEnd() || hi == bytes.constEnd()) return -1;
    return *lo | (*hi << 8);
}

struct Tool {
    int code = -1;
    QByteArray out;
    QByteArray err;
    QString both() const { return QString::fromUtf8(out) + QStringLiteral("\n--- stderr ---\n") + QString::fromUtf8(err); }
};

// A toolchain program, run to its end (or killed after timeoutMs) with nothing on its input.
Tool runTool(const QString &program, const QStringList &args, const QString &workDir, int timeoutMs = 30000)
{
    Tool t;
    QProcess p;
    p.setWorkingDirectory(workDir);
    keepDescriptorsToOurselves();
    p.start(program, args);
    if (!p.waitForStarted(10000)) return t;
    p.closeWriteChannel();
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(5000);
        t.code = -2;
    } else if (p.exitStatus() == QProcess::NormalExit) {
        t.code = p.exitCode();
    }
    t.out = p.readAllStandardOutput();
    t.err = p.readAllStandardError();
    return t;
}

// gpdasm's listing: word address -> "word  instruction" with the spacing made uniform.
QMap<int, QString> listing(const QByteArray &out)
{
    static const QRegularExpression line(QStringLiteral("^([0-9a-fA-F]{4}):\\s+([0-9a-fA-F]{2,4})\\s+(\\S.*)$"));
    QMap<int, QString> lines;
    for (const QByteArray &l : out.split('\n')) {
        const QRegularExpressionMatch m = line.match(QString::fromUtf8(l).trimmed());
        if (!m.hasMatch()) continue;
        lines.insert(m.captured(1).toInt(nullptr, 16),
                     m.captured(2).toLower() + QStringLiteral("  ") + m.captured(3).simplified());
    }
    return lines;
}

QString examplePath(const QString &name)
{
    // Not from __FILE__: a compiler cache may have made that path relative to the build folder.
    return QStringLiteral(VELTRAW_EXAMPLES_DIR "/") + name;
}

}  // namespace

class TestCliInterop : public ScratchSuite {
    Q_OBJECT

    QString gpasm_;

    // One example taken through gpasm and the writer once; every check below reads from it.
    struct Flow {
        bool done = false;
        QString error;        // why the flow stopped short, if it did
        QString hex;          // gpasm's file
        QString dump;         // the simulated PIC's memory after the write
        QString back;         // veltraw-cli read -o
        Result write, verify, read;
    };
    QMap<QString, Flow> flows_;

    const Flow &flow(const QString &name)
    {
        Flow &f = flows_[name];
        if (f.done) return f;
        f.done = true;
        f.hex = path(name + QStringLiteral(".hex"));
        f.dump = path(name + QStringLiteral(".dump.hex"));
        f.back = path(name + QStringLiteral(".back.hex"));
        const Tool as = runTool(gpasm_, {QStringLiteral("-a"), QStringLiteral("inhx8m"), QStringLiteral("-o"), f.hex,
                                         examplePath(name + QStringLiteral(".asm"))},
                                dir_.path());
        if (as.code != 0 || !QFile::exists(f.hex)) {
            f.error = QStringLiteral("gpasm failed on %1.asm:\n%2").arg(name, as.both());
            return f;
        }
        SimProcess sim(dir_.path(), name + QStringLiteral(".pty"), {QStringLiteral("--dump"), f.dump});
        if (!sim.ready) {
            f.error = QStringLiteral("veltraw-sim did not start");
            return f;
        }
        const QStringList port{QStringLiteral("-p"), sim.link, QStringLiteral("-q")};
        f.write = cli(port + QStringList{QStringLiteral("write"), f.hex, QStringLiteral("--eeprom")}, 90000);
        f.verify = cli(port + QStringList{QStringLiteral("verify"), f.hex, QStringLiteral("--eeprom")});
        f.read = cli(port + QStringList{QStringLiteral("read"), QStringLiteral("-o"), f.back});
        sim.stop();
        return f;
    }

    void loadImage(const QString &file, QMap<int, quint8> *bytes)
    {
        QString error;
        QVERIFY2(parseHex(readFile(file), bytes, &error), qPrintable(file + QStringLiteral(": ") + error));
    }

    static void examples()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("blink") << QStringLiteral("blink");
        QTest::newRow("eeprom") << QStringLiteral("eeprom");
    }

private slots:
    void cleanup() { settingsUntouched(); }
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        gpasm_ = QStandardPaths::findExecutable(QStringLiteral("gpasm"));
        if (gpasm_.isEmpty()) QSKIP("gpasm (package gputils) is not installed: nothing to assemble the examples with");
        QVERIFY2(QFile::exists(examplePath(QStringLiteral("blink.asm"))), qPrintable(examplePath(QStringLiteral("blink.asm"))));
    }

    // gpasm's file written with --eeprom and verified; the PIC then holds every program word
    // of the file and nothing else, the configuration word's bits 0-4 and the EEPROM bytes.
    void gpasmFileWrittenWordForWord_data() { examples(); }
    void gpasmFileWrittenWordForWord()
    {
        QFETCH(QString, name);
        const Flow &f = flow(name);
        QVERIFY2(f.error.isEmpty(), qPrintable(f.error));
        QVERIFY2(f.write.code == 0, qPrintable(f.write.both()));
        QVERIFY2(f.verify.code == 0, qPrintable(f.verify.both()));
        QVERIFY2(f.verify.out.isEmpty(), qPrintable(f.verify.both()));  // no mismatch listed

        QMap<int, quint8> file, pic;
        loadImage(f.hex, &file);
        loadImage(f.dump, &pic);
        if (QTest::currentTestFailed()) return;

        // The file as gpasm lays it out: program words below 800h, the configuration word at
        // 400Eh, EEPROM bytes from 4200h with a zero high byte.
        int programWords = 0;
        for (int w = 0; w < kProgramWords; ++w) {
            const int expected = wordAt(file, w);
            if (expected >= 0) ++programWords;
            const int got = wordAt(pic, w);
            QVERIFY2(got == (expected >= 0 ? expected : 0x3FFF),
                     qPrintable(QStringLiteral("program word %1h: file %2, PIC %3")
                                    .arg(w, 4, 16, QLatin1Char('0')).arg(expected, 0, 16).arg(got, 0, 16)));
        }
        QVERIFY2(programWords >= 20, qPrintable(QString::number(programWords)));  // the examples have 28 and 46

        const int fileConfig = wordAt(file, kConfigByteAddress / 2);
        const int picConfig = wordAt(pic, kConfigByteAddress / 2);
        QVERIFY2(fileConfig >= 0, "gpasm wrote no configuration word at 400Eh");
        QVERIFY(picConfig >= 0);
        QCOMPARE(picConfig & kConfigBitsSent, fileConfig & kConfigBitsSent);

        int eepromBytes = 0;
        for (int a = 0; a < kEepromBytes; ++a) {
            const int at = kEepromByteAddress + 2 * a;
            const bool inFile = file.contains(at);
            if (inFile) {
                ++eepromBytes;
                QCOMPARE(int(file.value(at + 1, 0xFF)), 0);
            }
            QVERIFY2(pic.contains(at), qPrintable(QString::number(a)));
            QVERIFY2(pic.value(at) == (inFile ? file.value(at) : 0xFF),
                     qPrintable(QStringLiteral("EEPROM %1h: file %2, PIC %3")
                                    .arg(a, 2, 16, QLatin1Char('0'))
                                    .arg(inFile ? file.value(at) : -1, 0, 16).arg(pic.value(at), 0, 16)));
        }
        for (auto it = file.constBegin(); it != file.constEnd(); ++it)
            QVERIFY2(it.key() < 2 * kProgramWords || (it.key() >= 0x4000 && it.key() < 0x4010)
                         || (it.key() >= kEepromByteAddress && it.key() < kEepromByteAddress + 2 * kEepromBytes),
                     qPrintable(QStringLiteral("gpasm byte at %1h is outside every area").arg(it.key(), 0, 16)));
        // blink.asm has no EEPROM data, eeprom.asm a pattern and a text.
        QVERIFY2(name == QLatin1String("eeprom") ? eepromBytes > 16 : eepromBytes == 0, qPrintable(QString::number(eepromBytes)));
    }

    // The read-back is taken by gpdasm, and every word the source uses disassembles as in
    // gpasm's own file; the rest of the program memory is blank. Of the ID/configuration area
    // only the configuration word's bits 0-4 are what the writer sets.
    void readBackDisassemblesAlike_data() { examples(); }
    void readBackDisassemblesAlike()
    {
        QFETCH(QString, name);
        const QString dis = QStandardPaths::findExecutable(QStringLiteral("gpdasm"));
        if (dis.isEmpty()) QSKIP("gpdasm (package gputils) is not installed");
        const Flow &f = flow(name);
        QVERIFY2(f.error.isEmpty(), qPrintable(f.error));
        QVERIFY2(f.write.code == 0, qPrintable(f.write.both()));
        QVERIFY2(f.read.code == 0, qPrintable(f.read.both()));

        const QStringList proc{QStringLiteral("-p"), QStringLiteral("p16f84a")};
        const Tool source = runTool(dis, proc + QStringList{f.hex}, dir_.path());
        QVERIFY2(source.code == 0, qPrintable(source.both()));
        const Tool back = runTool(dis, proc + QStringList{f.back}, dir_.path());
        QVERIFY2(back.code == 0 && back.err.trimmed().isEmpty(), qPrintable(back.both()));

        const QMap<int, QString> want = listing(source.out);
        const QMap<int, QString> got = listing(back.out);

        // The source's words, as many as gpasm put in the file.
        QMap<int, quint8> file;
        loadImage(f.hex, &file);
        if (QTest::currentTestFailed()) return;
        int programWords = 0;
        for (int w = 0; w < kProgramWords; ++w) programWords += wordAt(file, w) >= 0 ? 1 : 0;
        int listed = 0;
        for (auto it = want.constBegin(); it != want.constEnd() && it.key() < kProgramWords; ++it) ++listed;
        QCOMPARE(listed, programWords);

        QStringList differences;
        int compared = 0;
        for (int w = 0; w < kProgramWords; ++w) {
            if (!got.contains(w)) {
                differences << QStringLiteral("%1: missing from the read-back's listing").arg(w, 4, 16, QLatin1Char('0'));
                continue;
            }
            if (want.contains(w)) {
                ++compared;
                if (got.value(w) != want.value(w))
                    differences << QStringLiteral("%1: source \"%2\", read-back \"%3\"")
                                       .arg(w, 4, 16, QLatin1Char('0')).arg(want.value(w), got.value(w));
            } else if (!got.value(w).startsWith(QLatin1String("3fff "))) {
                differences << QStringLiteral("%1: unused, but read back \"%2\"").arg(w, 4, 16, QLatin1Char('0')).arg(got.value(w));
            }
        }
        QVERIFY2(differences.isEmpty(), qPrintable(differences.join(QLatin1Char('\n'))));
        QCOMPARE(compared, programWords);

        // Both listings place the configuration word at 2007h.
        QVERIFY2(want.contains(0x2007) && got.contains(0x2007), qPrintable(QString::fromUtf8(back.out.right(400))));
        const int wantConfig = want.value(0x2007).left(4).toInt(nullptr, 16);
        const int gotConfig = got.value(0x2007).left(4).toInt(nullptr, 16);
        QCOMPARE(gotConfig & kConfigBitsSent, wantConfig & kConfigBitsSent);
    }

    // The blinker's read-back loaded into gpsim: RB0 is an output, on in the first half second
    // (4 MHz, a cycle a microsecond), off in the second, on again in the third.
    void readBackBlinksInGpsim()
    {
        const QString sim = QStandardPaths::findExecutable(QStringLiteral("gpsim"));
        if (sim.isEmpty()) QSKIP("gpsim is not installed");
        const Flow &f = flow(QStringLiteral("blink"));
        QVERIFY2(f.error.isEmpty(), qPrintable(f.error));
        QVERIFY2(f.read.code == 0, qPrintable(f.read.both()));

        // gpsim 0.31 models the PIC16F84, the same core and memory as the 16F84A.
        const QList<int> cycles{250000, 750000, 1250000};
        QByteArray script = "load p16f84 " + QFileInfo(f.back).fileName().toUtf8() + "\n";
        for (int c : cycles) script += "break c " + QByteArray::number(c) + "\nrun\ntrisb\nportb\n";
        script += "quit\n";
        const QString stc = path(QStringLiteral("blink.stc"));
        QVERIFY(writeFile(stc, script));
        const Tool t = runTool(sim, {QStringLiteral("-i"), QStringLiteral("-c"), stc}, dir_.path(), 20000);
        QVERIFY2(t.code == 0, qPrintable(t.both()));

        static const QRegularExpression reg(QStringLiteral("\\b(trisb|portb) = 0x([0-9a-fA-F]+)"));
        static const QRegularExpression brk(QStringLiteral("cycle break: 0x[0-9a-fA-F]+ = (\\d+)"));
        QList<int> trisb, portb, stops;
        const QString out = QString::fromUtf8(t.out);
        for (auto it = reg.globalMatch(out); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            (m.captured(1) == QLatin1String("trisb") ? trisb : portb) << m.captured(2).toInt(nullptr, 16);
        }
        for (auto it = brk.globalMatch(out); it.hasNext();) stops << it.next().captured(1).toInt();
        QVERIFY2(stops == cycles, qPrintable(t.both()));
        QVERIFY2(trisb.size() == 3 && portb.size() == 3, qPrintable(t.both()));
        for (int i = 0; i < 3; ++i) {
            QVERIFY2((trisb[i] & 1) == 0, qPrintable(t.both()));  // RB0 drives the LED
            QVERIFY2((portb[i] & 1) == (i % 2 == 0 ? 1 : 0),
                     qPrintable(QStringLiteral("RB0 at cycle %1: %2\n").arg(cycles[i]).arg(portb[i] & 1) + t.both()));
        }
    }
};

QTEST_GUILESS_MAIN(TestCliInterop)
#include "tst_cli_interop.moc"
