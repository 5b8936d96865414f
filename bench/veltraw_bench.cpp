// SPDX-License-Identifier: GPL-3.0-or-later
// veltraw-bench: runs each device operation end to end through the real windows, offscreen,
// against veltraw-sim in its own process, and prints for each the wall time, the floor that the
// 4800-baud line, the modelled PIC and the program's fixed pauses allow, their ratio, the
// program's CPU time as a share of the wall time, and its peak memory. With the wire-time model
// off the simulator answers at once, and the figures are the program's own cost.

#include "gui/formmain.h"
#include "gui/windows.h"
#include "gui/dialogs.h"
#include "gui/frmconfig.h"
#include "gui/frmeeprom.h"
#include "gui/frmeepromwrite.h"
#include "gui/frminput.h"
#include "gui/forminitcomm.h"
#include "core/link/programmerlink.h"
#include "gui/frmprogrammemory.h"
#include "gui/frmreadwrite.h"
#include "clibench.h"
#include "simwriter.h"
#include "support/hexfiles.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <deque>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

extern char **environ;

namespace {

constexpr double kByteMs = 10.0 * 1000.0 / 4800.0;  // one byte, 8N1, at 4800 baud
constexpr int kWords = 1024;

// ---- the simulator in its own process -----------------------------------------------------

struct Totals {
    qint64 fromHost = 0;
    qint64 fromWriter = 0;
    qint64 picBusyUs = 0;
    bool operator==(const Totals &o) const
    {
        return fromHost == o.fromHost && fromWriter == o.fromWriter && picBusyUs == o.picBusyUs;
    }
};

class SimProcess {
public:
    ~SimProcess() { stop(); }

    bool start(const QString &program, const QString &linkPath, bool timed, QString *why)
    {
        int p[2];
        if (::pipe(p) != 0) {
            *why = QStringLiteral("pipe: %1").arg(QString::fromLocal8Bit(strerror(errno)));
            return false;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, p[1], 1);
        posix_spawn_file_actions_addclose(&actions, p[0]);
        posix_spawn_file_actions_addclose(&actions, p[1]);
        const QByteArray prog = QFile::encodeName(program);
        const QByteArray link = QFile::encodeName(linkPath);
        std::vector<char *> argv{const_cast<char *>(prog.constData()), const_cast<char *>("--link"),
                                 const_cast<char *>(link.constData())};
        if (timed) argv.push_back(const_cast<char *>("--timed"));
        argv.push_back(nullptr);
        const int rc = posix_spawn(&pid_, prog.constData(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(p[1]);
        fd_ = p[0];
        if (rc != 0) {
            pid_ = -1;
            *why = QStringLiteral("cannot start %1: %2").arg(program, QString::fromLocal8Bit(strerror(rc)));
            return false;
        }
        QByteArray line;
        while (readLine(&line, 5000)) {
            if (line.startsWith("linked as ")) return true;
        }
        *why = QStringLiteral("%1 did not report its device").arg(program);
        return false;
    }

    // The simulator's running totals, asked for with SIGUSR1.
    bool totals(Totals *t)
    {
        if (pid_ <= 0 || ::kill(pid_, SIGUSR1) != 0) return false;
        QByteArray line;
        while (readLine(&line, 3000)) {
            long long h = 0, w = 0, us = 0;
            if (std::sscanf(line.constData(), "totals from_host=%lld from_writer=%lld pic_busy_us=%lld", &h, &w, &us) == 3) {
                *t = Totals{h, w, us};
                return true;
            }
        }
        return false;
    }

    void stop()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            for (int i = 0; i < 200; ++i) {
                if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
                    pid_ = -1;
                    break;
                }
                ::usleep(10000);
            }
            if (pid_ > 0) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, nullptr, 0);
                pid_ = -1;
            }
        }
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    bool readLine(QByteArray *line, int timeoutMs)
    {
        QElapsedTimer t;
        t.start();
        for (;;) {
            const int nl = buffer_.indexOf('\n');
            if (nl >= 0) {
                *line = buffer_.left(nl);
                buffer_.remove(0, nl + 1);
                return true;
            }
            const qint64 left = timeoutMs - t.elapsed();
            if (left <= 0) return false;
            pollfd pfd{fd_, POLLIN, 0};
            const int r = ::poll(&pfd, 1, int(left));
            if (r < 0 && errno == EINTR) continue;
            if (r <= 0) return false;
            char buf[512];
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n <= 0) return false;
            buffer_.append(buf, int(n));
        }
    }

    pid_t pid_ = -1;
    int fd_ = -1;
    QByteArray buffer_;
};

