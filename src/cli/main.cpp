// veltraw-cli: the writer's operations from the command line, over the same core exchanges as
// the window program.

#include "cli/commands.h"
#include "cli/run.h"
#include "cli/clitext.h"
#include "cli/writersession.h"
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
        print(stdout, cli::helpText());
        return cli::exitcode::Ok;
    }
    if (options.version) {
        print(stdout, QStringLiteral("veltraw-cli ") + about::versionLine(about::kMajor, about::kMinor));
        return cli::exitcode::Ok;
    }
    settings::stored().IniFilePath = cli::settingsFile();

    cli::Run run{out, options, {}, {}};
    const int status = options.command->run(run);
    return finish(status, run.result, status == cli::exitcode::Ok ? QString() : run.error);
}
