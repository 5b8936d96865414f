// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmreadwrite.h"

#include "core/formats/memoryimage.h"
#include "core/protocol/programexchange.h"
#include "core/protocol/verify.h"
#include "core/settings/storedsettings.h"
#include "gui/dialogs.h"
#include "gui/frmconfig.h"
#include "gui/frmprogrammemory.h"
#include "gui/frmverify.h"
#include "gui/windows.h"
#include "gui/windowtimer.h"

#include <QCloseEvent>
#include <QFont>
#include <QPointer>

namespace {

// Words at 400h..1FFFh have nowhere to go in the PIC: rather than write or verify the file
// without them, it is refused before anything is sent.
bool refusedForMissingMemory(const memoryimage::Image &image, ExchangeHost &host)
{
    QStringList lines;
    for (const memoryimage::Issue &i : image.issues)
        if (i.problem == memoryimage::Problem::BeyondProgramMemory)
            lines << messages::outsideProgramMemoryLine(i.line, i.address, i.value);
    if (lines.isEmpty()) return false;
    host.show(messages::hexOutsideProgramMemory(lines));
    return true;
}

}  // namespace

// The operation dialog as its exchanges see it.
class frmReadWrite::Host : public ExchangeHost {
public:
    explicit Host(frmReadWrite *w) : w_(w) {}
    void progress(const QString &text) override
    {
        if (w_) w_->setProgress(text);
    }
    messages::Button show(const messages::Message &m) override { return gui::Show(m); }
    std::optional<QString> saveFileName(const SaveRequest &r) override
    {
        gui::FileRequest f;
        f.save = true;
        f.filter = r.filter;
        f.defaultSuffix = r.defaultSuffix;
        f.confirmOverwrite = true;
        f.presetName = r.proposedName;
        return gui::FileDialog(f);
    }
    bool confirmConfigWord(qint16 *word) override { return ConfirmConfigWord(word); }
    void armTimeout(int) override
    {
        if (w_) w_->Timer1->setEnabled(true);
    }
    void disarmTimeout() override
    {
        if (w_) w_->Timer1->setEnabled(false);
    }
    void closeWindow() override
    {
        if (w_) w_->exchange_.closeFromCode();
    }
    bool cancelled() const override { return !w_; }

private:
    QPointer<frmReadWrite> w_;
};

