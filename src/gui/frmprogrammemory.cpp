// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmprogrammemory.h"

#include "core/formats/hexexport.h"
#include "core/messages.h"
#include "core/platform.h"
#include "core/settings/storedsettings.h"
#include "gui/dialogs.h"
#include "gui/windows.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPointer>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace {
QPointer<frmProgramMemory> g_window;  // the one the menu opens
}  // namespace

namespace programmemory {

namespace {
struct Kept {
    QVector<quint16> words;
    QString how;
    QDateTime when;
};
Kept &kept()
{
    static Kept k;
    return k;
}
}  // namespace

void rememberPic(const QVector<quint16> &words, const QString &how)
{
    if (!listing::fromRead(words).present) return forgetPic();
    kept() = {words, how, QDateTime::currentDateTime()};
    if (g_window && g_window->isVisible()) g_window->reload();
}

void forgetPic()
{
    kept() = {};
    // An open window must not go on showing what the PIC no longer holds.
    if (g_window && g_window->isVisible()) g_window->reload();
}
bool picAtHand() { return !kept().words.isEmpty(); }

}  // namespace programmemory

namespace {

const QColor kDifferent(255, 214, 214);
constexpr int kMaxIssueLines = 4;

QString sourceOfFile(const QString &path) { return frmProgramMemory::tr("ファイル: ") + path; }

// "1A", "001Ah", "0x1a": the address, or -1.
int parseAddress(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^(?:0[xX])?([0-9A-Fa-f]{1,4})[hH]?$"));
    const auto m = form.match(text.trimmed());
    return m.hasMatch() ? m.captured(1).toInt(nullptr, 16) : -1;
}

}  // namespace

frmProgramMemory::frmProgramMemory(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmProgramMemory"));
    setWindowTitle(tr("プログラムメモリ"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint);
    resize(760, 520);

    auto label = [this](const char *name) {
        auto *l = new QLabel(this);
        l->setObjectName(QLatin1String(name));
        l->setTextFormat(Qt::PlainText);
        l->setWordWrap(true);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return l;
    };
    Source = label("Source");
    Notes = label("Notes");

    Table = new QTableWidget(this);
    Table->setObjectName(QStringLiteral("Table"));
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setSelectionMode(QAbstractItemView::SingleSelection);
    Table->verticalHeader()->hide();
    Table->horizontalHeader()->setStretchLastSection(true);
    Table->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Table->setWordWrap(false);
    Table->verticalHeader()->setDefaultSectionSize(Table->fontMetrics().height() + 6);

    auto button = [this](const char *name, const QString &text) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    FindAddress = new QLineEdit(this);
    FindAddress->setObjectName(QStringLiteral("FindAddress"));
    FindAddress->setPlaceholderText(tr("アドレス（16進数）"));
    FindAddress->setMaximumWidth(140);
    cmdFind = button("cmdFind", tr("移動(&G)"));
    cmdPrevious = button("cmdPrevious", tr("前の違い(&P)"));
    cmdNext = button("cmdNext", tr("次の違い(&N)"));
    cmdCopy = button("cmdCopy", tr("テキストでコピー(&C)"));
    cmdSave = button("cmdSave", tr("リストを保存(&S)..."));
    cmdClose = button("cmdClose", tr("閉じる"));

    auto *find = new QHBoxLayout;
    find->addWidget(new QLabel(tr("アドレス:"), this));
    find->addWidget(FindAddress);
    find->addWidget(cmdFind);
    find->addSpacing(16);
    find->addWidget(cmdPrevious);
    find->addWidget(cmdNext);
    find->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCopy);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Source);
    layout->addWidget(Notes);
    layout->addLayout(find);
    layout->addWidget(Table, 1);
    layout->addLayout(buttons);

    connect(cmdFind, &QPushButton::clicked, this, &frmProgramMemory::cmdFind_Click);
    connect(FindAddress, &QLineEdit::returnPressed, this, &frmProgramMemory::cmdFind_Click);
    connect(cmdPrevious, &QPushButton::clicked, this, &frmProgramMemory::cmdPrevious_Click);
    connect(cmdNext, &QPushButton::clicked, this, &frmProgramMemory::cmdNext_Click);
    connect(cmdCopy, &QPushButton::clicked, this, &frmProgramMemory::cmdCopy_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmProgramMemory::cmdSave_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
}

