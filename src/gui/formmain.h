// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The start-up window and the only one that lives for the whole run.

#include "core/settings/storedsettings.h"

#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QString>

class ProgrammerLink;
class QAction;
class QLockFile;
class WindowTimer;
class frmReadWrite;
namespace messages {
struct Message;
}

class FormMain : public QMainWindow {
    Q_OBJECT
public:
    explicit FormMain(QWidget *parent = nullptr);
    ~FormMain() override;

    // The start-up sequence. `arguments` are the command-line words after the program name.
    void Form_Load(const QStringList &arguments);

    // Controls other windows use.
    QLabel *Label1 = nullptr;
    QLabel *HexFileName = nullptr;
    QPushButton *FileNameRef = nullptr;
    QLabel *LblCommP = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QPushButton *WriteCommand = nullptr;
    QPushButton *EraseCommand = nullptr;
    QPushButton *ReadCommand = nullptr;
    QPushButton *EPROMCommand1 = nullptr;
    QPushButton *ConfigCommand = nullptr;
    QPushButton *ExitCommand = nullptr;
    ProgrammerLink *MSComm1 = nullptr;
    WindowTimer *Timer1 = nullptr;  // link watchdog
    WindowTimer *Timer2 = nullptr;  // re-send ticker
    // The link check: 1 while it runs or after it succeeded, 0 after its watchdog ran out, 2
    // when the port dialog was closed without a choice.
    qint16 LinkCheckState = 0;
    // 1 until the start-up link check is over: closing its progress window then ends the program.
    qint16 StartupCheckPending = 1;
    // The start mode the command line asked for.
    settings::Launch Launch;
    // The file dialog's preset name: the last name it returned or the one start-up gave it.
    QString CommonDialogFileName;

    // Menu items.
    QAction *menu_file_open = nullptr;
    QAction *menu_file_notepad = nullptr;
    QAction *menu_file_unload = nullptr;
    QAction *menu_memory_w = nullptr;
    QAction *menu_memory_r = nullptr;
    QAction *menu_memory_e = nullptr;
    QAction *menu_memory_v = nullptr;
    QAction *menu_memory_data = nullptr;
    QAction *menu_memory_config = nullptr;
    QAction *menu_memory_view = nullptr;  // the program memory window
    QAction *menu_comm = nullptr;
    QAction *menu_help_file = nullptr;
    QAction *menu_help_about = nullptr;
    QAction *menu_help_diagnosis = nullptr;

    void CheckLink();

    void StartProgramWrite();
    void StartProgramErase();
    void StartProgramRead();
    void StartProgramVerify();
    void OpenDataMemoryView();
    void OpenConfigRegisterView();
    // The HEX file and the PIC's last read side by side, disassembled.
    void OpenProgramMemoryView();
    // Start-up mode 1: the data-file write window beside the main window.
    void OpenDataFileWriteWindow();

    // Handlers of the buttons and menu items.
    void WriteCommand_Click() { StartProgramWrite(); }
    void EraseCommand_Click() { StartProgramErase(); }
    void ReadCommand_Click() { StartProgramRead(); }
    void EPROMCommand1_Click() { OpenDataMemoryView(); }
    void ConfigCommand_Click() { OpenConfigRegisterView(); }
    void FileNameRef_Click();
    void ExitCommand_Click() { close(); }
    void menu_file_notepad_Click();
    void menu_comm_Click();
    void menu_help_file_Click();
    void menu_help_about_Click();
    void menu_help_diagnosis_Click();
    // A port error of a normal start offers the diagnosis; true when the user asked for it.
    bool ShowPortError(const messages::Message &m);
    // The port dialog; LinkCheckState tells whether a port was chosen.
    void ChoosePort();
    // The operation dialog, tied to this window's start-up and file dialog.
    frmReadWrite *OperationDialog();
    void OperationDialogClosed();
    void HexSaved(const QString &path);
    // Tells the user once a run when the port's adapter holds replies for long.
    void NoteSlowAdapter();

    // Files dropped on the window or the path label.
    void DropFiles(const QList<QUrl> &urls);


protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Timer1_Timer();
    void Timer2_Timer();
    void Form_QueryUnload();
    void LoadConfigWord();
    void buildControls();
    void buildMenus();
    // Each subsystem makes its own commands ready (or keeps them disabled until it is built).
    void setUpProgramCommands();
    void setUpDataMemoryCommands();
    void setUpConfigRegisterCommands();
    void setUpAboutCommands();
    bool acquireInstanceLock();
    void CommonFirstStep();
    void ShowOperation(const QString &caption, const QString &question);
    bool LinkFree();
    bool HexFileReady();
    void onPortLost(const QString &reason);

    class LinkHost;
    LinkHost *linkHost_ = nullptr;
    QLockFile *instanceLock_ = nullptr;
    bool closing_ = false;
    bool slowAdapterTold_ = false;
};

// The main window, while it exists.
FormMain *MainForm();
