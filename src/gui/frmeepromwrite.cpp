// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmeepromwrite.h"

#include "core/protocol/datafileexchange.h"
#include "gui/dialogs.h"
#include "gui/windows.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

// The window as the data-file write sees it.
class frmEEPROMwrite::Host : public ExchangeHost {
public:
    explicit Host(frmEEPROMwrite *w) : w_(w) {}
    void progress(const QString &text) override
    {
        if (w_) w_->Label1->setText(text);
    }
    messages::Button show(const messages::Message &m) override { return gui::Show(m); }
    bool cancelled() const override { return !w_ || w_->exchange_.cancelled(); }

private:
    QPointer<frmEEPROMwrite> w_;
};

frmEEPROMwrite::frmEEPROMwrite(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("WriteEEPROM"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);
    setFixedSize(3465 / 15, 1305 / 15);

    Label1 = new QLabel(tr("OKをクリックするとデータを書込みます"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(4, 12, 3465 / 15 - 8, 20);
    Label1->setAlignment(Qt::AlignCenter);
    // The prompt is one line in a small window: take a smaller size of the font where the
    // system's font would not fit it.
    QFont f = Label1->font();
    while (f.pointSizeF() > 6 && QFontMetrics(f).horizontalAdvance(Label1->text()) > Label1->width())
        f.setPointSizeF(f.pointSizeF() - 0.5);
    Label1->setFont(f);
    Command1 = new QPushButton(QStringLiteral("O K"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(79, 46, 72, 28);
    Command1->setDefault(true);

    connect(Command1, &QPushButton::clicked, this, &frmEEPROMwrite::Command1_Click);
    Form_Load();
}

void frmEEPROMwrite::Form_Load()
{
    // The main window's start-up shows it again when it ends, so both are on screen.
    if (QWidget *main = MainWindow()) main->setVisible(false);
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    const QSize size = frameGeometry().size();
    move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
}

void frmEEPROMwrite::Command1_Click()
{
    if (exchange_.running() || exchange_.unloaded()) return;
    const QString path = DataFile;
    // Refused while another window holds the link: the button stays usable for another try.
    exchange_.run([this, &path](ProgrammerLink &link) {
        Command1->setEnabled(false);
        QPointer<frmEEPROMwrite> self(this);
        Host host(this);
        const datafilewrite::Result r = datafilewrite::writeDataFile(link, host, path);
        // However it ended, the window closes (and the program with it); a window the user
        // closed meanwhile has already gone.
        if (self && r.outcome != Outcome::Cancelled) exchange_.closeFromCode();
    });
}

void frmEEPROMwrite::reject()
{
    // Escape ends the program like the close box, but not while the bytes are being written:
    // a stray key must not leave the data EEPROM half written.
    if (exchange_.running()) return;
    close();
}

void frmEEPROMwrite::closeEvent(QCloseEvent *e)
{
    e->accept();
    // Closed during a wait: the write is abandoned and its wait ends.
    if (!exchange_.unload(false)) return;
    Form_QueryUnload();
}

void frmEEPROMwrite::Form_QueryUnload()
{
    if (ProgrammerLink *link = gui::Link()) link->close();
    if (QWidget *main = MainWindow()) main->close();
    gui::EndProgram();
}

frmEEPROMwrite *FrmEEPROMwrite()
{
    static QPointer<frmEEPROMwrite> instance;
    if (!instance) {
        instance = new frmEEPROMwrite(MainWindow());
        RegisterForm(instance);
    }
    return instance;
}
