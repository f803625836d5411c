// Opening a picture: from the file to the picture shown with its scroll ranges
// set, through the Open menu with the dialog answered by the script.

#include "figures.h"
#include "references.h"
#include "session.h"
#include "stats.h"

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
        QStringLiteral("open 96 MP JPEG (vs tjDecompress2 into a newly allocated picture)"),
        session, inputs.jpeg96, [&] { return fresh96.run(); }, 1.10, runs);
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

} // namespace bench
