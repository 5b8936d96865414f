#pragma once
// Data EEPROM exchanges: read all 64 bytes ("X"), erase ("F") and write one byte ("V").
// They talk to the link and to a small context the window implements, so they run the
// same without the windows.

#include <QString>

class ProgrammerLink;

namespace eeprom {

// What the read and the erase need from the EEPROM view.
class ViewContext {
public:
    virtual ~ViewContext() = default;
    virtual void setStatus(const QString &text) = 0;  // the status line
    virtual void setButtonsEnabled(bool on) = 0;      // refresh and erase
    virtual int currentRow() const = 0;
    virtual int currentColumn() const = 0;
    virtual void setCurrentCell(int row, int column) = 0;
    virtual void setCellText(int row, int column, const QString &text) = 0;
    virtual void armTimeout() = 0;
    virtual void disarmTimeout() = 0;
    virtual void setTimeoutPeriod(int ms) = 0;
    virtual void setErasePause(bool on) = 0;
    // True once the window has been closed: the exchange stops at once and sends nothing more.
    virtual bool abandoned() const = 0;
};

// What the single-byte write needs from the entry dialog.
class EntryContext {
public:
    virtual ~EntryContext() = default;
    virtual void setStatus(const QString &text) = 0;
    virtual void setButtonsEnabled(bool on) = 0;  // write and close
    virtual void armTimeout() = 0;
    virtual void disarmTimeout() = 0;
    // Raises the write pause flag and lets the time-out timer end it after ms.
    virtual void startWritePause(int ms) = 0;
    virtual bool writePause() const = 0;
    virtual bool abandoned() const = 0;
};

// Reads the 64 bytes into the grid cells.
void ReadEeprom(ProgrammerLink &link, ViewContext &ctx);

// Asks, erases the whole EEPROM, pauses a second and reads it back.
void EraseEeprom(ProgrammerLink &link, ViewContext &ctx);

// Checks the entry and writes it at the address. True when the writer accepted the byte
// and the dialog is to close.
bool WriteEepromByte(ProgrammerLink &link, EntryContext &ctx, int address, const QString &entry);

// The texts the view and the dialog show while they talk to the writer.
QString busyStatus();
QString writingStatus();

}  // namespace eeprom
