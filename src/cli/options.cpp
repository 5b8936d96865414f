#include "cli/options.h"

#include "core/messages.h"

#include <QRegularExpression>

namespace cli {

namespace {

namespace text = messages::cli;

struct CommandName {
    const char *first;
    const char *second;  // the action after "eeprom"
    Command command;
};

const CommandName kCommands[] = {
    {"ports", nullptr, Command::Ports},          {"write", nullptr, Command::Write},
    {"verify", nullptr, Command::Verify},        {"read", nullptr, Command::Read},
    {"erase", nullptr, Command::Erase},          {"blank-check", nullptr, Command::BlankCheck},
    {"eeprom", "read", Command::EepromRead},     {"eeprom", "write", Command::EepromWrite},
    {"eeprom", "set", Command::EepromSet},       {"eeprom", "erase", Command::EepromErase},
    {"config", nullptr, Command::Config},        {"version", nullptr, Command::Version},
};

// Words after the command a command takes: its file, or the EEPROM address and value.
int argumentCount(Command c)
{
    switch (c) {
    case Command::Write:
    case Command::Verify:
    case Command::EepromWrite:
        return 1;
    case Command::EepromSet:
        return 2;
    default:
        return 0;
    }
}

bool takes(Command c, const QString &option)
{
    if (option == QLatin1String("-o")) return c == Command::Read || c == Command::EepromRead;
    if (option == QLatin1String("--config") || option == QLatin1String("--eeprom"))
        return c == Command::Write || c == Command::Verify;
    if (option == QLatin1String("--no-verify") || option == QLatin1String("--force")) return c == Command::Write;
    return true;
}

}  // namespace

QString parseArguments(const QStringList &words, Options *o)
{
    *o = Options();
    QStringList positional;
    QStringList commandOptions;  // as spelled canonically, checked once the command is known
    bool optionsEnded = false;
    for (int i = 0; i < words.size(); ++i) {
        const QString &w = words[i];
        if (optionsEnded || w == QLatin1String("-") || !w.startsWith(QLatin1Char('-'))) {
            positional << w;
            continue;
        }
        if (w == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        // "--name=value", "--name value", "-p value" and "-pvalue" all give a value.
        QString name = w;
        std::optional<QString> inlineValue;
        if (w.startsWith(QLatin1String("--")) && w.contains(QLatin1Char('='))) {
            name = w.section(QLatin1Char('='), 0, 0);
            inlineValue = w.section(QLatin1Char('='), 1);
        } else if (!w.startsWith(QLatin1String("--")) && w.size() > 2 && (w.startsWith(QLatin1String("-p")) || w.startsWith(QLatin1String("-o")))) {
            name = w.left(2);
            inlineValue = w.mid(2);
        }
        auto value = [&](QString *out) -> bool {
            if (inlineValue) {
                *out = *inlineValue;
                return true;
            }
            if (i + 1 >= words.size()) return false;
            *out = words[++i];
            return true;
        };
        auto flag = [&](bool *target) -> QString {
            if (inlineValue) return text::unexpectedValue(name);
            *target = true;
            return QString();
        };
        QString error;
        if (name == QLatin1String("-h") || name == QLatin1String("--help")) {
            error = flag(&o->help);
        } else if (name == QLatin1String("--version")) {
            error = flag(&o->version);
        } else if (name == QLatin1String("--json")) {
            error = flag(&o->json);
        } else if (name == QLatin1String("-q") || name == QLatin1String("--quiet")) {
            error = flag(&o->quiet);
        } else if (name == QLatin1String("-p") || name == QLatin1String("--port")) {
            if (!value(&o->port) || o->port.isEmpty()) return text::missingValue(name);
        } else if (name == QLatin1String("--progress")) {
            QString mode;
            if (!value(&mode)) return text::missingValue(name);
            if (mode == QLatin1String("auto")) o->progress = ProgressMode::Auto;
            else if (mode == QLatin1String("bar")) o->progress = ProgressMode::Bar;
            else if (mode == QLatin1String("lines")) o->progress = ProgressMode::Lines;
            else if (mode == QLatin1String("none")) o->progress = ProgressMode::None;
            else return text::badProgressMode(mode);
        } else if (name == QLatin1String("-o") || name == QLatin1String("--output")) {
            if (!value(&o->output) || o->output.isEmpty()) return text::missingValue(name);
            o->outputGiven = true;
            commandOptions << QStringLiteral("-o");
        } else if (name == QLatin1String("--config")) {
            QString word;
            if (!value(&word)) return text::missingValue(name);
            o->configWord = parseConfigWord(word);
            if (!o->configWord) return text::badConfigWord(word);
            commandOptions << name;
        } else if (name == QLatin1String("--no-verify")) {
            error = flag(&o->noVerify);
            commandOptions << name;
        } else if (name == QLatin1String("--eeprom")) {
            error = flag(&o->eeprom);
            commandOptions << name;
        } else if (name == QLatin1String("--force")) {
            error = flag(&o->force);
            commandOptions << name;
        } else {
            return text::unknownOption(w);
        }
        if (!error.isEmpty()) return error;
    }
    if (o->help || o->version) return QString();

    if (positional.isEmpty()) return text::noCommand();
    const QString first = positional.takeFirst();
    if (first == QLatin1String("eeprom")) {
        if (positional.isEmpty()) return text::noEepromAction();
        const QString action = positional.takeFirst();
        for (const CommandName &c : kCommands)
            if (c.second && action == QLatin1String(c.second)) o->command = c.command;
        if (o->command == Command::None) return text::unknownEepromAction(action);
        o->commandName = first + QLatin1Char(' ') + action;
    } else {
        for (const CommandName &c : kCommands)
            if (!c.second && first == QLatin1String(c.first)) o->command = c.command;
        if (o->command == Command::None) return text::unknownCommand(first);
        o->commandName = first;
    }

    for (const QString &opt : commandOptions)
        if (!takes(o->command, opt)) return text::optionNotForCommand(opt, o->commandName);
    const int wanted = argumentCount(o->command);
    if (positional.size() < wanted) return text::missingArgument(o->commandName);
    if (positional.size() > wanted) return text::extraArgument(positional.at(wanted));
    o->arguments = positional;
    if (o->command == Command::Read && !o->outputGiven) return text::outputRequired();
    if (o->json && o->outputGiven && o->output == QLatin1String("-")) return text::jsonAndStandardOutput();
    return QString();
}

std::optional<int> parseConfigWord(const QString &text)
{
    const QString t = text.trimmed();
    bool ok = false;
    int v = -1;
    static const QRegularExpression hexPrefixed(QStringLiteral("^0[xX]([0-9A-Fa-f]+)$"));
    static const QRegularExpression hexSuffixed(QStringLiteral("^([0-9A-Fa-f]+)[hH]$"));
    static const QRegularExpression decimal(QStringLiteral("^[0-9]+$"));
    if (const auto m = hexPrefixed.match(t); m.hasMatch()) v = m.captured(1).toInt(&ok, 16);
    else if (const auto m2 = hexSuffixed.match(t); m2.hasMatch()) v = m2.captured(1).toInt(&ok, 16);
    else if (decimal.match(t).hasMatch()) v = t.toInt(&ok, 10);
    if (!ok || v < 0 || v > 0x3FFF) return std::nullopt;
    return v;
}

std::optional<int> parseEepromAddress(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^(?:0[xX])?([0-9A-Fa-f]{1,2})[hH]?$"));
    const auto m = form.match(text.trimmed());
    if (!m.hasMatch()) return std::nullopt;
    const int v = m.captured(1).toInt(nullptr, 16);
    if (v < 0 || v >= 64) return std::nullopt;
    return v;
}

}  // namespace cli
