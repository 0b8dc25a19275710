#include "app/KestrunApp.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    return KestrunApp::run(app);
}
