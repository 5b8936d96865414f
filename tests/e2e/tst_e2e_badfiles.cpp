// SPDX-License-Identifier: GPL-3.0-or-later
// Bad input: HEX files and data files that are empty, binary, huge, not files at all, in
// other encodings or behind awkward paths, and a writer that floods the line. Each case runs
// through the real windows and checks the message, bounded time and memory, and that nothing
// but the intended file was touched.

#include "gui/frmeepromwrite.h"
#include "core/formats/hexexport.h"
#include "support/faultmatrix.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <atomic>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace faults;

namespace {

const QString kHexError = QStringLiteral("Hexファイルにエラーがありました");
const QString kNoHexFile = QStringLiteral("HEXファイルが存在しません。参照をクリックしてファイルを指定をしてください");
const QString kWritten = QStringLiteral("書込みが終了しました");
const QString kReadDone = QStringLiteral("読取り終了しました");
const QString kCannotCall = QStringLiteral("指定ファイルを呼出しません。");
const QString kBadArgument = QStringLiteral("引数の指定が違います");
const QString kNoDataFile = QStringLiteral("指定したファイルが存在しないので書込みができません。\r\nもう一度操作してください。");

// Limits generous enough for a loaded machine; reading a huge file whole would break them. The
// memory limit is the peak's growth over the case alone (start-up included where the case
// starts a program), far below the 100 MB and 1 GiB files.
constexpr qint64 kMaxMs = 10000;
constexpr long kMaxGrowthKb = 24 * 1024;

constexpr qint64 kGiB = qint64(1) << 30;

// Shift_JIS bytes of "書込みテスト": some of their second bytes look like ASCII letters.
const QByteArray kSjisWords("\x8F\x91\x8D\x9E\x82\xDD\x83\x65\x83\x58\x83\x67");

// A file of `size` bytes that takes no room: all zeros.
QString sparseFile(const QString &path, qint64 size)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || !f.resize(size)) qFatal("cannot make %s", qPrintable(path));
    return path;
}

// `head`, then `filler` repeated to about `size` bytes, then `tail`, written in chunks.
QString bigFile(const QString &path, const QByteArray &head, const QByteArray &filler, qint64 size, const QByteArray &tail)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot make %s", qPrintable(path));
    f.write(head);
    QByteArray chunk;
    while (chunk.size() < (1 << 20)) chunk += filler;
    for (qint64 n = 0; n < size; n += chunk.size()) f.write(chunk);
    f.write(tail);
    return path;
}

QString fifo(const QString &path)
{
    if (::mkfifo(QFile::encodeName(path).constData(), 0600) != 0) qFatal("mkfifo failed");
    return path;
}

