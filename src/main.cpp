#include "output/apppaths.h"
#include "shell/frmmain.h"
#include "shell/qtprompter.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Snipwell"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/snipwell.png")));
    QtPrompter prompter;
    frmmain window(prompter, defaultAppPaths());
    window.show();
    return QApplication::exec();
}