// ---- the windows' scripted answers ----------------------------------------------------------

struct Script {
    QStringList messages;
    std::deque<std::function<void(QDialog *)>> modalActions;
    std::deque<QString> fileAnswers;  // an empty name cancels
    int unscripted = 0;

    void install()
    {
        gui::setMessageHandler([this](const gui::Message &m) {
            messages << m.text;
            // Yes/No boxes (the EEPROM erase question) get their default answer, Yes.
            if (m.buttons == QMessageBox::Ok || m.buttons == QMessageBox::NoButton) return QMessageBox::Ok;
            return m.defaultButton != QMessageBox::NoButton ? m.defaultButton : QMessageBox::Ok;
        });
        gui::setFileHandler([this](const gui::FileRequest &) -> std::optional<QString> {
            if (fileAnswers.empty()) return std::nullopt;
            const QString a = fileAnswers.front();
            fileAnswers.pop_front();
            if (a.isEmpty()) return std::nullopt;
            return a;
        });
        gui::setModalHandler([this](QDialog *d) {
            d->show();
            if (modalActions.empty()) {
                ++unscripted;
                d->close();
                return;
            }
            auto action = modalActions.front();
            modalActions.pop_front();
            action(d);
            if (d->isVisible()) d->close();
        });
        gui::setEndHandler([] {});
    }
    // Handlers that answer without recording, for when this script is gone.
    static void uninstall()
    {
        gui::setMessageHandler([](const gui::Message &m) {
            return m.defaultButton != QMessageBox::NoButton ? m.defaultButton : QMessageBox::Ok;
        });
        gui::setFileHandler([](const gui::FileRequest &) -> std::optional<QString> { return std::nullopt; });
        gui::setModalHandler([](QDialog *d) { d->close(); });
    }
    void clear()
    {
        messages.clear();
        modalActions.clear();
        fileAnswers.clear();
        unscripted = 0;
    }
};

// Runs the event loop for ms milliseconds.
void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool settleUntil(const std::function<bool()> &cond, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!cond()) {
        if (t.elapsed() > timeoutMs) return false;
        settle(10);
    }
    return true;
}

// ---- what the operations write and expect ---------------------------------------------------

uint16_t patternWord(int i) { return uint16_t((i * 0x2F5 + 0x123) & 0x3FFF); }
constexpr uint16_t kConfigInFile = 0x3FF1;  // XT, watchdog off, power-up timer on, no protection

QByteArray fullProgramHex()
{
    QByteArray out;
    for (int w = 0; w < kWords; w += 8) {
        QByteArray data;
        for (int i = 0; i < 8; ++i) {
            data.append(char(patternWord(w + i) & 0xFF));
            data.append(char(patternWord(w + i) >> 8));
        }
        out += hexfiles::rec(w * 2, data);
    }
    out += hexfiles::rec(0x400E, QByteArray(1, char(kConfigInFile & 0xFF)) + char(kConfigInFile >> 8));
    out += hexfiles::kEnd;
    return out;
}

// Checks an exported file against the written pattern; empty when it matches.
QString checkExport(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QStringLiteral("no exported file");
    const QList<QByteArray> lines = f.readAll().split('\n');
    if (lines.size() < 130) return QStringLiteral("exported file has %1 lines").arg(lines.size());
    for (int r = 0; r < 128; ++r) {
        const QByteArray line = lines[r].trimmed();
        for (int i = 0; i < 8; ++i) {
            const int w = r * 8 + i;
            bool ok1 = false, ok2 = false;
            const int low = line.mid(9 + 4 * i, 2).toInt(&ok1, 16);
            const int high = line.mid(11 + 4 * i, 2).toInt(&ok2, 16);
            if (!ok1 || !ok2 || (high << 8 | low) != patternWord(w))
                return QStringLiteral("word %1 reads back wrong").arg(w, 0, 16);
        }
    }
    const QByteArray id = lines[128].trimmed();
    // Word 2007h: the dialog confirmed XT, watchdog off, power-up timer on, no protection (11h).
    if (id.mid(9 + 4 * 7, 4) != "1100") return QStringLiteral("configuration word reads back as %1").arg(QString::fromLatin1(id.mid(37, 4)));
    return QString();
}

