// The floor of the start-up benchmark: a Qt program that only shows an
// empty window of the board's size.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.resize(521, 526);
    window.show();
    return app.exec();
}
