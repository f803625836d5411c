// Start-up on a real screen: process start to the first painted frame of the
// main window on a private Xvfb with openbox, against a bare Qt Widgets program
// showing an empty main window of the same size, in paired rounds.

#include "figures.h"
#include "input/pictureloader.h"
#include "session.h"
#include "stats.h"
#include "toolkit/picturebox.h"

#ifdef SNIPWELL_SCREEN_BENCH
#include "firstpaint.h"
#include "privatex.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#endif

namespace bench {

namespace {

const QString kFigure = QStringLiteral(
    "start-up on Xvfb + openbox: process start to first painted frame (vs a bare Qt main window)");
const QString kTextsFigure = QStringLiteral(
    "start-up on Xvfb + openbox (vs a bare Qt main window showing the same menus and texts)");
const QString kLatinFigure = QStringLiteral(
    "start-up on Xvfb + openbox (vs a bare Qt main window showing one line of Latin text)");
constexpr double kGoal = 1.2;

Row notMeasured()
{
    return Row{kFigure, QStringLiteral("ms"), {}, {}, QStringLiteral("≤ 1.20x"), false};
}

} // namespace

std::vector<Row> screenFigures(int runs)
{
#ifdef SNIPWELL_SCREEN_BENCH
    screen::PrivateX server(QStringLiteral("1280x1024"), true);
    // A copy of the program in a folder of its own starts on its own (empty) settings.
    QTemporaryDir folder;
    const QString program = folder.filePath(QStringLiteral("snipwell"));
    if (!server.ok() || !folder.isValid() ||
        !QFile::copy(QStringLiteral(SNIPWELL_PROGRAM), program))
        return {notMeasured()};
    bool failed = false;
    const auto firstPaint = [&](const QStringList& command) {
        return [&failed, &server, command] {
            const std::optional<double> ms =
                screen::timeToPaint(server.display(), command, screen::PaintWatch{});
            failed = failed || !ms;
            return ms.value_or(0);
        };
    };
    const PairedMedians medians =
        measurePair(runs, firstPaint({QStringLiteral(BAREQT_PROGRAM)}), firstPaint({program}));
    // For context: the same bare window showing the main window's texts.
    const PairedMedians withTexts =
        measurePair(runs, firstPaint({QStringLiteral(BAREQT_PROGRAM), QStringLiteral("--texts")}),
                    firstPaint({program}));
    // And showing one line of Latin text: the fonts any program with text loads.
    const PairedMedians withLatin =
        measurePair(runs, firstPaint({QStringLiteral(BAREQT_PROGRAM), QStringLiteral("--latin")}),
                    firstPaint({program}));
    if (failed)
        return {notMeasured()};
    return {ratioRow(kFigure, medians.reference, medians.candidate, kGoal),
            Row{kLatinFigure, QStringLiteral("ms"), withLatin.reference, withLatin.candidate,
                QString(), true},
            Row{kTextsFigure, QStringLiteral("ms"), withTexts.reference, withTexts.candidate,
                QString(), true}};
#else
    (void)runs;
    return {notMeasured()};
#endif
}

namespace {

const QString kPictureFigure =
    QStringLiteral("96 MP picture in view on Xvfb + openbox after launching snipwell picture.jpg "
                   "(beside djpeg's whole decode)");
constexpr double kPictureGoal = 100; // milliseconds

} // namespace

std::vector<Row> screenPictureFigures(const Inputs& inputs, int runs)
{
    Row row{kPictureFigure, QStringLiteral("ms"), {}, {}, QStringLiteral("< 100 ms"), false};
#ifdef SNIPWELL_SCREEN_BENCH
    // Where the picture stands in the window's client area, and how much of it
    // shows there, from the same window on the offscreen platform: the layout
    // is the same, fonts and style being the same.
    QRect inView;
    {
        Session session;
        const auto* surface = session.find<PictureBox>("picmain");
        const QWidget* viewport = session.find<PictureBox>("base")->client();
        const QSize room = viewport->size() - QSize(2, 2) * surface->borderWidth();
        inView = QRect(surface->client()->mapTo(&session.window(), QPoint(0, 0)), room);
    }
    const PictureLoad decoded = loadPicture(inputs.jpeg96);
    if (!decoded.ok())
        return {row};
    screen::PaintWatch watch;
    watch.until = screen::PaintWatch::Until::Matches;
    watch.rect = inView;
    watch.expected = decoded.image.copy(QRect(QPoint(0, 0), inView.size()));

    screen::PrivateX server(QStringLiteral("1280x1024"), true);
    QTemporaryDir folder;
    const QString program = folder.filePath(QStringLiteral("snipwell"));
    if (!server.ok() || !folder.isValid() ||
        !QFile::copy(QStringLiteral(SNIPWELL_PROGRAM), program))
        return {row};
    // djpeg's whole decode, to nowhere: the reference, for context.
    const Measured djpeg = [&inputs] {
        QElapsedTimer timer;
        timer.start();
        QProcess::execute(QStringLiteral("djpeg"),
                          {QStringLiteral("-outfile"), QStringLiteral("/dev/null"), inputs.jpeg96});
        return static_cast<double>(timer.nsecsElapsed()) / 1e6;
    };
    bool failed = false;
    const Measured shown = [&] {
        const std::optional<double> ms =
            screen::timeToPaint(server.display(), {program, inputs.jpeg96}, watch);
        failed = failed || !ms;
        return ms.value_or(0);
    };
    const PairedMedians medians = measurePair(runs, djpeg, shown);
    if (failed)
        return {row};
    row.reference = medians.reference;
    row.candidate = medians.candidate;
    row.met = medians.candidate < kPictureGoal;
#else
    (void)inputs;
    (void)runs;
#endif
    return {row};
}

} // namespace bench
