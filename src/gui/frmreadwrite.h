// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The operation dialog: asks, then runs program write, read or erase; also the progress window
// of the link check.

#include "core/formats/configword.h"
#include "core/protocol/host.h"
#include "core/protocol/verify.h"
#include "gui/windowexchange.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

class WindowTimer;

class frmReadWrite : public QDialog {
    Q_OBJECT
public:
    // The operation's caption, as the code compares it: the window shows its translation.
    inline static const QString kWriteCaption = QStringLiteral(QT_TR_NOOP("VELTRA2   Write"));
    inline static const QString kReadCaption = QStringLiteral(QT_TR_NOOP("VELTRA2   Read"));
    inline static const QString kEraseCaption = QStringLiteral(QT_TR_NOOP("VELTRA2   Erase"));
    inline static const QString kVerifyCaption = QStringLiteral(QT_TR_NOOP("VELTRA2   Verify"));
    inline static const QString kDesignCaption = QStringLiteral(QT_TR_NOOP("VELTRA2 Writer"));

    explicit frmReadWrite(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
    WindowTimer *Timer1 = nullptr;  // the reply time-out

    // The operation's caption as compared (one of the constants above), whatever the title shows.
    QString OperationCaption() const { return caption_; }
    // Sets the caption, the question and the file a write takes, and makes the buttons usable,
    // before a modal showing.
    void PrepareOperation(const QString &caption, const QString &question, const QString &hexFile = QString());
    QString HexFile;
    // The stored configuration word, which a verify expects where the file gives none.
    qint16 StoredConfigWord = configword::kDefaultWord;
    // Shows the dialog without blocking, as the link check's progress window.
    void ShowProgress();
    bool running() const { return exchange_.running(); }

    // The progress line: always current in Label1, drawn at a bounded rate.
    void setProgress(const QString &text);

    void cmdOK_Click();
    void cmdCancel_Click();
    void Timer1_Timer();

signals:
    // A read was saved to this HEX file.
    void hexSaved(const QString &path);
    // The dialog closed (by the user, or at the end of an operation or of the link check).
    void closed();

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    class Host;
    void Form_QueryUnload();
    void paintProgress();
    void setCaption(const QString &caption);
    QString caption_;
    void verifyProgram(ProgrammerLink &link, ExchangeHost &host, const memoryimage::Image &image);
    std::optional<verify::Report> verifyReport_;
    WindowExchange exchange_{this, "frmReadWrite"};
    Host *activeHost_ = nullptr;  // the running exchange's
    // The progress text is always current in Label1; the screen shows it at most this often.
    static constexpr int kProgressPaintMs = 100;
    QTimer progressPaint_;
    bool progressDeferred_ = false;
};

// The one operation dialog, created on first use and reused.
frmReadWrite *FrmReadWrite();