uint8_t dataFileByte(int n) { return uint8_t((n * 53 + 11) % 256); }

QByteArray dataFile()
{
    QByteArray text;
    for (int n = 0; n < 64; ++n) text += QByteArray::number(n) + "," + QByteArray::number(dataFileByte(n)) + "\r\n";
    return text;
}

QString cellText(frmEPROM *v, int address)
{
    const QTableWidgetItem *item = v->Grid1->item(address / 16 + 1, address % 16 + 1);
    return item ? item->text() : QString();
}

QString hex2(int v) { return QString::number(v, 16).toUpper().rightJustified(2, QLatin1Char('0')); }

// ---- measuring ------------------------------------------------------------------------------

double cpuMs()
{
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return (ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1e3 + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e3;
}

bool resetPeakMemory()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    return f.open(QIODevice::WriteOnly) && f.write("5") == 1;
}

double peakMemoryMB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

struct Sample {
    double wallMs = 0;
    double cpuMs = 0;
    double peakMB = 0;
    Totals wire;
    double pausesMs = 0;
    double overlapMs = 0;
    QString failure;

    double lineMs() const { return double(wire.fromHost + wire.fromWriter) * kByteMs; }
    double picMs() const { return double(wire.picBusyUs) / 1000.0; }
    double floorMs() const { return lineMs() + picMs() + pausesMs - overlapMs; }
    double ratio() const { return wallMs / floorMs(); }
    double cpuShare() const { return wallMs > 0 ? cpuMs / wallMs : 0; }
};

struct Op {
    const char *name;
    double pausesMs;  // the fixed pauses the program must make
    std::function<QString()> prepare;  // not measured; empty when ready
    std::function<void()> run;         // measured
    std::function<QString()> check;    // empty when the outcome is right
    // Time that runs alongside a pause, or that the program rightly does not wait for
    // (a closing letter whose answer nobody awaits).
    std::function<double(const Sample &)> overlapMs;
    int words = 0;  // program words moved, for the per-word cost
    enum Goal { CpuGoal = 1, MemoryGoal = 2, OwnCostGoal = 4, Reference = 8, NoLine = 16 };
    // goals that apply beyond the ratio; Reference: not the program, no goal; NoLine: nothing
    // crosses the line, so the ratio to its floor says nothing
    int goals = 0;
};

// ---- the bench --------------------------------------------------------------------------------

class Bench {
public:
    Bench(bool timed, QString simProgram) : timed_(timed), simProgram_(std::move(simProgram)) {}
    ~Bench()
    {
        tearDownProgram();
        Script::uninstall();
    }

    bool setUp(QString *why)
    {
        if (!dir_.isValid()) {
            *why = QStringLiteral("no temporary folder");
            return false;
        }
        if (!sim_.start(simProgram_, dir_.filePath(QStringLiteral("dev")), timed_, why)) return false;
        settings::setSettingsFolder(dir_.path());
        qputenv("VELTRAW_LOCK_FILE", dir_.filePath(QStringLiteral("veltraw.lock")).toLocal8Bit());
        QFile ini(dir_.filePath(QStringLiteral("veltraw.ini")));
        if (!ini.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            *why = QStringLiteral("cannot write the settings file");
            return false;
        }
        ini.write("[Ports]\nCOM1=" + QFile::encodeName(dir_.filePath(QStringLiteral("dev"))) + "\n[Com]\nport= 1\n");
        ini.close();
        hexPath_ = writeFile(QStringLiteral("full.hex"), fullProgramHex());
        dataPath_ = writeFile(QStringLiteral("eeprom.csv"), dataFile());
        exportPath_ = dir_.filePath(QStringLiteral("read.hex"));
        script_.install();
        return startProgram({}, why);
    }

    QVector<Op> operations();
    Sample measure(const Op &op);

private:
    QString writeFile(const QString &name, const QByteArray &data)
    {
        QFile f(dir_.filePath(name));
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(data);
        return f.fileName();
    }

