#pragma once

#include "MessageBoxes.h"

#include <QString>

#include <stdexcept>
#include <string>

namespace pellorin {

// The location text a report quotes for a handler of the main window, e.g.
// handlerLocation("PushButton1_Click").
QString handlerLocation(const char* handler);

// A step failure with a plain description for the user, e.g. the operating
// system's reason for a file error.
class StepFailure : public std::runtime_error {
public:
    explicit StepFailure(const QString& description);
    explicit StepFailure(const std::string& description)
        : std::runtime_error(description)
    {
    }
};

// The plain description of the exception being handled: "Out of memory" for
// an allocation failure, the system's reason for a system error, our own text
// for a StepFailure. Call only inside a catch block.
QString describeCurrentException();

// The one error trap of a button handler. Each numbered step runs through
// step(); a failing step shows the error report, after which the handler
// carries on with its next step. The trap stays armed for the whole handler.
class ErrorTrap {
public:
    ErrorTrap(MessageBoxes& boxes, QString location);

    // Runs `action` as step `line`. Returns false when it failed and the
    // report was shown.
    template <class Action> bool step(int line, Action&& action)
    {
        try {
            action();
            return true;
        } catch (...) {
            report(line, describeCurrentException());
            return false;
        }
    }

    // Shows the error report for step `line` with `description`.
    void report(int line, const QString& description);

    // The text of the error report.
    static QString composeReport(const QString& description, const QString& location, int line);

    static QString supportAddress();

private:
    MessageBoxes& m_boxes;
    QString m_location;
};

} // namespace pellorin
