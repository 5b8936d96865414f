// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program memory window: the HEX file as the write takes it and/or the PIC as the last
// read or verify got it, word by word with the disassembly, side by side with the differences
// marked. It shows what is at hand and never talks to the writer itself.

#include "core/formats/programlisting.h"

#include <QDateTime>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

namespace programmemory {

// The PIC as a complete read gave it; how: "読出し" or "照合". Anything short of 1032 words
// forgets what was kept, as does a write or an erase: no stale picture is ever shown.
void rememberPic(const QVector<quint16> &words, const QString &how);
void forgetPic();
bool picAtHand();

}  // namespace programmemory

class frmProgramMemory : public QDialog {
    Q_OBJECT
public:
    explicit frmProgramMemory(QWidget *parent = nullptr);

    QLabel *Source = nullptr;    // where each picture comes from, and when
    QLabel *Notes = nullptr;     // the differences, and what the file's reader had to say
    QTableWidget *Table = nullptr;
    QLineEdit *FindAddress = nullptr;
    QPushButton *cmdFind = nullptr;
    QPushButton *cmdPrevious = nullptr;
    QPushButton *cmdNext = nullptr;
    QPushButton *cmdCopy = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdClose = nullptr;

    // Shows the HEX file (when a path is given and it opens) and the PIC kept from the last
    // read or verify. False when there is neither, the user told unless quiet.
    bool load(const QString &hexFile, bool quiet = false);
    // The same file again and the PIC as now kept, at the same address; hidden when nothing
    // is left to show.
    void reload();
    // Selects and shows the row of that address; false when no row holds it.
    bool showAddress(int address);
    int differences() const { return listing_.differences; }
    // The rows as the copy and the saved listing have them, after the source lines.
    QString listingText() const;

    void cmdFind_Click();
    void cmdPrevious_Click() { stepDifference(-1); }
    void cmdNext_Click() { stepDifference(+1); }
    void cmdCopy_Click();
    void cmdSave_Click();

private:
    void fill();
    void stepDifference(int direction);
    listing::Image file_;
    listing::Image pic_;
    listing::Listing listing_;
    QString hexFile_;
};

// The window the メモリ menu opens, created on first use.
frmProgramMemory *FrmProgramMemory();
// From the verify result: the window over it, at that address (-1: at the first difference).
void ShowProgramMemoryAt(QWidget *parent, const QString &hexFile, int address);
