#include <QApplication>
#include <QMainWindow>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrun"));
    QMainWindow w;
    w.setWindowTitle(QStringLiteral("Kestrun"));
    w.resize(1024, 700);
    w.show();
    return app.exec();
}
