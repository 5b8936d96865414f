#include "gui/dialogs.h"

#include "core/link/programmerlink.h"
#include "core/trace.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QUrl>
#include <QFileDialog>

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
        QMessageBox box(QApplication::activeWindow());
        SetUpMessageBox(box, m);
        answer = QMessageBox::StandardButton(box.exec());
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
    if (m.defaultButton != QMessageBox::NoButton) box.setDefaultButton(m.defaultButton);
    switch (m.icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    }
}

messages::Button Show(const messages::Message &c)
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
    return fromQt(MsgBox(m));
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
