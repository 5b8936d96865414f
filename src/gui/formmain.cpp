// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/formmain.h"

#include "core/link/programmerlink.h"
#include "core/messages.h"
#include "core/platform.h"
#include "core/protocol/linkcheck.h"
#include "gui/dialogs.h"
#include "gui/forminitcomm.h"
#include "gui/frmconfreg.h"
#include "gui/frmdiagnosis.h"
#include "gui/frmreadwrite.h"
#include "gui/manualviewer.h"
#include "gui/pathlabel.h"
#include "gui/windows.h"
#include "gui/windowtimer.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFrame>
#include <QLayout>
#include <QLockFile>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

using namespace gui;
using namespace settings;

namespace {

// Positions are given in twips; 15 twips make one pixel.
QRect tw(int l, int t, int w, int h) { return QRect(l / 15, t / 15, w / 15, h / 15); }

const messages::Text &kCommError = messages::kCommErrorStatus;
const messages::Text &kSetUpComm = messages::kSetUpCommStatus;

// Exactly one local file, or nothing.
QString singleLocalFile(const QMimeData *data)
{
    if (!data || !data->hasUrls()) return QString();
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile()) return QString();
    return urls.first().toLocalFile();
}

}  // namespace

// The link check as the main window runs it: its watchdog and re-send ticker are the window's
// Timer1 and Timer2, its progress window the operation dialog.
class FormMain::LinkHost : public linkcheck::Host {
public:
    explicit LinkHost(FormMain *w) : w_(w) {}
    void progress(const QString &text) override { w_->OperationDialog()->Label1->setText(text); }
    messages::Button show(const messages::Message &m) override { return Show(m); }
    void armTimeout(int ms) override
    {
        w_->Timer1->setInterval(ms);
        w_->Timer1->setEnabled(true);
    }
    void disarmTimeout() override { w_->Timer1->setEnabled(false); }
    void startTicker() override { w_->Timer2->setEnabled(true); }
    void stopTicker() override { w_->Timer2->setEnabled(false); }
    void showProgress() override { w_->OperationDialog()->ShowProgress(); }
    void watchdogExpired() override
    {
        w_->LblCommP->setText(kSetUpComm);
        if (w_->Launch.LaunchMode == 1) {
            w_->MSComm1->close();
            forgetPortNumber();
            EndProgram();
        }
    }
    void finished() override
    {
        w_->StartupCheckPending = 0;
        if (FrmReadWrite()) FrmReadWrite()->close();
    }

private:
    FormMain *w_;
};

namespace {
QPointer<FormMain> g_main;
}  // namespace

FormMain *MainForm() { return g_main; }

FormMain::FormMain(QWidget *parent) : QMainWindow(parent)
{
    g_main = this;
    setMainWindow(this);
    setWindowTitle(messages::kMainCaption);
    linkHost_ = new LinkHost(this);
    MSComm1 = new ProgrammerLink(this);
    setLink(MSComm1);
    connect(MSComm1, &ProgrammerLink::portLost, this, &FormMain::onPortLost, Qt::QueuedConnection);
    Timer1 = new WindowTimer(0, true, this);
    Timer2 = new WindowTimer(1000, false, this);
    connect(Timer1, &WindowTimer::Timer, this, &FormMain::Timer1_Timer);
    connect(Timer2, &WindowTimer::Timer, this, &FormMain::Timer2_Timer);
    buildControls();
    buildMenus();
    // The window keeps its designed size: a fixed border, no maximising.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    setAcceptDrops(true);
    setUpProgramCommands();
    setUpDataMemoryCommands();
    setUpConfigRegisterCommands();
    setUpAboutCommands();
}

FormMain::~FormMain()
{
    DestroyForms();
    if (gui::Link() == MSComm1) setLink(nullptr);
    delete instanceLock_;
    delete linkHost_;
}

