// The reference of the start-up on a real screen: a bare Qt Widgets program,
// an empty main window of the main window's client size on openbox. With
// --texts it also shows the main window's menu bar, a line of text and two
// status panels, so that the cost of loading fonts and shaping Japanese text
// can be told from the cost of the program's own start-up; with --latin it
// shows one line of Latin text, the fonts a hello-world program loads.

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <cstring>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    if (argc > 1 && std::strcmp(argv[1], "--texts") == 0) {
        QMenu* file = window.menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
        file->addAction(QStringLiteral("開く(&O)"));
        window.menuBar()->addAction(QStringLiteral("プレビュー(&P)"));
        window.menuBar()->addAction(QStringLiteral("オプション(&O)"));
        window.menuBar()->addAction(QStringLiteral("バージョン"));
        auto* text = new QLabel(QStringLiteral("Text："), &window);
        text->move(344, 19);
        window.statusBar()->addWidget(new QLabel(QStringLiteral("ﾌｧｲﾙ：")));
        window.statusBar()->addWidget(new QLabel(QStringLiteral("切り取り")));
    }
    if (argc > 1 && std::strcmp(argv[1], "--latin") == 0)
        (new QLabel(QStringLiteral("Text:"), &window))->move(344, 19);
    window.resize(522, 595);
    window.show();
    return QApplication::exec();
}
