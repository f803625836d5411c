#include "forms/frmmain.h"
#include "settings/apppaths.h"
#include "toolkit/qtprompter.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>

int main(int argc, char* argv[])
{
    // Qt takes its own options (-platform, -style, ...) out of argv here.
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Snipwell"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/snipwell.png")));
    // The one optional argument is a picture to open, as "Open with" passes it.
    if (argc > 2) {
        std::fputs("usage: snipwell [picture]\n", stderr);
        return 2;
    }
    QtPrompter prompter;
    frmmain window(prompter, defaultAppPaths());
    window.show();
    // Opened once the window is up, so that the scroll ranges see the real
    // viewport and a file that cannot be read is reported over the window; by
    // the bytes of its name, which need not be valid UTF-8.
    if (argc == 2)
        window.openDroppedFile(LocalFileName(QByteArray(argv[1])).absolute());
    return QApplication::exec();
}
