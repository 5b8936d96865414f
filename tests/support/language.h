// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A test that runs the windows in English: the suites speak Japanese, and so does the rest of
// the suite once the test is over.

#include "core/i18n.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QString>
#include <QStringList>
#include <QWidget>

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

// The captions a window of fixed size cuts: one-line labels, buttons and group box titles whose
// text is wider than their control (a language that runs longer than the design's).
inline QStringList cutCaptions(const QWidget *window)
{
    QStringList cut;
    auto wide = [](const QWidget *w, QString text) { return w->fontMetrics().horizontalAdvance(text.remove(QLatin1Char('&'))); };
    for (const QLabel *l : window->findChildren<QLabel *>())
        if (!l->wordWrap() && !l->text().contains(QLatin1Char('\n')) && wide(l, l->text()) > l->contentsRect().width()) cut << l->text();
    // A button needs a little room beside its caption, a radio button its indicator too.
    for (const QAbstractButton *b : window->findChildren<QAbstractButton *>())
        if (std::max(wide(b, b->text()) + 8, b->sizeHint().width() * int(b->inherits("QRadioButton"))) > b->width()) cut << b->text();
    // A group box's title stands over its frame from the left edge.
    for (const QGroupBox *g : window->findChildren<QGroupBox *>())
        if (wide(g, g->title()) + 2 > g->width()) cut << g->title();
    return cut;
}
