// Opening a picture: from the file to the picture shown with its scroll ranges
// set, through the Open menu with the dialog answered by the script.

#include "children.h"
#include "figures.h"
#include "references.h"
#include "session.h"
#include "stats.h"

#include <QDir>
#include <cstdio>
#include <sched.h>

namespace bench {

namespace {

// Each open starts from an empty surface, so the time is that of opening a
// picture and not of also freeing the one before.
Measured openingIn(Session& session, const QString& path, bool& failed)
{
    return [&session, path, &failed] {
        session.forgetPicture();
        const Stopwatch watch;
        const bool opened = session.open(path);
        const double elapsed = watch.milliseconds();
        failed = failed || !opened;
        return elapsed;
    };
}

Row openRow(const QString& figure, Session& session, const QString& path, const Measured& reference,
            double goal, int runs)
{
    bool failed = false;
    const PairedMedians medians = measurePair(runs, reference, openingIn(session, path, failed));
    Row row = ratioRow(figure, medians.reference, medians.candidate, goal);
    if (failed || medians.reference < 0)
        row.candidate.reset();
    return row;
}

} // namespace

std::vector<Row> openFigures(const Inputs& inputs, int runs)
{
    Session session;
    JpegDecodeReference decode24(inputs.jpeg24);
    JpegDecodeReference decode96(inputs.jpeg96);
    JpegDecodeReference fresh96(inputs.jpeg96, true);
    // Reading a file's bytes into memory, as a program does: into a new buffer.
    FileReadReference readAll24(inputs.bmp24, FileReadReference::Into::NewBuffer);
    // For context, into a buffer kept from the run before: the bare cost of the read.
    FileReadReference read24(inputs.bmp24);
    Row bmpBuffer = openRow(
        QStringLiteral("open 24 MP BMP (vs reading its bytes into a buffer allocated before)"),
        session, inputs.bmp24, [&] { return read24.run(); }, 1.50, runs);
    bmpBuffer.goal.clear();
    Row allocation = openRow(
        QStringLiteral("open 96 MP JPEG (vs tjDecompress2 into a newly allocated buffer)"), session,
        inputs.jpeg96, [&] { return fresh96.run(); }, 1.10, runs);
    allocation.goal.clear(); // context: how much of the gap is the kernel's fresh memory
    FileReadReference freshRead24(inputs.bmp24,
                                  QSize(kTwentyFourMegapixels.width, kTwentyFourMegapixels.height));
    Row bmpAllocation = openRow(
        QStringLiteral("open 24 MP BMP (vs reading its bytes into a newly allocated picture)"),
        session, inputs.bmp24, [&] { return freshRead24.run(); }, 1.50, runs);
    bmpAllocation.goal.clear();
    return {
        openRow(
            QStringLiteral("open 24 MP JPEG (vs tjDecompress2)"), session, inputs.jpeg24,
            [&] { return decode24.run(); }, 1.10, runs),
        openRow(
            QStringLiteral("open 96 MP JPEG (vs tjDecompress2)"), session, inputs.jpeg96,
            [&] { return decode96.run(); }, 1.10, runs),
        openRow(
            QStringLiteral("open 24 MP BMP (vs reading its bytes into memory)"), session,
            inputs.bmp24, [&] { return readAll24.run(); }, 1.50, runs),
        bmpBuffer,
        allocation,
        bmpAllocation,
    };
}

namespace {

constexpr double kOneCoreGoal = 1.15;

// Keeps this process, and every thread it starts from now on, on its first core.
bool pinToOneCore()
{
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0)
        return false;
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
        if (CPU_ISSET(cpu, &allowed)) {
            cpu_set_t one;
            CPU_ZERO(&one);
            CPU_SET(cpu, &one);
            return sched_setaffinity(0, sizeof one, &one) == 0;
        }
    }
    return false;
}

} // namespace

int measureOpensOnOneCore(const QString& folder, int runs)
{
    if (!pinToOneCore())
        return 1;
    const QDir dir(folder);
    Session session;
    for (const char* name : {"photo-24mp.jpg", "photo-96mp.jpg"}) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        JpegDecodeReference fresh(path, true);
        JpegDecodeReference kept(path);
        bool failed = false;
        const PairedMedians newMemory = measurePair(
            runs, [&] { return fresh.run(); }, openingIn(session, path, failed));
        const PairedMedians pagedIn = measurePair(
            runs, [&] { return kept.run(); }, openingIn(session, path, failed));
        if (failed || newMemory.reference < 0 || pagedIn.reference < 0)
            return 1;
        std::printf("%.3f %.3f %.3f %.3f ", newMemory.reference, newMemory.candidate,
                    pagedIn.reference, pagedIn.candidate);
    }
    std::printf("\n");
    return 0;
}

std::vector<Row> oneCoreOpenFigures(const QString& folder, int runs)
{
    const std::optional<QString> output =
        spawnChild({QStringLiteral("open-one-core"), folder, QString::number(runs)});
    const QStringList values = output ? output->split(QLatin1Char(' ')) : QStringList();
    std::vector<Row> rows;
    int at = 0;
    for (const char* size : {"24", "96"}) {
        const auto value = [&](int i) {
            return values.value(at + i, QStringLiteral("-1")).toDouble();
        };
        Row fresh = ratioRow(
            QStringLiteral("open %1 MP JPEG on one core (vs tjDecompress2 into a newly allocated "
                           "buffer)")
                .arg(QLatin1String(size)),
            value(0), value(1), kOneCoreGoal);
        Row kept = ratioRow(
            QStringLiteral("open %1 MP JPEG on one core (vs tjDecompress2 into a buffer paged in "
                           "before)")
                .arg(QLatin1String(size)),
            value(2), value(3), kOneCoreGoal);
        kept.goal.clear(); // context: what fresh pages cost on a core with no help
        for (Row* row : {&fresh, &kept}) {
            if (!output || row->reference <= 0)
                row->candidate.reset();
            rows.push_back(*row);
        }
        at += 4;
    }
    return rows;
}

} // namespace bench
