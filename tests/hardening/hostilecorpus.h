#pragma once

// Hostile picture files, made in memory by the test itself: truncations at many
// lengths, flipped bytes from a fixed-seed generator, headers that claim
// 65535 x 65535 pixels, broken BMP headers, palettes and RLE streams, and a
// progressive JPEG with thousands of scans. Everything is deterministic, so a
// failure names a file that the next run makes again byte for byte.

#include "testpictures.h"

#include <QBuffer>
#include <QByteArray>
#include <QList>
#include <QString>
#include <QtEndian>
#include <cstdint>
#include <turbojpeg.h>

namespace hostile {

struct CorpusFile
{
    QString name;
    QByteArray bytes;
    // True for files whose header claims more pixels than the program holds:
    // they must be refused, and never with the claimed picture allocated.
    bool claimsHuge = false;
};

// xorshift64*: the same sequence on every machine and standard library.
class Prng
{
  public:
    explicit Prng(std::uint64_t seed) : m_state(seed | 1) {}
    std::uint64_t next()
    {
        m_state ^= m_state >> 12;
        m_state ^= m_state << 25;
        m_state ^= m_state >> 27;
        return m_state * 2685821657736338717ull;
    }
    int below(int bound) { return static_cast<int>(next() % static_cast<std::uint64_t>(bound)); }

