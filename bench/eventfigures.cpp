// One mouse event of each tool, sent to the picture surface as a real
// QMouseEvent and followed by the event loop's repaint of what it changed, on
// the 96 MP picture against the same on the 1 MP picture. Both windows are
// open at once and take turns.

#include "figures.h"
#include "session.h"
#include "stats.h"

#include <QLineEdit>
#include <QPushButton>
#include <functional>

namespace bench {

namespace {

constexpr int kEventsPerRound = 31;
constexpr double kAllowedRatio = 1.5;
constexpr double kAllowedMilliseconds = 1.0;

struct EventKind
{
    QString name;
    std::function<void(Session&)> setUp;
    std::function<void(Session&, int)> step; // the i-th event of a round
};

std::vector<EventKind> eventKinds()
{
    return {
        {QStringLiteral("rubber-band move"),
         [](Session& s) {
             s.click("btmcut");
             s.press(QPoint(20, 20));
         },
         [](Session& s, int i) { s.move(i % 2 ? QPoint(300, 250) : QPoint(311, 262), false); }},
        {QStringLiteral("pen segment, 50 px, width 10"),
         [](Session& s) {
             s.setPenWidth(10);
             s.click("btmdraw");
             s.press(QPoint(100, 150));
         },
         [](Session& s, int i) { s.move(i % 2 ? QPoint(100, 150) : QPoint(150, 150), true); }},
        {QStringLiteral("eraser move"),
         [](Session& s) {
             s.click("btmerase");
             s.press(QPoint(60, 300));
         },
         [](Session& s, int i) { s.move(i % 2 ? QPoint(60, 300) : QPoint(72, 306), true); }},
        {QStringLiteral("text preview move"),
         [](Session& s) {
             s.setText(QStringLiteral("Snipwell 96"));
             s.click("btmtext");
         },
         [](Session& s, int i) { s.move(i % 2 ? QPoint(200, 200) : QPoint(212, 206), false); }},
    };
}

// The median time of one round of events, each with its repaint; a round in
// which nothing was repainted counts as failed.
Measured roundOf(Session& session, const EventKind& kind, bool& unpainted)
{
    return [&session, &kind, &unpainted] {
        std::vector<double> times;
        session.takePaintCount();
        for (int i = 0; i < kEventsPerRound; ++i) {
            const Stopwatch watch;
            kind.step(session, i);
            times.push_back(watch.milliseconds());
        }
        unpainted = unpainted || session.takePaintCount() < kEventsPerRound;
        return median(times);
    };
}

// The first pen mark on a part of the picture no mark has touched yet, which
// gives that part pixels of its own: every sample draws a short segment in a
// tile of the picture that has not been marked before, scrolled into view.
Measured firstMarkOf(Session& session, int& sample)
{
    return [&session, &sample] {
        // Twenty tiles of 256 pixels lie wholly or partly in the 1 MP picture;
        // the segment stays inside its tile in every one of them.
        constexpr int kTile = 256;
        constexpr int kColumns = 5;
        constexpr int kTiles = 20;
        const int tile = sample++ % kTiles;
        const QPoint at(tile % kColumns * kTile + 100, tile / kColumns * kTile + 20);
        session.scrollTo(at);
        session.press(at);
        const Stopwatch watch;
        session.move(at + QPoint(50, 0), true);
        const double elapsed = watch.milliseconds();
        session.release(at + QPoint(50, 0));
        return elapsed;
    };
}

} // namespace

std::vector<Row> eventFigures(const Inputs& inputs, int runs)
{
    Session small;
    Session large;
    if (!small.open(inputs.jpeg1) || !large.open(inputs.jpeg96))
        return {Row{QStringLiteral("mouse events"),
                    QStringLiteral("ms"),
                    {},
                    {},
                    QStringLiteral("≤ 1.5x and < 1 ms"),
                    false}};
    std::vector<Row> rows;
    for (const EventKind& kind : eventKinds()) {
        kind.setUp(small);
        kind.setUp(large);
        if (kind.name.startsWith(QLatin1String("pen"))) {
            int small1 = 0;
            int large96 = 0;
            const PairedMedians first =
                measurePair(runs, firstMarkOf(small, small1), firstMarkOf(large, large96));
            Row row{QStringLiteral("first pen mark on an unmarked part, 96 MP vs 1 MP"),
                    QStringLiteral("ms"), first.reference, first.candidate,
                    QStringLiteral("≤ 1.5x and < 1 ms")};
            row.met = first.candidate <= kAllowedRatio * first.reference &&
                      first.candidate < kAllowedMilliseconds;
            rows.push_back(row);
            small.scrollTo(QPoint(0, 0));
            large.scrollTo(QPoint(0, 0));
            kind.setUp(small);
            kind.setUp(large);
        }
        bool unpainted = false;
        const PairedMedians medians =
            measurePair(runs, roundOf(small, kind, unpainted), roundOf(large, kind, unpainted));
        Row row{kind.name + QStringLiteral(", 96 MP vs 1 MP"), QStringLiteral("ms"),
                medians.reference, medians.candidate, QStringLiteral("≤ 1.5x and < 1 ms")};
        row.met = medians.candidate <= kAllowedRatio * medians.reference &&
                  medians.candidate < kAllowedMilliseconds;
        if (unpainted) {
            row.figure += QStringLiteral(" (no repaint seen)");
            row.met = false;
        }
        rows.push_back(row);
    }
    return rows;
}

} // namespace bench
