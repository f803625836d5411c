// Saving a 3000 x 2000 piece cut from the 24 MP picture through savepicture and
// the JPEG library, against libjpeg-turbo compressing the same pixels: once to
// memory, the reference the goal is measured against, and once also writing
// the file as safely as the library does, which shows what the write costs.

#include "figures.h"
#include "references.h"
#include "session.h"
#include "stats.h"
#include "toolkit/picturebox.h"

#include <QDir>
#include <QPushButton>

namespace bench {

namespace {

constexpr int kQuality = 50;

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
    for (const bool progressive : {false, true}) {
        session.setJpegOptions(kQuality, progressive);
        const QString kind =
            progressive ? QStringLiteral("progressive") : QStringLiteral("baseline");
        JpegCompressReference toMemory(piece, kQuality, progressive);
        JpegCompressReference toFile(piece, kQuality, progressive, folder);
        const PairedMedians memory = measurePair(
            runs, [&] { return toMemory.run(); }, saving);
        rows.push_back(
            ratioRow(QStringLiteral("save 3000x2000 %1 q50 (vs tjCompress2 to memory)").arg(kind),
                     memory.reference, memory.candidate, 1.10));
        const PairedMedians file = measurePair(
            runs, [&] { return toFile.run(); }, saving);
        Row written =
            ratioRow(QStringLiteral("save 3000x2000 %1 q50 (vs tjCompress2 + write, fsync, rename)")
                         .arg(kind),
                     file.reference, file.candidate, 1.10);
        rows.push_back(written);
    }
    if (failed)
        for (Row& row : rows)
            row.candidate.reset();
    return rows;
}

} // namespace bench
