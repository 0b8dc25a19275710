#pragma once

#include <QStringList>

class QApplication;

// The program's run: start-up, the main window with its commands, the exit.
class KestrunApp
{
public:
    // Sets the application's names and look, runs the start-up sequence,
    // puts the commands in place and shows the main window. False (after
    // telling the user) when the program cannot work.
    static bool start(const QStringList &arguments);
    // The commands the main window offers.
    static void wireCommands();
    // After the main window closed: the offered backup and the Temp folder.
    static void finish();
    // start, the event loop, finish.
    static int run(QApplication &app);
};
