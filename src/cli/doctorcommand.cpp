// SPDX-License-Identifier: GPL-3.0-or-later
// veltraw-cli doctor: the diagnosis of the path to the PIC, and the udev rule for the adapter.

#include "cli/clitext.h"
#include "cli/run.h"
#include "cli/writersession.h"

#include "core/diagnosis/diagnosis.h"
#include "core/diagnosis/udevrule.h"
#include "core/platform.h"

#include <QJsonObject>

namespace cli {

namespace {

// A test points the diagnosis at a system tree of its own.
QString systemRoot()
{
    const QString root = qEnvironmentVariable("VELTRAW_DOCTOR_ROOT");
    return root.isEmpty() ? QStringLiteral("/") : root;
}

QString checkLine(const diagnosis::Check &c)
{
    QString line = QStringLiteral("%1 %2 %3").arg(QString::fromLatin1(diagnosis::statusName(c.status)).leftJustified(4), c.name.leftJustified(10), c.detail);
    if (c.status != diagnosis::Status::Ok && !c.remedy.isEmpty()) line += text::remedyLine(c.remedy);
    return line;
}

}  // namespace

int runDoctor(Run &run)
{
    diagnosis::Request request;
    request.root = systemRoot();
    if (request.root != QLatin1String("/")) platform::setSysRoot(request.root + QStringLiteral("/sys"));
    request.deep = run.options.deep;
    const PortChoice choice = choosePort(run.options.port, settingsFile());
    request.device = choice.device;
    request.chooseError = choice.error;
    if (choice.comNumber > 0) request.how = choice.how;
    run.result.insert(QStringLiteral("device"), choice.device);

    if (run.options.udevRule) {
        const diagnosis::DeviceInfo info = diagnosis::describe(diagnosis::SystemRoot(request.root), request.device);
        QString why;
        const QString rule = diagnosis::udevRule(info, &why);
        if (rule.isEmpty()) {
            run.error = choice.device.isEmpty() ? choice.error : why;
            run.out.error(run.error);
            return info.exists ? exitcode::Usage : exitcode::Unreachable;
        }
        run.out.result(rule.trimmed());
        run.result.insert(QStringLiteral("rule"), rule);
        run.result.insert(QStringLiteral("path"), QLatin1String(diagnosis::kUdevRulePath));
        QString self = QStringLiteral("veltraw-cli doctor -p %1 --udev-rule").arg(info.byId.value(0, info.device));
        run.out.info(text::udevInstallHint(QLatin1String(diagnosis::kUdevRulePath), diagnosis::udevInstallCommand(self)));
        return exitcode::Ok;
    }

    if (!choice.device.isEmpty()) run.out.info(text::diagnosing(choice.device));
    // Ctrl+C: the wait under way ends, the checks left say so, and the run ends as interrupted.
    Session ctrlC(run.out, run.options);
    diagnosis::Runner runner(request);
    runner.cancelled = [&ctrlC] { return ctrlC.interrupted(); };
    runner.onCheck = [&run](const diagnosis::Check &c) {
        run.out.event(QJsonObject{{QStringLiteral("event"), QStringLiteral("check")},
                                  {QStringLiteral("name"), c.name},
                                  {QStringLiteral("status"), QLatin1String(diagnosis::statusName(c.status))},
                                  {QStringLiteral("detail"), c.detail},
                                  {QStringLiteral("remedy"), c.remedy}});
        run.out.result(checkLine(c));
    };
    const QVector<diagnosis::Check> checks = runner.run();
    int warnings = 0;
    QString failedCheck;
    for (const diagnosis::Check &c : checks) {
        if (c.status == diagnosis::Status::Warn) ++warnings;
        if (c.status == diagnosis::Status::Fail && failedCheck.isEmpty()) {
            failedCheck = c.name;
            run.error = c.detail;
        }
    }
    run.result.insert(QStringLiteral("warnings"), warnings);
    if (!failedCheck.isEmpty()) run.result.insert(QStringLiteral("failed"), failedCheck);
    if (ctrlC.interrupted()) {
        run.error = text::interrupted();
        return exitcode::Interrupted;
    }
    return diagnosis::exitCode(checks);
}

}  // namespace cli
