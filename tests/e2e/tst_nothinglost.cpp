// SPDX-License-Identifier: GPL-3.0-or-later
// Nothing lost: the files the program writes (the exported HEX file, the settings file) are
// replaced whole or not at all, also on a full disk, and a write or read that stops part-way
// says how far it got.

#include "core/settings/settingsfile.h"
#include "gui/frmeepromwrite.h"
#include "support/faultmatrix.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace faults;

namespace {

const QString kFileError = QStringLiteral("ファイルエラーです");
const QString kReadDone = QStringLiteral("読取り終了しました");
const QString kWriteError = QStringLiteral("書き込み中にエラーが発生しました");

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

ino_t inode(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

// What lies in a folder, hidden files included.
QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// A small tmpfs mounted for the test, or the reason it could not be.
class SmallDisk {
public:
    explicit SmallDisk(const QString &path) : path_(path)
    {
        QDir().mkpath(path);
        if (::mount("tmpfs", QFile::encodeName(path).constData(), "tmpfs", MS_NOSUID | MS_NODEV | MS_NOEXEC, "size=64k,mode=0700") == 0)
            mounted_ = true;
        else
            why = QString::fromLocal8Bit(std::strerror(errno));
    }
    ~SmallDisk()
    {
        if (mounted_) ::umount2(QFile::encodeName(path_).constData(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    // Takes every free block with one file; returns false if the disk never said it was full.
    bool fill()
    {
        const int fd = ::open(QFile::encodeName(filler()).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0) return false;
        const QByteArray chunk(512, 'F');
        bool full = false;
        for (int i = 0; i < 100000 && !full; ++i) full = ::write(fd, chunk.constData(), size_t(chunk.size())) < chunk.size();
        ::close(fd);
        return full;
    }
    void free() { QFile::remove(filler()); }
    QString filler() const { return path_ + QStringLiteral("/filler"); }
    QString why;

private:
    QString path_;
    bool mounted_ = false;
};

// The largest file the process may write, for as long as it lives: a write past it fails as
// on a full disk (the signal it would raise is ignored, so the write returns an error).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit l{bytes, old_.rlim_max};
        ok = ::setrlimit(RLIMIT_FSIZE, &l) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, previous_);
    }
    bool ok = false;

private:
    rlimit old_{};
    void (*previous_)(int) = nullptr;
};

// Runs the Read command and saves to `path`.
void readInto(Harness &h, const QString &path)
{
    h.messages.clear();
    h.modalActions.push_back(pressOk);
    h.fileAnswers.push_back(path);
    h.form->ReadCommand->click();
    h.modalActions.clear();
    h.fileAnswers.clear();
}

}  // namespace

class TestNothingLost : public QObject {
    Q_OBJECT

    // The export on a disk that cannot take it: the message says why, the old file stays whole,
    // and no partial or temporary file remains. Then, with room again, it is replaced.
    void exportOnFullDisk(Harness &h, const QString &dir, const std::function<void()> &makeRoom)
    {
        const QString old = dir + QStringLiteral("/old.hex");
        const QString fresh = dir + QStringLiteral("/new.hex");
        const QStringList before = entries(dir);
        readInto(h, old);
        QCOMPARE(h.messageTexts(), QStringList{kFileError});
        QVERIFY2(!h.messages[0].detail.isEmpty(), "the message says why");
        QCOMPARE(readAll(old), QByteArray("old contents\r\n"));
        readInto(h, fresh);
        QCOMPARE(h.messageTexts(), QStringList{kFileError});
        QCOMPARE(entries(dir), before);  // no new file, no temporary one

        makeRoom();
        const ino_t oldInode = inode(old);
        readInto(h, old);
        QCOMPARE(h.messageTexts(), QStringList{kReadDone});
        QCOMPARE(readAll(old).count('\n'), 130);
        // Replaced by renaming a complete new file over it, not rewritten in place.
        QVERIFY(inode(old) != oldInode);
    }

