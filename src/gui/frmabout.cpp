// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmabout.h"

#include "core/link/programmerlink.h"
#include "core/messages.h"
#include "gui/dialogs.h"
#include "gui/windowtimer.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPixmap>
#include <QPointer>


namespace {

// A small chip with pins on both sides and a "V" on it.
QPixmap programIcon()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xB0, 0xB0, 0xB0));
    for (int i = 0; i < 4; ++i) {
        p.drawRect(3, 6 + i * 6, 5, 3);
        p.drawRect(24, 6 + i * 6, 5, 3);
    }
    p.setBrush(QColor(0x30, 0x30, 0x38));
    p.drawRoundedRect(7, 3, 18, 26, 2, 2);
    p.setPen(QPen(QColor(0xF0, 0xC0, 0x30), 2.5));
    p.drawLine(11, 10, 16, 23);
    p.drawLine(16, 23, 21, 10);
    return pm;
}

}  // namespace

// The box as the version query sees it: its time limit is the box's Timer1.
class frmAbout::Host : public ExchangeHost {
public:
    explicit Host(frmAbout *w) : w_(w) {}
    messages::Button show(const messages::Message &m) override { return gui::Show(m); }
    void armTimeout(int ms) override
    {
        if (!w_) return;
        w_->WaitingFlag = 1;
        w_->Timer1->setInterval(ms);
    }
    void disarmTimeout() override {}
    bool cancelled() const override { return !w_; }

private:
    QPointer<frmAbout> w_;
};

frmAbout::frmAbout(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(tr("VELTRAライタ"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(4680 / 15, 2310 / 15);

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(12, 12, 32, 32);
    Picture1->setPixmap(programIcon());
    Label1 = new QLabel(messages::kMainCaption, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont fixed(QStringLiteral("ＭＳ ゴシック"));  // untranslated: a font family
    fixed.setStyleHint(QFont::Monospace);
    Label1->setFont(fixed);
    Label1->setGeometry(56, 8, 248, 56);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2 = new QLabel(QStringLiteral("Label2"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(56, 68, 248, 18);
    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    Line1->setGeometry(12, 92, 288, 4);
    Label3 = new QLabel(tr("シリアルポートを搭載したパソコンでご利用ください"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(12, 100, 288, 18);
    Command1 = new QPushButton(QStringLiteral("&O K"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(220, 122, 80, 26);
    Command1->setDefault(true);
    Timer1 = new WindowTimer(0, true, this);

    connect(Command1, &QPushButton::clicked, this, &frmAbout::Command1_Click);
    connect(Timer1, &WindowTimer::Timer, this, &frmAbout::Timer1_Timer);
}

void frmAbout::Form_Load()
{
    const QString crlf = QStringLiteral("\r\n");
    Label1->setText(messages::kMainCaption + crlf + about::versionLine(about::kMajor, about::kMinor) + crlf
                    + QStringLiteral("  (C) veltraw project"));
    Label2->setText(tr("このソフトはVELTRA2用PICライタです"));
    ProgrammerLink *link = gui::Link();
    if (!link) return;
    // While another window talks to the writer, an "@" would break into its exchange; the box
    // then shows its default message line, as when the writer does not answer.
    LinkSession session(*link, "frmAbout");
    if (!session.held()) return;
    QPointer<frmAbout> self(this);
    Host host(this);
    activeHost_ = &host;
    const about::VersionResult r = about::queryFirmwareVersion(*link, host);
    if (!self) return;
    activeHost_ = nullptr;
    if (r.outcome == Outcome::Done) Label2->setText(r.text);
}

void frmAbout::Timer1_Timer()
{
    WaitingFlag = 0;
    Timer1->setInterval(0);
    if (activeHost_) activeHost_->expire();
}

void frmAbout::Command1_Click() { accept(); }
