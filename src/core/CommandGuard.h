#pragma once

#include <functional>

class QWidget;

// Runs one user command so that no exception leaves the event handler: on an
// error the progress window stops, the form is enabled again, the shared
// queries are reset and the error is shown in the message dialog.
class CommandGuard
{
public:
    // True when the command ran to its end.
    static bool run(QWidget *form, const std::function<void()> &command, const std::function<void()> &reset = {});
};
