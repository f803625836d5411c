#include "forms/frmmain.h"
#include "input/localfilename.h"
#include "input/pictureloading.h"
#include "settings/apppaths.h"
#include "settings/commandline.h"
#include "toolkit/builtinpictures.h"
#include "toolkit/fontconfiguration.h"
#include "toolkit/qtprompter.h"
#include "toolkit/qttranslations.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QWindow>
#include <cstdio>
#include <optional>

namespace {

QByteArrayList argumentsAfterName(int argc, char* argv[])
{
    QByteArrayList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    return arguments;
}

void print(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

} // namespace

int main(int argc, char* argv[])
{
    // --help and --version answer before Qt starts, so they work without a display.
    const CommandLine asked = parseCommandLine(argumentsAfterName(argc, argv));
    if (asked.action == CommandLine::Action::Help) {
        print(stdout, usageText());
        return 0;
    }
    if (asked.action == CommandLine::Action::Version) {
        print(stdout, versionText());
        return 0;
    }

    FontConfigurationReader fontConfiguration;
    // Qt takes its own options (-platform, -style, ...) out of argv here; what
    // is left must be ours.
    QApplication app(argc, argv);
    const CommandLine line = parseCommandLine(argumentsAfterName(argc, argv));
    if (line.action == CommandLine::Action::Usage) {
        print(stderr, QStringLiteral("snipwell: %1\n\n%2").arg(line.problem, usageText()));
        return 2;
    }
    // The picture given (by the bytes of its name, which need not be valid
    // UTF-8) starts loading on a thread of its own while the window is made.
    std::optional<PictureLoading> loading;
    if (!line.picture.isEmpty())
        loading.emplace(LocalFileName(line.picture).absolute(), frmmain::startingViewSize(), true);
    QApplication::setApplicationName(QStringLiteral("Snipwell"));
    // On Wayland the window's app id: the desktop entry, and so the icon and
    // name the desktop shows for the window.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.snipwell.Snipwell"));
    QApplication::setWindowIcon(builtInIcon(QStringLiteral(":/snipwell.png")));
    installJapaneseQtTexts(app);
    useBuiltInStylePictures(app);

    fontConfiguration.wait();
    QtPrompter prompter;
    frmmain window(prompter, defaultAppPaths());
    // The window shows at once, a picture given or not; the picture's rows are
    // painted as they decode. Held back until they had, the window was now and
    // then placed by the window manager instead of at its stored position.
    window.show();
    if (loading)
        window.openLoading(*loading);
    return QApplication::exec();
}
