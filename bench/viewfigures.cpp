// The view beyond 100 %: the fit view of the 96 MP picture after Ctrl + 0, a
// full repaint and a scroll of a reduced view, and taking a long stroke back
// and doing it again. Each is the handler the key runs followed by the event
// loop's repaint; the goals are absolute.

#include "figures.h"
#include "session.h"
#include "stats.h"
#include "toolkit/scrollbar.h"

#include <QAbstractSlider>
#include <QWidget>

namespace bench {

namespace {

constexpr double kFitMilliseconds = 50;
constexpr double kFrameMilliseconds = 16;

Row absoluteRow(const QString& figure, std::vector<double> times, double goal)
{
    Row row{figure, QStringLiteral("ms"), std::nullopt, median(std::move(times)),
            QStringLiteral("< %1 ms").arg(goal)};
    row.met = *row.candidate < goal;
    return row;
}

template <typename Step> double timed(Session& session, Step step)
{
    const Stopwatch watch;
    step();
    session.flush();
    return watch.milliseconds();
}

} // namespace

std::vector<Row> viewFigures(const Inputs& inputs, int runs)
{
    Session session;
    std::vector<double> fits;
    std::vector<double> repaints;
    std::vector<double> scrolls;
    std::vector<double> jumps;
    std::vector<double> undos;
    std::vector<double> redos;
    for (int run = 0; run < runs; ++run) {
        // Every fit is the first one after an open: no reduced copy is left over.
        session.forgetPicture();
        if (!session.open(inputs.jpeg96))
            return {Row{QStringLiteral("zoom and undo"), QStringLiteral("ms"), {}, {}, {}, false}};
        session.settle();
        frmmain& window = session.window();
        fits.push_back(timed(session, [&] { window.zoomToFit(); }));

        // A third, three steps below 100 %, scrolled well into the picture.
        window.zoomToActualSize();
        window.zoomOut();
        window.zoomOut();
        window.zoomOut();
        session.flush();
        auto* across = session.find<ScrollBar>("HScroll");
        across->setValue(across->Max() / 2);
        session.flush();
        QWidget* surface = session.surface();
        repaints.push_back(timed(session, [&] { surface->repaint(); }));
        scrolls.push_back(
            timed(session, [&] { across->triggerAction(QAbstractSlider::SliderSingleStepAdd); }));

        // A stroke from corner to corner of what the view shows, then back and again.
        window.zoomToActualSize();
        session.scrollTo(QPoint(0, 0));
        session.click("btmdraw");
        session.press(QPoint(10, 10));
        for (int i = 1; i <= 40; ++i)
            session.move(QPoint(10 + i * 11, 10 + i * 11), true);
        session.release(QPoint(450, 450));
        undos.push_back(timed(session, [&] { window.undoMark(); }));
        redos.push_back(timed(session, [&] { window.redoMark(); }));
    }
    return {
        absoluteRow(QStringLiteral("fit view of 96 MP painted after Ctrl + 0"), fits,
                    kFitMilliseconds),
        absoluteRow(QStringLiteral("full repaint of a 1/3 view of 96 MP"), repaints,
                    kFrameMilliseconds),
        absoluteRow(QStringLiteral("scroll step of a 1/3 view of 96 MP"), scrolls,
                    kFrameMilliseconds),
        absoluteRow(QStringLiteral("jump to an unseen part of a 1/3 view of 96 MP"), jumps,
                    kFrameMilliseconds),
        absoluteRow(QStringLiteral("undo of a 40-segment stroke on 96 MP"), undos,
                    kFrameMilliseconds),
        absoluteRow(QStringLiteral("redo of the same stroke"), redos, kFrameMilliseconds),
    };
}

} // namespace bench
