#pragma once
// The About box: product name, program version and maker's line, and the firmware version the
// writer reports, asked for while the box is being created.

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QObject>
#include <QPushButton>

class ProgrammerLink;
class VbTimer;

namespace about {

constexpr int kMajor = 1;
constexpr int kMinor = 7;
constexpr int kQueryTimeoutMs = 500;

// "Ver " + major as "##." (no leading zeros, then a point; 0 prints nothing) + minor as "0#"
// (at least two digits): 1, 7 gives "Ver 1.07"; 0, 7 gives "Ver .07".
QString VersionLine(int major, int minor);

// The message line for a firmware answer whose characters before the closing "a" were
// `accumulated`: its first character, a point, its last two characters.
QString FirmwareVersionText(const QString &accumulated);

}  // namespace about

// What the version query needs from the window that runs it.
class VersionQueryContext : public QObject {
public:
    using QObject::QObject;
    virtual void armTimeout() = 0;      // set the waiting flag and start the time limit
    virtual bool waiting() const = 0;   // false once the time limit has passed
    virtual void showVersion(const QString &text) = 0;
};

// "@": the version characters then "a", which ends the answer only from the third character
// on; at most ten characters are taken. Without such an answer nothing is shown.
void QueryFirmwareVersion(ProgrammerLink &link, VersionQueryContext *ctx);

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget *parent = nullptr);

    QLabel *Picture1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QFrame *Line1 = nullptr;
    QLabel *Label3 = nullptr;
    QPushButton *Command1 = nullptr;
    VbTimer *Timer1 = nullptr;

    // Fills the labels and asks the writer for its firmware version; the box is shown after.
    void Form_Load();
    void Timer1_Timer();
    void Command1_Click();

    qint16 WaitingFlag = 0;

private:
    class Context;
    Context *context_ = nullptr;
};
