// The yardstick for start-up and idle figures: a plain Qt window of the main
// window's size, and nothing else.
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.resize(561, 216);
    window.show();
    return app.exec();
}
