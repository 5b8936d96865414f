// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/pathlabel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

void PathLabel::paintEvent(QPaintEvent *event)
{
    const QRect area = contentsRect().adjusted(margin() + 2, margin(), -margin() - 2, -margin());
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width());
    if (shown == text()) {
        QLabel::paintEvent(event);
        return;
    }
    // The frame as QLabel draws it, then the shortened path in its place.
    QFrame::paintEvent(event);
    QPainter p(this);
    style()->drawItemText(&p, area, int(alignment()), palette(), isEnabled(), shown, foregroundRole());
}

bool PathLabel::event(QEvent *e)
{
    if (e->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(e);
        if (text().isEmpty()) QToolTip::hideText();
        else QToolTip::showText(help->globalPos(), text(), this);
        return true;
    }
    return QLabel::event(e);
}
