#pragma once
// What a device exchange needs from the window that runs it: its progress line and its
// reply time-out. The exchanges themselves live outside the windows so that another front
// end (or a benchmark) can run the very same code.

#include <QString>

class OperationContext {
public:
    virtual ~OperationContext() = default;
    virtual void setProgress(const QString &text) = 0;
    virtual void armTimeout() = 0;     // enable the reply time-out timer
    virtual void disarmTimeout() = 0;  // disable it
};
