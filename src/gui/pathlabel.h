// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A label for a file path: text() is the whole path; a path longer than the label is drawn
// with its middle elided, so the file name stays in sight, and the whole path is the tooltip.

#include <QLabel>

class PathLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *e) override;
};
