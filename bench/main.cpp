// Snipwell's benchmark: makes its own pictures, measures Snipwell's real
// windows and library side by side with libjpeg-turbo and the system, and
// prints one table. `snipwell_bench [--runs N] [--only GROUP] [--strict]`:
// GROUP is one of process, screen, open, save, events, view; --strict makes a missed goal
// fail the run.

#include "children.h"
#include "figures.h"
#include "inputs.h"
#include "stats.h"

#include <QApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void say(const char* what)
{
    std::fprintf(stderr, "snipwell_bench: %s\n", what);
}

} // namespace

int main(int argc, char** argv)
{
    // Everything runs on the offscreen platform, children included.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc >= 2 && std::strcmp(argv[1], "--child") == 0)
        return bench::runChild(argc - 2, argv + 2);

    int runs = 9;
    bool strict = false;
    QString only;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(5, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc)
            only = QString::fromLocal8Bit(argv[++i]);
        else if (std::strcmp(argv[i], "--strict") == 0)
            strict = true;
    }

    QTemporaryDir folder;
    bench::Inputs inputs;
    say("writing the pictures");
    if (!folder.isValid() || !bench::writeInputs(folder.path(), &inputs)) {
        say("could not write the pictures");
        return 1;
    }
    // Children first, while this process is still small and quiet.
    const auto wanted = [&only](const char* group) {
        return only.isEmpty() || only == QLatin1String(group);
    };
    std::vector<bench::Row> rows;
    const auto add = [&rows](const std::vector<bench::Row>& more) {
        rows.insert(rows.end(), more.begin(), more.end());
    };
    if (wanted("process")) {
        say("start-up and peak memory, in child processes");
        add(bench::processFigures(inputs, folder.path(), runs));
    }

    if (wanted("screen")) {
        say("start-up on a private X server");
        add(bench::screenFigures(runs));
    }

    QApplication app(argc, argv);
    if (wanted("screen")) {
        say("a picture launched on a private X server");
        add(bench::screenPictureFigures(inputs, runs));
    }
    if (wanted("open")) {
        say("opening pictures");
        add(bench::openFigures(inputs, runs));
        add(bench::oneCoreOpenFigures(folder.path(), runs));
    }
    if (wanted("save")) {
        say("saving pieces");
        add(bench::saveFigures(inputs, folder.path(), runs));
    }
    if (wanted("events")) {
        say("mouse events");
        add(bench::eventFigures(inputs, runs));
    }
    if (wanted("view")) {
        say("the picture shown as it decodes; zoom, scrolling, undo");
        add(bench::decodingViewFigures(inputs, runs));
        add(bench::viewFigures(inputs, runs));
    }

    std::printf("\nSnipwell benchmark, medians of %d runs (reference and Snipwell in turns)\n\n",
                runs);
    const int missed = bench::printTable(rows);
    // A figure that could not be measured is an error whatever the goals say.
    const bool failed =
        std::any_of(rows.begin(), rows.end(), [](const bench::Row& row) { return !row.candidate; });
    return failed || (strict && missed > 0) ? 1 : 0;
}
