// The end-to-end tests' helper: makes the pictures they open, grabs the screen
// and checks what the real program showed, copied and saved.

#include "imagecheck.h"
#include "pictures.h"
#include "screen/windowmanager.h"
#include "swaytree.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <map>
#include <stdexcept>

namespace {

using Args = QStringList;

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

int toInt(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok)
        throw std::invalid_argument("not a whole number: " + text.toStdString());
    return value;
}

QImage readImage(const QString& path)
{
    QImage image(path);
    if (image.isNull())
        throw std::runtime_error("cannot read picture: " + path.toStdString());
    return image;
}

void writeImage(const QImage& image, const QString& path)
{
    if (!image.save(path))
        throw std::runtime_error("cannot write picture: " + path.toStdString());
}

// pattern OUT WIDTH HEIGHT SEED: a lossless picture (BMP by the file's suffix).
int pattern(const Args& a)
{
    const QImage image = patternPicture(toInt(a[1]), toInt(a[2]), toInt(a[3]));
    writeImage(image.convertToFormat(QImage::Format_RGB888), a[0]);
    return 0;
}

// demo OUT WIDTH HEIGHT
int demo(const Args& a)
{
    writeImage(demoPicture(toInt(a[1]), toInt(a[2])).convertToFormat(QImage::Format_RGB888), a[0]);
    return 0;
}

// compare SOURCE X Y WIDTH HEIGHT CANDIDATE MAX-MEAN MAX-ANY: 0 when the candidate
// has the rectangle's size and its pixels lie within both limits.
int compare(const Args& a)
{
    const QRect crop(toInt(a[1]), toInt(a[2]), toInt(a[3]), toInt(a[4]));
    const QImage candidate = readImage(a[5]);
    const Difference d = compareWithCrop(readImage(a[0]), crop, candidate);
    if (!d.sameSize) {
        err() << "size " << candidate.width() << "x" << candidate.height() << ", expected "
              << crop.width() << "x" << crop.height() << Qt::endl;
        return 1;
    }
    const bool close = d.meanChannel <= a[6].toDouble() && d.maxChannel <= toInt(a[7]);
    (close ? out() : err()) << "mean difference " << d.meanChannel << ", largest " << d.maxChannel
                            << Qt::endl;
    return close ? 0 : 1;
}

// locate SCREENSHOT PICTURE SCALE: prints where the picture shows, as "X Y".
int locate(const Args& a)
{
    const auto at = locatePicture(readImage(a[0]), readImage(a[1]), toInt(a[2]));
    if (!at)
        return 1;
    out() << at->x() << " " << at->y() << Qt::endl;
    return 0;
}

// grab OUT X Y WIDTH HEIGHT: a rectangle of the screen, in screen pixels.
int grab(const Args& a)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        throw std::runtime_error("no screen");
    const QPixmap shot = screen->grabWindow(0, toInt(a[1]), toInt(a[2]), toInt(a[3]), toInt(a[4]));
    writeImage(shot.toImage().convertToFormat(QImage::Format_RGB32), a[0]);
    return 0;
}

// views TREE PID: one line per window of the process in sway's layout tree
// (a file, or - for standard input): "ID X Y WIDTH HEIGHT SHELL APP-ID FOCUSED".
int views(const Args& a)
{
    QFile tree(a[0]);
    const bool opened = a[0] == QStringLiteral("-") ? tree.open(stdin, QIODevice::ReadOnly)
                                                    : tree.open(QIODevice::ReadOnly);
    if (!opened)
        throw std::runtime_error("cannot read the tree: " + a[0].toStdString());
    for (const SwayView& v : viewsOfProcess(tree.readAll(), toInt(a[1]))) {
        out() << v.id << " " << v.client.x() << " " << v.client.y() << " " << v.client.width()
              << " " << v.client.height() << " " << (v.shell.isEmpty() ? "-" : v.shell) << " "
              << (v.appId.isEmpty() ? "-" : v.appId) << " " << (v.focused ? 1 : 0) << Qt::endl;
    }
    return 0;
}

// wm-ready: whether the window manager takes a new window in within half a
// second (status 0) or not yet (1); a window mapped too early is never taken,
// so each try maps a new one.
int wmReady(const Args&)
{
    return windowManagerTakesWindows(nullptr, 500) ? 0 : 1;
}

struct Command
{
    qsizetype argumentCount;
    std::function<int(const Args&)> run;
};

const std::map<QString, Command>& commands()
{
    static const std::map<QString, Command> table = {
        {QStringLiteral("pattern"), {4, pattern}},  {QStringLiteral("demo"), {3, demo}},
        {QStringLiteral("compare"), {8, compare}},  {QStringLiteral("locate"), {3, locate}},
        {QStringLiteral("grab"), {5, grab}},        {QStringLiteral("views"), {2, views}},
        {QStringLiteral("wm-ready"), {0, wmReady}},
    };
    return table;
}

} // namespace

int main(int argc, char* argv[])
{
    // The screen is only needed to grab it; the other commands run anywhere.
    const bool needsScreen = argc > 1 && qstrcmp(argv[1], "grab") == 0;
    if (!needsScreen)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Args args = QGuiApplication::arguments().mid(1);
    const auto command = args.isEmpty() ? commands().end() : commands().find(args.takeFirst());
    if (command == commands().end() || args.size() != command->second.argumentCount) {
        err() << "usage: snipwell_e2etool pattern|demo|compare|locate|grab|views|wm-ready ARGS"
              << Qt::endl;
        return 2;
    }
    try {
        return command->second.run(args);
    } catch (const std::exception& e) {
        err() << e.what() << Qt::endl;
        return 2;
    }
}
