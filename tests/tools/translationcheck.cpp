// SPDX-License-Identifier: GPL-3.0-or-later
// Checks one English catalogue against the code it was taken from:
//   veltraw-translation-check CATALOGUE.ts SOURCE_DIR...
// A problem is an entry without a finished translation, an entry whose Japanese text is no longer
// in the code (the text changed and its translation was not revisited), a translation whose
// placeholders (%1, %2, ...) differ from its source's, and a Japanese string literal in the code
// that the catalogue does not have (not marked for translation), unless its line says
// "// untranslated: <why>". Exits 1 when there is any.

#include "support/translation.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <cstdio>
#include <utility>

namespace {

int g_problems = 0;

void problem(const QString &text)
{
    ++g_problems;
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

QString oneLine(QString s) { return s.replace(QLatin1Char('\r'), QLatin1String("\\r")).replace(QLatin1Char('\n'), QLatin1String("\\n")); }

QStringList placeholders(const QString &s)
{
    static const QRegularExpression re(QStringLiteral("%L?(\\d+)"));
    QStringList found;
    for (auto it = re.globalMatch(s); it.hasNext();) found << it.next().captured(1);
    found.sort();
    found.removeDuplicates();
    return found;
}

// A translation starts and ends a line where its source does and uses the source's line end
// ("\r\n" in a message box, "\n" elsewhere); it may break its lines elsewhere than the Japanese.
bool sameLineEnds(const QString &source, const QString &text)
{
    auto edges = [](const QString &s) {
        return std::make_pair(s.startsWith(QLatin1Char('\n')) || s.startsWith(QLatin1Char('\r')), s.endsWith(QLatin1Char('\n')));
    };
    auto kinds = [](const QString &s) {
        const int crlf = s.count(QLatin1String("\r\n"));
        return std::make_pair(crlf > 0, s.count(QLatin1Char('\n')) > crlf);
    };
    return edges(source) == edges(text) && (!source.contains(QLatin1Char('\n')) || kinds(source) == kinds(text));
}

// The catalogue's source texts; reports its unfinished, vanished and mismatched entries.
QSet<QString> checkCatalogue(const QString &path)
{
    QSet<QString> sources;
    QList<CatalogueEntry> entries;
    QString error;
    if (!readCatalogue(path, &entries, &error)) problem(error);
    for (const CatalogueEntry &e : entries) {
        sources.insert(e.source);
        const QString where = QStringLiteral("%1: %2: \"%3\"").arg(path, e.context, oneLine(e.source));
        if (e.type == QLatin1String("vanished") || e.type == QLatin1String("obsolete"))
            problem(where + QStringLiteral(": no longer in the code (changed or removed): revisit its translation"));
        else if (e.type == QLatin1String("unfinished") || e.translation.isEmpty())
            problem(where + QStringLiteral(": no finished translation"));
        else if (placeholders(e.translation) != placeholders(e.source))
            problem(where + QStringLiteral(": placeholders differ in \"%1\"").arg(oneLine(e.translation)));
        else if (hasJapanese(e.translation))
            problem(where + QStringLiteral(": Japanese left in \"%1\"").arg(oneLine(e.translation)));
        else if (!sameLineEnds(e.source, e.translation))
            problem(where + QStringLiteral(": its lines end differently in \"%1\"").arg(oneLine(e.translation)));
    }
    return sources;
}

struct Literal {
    QString text;
    int firstLine;
    int lastLine;
};

// The string literals of a C++ file, adjacent ones joined as the compiler (and lupdate) joins them.
QList<Literal> literals(const QString &code)
{
    QList<Literal> out;
    const int n = code.size();
    int line = 1;
    bool joinable = false;  // only white space and comments since the last literal
    auto skipComment = [&](int &i) {
        if (code.mid(i, 2) == QLatin1String("//")) {
            while (i < n && code[i] != QLatin1Char('\n')) ++i;
            return true;
        }
        if (code.mid(i, 2) == QLatin1String("/*")) {
            const int end = code.indexOf(QLatin1String("*/"), i + 2);
            const int stop = end < 0 ? n : end + 2;
            line += code.mid(i, stop - i).count(QLatin1Char('\n'));
            i = stop;
            return true;
        }
        return false;
    };
    for (int i = 0; i < n;) {
        const QChar c = code[i];
        if (c == QLatin1Char('\n')) {
            ++line;
            ++i;
            continue;
        }
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (skipComment(i)) continue;
        if (c == QLatin1Char('\'')) {
            for (++i; i < n && code[i] != QLatin1Char('\''); ++i)
                if (code[i] == QLatin1Char('\\')) ++i;
            ++i;
            joinable = false;
            continue;
        }
        if (c != QLatin1Char('"')) {
            // An identifier right before a quote may be a prefix (u8, L, R, u8R...).
            int j = i;
            while (j < n && (code[j].isLetterOrNumber() || code[j] == QLatin1Char('_'))) ++j;
            if (j < n && code[j] == QLatin1Char('"') && j > i) {
                const QString prefix = code.mid(i, j - i);
                if (prefix.endsWith(QLatin1Char('R')) && prefix.size() <= 3) {
                    const int open = code.indexOf(QLatin1Char('('), j);
                    const QString delimiter = QLatin1Char(')') + code.mid(j + 1, open - j - 1) + QLatin1Char('"');
                    const int close = code.indexOf(delimiter, open);
                    const QString text = code.mid(open + 1, close - open - 1);
                    const int first = line;
                    line += text.count(QLatin1Char('\n'));
                    if (joinable && !out.isEmpty()) out.last().text += text, out.last().lastLine = line;
                    else out.append({text, first, line});
                    i = close + delimiter.size();
                    joinable = true;
                    continue;
                }
                if (prefix == QLatin1String("u8") || prefix == QLatin1String("L") || prefix == QLatin1String("u") ||
                    prefix == QLatin1String("U")) {
                    i = j;
                    continue;
                }
            }
            i = j > i ? j : i + 1;
            joinable = false;
            continue;
        }
        QString text;
        for (++i; i < n && code[i] != QLatin1Char('"'); ++i) {
            if (code[i] != QLatin1Char('\\')) {
                text += code[i];
                continue;
            }
            const QChar e = code[++i];
            switch (e.unicode()) {
            case 'n': text += QLatin1Char('\n'); break;
            case 'r': text += QLatin1Char('\r'); break;
            case 't': text += QLatin1Char('\t'); break;
            case '0': text += QChar(0); break;
            case 'x': {
                int k = i + 1;
                while (k < n && QStringLiteral("0123456789abcdefABCDEF").contains(code[k])) ++k;
                text += QChar(code.mid(i + 1, k - i - 1).toUShort(nullptr, 16));
                i = k - 1;
                break;
            }
            case '\n': ++line; break;
            default: text += e;
            }
        }
        ++i;
        if (joinable && !out.isEmpty()) out.last().text += text, out.last().lastLine = line;
        else out.append({text, line, line});
        joinable = true;
    }
    return out;
}

void checkSources(const QString &dir, const QSet<QString> &catalogue)
{
    QDirIterator it(dir, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            problem(QStringLiteral("%1: cannot be read").arg(path));
            continue;
        }
        const QString code = QString::fromUtf8(f.readAll());
        const QStringList lines = code.split(QLatin1Char('\n'));
        for (const Literal &l : literals(code)) {
            if (!hasJapanese(l.text) || catalogue.contains(l.text)) continue;
            bool exempt = false;
            for (int k = l.firstLine; k <= l.lastLine && k <= lines.size(); ++k)
                exempt = exempt || lines[k - 1].contains(QLatin1String("// untranslated:"));
            if (!exempt)
                problem(QStringLiteral("%1:%2: \"%3\" is not in the catalogue (not marked for translation?)")
                            .arg(path)
                            .arg(l.firstLine)
                            .arg(oneLine(l.text)));
        }
    }
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: veltraw-translation-check CATALOGUE.ts SOURCE_DIR...\n");
        return 2;
    }
    const QSet<QString> catalogue = checkCatalogue(args[0]);
    for (const QString &dir : args.mid(1)) checkSources(dir, catalogue);
    if (g_problems) std::fprintf(stderr, "%d problem(s) in %s\n", g_problems, qPrintable(args[0]));
    return g_problems ? 1 : 0;
}
