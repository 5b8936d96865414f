// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/i18n.h"

#include "core/trace.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>
#include <vector>

namespace i18n {

namespace {

Language g_current = Language::Japanese;
std::vector<std::unique_ptr<QTranslator>> g_installed;

// "ja", "ja-JP", "ja_JP" but not "jam": a language code, not a prefix of another one.
bool isLanguage(const QString &entry, QLatin1String code)
{
    return entry.startsWith(code) && (entry.size() == code.size() || entry.at(code.size()) == QLatin1Char('-') ||
                                      entry.at(code.size()) == QLatin1Char('_'));
}

bool load(const QString &name, const QString &folder)
{
    auto t = std::make_unique<QTranslator>();
    if (!t->load(name, folder)) {
        trace::note(QStringLiteral("no %1 in %2").arg(name, folder));
        return false;
    }
    QCoreApplication::installTranslator(t.get());
    g_installed.push_back(std::move(t));
    return true;
}

}  // namespace

Language choose(const QStringList &uiLanguages)
{
    for (const QString &entry : uiLanguages) {
        if (entry == QLatin1String("C") || isLanguage(entry, QLatin1String("ja"))) return Language::Japanese;
        if (isLanguage(entry, QLatin1String("en"))) return Language::English;
    }
    return Language::English;
}

bool install(Language language)
{
    for (const auto &t : g_installed) QCoreApplication::removeTranslator(t.get());
    g_installed.clear();
    g_current = language;
    if (language == Language::Japanese)
        return load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    bool all = true;
    const QString folder = QStringLiteral(":/i18n");
    const QStringList catalogues = QDir(folder).entryList({QStringLiteral("*_en.qm")}, QDir::Files, QDir::Name);
    if (catalogues.isEmpty()) all = false;
    for (const QString &name : catalogues) all = load(name, folder) && all;
    return all;
}

bool install() { return install(choose(QLocale::system().uiLanguages())); }

Language current() { return g_current; }

}  // namespace i18n
