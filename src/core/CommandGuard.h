#pragma once

#include <functional>

class QWidget;
class TDataSet;

// Runs one user command so that no exception leaves the event handler: on an
// error the progress window stops, the form is enabled again, the shared
// queries are reset and the error is shown in the message dialog.
class CommandGuard
{
public:
    // True when the command ran to its end.
    static bool run(QWidget *form, const std::function<void()> &command, const std::function<void()> &reset = {});
    // Leaves a shared dataset as every command must: closed, unfiltered and
    // with an empty filter.
    static void release(TDataSet &dataSet);
};
