#include "cli/options.h"

#include "cli/commands.h"
#include "cli/clitext.h"

#include "core/messages.h"

#include <QRegularExpression>

namespace cli {

namespace {

// The row a command's words name; "eeprom" takes one more word.
const Command *find(const QString &words)
{
    for (const Command &c : commands())
        if (c.words == words) return &c;
    return nullptr;
}

QString eepromActions()
{
    QStringList actions;
    for (const Command &c : commands())
        if (c.words.startsWith(QLatin1String("eeprom "))) actions << c.words.mid(7);
    return actions.join(QStringLiteral("、"));
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
        if (positional.isEmpty()) return text::noEepromAction(eepromActions());
        const QString action = positional.takeFirst();
        o->command = find(first + QLatin1Char(' ') + action);
        if (!o->command) return text::unknownEepromAction(action, eepromActions());
    } else {
        o->command = find(first);
        if (!o->command) return text::unknownCommand(first);
    }
    o->commandName = o->command->words;

    for (const QString &opt : commandOptions)
        if (!o->command->options.contains(opt)) return text::optionNotForCommand(opt, o->commandName);
    const int wanted = o->command->arguments;
    if (positional.size() < wanted) return o->command->missingArguments;
    if (positional.size() > wanted) return text::extraArgument(positional.at(wanted));
    o->arguments = positional;
    if (o->command->outputRequired && !o->outputGiven) return text::outputRequired();
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
