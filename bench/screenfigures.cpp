// Start-up on a real screen: process start to the first painted frame of the
// main window on a private Xvfb with openbox, against a bare Qt Widgets program
// showing an empty main window of the same size, in paired rounds.

#include "figures.h"
#include "stats.h"

#ifdef SNIPWELL_SCREEN_BENCH
#include "firstpaint.h"
#include "privatex.h"

#include <QFile>
#include <QTemporaryDir>
#endif

namespace bench {

namespace {

const QString kFigure = QStringLiteral(
    "start-up on Xvfb + openbox: process start to first painted frame (vs a bare Qt main window)");
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
    const auto firstPaint = [&](const QString& command) {
        return [&failed, &server, command] {
            const std::optional<double> ms =
                screen::timeToPaint(server.display(), {command}, screen::PaintWatch{});
            failed = failed || !ms;
            return ms.value_or(0);
        };
    };
    const PairedMedians medians =
        measurePair(runs, firstPaint(QStringLiteral(BAREQT_PROGRAM)), firstPaint(program));
    if (failed)
        return {notMeasured()};
    return {ratioRow(kFigure, medians.reference, medians.candidate, kGoal)};
#else
    (void)runs;
    return {notMeasured()};
#endif
}

} // namespace bench
