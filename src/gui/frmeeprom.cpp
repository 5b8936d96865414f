// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmeeprom.h"

#include "core/formats/eepromtext.h"
#include "core/protocol/eepromexchange.h"
#include "gui/dialogs.h"
#include "gui/frminput.h"
#include "gui/windows.h"
#include "gui/windowtimer.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>

namespace {

// Positions are given in twips; 15 twips make one pixel.
QRect tw(int l, int t, int w, int h) { return QRect(l / 15, t / 15, w / 15, h / 15); }

QPointer<frmEPROM> g_view;

// Byte address to grid cell: the header row and column come first.
int rowOf(int address) { return 1 + address / 16; }
int columnOf(int address) { return 1 + address % 16; }

}  // namespace

// The view as its exchanges see it. It outlives nothing: if the window goes away during a
// wait, every call becomes a no-op and the exchange is told to stop.
class ViewAdapter : public eeprom::ViewHost {
public:
    explicit ViewAdapter(frmEPROM *w) : w_(w), keptRow_(w->Grid1->currentRow()), keptColumn_(w->Grid1->currentColumn()) {}
    void progress(const QString &text) override
    {
        if (w_) w_->Label2->setText(text);
    }
    messages::Button show(const messages::Message &m) override
    {
        // Every box but the erase question ends the exchange: the user reads it over the view
        // as the failure leaves it, not over "通信中" and the bytes of before.
        if (w_ && !(m.buttons & messages::Yes)) w_->settleView(readStarted, readCount);
        return gui::Show(m);
    }
    void setButtonsEnabled(bool on) override
    {
        if (!w_) return;
        w_->cmdRefresh->setEnabled(on);
        w_->cmdEraseAll->setEnabled(on);
    }
    void reading(int address) override
    {
        if (w_) w_->Grid1->setCurrentCell(rowOf(address), columnOf(address));
    }
    void readStarting() override
    {
        readStarted = true;
        readCount = 0;
    }
    void cellRead(int address, int value) override
    {
        readCount = address + 1;
        if (!w_) return;
        if (QTableWidgetItem *item = w_->Grid1->item(rowOf(address), columnOf(address)))
            item->setText(eepromtext::cellText(value));
    }
    void readEnded() override
    {
        // The cursor goes back where the user left it (a read from an erase keeps the one from
        // before the erase's own read).
        if (w_ && keptRow_ >= 0 && keptColumn_ >= 0) w_->Grid1->setCurrentCell(keptRow_, keptColumn_);
    }
    void armTimeout(int) override
    {
        if (w_) w_->Timer1->setEnabled(true);
    }
    void disarmTimeout() override
    {
        if (w_) w_->Timer1->setEnabled(false);
    }
    // The pause after an erase runs on the time-out timer, flagged so its end sends nothing.
    void pause(int ms) override
    {
        if (!w_) return;
        replyWait().begin();
        w_->ErasePause = 1;
        w_->Timer1->setInterval(ms);
        w_->Timer1->setEnabled(true);
        replyWait().forClock([this] { return cancelled(); });
        if (w_) w_->ErasePause = 0;
    }
    bool cancelled() const override { return !w_ || w_->exchange_.unloaded(); }

    // The last read: whether one began, and how many bytes it brought.
    bool readStarted = false;
    int readCount = 0;

private:
    QPointer<frmEPROM> w_;
    int keptRow_;
    int keptColumn_;
};

frmEPROM::frmEPROM(QWidget *parent) : QWidget(parent)
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("EEP-ROM"));
    setFixedSize(6975 / 15, 2145 / 15);
    buildControls();
    Form_Load();
}

frmEPROM::~frmEPROM()
{
    if (g_view == this) g_view = nullptr;
}

