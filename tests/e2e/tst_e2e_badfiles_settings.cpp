// SPDX-License-Identifier: GPL-3.0-or-later
// Bad settings files: huge, binary, in other encodings, a folder, a FIFO or a device in place of
// veltraw.ini, one the program may not read, and a settings folder with an awkward name. The
// program starts and closes through its real windows: bounded time and memory, the message
// where there is one, and the file left exactly as it was unless the program's own keys are
// written into it.

#include "core/settings/settingsfile.h"
#include "support/faultmatrix.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace faults;

namespace {

const QString kPortError = QStringLiteral("通信ポートエラーです");

// The memory limit is the peak's growth over the start and close alone, far below the 100 MB
// and 1 GiB files.
constexpr qint64 kMaxMs = 10000;
constexpr long kMaxGrowthKb = 24 * 1024;
constexpr qint64 kGiB = qint64(1) << 30;

// Shift_JIS bytes of "設定ファイル" and of "書込み".
const QByteArray kSjisSettings("\x90\xDD\x92\xE8\x83\x74\x83\x40\x83\x43\x83\x8B");
const QByteArray kSjisWrite("\x8F\x91\x8D\x9E\x82\xDD");

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray head(const QString &path, qint64 n)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(n) : QByteArray();
}

// Opens a FIFO's other end after a while, so a program that blocked opening it for reading
// goes on (and the test fails on time) instead of hanging for ever.
class FifoRescue {
public:
    explicit FifoRescue(const QString &path) : path_(QFile::encodeName(path))
    {
        thread_ = std::thread([this] {
            for (int waited = 0; !stop_; waited += 50) {
                ::usleep(50 * 1000);
                if (waited < 5000) continue;
                const int fd = ::open(path_.constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    rescued = true;
                    ::close(fd);
                }
            }
        });
    }
    ~FifoRescue()
    {
        stop_ = true;
        thread_.join();
    }
    std::atomic<bool> rescued{false};

private:
    QByteArray path_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace

class TestBadSettings : public QObject {
    Q_OBJECT

    // Starts the program on whatever the settings file is, then closes its main window (which
    // writes "File"/"name" and "Config"/"word").
    struct Run {
        QStringList messages;
        Usage usage;
        QString hexLabel;
    };
    Run startAndClose(Harness &h)
    {
        Run r;
        r.usage = measure([&] {
            FormMain *f = startQuiet(h);
            if (!f) return;
            r.hexLabel = f->HexFileName->text();
            f->close();
        });
        r.messages = h.messageTexts();
        return r;
    }

    void checkBounded(const Run &r)
    {
        QVERIFY2(r.usage.ms < kMaxMs, qPrintable(QString::number(r.usage.ms)));
        QVERIFY(r.usage.measured);
        QVERIFY2(r.usage.growthKb < kMaxGrowthKb, qPrintable(QStringLiteral("%1 kB").arg(r.usage.growthKb)));
    }

private slots:
    // One ordinary start first: what the first start of a process costs (fonts, the platform)
    // does not count against the first case.
    void initTestCase()
    {
        Harness h;
        const Run r = startAndClose(h);
        QVERIFY(r.messages.isEmpty());
        qInfo("an ordinary first start: %lld ms, peak memory +%ld kB", r.usage.ms, r.usage.growthKb);
    }

    void hugeFileIsReadInPartAndNeverRewritten_data()
    {
        QTest::addColumn<bool>("oneLongLine");
        QTest::newRow("1 GiB sparse") << false;
        QTest::newRow("a line of 100 MB") << true;
    }
    void hugeFileIsReadInPartAndNeverRewritten()
    {
        QFETCH(bool, oneLongLine);
        Harness h;
        const QByteArray start = h.standardIni() + "[File]\nname=/work/p.hex\n";
        {
            QFile f(h.iniPath());
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(start);
            if (oneLongLine) {
                f.write("x=");
                const QByteArray chunk(1 << 20, 'a');
                for (int i = 0; i < 100; ++i) f.write(chunk);
                f.write("\n");
            } else {
                QVERIFY(f.resize(kGiB));
            }
        }
        const QFileInfo before(h.iniPath());
        const Run r = startAndClose(h);
        // The keys at the head of the file are read; the file is too large to be rewritten whole,
        // so the closing leaves it alone rather than cut it short.
        QVERIFY(r.messages.isEmpty());
        QCOMPARE(r.hexLabel, QStringLiteral("/work/p.hex"));
        const QFileInfo after(h.iniPath());
        QCOMPARE(after.size(), before.size());
        QCOMPARE(after.lastModified(), before.lastModified());
        QCOMPARE(head(h.iniPath(), start.size()), start);
        checkBounded(r);
        qInfo("%lld ms, peak memory +%ld kB", r.usage.ms, r.usage.growthKb);
    }