bool frmProgramMemory::load(const QString &hexFile, bool quiet)
{
    hexFile_ = hexFile;
    file_ = listing::Image();
    pic_ = listing::Image();
    QStringList sources;
    QStringList notes;
    if (!hexFile.isEmpty()) {
        const memoryimage::Image img = platform::isRegularFile(hexFile) ? memoryimage::read(hexFile) : memoryimage::Image();
        if (img.opened) {
            file_ = listing::fromFile(img, settings::stored().ConfigWord);
            sources << sourceOfFile(hexFile);
            int told = 0;
            for (const memoryimage::Issue &i : img.issues) {
                if (told++ < kMaxIssueLines) notes << tr("%1 行目: %2").arg(i.line).arg(memoryimage::problemText(i));
            }
            if (told > kMaxIssueLines) notes << tr("ほかに %1 件の注意があります").arg(told - kMaxIssueLines);
        } else {
            notes << sourceOfFile(hexFile) + tr("（開けないので表示していません）");
        }
    }
    const programmemory::Kept &k = programmemory::kept();
    if (programmemory::picAtHand()) {
        pic_ = listing::fromRead(k.words);
        sources << tr("PIC (%1 に%2)").arg(k.when.toString(QStringLiteral("HH:mm")), k.how);
    }
    if (!file_.present && !pic_.present) {
        if (!quiet) gui::Show(messages::programMemoryNothing());
        return false;
    }
    listing_ = listing::build(file_, pic_);
    if (file_.present && pic_.present) {
        if (listing_.unverifiable) notes.prepend(tr("コードプロテクトがONなので、プログラムメモリは比較していません"));
        else if (listing_.differences == 0) notes.prepend(tr("ファイルとPICの内容は一致しています"));
        else notes.prepend(tr("ファイルとPICで違うところ: %1 か所（色の付いた行）").arg(listing_.differences));
    }
    Source->setText(sources.join(QLatin1Char('\n')));
    Notes->setText(notes.join(QLatin1Char('\n')));
    Notes->setVisible(!notes.isEmpty());
    cmdPrevious->setEnabled(listing_.differences > 0);
    cmdNext->setEnabled(listing_.differences > 0);
    fill();
    return true;
}

void frmProgramMemory::fill()
{
    const bool both = file_.present && pic_.present;
    QStringList headers{tr("アドレス")};
    if (both) headers << tr("ファイル") << tr("逆アセンブル") << QStringLiteral("PIC") << tr("逆アセンブル");
    else headers << tr("ワード") << tr("逆アセンブル");
    Table->clear();
    Table->setColumnCount(int(headers.size()));
    Table->setHorizontalHeaderLabels(headers);
    Table->setRowCount(int(listing_.rows.size()));
    Table->setUpdatesEnabled(false);
    auto word = [](int w) { return w < 0 ? QStringLiteral("----") : QStringLiteral("%1").arg(w, 4, 16, QLatin1Char('0')).toUpper(); };
    for (int i = 0; i < listing_.rows.size(); ++i) {
        const listing::Row &r = listing_.rows[i];
        auto put = [&](int column, const QString &text) {
            auto *item = new QTableWidgetItem(text);
            item->setToolTip(text);
            if (r.differs) item->setBackground(kDifferent);
            Table->setItem(i, column, item);
        };
        put(0, listing::addressText(r));
        if (r.kind == listing::Row::Unused) {
            Table->setSpan(i, 0, 1, Table->columnCount());
            continue;
        }
        int column = 1;
        if (file_.present) {
            put(column++, word(r.file));
            put(column++, listing::describe(r, r.file, file_.configFromSettings));
        }
        if (pic_.present) {
            put(column++, word(r.pic));
            put(column++, listing::describe(r, r.pic));
        }
    }
    Table->resizeColumnsToContents();
    // The decoded configuration word is long: its column stays as wide as an instruction's
    // needs, room to spare, and the whole text is in the cell's tip.
    const int wide = Table->fontMetrics().horizontalAdvance(QStringLiteral("decfsz  0x7F, 0x1")) * 2;
    for (int c = 2; c < Table->columnCount(); c += 2)
        if (Table->columnWidth(c) > wide) Table->setColumnWidth(c, wide);
    Table->setUpdatesEnabled(true);
    if (Table->rowCount() > 0) Table->selectRow(0);
}

