// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/manualviewer.h"

#include "core/messages.h"
#include "gui/dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

ManualViewer::ManualViewer(const QString &indexPath, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ManualViewer"));
    setWindowTitle(tr("ヘルプ - %1").arg(messages::kMainCaption));
    setAttribute(Qt::WA_DeleteOnClose);
    // A window of its own beside the main window, to read while working.
    setWindowFlags(Qt::Window);
    resize(820, 640);

    Browser = new QTextBrowser(this);
    Browser->setObjectName(QStringLiteral("Browser"));
    // Every link comes here: pages of the manual stay in the viewer, the rest goes to the browser.
    Browser->setOpenLinks(false);
    connect(Browser, &QTextBrowser::anchorClicked, this, &ManualViewer::followLink);
    Browser->setSource(QUrl::fromLocalFile(indexPath));

    BackCommand = new QPushButton(tr("戻る(&K)"), this);
    BackCommand->setEnabled(false);
    connect(BackCommand, &QPushButton::clicked, Browser, &QTextBrowser::backward);
    connect(Browser, &QTextBrowser::backwardAvailable, BackCommand, &QPushButton::setEnabled);
    BrowserCommand = new QPushButton(tr("ブラウザで開く(&B)"), this);
    connect(BrowserCommand, &QPushButton::clicked, this, &ManualViewer::BrowserCommand_Click);
    CloseCommand = new QPushButton(tr("閉じる(&C)"), this);
    connect(CloseCommand, &QPushButton::clicked, this, &QDialog::close);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(BackCommand);
    buttons->addStretch();
    buttons->addWidget(BrowserCommand);
    buttons->addWidget(CloseCommand);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Browser);
    layout->addLayout(buttons);
}

void ManualViewer::BrowserCommand_Click()
{
    // The file without the section: some browsers do not take a fragment on a file URL.
    const QString path = Browser->source().toLocalFile();
    if (!gui::OpenUrl(QUrl::fromLocalFile(path))) gui::Show(messages::browserFailed(QDir::toNativeSeparators(path)));
}

void ManualViewer::followLink(const QUrl &link)
{
    const QUrl url = Browser->source().resolved(link);
    if (url.isLocalFile()) {
        Browser->setSource(url);
        return;
    }
    if (!gui::OpenUrl(url)) gui::Show(messages::browserFailed(url.toString()));
}

namespace {
QString g_manualLocation;
}

void ManualViewer::setManualLocation(const QString &indexPath) { g_manualLocation = indexPath; }

QString ManualViewer::manualPath()
{
    if (!g_manualLocation.isEmpty()) return g_manualLocation;
    return manualIndex(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/veltraw/manual"), i18n::current());
}

QString ManualViewer::manualIndex(const QString &folder, i18n::Language language)
{
    const QString page = language == i18n::Language::English ? QStringLiteral("/en/index.html") : QStringLiteral("/index.html");
    return QDir::cleanPath(folder + page);
}

void ManualViewer::showFor(QWidget *owner)
{
    ManualViewer *viewer = nullptr;
    // One viewer; one that was just closed is on its way out.
    for (ManualViewer *v : owner->findChildren<ManualViewer *>(QString(), Qt::FindDirectChildrenOnly))
        if (v->isVisible()) viewer = v;
    if (!viewer) {
        const QString path = manualPath();
        if (!QFileInfo(path).isFile()) {
            gui::Show(messages::manualMissing(QDir::toNativeSeparators(path)));
            return;
        }
        viewer = new ManualViewer(path, owner);
    }
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
}
