#pragma once

#include <QCoreApplication>

// One application object for the whole test program, made on first use and
// kept until the process ends: QApplication for widgets, QGuiApplication
// where painting and fonts are enough.
template <class App>
void ensureApplication()
{
    static int argc = 1;
    static char name[] = "test";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new App(argc, argv);
}
