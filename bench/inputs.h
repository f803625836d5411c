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
// Larger than the fixed 1 GiB ceiling of old, stored sideways with an EXIF
// orientation of 6, so that it must be turned as it opens.
inline constexpr PictureSize kLargeTurned{16400, 16400};

// Packed RGB rows, three bytes per pixel, no padding.
std::vector<std::uint8_t> photoLikePixels(PictureSize size, std::uint32_t seed);

// JPEG at quality 90 with 4:2:0 chroma; false when encoding or writing fails.
bool writePhotoJpeg(const QString& path, PictureSize size, std::uint32_t seed);

// Uncompressed 24-bit BMP, rows bottom-up as most programs write them.
bool writePhotoBmp(const QString& path, PictureSize size, std::uint32_t seed);

// The large picture as a baseline JPEG, quality 90, 4:2:0, written row by row
// (the whole picture is never in memory) with an EXIF orientation of 6.
bool writeLargeTurnedJpeg(const QString& path, PictureSize size);

struct Inputs
{
    QString jpeg1;
    QString jpeg24;
    QString jpeg96;
    QString bmp24;
    QString largeTurned; // written only when the peak-memory figures are wanted
};

// Writes the 1, 24 and 96 MP JPEGs and the BMP into folder, and names the large one.
bool writeInputs(const QString& folder, Inputs* inputs);

} // namespace bench
