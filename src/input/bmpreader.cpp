#include "input/bmpreader.h"

#include "input/loadmessages.h"
#include "input/loadobserver.h"
#include "input/picturememory.h"

#include <QtEndian>
#include <array>
#include <bit>
#include <vector>

namespace {

constexpr qsizetype kFileHeaderSize = 14;
constexpr quint32 kUncompressed = 0;   // BI_RGB
constexpr quint32 kBitFields = 3;      // BI_BITFIELDS
constexpr quint32 kAlphaBitFields = 6; // BI_ALPHABITFIELDS
constexpr qsizetype kMasksOffset = 54; // masks follow a 40-byte header, or lie inside a larger one

// One colour channel given by a bit mask, widened to 8 bits exactly: the
// largest value the mask holds becomes 255 (31 of 5 bits, 63 of 6 bits).
struct Channel
{
    quint32 mask = 0;
    int shift = 0;
    std::vector<uchar> widened; // by value, for channels of up to 16 bits
    quint32 largest = 0;

    bool set(quint32 bits)
    {
        mask = bits;
        if (bits == 0)
            return false;
        shift = std::countr_zero(bits);
        largest = bits >> shift;
        if ((largest & (largest + 1)) != 0) // the bits must lie side by side
            return false;
        if (largest <= 0xFFFF) {
            widened.resize(largest + 1);
            for (quint32 v = 0; v <= largest; ++v)
                widened[v] = static_cast<uchar>((std::uint64_t(v) * 255 + largest / 2) / largest);
        }
        return true;
    }
    int of(quint32 pixel) const
    {
        const quint32 v = (pixel & mask) >> shift;
        return widened.empty() ? int((std::uint64_t(v) * 255 + largest / 2) / largest) : widened[v];
    }
};

struct BmpHeader
{
    qint64 pixelOffset = 0;
    qint64 width = 0;
    qint64 height = 0; // positive: rows stored bottom-up
    int bitsPerPixel = 0;
    bool topDown = false;
    // Pixels described by masks (16 bits, or 32 bits in another layout than
    // 0x00RRGGBB); empty for plain 24- and 32-bit pixels.
    bool masked = false;
    std::array<quint32, 4> masks{}; // red, green, blue, alpha
};

quint32 u32(const uchar* data, qsizetype at)
{
    return qFromLittleEndian<quint32>(data + at);
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
    const int bits = header.bitsPerPixel;
    if (compression == kUncompressed) {
        if (bits == 16) {
            header.masked = true;
            header.masks = {0x7C00, 0x03E0, 0x001F, 0};
        }
        if (bits == 16 || bits == 24 || bits == 32)
            return header;
        return std::nullopt;
    }
    const bool fields = compression == kBitFields || compression == kAlphaBitFields;
    if (!fields || (bits != 16 && bits != 32))
        return std::nullopt;
    const bool hasAlpha = compression == kAlphaBitFields || headerSize >= 56;
    if (size < kMasksOffset + (hasAlpha ? 16 : 12))
        return std::nullopt;
    for (int i = 0; i < (hasAlpha ? 4 : 3); ++i)
        header.masks[i] = u32(data, kMasksOffset + 4 * i);
    // 32-bit pictures with transparency are left to Qt's reader.
    if (bits == 32 && header.masks[3] != 0)
        return std::nullopt;
    header.masked = !(bits == 32 && header.masks[0] == 0x00FF0000 &&
                      header.masks[1] == 0x0000FF00 && header.masks[2] == 0x000000FF);
    return header;
}

class MaskedPixels
{
  public:
    bool set(const std::array<quint32, 4>& masks)
    {
        for (int i = 0; i < 3; ++i) {
            if (!m_channels[i].set(masks[i]))
                return false;
        }
        m_hasAlpha = masks[3] != 0 && m_channels[3].set(masks[3]);
        if (masks[3] != 0 && !m_hasAlpha)
            return false;
        // Channels that share bits describe no colour a reader can agree on.
        const quint32 all = masks[0] | masks[1] | masks[2] | masks[3];
        return std::popcount(all) == std::popcount(masks[0]) + std::popcount(masks[1]) +
                                         std::popcount(masks[2]) + std::popcount(masks[3]);
    }
    void convertRow(const uchar* in, QRgb* out, qint64 width, int bitsPerPixel) const
    {
        for (qint64 x = 0; x < width; ++x) {
            const quint32 p = bitsPerPixel == 16 ? qFromLittleEndian<quint16>(in + 2 * x)
                                                 : qFromLittleEndian<quint32>(in + 4 * x);
            int r = m_channels[0].of(p);
            int g = m_channels[1].of(p);
            int b = m_channels[2].of(p);
            if (m_hasAlpha) {
                // Shown on white, as every transparent picture is.
                const int a = m_channels[3].of(p);
                r = (r * a + 255 * (255 - a) + 127) / 255;
                g = (g * a + 255 * (255 - a) + 127) / 255;
                b = (b * a + 255 * (255 - a) + 127) / 255;
            }
            out[x] = qRgb(r, g, b);
        }
    }

