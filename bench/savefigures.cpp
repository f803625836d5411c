// Saving a 3000 x 2000 piece cut from the 24 MP picture through savepicture and
// the JPEG library, against libjpeg-turbo compressing the same pixels: once to
// memory, the reference the goal is measured against, and once also writing
// the file as safely as the library does, which shows what the write costs.
// Baseline files get Huffman tables made for their data, which costs a second
// pass over the symbols; their size is set beside jpegtran -optimize of TurboJPEG's file,
// cjpeg's and ImageMagick's.

#include "figures.h"
#include "references.h"
#include "session.h"
#include "stats.h"
#include "toolkit/picturebox.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <turbojpeg.h>

namespace bench {

namespace {

constexpr int kQuality = 50;
// Optimising the Huffman tables may cost this much more than TurboJPEG's defaults.
constexpr double kBaselineGoal = 1.40;
constexpr double kProgressiveGoal = 1.10;
constexpr double kKiB = 1024.0;

QByteArray turboJpeg(const QImage& piece)
{
    tjhandle handle = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    const bool ok = tjCompress2(handle, piece.constBits(), piece.width(),
                                static_cast<int>(piece.bytesPerLine()), piece.height(), TJPF_BGRX,
                                &out, &size, TJSAMP_420, kQuality, 0) == 0;
    QByteArray bytes =
        ok ? QByteArray(reinterpret_cast<const char*>(out), qsizetype(size)) : QByteArray();
    tjFree(out);
    tjDestroy(handle);
    return bytes;
}

// What a program writes to its standard output for this input; empty on failure.
QByteArray runTool(const QString& program, const QStringList& arguments,
                   const QByteArray& input = {})
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForStarted())
        return {};
    tool.write(input);
    tool.closeWriteChannel();
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0)
        return {};
    return tool.readAllStandardOutput();
}

// ImageMagick's convert, not a stand-in of the same name earlier on the path.
QString imageMagick()
{
    for (const char* name : {"magick", "convert-im6.q16", "convert"}) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!found.isEmpty() &&
            runTool(found, {QStringLiteral("-version")}).startsWith("Version: ImageMagick"))
            return found;
    }
    return {};
}

Row sizeRow(const QString& figure, qsizetype reference, qsizetype candidate, bool goal)
{
    Row row{figure, QStringLiteral("KiB"),
            reference > 0 ? std::optional<double>(reference / kKiB) : std::nullopt,
            candidate > 0 ? std::optional<double>(candidate / kKiB) : std::nullopt,
            goal ? QStringLiteral("≤ 1.00x") : QString()};
    row.met = reference > 0 && candidate > 0 && candidate <= reference;
    if (reference <= 0)
        row.candidate.reset();
    return row;
}

// The piece's baseline size beside what other encoders make of the same pixels.
std::vector<Row> sizeFigures(const QImage& piece, qsizetype ours, const QString& folder)
{
    const QString ppm = QDir(folder).filePath(QStringLiteral("piece.ppm"));
    piece.convertToFormat(QImage::Format_RGB888).save(ppm, "PPM");
    const QString quality = QString::number(kQuality);
    const qsizetype optimised =
        runTool(QStringLiteral("jpegtran"), {QStringLiteral("-optimize")}, turboJpeg(piece)).size();
    const qsizetype cjpeg =
        runTool(QStringLiteral("cjpeg"), {QStringLiteral("-quality"), quality, ppm}).size();
    const QString magick = imageMagick();
    const qsizetype imageMagickSize =
        magick.isEmpty() ? 0
                         : runTool(magick, {ppm, QStringLiteral("-quality"), quality,
                                            QStringLiteral("-sampling-factor"),
                                            QStringLiteral("2x2"), QStringLiteral("jpg:-")})
                               .size();
    QFile::remove(ppm);
    const QString stem = QStringLiteral("size of 3000x2000 baseline q50");
    return {
        sizeRow(stem + QStringLiteral(" (vs jpegtran -optimize of tjCompress2's file)"), optimised,
                ours, true),
        sizeRow(stem + QStringLiteral(" (vs cjpeg)"), cjpeg, ours, false),
        sizeRow(stem + QStringLiteral(" (vs ImageMagick)"), imageMagickSize, ours, false),
    };
}

bool cutPiece(Session& session, QSize size)
{
    session.click("btmcut");
    session.press(QPoint(0, 0));
    session.move(QPoint(size.width(), size.height()), false);
    session.press(QPoint(size.width(), size.height()));
    return session.window().document().cuttedpic().image().size() == size;
}

} // namespace

std::vector<Row> saveFigures(const Inputs& inputs, const QString& folder, int runs)
{
    Session session;
    const QSize pieceSize(3000, 2000);
    if (!session.open(inputs.jpeg24) || !cutPiece(session, pieceSize))
        return {Row{QStringLiteral("save 3000x2000 piece"),
                    QStringLiteral("ms"),
                    {},
                    {},
                    QStringLiteral("≤ 1.10x"),
                    false}};
    const QImage piece = session.window().document().cuttedpic().image();

    std::vector<Row> rows;
    int serial = 0;
    bool failed = false;
    const Measured saving = [&] {
        const QString path = QDir(folder).filePath(QStringLiteral("piece-%1.jpg").arg(++serial));
        const Stopwatch watch;
        const bool saved = session.save(path);
        const double elapsed = watch.milliseconds();
        failed = failed || !saved;
        QFile::remove(path);
        return elapsed;
    };
    qsizetype baselineSize = 0;
    for (const bool progressive : {false, true}) {
        session.setJpegOptions(kQuality, progressive);
        const QString kind =
            progressive ? QStringLiteral("progressive") : QStringLiteral("baseline");
        JpegCompressReference toMemory(piece, kQuality, progressive);
        JpegCompressReference toFile(piece, kQuality, progressive, folder);
        const double goal = progressive ? kProgressiveGoal : kBaselineGoal;
        const PairedMedians memory = measurePair(
            runs, [&] { return toMemory.run(); }, saving);
        rows.push_back(
            ratioRow(QStringLiteral("save 3000x2000 %1 q50 (vs tjCompress2 to memory)").arg(kind),
                     memory.reference, memory.candidate, goal));
        const PairedMedians file = measurePair(
            runs, [&] { return toFile.run(); }, saving);
        Row written =
            ratioRow(QStringLiteral("save 3000x2000 %1 q50 (vs tjCompress2 + write, fsync, rename)")
                         .arg(kind),
                     file.reference, file.candidate, goal);
        rows.push_back(written);
        if (!progressive) {
            const QString sized = QDir(folder).filePath(QStringLiteral("sized.jpg"));
            failed = failed || !session.save(sized);
            baselineSize = QFileInfo(sized).size();
            QFile::remove(sized);
        }
    }
    const std::vector<Row> sizes = sizeFigures(piece, baselineSize, folder);
    rows.insert(rows.end(), sizes.begin(), sizes.end());
    if (failed)
        for (Row& row : rows)
            row.candidate.reset();
    return rows;
}

} // namespace bench
