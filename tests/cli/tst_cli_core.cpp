// SPDX-License-Identifier: GPL-3.0-or-later
// The core pieces the command line brought and the window program shares: a HEX file read as
// the write reads it (checked against the write itself on the simulated writer), the
// comparison and its counts, and the port's problems told apart.

#include "core/formats/memoryimage.h"
#include "core/link/portstatus.h"
#include "core/link/programmerlink.h"
#include "core/messages.h"
#include "core/protocol/programexchange.h"
#include "core/protocol/verify.h"
#include "ptyserver.h"
#include "support/hexfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using hexfiles::kEnd;
using hexfiles::rec;
using hexfiles::words;
using memoryimage::Problem;

namespace {

class QuietHost : public ExchangeHost {
public:
    messages::Button show(const messages::Message &) override { return messages::Ok; }
};

QList<Problem> problems(const memoryimage::Image &img)
{
    QList<Problem> out;
    for (const memoryimage::Issue &i : img.issues) out << i.problem;
    return out;
}

QVector<quint16> blankRead()
{
    return QVector<quint16>(1024 + 8, quint16(verify::kBlankWord));
}

}  // namespace

class TestCliCore : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString file(const QString &name, const QByteArray &data)
    {
        const QString p = dir_.filePath(name);
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size()) qFatal("cannot write %s", qPrintable(p));
        return p;
    }