    void binaryAndOtherEncodingsAreKeptByteForByte_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<bool>("keysFound");
        // What the close appends: the program's sections, with the line end of the file's first
        // line; the UTF-16 file's last line gets an end first, and its unreadable port a "0".
        QTest::addColumn<QByteArray>("added");
        QByteArray binary;
        for (int i = 0; i < 2048; ++i) binary += char((i * 131 + 7) & 0xFF);
        QTest::newRow("binary lines first") << binary + "\n" << true << QByteArray("[File]\nname=\n[Config]\nword= 26\n");
        QTest::newRow("Shift_JIS comment and key")
            << "; " + kSjisSettings + "\r\n[" + kSjisWrite + "]\r\n" + kSjisWrite + "=" + kSjisSettings + "\r\n" << true
            << QByteArray("[File]\r\nname=\r\n[Config]\r\nword= 26\r\n");
        QByteArray u16("\xFF\xFE");
        for (char c : QByteArray("[Com]\r\nport= 1\r\n")) u16 += QByteArray(1, c) + '\0';
        QTest::newRow("UTF-16 with BOM") << u16 << false << QByteArray("\n[Com]\nport=0\n[File]\nname=\n[Config]\nword= 26\n");
    }
    void binaryAndOtherEncodingsAreKeptByteForByte()
    {
        QFETCH(QByteArray, before);
        QFETCH(bool, keysFound);
        QFETCH(QByteArray, added);
        Harness h;
        // The port mapping follows what the test is about, so the program can reach the writer.
        const QByteArray contents = keysFound ? before + h.standardIni() : before;
        h.writeIni(contents);
        const Run r = startAndClose(h);
        if (keysFound) {
            QVERIFY(r.messages.isEmpty());
        } else {
            // Nothing readable: the port dialog (closed here with its close box) and the port error.
            QCOMPARE(h.unscriptedModals, 1);
            QCOMPARE(r.messages, QStringList{kPortError});
        }
        // The program's own keys are written; everything that was there stays as it was.
        const QByteArray after = h.readIni();
        QCOMPARE(after, contents + added);
        QCOMPARE(ini::lookup(after, QStringLiteral("Config"), QStringLiteral("word")), QStringLiteral("26"));
        if (keysFound) QCOMPARE(ini::lookup(after, QStringLiteral("Com"), QStringLiteral("port")), QStringLiteral("1"));
        checkBounded(r);
    }

    void somethingElseInPlaceOfTheFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder") << "folder";
        QTest::newRow("FIFO") << "fifo";
        QTest::newRow("/dev/zero") << "devzero";
    }
    void somethingElseInPlaceOfTheFile()
    {
        QFETCH(QString, kind);
        Harness h;
        QFile::remove(h.iniPath());
        if (kind == "folder") QVERIFY(QDir().mkpath(h.iniPath()));
        if (kind == "fifo") QCOMPARE(::mkfifo(QFile::encodeName(h.iniPath()).constData(), 0600), 0);
        if (kind == "devzero") QVERIFY(QFile::link(QStringLiteral("/dev/zero"), h.iniPath()));
        std::unique_ptr<FifoRescue> rescue;
        if (kind == "fifo") rescue = std::make_unique<FifoRescue>(h.iniPath());

        // Nothing can be read: the port dialog opens (closed with its close box) and the port error
        // follows; writing the port "0" and, at the close, the other keys is refused.
        const Run r = startAndClose(h);
        if (rescue) QVERIFY2(!rescue->rescued, "the program blocked opening the FIFO");
        QCOMPARE(h.unscriptedModals, 1);
        QCOMPARE(r.messages, QStringList{kPortError});
        const QFileInfo after(h.iniPath());
        if (kind == "folder") QVERIFY(after.isDir() && QDir(h.iniPath()).isEmpty());
        if (kind == "fifo") QVERIFY(!after.isFile() && after.exists());
        if (kind == "devzero") QCOMPARE(after.symLinkTarget(), QStringLiteral("/dev/zero"));
        // No temporary file of a refused write is left behind.
        QVERIFY(QDir(h.dir.path()).entryList({QStringLiteral("veltraw.ini.*")}, QDir::AllEntries | QDir::Hidden | QDir::System).isEmpty());
        checkBounded(r);
    }

    void unreadableFileIsNeitherReadNorReplaced()
    {
        // As root every file can be read: the check runs in a child that gives that up.
        QTemporaryDir dir;
        QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0777) == 0);
        const QString path = dir.filePath(QStringLiteral("veltraw.ini"));
        const QByteArray contents = "[Com]\nport= 3\n";
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(contents);
        }
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0) == 0);
        const pid_t pid = ::fork();
        QVERIFY(pid >= 0);
        if (pid == 0) {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
            if (ini::readValue(path, QStringLiteral("Com"), QStringLiteral("port")) != ini::kMissing) ::_exit(4);
            if (ini::writeValue(path, QStringLiteral("Com"), QStringLiteral("port"), QStringLiteral(" 5"))) ::_exit(5);
            ::_exit(0);
        }
        int status = 0;
        QCOMPARE(::waitpid(pid, &status, 0), pid);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0600) == 0);
        QCOMPARE(readAll(path), contents);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    void awkwardSettingsFolderAndValues()
    {
        Harness h;
        const QString folder = h.path(QStringLiteral("設定 'a' \"b\" $(c);`d`|&"));
        QVERIFY(QDir().mkpath(folder));
        settings::setSettingsFolder(folder);
        const QString hexPath = h.path(QStringLiteral("書込み 'x' $(y).hex"));
        {
            QFile f(folder + QStringLiteral("/veltraw.ini"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(h.standardIni() + "[File]\nname=" + hexPath.toUtf8() + "\n[Config]\nword= 17\n");
        }
        Run r = startAndClose(h);
        QVERIFY(r.messages.isEmpty());
        QCOMPARE(r.hexLabel, hexPath);
        QCOMPARE(settings::stored().ConfigWord, qint16(17));
        // Written back where it came from, and read back the same at the next start.
        const QString again = ini::readValue(folder + QStringLiteral("/veltraw.ini"), QStringLiteral("File"), QStringLiteral("name"));
        QCOMPARE(again, hexPath);
        QVERIFY(!QFile::exists(h.path(QStringLiteral("veltraw.ini"))) || h.readIni() == h.standardIni());
        settings::setSettingsFolder(h.dir.path());
    }
};

QTEST_MAIN(TestBadSettings)
#include "tst_e2e_badfiles_settings.moc"
