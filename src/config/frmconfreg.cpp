#include "config/frmconfreg.h"

#include "app/forms.h"
#include "app/formmain.h"
#include "app/module1.h"
#include "app/vbtimer.h"
#include "config/confregtext.h"
#include "link/programmerlink.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

#include <algorithm>

using namespace Module1;

namespace {

const QString kNoPower = QStringLiteral("PICマイコンボードの電源が入っていません。\r\n電源を入れてからもう一度クリックしてください。");
const QString kCommFailure = QStringLiteral("ライタとの通信に失敗しました。\r\nケーブルの確認をしてからもう一度クリックしてください。");
const QString kLinkBusy = QStringLiteral("ほかの画面がライタと通信中です。\r\n通信が終わってからもう一度操作してください。");

void communicationFailure(ProgrammerLink &link, QPointer<ConfRegContext> &ctx)
{
    ctx->disarmTimeout();
    link.sendLetter('C');
    MsgBox(kCommFailure, Icon::Critical, kErrorTitle);
    link.sendLetter('E');
    if (ctx) ctx->closeWindow();
}

}  // namespace

void ReadConfigRegister(ProgrammerLink &link, ConfRegContext *context)
{
    QPointer<ConfRegContext> ctx(context);
    auto gone = [&ctx] { return !ctx || ctx->abandoned(); };

    link.clearInput();
    link.sendLetter('Y');
    ctx->armTimeout();
    WaitForInput();
    if (gone()) return;
    // The time-out has already sent "C" and closed the window; the reply read now still
    // decides which message is shown, but nothing more is read or shown after a "y".
    const bool timedOut = AppSettings.InputWaitFlag == 0;
    const QString reply = link.readText();
    if (reply == QLatin1String("?")) {
        ctx->disarmTimeout();
        MsgBox(kNoPower, Icon::Critical, kErrorTitle);
        if (ctx) ctx->closeWindow();
        return;
    }
    if (reply != QLatin1String("y")) {
        communicationFailure(link, ctx);
        return;
    }
    if (timedOut) return;

    link.setBinaryMode(true);
    int data[2] = {-1, -1};  // the first byte means nothing to us; the second is the register
    for (int &byte : data) {
        WaitForInput();
        if (gone() || AppSettings.InputWaitFlag == 0) {
            link.setBinaryMode(false);
            return;
        }
        byte = link.readByte();
    }
    link.setBinaryMode(false);
    if (data[0] < 0 || data[1] < 0) {
        // The port went away in the middle: no register value arrived, so none is shown.
        communicationFailure(link, ctx);
        return;
    }
    ctx->showResult(confreg::DecodeConfigByte(uint8_t(data[1])));
    ctx->disarmTimeout();
}

// ---- the window ---------------------------------------------------------------------------

class frmConfReg::Context : public ConfRegContext {
public:
    explicit Context(frmConfReg *w) : ConfRegContext(w), w_(w) {}
    void armTimeout() override
    {
        // Every read-back gets its full time, also when the timer still ran from creation.
        w_->Timer1->setEnabled(false);
        w_->Timer1->setEnabled(true);
    }
    void disarmTimeout() override { w_->Timer1->setEnabled(false); }
    bool abandoned() const override { return w_->closedByUser_; }
    void showResult(const QString &text) override { w_->Label3->setText(text); }
    void closeWindow() override { w_->closeFromCode(); }

private:
    frmConfReg *w_;
};

qint16 TwipsFromPixels(int pixels)
{
    const qint64 twips = qint64(pixels) * 15;
    return qint16(std::clamp<qint64>(twips, -32768, 32767));
}

