// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frminput.h"

#include "core/formats/eepromtext.h"
#include "core/protocol/eepromexchange.h"
#include "gui/dialogs.h"
#include "gui/windowtimer.h"

#include <QKeyEvent>
#include <QPointer>

namespace {
QRect tw(int l, int t, int w, int h) { return QRect(l / 15, t / 15, w / 15, h / 15); }
}  // namespace

// The dialog as the byte write sees it; harmless if the dialog goes away meanwhile.
class EntryAdapter : public eeprom::EntryHost {
public:
    explicit EntryAdapter(frmInput *w) : w_(w) {}
    void progress(const QString &text) override
    {
        if (w_) w_->Label3->setText(text);
    }
    messages::Button show(const messages::Message &m) override { return gui::Show(m); }
    void setButtonsEnabled(bool on) override
    {
        if (!w_) return;
        w_->cmdWrite->setEnabled(on);
        w_->cmdClose->setEnabled(on);
    }
    void byteSent() override
    {
        if (w_) w_->EepromWritten = 1;
    }
    void armTimeout(int) override
    {
        // Each wait gets the timer's full period, however long the dialog stood open before.
        if (!w_) return;
        w_->Timer1->setEnabled(false);
        w_->Timer1->setEnabled(true);
    }
    void disarmTimeout() override
    {
        if (w_) w_->Timer1->setEnabled(false);
    }
    // The pause after a write runs on the dialog's timer.
    void pause(int ms) override
    {
        if (!w_) return;
        w_->WritePause = 1;
        w_->Timer1->setInterval(ms);
        w_->Timer1->setEnabled(true);
        while (w_ && w_->WritePause == 1 && !cancelled()) waitForEvents();
    }
    bool cancelled() const override { return !w_ || w_->abandoned_; }

private:
    QPointer<frmInput> w_;
};

frmInput::frmInput(int row, int column, const QString &cellText, QWidget *parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("Data Input"));
    setFixedSize(2325 / 15, 1155 / 15);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(tw(120, 120, 975, 255));
    Label2 = new QLabel(QStringLiteral("Hex"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(tw(1080, 120, 375, 255));
    Data1 = new QLineEdit(this);
    Data1->setObjectName(QStringLiteral("Data1"));
    Data1->setGeometry(tw(1440, 105, 495, 390));
    Label3 = new QLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(tw(240, 360, 855, 255));
    cmdWrite = new QPushButton(QStringLiteral("&Write"), this);
    cmdWrite->setObjectName(QStringLiteral("cmdWrite"));
    cmdWrite->setGeometry(tw(360, 600, 735, 375));
    cmdWrite->setDefault(true);
    cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setGeometry(tw(1320, 600, 735, 375));
    Timer1 = new WindowTimer(eeprom::kEntryTimeoutMs, true, this);

    QWidget::setTabOrder(Data1, cmdWrite);
    QWidget::setTabOrder(cmdWrite, cmdClose);

    connect(cmdWrite, &QPushButton::clicked, this, &frmInput::cmdWrite_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmInput::cmdClose_Click);
    connect(Timer1, &WindowTimer::Timer, this, &frmInput::Timer1_Timer);
    Data1->installEventFilter(this);

    Form_Load(row, column, cellText);
}

frmInput::~frmInput() = default;

void frmInput::Form_Load(int row, int column, const QString &cellText)
{
    EepromWritten = 0;
    Data1->setText(cellText);
    EepromAddress = qint16(eepromtext::cellAddress(row, column));
    // A header cell stands for no byte (a row header would otherwise name the byte before
    // its row): the dialog is not shown and nothing is sent.
    if (!eepromtext::isDataCell(row, column) || EepromAddress < 0 || EepromAddress >= eepromtext::kBytes) {
        Timer1->setEnabled(false);
        loaded_ = false;
        return;
    }
    Label1->setText(eepromtext::addressLabel(EepromAddress));
    Label3->setText(QString());
    Data1->setSelection(0, int(Data1->text().size()));
    Data1->setFocus();
    loaded_ = true;
}

void frmInput::cmdWrite_Click()
{
    if (abandoned_) return;
    Outcome outcome = Outcome::Cancelled;
    const bool ran = exchange_.run([this, &outcome](ProgrammerLink &link) {
        QPointer<frmInput> self(this);
        EntryAdapter host(this);
        activeHost_ = &host;
        outcome = eeprom::writeEepromByte(link, host, EepromAddress, Data1->text());
        if (self) activeHost_ = nullptr;
    });
    if (!ran) return;
    Timer1->setEnabled(false);
    if (abandoned_) return;  // already closed
    if (outcome == Outcome::Done) accept();
}

void frmInput::Timer1_Timer()
{
    WritePause = 0;
    // Only our own wait is ours to end; another window's wait is left alone.
    if (activeHost_) activeHost_->expire();
    Timer1->setEnabled(false);
    Timer1->setInterval(1000);
}

void frmInput::abandon()
{
    abandoned_ = true;
    Timer1->setEnabled(false);
    WritePause = 0;
}

void frmInput::reject()
{
    // Escape, the close box and "&Close" all end here. A write under way is abandoned: its
    // wait ends now and nothing more is sent.
    if (exchange_.running()) abandon();
    QDialog::reject();
}

bool frmInput::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == Data1 && e->type() == QEvent::KeyPress) {
        const auto *k = static_cast<QKeyEvent *>(e);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            // The write itself starts through the default button.
            cmdWrite->setFocus();
            return false;
        }
        if (k->key() == Qt::Key_Escape) {
            reject();
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}