    bool startProgram(const QStringList &args, QString *why)
    {
        tearDownProgram();
        gui::resetProgramEnded();
        script_.clear();
        form_ = std::make_unique<FormMain>();
        form_->Form_Load(args);
        if (gui::ProgramEnded() || !script_.messages.isEmpty()) {
            *why = QStringLiteral("start-up failed: %1").arg(script_.messages.join(QLatin1String(" / ")));
            return false;
        }
        settle(50);
        return true;
    }

    void tearDownProgram()
    {
        if (!form_) return;
        DestroyForms();
        form_.reset();
        QCoreApplication::processEvents();
    }

    // The simulator's totals once the line has gone quiet.
    Totals quietTotals()
    {
        Totals a, b;
        settle(30);
        sim_.totals(&a);
        for (int i = 0; i < 50; ++i) {
            settle(20);
            sim_.totals(&b);
            if (a == b) break;
            a = b;
        }
        return b;
    }

    // The EEPROM view, shown and read; the program started afresh if the "/F" run ended it.
    frmEPROM *readView()
    {
        if (gui::ProgramEnded() || !form_ || !form_->MSComm1->isOpen()) {
            QString why;
            if (!startProgram({}, &why)) return nullptr;
        }
        frmEPROM *v = LoadedFrmEPROM();
        if (v && v->isVisible()) return v;
        form_->EPROMCommand1->click();
        const bool read = settleUntil(
            [] {
                frmEPROM *view = LoadedFrmEPROM();
                return view && !view->running() && cellText(view, 63) != QLatin1String("*");
            },
            5000);
        return read ? LoadedFrmEPROM() : nullptr;
    }

    // The program write's exchange from a bare client: blocking poll() for every reply, no Qt,
    // no windows. What it reaches is what the pseudo-terminal and the scheduler leave to any
    // program on this machine. Empty when every reply was right.
    QString bareWrite()
    {
        const QByteArray dev = QFile::encodeName(dir_.filePath(QStringLiteral("dev")));
        const int fd = ::open(dev.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd < 0) return QStringLiteral("cannot open %1").arg(QString::fromLocal8Bit(dev));
        termios tio{};
        ::tcgetattr(fd, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(fd, TCSANOW, &tio);
        ::tcflush(fd, TCIFLUSH);
        bool lineLost = false;
        auto send = [fd, &lineLost](std::initializer_list<uint8_t> bytes) {
            for (uint8_t b : bytes) {
                while (!lineLost && ::write(fd, &b, 1) != 1) {
                    if (errno != EAGAIN && errno != EINTR) lineLost = true;
                    else ::usleep(100);
                }
            }
        };
        auto reply = [fd]() -> int {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 5000) <= 0) return -1;
            uint8_t b = 0;
            return ::read(fd, &b, 1) == 1 ? b : -1;
        };
        QString failure;
        send({'W'});
        if (reply() != 'w') failure = QStringLiteral("no \"w\" to \"W\"");
        for (int w = 0; w < kWords && failure.isEmpty(); ++w) {
            send({'D'});
            if (reply() != 'w') failure = QStringLiteral("no \"w\" to \"D\"");
            send({uint8_t(0x80 | (patternWord(w) >> 7)), uint8_t(0x80 | (patternWord(w) & 0x7F))});
            if (reply() != 'w') failure = QStringLiteral("no \"w\" to word %1").arg(w);
        }
        if (failure.isEmpty()) {
            send({'G'});
            if (reply() != 'g') failure = QStringLiteral("no \"g\" to \"G\"");
            send({0x80, 0x80 | 0x11});
            if (reply() != 'w') failure = QStringLiteral("no \"w\" to the configuration word");
        }
        send({'E'});
        ::close(fd);
        if (lineLost) return QStringLiteral("the line went away");
        return failure;
    }

    QString expectMessages(const QStringList &expected) const
    {
        if (script_.unscripted) return QStringLiteral("an unscripted window was shown");
        if (script_.messages != expected)
            return QStringLiteral("messages: [%1]").arg(script_.messages.join(QLatin1String(" / ")).replace(QLatin1String("\r\n"), QLatin1String(" ")));
        return QString();
    }

    bool timed_;
    QString simProgram_;
    QTemporaryDir dir_;
    SimProcess sim_;
    Script script_;
    std::unique_ptr<FormMain> form_;
    QString hexPath_, dataPath_, exportPath_;
    // What earlier operations of this round stored, for the checks of the later ones.
    bool programWritten_ = false;
    bool eepromFromFile_ = false;
    QString bareFailure_;
};

