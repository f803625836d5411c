#include "inputs.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QtEndian>
#include <array>
#include <cmath>
#include <cstdio>
#include <jpeglib.h>
#include <memory>
#include <turbojpeg.h>

namespace bench {

namespace {

// A small generator with a fixed sequence, so every run measures the same files.
class Random
{
  public:
    explicit Random(std::uint32_t seed) : m_state(seed * 2654435761u + 1u) {}
    std::uint32_t next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    int below(int limit) { return static_cast<int>(next() % static_cast<std::uint32_t>(limit)); }

  private:
    std::uint32_t m_state;
};

std::uint8_t clampByte(int value)
{
    return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

// Sky-like gradients that change slowly across and down the picture; the
// tables keep the per-pixel work to additions.
void fillGradients(std::vector<std::uint8_t>& rgb, PictureSize size)
{
    std::vector<std::array<int, 3>> across(static_cast<size_t>(size.width));
    for (int x = 0; x < size.width; ++x) {
        const double t = static_cast<double>(x) / size.width;
        across[static_cast<size_t>(x)] = {static_cast<int>(60 * std::sin(3.1 * t)),
                                          static_cast<int>(50 * std::cos(2.3 * t)),
                                          static_cast<int>(40 * t)};
    }
    for (int y = 0; y < size.height; ++y) {
        const double t = static_cast<double>(y) / size.height;
        const std::array<int, 3> down = {static_cast<int>(90 + 60 * t),
                                         static_cast<int>(110 + 40 * std::sin(4.0 * t)),
                                         static_cast<int>(170 - 90 * t)};
        std::uint8_t* row = rgb.data() + static_cast<size_t>(y) * size.width * 3;
        for (int x = 0; x < size.width; ++x)
            for (int c = 0; c < 3; ++c)
                row[3 * x + c] = clampByte(down[c] + across[static_cast<size_t>(x)][c]);
    }
}

// Flat rectangles and discs placed in proportion to the picture, so every size
// carries the same scene.
void drawShapes(std::vector<std::uint8_t>& rgb, PictureSize size, Random& random)
{
    constexpr int kShapes = 48;
    for (int i = 0; i < kShapes; ++i) {
        const int cx = random.below(size.width);
        const int cy = random.below(size.height);
        const int radius =
            std::max(2, size.width / 40 + random.below(std::max(1, size.width / 12)));
        const std::array<std::uint8_t, 3> colour = {static_cast<std::uint8_t>(random.below(256)),
                                                    static_cast<std::uint8_t>(random.below(256)),
                                                    static_cast<std::uint8_t>(random.below(256))};
        const bool disc = random.below(2) == 0;
        for (int y = std::max(0, cy - radius); y < std::min(size.height, cy + radius); ++y) {
            const int dy = y - cy;
            const int half =
                disc ? static_cast<int>(std::sqrt(double(radius) * radius - dy * dy)) : radius;
            std::uint8_t* row = rgb.data() + static_cast<size_t>(y) * size.width * 3;
            for (int x = std::max(0, cx - half); x < std::min(size.width, cx + half); ++x)
                for (int c = 0; c < 3; ++c)
                    row[3 * x + c] = colour[static_cast<size_t>(c)];
        }
    }
}

// Sensor-like grain of a few levels on every channel.
void addNoise(std::vector<std::uint8_t>& rgb, Random& random)
{
    for (size_t i = 0; i < rgb.size(); i += 4) {
        std::uint32_t bits = random.next();
        for (size_t j = i; j < std::min(rgb.size(), i + 4); ++j, bits >>= 8)
            rgb[j] = clampByte(rgb[j] + static_cast<int>(bits & 15u) - 7);
    }
}

bool writeBytes(const QString& path, const char* data, qint64 size)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data, size) == size && file.commit();
}

} // namespace

std::vector<std::uint8_t> photoLikePixels(PictureSize size, std::uint32_t seed)
{
    std::vector<std::uint8_t> rgb(static_cast<size_t>(size.width) * size.height * 3);
    Random random(seed);
    fillGradients(rgb, size);
    drawShapes(rgb, size, random);
    addNoise(rgb, random);
    return rgb;
}

