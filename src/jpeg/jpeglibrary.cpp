#include "jpeg/jpeglibrary.h"

#include <QHash>
#include <QLibrary>

namespace jpeg {

JpegLibraryEntry loadJpegLibrary(const QString& library)
{
    // QLibrary never unloads on destruction, so a resolved entry stays valid.
    static QHash<QString, DCSavetoJPEGFunction> resolved;
    if (const auto found = resolved.constFind(library); found != resolved.constEnd())
        return {found.value(), {}};

    QLibrary loader(library);
    if (!loader.load())
        return {nullptr, QStringLiteral("JPEGライブラリ「%1」を読み込めませんでした。\n%2")
                             .arg(library, loader.errorString())};
    const auto function = reinterpret_cast<DCSavetoJPEGFunction>(loader.resolve("DCSavetoJPEG"));
    if (!function) {
        loader.unload();
        return {nullptr,
                QStringLiteral("JPEGライブラリ「%1」にDCSavetoJPEGがありません。").arg(library)};
    }
    resolved.insert(library, function);
    return {function, {}};
}

std::optional<SnipDC> deviceContextOf(const QImage& image)
{
    constexpr bool littleEndian = Q_BYTE_ORDER == Q_LITTLE_ENDIAN;
    int format = 0;
    switch (image.format()) {
    case QImage::Format_RGB32:
        format = littleEndian ? SNIP_PIXEL_BGRX : SNIP_PIXEL_XRGB;
        break;
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        format = littleEndian ? SNIP_PIXEL_BGRA : SNIP_PIXEL_ARGB;
        break;
    case QImage::Format_RGB888:
        format = SNIP_PIXEL_RGB;
        break;
    case QImage::Format_RGBX8888:
        format = SNIP_PIXEL_RGBX;
        break;
    default:
        return std::nullopt;
    }
    if (image.isNull())
        return std::nullopt;
    return SnipDC{image.constBits(), static_cast<std::int32_t>(image.bytesPerLine()), format};
}

JpegWriteResult writeJpeg(const QImage& image, const QString& path, std::uint8_t quality,
                          bool progressive, const QString& library)
{
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return {false,
                QStringLiteral("保存する画像がありません。先にCutで範囲を切り取ってください。")};
    const JpegLibraryEntry entry = loadJpegLibrary(library);
    if (!entry.function)
        return {false, entry.error};

    // The piece's own formats are read in place; anything else is converted once.
    QImage readable = image;
    std::optional<SnipDC> dc = deviceContextOf(readable);
    if (!dc) {
        readable = image.convertToFormat(QImage::Format_RGB32);
        dc = deviceContextOf(readable);
    }
    if (!dc)
        return {false, QStringLiteral("この画像の形式はJPEGにできません。")};

    const QByteArray encodedPath = path.toUtf8();
    const std::int16_t result =
        entry.function(&*dc, readable.width(), readable.height(), encodedPath.constData(), quality,
                       progressive ? -1 : 0);
    if (result != -1)
        return {false, QStringLiteral("「%1」に保存できませんでした。\n"
                                      "フォルダーに書き込めるか、ディスクに空きがあるか、"
                                      "ファイル名が正しいかを確かめてください。")
                           .arg(path)};
    return {true, {}};
}

} // namespace jpeg