QVector<Op> Bench::operations()
{
    auto none = [](const Sample &) { return 0.0; };
    auto pressOk = [](QDialog *d) {
        if (auto *rw = qobject_cast<frmReadWrite *>(d)) rw->cmdOK->click();
    };
    QVector<Op> ops;

    ops.append({"link check", 500, nullptr,
                [this] {
                    script_.modalActions.push_back([](QDialog *d) {
                        if (auto *c = qobject_cast<FormInitComm *>(d)) c->Command1->click();
                    });
                    form_->menu_comm->trigger();
                },
                [this] {
                    const QString m = expectMessages({});
                    if (!m.isEmpty()) return m;
                    return MainForm()->LinkCheckState == 1 ? QString() : QStringLiteral("the check did not succeed");
                },
                // The closing "C" and its answer: the check does not wait for them.
                [](const Sample &) { return 2 * kByteMs; }});

    ops.append({"program write, 1024 words + config", 500,
                [this] {
                    form_->HexFileName->setText(hexPath_);
                    return QString();
                },
                [this, pressOk] {
                    script_.modalActions.push_back(pressOk);
                    script_.modalActions.push_back([](QDialog *d) {
                        if (auto *c = qobject_cast<frmConfig *>(d)) c->Command1->click();
                    });
                    form_->WriteCommand->click();
                },
                [this] {
                    const QString m = expectMessages({QStringLiteral("書込みが終了しました")});
                    programWritten_ = m.isEmpty();
                    return m;
                },
                // The closing "E" is sent and not answered.
                [](const Sample &) { return kByteMs; }, kWords + 1, Op::CpuGoal | Op::OwnCostGoal});

    ops.append({"program read + HEX export", 500,
                [this] {
                    QFile::remove(exportPath_);
                    return QString();
                },
                [this, pressOk] {
                    script_.modalActions.push_back(pressOk);
                    script_.fileAnswers.push_back(exportPath_);
                    form_->ReadCommand->click();
                },
                [this] {
                    const QString m = expectMessages({QStringLiteral("読取り終了しました")});
                    if (!m.isEmpty()) return m;
                    return programWritten_ ? checkExport(exportPath_) : QString();
                },
                none, kWords + 8, Op::CpuGoal | Op::MemoryGoal});

    // What the read got beside the file it wrote: 1024 words each side, disassembled.
    ops.append({"program memory window, file and PIC side by side", 0,
                [this] {
                    form_->HexFileName->setText(hexPath_);
                    return programmemory::picAtHand() ? QString() : QStringLiteral("no read at hand");
                },
                [this] { form_->menu_memory_view->trigger(); },
                [this] {
                    frmProgramMemory *w = FrmProgramMemory();
                    const bool shown = w->isVisible() && w->Table->rowCount() >= kWords && w->Source->text().contains(QStringLiteral("\nPIC ("));
                    w->hide();
                    const QString m = expectMessages({});
                    return !m.isEmpty() ? m : shown ? QString() : QStringLiteral("the window does not show both");
                },
                none, kWords, Op::OwnCostGoal | Op::NoLine});

    ops.append({"program erase", 500, nullptr,
                [this, pressOk] {
                    script_.modalActions.push_back(pressOk);
                    form_->EraseCommand->click();
                },
                [this] { return expectMessages({QStringLiteral("全消去しました")}); }, none});

    ops.append({"\"/F\" data-file write, 64 bytes", 0,
                [this] {
                    QString why;
                    if (!startProgram({QStringLiteral("/F"), dataPath_}, &why)) return why;
                    return FrmEEPROMwrite()->isVisible() ? QString() : QStringLiteral("no data-file window");
                },
                [] { FrmEEPROMwrite()->Command1->click(); },
                [this] {
                    const QString m = expectMessages({QStringLiteral("書込みが終了しました")});
                    if (!m.isEmpty()) return m;
                    eepromFromFile_ = true;
                    return gui::ProgramEnded() ? QString() : QStringLiteral("the program did not end");
                },
                none});

    ops.append({"EEPROM read", 0,
                [this] { return readView() ? QString() : QStringLiteral("the EEPROM view did not read"); },
                [] { LoadedFrmEPROM()->cmdRefresh->click(); },
                [this] {
                    const QString m = expectMessages({});
                    if (!m.isEmpty()) return m;
                    // What the "/F" write stored.
                    for (int a = 0; a < 64; ++a) {
                        const QString text = cellText(LoadedFrmEPROM(), a);
                        if (eepromFromFile_ ? text != hex2(dataFileByte(a)) : text.size() != 2)
                            return QStringLiteral("EEPROM byte %1 reads wrong").arg(a);
                    }
                    return QString();
                },
                none});

    ops.append({"EEPROM single-byte write", 500,
                [this] {
                    frmEPROM *v = readView();
                    if (!v) return QStringLiteral("the EEPROM view did not read");
                    v->Grid1->setCurrentCell(1, 1);
                    return QString();
                },
                [this] {
                    script_.modalActions.push_back([](QDialog *d) {
                        if (auto *in = qobject_cast<frmInput *>(d)) {
                            in->Data1->setText(QStringLiteral("5A"));
                            in->cmdWrite->click();
                        }
                    });
                    LoadedFrmEPROM()->Grid1_DblClick();
                },
                [this] {
                    const QString m = expectMessages({});
                    if (!m.isEmpty()) return m;
                    return cellText(LoadedFrmEPROM(), 0) == QLatin1String("5A") ? QString() : QStringLiteral("the byte did not read back");
                },
                none});

    ops.append({"EEPROM erase", 300 + 1000,
                [this] { return readView() ? QString() : QStringLiteral("the EEPROM view did not read"); },
                [] { LoadedFrmEPROM()->cmdEraseAll->click(); },
                [this] {
                    const QString m = expectMessages({QStringLiteral("EEP-ROMデータエリアを全消去しますか")});
                    if (!m.isEmpty()) return m;
                    for (int a = 0; a < 64; ++a)
                        if (cellText(LoadedFrmEPROM(), a) != QLatin1String("FF")) return QStringLiteral("EEPROM byte %1 not erased").arg(a);
                    return QString();
                },
                // "F", the erase and its "a" all happen within the 300 ms sleep that follows "F".
                [](const Sample &s) {
                    const double erase = 2 * kByteMs + s.picMs();
                    return std::min(300.0, erase);
                }});

    // Not the program: the yardstick for what the machine itself costs per exchange.
    ops.append({"reference: bare client, write exchange", 0,
                [this] {
                    tearDownProgram();
                    return QString();
                },
                [this] { bareFailure_ = bareWrite(); },
                [this] { return bareFailure_; },
                [](const Sample &) { return kByteMs; }, kWords + 1, Op::Reference});
    return ops;
}