    // The settings written at the close on a disk that cannot take them: the file stays whole.
    void settingsOnFullDisk(const QString &dir, const std::function<bool()> &fill, const std::function<void()> &makeRoom)
    {
        const QString ini = dir + QStringLiteral("/veltraw.ini");
        QByteArray contents;
        {
            Harness h;
            // Padding that makes any rewrite larger than what the disk (or the limit) allows.
            contents = h.standardIni() + "[File]\nname=/old/path.hex\n; " + QByteArray(3000, '-') + "\n";
            QFile f(ini);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(contents);
            f.close();
            QVERIFY(fill());
            const QStringList before = entries(dir);
            settings::setSettingsFolder(dir);
            FormMain *form = startQuiet(h);
            QVERIFY(form);
            QCOMPARE(form->HexFileName->text(), QStringLiteral("/old/path.hex"));
            form->HexFileName->setText(QStringLiteral("/a/much/longer/new/path/than/before.hex"));
            form->close();
            QVERIFY(h.ended());
            QVERIFY(h.messages.isEmpty());  // a failed settings write is not reported, by design
            QCOMPARE(readAll(ini), contents);
            QCOMPARE(entries(dir), before);
        }
        makeRoom();
        const ino_t oldInode = inode(ini);
        QString why;
        QVERIFY2(ini::writeValue(ini, QStringLiteral("File"), QStringLiteral("name"), QStringLiteral("/new.hex"), &why), qPrintable(why));
        QCOMPARE(ini::readValue(ini, QStringLiteral("File"), QStringLiteral("name")), QStringLiteral("/new.hex"));
        QVERIFY(readAll(ini).startsWith(contents.left(contents.indexOf("[File]"))));
        QVERIFY(inode(ini) != oldInode);
    }

private slots:
    void exportOnAFullTmpfs()
    {
        Harness h;
        SmallDisk disk(h.path(QStringLiteral("disk")));
        if (!disk.mounted()) QSKIP(qPrintable(QStringLiteral("a tmpfs cannot be mounted here (%1); the file-size limit case covers the same fault").arg(disk.why)));
        QVERIFY(startQuiet(h));
        {
            QFile f(h.path(QStringLiteral("disk/old.hex")));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("old contents\r\n");
        }
        QVERIFY(disk.fill());
        exportOnFullDisk(h, h.path(QStringLiteral("disk")), [&] { disk.free(); });
    }

    void settingsOnAFullTmpfs()
    {
        QTemporaryDir base;
        SmallDisk disk(base.filePath(QStringLiteral("disk")));
        if (!disk.mounted()) QSKIP(qPrintable(QStringLiteral("a tmpfs cannot be mounted here (%1); the file-size limit case covers the same fault").arg(disk.why)));
        settingsOnFullDisk(base.filePath(QStringLiteral("disk")), [&] { return disk.fill(); }, [&] { disk.free(); });
    }

    void exportPastTheFileSizeLimit()
    {
        Harness h;
        QVERIFY(startQuiet(h));
        const QString dir = h.path(QStringLiteral("limited"));
        QVERIFY(QDir().mkpath(dir));
        h.writeFile(QStringLiteral("limited/old.hex"), "old contents\r\n");
        // The export is about 5.8 kB: it fails part-way through.
        auto limit = std::make_unique<FileSizeLimit>(3000);
        QVERIFY(limit->ok);
        exportOnFullDisk(h, dir, [&] { limit.reset(); });
    }

    void settingsPastTheFileSizeLimit()
    {
        QTemporaryDir dir;
        std::unique_ptr<FileSizeLimit> limit;
        settingsOnFullDisk(
            dir.path(),
            [&] {
                limit = std::make_unique<FileSizeLimit>(2000);
                return limit->ok;
            },
            [&] { limit.reset(); });
    }

    // ---- how far it got -----------------------------------------------------------------------

