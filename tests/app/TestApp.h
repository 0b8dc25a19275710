#pragma once

#include <QApplication>

// One application object for the whole test program, named like the program.
inline QApplication &app()
{
    static int argc = 1;
    static char name[] = "kestrun";
    static char *argv[] = {name, nullptr};
    static QApplication *a = new QApplication(argc, argv);
    return *a;
}