Sample Bench::measure(const Op &op)
{
    Sample s;
    s.pausesMs = op.pausesMs;
    if (op.prepare) {
        s.failure = op.prepare();
        if (!s.failure.isEmpty()) return s;
    }
    const Totals before = quietTotals();
    script_.clear();
    resetPeakMemory();
    const double cpu0 = cpuMs();
    QElapsedTimer wall;
    wall.start();
    op.run();
    s.wallMs = double(wall.nsecsElapsed()) / 1e6;
    s.cpuMs = cpuMs() - cpu0;
    s.peakMB = peakMemoryMB();
    s.failure = op.check();
    const Totals after = quietTotals();
    s.wire = Totals{after.fromHost - before.fromHost, after.fromWriter - before.fromWriter, after.picBusyUs - before.picBusyUs};
    s.overlapMs = op.overlapMs(s);
    return s;
}

// ---- report ---------------------------------------------------------------------------------

QString machine()
{
    QString cpu;
    QFile f(QStringLiteral("/proc/cpuinfo"));
    if (f.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : f.readAll().split('\n'))
            if (line.startsWith("model name")) {
                cpu = QString::fromLatin1(line.mid(line.indexOf(':') + 1).trimmed());
                break;
            }
    }
    utsname u{};
    uname(&u);
    return QStringLiteral("%1, %2 CPUs, Linux %3, Qt %4, %5 build")
        .arg(cpu)
        .arg(sysconf(_SC_NPROCESSORS_ONLN))
        .arg(QString::fromLatin1(u.release), QString::fromLatin1(qVersion()), QStringLiteral(VELTRAW_BUILD_TYPE));
}

