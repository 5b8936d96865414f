// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/diagnosis/diagnosis.h"

#include "core/link/portstatus.h"
#include "core/link/programmerlink.h"
#include "core/protocol/confregexchange.h"
#include "core/protocol/host.h"
#include "core/protocol/programexchange.h"
#include "core/protocol/versionexchange.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <memory>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// At global scope, where lupdate finds it from Runner::Impl's members too.
struct DiagnosisTr {
    Q_DECLARE_TR_FUNCTIONS(diagnosis)
};

}  // namespace

namespace diagnosis {

namespace {

// The exit statuses of veltraw-cli's table that a failed check gives.
enum : int { kNoPower = 4, kUnreachable = 69, kPortFailed = 74, kPortBusy = 75, kWriterFailed = 76, kNoPermission = 77 };

Check ok(const char *name, const QString &detail, const QString &remedy = QString())
{
    return Check{QLatin1String(name), Status::Ok, detail, remedy, 0};
}
Check warn(const char *name, const QString &detail, const QString &remedy)
{
    return Check{QLatin1String(name), Status::Warn, detail, remedy, 0};
}
Check fail(const char *name, int exit, const QString &detail, const QString &remedy)
{
    return Check{QLatin1String(name), Status::Fail, detail, remedy, exit};
}
// A check that cannot be made because an earlier one failed.
Check notChecked(const char *name, const QString &because)
{
    return warn(name, DiagnosisTr::tr("確認できませんでした（%1）。").arg(because), DiagnosisTr::tr("先に上の問題を解決してください。"));
}

QString joinDetail(const QStringList &parts) { return parts.join(DiagnosisTr::tr("、")); }
// A detail's sentences: Japanese ends each with "。", English puts a space between them.
QString sentenceGap() { return DiagnosisTr::tr("。", "between sentences"); }
QString fullStop() { return DiagnosisTr::tr("。", "after the last sentence"); }

// Messages of the exchanges are not shown: the diagnosis says it in its own words.
class QuietHost : public ExchangeHost {
public:
    explicit QuietHost(const std::function<bool()> &cancelled) : cancelled_(cancelled) {}
    messages::Button show(const messages::Message &) override { return messages::Ok; }
    bool cancelled() const override { return cancelled_ && cancelled_(); }

private:
    const std::function<bool()> &cancelled_;
};

QString usbIdentity(const DeviceInfo &d)
{
    QStringList parts;
    parts << QStringLiteral("USB %1:%2").arg(d.vid, d.pid);
    const QString family = chipFamily(d.vid, d.pid);
    if (!family.isEmpty() && !d.manufacturer.contains(family, Qt::CaseInsensitive)) parts << family;
    const QString maker = QStringList{d.manufacturer, d.product}.join(QLatin1Char(' ')).trimmed();
    if (!maker.isEmpty()) parts << maker;
    parts << (d.serial.isEmpty() ? DiagnosisTr::tr("シリアル番号なし") : DiagnosisTr::tr("シリアル番号 %1").arg(d.serial));
    return parts.join(DiagnosisTr::tr("、"));
}

QString chipText(const ChipWithoutTty &c)
{
    const QString family = chipFamily(c.vid, c.pid);
    QString t = QStringLiteral("USB %1:%2").arg(c.vid, c.pid);
    if (!family.isEmpty()) t += DiagnosisTr::tr("（%1）").arg(family);
    if (!c.product.isEmpty()) t += QLatin1Char(' ') + c.product;
    return t + DiagnosisTr::tr(" に tty がありません（ドライバ: %1）").arg(c.driver.isEmpty() ? DiagnosisTr::tr("なし") : c.driver);
}

QString lowLatencyCommand(const DeviceInfo &d)
{
    return QStringLiteral("echo 1 | sudo tee /sys/bus/usb-serial/devices/%1/latency_timer").arg(d.tty);
}

bool running(const SystemRoot &root, const QString &program)
{
    const QList<SystemRoot::Process> ps = root.processes();
    return std::any_of(ps.begin(), ps.end(), [&](const SystemRoot::Process &p) { return p.name == program; });
}

}  // namespace

const char *statusName(Status s)
{
    switch (s) {
    case Status::Ok: return "ok";
    case Status::Warn: return "warn";
    case Status::Fail: return "fail";
    }
    return "fail";
}

struct Runner::Impl {
    Request request;
    SystemRoot root;
    std::unique_ptr<ProgrammerLink> ownLink;
    portstatus::AliasLock alias;
    std::unique_ptr<LinkSession> session;
    ProgrammerLink *link = nullptr;  // open and ours for the run, once the busy check passed
    bool lost = false;
    QString lostReason;
    int configValue = -1;  // the configuration register, once read
    QMetaObject::Connection sharedLost;

