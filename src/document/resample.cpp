#include "document/resample.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

QImage blankLike(const QImage& source, QSize size)
{
    QImage image(size, source.format());
    if (image.isNull())
        throw std::bad_alloc();
    return image;
}

// The source pixels one output pixel averages along one direction, and how
// much of each lies inside it.
struct Span
{
    int first = 0;
    int count = 0;
    float weights[3] = {0, 0, 0};
};

std::vector<Span> spansFor(int outputFirst, int outputCount, double scale, int origin,
                           int sourceEnd)
{
    std::vector<Span> spans(static_cast<std::size_t>(outputCount));
    for (int i = 0; i < outputCount; ++i) {
        const double from = (outputFirst + i) / scale;
        const double to = std::min<double>((outputFirst + i + 1) / scale, sourceEnd);
        Span& span = spans[static_cast<std::size_t>(i)];
        span.first = static_cast<int>(std::floor(from));
        float total = 0;
        for (int s = span.first; s < to && span.count < 3; ++s) {
            const double inside = std::min<double>(to, s + 1) - std::max<double>(from, s);
            span.weights[span.count++] = static_cast<float>(inside);
            total += static_cast<float>(inside);
        }
        for (int k = 0; k < span.count; ++k)
            span.weights[k] /= total;
        span.first -= origin;
    }
    return spans;
}

#if !defined(__SSE2__)
inline void accumulate(float* sum, quint32 pixel, float weight)
{
    sum[0] += weight * static_cast<float>(pixel & 0xff);
    sum[1] += weight * static_cast<float>((pixel >> 8) & 0xff);
    sum[2] += weight * static_cast<float>((pixel >> 16) & 0xff);
    sum[3] += weight * static_cast<float>(pixel >> 24);
}

inline quint32 packed(const float* sum)
{
    const auto channel = [](float value) {
        return static_cast<quint32>(std::clamp(static_cast<int>(value + 0.5f), 0, 255));
    };
    return channel(sum[0]) | channel(sum[1]) << 8 | channel(sum[2]) << 16 | channel(sum[3]) << 24;
}
#else
// The sums four channels at once; the operations and their order are those of
// the plain code, so are the results.
inline __m128 channels(quint32 pixel)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i bytes = _mm_cvtsi32_si128(static_cast<int>(pixel));
    return _mm_cvtepi32_ps(_mm_unpacklo_epi16(_mm_unpacklo_epi8(bytes, zero), zero));
}

inline quint32 packed(__m128 sum)
{
    __m128i values = _mm_cvttps_epi32(_mm_add_ps(sum, _mm_set1_ps(0.5f)));
    values = _mm_packs_epi32(values, values);
    values = _mm_packus_epi16(values, values);
    return static_cast<quint32>(_mm_cvtsi128_si32(values));
}
#endif

} // namespace

QImage enlarged(const QImage& source, QPoint origin, double zoom, const QRect& area)
{
    QImage output = blankLike(source, area.size());
    std::vector<int> columns(static_cast<std::size_t>(area.width()));
    for (int x = 0; x < area.width(); ++x)
        columns[static_cast<std::size_t>(x)] =
            std::clamp(static_cast<int>(std::floor((area.left() + x) / zoom)) - origin.x(), 0,
                       source.width() - 1);
    for (int y = 0; y < area.height(); ++y) {
        const int row =
            std::clamp(static_cast<int>(std::floor((area.top() + y) / zoom)) - origin.y(), 0,
                       source.height() - 1);
        const auto* in = reinterpret_cast<const quint32*>(source.constScanLine(row));
        auto* out = reinterpret_cast<quint32*>(output.scanLine(y));
        for (int x = 0; x < area.width(); ++x)
            out[x] = in[columns[static_cast<std::size_t>(x)]];
    }
    return output;
}

QImage areaAveraged(const QImage& source, QPoint origin, QSize sourceSize, double scale,
                    const QRect& area)
{
    const std::vector<Span> across =
        spansFor(area.left(), area.width(), scale, origin.x(), sourceSize.width());
    const std::vector<Span> down =
        spansFor(area.top(), area.height(), scale, origin.y(), sourceSize.height());
    const int width = area.width();
    // The source columns of each output column, kept inside the source once
    // for all rows.
    std::vector<std::array<int, 3>> columns(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) {
        const Span& span = across[static_cast<std::size_t>(x)];
        for (int k = 0; k < span.count; ++k)
            columns[static_cast<std::size_t>(x)][static_cast<std::size_t>(k)] =
                std::clamp(span.first + k, 0, source.width() - 1);
    }
    // Across first, into one row of sums per source row the output needs. The
    // sums' memory is kept from one call to the next: a view is made of many
    // such pieces, and fresh pages for each would cost more than the sums.
    const int firstRow = down.front().first;
    const int lastRow = down.back().first + down.back().count - 1;
    const int rows = lastRow - firstRow + 1;
    thread_local std::vector<float> sums;
    sums.assign(static_cast<std::size_t>(rows) * width * 4, 0.0f);
    for (int r = 0; r < rows; ++r) {
        const int row = std::clamp(firstRow + r, 0, source.height() - 1);
        const auto* in = reinterpret_cast<const quint32*>(source.constScanLine(row));
        float* sum = sums.data() + static_cast<std::size_t>(r) * width * 4;
        for (int x = 0; x < width; ++x, sum += 4) {
            const Span& span = across[static_cast<std::size_t>(x)];
            const int* at = columns[static_cast<std::size_t>(x)].data();
#if defined(__SSE2__)
            __m128 total = _mm_setzero_ps();
            for (int k = 0; k < span.count; ++k)
                total = _mm_add_ps(total,
                                   _mm_mul_ps(_mm_set1_ps(span.weights[k]), channels(in[at[k]])));
            _mm_storeu_ps(sum, total);
#else
            for (int k = 0; k < span.count; ++k)
                accumulate(sum, in[at[k]], span.weights[k]);
#endif
        }
    }
    QImage output = blankLike(source, area.size());
    for (int y = 0; y < area.height(); ++y) {
        const Span& span = down[static_cast<std::size_t>(y)];
        const float* taps[3] = {};
        for (int k = 0; k < span.count; ++k)
            taps[k] = sums.data() + static_cast<std::size_t>(span.first + k - firstRow) * width * 4;
        auto* out = reinterpret_cast<quint32*>(output.scanLine(y));
#if defined(__SSE2__)
        const __m128 weights[3] = {_mm_set1_ps(span.weights[0]), _mm_set1_ps(span.weights[1]),
                                   _mm_set1_ps(span.weights[2])};
        for (int x = 0; x < width; ++x) {
            __m128 total = _mm_setzero_ps();
            for (int k = 0; k < span.count; ++k)
                total = _mm_add_ps(total, _mm_mul_ps(weights[k], _mm_loadu_ps(taps[k] + 4 * x)));
            out[x] = packed(total);
        }
#else
        for (int x = 0; x < width; ++x) {
            float total[4] = {0, 0, 0, 0};
            for (int k = 0; k < span.count; ++k)
                for (int c = 0; c < 4; ++c)
                    total[c] += span.weights[k] * taps[k][4 * x + c];
            out[x] = packed(total);
        }
#endif
    }
    return output;
}
