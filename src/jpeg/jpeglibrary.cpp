#include "jpeg/jpeglibrary.h"

#include <QHash>
#include <QLibrary>

namespace jpeg {

JpegLibraryEntry loadJpegLibrary(const QString& library)
{
    // QLibrary never unloads on destruction, so a resolved entry stays valid.
    static QHash<QString, JpegLibraryEntry> resolved;
    if (const auto found = resolved.constFind(library); found != resolved.constEnd())
        return found.value();

    QLibrary loader(library);
    if (!loader.load())
        return {nullptr, nullptr,
                QStringLiteral("JPEGライブラリ「%1」を読み込めませんでした。\n%2")
                    .arg(library, loader.errorString())};
    const auto function = reinterpret_cast<DCSavetoJPEGFunction>(loader.resolve("DCSavetoJPEG"));
    if (!function) {
        loader.unload();
        return {nullptr, nullptr,
                QStringLiteral("JPEGライブラリ「%1」にDCSavetoJPEGがありません。").arg(library)};
    }
    // Older libraries lack the second entry; their failures get the general text.
    const JpegLibraryEntry entry{
        function, reinterpret_cast<DCSaveLastErrorFunction>(loader.resolve("DCSaveLastError")), {}};
    resolved.insert(library, entry);
    return entry;
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
        return {false, saveFailureText(path, entry.lastError ? std::optional<int>(entry.lastError())
                                                             : std::nullopt)};
    return {true, {}};
}

QString saveFailureText(const QString& path, std::optional<int> cause)
{
    const QString head = QStringLiteral("「%1」に保存できませんでした。\n").arg(path);
    switch (cause.value_or(-1)) {
    case SNIP_SAVE_INVALID_ARGUMENTS:
    case SNIP_SAVE_ENCODER_FAILED:
        return head + QStringLiteral("この画像はJPEGにできません。");
    case SNIP_SAVE_OUT_OF_MEMORY:
        return head + QStringLiteral("メモリが足りません。");
    case SNIP_SAVE_FOLDER_MISSING:
        return head + QStringLiteral("保存先のフォルダーがありません。");
    case SNIP_SAVE_PERMISSION:
        return head + QStringLiteral("このフォルダーに書き込む権限がありません。");
    case SNIP_SAVE_READ_ONLY_TARGET:
        return head + QStringLiteral("このファイルは読み取り専用です。");
    case SNIP_SAVE_DISK_FULL:
        return head + QStringLiteral("ディスクに空きがありません。");
    case SNIP_SAVE_NAME_TOO_LONG:
        return head + QStringLiteral("ファイル名が長すぎます。");
    case SNIP_SAVE_LINK_LOOP:
        return head + QStringLiteral("シンボリックリンクが循環しています。");
    case SNIP_SAVE_TARGET_IS_FOLDER:
        return head + QStringLiteral("同じ名前のフォルダーがあります。");
    case SNIP_SAVE_READ_ONLY_FILESYSTEM:
        return head + QStringLiteral("保存先は読み取り専用のドライブです。");
    case SNIP_SAVE_IO_ERROR:
        return head + QStringLiteral("ディスクへの書き込みに失敗しました。");
    default:
        return head + QStringLiteral("フォルダーに書き込めるか、ディスクに空きがあるか、"
                                     "ファイル名が正しいかを確かめてください。");
    }
}

} // namespace jpeg