  private:
    std::array<Channel, 4> m_channels;
    bool m_hasAlpha = false;
};

void convertPlainRow(const uchar* in, QRgb* out, qint64 width, int bitsPerPixel)
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

std::optional<PictureLoad> decodeBmp(QIODevice& file, LoadObserver* observer)
{
    // The headers: the file header, the largest info header and its masks.
    const QByteArray head = file.peek(kFileHeaderSize + 124 + 16);
    const auto* data = reinterpret_cast<const uchar*>(head.constData());
    const std::optional<BmpHeader> header = readHeader(data, head.size());
    if (!header)
        return std::nullopt;
    MaskedPixels masked;
    if (header->masked && !masked.set(header->masks))
        return std::nullopt;
    const qint64 width = header->width;
    const qint64 height = header->height;
    if (width <= 0 || height <= 0)
        return PictureLoad::failure(loadmessages::notAPicture());
    const QString refusal = pictureloader::memoryRefusal(width, height);
    if (!refusal.isEmpty())
        return PictureLoad::failure(refusal);
    const int bytesPerPixel = header->bitsPerPixel / 8;
    const qint64 stride = (width * header->bitsPerPixel + 31) / 32 * 4;
    const qint64 lastRowEnd = header->pixelOffset + stride * (height - 1) + width * bytesPerPixel;
    if (header->pixelOffset < kFileHeaderSize + 40 || lastRowEnd > file.size())
        return PictureLoad::failure(loadmessages::cutShort());

    QImage image = newPictureImage(static_cast<int>(width), static_cast<int>(height));
    if (image.isNull() || !file.seek(header->pixelOffset))
        return PictureLoad::failure(loadmessages::outOfMemory());
    // Taken while the image is not yet shared, so writing never detaches it.
    uchar* bits = image.bits();
    const qsizetype bytesPerLine = image.bytesPerLine();
    if (observer)
        observer->pictureAllocated(image, header->topDown);
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
            return PictureLoad::failure(loadmessages::cutShort());
        for (qint64 i = 0; i < rows; ++i) {
            const qint64 stored = first + i;
            const qint64 row = header->topDown ? stored : height - 1 - stored;
            const auto* in = reinterpret_cast<const uchar*>(stripe.constData()) + i * stride;
            auto* out = reinterpret_cast<QRgb*>(bits + row * bytesPerLine);
            if (header->masked)
                masked.convertRow(in, out, width, header->bitsPerPixel);
            else
                convertPlainRow(in, out, width, header->bitsPerPixel);
        }
        if (observer && header->topDown)
            observer->rowsFinal(static_cast<int>(first + rows));
    }
    if (observer && !header->topDown)
        observer->rowsFinal(static_cast<int>(height));
    return PictureLoad{image, QString()};
}
