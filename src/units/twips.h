#pragma once

// Window and picture geometry is kept in twips (1/1440 inch). Qt works in
// device-independent pixels of 1/96 inch, so one pixel is 15 twips; this header
// is the one place that converts between the two.

#include <QRect>
#include <QString>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

class QWidget;

namespace twips {

inline constexpr float perPixel = 15.0f;

// Integer conversions round to the nearest whole number, a half going to the
// even neighbour (8.5 -> 8, 9.5 -> 10).
inline double roundHalfEven(double value)
{
    return std::nearbyint(value); // the default rounding mode is to-nearest-even
}

// Rounds to a 32-bit integer; nullopt for values outside its range or not numbers.
inline std::optional<std::int32_t> toInt32(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double r = roundHalfEven(value);
    if (r < std::numeric_limits<std::int32_t>::min() ||
        r > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(r);
}

inline int toPixels(float twipValue)
{
    return static_cast<int>(roundHalfEven(static_cast<double>(twipValue) / perPixel));
}

// A length in twips as pixels, the fraction kept.
inline double toPixelsF(double twipValue)
{
    return twipValue / perPixel;
}

inline float fromPixels(double pixels)
{
    return static_cast<float>(pixels * perPixel);
}

// Places a widget by its outer geometry in its parent's twips.
void move(QWidget* widget, float left, float top, float width, float height);
float left(const QWidget* widget);
float top(const QWidget* widget);
float width(const QWidget* widget);
float height(const QWidget* widget);

// A single-precision value as the readout and the settings file write it: at
// most 7 significant digits, no sign for zero, no trailing zeros, and no
// decimal point for whole values.
QString formatSingle(float value);

} // namespace twips
