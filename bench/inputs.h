#pragma once

// The pictures the benchmark measures on, made the same way on every run:
// photo-like content (smooth gradients, fine noise, hard-edged shapes) encoded
// at JPEG quality 90 with 4:2:0 chroma, written to a folder of the caller's.

#include <QString>
#include <cstdint>
#include <vector>

namespace bench {

struct PictureSize
{
    int width;
    int height;
};

inline constexpr PictureSize kOneMegapixel{1224, 816};
inline constexpr PictureSize kTwentyFourMegapixels{6000, 4000};
inline constexpr PictureSize kNinetySixMegapixels{12000, 8000};

// Packed RGB rows, three bytes per pixel, no padding.
std::vector<std::uint8_t> photoLikePixels(PictureSize size, std::uint32_t seed);

// JPEG at quality 90 with 4:2:0 chroma; false when encoding or writing fails.
bool writePhotoJpeg(const QString& path, PictureSize size, std::uint32_t seed);

// Uncompressed 24-bit BMP, rows bottom-up as most programs write them.
bool writePhotoBmp(const QString& path, PictureSize size, std::uint32_t seed);

struct Inputs
{
    QString jpeg1;
    QString jpeg24;
    QString jpeg96;
    QString bmp24;
};

// Writes all four pictures into folder.
bool writeInputs(const QString& folder, Inputs* inputs);

} // namespace bench
