// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A test that runs the windows in English (LanguageScope), and whether they hold their captions.

#include "support/translation.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QString>
#include <QStringList>
#include <QWidget>

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
