#include "input/pictureloader.h"

#include "input/bmpreader.h"
#include "input/jpegreader.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// JPEG files are read whole into memory; one larger than the largest picture
// the program holds, uncompressed, is no JPEG worth reading.
constexpr qint64 kMaxJpegFileBytes = pictureloader::maxPictureBytes;

bool looksLikeJpeg(const QByteArray& head)
{
    return head.size() >= 3 && static_cast<uchar>(head[0]) == 0xFF &&
           static_cast<uchar>(head[1]) == 0xD8 && static_cast<uchar>(head[2]) == 0xFF;
}

bool looksLikeBmp(const QByteArray& head)
{
    return head.startsWith("BM");
}

// Pictures with transparency are shown on white, so the surface shows exactly
// the pixels that a cut copies.
QImage flattened(QImage image)
{
    if (!image.hasAlphaChannel())
        return image;
    QImage opaque(image.size(), QImage::Format_RGB32);
    if (opaque.isNull())
        return QImage();
    opaque.fill(Qt::white);
    QPainter painter(&opaque);
    painter.drawImage(0, 0, image);
    return opaque;
}

PictureLoad readWithPlugins(QIODevice& file)
{
    QImageReader::setAllocationLimit(
        static_cast<int>(pictureloader::maxPictureBytes >> 20)); // megabytes
    QImageReader reader(&file);
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return PictureLoad::failure(QStringLiteral("画像ファイルではありません"));
    const QSize size = reader.size();
    if (size.isValid() && !pictureloader::fitsLimit(size.width(), size.height()))
        return PictureLoad::failure(pictureloader::tooLarge(size.width(), size.height()));
    QImage image;
    if (!reader.read(&image))
        return PictureLoad::failure(QStringLiteral("読み込めません: %1").arg(reader.errorString()));
    image = flattened(std::move(image));
    if (image.isNull())
        return PictureLoad::failure(QStringLiteral("メモリが足りません"));
    return {image, QString()};
}

} // namespace

namespace pictureloader {

bool fitsLimit(std::int64_t width, std::int64_t height)
{
    return width > 0 && height > 0 && width <= maxPictureBytes && height <= maxPictureBytes &&
           width * height * 4 <= maxPictureBytes;
}

QString tooLarge(std::int64_t width, std::int64_t height)
{
    return QStringLiteral("大きすぎます: %1 x %2 ピクセル").arg(width).arg(height);
}

} // namespace pictureloader

PictureLoad loadPicture(const QString& path)
{
    // Only regular files: a FIFO or a device would block or never end.
    const QFileInfo info(path);
    if (!info.exists())
        return PictureLoad::failure(QStringLiteral("ファイルが見つかりません"));
    if (!info.isFile())
        return PictureLoad::failure(QStringLiteral("通常のファイルではありません"));
    QFile file;
#if defined(Q_OS_UNIX)
    // Opened without blocking and checked again once open, so a file swapped
    // for a FIFO after the check above cannot hold the program up.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat opened = {};
    if (fd < 0)
        return PictureLoad::failure(
            QStringLiteral("読み込めません: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        return PictureLoad::failure(QStringLiteral("通常のファイルではありません"));
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return PictureLoad::failure(QStringLiteral("読み込めません: %1").arg(file.errorString()));
    }
#else
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return PictureLoad::failure(QStringLiteral("読み込めません: %1").arg(file.errorString()));
#endif
    return loadPicture(file);
}

PictureLoad loadPicture(QIODevice& file)
{
    const QByteArray head = file.peek(16);
    // The fast readers pass the variants they do not handle (CMYK JPEGs,
    // compressed or palette BMPs) on to the plugins.
    std::optional<PictureLoad> load;
    if (looksLikeBmp(head)) {
        load = decodeBmp(file);
    } else if (looksLikeJpeg(head)) {
        if (file.size() > kMaxJpegFileBytes)
            return PictureLoad::failure(
                QStringLiteral("大きすぎます: %1 バイトのファイル").arg(file.size()));
        const QByteArray bytes = file.readAll();
        if (bytes.size() != file.size())
            return PictureLoad::failure(
                QStringLiteral("読み込めません: %1").arg(file.errorString()));
        load = decodeJpeg(bytes);
    }
    if (load)
        return *load;
    file.seek(0);
    return readWithPlugins(file);
}
