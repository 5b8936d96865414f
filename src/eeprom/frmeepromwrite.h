#pragma once
// The window of the "/F" start: one click writes the whole data EEPROM from the data file named
// on the command line; however it closes, the program ends with it.

#include <QDialog>
#include <QLabel>
#include <QObject>
#include <QPushButton>

class ProgrammerLink;

// What the data-file write needs from the window that runs it. A QObject so the exchange can
// tell, after each wait, whether its window still exists.
class DataFileWriteContext : public QObject {
public:
    using QObject::QObject;
    virtual void setProgress(const QString &text) = 0;
    virtual bool abandoned() const = 0;  // the user closed the window: stop, send and show nothing
    virtual void closeWindow() = 0;
};

// The "M" exchange: after "m", each data byte of the file as two 7-bit groups, each pair
// acknowledged with "m" or "a". It has no time-out: only a reply or the window closing ends a wait.
void WriteDataFile(ProgrammerLink &link, DataFileWriteContext *ctx, const QString &path);

class frmEEPROMwrite : public QDialog {
    Q_OBJECT
public:
    explicit frmEEPROMwrite(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;
    QPushButton *Command1 = nullptr;

    void Form_Load();
    void Command1_Click();
    bool running() const { return running_; }

public slots:
    void reject() override;

protected:
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
};

// The program-wide instance, created on first use.
frmEEPROMwrite *FrmEEPROMwrite();
