// SPDX-License-Identifier: GPL-3.0-or-later
// `watch FILE.hex`: a write (with its read-back) each time the file has changed and settled.

#include "cli/commandsupport.h"
#include "cli/interrupts.h"
#include "cli/clitext.h"
#include "cli/prodtext.h"
#include "cli/unitlog.h"
#include "core/formats/hexrecord.h"

#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

#include <sys/stat.h>

namespace cli {

int runWrite(Run &run);

namespace {

// Editors save by writing a new file and renaming it over the old: the path's inode changes
// as well as its size and time.
struct Signature {
    bool exists = false;
    qint64 size = 0, inode = 0, mtimeNs = 0, ctimeNs = 0;
    bool operator==(const Signature &o) const
    {
        return exists == o.exists && size == o.size && inode == o.inode && mtimeNs == o.mtimeNs && ctimeNs == o.ctimeNs;
    }
};

Signature signatureOf(const QString &path)
{
    struct stat st {};
    Signature s;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return s;
    s.exists = true;
    s.size = st.st_size;
    s.inode = qint64(st.st_ino);
    s.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.ctimeNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return s;
}

// A file caught half-written has no end record at its end, or a line cut short.
bool readsCleanly(const QString &path, bool force)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray last = f.readAll().trimmed().split('\n').last().trimmed();
    if (!hexrecord::parse(last).isEnd()) return false;
    const memoryimage::Image img = memoryimage::read(path);
    return img.opened && !img.hasErrors(force);
}

// No write for this long, the size the same, and the file counts as saved.
constexpr int kSteadyMs = 300;
constexpr int kPollMs = 50;

class Watcher {
public:
    explicit Watcher(Run &run) : run_(run), path_(QFileInfo(run.options.arguments.at(0)).absoluteFilePath()) {}

    int exec()
    {
        const QString folder = QFileInfo(path_).absolutePath();
        if (!QFileInfo(folder).isDir()) {
            const QString t = text::inputMissing(path_);
            run_.out.error(t);
            run_.error = t;
            return exitcode::NoInput;
        }
        seen_ = signatureOf(path_);
        Interrupts interrupts([this] {
            stopped_ = true;
            loop_.quit();
        });
        interrupts_ = &interrupts;
        QFileSystemWatcher fsw;
        fsw.addPath(folder);
        if (seen_.exists) fsw.addPath(path_);
        auto look = [this, &fsw] {
            // A file replaced by rename is a new file to the watcher: watched again.
            if (!fsw.files().contains(path_) && QFileInfo::exists(path_)) fsw.addPath(path_);
            check();
        };
        QObject::connect(&fsw, &QFileSystemWatcher::directoryChanged, look);
        QObject::connect(&fsw, &QFileSystemWatcher::fileChanged, look);
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, look);
        poll.start(kPollMs);
        run_.out.info(text::watching(path_));
        while (!stopped_) loop_.exec();
        tally_.report(run_.out, &run_.result);
        run_.result.insert(QStringLiteral("rounds"), rounds_);
        return status_;
    }

private:
    void check()
    {
        if (busy_ || stopped_) return;
        const Signature now = signatureOf(path_);
        if (!(now == seen_)) {
            seen_ = now;
            changing_ = true;
            quiet_.start();
            return;
        }
        if (!changing_ || quiet_.elapsed() < kSteadyMs || !now.exists) return;
        changing_ = false;
        if (!readsCleanly(path_, run_.options.force)) {
            run_.out.info(text::halfWritten(path_));
            return;
        }
        round();
    }

    void round()
    {
        busy_ = true;
        ++rounds_;
        Run r{run_.out, run_.options, {}, {}};
        beginUnit(&r.unit);
        const memoryimage::Image img = memoryimage::read(path_);
        const int word = chooseConfigWord(run_.options, img).written;
        if (lastConfig_ && *lastConfig_ != word) run_.out.warning(text::configChanged(*lastConfig_, word));
        int status = runWrite(r);
        status = endUnit(r, status, &tally_);
        interrupts_->arm();  // the write's session let the signals go
        if (const QJsonValue w = r.result.value(QStringLiteral("config_word")); w.isDouble()) lastConfig_ = w.toInt();
        const double seconds = r.unit.clock.elapsed() / 1000.0;
        run_.out.result(text::roundLine(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")), rounds_, status == exitcode::Ok,
                                        status, seconds, r.error));
        QJsonObject e = r.result;
        e.insert(QStringLiteral("event"), QStringLiteral("round"));
        e.insert(QStringLiteral("round"), rounds_);
        e.insert(QStringLiteral("ok"), status == exitcode::Ok);
        e.insert(QStringLiteral("exit"), status);
        if (!r.error.isEmpty()) e.insert(QStringLiteral("error"), r.error);
        run_.out.event(e);
        busy_ = false;
        if (status == exitcode::Interrupted) {
            // Ctrl+C during the round ends the watch as an interrupted write ends.
            status_ = status;
            run_.error = r.error;
            stopped_ = true;
            loop_.quit();
        }
    }

    Run &run_;
    const QString path_;
    QEventLoop loop_;
    Interrupts *interrupts_ = nullptr;
    Signature seen_;
    QElapsedTimer quiet_;
    std::optional<int> lastConfig_;
    Tally tally_;
    int rounds_ = 0;
    int status_ = exitcode::Ok;
    bool changing_ = false;
    bool busy_ = false;
    bool stopped_ = false;
};

}  // namespace

int runWatch(Run &run)
{
    Watcher w(run);
    return w.exec();
}

}  // namespace cli
