// The view: the 96 MP picture painted as it decodes, against decoding it; and
// beyond 100 %, the fit view after Ctrl + 0, a full repaint and a scroll of a
// reduced view, and taking a long stroke back and doing it again, each the
// handler the key runs followed by the event loop's repaint, against absolute
// goals.

#include "figures.h"
#include "references.h"
#include "session.h"
#include "stats.h"
#include "toolkit/picturebox.h"
#include "toolkit/scrollbar.h"

#include <QAbstractSlider>
#include <QPaintEvent>
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

// The moment, from its start, at which an open has painted the whole part of
// the picture in view with decoded pixels: the corner decoded ahead, or rows
// painted top first as they decode, so the first paint of decoded pixels that
// reaches the view's bottom.
class ViewFilledWatch : public QObject
{
  public:
    ViewFilledWatch(const PictureBox& box, int viewBottom) : m_box(box), m_viewBottom(viewBottom)
    {
        box.client()->installEventFilter(this);
    }
    std::optional<double> filledAfter() const { return m_filled; }

  protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        const bool decoded =
            m_box.loadedRows() > m_viewBottom || m_box.loadingCorner().bottom() >= m_viewBottom;
        if (event->type() == QEvent::Paint && !m_filled && m_box.isLoading() && decoded &&
            static_cast<QPaintEvent*>(event)->rect().bottom() >= m_viewBottom)
            m_filled = m_watch.milliseconds();
        return false;
    }

  private:
    const PictureBox& m_box;
    int m_viewBottom;
    Stopwatch m_watch;
    std::optional<double> m_filled;
};

} // namespace

std::vector<Row> decodingViewFigures(const Inputs& inputs, int runs)
{
    Session session;
    // The rows in view: the viewport's height inside the picture's border.
    const auto* viewport = session.find<PictureBox>("base");
    const int viewRows = viewport->innerSize().height() - 2;
    bool failed = false;
    const Measured shown = [&] {
        session.forgetPicture();
        const ViewFilledWatch watch(*session.find<PictureBox>("picmain"), viewRows - 1);
        failed = !session.open(inputs.jpeg96) || !watch.filledAfter() || failed;
        return watch.filledAfter().value_or(0);
    };
    JpegDecodeReference whole(inputs.jpeg96, true);
    JpegTopRowsReference top(inputs.jpeg96, viewRows);
    const PairedMedians againstWhole = measurePair(
        runs, [&] { return whole.run(); }, shown);
    const PairedMedians againstTop = measurePair(
        runs, [&] { return top.run(); }, shown);
    std::vector<Row> rows = {
        ratioRow(QStringLiteral("96 MP picture in view painted as it decodes (vs its whole decode "
                                "by tjDecompress2 into fresh memory)"),
                 againstWhole.reference, againstWhole.candidate, 0.15),
        ratioRow(QStringLiteral("96 MP picture in view painted as it decodes (vs decoding only "
                                "the %1 rows in view)")
                     .arg(viewRows),
                 againstTop.reference, againstTop.candidate, 1.5),
    };
    if (failed)
        for (Row& row : rows)
            row.candidate.reset();
    return rows;
}

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
        // The thumbs let go far away: nothing of the view there was made before.
        auto* down = session.find<ScrollBar>("VScroll");
        jumps.push_back(timed(session, [&] {
            across->setValue(across->Max() / 5);
            down->setValue(down->Max() * 4 / 5);
        }));

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
