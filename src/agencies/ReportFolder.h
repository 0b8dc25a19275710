#pragma once

#include "documents/OutputFolder.h"

#include <functional>

// The folder of an agency report, filled with the progress window shown.
class ReportFolder : public OutputFolder
{
public:
    ReportFolder(const QString &title, const QString &subFolder) : OutputFolder({title, subFolder}) {}

    // Runs the writing into the working folder with the progress window
    // shown for that many steps, then puts the folder in place. The progress
    // window stops and the shared queries close on every path.
    void fill(int steps, const std::function<void(const QString &work)> &write);
};