frmReadWrite::frmReadWrite(QWidget *parent) : QDialog(parent)
{
    setCaption(kDesignCaption);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(360, 120);
    Label1 = new QLabel(tr("VELTRA2オンボードプログラムライタと通信中"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(QFont(QStringLiteral("ＭＳ ゴシック")));  // untranslated: a font family
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
    Timer1 = new WindowTimer(program::kReplyTimeoutMs, false, this);
    progressPaint_.setSingleShot(true);
    progressPaint_.setInterval(kProgressPaintMs);
    connect(&progressPaint_, &QTimer::timeout, this, &frmReadWrite::paintProgress);
    connect(cmdOK, &QPushButton::clicked, this, &frmReadWrite::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmReadWrite::cmdCancel_Click);
    connect(Timer1, &WindowTimer::Timer, this, &frmReadWrite::Timer1_Timer);
}

void frmReadWrite::PrepareOperation(const QString &caption, const QString &question, const QString &hexFile)
{
    HexFile = hexFile;
    setCaption(caption);
    Label1->setText(question);
    cmdOK->setEnabled(true);
    cmdCancel->setEnabled(true);
    setModal(true);
}

void frmReadWrite::setCaption(const QString &caption)
{
    caption_ = caption;
    setWindowTitle(tr(caption.toUtf8().constData()));
}

void frmReadWrite::ShowProgress()
{
    setModal(false);
    show();
}

// The progress line changes with every word, hundreds of times a second, and drawing each
// text was most of our CPU time during a transfer. Label1 always holds the latest text; while
// a recent drawing is less than kProgressPaintMs old, the next one waits for the timer.
// Each drawing is done at once: one left to the event loop could come after the next text
// had turned updates off again, and the line then showed nothing at all.
void frmReadWrite::setProgress(const QString &text)
{
    if (progressPaint_.isActive()) {
        progressDeferred_ = true;
        Label1->setUpdatesEnabled(false);
        Label1->setText(text);
        return;
    }
    progressPaint_.start();
    Label1->setText(text);
    Label1->repaint();
}

void frmReadWrite::paintProgress()
{
    if (!progressDeferred_) return;
    progressDeferred_ = false;
    Label1->setUpdatesEnabled(true);
    Label1->repaint();  // the latest text
    progressPaint_.start();
}

void frmReadWrite::cmdOK_Click()
{
    const QString caption = OperationCaption();
    const bool ran = exchange_.run([this, &caption](ProgrammerLink &link) {
        QPointer<frmReadWrite> self(this);
        Host host(this);
        activeHost_ = &host;
        cmdOK->setEnabled(false);
        cmdCancel->setEnabled(false);
        memoryimage::Image image;
        if (caption == kWriteCaption || caption == kVerifyCaption) image = memoryimage::read(HexFile);
        if (refusedForMissingMemory(image, host)) {
            if (self) activeHost_ = nullptr;
            return;
        }
        if (caption == kWriteCaption) {
            // The writer has no command for ID words or the data EEPROM: the user is told they stayed out.
            const QString note = image.hasIdOrEeprom() ? messages::idEepromNotWritten() : QString();
            const program::WriteResult r = program::writeProgram(link, host, HexFile, settings::stored().ConfigWord, note);
            settings::stored().ConfigWord = r.configWord;
            programmemory::forgetPic();
        } else if (caption == kReadCaption) {
            const program::ReadResult r = program::readProgram(link, host);
            programmemory::rememberPic(r.words, tr("読出し"));
            if (!r.savedTo.isEmpty() && self) emit hexSaved(r.savedTo);
        } else if (caption == kEraseCaption) {
            program::eraseProgram(link, host);
            programmemory::forgetPic();
        } else if (caption == kVerifyCaption) {
            verifyProgram(link, host, image);
        }
        if (self) activeHost_ = nullptr;
    });
    if (ran) exchange_.closeFromCode();
    if (ran && verifyReport_) {
        // The differences outlast the operation dialog: the user reads, copies or saves them.
        const verify::Report report = *verifyReport_;
        verifyReport_.reset();
        frmVerify list(report, HexFile, MainWindow());
        gui::ShowModal(&list);
    }
}

void frmReadWrite::verifyProgram(ProgrammerLink &link, ExchangeHost &host, const memoryimage::Image &image)
{
    const qint16 word = image.configWord ? *image.configWord : StoredConfigWord;
    const verify::Result r = verify::verifyProgram(link, host, image, int(word));
    // Nothing was sent when the file stopped it: the PIC kept from before is still the PIC.
    if (r.outcome != Outcome::FileError) programmemory::rememberPic(r.words, tr("照合"));
    if (r.outcome != Outcome::Done) return;  // its message has been shown
    if (r.report.programUnverifiable) {
        host.show(messages::verifyProtected());
        return;
    }
    if (!r.report.differs()) {
        host.show(messages::verifyPassed(r.report.programCompared, r.report.configCompared, r.report.eepromCompared));
        return;
    }
    verifyReport_ = r.report;
}

void frmReadWrite::cmdCancel_Click() { exchange_.closeFromCode(); }

void frmReadWrite::Timer1_Timer()
{
    Timer1->setEnabled(false);
    if (activeHost_) activeHost_->expire();
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
    if (exchange_.running() && !exchange_.closingFromCode()) {
        event->ignore();
        return;
    }
    Form_QueryUnload();
    event->accept();
}

void frmReadWrite::Form_QueryUnload()
{
    Timer1->setEnabled(false);
    // Nothing of an operation stays with the dialog: the next showing starts from its design.
    setCaption(kDesignCaption);
    emit closed();
}

frmReadWrite *FrmReadWrite()
{
    static QPointer<frmReadWrite> instance;
    if (!instance) {
        instance = new frmReadWrite(MainWindow());
        RegisterForm(instance);
    }
    return instance;
}