void FormMain::buildControls()
{
    auto *client = new QWidget(this);
    client->setFixedSize(5925 / 15, 2235 / 15);
    setCentralWidget(client);

    auto label = [&](const QString &text, QRect r) {
        auto *l = new QLabel(text, client);
        l->setGeometry(r);
        return l;
    };
    auto button = [&](const QString &text, QRect r) {
        auto *b = new QPushButton(text, client);
        b->setGeometry(r);
        return b;
    };
    Label1 = label(tr("Hexファイル"), tw(120, 120, 1575, 375));
    HexFileName = new PathLabel(client);
    HexFileName->setGeometry(tw(480, 480, 3975, 375));
    HexFileName->setFrameStyle(QFrame::Box | QFrame::Plain);
    HexFileName->setAcceptDrops(true);
    HexFileName->installEventFilter(this);
    HexFileName->setTextInteractionFlags(Qt::NoTextInteraction);
    FileNameRef = button(tr("参照"), tw(4680, 480, 735, 375));
    // A longer caption than the design's (English) widens the button into the room on its right.
    const int needed = FileNameRef->fontMetrics().horizontalAdvance(FileNameRef->text()) + 12;
    if (needed > FileNameRef->width()) FileNameRef->resize(needed, FileNameRef->height());
    LblCommP = label(tr("ポート設定"), tw(480, 960, 3975, 255));
    Label2 = label(tr("プログラムメモリ"), tw(240, 1320, 2415, 255));
    Label3 = label(tr("データメモリ"), tw(2880, 1320, 1095, 255));
    Label4 = label(QStringLiteral("CONFIG"), tw(4080, 1320, 975, 255));
    WriteCommand = button(QStringLiteral("Write"), tw(240, 1560, 735, 495));
    EraseCommand = button(QStringLiteral("Erase"), tw(1080, 1560, 735, 495));
    ReadCommand = button(QStringLiteral("Read"), tw(1920, 1560, 735, 495));
    EPROMCommand1 = button(QStringLiteral("Show"), tw(3000, 1560, 855, 495));
    ConfigCommand = button(QStringLiteral("Show"), tw(4200, 1560, 735, 495));
    ExitCommand = button(QStringLiteral("Exit"), tw(5160, 1560, 615, 495));
    for (QLabel *l : {Label1, Label2, Label3, Label4, LblCommP, HexFileName}) l->setObjectName(QString());
    Label1->setObjectName(QStringLiteral("Label1"));
    HexFileName->setObjectName(QStringLiteral("HexFileName"));
    LblCommP->setObjectName(QStringLiteral("LblCommP"));
    WriteCommand->setObjectName(QStringLiteral("WriteCommand"));
    EraseCommand->setObjectName(QStringLiteral("EraseCommand"));
    ReadCommand->setObjectName(QStringLiteral("ReadCommand"));
    EPROMCommand1->setObjectName(QStringLiteral("EPROMCommand1"));
    ConfigCommand->setObjectName(QStringLiteral("ConfigCommand"));
    ExitCommand->setObjectName(QStringLiteral("ExitCommand"));
    FileNameRef->setObjectName(QStringLiteral("FileNameRef"));

    // Separator lines under the file row and above the buttons.
    auto *line1 = new QFrame(client);
    line1->setFrameShape(QFrame::HLine);
    line1->setFrameShadow(QFrame::Sunken);
    line1->setGeometry(tw(120, 1230, 5685, 30));
    auto *line2 = new QFrame(client);
    line2->setFrameShape(QFrame::VLine);
    line2->setFrameShadow(QFrame::Sunken);
    line2->setGeometry(tw(2775, 1320, 30, 735));

    // The labels take no focus; the buttons keep the order the window was designed with.
    QWidget::setTabOrder(WriteCommand, EraseCommand);
    QWidget::setTabOrder(EraseCommand, ReadCommand);
    QWidget::setTabOrder(ReadCommand, EPROMCommand1);
    QWidget::setTabOrder(EPROMCommand1, ConfigCommand);
    QWidget::setTabOrder(ConfigCommand, ExitCommand);
    QWidget::setTabOrder(ExitCommand, FileNameRef);

    connect(WriteCommand, &QPushButton::clicked, this, &FormMain::WriteCommand_Click);
    connect(EraseCommand, &QPushButton::clicked, this, &FormMain::EraseCommand_Click);
    connect(ReadCommand, &QPushButton::clicked, this, &FormMain::ReadCommand_Click);
    connect(EPROMCommand1, &QPushButton::clicked, this, &FormMain::EPROMCommand1_Click);
    connect(ConfigCommand, &QPushButton::clicked, this, &FormMain::ConfigCommand_Click);
    connect(ExitCommand, &QPushButton::clicked, this, &FormMain::ExitCommand_Click);
    connect(FileNameRef, &QPushButton::clicked, this, &FormMain::FileNameRef_Click);
}