    explicit Impl(const Request &r) : request(r), root(r.root) {}

    Check deviceCheck(const DeviceInfo &d);
    Check permissionCheck(const DeviceInfo &d);
    Check busyCheck(const DeviceInfo &d);
    Check grabbersCheck(const DeviceInfo &d);
    Check adapterCheck(const DeviceInfo &d);
    Check writerCheck(const DeviceInfo &d, const std::function<bool()> &cancelled);
    Check targetCheck(const std::function<bool()> &cancelled);
    Check deepCheck(const std::function<bool()> &cancelled);
    Check lostCheck(const char *name) const
    {
        return fail(name, kPortFailed, DiagnosisTr::tr("通信中にポートが使えなくなりました（%1）。").arg(lostReason),
                    DiagnosisTr::tr("ケーブルとアダプタの接続を確認してから、もう一度診断してください。"));
    }
};

Runner::Runner(const Request &request) : d(new Impl(request)) {}

Runner::~Runner()
{
    if (d->ownLink) d->ownLink->close();
    delete d;
}

Check Runner::Impl::deviceCheck(const DeviceInfo &dev)
{
    QStringList found;
    if (!request.how.isEmpty()) found << request.how;
    if (dev.exists) {
        if (dev.node != dev.device) found << dev.node;
        if (dev.pseudoTerminal) found << DiagnosisTr::tr("疑似端末（シミュレータなど）");
        if (!dev.driver.isEmpty()) found << DiagnosisTr::tr("ドライバ %1").arg(dev.driver);
        if (dev.usb) found << usbIdentity(dev);
        for (const QString &id : dev.byId) found << id;
        const QString there = DiagnosisTr::tr("%1 があります。%2").arg(dev.device, joinDetail(found));
        return ok("device", found.isEmpty() ? there.trimmed() : there);
    }
    const QStringList present = presentSerialDevices(root);
    const QList<ChipWithoutTty> orphans = serialChipsWithoutTty(root);
    QString chooseError = request.chooseError;
    if (chooseError.endsWith(fullStop())) chooseError.chop(fullStop().size());
    found.prepend(request.device.isEmpty() ? chooseError
                                           : DiagnosisTr::tr("%1 が見つかりません").arg(request.device));
    found << (present.isEmpty() ? DiagnosisTr::tr("シリアルデバイスはひとつもありません")
                                : DiagnosisTr::tr("あるシリアルデバイス: %1").arg(present.join(QStringLiteral(" "))));
    QString remedy;
    for (const ChipWithoutTty &c : orphans) {
        found << chipText(c);
        if (isFtdi(c.vid) && c.pid == QLatin1String("0000"))
            remedy = DiagnosisTr::tr("PID が 0000 の FTDI チップ（偽造品が書き換えられたもの）です。ドライバに認識させるには: "
                                     "sudo modprobe ftdi_sio && echo 0403 0000 | sudo tee /sys/bus/usb-serial/drivers/ftdi_sio/new_id");
        else if (brlttyClaimsChip(c.vid, c.pid) && running(root, QStringLiteral("brltty")))
            remedy = DiagnosisTr::tr("点字ディスプレイ用の brltty がアダプタを横取りしています。点字ディスプレイを使わないなら "
                                     "sudo apt remove brltty を実行し、アダプタを差し直してください。");
    }
    if (remedy.isEmpty())
        remedy = present.isEmpty() ? DiagnosisTr::tr("ケーブルとアダプタを差し直してください。")
                                   : DiagnosisTr::tr("ケーブルを確かめ、-p であるデバイスを指定してください（例: -p %1）。").arg(present.first());
    return fail("device", kUnreachable, joinDetail(found) + fullStop(), remedy);
}

Check Runner::Impl::permissionCheck(const DeviceInfo &dev)
{
#ifndef Q_OS_UNIX
    // Windows has no device groups: a COM port opens for any user, or is busy.
    return ok("permission", DiagnosisTr::tr("%1 に権限の制限はありません。").arg(dev.device));
#else
    struct stat st {};
    if (::stat(QFile::encodeName(root.path(dev.node)).constData(), &st) != 0)
        return notChecked("permission", DiagnosisTr::tr("%1 の属性が読めません").arg(dev.device));
    const uint uid = root.uid();
    const QList<uint> groups = root.groups();
    const uint gid = uint(st.st_gid);
    const bool permitted = uid == 0 || (uint(st.st_uid) == uid && (st.st_mode & 0600) == 0600)
        || (groups.contains(gid) && (st.st_mode & 0060) == 0060) || (st.st_mode & 0006) == 0006
        // An access list (udev's uaccess tag) opens it to the seat's user without the bits.
        || (root.isReal() && ::access(QFile::encodeName(dev.node).constData(), R_OK | W_OK) == 0);
    const QString user = root.userName(uid).isEmpty() ? QString::number(uid) : root.userName(uid);
    const QString group = root.groupName(gid).isEmpty() ? QString::number(gid) : root.groupName(gid);
    if (permitted) return ok("permission", DiagnosisTr::tr("ユーザー %1 は %2 を開けます。").arg(user, dev.device));
    const bool listed = root.groupMembers(gid).contains(user) || root.primaryGroup(user) == gid;
    if (listed)
        return fail("permission", kNoPermission,
                    DiagnosisTr::tr("ユーザー %1 は %2 グループに登録されていますが、今のログインにはまだ反映されていません。").arg(user, group),
                    DiagnosisTr::tr("いったんログアウトして、ログインし直してください。"));
    return fail("permission", kNoPermission,
                DiagnosisTr::tr("%1 は %2 グループのものですが、ユーザー %3 はこのグループに入っていません。").arg(dev.device, group, user),
                DiagnosisTr::tr("sudo usermod -aG %1 %2 を実行し、ログインし直してください。").arg(group, user));
#endif
}

Check Runner::Impl::busyCheck(const DeviceInfo &dev)
{
    QStringList holders;
    const QString real = QFileInfo(root.path(dev.node)).canonicalFilePath();
    QList<SystemRoot::Process> ps = root.holders(dev.node);
    if (!real.isEmpty() && real != dev.node) ps += root.holders(real);
    for (const SystemRoot::Process &p : ps) holders << DiagnosisTr::tr("%1（%2）").arg(p.name).arg(p.pid);
    holders.removeDuplicates();
    const QString held = holders.isEmpty() ? QString() : DiagnosisTr::tr("開いているプロセス: %1。").arg(holders.join(DiagnosisTr::tr("、")));

    const auto noteLost = [this](const QString &why) {
        lost = true;
        lostReason = why;
    };
    ProgrammerLink *shared = request.sharedLink;
    if (shared && shared->isOpen()) {
        session = std::make_unique<LinkSession>(*shared, "diagnosis");
        if (!session->held())
            return fail("busy", kPortBusy,
                        DiagnosisTr::tr("このプログラム自身が %1 で使用中です（%2）。").arg(dev.device, shared->busyOwner()),
                        DiagnosisTr::tr("その操作が終わってから、もう一度診断してください。"));
        link = shared;
        sharedLost = QObject::connect(shared, &ProgrammerLink::portLost, noteLost);
        return ok("busy", DiagnosisTr::tr("このプログラムが開いている %1 をそのまま使います。").arg(dev.device));
    }
    ownLink = std::make_unique<ProgrammerLink>();
    QObject::connect(ownLink.get(), &ProgrammerLink::portLost, noteLost);
    const QString path = root.path(dev.device);
    QString why;
    portstatus::Status st;
    if (!ownLink->openDevice(path, &why)) st = portstatus::diagnoseOpenFailure(path, why);
    else if (!alias.take(path)) st.problem = portstatus::PortProblem::Busy;
    switch (st.problem) {
    case portstatus::PortProblem::None:
        link = ownLink.get();
        return ok("busy", DiagnosisTr::tr("%1 は開けました。").arg(dev.device) + held);
    case portstatus::PortProblem::Busy:
        return fail("busy", kPortBusy, portstatus::text(st, dev.device) + held,
                    DiagnosisTr::tr("そのプログラムを終了するかポートを閉じてから、もう一度診断してください。"));
    case portstatus::PortProblem::NoPermission:
        return fail("busy", kNoPermission, portstatus::text(st, dev.device), DiagnosisTr::tr("ログインし直してから、もう一度診断してください。"));
    case portstatus::PortProblem::NoDevice:
        return fail("busy", kUnreachable, portstatus::text(st, dev.device), DiagnosisTr::tr("ケーブルとアダプタを差し直してください。"));
    case portstatus::PortProblem::Other:
        break;
    }
    return fail("busy", kPortFailed, portstatus::text(st, dev.device) + held,
                DiagnosisTr::tr("シリアルポートではないか、アダプタが故障しています。-p で別のデバイスを指定してください。"));
}

Check Runner::Impl::grabbersCheck(const DeviceInfo &dev)
{
    QStringList found, remedies;
    const bool modemManager = running(root, QStringLiteral("ModemManager"));
    const bool usbTty = dev.usb || dev.tty.startsWith(QLatin1String("ttyUSB")) || dev.tty.startsWith(QLatin1String("ttyACM"));
    if (modemManager && usbTty && dev.udev.value(QStringLiteral("ID_MM_DEVICE_IGNORE")) != QLatin1String("1")) {
        found << DiagnosisTr::tr("ModemManager が動いていて、%1 を無視する設定（ID_MM_DEVICE_IGNORE）がありません。"
                                 "新しいポートに AT コマンドを送り、最初の通信を乱すことがあります").arg(dev.device);
        remedies << DiagnosisTr::tr("udev 規則で除外してください（veltraw-cli doctor --udev-rule）。"
                                    "モデムを使わないなら sudo systemctl disable --now ModemManager でも構いません。");
    }
    const bool brltty = running(root, QStringLiteral("brltty"));
    if (brltty) {
        QStringList chips;
        if (dev.usb && brlttyClaimsChip(dev.vid, dev.pid)) chips << chipFamily(dev.vid, dev.pid);
        for (const ChipWithoutTty &c : serialChipsWithoutTty(root))
            if (brlttyClaimsChip(c.vid, c.pid)) chips << chipFamily(c.vid, c.pid);
        chips.removeDuplicates();
        if (!chips.isEmpty()) {
            found << DiagnosisTr::tr("点字ディスプレイ用の brltty が動いていて、%1 のアダプタがつながっています。brltty はこの種のアダプタを"
                                     "横取りし、tty を消してしまいます").arg(chips.join(DiagnosisTr::tr("・")));
            remedies << DiagnosisTr::tr("点字ディスプレイを使わないなら sudo apt remove brltty を実行し、アダプタを差し直してください。");
        }
    }
    if (found.isEmpty()) {
        QStringList seen;
        seen << (modemManager ? (usbTty ? DiagnosisTr::tr("ModemManager はこのデバイスを無視します") : DiagnosisTr::tr("ModemManager は USB シリアルデバイスにしか触れません"))
                              : DiagnosisTr::tr("ModemManager は動いていません"));
        seen << (brltty ? DiagnosisTr::tr("brltty が横取りしそうなアダプタはありません") : DiagnosisTr::tr("brltty は動いていません"));
        return ok("grabbers", joinDetail(seen) + fullStop());
    }
    return warn("grabbers", found.join(sentenceGap()) + fullStop(), remedies.join(QLatin1Char(' ')));
}

Check Runner::Impl::adapterCheck(const DeviceInfo &dev)
{
    if (!dev.exists) return notChecked("adapter", DiagnosisTr::tr("デバイスがありません"));
    if (!dev.usb) {
        if (dev.pseudoTerminal) return ok("adapter", DiagnosisTr::tr("疑似端末なので USB アダプタはありません。"));
        return ok("adapter", DiagnosisTr::tr("USB アダプタではありません（%1）。").arg(dev.driver.isEmpty() ? DiagnosisTr::tr("内蔵シリアルポート") : dev.driver));
    }
    QStringList found, remedies;
    // Re-read after the opening, which asked for low latency (ftdi_sio then sets the timer to 1).
    bool numeric = false;
    const int latency = root.readText(QStringLiteral("/sys/class/tty/%1/device/latency_timer").arg(dev.tty)).toInt(&numeric);
    const int ms = numeric ? latency : dev.latencyMs;
    const bool slow = ms > ProgrammerLink::kSlowAdapterMs;
    if (slow) {
        // Opening asks for low latency: only a port that was opened can tell it was refused.
        const QString timer = link ? DiagnosisTr::tr("レイテンシタイマーが %1 ms で、低遅延モードは認められませんでした。").arg(ms)
                                   : DiagnosisTr::tr("レイテンシタイマーが %1 ms です。").arg(ms);
        found << DiagnosisTr::tr("%1返事のたびに最大 %2 ms 待たされ、書き込みが数倍遅くなります").arg(timer, QString::number(ms));
        remedies << DiagnosisTr::tr("今すぐ 1 ms にするには: %1 。常にそうするには udev 規則を入れてください（veltraw-cli doctor --udev-rule）。")
                        .arg(lowLatencyCommand(dev));
    }
    const bool fakeFtdi = isFtdi(dev.vid) && (dev.pid == QLatin1String("0000") || dev.serial == QLatin1String("A50285BI"));
    if (fakeFtdi) {
        found << DiagnosisTr::tr("偽造 FTDI チップの特徴があります（%1）").arg(dev.pid == QLatin1String("0000") ? QStringLiteral("PID 0000")
                                                                                                         : DiagnosisTr::tr("よく知られた偽造品のシリアル番号"));
        remedies << DiagnosisTr::tr("通信が不安定なら、正規品のアダプタに替えてください。");
    }
    if (dev.serial.isEmpty()) {
        found << DiagnosisTr::tr("アダプタにシリアル番号がありません。同じ種類のアダプタを 2 台つなぐと区別できません");
        remedies << DiagnosisTr::tr("同じ種類のアダプタは 1 台だけつなぐか、差し込み口で決まる /dev/serial/by-path の名前を使ってください。");
    }
    const QString what = usbIdentity(dev) + (ms >= 0 && !slow ? DiagnosisTr::tr("、レイテンシタイマー %1 ms").arg(ms) : QString());
    if (found.isEmpty()) return ok("adapter", what + fullStop());
    return warn("adapter", what + sentenceGap() + found.join(sentenceGap()) + fullStop(), remedies.join(QLatin1Char(' ')));
}

Check Runner::Impl::writerCheck(const DeviceInfo &dev, const std::function<bool()> &cancelled)
{
    QuietHost host(cancelled);
    ProgrammerLink &l = *link;
    l.setBinaryMode(true);
    l.clearInput();
    QVector<double> trips;  // when each "s" came, on one clock
    QElapsedTimer clock;
    clock.start();
    QByteArray other;
    int silent = 0;
    bool strayFirst = false;
    while (trips.size() < kPings && !host.cancelled()) {
        if (lost || !l.isOpen()) return lostCheck("writer");
        l.sendLetter('S');
        const ReplyWait::End end = host.awaitByte(l, kPingTimeoutMs);
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        if (end == ReplyWait::End::PortClosed || lost) return lostCheck("writer");
        if (end == ReplyWait::End::Cancelled) break;
        if (end == ReplyWait::End::TimedOut) {
            if (++silent < kSilentTries) continue;
            l.setBinaryMode(false);
            if (!trips.isEmpty())
                return fail("writer", kWriterFailed, DiagnosisTr::tr("ライタが途中で応答しなくなりました。"),
                            DiagnosisTr::tr("ライタの電源とケーブルを確認してください。"));
            return fail("writer", kUnreachable,
                        DiagnosisTr::tr("ライタが応答しません（\"S\" を %1 回送り、%2 秒ずつ待ちました）。").arg(kSilentTries).arg(kPingTimeoutMs / 1000),
                        DiagnosisTr::tr("ライタの電源、ケーブル、ポートの指定を確認してください。"));
        }
        const int b = l.readByte();
        if (b == 's') {
            trips << ms;
            continue;
        }
        // Something else: what else comes with it tells more.
        other.append(char(b));
        while (other.size() < 16 && host.awaitByte(l, 200) == ReplyWait::End::Byte) other.append(char(l.readByte()));
        // A writer left in the middle of an exchange may answer the first letter oddly once.
        if (trips.isEmpty() && !strayFirst) {
            strayFirst = true;
            other.clear();
            l.clearInput();
            continue;
        }
        l.setBinaryMode(false);
        return fail("writer", kWriterFailed,
                    DiagnosisTr::tr("\"S\" に \"s\" ではなく別のバイト（%1）が返りました。通信速度が 4800 baud でないか、ライタではない機器です。")
                        .arg(QString::fromLatin1(other.toHex(' ').toUpper())),
                    DiagnosisTr::tr("ライタがつながっているポートか、ほかの機器（モデムなど）ではないかを確認してください。"));
    }
    l.setBinaryMode(false);
    if (host.cancelled()) return notChecked("writer", DiagnosisTr::tr("中断しました"));

    QStringList found;
    // From one "s" to the next: one round trip and our own turn. An adapter that holds bytes
    // until its latency timer ticks stretches each to about the timer's period, however quickly
    // we answer; the median keeps a few turns slowed by load on this machine out of it.
    QVector<double> periods;
    for (int i = 1; i < trips.size(); ++i) periods << trips[i] - trips[i - 1];
    std::sort(periods.begin(), periods.end());
    const double best = periods.isEmpty() ? 0 : periods[periods.size() / 2];
    found << DiagnosisTr::tr("リンク確認（\"S\"）に応答しました。往復 %1 ms（4800 baud での目安 %2 ms）")
                 .arg(best, 0, 'f', 1).arg(kRoundTripMs, 0, 'f', 1);
    const about::VersionResult version = about::queryFirmwareVersion(l, host);
    if (lost) return lostCheck("writer");
    if (version.outcome != Outcome::Done)
        return fail("writer", kWriterFailed, DiagnosisTr::tr("%1が、ファームウェアのバージョン（\"@\"）には答えませんでした。").arg(found.first()),
                    DiagnosisTr::tr("ライタの電源を入れ直してから、もう一度診断してください。"));
    found << version.text;
    if (best > kRoundTripMs + kSlowSlackMs) {
        const QString because = dev.latencyMs > ProgrammerLink::kSlowAdapterMs
            ? DiagnosisTr::tr("USB アダプタのレイテンシタイマー（%1 ms）が返事を溜めています").arg(dev.latencyMs)
            : DiagnosisTr::tr("USB アダプタが返事を溜めているようです");
        return warn("writer", DiagnosisTr::tr("%1。返事が遅すぎます: %2。").arg(joinDetail(found), because),
                    dev.usb ? DiagnosisTr::tr("レイテンシタイマーを 1 ms にしてください: %1").arg(lowLatencyCommand(dev))
                            : DiagnosisTr::tr("アダプタの受信待ち時間（レイテンシタイマー）を最小にしてください。"));
    }
    return ok("writer", joinDetail(found) + fullStop());
}

Check Runner::Impl::targetCheck(const std::function<bool()> &cancelled)
{
    QuietHost host(cancelled);
    const confreg::ReadResult r = confreg::readConfigRegister(*link, host);
    if (lost) return lostCheck("target");
    switch (r.outcome) {
    case Outcome::Done:
        configValue = r.value;
        return ok("target", DiagnosisTr::tr("ターゲットボードに電源が入っています。コンフィギュレーションレジスタ %1h: %2")
                                .arg(QString::number(r.value, 16).toUpper().rightJustified(2, QLatin1Char('0')),
                                     r.text.split(QRegularExpression(QStringLiteral("\\s*\r?\n")), Qt::SkipEmptyParts)
                                         .replaceInStrings(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "))
                                         .join(DiagnosisTr::tr("、"))));
    case Outcome::NoPower:
        return fail("target", kNoPower, DiagnosisTr::tr("ライタがターゲットボードの電源が入っていないと答えました（\"?\"）。"),
                    DiagnosisTr::tr("ターゲットボードの電源とライタとの接続を確認してください。"));
    case Outcome::Cancelled:
        return notChecked("target", DiagnosisTr::tr("中断しました"));
    default:
        return fail("target", kWriterFailed, DiagnosisTr::tr("コンフィギュレーションレジスタの読み出し（\"Y\"）に正しい返事がありませんでした。"),
                    DiagnosisTr::tr("ライタの電源を入れ直してから、もう一度診断してください。"));
    }
}

Check Runner::Impl::deepCheck(const std::function<bool()> &cancelled)
{
    QuietHost host(cancelled);
    const program::ReadResult r = program::readProgramWords(*link, host);
    if (lost) return lostCheck("deep");
    if (r.outcome == Outcome::NoPower)
        return fail("deep", kNoPower, DiagnosisTr::tr("プログラムメモリを読もうとすると、ターゲットボードの電源が入っていないと答えました。"),
                    DiagnosisTr::tr("ターゲットボードの電源を確認してください。"));
    if (r.outcome == Outcome::Cancelled) return notChecked("deep", DiagnosisTr::tr("中断しました"));
    if (r.outcome != Outcome::Done || r.words.size() < 1024)
        return fail("deep", kWriterFailed, DiagnosisTr::tr("プログラムメモリの読み出しが途中で止まりました。"),
                    DiagnosisTr::tr("ライタとターゲットの接続を確認し、もう一度診断してください。"));
    const auto program = r.words.mid(0, 1024);
    const int used = int(std::count_if(program.begin(), program.end(), [](quint16 w) { return (w & 0x3FFF) != 0x3FFF; }));
    const bool allZero = std::all_of(program.begin(), program.end(), [](quint16 w) { return (w & 0x3FFF) == 0; });
    // The configuration register's CP bit: 0 means protected.
    const bool protectedCode = configValue >= 0 && (configValue & 0x10) == 0;
    if (protectedCode)
        return warn("deep", DiagnosisTr::tr("コードプロテクトが有効です。プログラムメモリの中身は読み出せません（%1 語が 3FFFh 以外）。").arg(used),
                    DiagnosisTr::tr("読み出しや照合が要るなら、消去してから書き込み直してください。"));
    if (allZero)
        return warn("deep", DiagnosisTr::tr("プログラムメモリが全語 0000h と読めました。データ線かクロック線がつながっていないか、PIC がありません。"),
                    DiagnosisTr::tr("ICSP の配線（PGD、PGC、MCLR、GND）と PIC の向きを確認してください。"));
    if (used == 0) return ok("deep", DiagnosisTr::tr("プログラムメモリは空です（全語 3FFFh）。コードプロテクトは無効です。"));
    return ok("deep", DiagnosisTr::tr("プログラムが書き込まれています（1024 語のうち %1 語）。コードプロテクトは無効です。").arg(used));
}

QVector<Check> Runner::run()
{
    QVector<Check> checks;
    auto add = [&](const Check &c) {
        checks << c;
        if (onCheck) onCheck(c);
    };
    info_ = describe(d->root, d->request.device);
    const DeviceInfo &dev = info_;
    add(d->deviceCheck(dev));
    const bool there = dev.exists;
    add(there ? d->permissionCheck(dev) : notChecked("permission", DiagnosisTr::tr("デバイスがありません")));
    const bool mayOpen = there && checks.last().status != Status::Fail;
    add(mayOpen ? d->busyCheck(dev) : notChecked("busy", there ? DiagnosisTr::tr("開く権限がありません") : DiagnosisTr::tr("デバイスがありません")));
    add(d->grabbersCheck(dev));
    add(d->adapterCheck(dev));
    const bool open = d->link != nullptr;
    add(open ? d->writerCheck(dev, cancelled) : notChecked("writer", DiagnosisTr::tr("ポートを開けません")));
    const bool answered = open && checks.last().status != Status::Fail && !d->lost;
    add(answered ? d->targetCheck(cancelled) : notChecked("target", DiagnosisTr::tr("ライタが応答しません")));
    if (d->request.deep) {
        const bool powered = answered && checks.last().status != Status::Fail && !d->lost;
        add(powered ? d->deepCheck(cancelled) : notChecked("deep", DiagnosisTr::tr("ターゲットを確認できません")));
    }
    if (d->ownLink) d->ownLink->close();
    d->alias.release();
    QObject::disconnect(d->sharedLost);
    d->session.reset();
    return checks;
}

int exitCode(const QVector<Check> &checks)
{
    for (const Check &c : checks)
        if (c.status == Status::Fail) return c.exitCode;
    return 0;
}

QString checkLabel(const QString &name)
{
    static const QHash<QString, const char *> labels = {
        {QStringLiteral("device"), QT_TRANSLATE_NOOP("diagnosis", "デバイス")},
        {QStringLiteral("permission"), QT_TRANSLATE_NOOP("diagnosis", "権限")},
        {QStringLiteral("busy"), QT_TRANSLATE_NOOP("diagnosis", "使用中")},
        {QStringLiteral("grabbers"), QT_TRANSLATE_NOOP("diagnosis", "横取り")},
        {QStringLiteral("adapter"), QT_TRANSLATE_NOOP("diagnosis", "アダプタ")},
        {QStringLiteral("writer"), QT_TRANSLATE_NOOP("diagnosis", "ライタ")},
        {QStringLiteral("target"), QT_TRANSLATE_NOOP("diagnosis", "ターゲット")},
        {QStringLiteral("deep"), QT_TRANSLATE_NOOP("diagnosis", "プログラムメモリ")},
    };
    const char *label = labels.value(name);
    return label ? DiagnosisTr::tr(label) : name;
}

QString statusLabel(Status s)
{
    switch (s) {
    case Status::Ok: return DiagnosisTr::tr("正常");
    case Status::Warn: return DiagnosisTr::tr("注意");
    case Status::Fail: return DiagnosisTr::tr("異常");
    }
    return QString();
}

QString report(const QVector<Check> &checks, const QString &device)
{
    QStringList lines;
    lines << DiagnosisTr::tr("接続診断: %1").arg(device.isEmpty() ? DiagnosisTr::tr("（ポート未指定）") : device);
    for (const Check &c : checks) {
        lines << DiagnosisTr::tr("%1 %2（%3）: %4").arg(QString::fromLatin1(statusName(c.status)).leftJustified(4), c.name, checkLabel(c.name), c.detail);
        if (!c.remedy.isEmpty() && c.status != Status::Ok) lines << DiagnosisTr::tr("     対処: %1").arg(c.remedy);
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace diagnosis
