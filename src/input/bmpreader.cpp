#include "input/bmpreader.h"

#include "input/picturememory.h"

#include <QtEndian>

namespace {

constexpr qsizetype kFileHeaderSize = 14;
constexpr quint32 kUncompressed = 0;   // BI_RGB
constexpr quint32 kBitFields = 3;      // BI_BITFIELDS
constexpr qsizetype kMasksOffset = 54; // masks follow a 40-byte header, or lie inside a larger one

struct BmpHeader
{
    qint64 pixelOffset = 0;
    qint64 width = 0;
    qint64 height = 0; // positive: rows stored bottom-up
    int bitsPerPixel = 0;
    bool topDown = false;
};

quint32 u32(const uchar* data, qsizetype at)
{
    return qFromLittleEndian<quint32>(data + at);
}

// Only the masks of the plain 0x00RRGGBB layout without alpha are read here.
bool hasPlainMasks(const uchar* data, qsizetype size, quint32 headerSize)
{
    if (size < kMasksOffset + 12)
        return false;
    const bool plain = u32(data, kMasksOffset) == 0x00FF0000 &&
                       u32(data, kMasksOffset + 4) == 0x0000FF00 &&
                       u32(data, kMasksOffset + 8) == 0x000000FF;
    const bool hasAlphaMask =
        headerSize >= 56 && size >= kMasksOffset + 16 && u32(data, kMasksOffset + 12) != 0;
    return plain && !hasAlphaMask;
}

std::optional<BmpHeader> readHeader(const uchar* data, qsizetype size)
{
    if (size < kFileHeaderSize + 40)
        return std::nullopt;
    const quint32 headerSize = u32(data, 14);
    if (headerSize < 40 || headerSize > 124)
        return std::nullopt;
    BmpHeader header;
    header.pixelOffset = u32(data, 10);
    header.width = qFromLittleEndian<qint32>(data + 18);
    const qint64 height = qFromLittleEndian<qint32>(data + 22);
    header.topDown = height < 0;
    header.height = height < 0 ? -height : height;
    header.bitsPerPixel = qFromLittleEndian<quint16>(data + 28);
    const quint32 compression = u32(data, 30);
    if (header.bitsPerPixel != 24 && header.bitsPerPixel != 32)
        return std::nullopt;
    const bool plain =
        compression == kUncompressed || (compression == kBitFields && header.bitsPerPixel == 32 &&
                                         hasPlainMasks(data, size, headerSize));
    if (!plain)
        return std::nullopt;
    return header;
}

void convertRow(const uchar* in, QRgb* out, qint64 width, int bitsPerPixel)
{
    if (bitsPerPixel == 32) {
        // The fourth byte is unused padding in these files.
        for (qint64 x = 0; x < width; ++x)
            out[x] = 0xFF000000u | qFromLittleEndian<quint32>(in + 4 * x);
        return;
    }
    // Four pixels are twelve bytes: three word loads and shifts instead of
    // twelve byte loads, which makes the conversion a few times faster.
    qint64 x = 0;
    for (; x + 4 <= width; x += 4, in += 12) {
        const quint32 a = qFromLittleEndian<quint32>(in);
        const quint32 b = qFromLittleEndian<quint32>(in + 4);
        const quint32 c = qFromLittleEndian<quint32>(in + 8);
        out[x] = 0xFF000000u | a;
        out[x + 1] = 0xFF000000u | a >> 24 | b << 8;
        out[x + 2] = 0xFF000000u | b >> 16 | c << 16;
        out[x + 3] = 0xFF000000u | c >> 8;
    }
    for (; x < width; ++x, in += 3)
        out[x] = 0xFF000000u | quint32(in[2]) << 16 | quint32(in[1]) << 8 | in[0];
}

} // namespace

std::optional<PictureLoad> decodeBmp(QIODevice& file)
{
    // The headers: the file header, the largest info header and its masks.
    const QByteArray head = file.peek(kFileHeaderSize + 124 + 16);
    const auto* data = reinterpret_cast<const uchar*>(head.constData());
    const std::optional<BmpHeader> header = readHeader(data, head.size());
    if (!header)
        return std::nullopt;
    const qint64 width = header->width;
    const qint64 height = header->height;
    if (!pictureloader::fitsLimit(width, height))
        return width > 0 && height > 0
                   ? PictureLoad::failure(pictureloader::tooLarge(width, height))
                   : PictureLoad::failure(QStringLiteral("画像ファイルではありません"));
    const int bytesPerPixel = header->bitsPerPixel / 8;
    const qint64 stride = (width * header->bitsPerPixel + 31) / 32 * 4;
    const qint64 lastRowEnd = header->pixelOffset + stride * (height - 1) + width * bytesPerPixel;
    if (header->pixelOffset < kFileHeaderSize + 40 || lastRowEnd > file.size())
        return PictureLoad::failure(QStringLiteral("ファイルが途中で切れています"));

    QImage image = newPictureImage(static_cast<int>(width), static_cast<int>(height));
    if (image.isNull() || !file.seek(header->pixelOffset))
        return PictureLoad::failure(QStringLiteral("メモリが足りません"));
    // Rows are read in stripes of about a megabyte straight from the file, so the
    // file is never held whole in memory beside the picture.
    const qint64 rowsPerStripe = std::max<qint64>(1, (qint64(1) << 20) / stride);
    QByteArray stripe(static_cast<qsizetype>(rowsPerStripe * stride), Qt::Uninitialized);
    for (qint64 first = 0; first < height; first += rowsPerStripe) {
        const qint64 rows = std::min(rowsPerStripe, height - first);
        // The last row of the file may lack its padding.
        const qint64 wanted =
            first + rows == height ? stride * (rows - 1) + width * bytesPerPixel : stride * rows;
        if (file.read(stripe.data(), wanted) != wanted)
            return PictureLoad::failure(
                QStringLiteral("読み込めません: %1").arg(file.errorString()));
        for (qint64 i = 0; i < rows; ++i) {
            const qint64 stored = first + i;
            const qint64 row = header->topDown ? stored : height - 1 - stored;
            convertRow(reinterpret_cast<const uchar*>(stripe.constData()) + i * stride,
                       reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(row))), width,
                       header->bitsPerPixel);
        }
    }
    return PictureLoad{image, QString()};
}