QByteArray utf16(const QByteArray &ascii, bool bigEndian)
{
    QByteArray out = bigEndian ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
    for (char c : ascii) {
        if (bigEndian) out += '\0';
        out += c;
        if (!bigEndian) out += '\0';
    }
    return out;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The words a good file programs.
const QByteArray kGoodHex = hexRecord(0, hexWords({0x0123, 0x2805})) + hexRecord(0x10, hexWords({0x3FF0})) + ":00000001FF\r\n";

// The data file of the "/F" start: line n holds n, a comma and its value.
QByteArray dataLines(std::array<uint8_t, 64> &values)
{
    QByteArray text;
    for (int n = 0; n < 64; ++n) {
        values[size_t(n)] = uint8_t((n * 41 + 3) & 0xFF);
        text += QByteArray::number(n) + "," + QByteArray::number(values[size_t(n)]) + "\r\n";
    }
    return text;
}

// A writer that floods the line from a thread of its own and swallows what the program sends,
// on a pseudo-terminal of its own.
class Flooder {
public:
    ~Flooder()
    {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        if (master_ >= 0) ::close(master_);
        if (keep_ >= 0) ::close(keep_);
    }
    bool start(const QByteArray &pattern)
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return false;
        char name[128];
        if (::ptsname_r(master_, name, sizeof name) != 0) return false;
        slave = QString::fromLocal8Bit(name);
        keep_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (keep_ < 0) return false;
        termios tio;
        if (::tcgetattr(keep_, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(keep_, TCSANOW, &tio);
        }
        QByteArray chunk;
        while (chunk.size() < 4096) chunk += pattern;
        thread_ = std::thread([this, chunk] {
            char buf[4096];
            while (!stop_) {
                pollfd p{master_, POLLIN | POLLOUT, 0};
                if (::poll(&p, 1, 20) <= 0) continue;
                if (p.revents & POLLIN) {
                    const ssize_t n = ::read(master_, buf, sizeof buf);
                    if (n > 0) received += n;
                }
                if (p.revents & POLLOUT) {
                    const ssize_t n = ::write(master_, chunk.constData(), size_t(chunk.size()));
                    if (n > 0) sent += n;
                }
            }
        });
        return true;
    }
    QString slave;
    std::atomic<qint64> sent{0};
    std::atomic<qint64> received{0};

private:
    int master_ = -1;
    int keep_ = -1;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace

class TestBadFiles : public QObject {
    Q_OBJECT

    std::unique_ptr<Harness> h;
    FormMain *f = nullptr;

    // One started program for the cases that can share it. Only one harness may live at a time
    // (each installs the scripted boxes and removes them when it goes), so the cases that start
    // programs of their own drop it first.
    bool useShared()
    {
        if (!h) {
            h = std::make_unique<Harness>();
            f = startQuiet(*h);
            FrmReadWrite()->Timer1->setInterval(1000);
        }
        return f && f->MSComm1->isOpen();
    }
    void dropShared()
    {
        h.reset();
        f = nullptr;
    }

    void writeFile(const QString &path)
    {
        f->HexFileName->setText(path);
        h->modalActions.push_back(pressOk);
        h->modalActions.push_back(confirmConfig);
        f->WriteCommand->click();
        h->modalActions.clear();
    }

    bool goodWordsWritten() const
    {
        const auto &pic = h->sim.writer();
        return pic.program[0] == 0x0123 && pic.program[1] == 0x2805 && pic.program[8] == 0x3FF0 && pic.program[2] == 0x3FFF;
    }

    // The "/F" start with `path`, its click, and what the writer holds afterwards.
    struct DataRun {
        QStringList messages;
        std::array<uint8_t, 64> eeprom{};
        QByteArray wire;
        bool ended = false;
        Usage usage;
    };
    DataRun runDataFile(Harness &dh, const QString &path)
    {
        DataRun r;
        r.usage = measure([&] {
            FormMain *df = startQuiet(dh, {QStringLiteral("/F"), path});
            frmEEPROMwrite *w = FrmEEPROMwrite();
            if (!df || !w || dh.ended()) return;
            w->Command1->click();
        });
        r.messages = dh.messageTexts();
        r.eeprom = dh.sim.writer().eeprom;
        r.wire = dh.hostBytes();
        r.ended = dh.ended();
        return r;
    }

private slots:
    void cleanupTestCase() { dropShared(); }

    // ---- HEX files ---------------------------------------------------------------------------

    void hexFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QByteArray>("wire");  // from the dialog's opening "C" on; "-": nothing sent at all
        const QStringList twice{kHexError, kHexError};
        QTest::newRow("empty") << "empty" << QStringList{kWritten} << QByteArray("CWG\x80\x9A" "E");
        QTest::newRow("binary") << "binary" << twice << QByteArray("CWE");
        QTest::newRow("1 GiB sparse") << "sparse" << twice << QByteArray("CWE");
        QTest::newRow("one line of 100 MB") << "longline" << twice << QByteArray("CWE");
        QTest::newRow("/dev/zero") << "devzero" << QStringList{kNoHexFile} << QByteArray("-");
        QTest::newRow("folder") << "folder" << QStringList{kNoHexFile} << QByteArray("-");
        QTest::newRow("FIFO") << "fifo" << QStringList{kNoHexFile} << QByteArray("-");
        QTest::newRow("UTF-16 with BOM") << "utf16" << twice << QByteArray("CWE");
        // kGoodHex: "D" and the two 7-bit groups of 0123h and 2805h, a skip of 6 words, 3FF0h.
        const QByteArray firstRecord("D\x82\xA3" "D\xD0\x85");
        QTest::newRow("Shift_JIS comments after the records")
            << "sjiscomment" << QStringList{kWritten} << QByteArray("CW" + firstRecord + "I\x86" "D\xFF\xF0" "G\x80\x9A" "E");
        QTest::newRow("Shift_JIS line between records") << "sjisline" << twice << QByteArray("CW" + firstRecord + "E");
    }
    void hexFiles()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, messages);
        QFETCH(QByteArray, wire);
        QVERIFY(useShared());
        const QString dir = h->path(QStringLiteral("hex-") + kind);
        QVERIFY(QDir().mkpath(dir));
        QString path = dir + QStringLiteral("/file.hex");
        QByteArray contents;
        if (kind == "empty") contents = "";
        if (kind == "binary")
            for (int i = 0; i < 4096; ++i) contents += char((i * 7919 + 13) & 0xFF);
        if (kind == "utf16") contents = utf16(kGoodHex, false);
        if (kind == "sjiscomment") {
            for (const QByteArray &line : kGoodHex.split('\n'))
                if (!line.isEmpty()) contents += line.chopped(1) + " ; " + kSjisWords + "\r\n";
        }
        if (kind == "sjisline") {
            const QList<QByteArray> lines = kGoodHex.split('\n');
            contents = lines[0] + "\n" + kSjisWords + "\r\n" + lines[1] + "\n" + lines[2] + "\n";
        }
        if (kind == "sparse") sparseFile(path, kGiB);
        else if (kind == "longline") bigFile(path, ":", "0", 100 << 20, "\r\n");
        else if (kind == "devzero") path = QStringLiteral("/dev/zero");
        else if (kind == "folder") QVERIFY(QDir().mkpath(path));
        else if (kind == "fifo") fifo(path);
        else h->writeFile(QStringLiteral("hex-") + kind + QStringLiteral("/file.hex"), contents);
        const QFileInfo before(path);

        h->sim.writer().eraseAll();
        settings::stored().ConfigWord = 26;
        h->messages.clear();
        h->clearWire();
        const Usage u = measure([&] { writeFile(path); });

        QCOMPARE(h->messageTexts(), messages);
        if (messages.value(0) == kHexError) {
            QCOMPARE(h->messages[0].title, QStringLiteral("エラーが発生しました"));  // the configuration word lookup
            QCOMPARE(h->messages[1].title, QStringLiteral("ファイルエラー"));        // the write
            QVERIFY(!h->messages[1].detail.isEmpty());
        }
        if (wire == "-") QVERIFY(h->hostBytes().isEmpty());
        else QCOMPARE(h->hostBytes(), wire);
        if (kind == "sjiscomment") QVERIFY(goodWordsWritten());
        if (kind == "sjisline") {
            // The first record went out before the bad line: the detail says where it stopped.
            QCOMPARE(h->sim.writer().program[0], uint16_t(0x0123));
            QCOMPARE(h->messages[1].detail, QStringLiteral("HEXファイルの 2 行目で止まりました。アドレス 0002h の手前まで書込み済みです。"));
        }
        if (kind != "sjiscomment" && kind != "sjisline" && kind != "empty")
            QCOMPARE(h->sim.writer().program[0], uint16_t(0x3FFF));
        QVERIFY2(u.ms < kMaxMs, qPrintable(QString::number(u.ms)));
        QVERIFY(u.measured);
        QVERIFY2(u.growthKb < kMaxGrowthKb, qPrintable(QStringLiteral("%1 kB").arg(u.growthKb)));
        // The file itself is as it was.
        const QFileInfo after(path);
        QCOMPARE(after.exists(), before.exists());
        QCOMPARE(after.size(), before.size());
        QCOMPARE(after.lastModified(), before.lastModified());
        QVERIFY(!f->MSComm1->binaryMode());
        QVERIFY(!f->MSComm1->busy());
        qInfo("%s: %lld ms, peak memory +%ld kB", qPrintable(kind), u.ms, u.growthKb);
    }

    // ---- awkward paths -------------------------------------------------------------------------

    void awkwardPaths_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addRow("blanks") << QStringLiteral("a b  c.hex");
        QTest::addRow("quotes") << QStringLiteral("it's \"quoted\".hex");
        QTest::addRow("shell characters") << QStringLiteral("$(touch pwned);`touch pwned2`|&<>*?~!#%.hex");
        QTest::addRow("Japanese") << QStringLiteral("プログラム 書込み.hex");
    }
    void awkwardPaths()
    {
        QFETCH(QString, name);
        QVERIFY(useShared());
        static int n = 0;
        const QString dir = h->path(QStringLiteral("paths %1").arg(++n));
        QVERIFY(QDir().mkpath(dir));
        const QString path = dir + QLatin1Char('/') + name;
        {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(kGoodHex);
        }
        // Written from the path label...
        h->sim.writer().eraseAll();
        h->messages.clear();
        writeFile(path);
        QCOMPARE(h->messageTexts(), QStringList{kWritten});
        QVERIFY(goodWordsWritten());
        // ...and read back into a file of the same kind of name beside it.
        const QString out = dir + QStringLiteral("/出力 ") + name;
        h->messages.clear();
        h->modalActions.push_back(pressOk);
        h->fileAnswers.push_back(out);
        f->ReadCommand->click();
        QCOMPARE(h->messageTexts(), QStringList{kReadDone});
        QVERIFY(readAll(out).startsWith(":1000000023010528FF3FFF3F"));
        // Nothing was run by a shell, and nothing else appeared.
        QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::NoDotAndDotDot).size(), 2);
        QVERIFY(!QFile::exists(QStringLiteral("pwned")) && !QFile::exists(dir + QStringLiteral("/pwned")));
    }

    void awkwardPathsOnTheCommandLine_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("quoted");
        QTest::addColumn<QString>("message");
        QTest::addRow("blanks and Japanese") << QStringLiteral("書込み a b.HEX") << false << kWritten;
        QTest::addRow("shell characters") << QStringLiteral("$(x);`y`|&'\".hex") << false << kWritten;
        QTest::addRow("in quotation marks") << QStringLiteral("a b.hex") << true << kBadArgument;
        QTest::addRow("/dev/zero behind a .hex name") << QStringLiteral("zero.hex") << false << kCannotCall;
        QTest::addRow("a folder named .hex") << QStringLiteral("folder.hex") << false << kCannotCall;
        QTest::addRow("a FIFO named .hex") << QStringLiteral("fifo.hex") << false << kCannotCall;
    }
    void awkwardPathsOnTheCommandLine()
    {
        QFETCH(QString, name);
        QFETCH(bool, quoted);
        QFETCH(QString, message);
        dropShared();
        Harness ch;
        const QString path = ch.path(name);
        if (name == "zero.hex") QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        else if (name == "folder.hex") QVERIFY(QDir().mkpath(path));
        else if (name == "fifo.hex") fifo(path);
        else ch.writeFile(name, kGoodHex);
        const QByteArray iniBefore = ch.readIni();
        ch.modalActions.push_back(pressOk);
        ch.modalActions.push_back(confirmConfig);
        const Usage u = measure([&] { ch.start({quoted ? QLatin1Char('"') + path + QLatin1Char('"') : path}); });
        QVERIFY(ch.ended());
        QCOMPARE(ch.messageTexts(), QStringList{message});
        QVERIFY(u.ms < kMaxMs);
        QCOMPARE(ch.readIni(), iniBefore);
        if (message == kWritten) {
            QCOMPARE(ch.sim.writer().program[8], uint16_t(0x3FF0));
        } else {
            ch.sim.pollNow();
            QVERIFY(ch.hostBytes().isEmpty());
        }
    }

    // ---- data files of the "/F" start ------------------------------------------------------------

    void dataFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("empty") << "empty";
        QTest::newRow("binary") << "binary";
        QTest::newRow("1 GiB sparse") << "sparse";
        QTest::newRow("one line of 100 MB") << "longline";
        QTest::newRow("/dev/zero") << "devzero";
        QTest::newRow("folder") << "folder";
        QTest::newRow("FIFO") << "fifo";
        QTest::newRow("UTF-16 LE with BOM") << "utf16le";
        QTest::newRow("UTF-16 BE with BOM") << "utf16be";
        QTest::newRow("UTF-8 with BOM") << "utf8bom";
        QTest::newRow("Shift_JIS heading line") << "sjis";
        QTest::newRow("path with blanks, quotes, shell characters, Japanese") << "path";
        QTest::newRow("path in quotation marks") << "quoted";
    }
    void dataFiles()
    {
        QFETCH(QString, kind);
        dropShared();
        Harness dh;
        std::array<uint8_t, 64> values{};
        const QByteArray lines = dataLines(values);
        QString path = dh.path(QStringLiteral("data.txt"));
        std::array<uint8_t, 64> expected{};  // what the writer must hold afterwards
        QString message = QStringLiteral("書込みが終了しました");
        if (kind == "empty") dh.writeFile("data.txt", "");
        if (kind == "binary") {
            QByteArray b;
            for (int i = 0; i < 4096; ++i) b += char(0x80 | ((i * 31) & 0x7F));  // no digit, comma or line end
            dh.writeFile("data.txt", b);
        }
        if (kind == "sparse") sparseFile(path, kGiB);
        if (kind == "longline") {
            bigFile(path, "", "7,8,9,10,", 100 << 20, "\r\n");
            for (int a = 0; a < 64; ++a) expected[size_t(a)] = a % 2 ? 10 : 8;
        }
        if (kind == "devzero" || kind == "folder" || kind == "fifo" || kind == "quoted") message = kNoDataFile;
        if (kind == "devzero") path = QStringLiteral("/dev/zero");
        if (kind == "folder") QVERIFY(QDir().mkpath(path));
        if (kind == "fifo") fifo(path);
        if (kind == "utf16le" || kind == "utf16be" || kind == "utf8bom" || kind == "path" || kind == "quoted") expected = values;
        if (kind == "utf16le") dh.writeFile("data.txt", utf16(lines, false));
        if (kind == "utf16be") dh.writeFile("data.txt", utf16(lines, true));
        if (kind == "utf8bom") dh.writeFile("data.txt", "\xEF\xBB\xBF" + lines);
        if (kind == "sjis") {
            // The heading counts as a value that is not a number: every group shifts by one, and
            // the line numbers become the data. No message, as with any value that is no number.
            dh.writeFile("data.txt", kSjisWords + "\r\n" + lines);
            for (int a = 0; a < 64; ++a) expected[size_t(a)] = uint8_t(a);
        }
        if (kind == "path" || kind == "quoted") path = dh.writeFile(QStringLiteral("データ 'a' \"b\" $(c);`d`.txt"), lines);
        if (kind == "quoted") path = QLatin1Char('"') + path + QLatin1Char('"');

        const DataRun r = runDataFile(dh, path);
        QVERIFY(r.ended);
        QCOMPARE(r.messages, QStringList{message});
        if (message == kNoDataFile) {
            QCOMPARE(dh.messages[0].title, QStringLiteral("Veltraライタ"));
            QCOMPARE(r.wire, QByteArray("M"));  // nothing after the writer's "m"
        } else {
            QVERIFY(r.eeprom == expected);
        }
        QVERIFY2(r.usage.ms < kMaxMs, qPrintable(QString::number(r.usage.ms)));
        QVERIFY(r.usage.measured);
        QVERIFY2(r.usage.growthKb < kMaxGrowthKb, qPrintable(QStringLiteral("%1 kB").arg(r.usage.growthKb)));
        qInfo("%s: %lld ms, peak memory +%ld kB", qPrintable(kind), r.usage.ms, r.usage.growthKb);
    }

    // ---- a writer that floods the line --------------------------------------------------------

    void floodingWriterIsBounded()
    {
        QVERIFY(useShared());
        Flooder flood;
        // Bytes no exchange expects, with and without bit 7.
        QVERIFY(flood.start(QByteArray("#\x80\xFF\x00\x13", 5)));
        QString why;
        QVERIFY2(f->MSComm1->openDevice(flood.slave, &why), qPrintable(why));
        ShortWatchdog watchdog(f, 1000);
        h->messages.clear();
        QVERIFY(resetPeakMemory());
        const long before = peakMemoryKb();
        QElapsedTimer t;
        t.start();

        // Idle: what the program holds stays within its read buffer, the rest waits in the driver.
        QTest::qWait(1500);
        QVERIFY(f->MSComm1->bytesWaiting() <= ProgrammerLink::kReadBufferLimit);
        // The About box's query takes at most ten characters and keeps its default line.
        QString line;
        h->modalActions.push_back([&](QDialog *d) {
            line = d->findChild<QLabel *>(QStringLiteral("Label2"))->text();
            d->close();
        });
        f->menu_help_about->trigger();
        QCOMPARE(line, QStringLiteral("このソフトはVELTRA2用PICライタです"));
        // An erase meets a reply that is no letter it knows.
        h->modalActions.push_back(pressOk);
        f->EraseCommand->click();
        QCOMPARE(h->messageTexts(), QStringList{QStringLiteral("ライタにエラーが発生しました")});
        // The link check reads everything that comes and answers each byte with "S", until its
        // watchdog ends it.
        h->messages.clear();
        f->CheckLink();
        QCOMPARE(h->messageTexts(), QStringList{QStringLiteral("ライタの反応がありません。\r\n電源およびケーブルの接続を確認し、通信設定をもう一度クリックしてください。")});
        QTest::qWait(500);
        QVERIFY(f->MSComm1->bytesWaiting() <= ProgrammerLink::kReadBufferLimit);

        const long growth = peakMemoryKb() - before;
        qInfo("flooded %lld bytes in %lld ms, %lld bytes came back; peak memory +%ld kB", qint64(flood.sent),
              t.elapsed(), qint64(flood.received), growth);
        QVERIFY(flood.sent > 4 * ProgrammerLink::kReadBufferLimit);  // far more than the program keeps
        QVERIFY2(growth < kMaxGrowthKb, qPrintable(QStringLiteral("%1 kB").arg(growth)));
        QVERIFY(!f->MSComm1->binaryMode());
        QVERIFY(!f->MSComm1->busy());

        // Back on the simulated writer, the program works as before.
        f->MSComm1->close();
        h->modalActions.push_back(chooseCom1);
        h->messages.clear();
        f->menu_comm_Click();
        QVERIFY(h->messages.isEmpty());
        QVERIFY(f->LblCommP->text().isEmpty());
    }
};

QTEST_MAIN(TestBadFiles)
#include "tst_e2e_badfiles.moc"