frmConfReg::frmConfReg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("ConfigRegister"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);
    setFixedSize(2925 / 15, 2685 / 15);

    Label2 = new QLabel(QStringLiteral("ConfigRegisterの内容"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(12, 8, 171, 18);
    Frame1 = new QGroupBox(QStringLiteral("2007h"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(12, 30, 171, 104);
    Label3 = new QLabel(QStringLiteral("　　通信中"), Frame1);
    Label3->setObjectName(QStringLiteral("Label3"));
    QFont fixed(QStringLiteral("ＭＳ ゴシック"));
    fixed.setStyleHint(QFont::Monospace);
    fixed.setFixedPitch(true);
    Label3->setFont(fixed);
    Label3->setGeometry(10, 20, 151, 78);
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Command1 = new QPushButton(QStringLiteral("&Close"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(111, 144, 72, 26);
    Command1->setDefault(true);
    Timer1 = new VbTimer(kTimeoutMs, true, this);
    context_ = new Context(this);

    connect(Command1, &QPushButton::clicked, this, &frmConfReg::Command1_Click);
    connect(Timer1, &VbTimer::Timer, this, &frmConfReg::Timer1_Timer);
    Form_Load();
}

void frmConfReg::Form_Load()
{
    if (AppSettings.ConfRegWindowLeft != 0 || AppSettings.ConfRegWindowTop != 0) {
        move(AppSettings.ConfRegWindowLeft / 15, AppSettings.ConfRegWindowTop / 15);
        return;
    }
    const QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    const QSize size = frameGeometry().size();
    int left = x();
    int top = y();
    if (area.width() > size.width()) left = area.x() + area.width() / 2 - size.width() / 2;
    if (area.height() > size.height()) top = area.y() + area.height() / 2 - size.height() / 2;
    move(left, top);
}

bool frmConfReg::event(QEvent *e)
{
    // The read-back runs after the activation has been handled, not inside its delivery.
    if (e->type() == QEvent::WindowActivate)
        QMetaObject::invokeMethod(this, [this] { Form_Activate(); }, Qt::QueuedConnection);
    return QDialog::event(e);
}

void frmConfReg::Form_Activate()
{
    // An activation while the read-back waits (the user went to another window and came
    // back) must not start a second exchange inside the first.
    if (running_ || unloaded_ || !isVisible()) return;
    ProgrammerLink *link = Module1::Link();
    if (!link) return;
    LinkSession session(*link, "frmConfReg");
    if (!session.held()) {
        MsgBox(kLinkBusy, Icon::Exclamation, kProgramTitle);
        // Left open, the window would ask again at every activation the message box gives back.
        closeFromCode();
        return;
    }
    QPointer<frmConfReg> self(this);
    running_ = true;
    ReadConfigRegister(*link, context_);
    if (!self) return;
    running_ = false;
    // A window closed during the exchange is deleted only now that nothing of it is running.
    if (deletePending_) deleteLater();
}

void frmConfReg::Command1_Click()
{
    Timer1->setEnabled(false);
    close();
}

void frmConfReg::reject()
{
    // Escape: the same as "&Close".
    Command1_Click();
}

void frmConfReg::Timer1_Timer()
{
    Timer1->setEnabled(false);
    // A tick with no read-back waiting has nothing to end; a "C" now could only disturb
    // another window's exchange.
    if (!running_) return;
    AppSettings.InputWaitFlag = 0;
    if (ProgrammerLink *link = Module1::Link()) link->sendLetter('C');
    closeFromCode();
}

void frmConfReg::closeFromCode()
{
    closingFromCode_ = true;
    close();
    closingFromCode_ = false;
}

void frmConfReg::closeEvent(QCloseEvent *e)
{
    e->accept();
    if (unloaded_) return;
    Form_QueryUnload();
    Timer1->setEnabled(false);
    if (running_ && !closingFromCode_) {
        // The user closed the window: the waiting exchange is abandoned and must stop waiting.
        closedByUser_ = true;
        AppSettings.InputWaitFlag = 0;
    }
    unloaded_ = true;
    if (running_) deletePending_ = true;
    else deleteLater();
}

void frmConfReg::Form_QueryUnload()
{
    AppSettings.ConfRegWindowLeft = TwipsFromPixels(pos().x());
    AppSettings.ConfRegWindowTop = TwipsFromPixels(pos().y());
}

frmConfReg *FrmConfReg()
{
    static QPointer<frmConfReg> instance;
    if (!instance || instance->unloaded()) {
        instance = new frmConfReg(MainForm());
        RegisterForm(instance);
    }
    return instance;
}
