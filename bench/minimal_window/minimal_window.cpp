// The yardstick for the window benchmarks: the least a Qt Widgets program
// shows (a menu bar and a caption), started and painted the same way.

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow w;
    w.setWindowTitle("minimal");
    w.menuBar()->addMenu(QStringLiteral("プレイリスト(&P)"));
    auto* label = new QLabel(QStringLiteral("タイトル"), &w);
    label->setAlignment(Qt::AlignCenter);
    w.setCentralWidget(label);
    w.resize(480, 360);
    w.show();
    return app.exec();
}
