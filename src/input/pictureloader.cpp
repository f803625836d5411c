#include "input/pictureloader.h"

#include "input/bmpreader.h"
#include "input/exiforientation.h"
#include "input/jpegreader.h"
#include "input/loadmessages.h"
#include "input/loadobserver.h"
#include "input/picturememory.h"

#include <QFile>
#include <QImageReader>
#include <cerrno>
#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

bool looksLikeJpeg(const QByteArray& head)
{
    return head.size() >= 3 && static_cast<uchar>(head[0]) == 0xFF &&
           static_cast<uchar>(head[1]) == 0xD8 && static_cast<uchar>(head[2]) == 0xFF;
}

bool looksLikeBmp(const QByteArray& head)
{
    return head.startsWith("BM");
}

int orientationOf(QImageIOHandler::Transformations transformation)
{
    switch (transformation) {
    case QImageIOHandler::TransformationMirror:
        return 2;
    case QImageIOHandler::TransformationRotate180:
        return 3;
    case QImageIOHandler::TransformationFlip:
        return 4;
    case QImageIOHandler::TransformationFlipAndRotate90:
        return 5;
    case QImageIOHandler::TransformationRotate90:
        return 6;
    case QImageIOHandler::TransformationMirrorAndRotate90:
        return 7;
    case QImageIOHandler::TransformationRotate270:
        return 8;
    default:
        return 1;
    }
}

QString pluginFailure(const QImageReader& reader)
{
    switch (reader.error()) {
    case QImageReader::UnsupportedFormatError:
        return loadmessages::notAPicture();
    case QImageReader::DeviceError:
        return loadmessages::fromErrno(EIO);
    case QImageReader::InvalidDataError:
    default:
        return loadmessages::damaged();
    }
}

PictureLoad readWithPlugins(QIODevice& file, LoadObserver* observer)
{
    QImageReader::setAllocationLimit(
        static_cast<int>(std::min<std::int64_t>(picturememory::ceiling() >> 20, INT_MAX)));
    QImageReader reader(&file);
    // Turned below in the picture's own memory, not in a copy.
    reader.setAutoTransform(false);
    if (!reader.canRead())
        return PictureLoad::failure(loadmessages::notAPicture());
    const QSize size = reader.size();
    if (size.isValid()) {
        // A plugin's picture of another depth may stand beside ours while it is
        // converted; it is counted in full, as Qt cannot convert every format
        // in place.
        const int depth = QImage::toPixelFormat(reader.imageFormat()).bitsPerPixel();
        const std::int64_t pixels = std::int64_t(size.width()) * size.height();
        const std::int64_t beside = depth == 32 ? 0 : pixels * depth / 8;
        const QString refusal = pictureloader::memoryRefusal(size.width(), size.height(), beside);
        if (!refusal.isEmpty())
            return PictureLoad::failure(refusal);
    }
    QImage image;
    if (!reader.read(&image))
        return PictureLoad::failure(pluginFailure(reader));
    if (!pictureloader::flattenInPlace(image) ||
        !orientInPlace(image, orientationOf(reader.transformation())))
        return PictureLoad::failure(loadmessages::outOfMemory());
    if (observer) {
        observer->pictureAllocated(image, false);
        observer->rowsFinal(image.height());
    }
    return {image, QString()};
}

} // namespace

namespace pictureloader {

// Pictures with transparency are shown on white, so the surface shows exactly
// the pixels that a cut copies. Done in the picture's own memory: 32-bit
// formats in place, smaller ones grown in place where Qt can.
bool flattenInPlace(QImage& image)
{
    if (!image.hasAlphaChannel()) {
        if (image.format() != QImage::Format_RGB32)
            image.convertTo(QImage::Format_RGB32);
        return image.format() == QImage::Format_RGB32;
    }
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        return false;
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            // Premultiplied over opaque white: each channel gains 255 - alpha.
            const QRgb p = row[x];
            const int clear = 255 - qAlpha(p);
            row[x] = qRgb(qRed(p) + clear, qGreen(p) + clear, qBlue(p) + clear);
        }
    }
    image.reinterpretAsFormat(QImage::Format_RGB32);
    return true;
}

QString memoryRefusal(std::int64_t width, std::int64_t height, std::int64_t besidePicture)
{
    const std::int64_t ceiling = picturememory::ceiling();
    // Sides past 2^31 are refused before any product could overflow.
    constexpr std::int64_t kLargestSide = std::int64_t(1) << 31;
    const bool sane = width > 0 && height > 0 && width < kLargestSide && height < kLargestSide;
    const std::int64_t beside = std::max<std::int64_t>(0, besidePicture);
    // The product of two such sides fits; four bytes a pixel plus what lies
    // beside may not, and then it is as good as infinite.
    const std::int64_t pixels = sane ? width * height : INT64_MAX;
    const std::int64_t needed =
        sane && pixels <= (INT64_MAX - beside) / 4 ? pixels * 4 + beside : INT64_MAX;
    if (sane && needed <= ceiling)
        return QString();
    return loadmessages::tooLarge(width, height, needed, ceiling);
}

} // namespace pictureloader

PictureLoad loadPicture(const QString& path)
{
    return loadPicture(LocalFileName::fromText(path));
}

PictureLoad loadPicture(const LocalFileName& name, LoadObserver* observer)
{
    QFile file;
#if defined(Q_OS_UNIX)
    // Only regular files: a FIFO or a device would block or never end. The file
    // is opened without blocking and checked again once open, so a file swapped
    // for a FIFO after the first check cannot hold the program up.
    const QByteArray& bytes = name.bytes();
    struct stat found = {};
    if (::stat(bytes.constData(), &found) != 0)
        return PictureLoad::failure(loadmessages::fromErrno(errno));
    if (!S_ISREG(found.st_mode))
        return PictureLoad::failure(loadmessages::notRegularFile());
    const int fd = ::open(bytes.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return PictureLoad::failure(loadmessages::fromErrno(errno));
    struct stat opened = {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        return PictureLoad::failure(loadmessages::notRegularFile());
    }
    // Unbuffered: the readers take the file in pieces of their own size.
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return PictureLoad::failure(loadmessages::fromErrno(EIO));
    }
#else
    file.setFileName(QFile::decodeName(name.bytes()));
    if (!file.exists())
        return PictureLoad::failure(loadmessages::fromErrno(ENOENT));
    if (!file.open(QIODevice::ReadOnly))
        return PictureLoad::failure(loadmessages::fromErrno(EACCES));
#endif
    return loadPicture(file, observer);
}

PictureLoad loadPicture(QIODevice& file, LoadObserver* observer)
{
    const QByteArray head = file.peek(16);
    if (looksLikeJpeg(head))
        return readJpeg(file, observer);
    // The BMP reader passes the variants it does not handle (palettes, RLE) on
    // to the plugins.
    if (looksLikeBmp(head)) {
        std::optional<PictureLoad> load = decodeBmp(file, observer);
        if (load)
            return *load;
    }
    file.seek(0);
    return readWithPlugins(file, observer);
}