  private:
    std::uint64_t m_state;
};

inline QByteArray turboJpeg(const QImage& source, int pixelFormat, int subsampling, int flags)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    QByteArray pixels(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
    if (pixelFormat == TJPF_CMYK) {
        // Four bytes a pixel either way; the values only need to vary.
        for (qsizetype i = 3; i < pixels.size(); i += 4)
            pixels[i] = static_cast<char>(i * 7);
    }
    tjhandle handle = tjInitCompress();
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    tjCompress2(handle, reinterpret_cast<const unsigned char*>(pixels.constData()), image.width(),
                static_cast<int>(image.bytesPerLine()), image.height(), pixelFormat, &buffer, &size,
                subsampling, 85, flags);
    const QByteArray bytes(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    tjFree(buffer);
    tjDestroy(handle);
    return bytes;
}

inline QByteArray qtEncoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// Offsets of the segments with this marker, found by walking the headers and
// then scanning the entropy-coded data for markers.
inline QList<qsizetype> markerOffsets(const QByteArray& jpeg, uchar marker)
{
    QList<qsizetype> found;
    for (qsizetype at = 2; at + 1 < jpeg.size(); ++at) {
        if (static_cast<uchar>(jpeg[at]) == 0xFF && static_cast<uchar>(jpeg[at + 1]) == marker)
            found << at;
    }
    return found;
}

// Both sides of the first frame header set to the given values.
inline QByteArray withFrameSize(QByteArray jpeg, quint16 width, quint16 height)
{
    for (const uchar sof : {uchar(0xC0), uchar(0xC1), uchar(0xC2)}) {
        const QList<qsizetype> at = markerOffsets(jpeg, sof);
        if (at.isEmpty())
            continue;
        qToBigEndian(height, jpeg.data() + at.first() + 5);
        qToBigEndian(width, jpeg.data() + at.first() + 7);
        break;
    }
    return jpeg;
}

// A progressive JPEG whose last scan is repeated until there are `scans` of them:
// every repetition makes the decoder walk the whole picture again.
inline QByteArray manyScans(const QByteArray& progressive, int scans)
{
    const QList<qsizetype> sos = markerOffsets(progressive, 0xDA);
    const qsizetype end = progressive.lastIndexOf("\xFF\xD9");
    if (sos.size() < 2 || end < 0)
        return progressive;
    const QByteArray lastScan = progressive.mid(sos.last(), end - sos.last());
    QByteArray out = progressive.left(end);
    for (int i = static_cast<int>(sos.size()); i < scans; ++i)
        out += lastScan;
    return out + QByteArray("\xFF\xD9", 2);
}

// A BMP with an info header of 40 bytes, palette entries and pixel data as given.
inline QByteArray bmp(qint32 width, qint32 height, quint16 bits, quint32 compression,
                      const QByteArray& palette, const QByteArray& pixels)
{
    QByteArray out(54, '\0');
    auto* d = reinterpret_cast<uchar*>(out.data());
    d[0] = 'B';
    d[1] = 'M';
    const auto offset = static_cast<quint32>(54 + palette.size());
    qToLittleEndian<quint32>(offset + static_cast<quint32>(pixels.size()), d + 2);
    qToLittleEndian<quint32>(offset, d + 10);
    qToLittleEndian<quint32>(40, d + 14);
    qToLittleEndian<qint32>(width, d + 18);
    qToLittleEndian<qint32>(height, d + 22);
    qToLittleEndian<quint16>(1, d + 26);
    qToLittleEndian<quint16>(bits, d + 28);
    qToLittleEndian<quint32>(compression, d + 30);
    qToLittleEndian<quint32>(static_cast<quint32>(pixels.size()), d + 34);
    qToLittleEndian<quint32>(static_cast<quint32>(palette.size() / 4), d + 46);
    return out + palette + pixels;
}

inline QByteArray greyPalette(int entries)
{
    QByteArray palette;
    for (int i = 0; i < entries; ++i)
        palette += QByteArray(3, static_cast<char>(i * 255 / std::max(1, entries - 1))) + '\0';
    return palette;
}

inline QByteArray withU32(QByteArray bytes, qsizetype at, quint32 value)
{
    if (at + 4 <= bytes.size())
        qToLittleEndian<quint32>(value, bytes.data() + at);
    return bytes;
}

inline QByteArray withU16(QByteArray bytes, qsizetype at, quint16 value)
{
    if (at + 2 <= bytes.size())
        qToLittleEndian<quint16>(value, bytes.data() + at);
    return bytes;
}

// CRC-32 as PNG chunks carry it, so a patched header still passes libpng's check.
inline quint32 pngCrc(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= static_cast<uchar>(c);
        for (int k = 0; k < 8; ++k)
            crc = crc & 1 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return crc ^ 0xFFFFFFFFu;
}

inline QByteArray pngWithSize(QByteArray png, quint32 width, quint32 height)
{
    // The IHDR chunk follows the 8-byte signature: length, type, 13 bytes, CRC.
    qToBigEndian(width, png.data() + 16);
    qToBigEndian(height, png.data() + 20);
    qToBigEndian(pngCrc(png.mid(12, 17)), png.data() + 29);
    return png;
}

inline void addTruncations(QList<CorpusFile>& corpus, const QString& stem, const QString& suffix,
                           const QByteArray& whole, int dense, int spread)
{
    QList<qsizetype> lengths;
    for (qsizetype n = 1; n <= dense && n < whole.size(); ++n)
        lengths << n;
    for (int i = 1; i < spread; ++i)
        lengths << dense + (whole.size() - dense) * i / spread;
    lengths << whole.size() - 1 << whole.size() - 2;
    for (const qsizetype n : lengths) {
        if (n > 0 && n < whole.size())
            corpus << CorpusFile{QStringLiteral("%1-cut%2.%3").arg(stem).arg(n).arg(suffix),
                                 whole.left(n)};
    }
}

inline void addFlips(QList<CorpusFile>& corpus, const QString& stem, const QString& suffix,
                     const QByteArray& whole, int variants, std::uint64_t seed)
{
    Prng prng(seed);
    for (int v = 0; v < variants; ++v) {
        QByteArray bytes = whole;
        const int flips = 1 + prng.below(8);
        for (int f = 0; f < flips; ++f) {
            // Headers are where parsers go wrong; half the flips land in the first 128 bytes.
            const int range = prng.below(2) == 0 ? std::min<int>(128, int(bytes.size()))
                                                 : static_cast<int>(bytes.size());
            bytes[prng.below(range)] = static_cast<char>(prng.below(256));
        }
        corpus << CorpusFile{QStringLiteral("%1-flip%2.%3").arg(stem).arg(v).arg(suffix), bytes};
    }
}

// RLE streams that break the rules in every way a reader has to survive.
inline QList<QByteArray> badRleStreams(bool fourBit)
{
    const char eol[] = {0, 0};
    const char eob[] = {0, 1};
    QList<QByteArray> streams;
    streams << QByteArray("\xFF\x05", 2).repeated(200) + QByteArray(eob, 2); // runs past the rows
    streams << QByteArray("\x00\x02\xFF\xFF", 4).repeated(10) +
                   QByteArray("\x04\x01", 2);            // deltas far outside
    streams << QByteArray("\x00\xFF\x01\x02", 4);        // absolute run longer than the data
    streams << QByteArray("\x03\x07", 2).repeated(5000); // no end of bitmap at all
    streams << QByteArray(eol, 2).repeated(300) + QByteArray("\x08\x01", 2); // rows past the last
    streams << QByteArray("\x00\x03\x01\x02\x03", 5).repeated(40); // odd absolute runs, no padding
    streams << QByteArray("\x00\x02\x00", 3);                      // delta cut short
    streams << QByteArray();                                       // no pixel data at all
    if (fourBit)
        streams << QByteArray("\x00\xFE", 2) + QByteArray(127, '\x11') + QByteArray(eob, 2);
    return streams;
}

inline QList<CorpusFile> generate()
{
    QList<CorpusFile> corpus;
    const QImage picture = patternImage(64, 48, 21);
    const QByteArray jpeg = turboJpeg(picture, TJPF_BGRX, TJSAMP_420, 0);
    const QByteArray progressive = turboJpeg(picture, TJPF_BGRX, TJSAMP_444, TJFLAG_PROGRESSIVE);
    const QByteArray cmyk = turboJpeg(picture, TJPF_CMYK, TJSAMP_444, TJFLAG_PROGRESSIVE);
    const QByteArray bmp24 = qtEncoded(picture.convertToFormat(QImage::Format_RGB888), "BMP");
    const QByteArray bmp8 =
        bmp(16, 12, 8, 0, greyPalette(256), QByteArray(16 * 12, '\x40') + QByteArray(4, '\xFF'));
    const QByteArray rle8 =
        bmp(16, 8, 8, 1, greyPalette(16),
            QByteArray("\x10\x03\x00\x00", 4).repeated(8) + QByteArray("\0\1", 2));
    const QByteArray rle4 =
        bmp(16, 8, 4, 2, greyPalette(16),
            QByteArray("\x10\x35\x00\x00", 4).repeated(8) + QByteArray("\0\1", 2));
    const QByteArray png = qtEncoded(picture, "PNG");

    corpus << CorpusFile{QStringLiteral("empty.jpg"), QByteArray()}
           << CorpusFile{QStringLiteral("empty.bmp"), QByteArray()}
           << CorpusFile{QStringLiteral("one-byte.jpg"), QByteArray(1, '\xFF')}
           << CorpusFile{QStringLiteral("soi-only.jpg"), QByteArray("\xFF\xD8\xFF", 3)}
           << CorpusFile{QStringLiteral("bm-only.bmp"), QByteArray("BM")}
           << CorpusFile{QStringLiteral("text.jpg"), QByteArray("Not a picture at all.\n")}
           << CorpusFile{QStringLiteral("png-named.jpg"), png}
           << CorpusFile{QStringLiteral("zeros.bmp"), QByteArray(4096, '\0')};

    addTruncations(corpus, QStringLiteral("baseline"), QStringLiteral("jpg"), jpeg, 40, 60);
    addTruncations(corpus, QStringLiteral("progressive"), QStringLiteral("jpg"), progressive, 20,
                   60);
    addTruncations(corpus, QStringLiteral("cmyk"), QStringLiteral("jpg"), cmyk, 10, 20);
    addTruncations(corpus, QStringLiteral("bmp24"), QStringLiteral("bmp"), bmp24, 70, 60);
    addTruncations(corpus, QStringLiteral("bmp8"), QStringLiteral("bmp"), bmp8, 60, 40);
    addTruncations(corpus, QStringLiteral("rle8"), QStringLiteral("bmp"), rle8, 60, 20);
    addTruncations(corpus, QStringLiteral("png"), QStringLiteral("png"), png, 40, 30);

    addFlips(corpus, QStringLiteral("baseline"), QStringLiteral("jpg"), jpeg, 60, 1);
    addFlips(corpus, QStringLiteral("progressive"), QStringLiteral("jpg"), progressive, 60, 2);
    addFlips(corpus, QStringLiteral("cmyk"), QStringLiteral("jpg"), cmyk, 20, 3);
    addFlips(corpus, QStringLiteral("bmp24"), QStringLiteral("bmp"), bmp24, 60, 4);
    addFlips(corpus, QStringLiteral("bmp8"), QStringLiteral("bmp"), bmp8, 40, 5);
    addFlips(corpus, QStringLiteral("rle8"), QStringLiteral("bmp"), rle8, 40, 6);
    addFlips(corpus, QStringLiteral("rle4"), QStringLiteral("bmp"), rle4, 30, 7);
    addFlips(corpus, QStringLiteral("png"), QStringLiteral("png"), png, 40, 8);

    // Headers that claim 65535 x 65535 pixels (16 GiB decoded) over a small file.
    const auto huge = [&corpus](const QString& name, const QByteArray& bytes) {
        corpus << CorpusFile{name, bytes, true};
    };
    huge(QStringLiteral("huge-baseline.jpg"), withFrameSize(jpeg, 65535, 65535));
    huge(QStringLiteral("huge-progressive.jpg"), withFrameSize(progressive, 65535, 65535));
    huge(QStringLiteral("huge-cmyk.jpg"), withFrameSize(cmyk, 65535, 65535));
    huge(QStringLiteral("huge-wide.jpg"), withFrameSize(jpeg, 65535, 16385));
    // Within libjpeg's own bound of 65500 a side, so only our ceiling stands in the way.
    huge(QStringLiteral("huge-65000.jpg"), withFrameSize(jpeg, 65000, 65000));
    huge(QStringLiteral("huge-65000-progressive.jpg"), withFrameSize(progressive, 65000, 65000));
    huge(QStringLiteral("huge-65000-cmyk.jpg"), withFrameSize(cmyk, 65000, 65000));
    huge(QStringLiteral("huge24.bmp"), withU32(withU32(bmp24, 18, 65535), 22, 65535));
    huge(QStringLiteral("huge24-topdown.bmp"),
         withU32(withU32(bmp24, 18, 65535), 22, static_cast<quint32>(-65535)));
    huge(QStringLiteral("huge8.bmp"), withU32(withU32(bmp8, 18, 65535), 22, 65535));
    huge(QStringLiteral("huge-rle8.bmp"), withU32(withU32(rle8, 18, 65535), 22, 65535));
    huge(QStringLiteral("huge-rle4.bmp"), withU32(withU32(rle4, 18, 65535), 22, 65535));
    huge(QStringLiteral("huge.png"), pngWithSize(png, 65535, 65535));
    huge(QStringLiteral("huge-tall.bmp"), withU32(withU32(bmp24, 18, 1), 22, 0x7FFFFFFF));
    static const char hugeGif[] =
        "GIF89a\xFF\xFF\xFF\xFF\x00\x00\x00,\x00\x00\x00\x00\xFF\xFF\xFF\xFF"
        "\x00\x02\x02\x44\x01\x00;";
    huge(QStringLiteral("huge.gif"), QByteArray(hugeGif, sizeof hugeGif - 1));

    // BMP headers with sizes, offsets, bit counts, compressions and palettes out of line.
    const struct
    {
        const char* name;
        qsizetype at;
        quint32 value;
        bool wide;
    } patches[] = {
        {"infosize0", 14, 0, true},
        {"infosize12", 14, 12, true},
        {"infosize200", 14, 200, true},
        {"infosize-max", 14, 0xFFFFFFFF, true},
        {"offset0", 10, 0, true},
        {"offset-past-end", 10, 0x7FFFFFF0, true},
        {"offset-max", 10, 0xFFFFFFFF, true},
        {"width0", 18, 0, true},
        {"width-negative", 18, 0xFFFFFFF0, true},
        {"height0", 22, 0, true},
        {"height-min", 22, 0x80000000, true},
        {"planes0", 26, 0, false},
        {"filesize0", 2, 0, true},
        {"compression-jpeg", 30, 4, true},
        {"compression-png", 30, 5, true},
        {"compression-6", 30, 6, true},
        {"compression-max", 30, 0xFFFFFFFF, true},
        {"bitfields24", 30, 3, true},
        {"colors-max", 46, 0xFFFFFFFF, true},
        {"colors-300", 46, 300, true},
    };
    for (const auto& patch : patches) {
        for (const auto& [stem, base] : {std::pair{"bmp24", bmp24}, std::pair{"bmp8", bmp8}}) {
            const QByteArray bytes = patch.wide ? withU32(base, patch.at, patch.value)
                                                : withU16(base, patch.at, patch.value);
            corpus << CorpusFile{QStringLiteral("%1-%2.bmp").arg(stem, patch.name), bytes};
        }
    }
    for (const quint16 bits : {0, 1, 2, 3, 4, 5, 7, 9, 15, 16, 17, 31, 33, 48, 64, 65535}) {
        corpus << CorpusFile{QStringLiteral("bmp24-bits%1.bmp").arg(bits), withU16(bmp24, 28, bits)}
               << CorpusFile{QStringLiteral("bmp8-bits%1.bmp").arg(bits), withU16(bmp8, 28, bits)};
    }
    // Bit fields with masks that overlap, are empty, or cover every bit.
    for (const quint32 mask : {0u, 0xFFFFFFFFu, 0x80000001u, 0x00F0F0F0u}) {
        QByteArray fields = bmp(4, 4, 32, 3, QByteArray(), QByteArray(64, '\x7F'));
        fields.insert(54, QByteArray(12, '\0'));
        fields = withU32(withU32(fields, 10, 66), 54, mask);
        fields = withU32(withU32(fields, 58, mask >> 1), 62, ~mask);
        corpus << CorpusFile{QStringLiteral("bitfields-%1.bmp").arg(mask, 8, 16, QLatin1Char('0')),
                             fields};
        QByteArray sixteen = withU16(fields, 28, 16);
        corpus << CorpusFile{
            QStringLiteral("bitfields16-%1.bmp").arg(mask, 8, 16, QLatin1Char('0')), sixteen};
    }
    // Palette indices beyond a short palette, and palettes cut off by the pixels.
    corpus << CorpusFile{QStringLiteral("palette-short.bmp"),
                         bmp(16, 12, 8, 0, greyPalette(2), QByteArray(16 * 12, '\xF0'))}
           << CorpusFile{QStringLiteral("palette-one-bit.bmp"),
                         bmp(64, 4, 1, 0, greyPalette(1), QByteArray(32, '\xFF'))}
           << CorpusFile{QStringLiteral("palette-four-bit.bmp"),
                         bmp(15, 3, 4, 0, greyPalette(3), QByteArray(24, '\xEE'))}
           << CorpusFile{QStringLiteral("palette-cut.bmp"),
                         withU32(bmp(8, 8, 8, 0, QByteArray(), QByteArray(64, '\x01')), 46, 256)};
    int stream = 0;
    for (const QByteArray& data : badRleStreams(false))
        corpus << CorpusFile{QStringLiteral("rle8-bad%1.bmp").arg(stream++),
                             bmp(16, 8, 8, 1, greyPalette(16), data)};
    stream = 0;
    for (const QByteArray& data : badRleStreams(true))
        corpus << CorpusFile{QStringLiteral("rle4-bad%1.bmp").arg(stream++),
                             bmp(16, 8, 4, 2, greyPalette(16), data)};

    // Thousands of scans over a picture large enough that each pass costs.
    const QImage big = patternImage(512, 512, 3);
    corpus << CorpusFile{
        QStringLiteral("scans.jpg"),
        manyScans(turboJpeg(big, TJPF_BGRX, TJSAMP_420, TJFLAG_PROGRESSIVE), 5000)};
    corpus << CorpusFile{
        QStringLiteral("scans-cmyk.jpg"),
        manyScans(turboJpeg(big, TJPF_CMYK, TJSAMP_444, TJFLAG_PROGRESSIVE), 5000)};
    return corpus;
}

} // namespace hostile
