// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmdiagnosis.h"

#include "core/diagnosis/udevrule.h"
#include "core/link/portnaming.h"
#include "core/link/programmerlink.h"
#include "core/settings/storedsettings.h"
#include "gui/dialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {
QString g_root = QStringLiteral("/");

// Rows as tall as their wrapped text: the view's own estimate takes the lines of a Japanese
// text for the Latin font's, and the last line is cut off.
class WrappingDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const auto *view = qobject_cast<const QTableView *>(option.widget);
        const int width = view ? view->columnWidth(index.column()) - 8 : option.rect.width();
        if (width <= 0) return size;
        const QRect text = option.fontMetrics.boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap, index.data().toString());
        size.setHeight(std::max(size.height(), text.height() + option.fontMetrics.height() / 2 + 4));
        return size;
    }
};

QIcon statusIcon(diagnosis::Status s)
{
    QStyle *style = QApplication::style();
    switch (s) {
    case diagnosis::Status::Ok: return style->standardIcon(QStyle::SP_DialogApplyButton);
    case diagnosis::Status::Warn: return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case diagnosis::Status::Fail: return style->standardIcon(QStyle::SP_MessageBoxCritical);
    }
    return QIcon();
}
}  // namespace

void FrmDiagnosis::setSystemRoot(const QString &root) { g_root = root; }

FrmDiagnosis::FrmDiagnosis(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(tr("接続診断"));
    Heading = new QLabel(this);
    Heading->setWordWrap(true);
    List = new QTableWidget(0, 4, this);
    List->setHorizontalHeaderLabels({tr("状態"), tr("項目"), tr("内容"), tr("対処")});
    List->verticalHeader()->hide();
    List->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List->setSelectionBehavior(QAbstractItemView::SelectRows);
    List->setWordWrap(true);
    List->setTextElideMode(Qt::ElideNone);
    List->setItemDelegate(new WrappingDelegate(List));
    List->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    List->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    List->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    List->horizontalHeader()->setSectionResizeMode(3, QHeaderView::Stretch);
    // Wrapped texts take the height the columns' widths give them.
    List->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    CopyButton = new QPushButton(tr("報告をコピー(&C)"), this);
    RuleButton = new QPushButton(tr("udev 規則(&U)..."), this);
    CloseButton = new QPushButton(tr("閉じる"), this);
    CloseButton->setDefault(true);
    connect(CopyButton, &QPushButton::clicked, this, &FrmDiagnosis::CopyReport);
    connect(RuleButton, &QPushButton::clicked, this, &FrmDiagnosis::ShowUdevRule);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::close);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(CopyButton);
    buttons->addWidget(RuleButton);
    buttons->addStretch();
    buttons->addWidget(CloseButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Heading);
    layout->addWidget(List, 1);
    layout->addLayout(buttons);
    resize(860, 440);

    // The main window's port: the one its link has open, else the stored COM number's device.
    ProgrammerLink *link = gui::Link();
    if (link && link->isOpen()) {
        device_ = link->deviceName();
    } else if (settings::stored().CommPortNumber >= 1) {
        device_ = portnaming::deviceFor(settings::stored().CommPortNumber, settings::stored().IniFilePath, QDir::homePath()).device;
    } else {
        chooseError_ = tr("通信ポートが選ばれていません。通信設定でポートを選んでください。");
    }
    Heading->setText(device_.isEmpty() ? chooseError_ : tr("%1 から PIC までを順に調べます。").arg(device_));
    CopyButton->setEnabled(false);
    RuleButton->setEnabled(false);
}

FrmDiagnosis::~FrmDiagnosis() = default;

void FrmDiagnosis::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    // Once on screen; a caller that ran the checks already keeps its run.
    if (!started_) QTimer::singleShot(0, this, [this] {
        if (!started_) RunChecks();
    });
}

