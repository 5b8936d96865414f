#pragma once
// The operation dialog: runs program write, read and erase, and is the progress window of
// the link check.

#include "program/operationcontext.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

class VbTimer;

class frmReadWrite : public QDialog, public OperationContext {
    Q_OBJECT
public:
    inline static const QString kWriteCaption = QStringLiteral("VELTRA2   Write");
    inline static const QString kReadCaption = QStringLiteral("VELTRA2   Read");
    inline static const QString kEraseCaption = QStringLiteral("VELTRA2   Erase");

    explicit frmReadWrite(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
    VbTimer *Timer1 = nullptr;

    QString OperationCaption() const { return windowTitle(); }
    // Sets the caption and the question and makes the buttons usable, before a modal showing.
    void PrepareOperation(const QString &caption, const QString &question);
    // Shows the dialog without blocking, as the link check's progress window.
    void ShowProgress();
    bool running() const { return running_; }

    void cmdOK_Click();
    void cmdCancel_Click();
    void Timer1_Timer();

    // OperationContext
    void setProgress(const QString &text) override;
    void armTimeout() override;
    void disarmTimeout() override;

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_QueryUnload();
    void closeFromCode();
    void paintProgress();
    bool running_ = false;
    bool closingFromCode_ = false;
    // The progress text is always current in Label1; the screen shows it at most this often.
    static constexpr int kProgressPaintMs = 100;
    QTimer progressPaint_;
    bool progressDeferred_ = false;
};
