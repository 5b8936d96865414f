// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmconfreg.h"

#include "core/protocol/confregexchange.h"
#include "gui/dialogs.h"
#include "gui/windows.h"
#include "gui/windowtimer.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

#include <algorithm>

qint16 TwipsFromPixels(int pixels)
{
    const qint64 twips = qint64(pixels) * 15;
    return qint16(std::clamp<qint64>(twips, -32768, 32767));
}

// The window as its read-back sees it.
class frmConfReg::Host : public ExchangeHost {
public:
    explicit Host(frmConfReg *w) : w_(w) {}
    messages::Button show(const messages::Message &m) override { return gui::Show(m); }
    void armTimeout(int) override
    {
        // Every read-back gets its full time, also when the timer still ran from creation.
        if (!w_) return;
        w_->Timer1->setEnabled(false);
        w_->Timer1->setEnabled(true);
    }
    void disarmTimeout() override
    {
        if (w_) w_->Timer1->setEnabled(false);
    }
    bool cancelled() const override { return !w_ || w_->exchange_.cancelled(); }
    void closeWindow() override
    {
        if (w_) w_->exchange_.closeFromCode();
    }

private:
    QPointer<frmConfReg> w_;
};

frmConfReg::frmConfReg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("ConfigRegister"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);
    setFixedSize(2925 / 15, 2685 / 15);

    Label2 = new QLabel(tr("ConfigRegisterの内容"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(12, 8, 171, 18);
    Frame1 = new QGroupBox(QStringLiteral("2007h"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(12, 30, 171, 104);
    Label3 = new QLabel(tr("　　通信中"), Frame1);
    Label3->setObjectName(QStringLiteral("Label3"));
    QFont fixed(QStringLiteral("ＭＳ ゴシック"));  // untranslated: a font family
    fixed.setStyleHint(QFont::Monospace);
    fixed.setFixedPitch(true);
    Label3->setFont(fixed);
    Label3->setGeometry(10, 20, 151, 78);
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Command1 = new QPushButton(QStringLiteral("&Close"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(111, 144, 72, 26);
    Command1->setDefault(true);
    Timer1 = new WindowTimer(confreg::kTimeoutMs, true, this);

    connect(Command1, &QPushButton::clicked, this, &frmConfReg::Command1_Click);
    connect(Timer1, &WindowTimer::Timer, this, &frmConfReg::Timer1_Timer);
    Form_Load();
}

void frmConfReg::Form_Load()
{
    if (WindowLeft != 0 || WindowTop != 0) {
        move(WindowLeft / 15, WindowTop / 15);
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
    if (exchange_.running() || exchange_.unloaded() || !isVisible()) return;
    const bool ran = exchange_.run([this](ProgrammerLink &link) {
        QPointer<frmConfReg> self(this);
        Host host(this);
        activeHost_ = &host;
        const confreg::ReadResult r = confreg::readConfigRegister(link, host);
        if (!self) return;
        activeHost_ = nullptr;
        if (r.outcome == Outcome::Done) Label3->setText(r.text);
    });
    // Left open, the window would ask again at every activation the message box gives back.
    if (!ran && exchange_.refusedBusy()) exchange_.closeFromCode();
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
    // another window's exchange. The read-back makes the reaction itself.
    if (!exchange_.running() || !activeHost_) return;
    activeHost_->expire();
}

void frmConfReg::closeEvent(QCloseEvent *e)
{
    e->accept();
    if (exchange_.unloaded()) return;
    Form_QueryUnload();
    Timer1->setEnabled(false);
    // Closed by the user during the read-back: it is abandoned and stops waiting; the window
    // goes once it has unwound.
    exchange_.unload(true);
}

void frmConfReg::Form_QueryUnload()
{
    WindowLeft = TwipsFromPixels(pos().x());
    WindowTop = TwipsFromPixels(pos().y());
}

frmConfReg *FrmConfReg()
{
    static QPointer<frmConfReg> instance;
    if (!instance || instance->unloaded()) {
        instance = new frmConfReg(MainWindow());
        RegisterForm(instance);
    }
    return instance;
}
