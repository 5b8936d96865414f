// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/dialogs.h"

#include "core/link/programmerlink.h"
#include "core/trace.h"
#include "gui/windows.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QUrl>
#include <QFileDialog>
#include <QGridLayout>
#include <QScreen>
#include <QStyle>
#include <QSpacerItem>

#include <algorithm>

#include <cstdio>
#include <cstdlib>

namespace gui {

namespace {
ProgrammerLink *g_link = nullptr;
MessageHandler g_messageHandler;
FileHandler g_fileHandler;
ModalHandler g_modalHandler;
UrlHandler g_urlHandler;
EndHandler g_endHandler;
bool g_ended = false;

QString buttonName(QMessageBox::StandardButton b)
{
    switch (b) {
    case QMessageBox::Ok: return QStringLiteral("OK");
    case QMessageBox::Yes: return QStringLiteral("Yes");
    case QMessageBox::No: return QStringLiteral("No");
    case QMessageBox::Cancel: return QStringLiteral("Cancel");
    case QMessageBox::Help: return QStringLiteral("extra");
    default: return QString::number(int(b));
    }
}

QMessageBox::StandardButton toQt(messages::Button b)
{
    switch (b) {
    case messages::Ok: return QMessageBox::Ok;
    case messages::Yes: return QMessageBox::Yes;
    case messages::No: return QMessageBox::No;
    case messages::Cancel: return QMessageBox::Cancel;
    case messages::NoButton: break;
    }
    return QMessageBox::NoButton;
}

// QMessageBox takes its width from the first line of its text and wraps the detail into it: a
// path in the detail then ran over five lines, and a title longer than the box was cut. The box
// is given the width of its longest line and of its title, as far as the screen allows. Only a
// minimum: buttons added later (the port errors' diagnosis) widen it further.
void widen(QMessageBox &box, const Message &m)
{
    const QFontMetrics fm(box.font());
    int widest = 0;
    for (const QString &line : QString(m.text + QLatin1Char('\n') + m.detail).split(QLatin1Char('\n')))
        widest = std::max(widest, fm.horizontalAdvance(line.trimmed()));
    // Beside the text: the icon, the layout's spacing and margins, and a character to spare.
    widest += box.iconPixmap().width() + 3 * box.style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing) + 3 * fm.averageCharWidth() + 24;
    // The title bar is the window manager's: its font is often larger and bold, and its
    // buttons take room of their own.
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int title = QFontMetrics(titleFont).horizontalAdvance(m.title) * 6 / 5 + 120;
    // QMessageBox's own ceiling, less its margins: a wider minimum would be cut, not shown.
    const int screen = box.screen() ? box.screen()->availableGeometry().width() : 1024;
    const int ceiling = (screen <= 1024 ? screen : std::min(screen - 480, 1000)) - 40;
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    if (!grid) return;
    grid->addItem(new QSpacerItem(std::min(std::max(widest, title), ceiling), 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

messages::Button fromQt(QMessageBox::StandardButton b)
{
    switch (b) {
    case QMessageBox::Ok: return messages::Ok;
    case QMessageBox::Yes: return messages::Yes;
    case QMessageBox::No: return messages::No;
    case QMessageBox::Cancel: return messages::Cancel;
    default: return messages::NoButton;
    }
}
}  // namespace

void setLink(ProgrammerLink *link) { g_link = link; }
ProgrammerLink *Link() { return g_link; }

QMessageBox::StandardButton MsgBox(const Message &m)
{
    QMessageBox::StandardButton answer;
    if (g_messageHandler) {
        answer = g_messageHandler(m);
    } else {
        // Over the window in use; at start-up, before any is active, over the main window
        // once that is shown (else in the middle of the screen).
        QWidget *over = QApplication::activeWindow();
        if (!over && MainWindow() && MainWindow()->isVisible()) over = MainWindow();
        QMessageBox box(over);
        SetUpMessageBox(box, m);
        answer = QMessageBox::StandardButton(box.exec());
        if (box.clickedButton() && box.buttonRole(box.clickedButton()) == QMessageBox::ActionRole) answer = QMessageBox::Help;
    }
    trace::message(m.title, m.text, buttonName(answer));
    return answer;
}

void SetUpMessageBox(QMessageBox &box, const Message &m)
{
    box.setWindowTitle(m.title);
    box.setText(m.text);
    if (!m.detail.isEmpty()) box.setInformativeText(m.detail);
    box.setStandardButtons(m.buttons);
    if (!m.extraButton.isEmpty()) box.addButton(m.extraButton, QMessageBox::ActionRole);
    if (m.defaultButton != QMessageBox::NoButton) box.setDefaultButton(m.defaultButton);
    else if (!m.extraButton.isEmpty() && (m.buttons & QMessageBox::Ok)) box.setDefaultButton(QMessageBox::Ok);
    switch (m.icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    }
    widen(box, m);
}

namespace {
Message fromCatalogue(const messages::Message &c)
{
    Message m;
    m.text = c.text;
    m.title = c.title;
    m.icon = c.icon;
    m.detail = c.detail;
    QMessageBox::StandardButtons buttons;
    for (messages::Button b : {messages::Ok, messages::Yes, messages::No, messages::Cancel})
        if (c.buttons & b) buttons |= toQt(b);
    m.buttons = buttons;
    m.defaultButton = toQt(c.defaultButton);
    return m;
}
}  // namespace

messages::Button Show(const messages::Message &c) { return fromQt(MsgBox(fromCatalogue(c))); }

bool ShowOffering(const messages::Message &c, const QString &extraButton)
{
    Message m = fromCatalogue(c);
    m.extraButton = extraButton;
    return MsgBox(m) == QMessageBox::Help;
}

void setMessageHandler(MessageHandler handler) { g_messageHandler = std::move(handler); }

std::optional<QString> FileDialog(const FileRequest &r)
{
    std::optional<QString> result;
    if (g_fileHandler) {
        result = g_fileHandler(r);
    } else {
        const QStringList parts = r.filter.split(QLatin1Char('|'));
        QStringList filters;
        for (int i = 0; i + 1 < parts.size(); i += 2) filters << parts[i];
        QFileDialog dlg(QApplication::activeWindow());
        dlg.setAcceptMode(r.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dlg.setFileMode(r.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        dlg.setNameFilters(filters);
        if (!r.defaultSuffix.isEmpty()) dlg.setDefaultSuffix(r.defaultSuffix);
        if (!r.confirmOverwrite) dlg.setOption(QFileDialog::DontConfirmOverwrite);
        if (!r.presetName.isEmpty()) dlg.selectFile(r.presetName);
        if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty()) result = dlg.selectedFiles().first();
    }
    trace::note(QStringLiteral("file dialog (%1) -> %2").arg(r.save ? QStringLiteral("save") : QStringLiteral("open"),
                                                              result ? *result : QStringLiteral("cancel")));
    return result;
}

void setFileHandler(FileHandler handler) { g_fileHandler = std::move(handler); }

QString textFileFilter()
{
    return QCoreApplication::translate("gui", "テキストファイル(*.txt)|*.txt|すべてのファイル(*.*)|*.*");
}

void ShowModal(QDialog *dialog)
{
    if (g_modalHandler) {
        g_modalHandler(dialog);
        return;
    }
    dialog->exec();
}

void setModalHandler(ModalHandler handler) { g_modalHandler = std::move(handler); }

bool OpenUrl(const QUrl &url)
{
    const bool opened = g_urlHandler ? g_urlHandler(url) : QDesktopServices::openUrl(url);
    trace::note(QStringLiteral("open %1 -> %2").arg(url.toString(), opened ? QStringLiteral("done") : QStringLiteral("failed")));
    return opened;
}

void setUrlHandler(UrlHandler handler) { g_urlHandler = std::move(handler); }

void EndProgram()
{
    g_ended = true;
    trace::note(QStringLiteral("end of program"));
    if (g_endHandler) {
        g_endHandler();
        return;
    }
    if (g_link) g_link->close();
    fflush(nullptr);
    std::_Exit(0);
}

bool ProgramEnded() { return g_ended; }
void setEndHandler(EndHandler handler) { g_endHandler = std::move(handler); }
void resetProgramEnded() { g_ended = false; }

}  // namespace gui
