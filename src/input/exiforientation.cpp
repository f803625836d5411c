#include "input/exiforientation.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {

// A bounds-checked view of the TIFF structure inside the Exif segment.
class TiffView
{
  public:
    TiffView(const uchar* data, qsizetype size, bool bigEndian)
        : m_data(data), m_size(size), m_bigEndian(bigEndian)
    {
    }

    bool has(qsizetype offset, qsizetype length) const
    {
        return offset >= 0 && length >= 0 && offset <= m_size && length <= m_size - offset;
    }
    quint16 u16(qsizetype at) const
    {
        return m_bigEndian ? quint16(m_data[at] << 8 | m_data[at + 1])
                           : quint16(m_data[at] | m_data[at + 1] << 8);
    }
    quint32 u32(qsizetype at) const
    {
        return m_bigEndian ? quint32(u16(at)) << 16 | u16(at + 2)
                           : quint32(u16(at + 2)) << 16 | u16(at);
    }

  private:
    const uchar* m_data;
    qsizetype m_size;
    bool m_bigEndian;
};

int orientationInTiff(const uchar* tiff, qsizetype size)
{
    if (size < 8)
        return 1;
    bool bigEndian = false;
    if (std::memcmp(tiff, "MM\0*", 4) == 0)
        bigEndian = true;
    else if (std::memcmp(tiff, "II*\0", 4) != 0)
        return 1;
    const TiffView view(tiff, size, bigEndian);
    const qsizetype directory = view.u32(4);
    if (!view.has(directory, 2))
        return 1;
    const int entries = view.u16(directory);
    for (int i = 0; i < entries; ++i) {
        const qsizetype entry = directory + 2 + qsizetype(i) * 12;
        if (!view.has(entry, 12))
            return 1;
        constexpr quint16 kOrientationTag = 0x0112;
        constexpr quint16 kShortType = 3;
        if (view.u16(entry) != kOrientationTag)
            continue;
        if (view.u16(entry + 2) != kShortType || view.u32(entry + 4) != 1)
            return 1;
        const int value = view.u16(entry + 8);
        return value >= 1 && value <= 8 ? value : 1;
    }
    return 1;
}

} // namespace

int exifOrientationOfApp1(const uchar* body, qsizetype size)
{
    if (size < 6 || std::memcmp(body, "Exif\0\0", 6) != 0)
        return 1;
    return orientationInTiff(body + 6, size - 6);
}

QSize orientedSize(int width, int height, int orientation)
{
    return orientation >= 5 ? QSize(height, width) : QSize(width, height);
}

void mirrorRow(QRgb* row, int width)
{
    std::reverse(row, row + width);
}

void turnRows(const QRgb* rows, qsizetype rowPixels, int count, int firstRow, int storedWidth,
              int storedHeight, int orientation, uchar* picture, qsizetype bytesPerLine)
{
    // Stored pixel (x, y) goes to column y (5, 8) or height - 1 - y (6, 7) of
    // row x (5, 6) or width - 1 - x (7, 8): the rows of a batch land side by
    // side in each picture row, a cache line at a time.
    const bool columnsForward = orientation == 5 || orientation == 8;
    const bool rowsForward = orientation == 5 || orientation == 6;
    for (int x = 0; x < storedWidth; ++x) {
        const int row = rowsForward ? x : storedWidth - 1 - x;
        auto* out = reinterpret_cast<QRgb*>(picture + qsizetype(row) * bytesPerLine);
        for (int i = 0; i < count; ++i) {
            const int y = firstRow + i;
            const int column = columnsForward ? y : storedHeight - 1 - y;
            out[column] = rows[qsizetype(i) * rowPixels + x];
        }
    }
}

namespace {

void flipInPlace(QImage& image, bool mirror, bool flip)
{
    const int width = image.width();
    const int height = image.height();
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    if (mirror) {
        for (int y = 0; y < height; ++y)
            mirrorRow(reinterpret_cast<QRgb*>(bits + y * stride), width);
    }
    if (flip) {
        for (int y = 0; y < height / 2; ++y)
            std::swap_ranges(bits + y * stride, bits + y * stride + width * 4,
                             bits + (height - 1 - y) * stride);
    }
}

// Transposes a packed rows x columns array in its own memory by following the
// cycles of the permutation, with one bit per pixel to mark those moved.
bool transposeInPlace(QRgb* pixels, qsizetype rows, qsizetype columns)
{
    const qsizetype count = rows * columns;
    if (count < 3)
        return true;
    std::vector<bool> moved;
    try {
        moved.assign(static_cast<std::size_t>(count), false);
    } catch (const std::bad_alloc&) {
        return false;
    }
    const qsizetype last = count - 1;
    for (qsizetype start = 1; start < last; ++start) {
        if (moved[static_cast<std::size_t>(start)])
            continue;
        // The pixel at i goes to (i * rows) mod (count - 1).
        qsizetype at = start;
        QRgb carried = pixels[at];
        do {
            // At most 65500 x 65500 pixels: the product stays far inside 64 bits.
            const qsizetype to = at * rows % last;
            std::swap(carried, pixels[to]);
            moved[static_cast<std::size_t>(to)] = true;
            at = to;
        } while (at != start);
    }
    return true;
}

} // namespace

bool orientInPlace(QImage& image, int orientation)
{
    if (orientation < 2 || orientation > 8 || image.isNull())
        return true;
    if (image.depth() != 32)
        return false;
    if (orientation <= 4) {
        flipInPlace(image, orientation != 4, orientation != 2);
        return true;
    }
    const int width = image.width();
    const int height = image.height();
    if (image.bytesPerLine() != qsizetype(width) * 4)
        return false;
    if (!transposeInPlace(reinterpret_cast<QRgb*>(image.bits()), height, width))
        return false;
    // The same memory seen as the turned picture; the old image keeps it alive.
    auto* keeper = new QImage(image);
    QImage turned(
        const_cast<uchar*>(keeper->constBits()), height, width, qsizetype(height) * 4,
        image.format(), [](void* info) { delete static_cast<QImage*>(info); }, keeper);
    turned.setDotsPerMeterX(image.dotsPerMeterY());
    turned.setDotsPerMeterY(image.dotsPerMeterX());
    image = turned;
    flipInPlace(image, orientation == 6 || orientation == 7, orientation == 7 || orientation == 8);
    return true;
}
