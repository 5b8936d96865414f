#pragma once
// The configuration register window: reads the configuration register (2007h) back from the
// PIC at every activation and shows it decoded. Not modal.

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QObject>
#include <QPushButton>

class ProgrammerLink;
class VbTimer;

// What the read-back exchange needs from the window that runs it. A QObject so the exchange
// can tell, after each wait, whether its window still exists.
class ConfRegContext : public QObject {
public:
    using QObject::QObject;
    virtual void armTimeout() = 0;      // (re)start the reply time-out
    virtual void disarmTimeout() = 0;   // stop it
    virtual bool abandoned() const = 0; // the user closed the window: stop, send and show nothing
    virtual void showResult(const QString &text) = 0;
    virtual void closeWindow() = 0;
};

// The "Y" exchange: "y" and two data bytes, the second being the configuration byte.
void ReadConfigRegister(ProgrammerLink &link, ConfRegContext *ctx);

class frmConfReg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTimeoutMs = 3000;

    explicit frmConfReg(QWidget *parent = nullptr);

    QLabel *Label2 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QLabel *Label3 = nullptr;
    QPushButton *Command1 = nullptr;
    VbTimer *Timer1 = nullptr;

    void Form_Load();
    void Form_Activate();
    void Command1_Click();
    void Timer1_Timer();

    bool running() const { return running_; }
    // Closed: the window is on its way out and the next opening creates a new one.
    bool unloaded() const { return unloaded_; }

public slots:
    void reject() override;

protected:
    bool event(QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    class Context;
    void Form_QueryUnload();
    void closeFromCode();

    Context *context_ = nullptr;
    bool running_ = false;
    bool closingFromCode_ = false;
    bool closedByUser_ = false;
    bool unloaded_ = false;
    bool deletePending_ = false;
};

// The program-wide instance, created on first use (and anew after it was closed).
frmConfReg *FrmConfReg();

// Remembered window position: pixels to twips, clamped into the 16-bit range.
qint16 TwipsFromPixels(int pixels);
