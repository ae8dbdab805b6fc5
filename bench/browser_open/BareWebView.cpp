// The floor of the browser-open benchmark: a bare web view opening a page.
#include <QApplication>
#include <QUrl>
#include <QWebEngineView>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QWebEngineView view;
    view.resize(600, 466);
    QObject::connect(&view, &QWebEngineView::loadFinished, [](bool) {
        std::puts("loaded");
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    view.show();
    view.load(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[1])));
    return app.exec();
}