private slots:
    // The image holds exactly what the write leaves in the PIC: half addresses to the even
    // word, gaps, a word wider than 14 bits, and the stop at the first record above 400h.
    void imageIsWhatTheWriteSends_data()
    {
        QTest::addColumn<QByteArray>("hex");
        QTest::newRow("gaps and a half address") << rec(0, words({1, 2, 3})) + rec(0x11, words({4, 5})) + rec(0x40, words({6})) + kEnd;
        QTest::newRow("stop above 400h") << rec(0, words({0x2805})) + rec(0x4000, words({0, 1, 0, 2})) + rec(0x30, words({7})) + kEnd;
        QTest::newRow("wide words") << rec(0x20, words({0x7FFF, 0x4001})) + rec(0x400E, words({0x3FF1})) + kEnd;
    }
    void imageIsWhatTheWriteSends()
    {
        QFETCH(QByteArray, hex);
        const QString path = file(QStringLiteral("same.hex"), hex);
        const memoryimage::Image img = memoryimage::read(path);
        QVERIFY(img.opened);
        QVERIFY(!img.hasErrors(false));

        sim::PtyServer sim;
        ProgrammerLink link;
        QString why;
        QVERIFY2(sim.start(&why) && link.openDevice(sim.slavePath(), &why), qPrintable(why));
        QuietHost host;
        QCOMPARE(program::sendProgram(link, host, path, 26).outcome, Outcome::Done);
        for (int a = 0; a < 1024; ++a) {
            const int expected = img.program[size_t(a)] >= 0 ? img.program[size_t(a)] : verify::kBlankWord;
            QCOMPARE(int(sim.writer().program[size_t(a)]), expected);
        }
    }

    void imageTellsWhatIsWrongByLine()
    {
        const QByteArray ok = rec(0, words({1})) + rec(0x10, words({2}));
        const memoryimage::Image img = memoryimage::read(file(
            QStringLiteral("issues.hex"),
            ":020000040000FA\r\n" + ok + ":020020000100DC\r\n" + rec(0x4000, words({0, 1, 0, 2})) + rec(0x0800, words({3}))
                + rec(0x4200, words({0xA5, 0x5A})) + rec(0x20, words({4})) + rec(0x5000, words({5})) + kEnd));
        // Line 1 is an extended address of 0: nothing to say. Line 4's checksum is off (DD).
        QCOMPARE(problems(img), (QList<Problem>{Problem::BadRecord, Problem::IdNotWritten, Problem::BeyondProgramMemory,
                                                Problem::NotWrittenAfterStop, Problem::Ignored}));
        QCOMPARE(img.issues[0].line, 4);
        QCOMPARE(img.issues[0].value, 0xDD);
        QCOMPARE(img.issues[3].value, 5);  // the line whose record ended the data phase
        QVERIFY(img.hasErrors(false));
        QVERIFY(!img.hasErrors(true));
        QCOMPARE(img.id[3], 2);
        QCOMPARE(img.eeprom[0], 0xA5);
        QCOMPARE(img.eeprom[1], 0x5A);
        QCOMPARE(img.eepromByteCount(), 2);
        QCOMPARE(img.program[0x10], 1);  // line 4 still counts, as the write would send it
        QVERIFY(memoryimage::problemText(img.issues[0]).contains(QStringLiteral("DDh")));

        // What the write itself stops on is never forced.
        const memoryimage::Image back = memoryimage::read(file(QStringLiteral("back.hex"), rec(0x10, words({1})) + rec(0, words({2})) + kEnd));
        QCOMPARE(problems(back), QList<Problem>{Problem::AddressBackwards});
        QVERIFY(back.hasErrors(true));
        const memoryimage::Image text = memoryimage::read(file(QStringLiteral("text.hex"), "hello\r\n" + kEnd));
        QCOMPARE(problems(text), QList<Problem>{Problem::NoColon});
        QVERIFY(!memoryimage::read(dir_.filePath(QStringLiteral("missing.hex"))).opened);
    }

    void configWordAsTheLookupFindsIt()
    {
        const memoryimage::Image img = memoryimage::read(file(
            QStringLiteral("cfg.hex"), rec(0x4000, words({0, 0, 0, 0, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FF2})) + rec(0x400E, words({0x3FF1})) + kEnd));
        QVERIFY(img.configWord.has_value());
        QCOMPARE(int(*img.configWord), 0x3FF2);  // the first record that covers 2007h decides
        QCOMPARE(img.configLine, 1);
    }

    void comparisonCountsEveryDifference()
    {
        std::array<int, 1024> expected;
        expected.fill(-1);
        expected[0] = 0x2805;
        expected[5] = 0x0000;
        expected[6] = 0x0F0F;
        QVector<quint16> read = blankRead();
        read[0] = 0x2805;
        read[6] = 0x0F00;
        read[1024 + 7] = 0x0011;
        verify::Report r;
        verify::compareProgram(r, expected, read, 0x3FF1);
        QCOMPARE(r.programCompared, 3);
        QVERIFY(r.configCompared);
        QCOMPARE(r.mismatches.size(), 2);
        QCOMPARE(r.mismatches[0].address, 5);
        QCOMPARE(r.mismatches[1].actual, 0x0F00);
        QCOMPARE(r.program.oneToZero, 4);   // 0F0F -> 0F00
        QCOMPARE(r.program.zeroToOne, 14);  // 0000 -> 3FFF
        QVERIFY(!r.eraseFirst());
        QVERIFY(verify::summaryText(r, QStringLiteral("erase で")).contains(QStringLiteral("14")));

        std::array<int, 64> bytes;
        bytes.fill(-1);
        bytes[3] = 0xA5;
        std::array<int, 64> eeprom;
        eeprom.fill(0xFF);
        verify::Report e;
        verify::compareEeprom(e, bytes, eeprom);
        QCOMPARE(e.eepromCompared, 1);
        QCOMPARE(e.eeprom.zeroToOne, 4);
        QCOMPARE(verify::mismatchText(e.mismatches[0]), messages::mismatchLine(2, 3, 0xA5, 0xFF));
    }

    void protectedProgramMemoryIsNeverPassed()
    {
        std::array<int, 1024> expected;
        expected.fill(-1);
        expected[0] = 0x2805;
        QVector<quint16> read = blankRead();
        read[0] = 0x0000;          // what a protected PIC gives
        read[1024 + 7] = 0x0001;   // code protection on
        verify::Report r;
        verify::compareProgram(r, expected, read, 0x01);
        QVERIFY(r.programUnverifiable);
        QCOMPARE(r.programCompared, 0);
        QVERIFY(!r.differs());
        QVERIFY(verify::summaryText(r, QStringLiteral("erase で")).contains(messages::verifyProgramProtected()));
    }

    void portProblemsToldApart()
    {
        using portstatus::PortProblem;
        QCOMPARE(portstatus::check(dir_.filePath(QStringLiteral("nothing"))).problem, PortProblem::NoDevice);
        QVERIFY(portstatus::lockFilePath(QStringLiteral("/dev/ttyUSB7")).endsWith(QStringLiteral("/LCK..ttyUSB7")));
        QVERIFY(portstatus::lockFilePath(QStringLiteral("/dev/pts/7")).endsWith(QStringLiteral("/LCK..pts_7")));

        // Another process's lock file on the port, in Qt's format: busy, and who holds it.
        sim::PtyServer sim;
        QVERIFY(sim.start());
        QCOMPARE(portstatus::check(sim.slavePath()).problem, PortProblem::None);
        QProcess holder;
        holder.start(QStringLiteral("sleep"), {QStringLiteral("30")});
        QVERIFY(holder.waitForStarted());
        const QString lock = portstatus::lockFilePath(sim.slavePath());
        QFile f(lock);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray::number(holder.processId()) + "\nsleep\n\n");
        f.close();
        const portstatus::Status busy = portstatus::check(sim.slavePath());
        QCOMPARE(busy.problem, PortProblem::Busy);
        QCOMPARE(busy.holderPid, holder.processId());
        QVERIFY(portstatus::text(busy, sim.slavePath()).contains(QStringLiteral("sleep")));
        // A lock left by a process that has gone is no one's.
        holder.kill();
        holder.waitForFinished();
        QCOMPARE(portstatus::check(sim.slavePath()).problem, PortProblem::None);
        QFile::remove(lock);

        portstatus::Status denied;
        denied.problem = PortProblem::NoPermission;
        QVERIFY(portstatus::text(denied, QStringLiteral("/dev/ttyUSB0")).contains(QStringLiteral("dialout")));
    }
};

QTEST_GUILESS_MAIN(TestCliCore)
#include "tst_cli_core.moc"
