#pragma once

#include <QString>

// What a killed run leaves of the clerk's outputs, mended at start-up (one
// instance runs): a report folder half replaced is finished or put back and
// its work folder removed; temporary files of documents being written go.
// Only names of the program's own patterns, in its own folders.
class OutputRecovery
{
public:
    static void run(const QString &appDir);
};
