#pragma once
// The state every window shares, the settings file, the cooperative wait, and the one place
// where message boxes, file dialogs and modal windows are shown (tests replace these).

#include <QMessageBox>
#include <QString>
#include <functional>
#include <optional>

class ProgrammerLink;
class QDialog;

struct AppSettingsData {
    QString IniFilePath;
    qint16 CommPortNumber = 0;
    qint16 ConfigWord = 26;
    qint16 ConfigConfirmed = 0;
    qint16 LinkCheckState = 0;
    qint16 StartupCheckPending = 1;
    qint16 InputWaitFlag = 0;
    qint16 EepromWritten = 0;
    qint16 LaunchMode = 0;
    QString LaunchArgument;
    qint16 ConfRegWindowLeft = 0;
    qint16 ConfRegWindowTop = 0;
    qint16 EepromViewActivated = 0;
    QString SelectedCellText;
    qint16 ReadAddress = 0;
};

extern AppSettingsData AppSettings;

namespace Module1 {

inline const QString kProgramTitle = QStringLiteral("VELTRA2オンボードライタ");
inline const QString kMainCaption = QStringLiteral("VELTRA2オンボードプログラムライタ");
inline const QString kErrorTitle = QStringLiteral("エラーが発生しました");

// Gives every AppSettings field its start-up value.
void ResetAppSettings();

// Folder of veltraw.ini: the program's folder when it can be written, else
// ~/.config/veltraw. VELTRAW_SETTINGS_DIR, or setSettingsFolder(), overrides both.
QString SettingsFolder();
void setSettingsFolder(const QString &folder);
QString DefaultIniFilePath();

QString ReadIniValue(const QString &section, const QString &key);
void WriteIniValue(const QString &section, const QString &key, const QString &value);

// The one link every window uses; owned by the main window.
void setLink(ProgrammerLink *link);
ProgrammerLink *Link();

// Returns once a byte is waiting or InputWaitFlag has been cleared; sleeps between events.
void WaitForInput();
// Processes pending events without waiting.
void DoEvents();
// The fixed pauses: they do not yield.
void Sleep(int ms);

bool FileExists(const QString &path);

// ---- message boxes, file dialogs and modal windows --------------------------------------
enum class Icon { None, Critical, Information, Question, Exclamation };

struct Message {
    QString text;
    QString title;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    Icon icon = Icon::None;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QString detail;  // shown as the box's informative text; the text itself stays exact
};
using MessageHandler = std::function<QMessageBox::StandardButton(const Message &)>;

QMessageBox::StandardButton MsgBox(const Message &m);
QMessageBox::StandardButton MsgBox(const QString &text, Icon icon, const QString &title,
                                   QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                   QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
// An error box (OK, stop icon) whose exact text is followed by a detail line: the cause, or
// how far an operation got.
void ErrorBox(const QString &text, const QString &title, const QString &detail);
void setMessageHandler(MessageHandler handler);

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

// Shows a dialog modally (exec), or hands it to the test's handler.
using ModalHandler = std::function<void(QDialog *)>;
void ShowModal(QDialog *dialog);
void setModalHandler(ModalHandler handler);

// Ends the program at once. Tests replace it and then see ProgramEnded() true.
using EndHandler = std::function<void()>;
void EndProgram();
bool ProgramEnded();
void setEndHandler(EndHandler handler);
void resetProgramEnded();

}  // namespace Module1