void FormMain::buildMenus()
{
    QMenuBar *bar = menuBar();
    QMenu *file = bar->addMenu(tr("ファイル(&F)"));
    menu_file_open = file->addAction(tr("参照(&O)..."), this, &FormMain::FileNameRef_Click);
    menu_file_notepad = file->addAction(tr("メモ帳で開く(&M)"), this, &FormMain::menu_file_notepad_Click);
    file->addSeparator();
    menu_file_unload = file->addAction(tr("終了(&X)..."), this, &FormMain::ExitCommand_Click);

    QMenu *memory = bar->addMenu(tr("メモリ(&M)"));
    menu_memory_w = memory->addAction(tr("プログラムWrite(&W)..."), this, &FormMain::StartProgramWrite);
    menu_memory_r = memory->addAction(tr("プログラムRead(&R)..."), this, &FormMain::StartProgramRead);
    menu_memory_v = memory->addAction(tr("プログラムVerify(&V)..."), this, &FormMain::StartProgramVerify);
    menu_memory_e = memory->addAction(tr("プログラムErase(&E)..."), this, &FormMain::StartProgramErase);
    menu_memory_data = memory->addAction(tr("データメモリ(&M)..."), this, &FormMain::OpenDataMemoryView);
    menu_memory_config = memory->addAction(tr("CONGIG(&C)..."), this, &FormMain::OpenConfigRegisterView);
    menu_memory_view = memory->addAction(tr("プログラムメモリ(&P)..."), this, &FormMain::OpenProgramMemoryView);

    menu_comm = bar->addAction(tr("通信設定(&C)"));
    connect(menu_comm, &QAction::triggered, this, &FormMain::menu_comm_Click);

    QMenu *help = bar->addMenu(tr("ヘルプ(&H)"));
    menu_help_file = help->addAction(tr("ヘルプファイル(&H)"), this, &FormMain::menu_help_file_Click);
    menu_help_diagnosis = help->addAction(FrmDiagnosis::commandText(), this, &FormMain::menu_help_diagnosis_Click);
    help->addSeparator();
    menu_help_about = help->addAction(tr("バージョン情報(&A)..."), this, &FormMain::menu_help_about_Click);
}

bool FormMain::acquireInstanceLock()
{
    QString path = qEnvironmentVariable("VELTRAW_LOCK_FILE");
    if (path.isEmpty()) {
        QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (dir.isEmpty()) dir = QDir::tempPath();
        path = dir + QStringLiteral("/veltraw.lock");
    }
    instanceLock_ = new QLockFile(path);
    // A lock left by a crashed instance belongs to a dead process and is taken over.
    instanceLock_->setStaleLockTime(0);
    return instanceLock_->tryLock(0);
}

void FormMain::Form_Load(const QStringList &arguments)
{
    settings::reset();

    // Single instance.
    if (!acquireInstanceLock()) {
        Show(messages::alreadyRunning());
        EndProgram();
        return;
    }

    // Command line.
    switch (parseLaunch(arguments, &Launch)) {
    case LaunchError::None:
        break;
    case LaunchError::FileMissing:
        Show(messages::launchFileMissing());
        EndProgram();
        return;
    case LaunchError::WrongArgument:
        Show(messages::launchArgumentWrong());
        EndProgram();
        return;
    }

    frmConfReg::ForgetPosition();
    stored().IniFilePath = defaultIniFilePath();
    stored().CommPortNumber = 0;
    StartupCheckPending = 1;
    LblCommP->setText(QString());

    QString failure;  // the start-up error handler runs when this is set
    bool diagnose = false;
    do {
        if (const auto name = loadHexFileName()) {
            HexFileName->setText(*name);
            CommonDialogFileName = *name;
        }

        if (const auto port = loadPortNumber()) stored().CommPortNumber = qint16(*port);
        else ChoosePort();

        MSComm1->close();
        MSComm1->CommPort = stored().CommPortNumber;
        if (!MSComm1->open(stored().IniFilePath, &failure)) break;
        MSComm1->clearInput();

        CheckLink();
        if (ProgramEnded()) return;

        LoadConfigWord();

        if (Launch.LaunchMode == 1) {
            OpenDataFileWriteWindow();
        } else if (Launch.LaunchMode == 2) {
            HexFileName->setText(Launch.LaunchArgument);
            CommonDialogFileName = Launch.LaunchArgument;
            WriteCommand_Click();
            EndProgram();
            return;
        }
    } while (false);

    if (!failure.isEmpty()) {
        LblCommP->setText(kCommError);
        diagnose = ShowPortError(messages::commPortError(messages::kErrorTitle, failure));
        forgetPortNumber();
        // Start-up is over although no link check ran: closing an operation dialog later must
        // not end the program as if that check were still pending.
        StartupCheckPending = 0;
        // The stored word is still the user's: without it, closing would write 26 over it.
        LoadConfigWord();
    }
    show();
    // Told over the main window, once that is on screen.
    if (MSComm1->isOpen()) NoteSlowAdapter();
    if (diagnose) menu_help_diagnosis_Click();
}

