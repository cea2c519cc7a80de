// The yardstick for start-up and idle figures: a plain Qt window of the main
// window's size, and nothing else; with "label", one line of text in it, since
// any real window draws text (the fonts are then loaded).
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.resize(561, 216);
    if (argc > 1 && qstrcmp(argv[1], "label") == 0)
        (new QLabel(QStringLiteral("Bare window with one line of text"), &window))->move(20, 20);
    window.show();
    return app.exec();
}