void frmEPROM::buildControls()
{
    Label1 = new QLabel(tr("EEP-ROMデータメモリエリア"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(tw(360, 120, 6375, 255));

    Grid1 = new QTableWidget(eepromtext::kRows, eepromtext::kColumns, this);
    Grid1->setObjectName(QStringLiteral("Grid1"));
    Grid1->setGeometry(tw(0, 360, 7095, 1215));

    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(tw(1440, 1800, 3135, 255));

    auto button = [this](const QString &text, const char *name, QRect r) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(r);
        b->setAutoDefault(false);
        b->setDefault(false);
        return b;
    };
    cmdEraseAll = button(QStringLiteral("&DATA Clear"), "cmdEraseAll", tw(240, 1680, 1215, 375));
    cmdRefresh = button(QStringLiteral("&Refresh"), "cmdRefresh", tw(4680, 1680, 975, 375));
    cmdClose = button(QStringLiteral("&Close"), "cmdClose", tw(5760, 1680, 1095, 375));

    Timer1 = new WindowTimer(eeprom::kViewTimeoutMs, false, this);

    QWidget::setTabOrder(Grid1, cmdClose);
    QWidget::setTabOrder(cmdClose, cmdEraseAll);
    QWidget::setTabOrder(cmdEraseAll, cmdRefresh);

    connect(cmdRefresh, &QPushButton::clicked, this, &frmEPROM::cmdRefresh_Click);
    connect(cmdEraseAll, &QPushButton::clicked, this, &frmEPROM::cmdEraseAll_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmEPROM::cmdClose_Click);
    connect(Timer1, &WindowTimer::Timer, this, &frmEPROM::Timer1_Timer);
    Grid1->installEventFilter(this);
    Grid1->viewport()->installEventFilter(this);
}

void frmEPROM::Form_Load()
{
    // Centred on the screen where it fits.
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->geometry();
        int left = x();
        int top = y();
        if (s.width() > width()) left = s.x() + s.width() / 2 - width() / 2;
        if (s.height() > height()) top = s.y() + s.height() / 2 - height() / 2;
        move(left, top);
    }

    // The grid: its header row and column are ordinary cells that cannot become current.
    Grid1->horizontalHeader()->hide();
    Grid1->verticalHeader()->hide();
    Grid1->horizontalHeader()->setMinimumSectionSize(1);
    Grid1->verticalHeader()->setMinimumSectionSize(1);
    Grid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid1->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    Grid1->setTabKeyNavigation(false);
    Grid1->setWordWrap(false);
    // Cells of 400 twips hold "+Fh" or " 30h" only without Qt's default padding and eliding.
    Grid1->setTextElideMode(Qt::ElideNone);
    Grid1->setStyleSheet(QStringLiteral("QTableWidget::item { padding: 0px; }"));
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));  // untranslated: a font family
    font.setPointSize(9);
    // Where that font is missing the fallback is often wider: take a smaller size of it until
    // the widest header fits its 400-twip column.
    while (font.pointSizeF() > 6 && QFontMetrics(font).horizontalAdvance(QStringLiteral(" 30h")) > 400 / 15 - 7)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    Grid1->setFont(font);
    for (int c = 0; c < eepromtext::kColumns; ++c) Grid1->setColumnWidth(c, 400 / 15);
    for (int r = 0; r < eepromtext::kRows; ++r) Grid1->setRowHeight(r, 240 / 15);

    for (int r = 0; r < eepromtext::kRows; ++r) {
        for (int c = 0; c < eepromtext::kColumns; ++c) {
            auto *item = new QTableWidgetItem;
            if (eepromtext::isDataCell(r, c)) {
                item->setText(QStringLiteral("*"));
                item->setTextAlignment(Qt::AlignCenter);
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            } else {
                if (r == 0 && c > 0) item->setText(eepromtext::columnHeader(c));
                if (c == 0 && r > 0) item->setText(eepromtext::rowHeader(r));
                item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
                item->setFlags(Qt::NoItemFlags);
                item->setBackground(palette().button());
                item->setForeground(palette().buttonText());
            }
            Grid1->setItem(r, c, item);
        }
    }
    Grid1->setCurrentCell(eepromtext::kRows - 1, eepromtext::kColumns - 1);
    Grid1->setFocus();

    EepromViewActivated = 0;
    Label2->setText(QString());
}

bool frmEPROM::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate) Form_Activate();
    return QWidget::event(e);
}

