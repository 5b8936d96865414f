// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The language the program speaks. Japanese is its own: the texts in the code are Japanese and
// English comes from the catalogues built into the program (:/i18n/*_en.qm).

#include <QStringList>

namespace i18n {

enum class Language { Japanese, English };

// The first of the user's languages we can speak decides: "C" (C, C.UTF-8, POSIX) or ja →
// Japanese, en → English; others are skipped; none left → English.
Language choose(const QStringList &uiLanguages);

// Installs the catalogues of `language` into the running application, replacing any installed
// before: the program's English ones, or Qt's own Japanese (qtbase_ja) for the standard buttons
// and dialogs. False when one of them could not be loaded (the texts then stay as they are).
bool install(Language language);

// The same for the language the system's settings choose (LANGUAGE, LC_ALL, LC_MESSAGES, LANG).
bool install();

// What install() last chose; Japanese before any.
Language current();

}  // namespace i18n