    void programWriteSaysTheAddressItReached()
    {
        Harness h;
        FormMain *f = startQuiet(h);
        QVERIFY(f);
        const QString path = h.writeFile(QStringLiteral("ten.hex"),
                                         hexRecord(0, hexWords({1, 2, 3, 4, 5, 6, 7, 8, 9, 10})) + ":00000001FF\r\n");
        auto write = [&] {
            h.messages.clear();
            f->HexFileName->setText(path);
            h.modalActions.push_back(pressOk);
            h.modalActions.push_back(confirmConfig);
            f->WriteCommand->click();
        };
        // Replies: 0 "c", 1 "w" to "W", then per word k: 2 + 2k to "D", 3 + 2k to the word.
        h.sim.writer().setFault({sim::Fault::WrongReply, 2 + 2 * 5, "#", 0});
        write();
        QCOMPARE(h.messageTexts(), QStringList{kWriteError});
        QCOMPARE(h.messages[0].detail, QStringLiteral("アドレス 0005h の手前まで書込み済みです。"));
        for (int a = 0; a < 5; ++a) QCOMPARE(h.sim.writer().program[size_t(a)], uint16_t(a + 1));
        QCOMPARE(h.sim.writer().program[5], uint16_t(0x3FFF));

        // Stopped at the configuration word: the program memory is all there.
        h.sim.writer().eraseAll();
        h.sim.writer().setFault({sim::Fault::WrongReply, 2 + 2 * 10, "#", 0});
        write();
        QCOMPARE(h.messageTexts(), QStringList{kWriteError});
        QCOMPARE(h.messages[0].detail, QStringLiteral("プログラムメモリは書込み済みです。コンフィグレーションワードの書込みで止まりました。"));
        QCOMPARE(h.sim.writer().program[9], uint16_t(10));

        // A bad line: which line, and how far the words before it went.
        h.sim.writer().setFault({});
        h.sim.writer().eraseAll();
        const QString bad = h.writeFile(QStringLiteral("bad.hex"), hexRecord(0, hexWords({1, 2, 3})) + hexRecord(6, hexWords({4}))
                                                                      + "garbage\r\n" + ":00000001FF\r\n");
        h.messages.clear();
        f->HexFileName->setText(bad);
        h.modalActions.push_back(pressOk);
        h.modalActions.push_back(confirmConfig);
        f->WriteCommand->click();
        QCOMPARE(h.messageTexts(), (QStringList{QStringLiteral("Hexファイルにエラーがありました"), QStringLiteral("Hexファイルにエラーがありました")}));
        QCOMPARE(h.messages[1].detail, QStringLiteral("HEXファイルの 3 行目で止まりました。アドレス 0004h の手前まで書込み済みです。"));
        QCOMPARE(h.sim.writer().program[3], uint16_t(4));
    }

    void programReadSaysHowManyWordsArrived()
    {
        Harness h;
        FormMain *f = startQuiet(h);
        QVERIFY(f);
        FrmReadWrite()->Timer1->setInterval(300);
        // Replies: 0 "c", 1 "r", then two bytes a word: silence from word 100 on.
        h.sim.writer().setFault({sim::Fault::Silence, 2 + 2 * 100, {}, 0});
        readInto(h, h.path(QStringLiteral("x.hex")));
        QCOMPARE(h.messageTexts().last(), kFileError);
        QCOMPARE(h.messages.last().detail, QStringLiteral("受信したワード数: 100 / 1032"));
        QVERIFY(!QFile::exists(h.path(QStringLiteral("x.hex"))));
    }

    void dataFileWriteSaysHowManyBytesWentIn()
    {
        Harness h;
        QByteArray text;
        for (int n = 0; n < 64; ++n) text += QByteArray::number(n) + "," + QByteArray::number(n + 100) + "\r\n";
        const QString path = h.writeFile(QStringLiteral("d.txt"), text);
        FormMain *f = startQuiet(h, {QStringLiteral("/F"), path});
        QVERIFY(f);
        // Replies: 0 "m", then one a byte: the 21st byte (address 14h) is not acknowledged.
        h.sim.writer().setFault({sim::Fault::WrongReply, 1 + 20, "#", 0});
        FrmEEPROMwrite()->Command1->click();
        QVERIFY(h.ended());
        QCOMPARE(h.messageTexts(), QStringList{QStringLiteral("ライタとの通信に失敗しました。\r\nもう一度操作してください。")});
        QCOMPARE(h.messages[0].detail, QStringLiteral("アドレス 14h で止まりました（書込み済み 20 / 64 バイト）。"
                                                    "14h のバイトは送りましたが書込みの確認が取れず、書込まれたかどうか分かりません。"));
        for (int a = 0; a < 20; ++a) QCOMPARE(int(h.sim.writer().eeprom[size_t(a)]), a + 100);
    }
};

QTEST_MAIN(TestNothingLost)
#include "tst_nothinglost.moc"