void FormMain::LoadConfigWord() { stored().ConfigWord = loadConfigWord().word; }

// ---- link check -------------------------------------------------------------------------

void FormMain::CheckLink()
{
    LinkSession session(*MSComm1, "CheckLink");
    LinkCheckState = 1;
    frmReadWrite *rw = OperationDialog();
    rw->cmdCancel->setEnabled(false);
    rw->cmdOK->setEnabled(false);
    linkcheck::checkLink(*MSComm1, *linkHost_);
}

void FormMain::Timer1_Timer()
{
    Timer1->setEnabled(false);
    LinkCheckState = 0;
    linkHost_->expire();
}

void FormMain::Timer2_Timer() { linkHost_->tick(); }

void FormMain::onPortLost(const QString &reason)
{
    LblCommP->setText(kCommError);
    Show(messages::portLost(messages::portLostDetail(MSComm1->deviceName(), reason)));
}

// ---- closing ----------------------------------------------------------------------------

void FormMain::closeEvent(QCloseEvent *event)
{
    Form_QueryUnload();
    event->accept();
}

void FormMain::Form_QueryUnload()
{
    if (closing_) return;
    closing_ = true;
    if (MSComm1->isOpen()) MSComm1->close();
    if (Launch.LaunchMode == 0) {
        saveHexFileName(HexFileName->text());
        saveConfigWord(stored().ConfigWord);
    }
    EndProgram();
}

// ---- commands ---------------------------------------------------------------------------

void FormMain::CommonFirstStep()
{
    if (LblCommP->text() == kSetUpComm) LblCommP->setText(QString());
}

bool FormMain::LinkFree()
{
    if (!MSComm1->busy()) return true;
    Show(messages::linkBusy());
    return false;
}

frmReadWrite *FormMain::OperationDialog()
{
    frmReadWrite *rw = FrmReadWrite();
    connect(rw, &frmReadWrite::closed, this, &FormMain::OperationDialogClosed, Qt::UniqueConnection);
    connect(rw, &frmReadWrite::hexSaved, this, &FormMain::HexSaved, Qt::UniqueConnection);
    return rw;
}

void FormMain::OperationDialogClosed()
{
    // Closing the progress window of the start-up link check ends the program.
    if (StartupCheckPending == 1) EndProgram();
}

// The file dialog's preset is the last name it returned, the name a read was saved to included.
void FormMain::HexSaved(const QString &path) { CommonDialogFileName = path; }

void FormMain::ShowOperation(const QString &caption, const QString &question)
{
    frmReadWrite *rw = OperationDialog();
    rw->PrepareOperation(caption, question, HexFileName->text());
    ShowModal(rw);
}

// The HEX file the write and the verify take: chosen and there, or the user is told.
bool FormMain::HexFileReady()
{
    const QString path = HexFileName->text();
    if (path.isEmpty()) {
        Show(messages::noHexFileChosen());
        return false;
    }
    if (!platform::isRegularFile(path)) {
        Show(messages::hexFileMissing());
        return false;
    }
    CommonFirstStep();
    return LinkFree();
}

void FormMain::StartProgramWrite()
{
    if (!HexFileReady()) return;
    ShowOperation(frmReadWrite::kWriteCaption, messages::writeQuestion(HexFileName->text()));
}

void FormMain::StartProgramVerify()
{
    if (!HexFileReady()) return;
    OperationDialog()->StoredConfigWord = stored().ConfigWord;
    ShowOperation(frmReadWrite::kVerifyCaption, messages::verifyQuestion(HexFileName->text()));
}

