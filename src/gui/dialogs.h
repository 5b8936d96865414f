// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one place where the window program shows message boxes, file dialogs and modal windows,
// and ends itself. Tests replace each of these with their own handler.

#include "core/messages.h"

#include <QMessageBox>
#include <QString>
#include <functional>
#include <optional>

class ProgrammerLink;
class QDialog;
class QUrl;

namespace gui {

// The one link every window uses; owned by the main window.
void setLink(ProgrammerLink *link);
ProgrammerLink *Link();

using Icon = messages::Icon;

struct Message {
    QString text;
    QString title;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    Icon icon = Icon::None;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QString detail;  // shown as the box's informative text; the text itself stays exact
    QString extraButton;  // one more button, beside the others; its click answers Help
};
using MessageHandler = std::function<QMessageBox::StandardButton(const Message &)>;

QMessageBox::StandardButton MsgBox(const Message &m);
// The box MsgBox shows for m, not yet shown (for pictures of it, too).
void SetUpMessageBox(QMessageBox &box, const Message &m);
// A message of the catalogue; the answer in its terms.
messages::Button Show(const messages::Message &m);
void setMessageHandler(MessageHandler handler);
// A message of the catalogue with one more button (never the default): true when it was clicked.
bool ShowOffering(const messages::Message &m, const QString &extraButton);

struct FileRequest {
    bool save = false;
    QString filter;       // "description|pattern|description|pattern"
    QString presetName;   // preset file name (open) or proposed name (save)
    QString defaultSuffix;
    bool confirmOverwrite = false;
};
using FileHandler = std::function<std::optional<QString>(const FileRequest &)>;
// The chosen path, or nullopt when the user cancelled.
std::optional<QString> FileDialog(const FileRequest &r);
void setFileHandler(FileHandler handler);
// The filter of a saved text listing (the verify's differences, the program memory list).
QString textFileFilter();

// Shows a dialog modally (exec), or hands it to the test's handler.
using ModalHandler = std::function<void(QDialog *)>;
void ShowModal(QDialog *dialog);
void setModalHandler(ModalHandler handler);

// Opens a file or page with the desktop's handler, or hands it to the test's handler.
using UrlHandler = std::function<bool(const QUrl &)>;
bool OpenUrl(const QUrl &url);
void setUrlHandler(UrlHandler handler);

// Ends the program at once. Tests replace it and then see ProgramEnded() true.
using EndHandler = std::function<void()>;
void EndProgram();
bool ProgramEnded();
void setEndHandler(EndHandler handler);
void resetProgramEnded();

}  // namespace gui
