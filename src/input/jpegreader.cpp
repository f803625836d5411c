#include "input/jpegreader.h"

#include "input/exiforientation.h"
#include "input/picturememory.h"

#include <QSysInfo>
#include <cstring>
#include <memory>
#include <turbojpeg.h>

namespace {

struct HandleCloser
{
    void operator()(void* handle) const { tjDestroy(handle); }
};
using Decompressor = std::unique_ptr<void, HandleCloser>;

// QImage::Format_RGB32 is 0xffRRGGBB in native byte order.
constexpr int kNativePixelFormat =
    QSysInfo::ByteOrder == QSysInfo::LittleEndian ? TJPF_BGRA : TJPF_ARGB;

// libjpeg reports a file cut short only as a warning and fills the rest with
// grey; a truncated file is refused instead of shown half grey.
bool isTruncation(const char* message)
{
    return message && std::strstr(message, "Premature end of JPEG file") != nullptr;
}

} // namespace

std::optional<PictureLoad> decodeJpeg(const QByteArray& bytes)
{
    Decompressor handle(tjInitDecompress());
    if (!handle)
        return PictureLoad::failure(
            QStringLiteral("読み込めません: %1").arg(tjGetErrorStr2(nullptr)));
    auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto size = static_cast<unsigned long>(bytes.size());

    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colorspace = 0;
    if (tjDecompressHeader3(handle.get(), data, size, &width, &height, &subsampling, &colorspace) !=
        0)
        return PictureLoad::failure(
            QStringLiteral("読み込めません: %1").arg(tjGetErrorStr2(handle.get())));
    if (width <= 0 || height <= 0)
        return PictureLoad::failure(QStringLiteral("読み込めません: 画像の大きさが 0 です"));
    if (colorspace == TJCS_CMYK || colorspace == TJCS_YCCK)
        return std::nullopt;
    if (!pictureloader::fitsLimit(width, height))
        return PictureLoad::failure(pictureloader::tooLarge(width, height));

    QImage image = newPictureImage(width, height);
    if (image.isNull())
        return PictureLoad::failure(QStringLiteral("メモリが足りません"));
    // LIMITSCANS bounds the work a hostile progressive file can ask for.
    if (tjDecompress2(handle.get(), data, size, image.bits(), width,
                      static_cast<int>(image.bytesPerLine()), height, kNativePixelFormat,
                      TJFLAG_LIMITSCANS) != 0) {
        const char* message = tjGetErrorStr2(handle.get());
        if (tjGetErrorCode(handle.get()) != TJERR_WARNING || isTruncation(message))
            return PictureLoad::failure(QStringLiteral("読み込めません: %1").arg(message));
    }
    const int orientation = exifOrientation(data, bytes.size());
    if (orientation != 1)
        image = orientedImage(image, orientation);
    return PictureLoad{image, QString()};
}
