// Peak memory and start-up, measured in fresh processes of this program.

#include "children.h"
#include "figures.h"
#include "stats.h"

#include <QFile>

namespace bench {

namespace {

constexpr double kMiB = 1024.0 * 1024.0;
constexpr double kStartUpGoalMs = 150;

std::optional<double> medianOfChildren(const QStringList& arguments, int runs, int field = 0)
{
    std::vector<double> values;
    for (int run = 0; run < runs; ++run) {
        const std::optional<QString> output = spawnChild(arguments);
        if (!output)
            return std::nullopt;
        values.push_back(output->split(QLatin1Char(' ')).value(field).toDouble());
    }
    return median(values);
}

// A memory goal: at most factor times the picture's 4 bytes per pixel, plus slack MiB.
Row memoryRow(const QString& figure, std::optional<double> peak, double factor, double slack,
              PictureSize size = kNinetySixMegapixels)
{
    const double picture = double(size.width) * size.height * 4 / kMiB;
    Row row{figure, QStringLiteral("MiB"), picture, peak,
            QStringLiteral("≤ %1x + %2 MiB").arg(factor, 0, 'f', 2).arg(slack)};
    row.met = peak && *peak <= factor * picture + slack;
    return row;
}

} // namespace

std::vector<Row> processFigures(const Inputs& inputs, const QString& folder, int runs)
{
    std::vector<Row> rows;
    const QStringList startUp{QStringLiteral("startup"), folder, QStringLiteral("now")};
    const std::optional<double> shown = medianOfChildren(startUp, runs, 0);
    const std::optional<double> inMain = medianOfChildren(startUp, runs, 1);
    rows.push_back(Row{QStringLiteral("start-up: process start to main()"),
                       QStringLiteral("ms"),
                       {},
                       inMain,
                       QString(),
                       true});
    Row startRow{QStringLiteral("start-up: process start to main window shown"),
                 QStringLiteral("ms"),
                 {},
                 shown,
                 QStringLiteral("< %1 ms").arg(kStartUpGoalMs)};
    startRow.met = shown && *shown < kStartUpGoalMs;
    rows.push_back(startRow);

    // Memory is steady from run to run; three runs guard against a stray one.
    constexpr int kMemoryRuns = 3;
    const auto peak = [&](const char* scenario) {
        return medianOfChildren({QString::fromLatin1(scenario), folder}, kMemoryRuns);
    };
    rows.push_back(Row{QStringLiteral("peak memory, main window with no picture"),
                       QStringLiteral("MiB"),
                       {},
                       peak("memory-empty"),
                       QString(),
                       true});
    // The file is streamed, never held whole beside the picture.
    rows.push_back(memoryRow(QStringLiteral("peak memory after opening 96 MP (vs 4 B/pixel)"),
                             peak("memory-open"), 1.05, 40));
    rows.push_back(Row{QStringLiteral("open 96 MP JPEG as the first picture of a fresh process"),
                       QStringLiteral("ms"),
                       {},
                       medianOfChildren({QStringLiteral("memory-open"), folder}, kMemoryRuns, 1),
                       QString(),
                       true});
    rows.push_back(
        memoryRow(QStringLiteral("peak memory after marking, cutting, saving (vs 4 B/pixel)"),
                  peak("memory-edit"), 2.1, 60));
    // Past the old fixed 1 GiB ceiling, and turned as it decodes: one copy only.
    std::optional<double> large;
    if (writeLargeTurnedJpeg(inputs.largeTurned, kLargeTurned))
        large = medianOfChildren({QStringLiteral("memory-large"), folder}, 1);
    QFile::remove(inputs.largeTurned);
    rows.push_back(memoryRow(
        QStringLiteral("peak memory after opening 16400x16400 turned by EXIF (vs 4 B/pixel)"),
        large, 1.0, 60, kLargeTurned));
    return rows;
}

} // namespace bench