void FormMain::StartProgramErase()
{
    CommonFirstStep();
    if (!LinkFree()) return;
    ShowOperation(frmReadWrite::kEraseCaption, messages::eraseQuestion());
}

void FormMain::StartProgramRead()
{
    CommonFirstStep();
    if (!LinkFree()) return;
    ShowOperation(frmReadWrite::kReadCaption, messages::readQuestion());
}

void FormMain::FileNameRef_Click()
{
    FileRequest r;
    r.filter = tr("Hexファイル(*.hex)|*.hex|すべてのファイル(*.*)|*.*");
    r.presetName = CommonDialogFileName;
    const auto chosen = FileDialog(r);
    if (!chosen) return;  // cancelled: nothing changes
    CommonDialogFileName = *chosen;
    HexFileName->setText(*chosen);
}

void FormMain::DropFiles(const QList<QUrl> &urls)
{
    if (urls.size() != 1 || !urls.first().isLocalFile()) return;
    HexFileName->setText(QDir::toNativeSeparators(urls.first().toLocalFile()));
}

void FormMain::dragEnterEvent(QDragEnterEvent *event)
{
    if (!singleLocalFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void FormMain::dropEvent(QDropEvent *event)
{
    if (!event->mimeData()->hasUrls()) return;
    DropFiles(event->mimeData()->urls());
    event->acceptProposedAction();
}

bool FormMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == HexFileName) {
        if (event->type() == QEvent::DragEnter) {
            auto *e = static_cast<QDragEnterEvent *>(event);
            if (!singleLocalFile(e->mimeData()).isEmpty()) e->acceptProposedAction();
            return true;
        }
        if (event->type() == QEvent::Drop) {
            auto *e = static_cast<QDropEvent *>(event);
            if (e->mimeData()->hasUrls()) DropFiles(e->mimeData()->urls());
            e->acceptProposedAction();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void FormMain::menu_file_notepad_Click()
{
    const QString path = HexFileName->text();
    if (!platform::isRegularFile(path)) {
        Show(messages::editorFileMissing());
        return;
    }
    // The user's editor, started directly (no shell), so any path works as one argument.
    QString variable = QStringLiteral("VISUAL");
    QString editor = qEnvironmentVariable("VISUAL");
    if (editor.isEmpty()) {
        variable = QStringLiteral("EDITOR");
        editor = qEnvironmentVariable("EDITOR");
    }
    if (!editor.isEmpty()) {
        QStringList words = QProcess::splitCommand(editor);
        if (!words.isEmpty()) {
            const QString program = words.takeFirst();
            words << path;
            if (QProcess::startDetached(program, words)) return;
        }
    }
    if (OpenUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()))) return;
    messages::Message m = messages::editorFailed();
    m.detail = editor.isEmpty() ? messages::noEditorSet() : messages::editorDidNotStart(variable, editor);
    Show(m);
}

void FormMain::menu_help_file_Click() { ManualViewer::showFor(this); }

void FormMain::menu_comm_Click()
{
    if (!LinkFree()) return;
    ChoosePort();
    if (LinkCheckState == 2) return;
    MSComm1->close();
    MSComm1->CommPort = stored().CommPortNumber;
    QString why;
    if (!MSComm1->open(stored().IniFilePath, &why)) {
        LblCommP->setText(kCommError);
        if (ShowPortError(messages::commPortError(messages::kMainCaption, why))) menu_help_diagnosis_Click();
        return;
    }
    MSComm1->clearInput();
    LblCommP->setText(QString());
    CheckLink();
    NoteSlowAdapter();
}

void FormMain::NoteSlowAdapter()
{
    const int ms = MSComm1->adapterLatencyMs();
    // The unattended starts carry on without a box that nobody asked for.
    if (ms <= ProgrammerLink::kSlowAdapterMs || slowAdapterTold_ || Launch.LaunchMode != 0) return;
    slowAdapterTold_ = true;
    Show(messages::slowAdapter(ms, MSComm1->deviceName()));
}

void FormMain::ChoosePort()
{
    FormInitComm dialog(this);
    ShowModal(&dialog);
    LinkCheckState = dialog.Confirmed ? 0 : 2;
}
