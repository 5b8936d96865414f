// SPDX-License-Identifier: GPL-3.0-or-later
// veltraw-cli: the writer's operations from the command line, over the same core exchanges as
// the window program.

#include "cli/commands.h"
#include "cli/run.h"
#include "cli/clitext.h"
#include "cli/multiport.h"
#include "cli/prodtext.h"
#include "cli/unitlog.h"
#include "cli/writersession.h"
#include "core/i18n.h"
#include "core/messages.h"
#include "core/protocol/versionexchange.h"
#include "core/settings/storedsettings.h"

#include <QCoreApplication>
#include <QJsonObject>

#include <cstdio>

namespace {

void print(FILE *f, const QString &text)
{
    const QByteArray bytes = (text + QLatin1Char('\n')).toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f);
    std::fflush(f);
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("veltraw-cli"));
    i18n::install();

    cli::Options options;
    const QString usage = cli::parseArguments(app.arguments().mid(1), &options);
    cli::Output out;
    out.setUp(options.json, options.quiet, options.progress);
    // The result event comes last, whatever happened.
    auto finish = [&](int status, const QJsonObject &extra, const QString &error) {
        QJsonObject r{{QStringLiteral("event"), QStringLiteral("result")},
                      {QStringLiteral("command"), options.commandName},
                      {QStringLiteral("ok"), status == cli::exitcode::Ok},
                      {QStringLiteral("exit"), status}};
        for (auto it = extra.begin(); it != extra.end(); ++it) r.insert(it.key(), it.value());
        if (!error.isEmpty()) r.insert(QStringLiteral("error"), error);
        out.event(r);
        return status;
    };
    if (!usage.isEmpty()) {
        out.error(cli::text::usageError(usage));
        return finish(cli::exitcode::Usage, {}, usage);
    }
    if (options.help) {
        print(stdout, cli::helpText() + cli::text::helpSection());
        return cli::exitcode::Ok;
    }
    if (options.version) {
        print(stdout, QStringLiteral("veltraw-cli ") + about::versionLine(about::kMajor, about::kMinor));
        return cli::exitcode::Ok;
    }
    settings::stored().IniFilePath = cli::settingsFile();

    cli::Run run{out, options, {}, {}};
    if (options.prod.ports.size() > 1) {
        const int status = cli::runSeveralPorts(run, app.arguments().mid(1));
        return finish(status, run.result, status == cli::exitcode::Ok ? QString() : run.error);
    }
    cli::beginUnit(&run.unit);
    int status = options.command->run(run);
    if (options.commandName != QLatin1String("watch")) {  // a watch ends a unit each round
        cli::Tally tally;
        status = cli::endUnit(run, status, &tally);
        if (!options.prod.log.isEmpty() && tally.total() > 0) tally.report(out, &run.result);
    }
    return finish(status, run.result, status == cli::exitcode::Ok ? QString() : run.error);
}