bool writePhotoJpeg(const QString& path, PictureSize size, std::uint32_t seed)
{
    const std::vector<std::uint8_t> rgb = photoLikePixels(size, seed);
    tjhandle handle = tjInitCompress();
    if (!handle)
        return false;
    unsigned char* jpeg = nullptr;
    unsigned long jpegSize = 0;
    const int status = tjCompress2(handle, rgb.data(), size.width, size.width * 3, size.height,
                                   TJPF_RGB, &jpeg, &jpegSize, TJSAMP_420, 90, 0);
    tjDestroy(handle);
    const bool written = status == 0 && writeBytes(path, reinterpret_cast<const char*>(jpeg),
                                                   static_cast<qint64>(jpegSize));
    tjFree(jpeg);
    return written;
}

bool writePhotoBmp(const QString& path, PictureSize size, std::uint32_t seed)
{
    const std::vector<std::uint8_t> rgb = photoLikePixels(size, seed);
    const qint64 stride = (qint64(size.width) * 3 + 3) / 4 * 4;
    const qint64 pixelBytes = stride * size.height;
    constexpr int kHeaders = 14 + 40;
    QByteArray file(kHeaders + pixelBytes, '\0');
    auto* out = reinterpret_cast<uchar*>(file.data());
    out[0] = 'B';
    out[1] = 'M';
    qToLittleEndian<quint32>(static_cast<quint32>(file.size()), out + 2);
    qToLittleEndian<quint32>(kHeaders, out + 10);
    qToLittleEndian<quint32>(40, out + 14);
    qToLittleEndian<qint32>(size.width, out + 18);
    qToLittleEndian<qint32>(size.height, out + 22);
    qToLittleEndian<quint16>(1, out + 26);
    qToLittleEndian<quint16>(24, out + 28);
    qToLittleEndian<quint32>(static_cast<quint32>(pixelBytes), out + 34);
    for (int y = 0; y < size.height; ++y) {
        const std::uint8_t* in = rgb.data() + static_cast<size_t>(y) * size.width * 3;
        uchar* row = out + kHeaders + (size.height - 1 - y) * stride;
        for (int x = 0; x < size.width; ++x) {
            row[3 * x] = in[3 * x + 2]; // stored blue, green, red
            row[3 * x + 1] = in[3 * x + 1];
            row[3 * x + 2] = in[3 * x];
        }
    }
    return writeBytes(path, file.constData(), file.size());
}

bool writeLargeTurnedJpeg(const QString& path, PictureSize size)
{
    FILE* file = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!file)
        return false;
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(size.width);
    info.image_height = static_cast<JDIMENSION>(size.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    // EXIF, little-endian, one entry: orientation 6 (turn a quarter clockwise).
    static const char exif[] = "Exif\0\0II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0"
                               "\x06\0\0\0\0\0\0\0";
    jpeg_write_marker(&info, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(exif), sizeof exif - 1);
    std::vector<std::uint8_t> row(static_cast<size_t>(size.width) * 3);
    Random random(16400);
    for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x) {
            const std::uint32_t grain = random.next();
            row[3 * x] = clampByte(x * 200 / size.width + int(grain & 7u));
            row[3 * x + 1] = clampByte(y * 200 / size.height + int(grain >> 8 & 7u));
            row[3 * x + 2] = clampByte((x + y) % 256 / 2 + 60);
        }
        JSAMPROW line = row.data();
        jpeg_write_scanlines(&info, &line, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(file) == 0;
}

bool writeInputs(const QString& folder, Inputs* inputs)
{
    const QDir dir(folder);
    inputs->largeTurned = dir.filePath(QStringLiteral("large-turned.jpg"));
    inputs->jpeg1 = dir.filePath(QStringLiteral("photo-1mp.jpg"));
    inputs->jpeg24 = dir.filePath(QStringLiteral("photo-24mp.jpg"));
    inputs->jpeg96 = dir.filePath(QStringLiteral("photo-96mp.jpg"));
    inputs->bmp24 = dir.filePath(QStringLiteral("photo-24mp.bmp"));
    return writePhotoJpeg(inputs->jpeg1, kOneMegapixel, 1) &&
           writePhotoJpeg(inputs->jpeg24, kTwentyFourMegapixels, 24) &&
           writePhotoJpeg(inputs->jpeg96, kNinetySixMegapixels, 96) &&
           writePhotoBmp(inputs->bmp24, kTwentyFourMegapixels, 24);
}

} // namespace bench
