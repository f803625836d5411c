#include "imagecheck.h"

#include <algorithm>
#include <cstdlib>

namespace {

int channelDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

QImage opaque(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

bool shownAt(const QImage& screen, const QImage& picture, QPoint at, int scale)
{
    for (int y = 0; y < picture.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            // Every screen pixel of the block, so that the match cannot slip by part of one.
            for (int dy = 0; dy < scale; ++dy) {
                for (int dx = 0; dx < scale; ++dx) {
                    const QRgb shown =
                        screen.pixel(at.x() + x * scale + dx, at.y() + y * scale + dy);
                    if ((shown & 0xffffff) != (row[x] & 0xffffff))
                        return false;
                }
            }
        }
    }
    return true;
}

} // namespace

Difference compareWithCrop(const QImage& source, const QRect& crop, const QImage& candidate)
{
    Difference result;
    result.sameSize = candidate.size() == crop.size() && source.rect().contains(crop);
    if (!result.sameSize)
        return result;
    const QImage expected = opaque(source.copy(crop));
    const QImage actual = opaque(candidate);
    long long total = 0;
    for (int y = 0; y < crop.height(); ++y) {
        for (int x = 0; x < crop.width(); ++x) {
            const int distance = channelDistance(expected.pixel(x, y), actual.pixel(x, y));
            result.maxChannel = std::max(result.maxChannel, distance);
            total += distance;
        }
    }
    const long long count = static_cast<long long>(crop.width()) * crop.height();
    result.meanChannel = count ? static_cast<double>(total) / static_cast<double>(count) : 0;
    return result;
}

std::optional<QPoint> locatePicture(const QImage& screenshot, const QImage& picture, int scale)
{
    const QImage screen = opaque(screenshot);
    const QImage wanted = opaque(picture);
    const QRgb first = wanted.pixel(0, 0) & 0xffffff;
    const int lastX = screen.width() - wanted.width() * scale;
    const int lastY = screen.height() - wanted.height() * scale;
    for (int y = 0; y <= lastY; ++y) {
        for (int x = 0; x <= lastX; ++x) {
            if ((screen.pixel(x, y) & 0xffffff) == first &&
                shownAt(screen, wanted, QPoint(x, y), scale))
                return QPoint(x, y);
        }
    }
    return std::nullopt;
}
