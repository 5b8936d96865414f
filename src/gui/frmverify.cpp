// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmverify.h"

#include "core/formats/hexexport.h"
#include "core/messages.h"
#include "gui/dialogs.h"
#include "gui/frmprogrammemory.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <QHBoxLayout>

namespace {

// Half-width characters of one width and Japanese ones of exactly two: the list's Japanese
// labels and hexadecimal columns then line up.
bool evenPitch(const QFont &font)
{
    const QFontMetricsF fm(font);
    const qreal one = fm.horizontalAdvance(QLatin1Char('0'));
    auto near = [one](qreal w, int places) { return qAbs(w - places * one) < 0.05 * one; };
    return one > 0 && near(fm.horizontalAdvance(QLatin1Char('i')), 1) && near(fm.horizontalAdvance(QLatin1Char('W')), 1)
           && near(fm.horizontalAdvance(QStringLiteral("プ")), 2);  // untranslated: a measuring glyph
}

// The system's fixed-pitch font takes its Japanese from a fallback of another width on many
// systems; then a Japanese font of even pitch (MS ゴシック, IPAゴシック) is taken.
QFont listFont()
{
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (evenPitch(fixed)) return fixed;
    for (const QString &family : QFontDatabase::families(QFontDatabase::Japanese)) {
        QFont f(family);
        if (fixed.pointSizeF() > 0) f.setPointSizeF(fixed.pointSizeF());
        else f.setPixelSize(fixed.pixelSize());
        if (evenPitch(f)) return f;
    }
    return fixed;
}

}  // namespace

frmVerify::frmVerify(const verify::Report &report, const QString &hexFile, QWidget *parent)
    : QDialog(parent), hexFile_(hexFile), summary_(verify::summaryText(report, messages::kEraseCommandInWindow)),
      mismatches_(report.mismatches)
{
    setWindowTitle(QStringLiteral("VELTRA2   Verify"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(460, 360);

    Summary = new QLabel(messages::verifyListHeading(hexFile, int(report.mismatches.size())) + QStringLiteral("\n") + summary_, this);
    Summary->setObjectName(QStringLiteral("Summary"));
    Summary->setWordWrap(true);
    Summary->setTextFormat(Qt::PlainText);
    Summary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    List = new QPlainTextEdit(this);
    List->setObjectName(QStringLiteral("List"));
    List->setReadOnly(true);
    List->setLineWrapMode(QPlainTextEdit::NoWrap);
    List->setFont(listFont());
    QStringList lines;
    lines.reserve(report.mismatches.size());
    for (const verify::Mismatch &m : report.mismatches) lines << verify::mismatchText(m);
    List->setPlainText(lines.join(QLatin1Char('\n')));

    cmdSave = new QPushButton(tr("テキストで保存(&S)..."), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdMemory = new QPushButton(tr("プログラムメモリ(&M)..."), this);
    cmdMemory->setObjectName(QStringLiteral("cmdMemory"));
    List->viewport()->installEventFilter(this);
    cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdMemory);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Summary);
    layout->addWidget(List, 1);
    layout->addLayout(buttons);

    connect(cmdSave, &QPushButton::clicked, this, &frmVerify::cmdSave_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdMemory, &QPushButton::clicked, this, &frmVerify::cmdMemory_Click);
}

QString frmVerify::reportText() const
{
    return Summary->text() + QStringLiteral("\n\n") + List->toPlainText() + QStringLiteral("\n");
}

void frmVerify::cmdSave_Click()
{
    gui::FileRequest r;
    r.save = true;
    r.filter = gui::textFileFilter();
    r.defaultSuffix = QStringLiteral("txt");
    r.confirmOverwrite = true;
    r.presetName = hexFile_.endsWith(QStringLiteral(".hex"), Qt::CaseInsensitive) ? hexFile_.chopped(4) + QStringLiteral("-verify.txt")
                                                                                   : hexFile_ + QStringLiteral("-verify.txt");
    const auto chosen = gui::FileDialog(r);
    if (!chosen) return;
    QString why;
    if (!hexexport::saveAtomically(*chosen, reportText().toUtf8(), &why))
        gui::Show(messages::readFileError(messages::saveFailed(*chosen, why)));
}

// The line the cursor is on (the one clicked) gives the address; an EEPROM line has none there.
void frmVerify::cmdMemory_Click()
{
    const int line = List->textCursor().blockNumber();
    const bool program = line >= 0 && line < mismatches_.size() && mismatches_[line].space != verify::Space::Eeprom;
    ShowProgramMemoryAt(this, hexFile_, program ? mismatches_[line].address : -1);
}

bool frmVerify::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == List->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        List->setTextCursor(List->cursorForPosition(static_cast<QMouseEvent *>(event)->position().toPoint()));
        cmdMemory_Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
