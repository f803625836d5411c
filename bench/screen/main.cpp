// snipwell_firstpaint: starts a program on a private X server and prints, for
// each run, the milliseconds from its start to the first painting of its
// window, or to the moment a rectangle of that window is no longer one colour
// or shows given pixels.
//
//   snipwell_firstpaint [--runs N] [--screen WxH] [--no-wm] [--display :N]
//                       [--not-uniform X,Y,W,H | --matches X,Y,W,H PICTURE]
//                       [--timeout MS] -- COMMAND [ARGUMENTS...]
//
// Exits 0 when every run was measured, 1 when one was not, 2 on a usage error.

#include "firstpaint.h"
#include "privatex.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <memory>

namespace {

int usage()
{
    std::fputs("usage: snipwell_firstpaint [--runs N] [--screen WxH] [--no-wm] [--display :N]\n"
               "         [--not-uniform X,Y,W,H | --matches X,Y,W,H PICTURE] [--timeout MS]\n"
               "         -- COMMAND [ARGUMENTS...]\n",
               stderr);
    return 2;
}

std::optional<QRect> rectFrom(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;
    int values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = parts[i].toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    const QRect rect(values[0], values[1], values[2], values[3]);
    return rect.isEmpty() ? std::nullopt : std::optional<QRect>(rect);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    int runs = 1;
    QString size = QStringLiteral("1280x1024");
    bool withManager = true;
    QString display;
    screen::PaintWatch watch;
    while (!args.isEmpty() && args.first() != QLatin1String("--")) {
        const QString option = args.takeFirst();
        const auto value = [&args]() { return args.isEmpty() ? QString() : args.takeFirst(); };
        if (option == QLatin1String("--runs")) {
            runs = value().toInt();
        } else if (option == QLatin1String("--screen")) {
            size = value();
        } else if (option == QLatin1String("--no-wm")) {
            withManager = false;
        } else if (option == QLatin1String("--display")) {
            display = value();
        } else if (option == QLatin1String("--timeout")) {
            watch.timeoutMs = value().toInt();
        } else if (option == QLatin1String("--not-uniform") ||
                   option == QLatin1String("--matches")) {
            const std::optional<QRect> rect = rectFrom(value());
            if (!rect)
                return usage();
            watch.rect = *rect;
            watch.until = screen::PaintWatch::Until::NotUniform;
            if (option == QLatin1String("--matches")) {
                watch.until = screen::PaintWatch::Until::Matches;
                watch.expected = QImage(value());
                if (watch.expected.size() != rect->size()) {
                    std::fputs("snipwell_firstpaint: the picture is not the rectangle's size\n",
                               stderr);
                    return 2;
                }
            }
        } else {
            return usage();
        }
    }
    if (args.size() < 2 || runs < 1 || watch.timeoutMs < 1)
        return usage();
    const QStringList command = args.mid(1);

    std::unique_ptr<screen::PrivateX> server;
    if (display.isEmpty()) {
        server = std::make_unique<screen::PrivateX>(size, withManager);
        if (!server->ok()) {
            std::fputs("snipwell_firstpaint: could not start Xvfb (and openbox)\n", stderr);
            return 1;
        }
        display = server->display();
    }
    bool all = true;
    for (int run = 0; run < runs; ++run) {
        const std::optional<double> ms = screen::timeToPaint(display, command, watch);
        all = all && ms.has_value();
        if (ms)
            std::printf("%.3f\n", *ms);
        else
            std::printf("failed\n");
        std::fflush(stdout);
    }
    return all ? 0 : 1;
}