void FrmDiagnosis::closeEvent(QCloseEvent *e)
{
    // The run unwinds first (its waits end at once); the window closes after it.
    if (running_) {
        closeWanted_ = true;
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

void FrmDiagnosis::reject()
{
    if (running_) {
        closeWanted_ = true;
        return;
    }
    QDialog::reject();
}

void FrmDiagnosis::addRow(const diagnosis::Check &c)
{
    const int row = List->rowCount();
    List->insertRow(row);
    auto *status = new QTableWidgetItem(statusIcon(c.status), diagnosis::statusLabel(c.status));
    status->setData(Qt::UserRole, QLatin1String(diagnosis::statusName(c.status)));
    List->setItem(row, 0, status);
    List->setItem(row, 1, new QTableWidgetItem(diagnosis::checkLabel(c.name)));
    List->setItem(row, 2, new QTableWidgetItem(c.detail));
    List->setItem(row, 3, new QTableWidgetItem(c.status == diagnosis::Status::Ok ? QString() : c.remedy));
}

void FrmDiagnosis::RunChecks()
{
    if (running_) return;
    running_ = true;
    started_ = true;
    checks_.clear();
    List->setRowCount(0);
    CopyButton->setEnabled(false);
    RuleButton->setEnabled(false);
    Heading->setText(device_.isEmpty() ? chooseError_ : tr("%1 を診断しています...").arg(device_));

    diagnosis::Request request;
    request.device = device_;
    request.chooseError = chooseError_;
    request.root = g_root;
    request.sharedLink = gui::Link();
    diagnosis::Runner runner(request);
    runner.onCheck = [this](const diagnosis::Check &c) {
        checks_ << c;
        addRow(c);
    };
    runner.cancelled = [this] { return closeWanted_; };
    runner.run();
    adapter_ = runner.device();
    running_ = false;

    int fails = 0, warns = 0;
    for (const diagnosis::Check &c : checks_) {
        if (c.status == diagnosis::Status::Fail) ++fails;
        if (c.status == diagnosis::Status::Warn) ++warns;
    }
    // Without a port the heading stays the request to choose one (the device check says so too).
    if (device_.isEmpty()) Heading->setText(chooseError_);
    else Heading->setText(fails ? tr("%1: 問題が見つかりました。「対処」の欄を上から順に試してください。").arg(device_)
                     : warns ? tr("%1: 使えますが、注意する点があります。").arg(device_)
                             : tr("%1: PIC まで正常につながっています。").arg(device_));
    CopyButton->setEnabled(true);
    RuleButton->setEnabled(adapter_.usb);
    if (closeWanted_) QTimer::singleShot(0, this, &QDialog::reject);
}

void FrmDiagnosis::CopyReport()
{
    QApplication::clipboard()->setText(diagnosis::report(checks_, device_));
}

void FrmDiagnosis::ShowUdevRule()
{
    QString why;
    const QString rule = diagnosis::udevRule(adapter_, &why);
    if (rule.isEmpty()) {
        gui::Message m;
        m.title = windowTitle();
        m.text = why;
        m.icon = gui::Icon::Information;
        gui::MsgBox(m);
        return;
    }
    QDialog dialog(this);
    dialog.setWindowTitle(tr("udev 規則"));
    auto *intro = new QLabel(tr("この規則を %1 に保存すると、ログイン中のユーザーがアダプタを開けるようになり、"
                                            "ModemManager が触れなくなり、%2 という名前がつきます。端末で次のコマンドを実行してください。")
                                 .arg(QLatin1String(diagnosis::kUdevRulePath), diagnosis::udevLinkName(adapter_)),
                             &dialog);
    intro->setWordWrap(true);
    auto *text = new QPlainTextEdit(&dialog);
    text->setObjectName(QStringLiteral("ruleText"));
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    const QString command = diagnosis::udevInstallCommand(
        QStringLiteral("veltraw-cli doctor -p %1 --udev-rule").arg(adapter_.byId.value(0, adapter_.device)));
    text->setPlainText(rule + tr("\n# 保存と読み込み直し:\n# ") + command);
    auto *copy = new QPushButton(tr("コマンドをコピー(&C)"), &dialog);
    auto *close = new QPushButton(tr("閉じる"), &dialog);
    close->setDefault(true);
    connect(copy, &QPushButton::clicked, &dialog, [command] { QApplication::clipboard()->setText(command); });
    connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(copy);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(intro);
    layout->addWidget(text, 1);
    layout->addLayout(buttons);
    dialog.resize(760, 300);
    gui::ShowModal(&dialog);
}
