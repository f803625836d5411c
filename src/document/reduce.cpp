#include "document/reduce.h"

#include <algorithm>
#include <new>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Sums of red and blue in one word and of alpha and green in another: four
// channels in two words, sixteen bits each, wide enough for 256 pixels.
struct Sum
{
    quint32 redBlue = 0;
    quint32 alphaGreen = 0;

    void add(quint32 pixel)
    {
        redBlue += pixel & 0x00ff00ffu;
        alphaGreen += (pixel >> 8) & 0x00ff00ffu;
    }
    quint32 average(quint32 count) const
    {
        const quint32 half = count / 2 * 0x00010001u;
        const auto divide = [count](quint32 sum) {
            return ((sum & 0xffffu) / count) | (((sum >> 16) / count) << 16);
        };
        return divide(redBlue + half) | divide(alphaGreen + half) << 8;
    }
};

inline const quint32* row(const QImage& image, int y)
{
    return reinterpret_cast<const quint32*>(image.constScanLine(y));
}

// The average of the block of source pixels from (x, y), w x h of them.
quint32 blockAverage(const QImage& source, int x, int y, int w, int h)
{
    Sum sum;
    for (int j = 0; j < h; ++j) {
        const quint32* in = row(source, y + j) + x;
        for (int i = 0; i < w; ++i)
            sum.add(in[i]);
    }
    return sum.average(static_cast<quint32>(w * h));
}

#if defined(__SSE2__)
// Four pixels of one row widened to sixteen bits a channel: two and two.
inline void widen(const quint32* in, __m128i& first, __m128i& second)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    first = _mm_unpacklo_epi8(pixels, zero);
    second = _mm_unpackhi_epi8(pixels, zero);
}
#endif

} // namespace

void halveInto(const QImage& source, const QRect& area, QImage& target, QPoint at)
{
    const int width = (area.width() + 1) / 2;
    const int height = (area.height() + 1) / 2;
    for (int y = 0; y < height; ++y) {
        const int top = area.y() + 2 * y;
        const int rows = top + 1 < area.y() + area.height() ? 2 : 1;
        const quint32* upper = row(source, top) + area.x();
        const quint32* lower = row(source, top + rows - 1) + area.x();
        auto* out = reinterpret_cast<quint32*>(target.scanLine(at.y() + y)) + at.x();
        int x = 0;
#if defined(__SSE2__)
        if (rows == 2) {
            const __m128i two = _mm_set1_epi16(2);
            for (; 2 * x + 8 <= area.width(); x += 4) {
                __m128i u0, u1, u2, u3, l0, l1, l2, l3;
                widen(upper + 2 * x, u0, u1);
                widen(upper + 2 * x + 4, u2, u3);
                widen(lower + 2 * x, l0, l1);
                widen(lower + 2 * x + 4, l2, l3);
                const __m128i s01 = _mm_add_epi16(u0, l0); // pixels 0 and 1, added down
                const __m128i s23 = _mm_add_epi16(u1, l1);
                const __m128i s45 = _mm_add_epi16(u2, l2);
                const __m128i s67 = _mm_add_epi16(u3, l3);
                // Added across: pixel 0 to 1, 2 to 3, and so on.
                const __m128i a =
                    _mm_add_epi16(_mm_unpacklo_epi64(s01, s23), _mm_unpackhi_epi64(s01, s23));
                const __m128i b =
                    _mm_add_epi16(_mm_unpacklo_epi64(s45, s67), _mm_unpackhi_epi64(s45, s67));
                const __m128i averages = _mm_packus_epi16(_mm_srli_epi16(_mm_add_epi16(a, two), 2),
                                                          _mm_srli_epi16(_mm_add_epi16(b, two), 2));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), averages);
            }
        }
#endif
        for (; x < width; ++x) {
            const int columns = 2 * x + 1 < area.width() ? 2 : 1;
            Sum sum;
            sum.add(upper[2 * x]);
            sum.add(upper[2 * x + columns - 1]);
            sum.add(lower[2 * x]);
            sum.add(lower[2 * x + columns - 1]);
            // A cut-short block counts its pixels twice, which averages the same.
            out[x] = sum.average(4);
        }
    }
}

QImage eighth(const QImage& source, const std::atomic<bool>& cancelled)
{
    const int width = (source.width() + 7) / 8;
    const int height = (source.height() + 7) / 8;
    QImage result(width, height, source.format());
    if (result.isNull())
        throw std::bad_alloc();
    const int wholeColumns = source.width() / 8;
#if defined(__SSE2__)
    // One sum of 8 x 8 pixels for every whole block of the row, as it is added up.
    struct BlockSum
    {
        __m128i lanes;
    };
    std::vector<BlockSum> blocks(static_cast<std::size_t>(wholeColumns));
    BlockSum* const sums = blocks.data();
#endif
    for (int y = 0; y < height; ++y) {
        if (cancelled)
            return {};
        const int top = 8 * y;
        const int rows = std::min(8, source.height() - top);
        auto* out = reinterpret_cast<quint32*>(result.scanLine(y));
        int x = 0;
#if defined(__SSE2__)
        if (rows == 8) {
            std::fill(blocks.begin(), blocks.end(), BlockSum{_mm_setzero_si128()});
            for (int j = 0; j < 8; ++j) {
                const quint32* in = row(source, top + j);
                for (int i = 0; i < wholeColumns; ++i) {
                    __m128i a, b, c, d;
                    widen(in + 8 * i, a, b);
                    widen(in + 8 * i + 4, c, d);
                    sums[i].lanes = _mm_add_epi16(
                        sums[i].lanes, _mm_add_epi16(_mm_add_epi16(a, b), _mm_add_epi16(c, d)));
                }
            }
            const __m128i half = _mm_set1_epi16(32);
            for (; x < wholeColumns; ++x) {
                const __m128i s = sums[x].lanes;
                const __m128i total = _mm_add_epi16(s, _mm_unpackhi_epi64(s, s));
                const __m128i average = _mm_srli_epi16(_mm_add_epi16(total, half), 6);
                out[x] =
                    static_cast<quint32>(_mm_cvtsi128_si32(_mm_packus_epi16(average, average)));
            }
        }
#endif
        for (; x < width; ++x)
            out[x] = blockAverage(source, 8 * x, top, std::min(8, source.width() - 8 * x), rows);
    }
    return result;
}
