// SPDX-License-Identifier: GPL-3.0-or-later
// The exchanges without a window: the core alone runs the link check, a program write, a read
// with its HEX export and an erase against veltraw-sim as its own process, the verify and the
// blank check against it in process, and the host contract holds (the default time-out clock, cancelling, the time-out reaction).

#include "core/link/programmerlink.h"
#include "core/messages.h"
#include "core/protocol/linkcheck.h"
#include "core/formats/memoryimage.h"
#include "core/protocol/programexchange.h"
#include "core/protocol/verify.h"
#include "ptyserver.h"
#include "support/hexfiles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>

namespace {

using hexfiles::kEnd;
using hexfiles::rec;
using hexfiles::words;

// Records what an exchange shows and says; confirms the configuration word as it is.
class RecordingHost : public linkcheck::Host {
public:
    messages::Button show(const messages::Message &m) override
    {
        shown << m.text;
        return messages::Ok;
    }
    void progress(const QString &text) override { lastProgress = text; }
    std::optional<QString> saveFileName(const SaveRequest &r) override
    {
        proposed = r.proposedName;
        return saveTo;
    }
    bool cancelled() const override { return gone; }
    // A short reply time-out for the cases that wait for one.
    void armTimeout(int ms) override { ExchangeHost::armTimeout(shortTimeoutMs ? shortTimeoutMs : ms); }

    QStringList shown;
    QString lastProgress;
    QString proposed;
    std::optional<QString> saveTo;
    int shortTimeoutMs = 0;
    bool gone = false;
};

// The in-process simulated writer, silent from its first reply, and a link on it.
struct SilentWriter {
    sim::PtyServer sim;
    ProgrammerLink link;
    SilentWriter()
    {
        QString why;
        if (!sim.start(&why) || !link.openDevice(sim.slavePath(), &why)) qFatal("no simulated writer: %s", qPrintable(why));
        sim.writer().setFault({sim::Fault::Silence, 0, {}, 0});
    }
};

}  // namespace

class TestCoreExchanges : public QObject {
    Q_OBJECT
private slots:
    void writeReadEraseAgainstTheSimulatedWriterProgram()
    {
        QTemporaryDir dir;
        const QString linkPath = dir.filePath(QStringLiteral("pty"));
        QProcess sim;
        sim.start(QStringLiteral(VELTRAW_SIM_PATH), {QStringLiteral("--link"), linkPath, QStringLiteral("--dump"),
                                                    dir.filePath(QStringLiteral("after.hex"))});
        QVERIFY(sim.waitForStarted());
        QVERIFY(QTest::qWaitFor([&] { return QFile::exists(linkPath); }, 5000));

        ProgrammerLink link;
        QString why;
        QVERIFY2(link.openDevice(linkPath, &why), qPrintable(why));
        RecordingHost host;
        QCOMPARE(linkcheck::checkLink(link, host), Outcome::Done);
        QVERIFY(host.shown.isEmpty());

        const QString hex = dir.filePath(QStringLiteral("p.hex"));
        QFile f(hex);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(rec(0, words({0x2805, 0x0123})) + rec(0x20, words({0x3FF0})) + rec(0x400E, words({0x3FF1})) + kEnd);
        f.close();
        const program::WriteResult w = program::writeProgram(link, host, hex, 26);
        QCOMPARE(w.outcome, Outcome::Done);
        QCOMPARE(w.configWord, qint16(0x3FF1));  // the file's word, confirmed as it was
        QVERIFY(w.configWritten);
        QCOMPARE(w.nextAddress, 0x11);
        QCOMPARE(host.shown, QStringList{messages::writeDone().text});

        host.shown.clear();
        host.saveTo = dir.filePath(QStringLiteral("read.hex"));
        const program::ReadResult r = program::readProgram(link, host);
        QCOMPARE(r.outcome, Outcome::Done);
        QCOMPARE(r.words.size(), 1032);
        QCOMPARE(r.words[0], quint16(0x2805));
        QCOMPARE(r.words[1], quint16(0x0123));
        QCOMPARE(r.words[2], quint16(0x3FFF));
        QCOMPARE(r.words[0x10], quint16(0x3FF0));
        QCOMPARE(r.words[1024 + 7], quint16(0x71));  // only the low 7 bits of the word travel
        QCOMPARE(r.savedTo, *host.saveTo);
        QVERIFY(host.proposed.endsWith(QStringLiteral("/veltra.hex")));
        QFile saved(*host.saveTo);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll().startsWith(rec(0, words({0x2805, 0x0123, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF}))));
        QCOMPARE(host.shown, QStringList{messages::readDone().text});

