// The reference of the start-up on a real screen: a bare Qt Widgets program,
// an empty main window of the main window's client size on openbox.

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(522, 595);
    window.show();
    return QApplication::exec();
}