// The 1-minute load average: the benchmark's figures mean little on a busy machine.
QString loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll().split(' ').value(0)) : QStringLiteral("?");
}

Sample median(QVector<Sample> v)
{
    std::sort(v.begin(), v.end(), [](const Sample &a, const Sample &b) { return a.wallMs < b.wallMs; });
    return v[v.size() / 2];
}

int usage()
{
    std::fprintf(stderr,
                 "usage: veltraw-bench [--rounds N] [--timed-only | --untimed-only] [--only TEXT] [--sim PATH] [--cli]\n"
                 "Runs every device operation through the real windows (offscreen) against veltraw-sim\n"
                 "in its own process and prints wall time, the line's floor, CPU share and peak memory.\n"
                 "--only runs just the operations whose name contains TEXT.\n"
                 "--cli runs veltraw-cli's rows instead: write + verify, read, four writers at once, and\n"
                 "a full write and read through a modelled 16 ms and 1 ms USB adapter, and doctor's whole\n"
                 "run (goal: about 3 s); with --only doctor, doctor's rows alone.\n");
    return 2;
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &msg) {
        // The offscreen platform's remarks on every window are noise here.
        if (type == QtDebugMsg || msg.contains(QLatin1String("propagateSizeHints")) || msg.contains(QLatin1String("raise()"))) return;
        std::fprintf(stderr, "%s\n", qPrintable(msg));
    });

    int rounds = 3;
    QString only;
    bool timed = true, untimed = true;
    bool cli = false;
    QString simProgram = QStringLiteral(VELTRAW_SIM_PATH);
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--rounds") && i + 1 < args.size()) rounds = std::max(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--timed-only")) untimed = false;
        else if (args[i] == QLatin1String("--untimed-only")) timed = false;
        else if (args[i] == QLatin1String("--sim") && i + 1 < args.size()) simProgram = args[++i];
        else if (args[i] == QLatin1String("--only") && i + 1 < args.size()) only = args[++i];
        else if (args[i] == QLatin1String("--cli")) cli = true;
        else return usage();
    }
    if (cli) return runCliBench(simProgram, QStringLiteral(VELTRAW_CLI_PATH), only) == 0 ? 0 : 1;

    const sim::PicTimes pic;
    std::printf("veltraw-bench, %s\n", qPrintable(QDateTime::currentDateTime().toString(Qt::ISODate)));
    std::printf("machine: %s\n", qPrintable(machine()));
    std::printf("wire-time model: %.3f ms a byte (4800 baud, 10 bits); PIC: program word %.1f ms, "
                "EEPROM byte %.1f ms, program erase %.1f ms, EEPROM erase %.1f ms\n",
                kByteMs, pic.programWordUs / 1e3, pic.eepromByteUs / 1e3, pic.programEraseUs / 1e3, pic.eepromEraseUs / 1e3);
    std::printf("median of %d rounds; load average at the start: %s\n\n", rounds, qPrintable(loadAverage()));
    std::fflush(stdout);

    struct Row {
        Op op;
        QVector<Sample> samples;
    };
    bool allRight = true;
    QStringList misses;
    auto runAll = [&](bool withModel, QVector<Row> *rows) {
        for (int r = 0; r < rounds; ++r) {
            Bench bench(withModel, simProgram);
            QString why;
            if (!bench.setUp(&why)) {
                std::fprintf(stderr, "veltraw-bench: %s\n", qPrintable(why));
                return false;
            }
            QVector<Op> ops = bench.operations();
            if (!only.isEmpty())
                ops.erase(std::remove_if(ops.begin(), ops.end(),
                                         [&](const Op &op) { return !QString::fromUtf8(op.name).contains(only); }),
                          ops.end());
            if (rows->isEmpty())
                for (const Op &op : ops) rows->append(Row{op, {}});
            for (int i = 0; i < ops.size(); ++i) {
                const Sample s = bench.measure(ops[i]);
                if (!s.failure.isEmpty()) {
                    std::fprintf(stderr, "veltraw-bench: %s: %s\n", ops[i].name, qPrintable(s.failure));
                    allRight = false;
                }
                (*rows)[i].samples.append(s);
            }
        }
        return true;
    };

    if (timed) {
        QVector<Row> rows;
        if (!runAll(true, &rows)) return 1;
        std::printf("Wire-time model on (veltraw-sim --timed):\n\n");
        std::printf("| operation | bytes out/in | PIC ms | pauses ms | floor ms | wall ms | ratio | CPU %% | peak MB |\n");
        std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|\n");
        for (const Row &row : rows) {
            const Sample s = median(row.samples);
            std::printf("| %s | %lld/%lld | %.1f | %.0f | %.1f | %.1f | %.3f | %.2f | %.1f |\n", row.op.name,
                        (long long)s.wire.fromHost, (long long)s.wire.fromWriter, s.picMs(), s.pausesMs, s.floorMs(),
                        s.wallMs, s.ratio(), 100 * s.cpuShare(), s.peakMB);
            // No run can beat the line: a floor above the wall time is a floor computed wrong,
            // the reference's too.
            if (!(s.ratio() >= 1.0))
                misses << QStringLiteral("%1: ratio %2 < 1: its floor is computed wrong").arg(QLatin1String(row.op.name)).arg(s.ratio(), 0, 'f', 3);
            if (row.op.goals & (Op::Reference | Op::NoLine)) continue;
            if (s.ratio() > 1.02) misses << QStringLiteral("%1: ratio %2 > 1.02").arg(QLatin1String(row.op.name)).arg(s.ratio(), 0, 'f', 3);
            if ((row.op.goals & Op::CpuGoal) && !(s.cpuShare() <= 0.02))
                misses << QStringLiteral("%1: CPU %2 % > 2 %").arg(QLatin1String(row.op.name)).arg(100 * s.cpuShare(), 0, 'f', 2);
            if ((row.op.goals & Op::MemoryGoal) && !(s.peakMB > 0 && s.peakMB < 64))
                misses << QStringLiteral("%1: peak %2 MB, not under 64 MB").arg(QLatin1String(row.op.name)).arg(s.peakMB, 0, 'f', 1);
        }
        std::printf("\nfloor = (bytes out + bytes in) x %.3f ms + PIC time + fixed pauses - what runs alongside a "
                    "pause or is not awaited\n\n",
                    kByteMs);
        std::fflush(stdout);
    }

    if (untimed) {
        QVector<Row> rows;
        if (!runAll(false, &rows)) return 1;
        std::printf("Wire-time model off (veltraw-sim answers at once): the program's own cost\n\n");
        std::printf("| operation | wall ms | pauses ms | own ms | per word ms | CPU %% | peak MB |\n");
        std::printf("|---|---:|---:|---:|---:|---:|---:|\n");
        for (const Row &row : rows) {
            const Sample s = median(row.samples);
            const double own = s.wallMs - s.pausesMs;
            const QString perWord = row.op.words ? QString::number(own / row.op.words, 'f', 3) : QString();
            std::printf("| %s | %.1f | %.0f | %.1f | %s | %.1f | %.1f |\n", row.op.name, s.wallMs, s.pausesMs, own,
                        qPrintable(perWord), 100 * s.cpuShare(), s.peakMB);
            if ((row.op.goals & Op::OwnCostGoal) && !(own < 1000))
                misses << QStringLiteral("%1 without the wire-time model: %2 ms >= 1000 ms").arg(QLatin1String(row.op.name)).arg(own, 0, 'f', 1);
        }
        std::printf("\n");
    }

    std::printf("load average at the end: %s\n", qPrintable(loadAverage()));
    if (misses.isEmpty()) std::printf("goals: all hold\n");
    for (const QString &m : misses) {
        std::printf("goal missed: %s\n", qPrintable(m));
        std::fprintf(stderr, "veltraw-bench: goal missed: %s\n", qPrintable(m));
    }
    if (!allRight) std::printf("some operations did not end as expected (see above)\n");
    std::fflush(stdout);
    // A missed goal fails the run as a wrong outcome does.
    return allRight && misses.isEmpty() ? 0 : 1;
}
