#include "program/frmreadwrite.h"

#include "app/forms.h"
#include "app/formmain.h"
#include "app/module1.h"
#include "app/vbtimer.h"
#include "link/programmerlink.h"
#include "program/programops.h"
#include "program/writeread.h"

#include <QCloseEvent>
#include <QFont>

using namespace Module1;

frmReadWrite::frmReadWrite(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("VELTRA2 Writer"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(360, 120);
    Label1 = new QLabel(QStringLiteral("VELTRA2オンボードプログラムライタと通信中"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(QFont(QStringLiteral("ＭＳ ゴシック")));
    Label1->setGeometry(12, 10, 336, 60);
    // Its text changes with every word of a transfer: a fixed size spares the window a layout
    // pass each time, plain text the check for markup (a path is never markup either).
    Label1->setFixedSize(Label1->size());
    Label1->setTextFormat(Qt::PlainText);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(176, 80, 80, 28);
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(268, 80, 80, 28);
    Timer1 = new VbTimer(5000, false, this);
    progressPaint_.setSingleShot(true);
    progressPaint_.setInterval(kProgressPaintMs);
    connect(&progressPaint_, &QTimer::timeout, this, &frmReadWrite::paintProgress);
    connect(cmdOK, &QPushButton::clicked, this, &frmReadWrite::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmReadWrite::cmdCancel_Click);
    connect(Timer1, &VbTimer::Timer, this, &frmReadWrite::Timer1_Timer);
}

void frmReadWrite::PrepareOperation(const QString &caption, const QString &question)
{
    setWindowTitle(caption);
    Label1->setText(question);
    cmdOK->setEnabled(true);
    cmdCancel->setEnabled(true);
    setModal(true);
}

void frmReadWrite::ShowProgress()
{
    setModal(false);
    show();
}

// The progress line changes with every word, hundreds of times a second, and drawing each
// text was most of our CPU time during a transfer. Label1 always holds the latest text; while
// a recent drawing is less than kProgressPaintMs old, the next one waits for the timer.
void frmReadWrite::setProgress(const QString &text)
{
    if (progressPaint_.isActive()) {
        progressDeferred_ = true;
        Label1->setUpdatesEnabled(false);
    } else {
        progressPaint_.start();
    }
    Label1->setText(text);
}

void frmReadWrite::paintProgress()
{
    if (!progressDeferred_) return;
    progressDeferred_ = false;
    Label1->setUpdatesEnabled(true);  // draws the latest text
    progressPaint_.start();
}

void frmReadWrite::armTimeout() { Timer1->setEnabled(true); }
void frmReadWrite::disarmTimeout() { Timer1->setEnabled(false); }

void frmReadWrite::cmdOK_Click()
{
    ProgrammerLink *link = Module1::Link();
    if (!link || running_) return;
    LinkSession session(*link, "frmReadWrite");
    if (!session.held()) {
        MsgBox(QStringLiteral("ほかの画面がライタと通信中です。\r\n通信が終わってからもう一度操作してください。"),
               Icon::Exclamation, kProgramTitle);
        return;
    }
    running_ = true;
    cmdOK->setEnabled(false);
    cmdCancel->setEnabled(false);
    Label1->setText(QStringLiteral("ＰＩＣマイコンボードと通信中..."));
    link->clearInput();
    link->sendLetter('C');
    WaitReply(*link, *this);  // the writer's answer to "C" only tells it is there

    const QString caption = OperationCaption();
    if (caption == kWriteCaption) {
        const QString path = MainForm() ? MainForm()->HexFileName->text() : QString();
        LoadConfigWordFromHex(path);
        AppSettings.ConfigConfirmed = 0;
        ShowConfigDialog();
        Sleep(500);
        if (AppSettings.ConfigConfirmed != 0) WriteProgram(*link, *this, path);
    } else if (caption == kReadCaption) {
        Sleep(500);
        ReadProgram(*link, *this);
    } else if (caption == kEraseCaption) {
        Sleep(500);
        EraseProgram(*link, *this);
    }
    link->clearInput();
    running_ = false;
    closeFromCode();
}

void frmReadWrite::cmdCancel_Click() { closeFromCode(); }

void frmReadWrite::Timer1_Timer()
{
    Timer1->setEnabled(false);
    AppSettings.InputWaitFlag = 0;
    if (ProgrammerLink *link = Module1::Link()) {
        link->sendLetter('E');
        link->sendLetter('E');
        link->sendLetter('S');
    }
    AppSettings.StartupCheckPending = 0;
    MsgBox(QStringLiteral("ライタまたはPICマイコンボードの反応がありません。\r\nもう一度操作してください。"), Icon::Critical,
           QStringLiteral("タイムアウトエラー"));
    closeFromCode();
}

void frmReadWrite::closeFromCode()
{
    closingFromCode_ = true;
    close();
    closingFromCode_ = false;
}

void frmReadWrite::reject()
{
    // Escape: the same as the close box.
    close();
}

void frmReadWrite::closeEvent(QCloseEvent *event)
{
    // While an exchange runs the user cannot close the dialog: the exchange would be left
    // waiting with its time-out disabled. It closes itself when the exchange ends.
    if (running_ && !closingFromCode_) {
        event->ignore();
        return;
    }
    Form_QueryUnload();
    event->accept();
}

void frmReadWrite::Form_QueryUnload()
{
    Timer1->setEnabled(false);
    if (AppSettings.StartupCheckPending == 1) EndProgram();
}
