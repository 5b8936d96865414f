// SPDX-License-Identifier: GPL-3.0-or-later
// disasm: the program memory and ID words of a HEX file (or standard input) as gpdasm lists
// them, erased runs folded; and the instructions verify --listing puts beside each mismatch.

#include "cli/clitext.h"
#include "cli/commandsupport.h"
#include "cli/run.h"

#include "core/formats/disasm.h"
#include "core/formats/programlisting.h"

#include <QFile>
#include <QTemporaryFile>

#include <cstdio>

namespace cli {

namespace {

QJsonObject wordEvent(const char *space, int address, int word, const QString &instruction)
{
    return {{QStringLiteral("event"), QStringLiteral("word")}, {QStringLiteral("space"), QLatin1String(space)},
            {QStringLiteral("address"), address},        {QStringLiteral("word"), word},
            {QStringLiteral("text"), instruction}};
}

// Standard input into a file of our own, so the file's reader (the write's) takes it as it is.
bool copyStandardInput(QTemporaryFile &temp, QString *why)
{
    QFile in;
    if (!temp.open() || !in.open(stdin, QIODevice::ReadOnly)) {
        *why = temp.errorString();
        return false;
    }
    while (true) {
        const QByteArray chunk = in.read(1 << 16);
        if (chunk.isEmpty()) break;
        if (temp.write(chunk) != chunk.size()) {
            *why = temp.errorString();
            return false;
        }
    }
    temp.close();
    return true;
}

}  // namespace

int runDisasm(Run &run)
{
    const QString given = run.options.arguments.at(0);
    const bool fromStdin = given == QLatin1String("-");
    const QString shown = fromStdin ? text::standardInput() : given;
    QTemporaryFile temp;
    QString path = given;
    if (fromStdin) {
        QString why;
        if (!copyStandardInput(temp, &why)) {
            const QString t = text::inputUnreadable(text::standardInput()) + QStringLiteral(" (") + why + QLatin1Char(')');
            run.out.error(t);
            run.error = t;
            return exitcode::NoInput;
        }
        path = temp.fileName();
    } else if (const int status = checkInputFile(run, given)) {
        return status;
    }
    const memoryimage::Image img = memoryimage::read(path);
    if (!img.opened) {
        const QString t = text::inputUnreadable(shown);
        run.out.error(t);
        run.error = t;
        return exitcode::NoInput;
    }
    // What the reader says is told; the listing shows what the write would take all the same.
    for (const memoryimage::Issue &i : img.issues) {
        // A listing writes nothing: that the writer cannot write ID words is beside the point.
        if (i.problem == memoryimage::Problem::IdNotWritten) continue;
        const QString t = text::fileLine(shown, i.line, memoryimage::problemText(i));
        if (memoryimage::severityOf(i.problem) == memoryimage::Severity::Error) {
            run.out.error(t);
            if (run.error.isEmpty()) run.error = t;
        } else {
            run.out.warning(t);
        }
    }

    int words = 0;
    int folded = 0;
    for (int a = 0; a < listing::kProgramWords;) {
        const int w = img.program[size_t(a)];
        if (w < 0) {
            ++a;
            continue;
        }
        int end = a;
        while (end < listing::kProgramWords && img.program[size_t(end)] == listing::kErased) ++end;
        if (!run.options.all && end - a >= listing::kFoldRun) {
            run.out.result(text::disasmUnused(a, end - 1));
            run.out.event({{QStringLiteral("event"), QStringLiteral("unused")}, {QStringLiteral("space"), QStringLiteral("program")},
                           {QStringLiteral("address"), a}, {QStringLiteral("last"), end - 1},
                           {QStringLiteral("word"), listing::kErased}, {QStringLiteral("count"), end - a}});
            words += end - a;
            folded += end - a;
            a = end;
            continue;
        }
        run.out.result(disasm::line(a, w));
        run.out.event(wordEvent("program", a, w, disasm::instruction(w)));
        ++words;
        ++a;
    }
    for (int i = 0; i < listing::kIdWords; ++i) {
        const int w = img.id[size_t(i)];
        if (w < 0) continue;
        run.out.result(disasm::line(listing::kIdAddress + i, w));
        run.out.event(wordEvent("id", listing::kIdAddress + i, w, disasm::textAt(listing::kIdAddress + i, w)));
    }
    if (words == 0) run.out.warning(text::disasmNoProgramWords(shown));
    run.result.insert(QStringLiteral("words"), words);
    run.result.insert(QStringLiteral("folded"), folded);
    return img.hasErrors(true) ? exitcode::BadInput : exitcode::Ok;
}

QString mismatchInstructions(const verify::Mismatch &m)
{
    if (m.space == verify::Space::Eeprom) return QString();
    if (m.space == verify::Space::Program)
        return text::disasmBeside(disasm::instruction(m.expected), disasm::instruction(m.actual));
    listing::Row config;
    config.kind = listing::Row::Config;
    return text::disasmConfigBeside(listing::describe(config, m.expected), listing::describe(config, m.actual));
}

}  // namespace cli