        host.shown.clear();
        QCOMPARE(program::eraseProgram(link, host), Outcome::Done);
        QCOMPARE(host.shown, QStringList{messages::programErased().text});

        link.close();
        sim.terminate();
        QVERIFY(sim.waitForFinished(5000));
        // Erased after the read: every word of the PIC's memory as the writer left it.
        QFile dump(dir.filePath(QStringLiteral("after.hex")));
        QVERIFY(dump.open(QIODevice::ReadOnly));
        sim::SimWriter after, blank;
        after.program.fill(0);
        after.idConfig.fill(0);
        QVERIFY2(after.loadHex(dump.readAll(), &why), qPrintable(why));
        QVERIFY(after.program == blank.program);
        QVERIFY(after.idConfig == blank.idConfig);
    }

    // The default clock of a host ends a silent wait and the write's time-out reaction follows:
    // E, E, S, the message, then the failure's own path.
    void defaultClockTimesOutAndTheReactionFollows()
    {
        SilentWriter w;
        RecordingHost host;
        host.shortTimeoutMs = 200;
        QTemporaryDir dir;
        QElapsedTimer t;
        t.start();
        const program::WriteResult r = program::sendProgram(w.link, host, dir.filePath(QStringLiteral("x.hex")), 26);
        QVERIFY(t.elapsed() >= 190);
        QCOMPARE(r.outcome, Outcome::TimedOut);
        w.sim.pollNow();
        QCOMPARE(w.sim.hostBytes(), QByteArray("WEESSCE"));
        QCOMPARE(host.shown, (QStringList{messages::operationTimeout().text, messages::programWriterError().text}));
    }

    // The verify and the blank check the front ends share: a file the write would stop on is
    // refused before a byte goes out; otherwise the PIC's words are read and compared.
    void verifyAndBlankCheckCompareWhatThePicHolds()
    {
        sim::PtyServer sim;
        ProgrammerLink link;
        QString why;
        QVERIFY2(sim.start(&why) && link.openDevice(sim.slavePath(), &why), qPrintable(why));
        sim.writer().program.fill(0x3FFF);
        sim.writer().idConfig.fill(0x3FFF);
        sim.writer().program[0] = 0x2805;
        sim.writer().program[1] = 0x0103;  // the file's 0123h with a bit an erase would set
        QTemporaryDir dir;
        auto image = [&](const QByteArray &text) {
            QFile f(dir.filePath(QStringLiteral("v.hex")));
            f.open(QIODevice::WriteOnly | QIODevice::Truncate);
            f.write(text);
            f.close();
            return memoryimage::read(f.fileName());
        };
        RecordingHost host;

        const verify::Result refused = verify::verifyProgram(link, host, image(rec(0, words({0x2805})) + "no colon\n" + kEnd), 0x3FFF);
        QCOMPARE(refused.outcome, Outcome::FileError);
        QCOMPARE(host.shown.size(), 1);
        QCOMPARE(host.shown[0], messages::verifyFileStops(QString()).text);
        sim.pollNow();
        QCOMPARE(sim.hostBytes(), QByteArray());

        const verify::Result r = verify::verifyProgram(link, host, image(rec(0, words({0x2805, 0x0123})) + kEnd), 0x3FFF);
        QCOMPARE(r.outcome, Outcome::Done);
        QCOMPARE(r.report.programCompared, 2);
        QCOMPARE(r.report.mismatches.size(), 1);
        QCOMPARE(r.report.mismatches[0].address, 1);
        QCOMPARE(r.report.mismatches[0].actual, 0x0103);
        QVERIFY(r.report.eraseFirst());
        QVERIFY(verify::summaryText(r.report, QStringLiteral("[erase]")).contains(QStringLiteral("[erase]")));

        const verify::Result blank = verify::checkBlank(link, host);
        QCOMPARE(blank.outcome, Outcome::Done);
        QCOMPARE(blank.report.mismatches.size(), 2);
        QCOMPARE(blank.report.mismatches[1].address, 1);
        QCOMPARE(blank.report.mismatches[1].expected, verify::kBlankWord);
        sim.pollNow();
        QCOMPARE(sim.hostBytes(), QByteArray("CRCR"));
    }

    // A host that goes (a window closed, as an event) ends the wait at once, without the time-out.
    void cancellingEndsTheWait()
    {
        SilentWriter w;
        RecordingHost host;
        QTimer::singleShot(150, [&host] { host.gone = true; });
        QElapsedTimer t;
        t.start();
        QCOMPARE(host.awaitByte(w.link, 5000), ReplyWait::End::Cancelled);
        QVERIFY2(t.elapsed() < 2000, qPrintable(QString::number(t.elapsed())));
    }
};

QTEST_MAIN(TestCoreExchanges)
#include "tst_core_exchanges.moc"