void frmProgramMemory::reload()
{
    const int row = Table->currentRow();
    const int address = row >= 0 && row < listing_.rows.size() ? listing_.rows[row].address : -1;
    if (!load(hexFile_, true)) {
        hide();
        return;
    }
    if (address >= 0) showAddress(address);
}

bool frmProgramMemory::showAddress(int address)
{
    const int row = listing_.rowOf(address);
    if (row < 0) return false;
    Table->selectRow(row);
    Table->scrollToItem(Table->item(row, 0), QAbstractItemView::PositionAtCenter);
    return true;
}

void frmProgramMemory::stepDifference(int direction)
{
    const int n = int(listing_.rows.size());
    if (n == 0 || listing_.differences == 0) return;
    const int current = Table->currentRow();
    for (int step = 1; step <= n; ++step) {
        // Past the last difference it wraps round, as a search does.
        const int row = ((current < 0 ? (direction > 0 ? -1 : 0) : current) + direction * step + 2 * n) % n;
        if (!listing_.rows[row].differs) continue;
        Table->selectRow(row);
        Table->scrollToItem(Table->item(row, 0), QAbstractItemView::PositionAtCenter);
        return;
    }
}

void frmProgramMemory::cmdFind_Click()
{
    const QString text = FindAddress->text().trimmed();
    if (text.isEmpty()) return;
    if (!showAddress(parseAddress(text))) gui::Show(messages::programMemoryNoAddress(text));
}

QString frmProgramMemory::listingText() const
{
    QString head = Source->text() + QLatin1Char('\n');
    if (!Notes->text().isEmpty()) head += Notes->text() + QLatin1Char('\n');
    return head + QLatin1Char('\n') + listing::text(listing_, file_, pic_);
}

void frmProgramMemory::cmdCopy_Click() { QApplication::clipboard()->setText(listingText()); }

void frmProgramMemory::cmdSave_Click()
{
    gui::FileRequest r;
    r.save = true;
    r.filter = gui::textFileFilter();
    r.defaultSuffix = QStringLiteral("txt");
    r.confirmOverwrite = true;
    const QString base = file_.present ? hexFile_ : QStringLiteral("pic");
    r.presetName = (base.endsWith(QStringLiteral(".hex"), Qt::CaseInsensitive) ? base.chopped(4) : base) + QStringLiteral("-list.txt");
    const auto chosen = gui::FileDialog(r);
    if (!chosen) return;
    QString why;
    if (!hexexport::saveAtomically(*chosen, listingText().toUtf8(), &why))
        gui::Show(messages::readFileError(messages::saveFailed(*chosen, why)));
}

frmProgramMemory *FrmProgramMemory()
{
    if (!g_window) {
        g_window = new frmProgramMemory(MainWindow());
        RegisterForm(g_window);
    }
    return g_window;
}

void ShowProgramMemoryAt(QWidget *parent, const QString &hexFile, int address)
{
    frmProgramMemory w(parent);
    if (!w.load(hexFile)) return;
    w.setModal(true);
    if (address >= 0) {
        w.showAddress(address);
    } else {
        w.Table->setCurrentCell(-1, -1);  // the first difference, row 0 included
        w.cmdNext_Click();
    }
    gui::ShowModal(&w);
}
