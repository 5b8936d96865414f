// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The manual, read inside the program: it needs no browser, and hands the page to one on request.

#include "core/i18n.h"

#include <QDialog>
#include <QString>

class QPushButton;
class QTextBrowser;
class QUrl;

class ManualViewer : public QDialog {
    Q_OBJECT
public:
    explicit ManualViewer(const QString &indexPath, QWidget *parent = nullptr);

    QTextBrowser *Browser = nullptr;
    QPushButton *BackCommand = nullptr;
    QPushButton *BrowserCommand = nullptr;
    QPushButton *CloseCommand = nullptr;

    void BrowserCommand_Click();

    // Where the manual's first page is: beside the program's data, wherever it was installed
    // (a build's share/ links it there too), in the language the program speaks, unless a test
    // placed it elsewhere.
    static QString manualPath();
    // The first page of the manual in `folder` for `language`: Japanese at its top, English in en/.
    static QString manualIndex(const QString &folder, i18n::Language language);
    static void setManualLocation(const QString &indexPath);
    // Shows the owner's viewer, opening it first if need be, or says why it cannot.
    static void showFor(QWidget *owner);

private:
    void followLink(const QUrl &link);
};