void frmEPROM::Form_Activate()
{
    if (EepromViewActivated != 0) return;
    EepromViewActivated = 1;
    // Read once the activation itself has been handled, not inside its delivery.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!exchange_.unloaded() && isVisible()) ReadEeprom();
        },
        Qt::QueuedConnection);
}

template <typename F>
void frmEPROM::runExchange(F &&exchange)
{
    // An exchange under way serves this request too.
    exchange_.run([this, &exchange](ProgrammerLink &link) {
        QPointer<frmEPROM> self(this);
        ViewAdapter host(this);
        activeHost_ = &host;
        exchange(link, host);
        if (!self) return;
        activeHost_ = nullptr;
        Timer1->setEnabled(false);
        ErasePause = 0;
        settleView(host.readStarted, host.readCount);
    });
}

void frmEPROM::settleView(bool readStarted, int readCount)
{
    Label2->setText(QString());
    // A cell the last read did not reach shows nothing rather than another board's byte.
    if (!readStarted) return;
    for (int address = readCount; address < eeprom::kBytes; ++address)
        if (QTableWidgetItem *item = Grid1->item(rowOf(address), columnOf(address))) item->setText(QString());
}

void frmEPROM::ReadEeprom()
{
    runExchange([](ProgrammerLink &link, eeprom::ViewHost &host) { eeprom::readEeprom(link, host); });
}

void frmEPROM::EraseEeprom()
{
    runExchange([](ProgrammerLink &link, eeprom::ViewHost &host) { eeprom::eraseEeprom(link, host); });
}

void frmEPROM::Grid1_DblClick()
{
    if (!cmdRefresh->isEnabled() || exchange_.running() || exchange_.unloaded()) return;
    const int row = Grid1->currentRow();
    const int column = Grid1->currentColumn();
    const QTableWidgetItem *item = Grid1->item(row, column);
    const QString cellText = item ? item->text() : QString();

    QPointer<frmEPROM> self(this);
    QPointer<frmInput> dialog = new frmInput(row, column, cellText, this);
    EntryWritten = 0;
    if (dialog->loaded()) {
        // Busy meanwhile: no second dialog, and an unload waits for the dialog.
        exchange_.hold([&dialog] { gui::ShowModal(dialog); });
        if (!self) {
            delete dialog.data();
            return;
        }
        if (dialog) EntryWritten = dialog->EepromWritten;
    }
    delete dialog.data();
    if (exchange_.unloaded()) return;
    if (EntryWritten == 1) ReadEeprom();
}

void frmEPROM::Grid1_KeyPress(int keyAscii)
{
    if (keyAscii == 13) Grid1_DblClick();
}

void frmEPROM::Timer1_Timer()
{
    Timer1->setEnabled(false);
    // The exchange makes the time-out's reaction ("C"), or ends its pause.
    if (activeHost_) activeHost_->expire();
    Timer1->setInterval(eeprom::kViewTimeoutMs);
}

bool frmEPROM::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == Grid1 && e->type() == QEvent::KeyPress) {
        const auto *k = static_cast<QKeyEvent *>(e);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            Grid1_KeyPress(13);
            return true;
        }
    }
    if (watched == Grid1->viewport() && e->type() == QEvent::MouseButtonDblClick) {
        // After the grid has handled the click that made the cell current.
        QMetaObject::invokeMethod(this, &frmEPROM::Grid1_DblClick, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, e);
}

void frmEPROM::closeEvent(QCloseEvent *e)
{
    // The close box unloads the window; the next showing loads it afresh.
    e->accept();
    const bool running = exchange_.running();
    if (!exchange_.unload(true)) return;
    if (g_view == this) g_view = nullptr;
    if (running) {
        // Abandon what is under way: its wait ends now and it sends nothing more. The window
        // goes once the exchange has unwound.
        Timer1->setEnabled(false);
        for (frmInput *input : findChildren<frmInput *>()) input->reject();
    }
}

frmEPROM *FrmEPROM()
{
    if (!g_view) {
        g_view = new frmEPROM(MainWindow());
        RegisterForm(g_view);
    }
    return g_view;
}

frmEPROM *LoadedFrmEPROM() { return g_view; }
