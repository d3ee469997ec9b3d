// The floor the program's start-up is measured against: an empty main window
// of the program's size whose menu and one label are Japanese, so that a CJK
// font is found, loaded and shaped as in any Japanese program.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("ソラベル"));
    window.menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    window.menuBar()->addMenu(QStringLiteral("データ(&D)"));
    window.menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    window.setCentralWidget(new QLabel(QStringLiteral("読書記録を開いています")));
    window.resize(711, 611);
    window.show();
    return app.exec();
}
