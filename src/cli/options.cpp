// SPDX-License-Identifier: GPL-3.0-or-later
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
    return actions.join(text::listSeparator());
}

// Every option: its names, whether it takes a value, whether every command takes it (else only
// the commands whose row names it by its first name), and what it sets; apply returns the
// usage error, or an empty text.
struct Option {
    QStringList names;
    bool takesValue = false;
    bool global = false;
    QString (*apply)(Options &o, const QString &name, const QString &value) = nullptr;
};

template <bool Options::*flag>
QString setFlag(Options &o, const QString &, const QString &)
{
    o.*flag = true;
    return QString();
}

QString setProduction(Options &o, const QString &name, const QString &v) { return applyProductionOption(o.prod, name, v); }

const QVector<Option> &options()
{
    // Option names are parsed: untranslated in every language.
    static const QVector<Option> table = {
        {{QStringLiteral("-h"), QStringLiteral("--help")}, false, true, setFlag<&Options::help>},
        {{QStringLiteral("--version")}, false, true, setFlag<&Options::version>},
        {{QStringLiteral("--json")}, false, true, setFlag<&Options::json>},
        {{QStringLiteral("-q"), QStringLiteral("--quiet")}, false, true, setFlag<&Options::quiet>},
        {{QStringLiteral("-p"), QStringLiteral("--port")}, true, true,
         [](Options &o, const QString &name, const QString &v) {
             o.prod.ports << v.split(QLatin1Char(','), Qt::SkipEmptyParts);
             if (o.prod.ports.isEmpty()) return text::missingValue(name);
             o.port = o.prod.ports.first();
             return QString();
         }},
        {{QStringLiteral("--progress")}, true, true,
         [](Options &o, const QString &, const QString &v) {
             static const char *const kModes[] = {"auto", "bar", "lines", "none"};
             static const ProgressMode kMode[] = {ProgressMode::Auto, ProgressMode::Bar, ProgressMode::Lines, ProgressMode::None};
             for (int m = 0; m < 4; ++m)
                 if (v == QLatin1String(kModes[m])) {
                     o.progress = kMode[m];
                     return QString();
                 }
             return text::badProgressMode(v);
         }},
        {{QStringLiteral("-o"), QStringLiteral("--output")}, true, false,
         [](Options &o, const QString &name, const QString &v) {
             o.output = v;
             o.outputGiven = true;
             return v.isEmpty() ? text::missingValue(name) : QString();
         }},
        {{QStringLiteral("--config")}, true, false,
         [](Options &o, const QString &, const QString &v) {
             o.configWord = parseConfigWord(v);
             return o.configWord ? QString() : text::badConfigWord(v);
         }},
        {{QStringLiteral("--no-verify")}, false, false, setFlag<&Options::noVerify>},
        {{QStringLiteral("--eeprom")}, false, false, setFlag<&Options::eeprom>},
        {{QStringLiteral("--force")}, false, false, setFlag<&Options::force>},
        {{QStringLiteral("--serial")}, true, false, setProduction},
        {{QStringLiteral("--serial-le")}, false, false, setProduction},
        {{QStringLiteral("--serial-counter")}, true, false, setProduction},
        {{QStringLiteral("--serial-list")}, true, false, setProduction},
        {{QStringLiteral("--serial-start")}, true, false, setProduction},
        {{QStringLiteral("--serial-step")}, true, false, setProduction},
        {{QStringLiteral("--log")}, true, false, setProduction},
        {{QStringLiteral("--unit-events")}, false, true, setProduction},  // a run over several ports asks its children
        {{QStringLiteral("--deep")}, false, false, setFlag<&Options::deep>},
        {{QStringLiteral("--udev-rule")}, false, false, setFlag<&Options::udevRule>},
        {{QStringLiteral("--all")}, false, false, setFlag<&Options::all>},
        {{QStringLiteral("--listing")}, false, false, setFlag<&Options::listing>},
    };
    return table;
}

const Option *findOption(const QString &name)
{
    for (const Option &option : options())
        if (option.names.contains(name)) return &option;
    return nullptr;
}

}  // namespace

QString parseArguments(const QStringList &words, Options *o)
{
    *o = Options();
    QStringList positional;
    QStringList commandOptions;  // by their first names, checked once the command is known
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
        } else if (const Option *shortOne = findOption(w.left(2));
                   !w.startsWith(QLatin1String("--")) && w.size() > 2 && shortOne && shortOne->takesValue) {
            name = w.left(2);
            inlineValue = w.mid(2);
        }
        const Option *option = findOption(name);
        if (!option) return text::unknownOption(w);
        QString value;
        if (option->takesValue) {
            if (inlineValue) value = *inlineValue;
            else if (i + 1 < words.size()) value = words[++i];
            else return text::missingValue(name);
        } else if (inlineValue) {
            return text::unexpectedValue(name);
        }
        if (const QString error = option->apply(*o, name, value); !error.isEmpty()) return error;
        if (!option->global) commandOptions << option->names.first();
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
    if (positional.size() < wanted) return missingArgumentsText(*o->command);
    if (positional.size() > wanted) return text::extraArgument(positional.at(wanted));
    o->arguments = positional;
    if (o->command->outputRequired && !o->outputGiven) return text::outputRequired();
    if (o->json && o->outputGiven && o->output == QLatin1String("-")) return text::jsonAndStandardOutput();
    return checkProductionOptions(o->prod, o->commandName, o->json);
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
