#include "eeprom/frmeepromwrite.h"

#include <QFontMetrics>

#include "app/forms.h"
#include "app/formmain.h"
#include "app/module1.h"
#include "eeprom/datafile.h"
#include "link/programmerlink.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

using namespace Module1;

namespace {

const QString kAgain = QStringLiteral("\r\nもう一度操作してください。");
const QString kNoPower = QStringLiteral("PICマイコンボードの電源が入っていません。") + kAgain;
const QString kCommFailure = QStringLiteral("ライタとの通信に失敗しました。") + kAgain;
const QString kNoFile = QStringLiteral("指定したファイルが存在しないので書込みができません。") + kAgain;
const QString kUnreadable = QStringLiteral("データファイルを読み込めないので書込みができません。") + kAgain;
const QString kLinkBusy = QStringLiteral("ほかの画面がライタと通信中です。\r\n通信が終わってからもう一度操作してください。");

}  // namespace

void WriteDataFile(ProgrammerLink &link, DataFileWriteContext *context, const QString &path)
{
    QPointer<DataFileWriteContext> ctx(context);
    auto gone = [&ctx] { return !ctx || ctx->abandoned(); };
    auto closeWindow = [&ctx] {
        if (ctx) ctx->closeWindow();
    };

    link.clearInput();
    link.sendLetter('M');
    WaitForInput();
    if (gone()) return;
    QString reply = link.readText();
    if (reply == QLatin1String("?")) {
        link.sendLetter('S');
        MsgBox(kNoPower, Icon::Critical, kErrorTitle);
        closeWindow();
        return;
    }
    if (reply != QLatin1String("m")) {
        link.sendLetter('C');
        MsgBox(kCommFailure, Icon::Critical, kErrorTitle);
        closeWindow();
        return;
    }
    if (!FileExists(path)) {
        MsgBox(kNoFile, Icon::Critical, QStringLiteral("Veltraライタ"));
        closeWindow();
        return;
    }
    ctx->setProgress(QStringLiteral("書込み中"));
    const datafile::ReadResult data = datafile::ReadDataFile(path);
    if (!data.ok) {
        // Writing zeros in place of an unreadable file would be reported as a success.
        ErrorBox(kUnreadable, kErrorTitle, data.error);
        closeWindow();
        return;
    }

    // No address goes out: the writer stores the bytes at 0, 1, 2, ... in the order they come.
    int address = 0;
    for (const uint8_t b : data.bytes) {
        link.sendByte((b & 0x80) ? 0x81 : 0x80);
        link.sendByte(uint8_t(b | 0x80));
        WaitForInput();
        if (gone()) return;
        reply = link.readText();
        if (reply != QLatin1String("m") && reply != QLatin1String("a")) {
            link.sendLetter('C');
            // The write stopped part-way: the detail says how far it got.
            ErrorBox(kCommFailure, kErrorTitle,
                     QStringLiteral("アドレス %1h で止まりました（書込み済み %2 / %3 バイト）。")
                           .arg(QStringLiteral("%1").arg(address, 2, 16, QLatin1Char('0')).toUpper())
                           .arg(address)
                           .arg(datafile::kBytes));
            closeWindow();
            return;
        }
        ++address;
    }
    MsgBox(QStringLiteral("書込みが終了しました"), Icon::None, kProgramTitle);
    closeWindow();
}

// ---- the window ---------------------------------------------------------------------------

class frmEEPROMwrite::Context : public DataFileWriteContext {
public:
    explicit Context(frmEEPROMwrite *w) : DataFileWriteContext(w), w_(w) {}
    void setProgress(const QString &text) override { w_->Label1->setText(text); }
    bool abandoned() const override { return w_->closedByUser_; }
    void closeWindow() override { w_->closeFromCode(); }

private:
    frmEEPROMwrite *w_;
};

frmEEPROMwrite::frmEEPROMwrite(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("WriteEEPROM"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);
    setFixedSize(3465 / 15, 1305 / 15);

    Label1 = new QLabel(QStringLiteral("OKをクリックするとデータを書込みます"), this);
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
    context_ = new Context(this);

    connect(Command1, &QPushButton::clicked, this, &frmEEPROMwrite::Command1_Click);
    Form_Load();
}

void frmEEPROMwrite::Form_Load()
{
    // The main window's start-up shows it again when it ends, so both are on screen.
    if (FormMain *main = MainForm()) main->setVisible(false);
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    const QSize size = frameGeometry().size();
    move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
}

void frmEEPROMwrite::Command1_Click()
{
    if (running_ || unloaded_) return;
    ProgrammerLink *link = Module1::Link();
    if (!link) return;
    LinkSession session(*link, "frmEEPROMwrite");
    if (!session.held()) {
        // Nothing has started: the button stays usable for another try.
        MsgBox(kLinkBusy, Icon::Exclamation, kProgramTitle);
        return;
    }
    Command1->setEnabled(false);
    QPointer<frmEEPROMwrite> self(this);
    running_ = true;
    WriteDataFile(*link, context_, AppSettings.LaunchArgument);
    if (self) running_ = false;
}

void frmEEPROMwrite::reject()
{
    // Escape closes the window like its close box, and so ends the program.
    close();
}

void frmEEPROMwrite::closeFromCode()
{
    closingFromCode_ = true;
    close();
    closingFromCode_ = false;
}

void frmEEPROMwrite::closeEvent(QCloseEvent *e)
{
    e->accept();
    if (unloaded_) return;
    unloaded_ = true;
    if (running_ && !closingFromCode_) {
        // Closed during a wait: the write is abandoned and its wait must end.
        closedByUser_ = true;
        AppSettings.InputWaitFlag = 0;
    }
    Form_QueryUnload();
}

void frmEEPROMwrite::Form_QueryUnload()
{
    if (ProgrammerLink *link = Module1::Link()) link->close();
    if (FormMain *main = MainForm()) main->close();
    EndProgram();
}

frmEEPROMwrite *FrmEEPROMwrite()
{
    static QPointer<frmEEPROMwrite> instance;
    if (!instance) {
        instance = new frmEEPROMwrite(MainForm());
        RegisterForm(instance);
    }
    return instance;
}
