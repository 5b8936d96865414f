// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A test that runs the windows in English: the suites speak Japanese, and so does the rest of
// the suite once the test is over.

#include "core/i18n.h"

#include <QString>

class LanguageScope {
public:
    explicit LanguageScope(i18n::Language language) : before_(i18n::current()), installed_(i18n::install(language)) {}
    ~LanguageScope() { i18n::install(before_); }
    LanguageScope(const LanguageScope &) = delete;
    LanguageScope &operator=(const LanguageScope &) = delete;
    // False when a catalogue could not be loaded.
    bool installed() const { return installed_; }

private:
    i18n::Language before_;
    bool installed_;
};

// A kana, kanji or full-width character: an English text has none.
inline bool hasJapanese(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x3040 && u <= 0x30FF) || (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF)) return true;
    }
    return false;
}
