#include "input/jpegreader.h"

#include "input/exiforientation.h"
#include "input/jpegstream.h"
#include "input/loadmessages.h"
#include "input/loadobserver.h"
#include "input/picturememory.h"

#include <QSysInfo>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// QImage::Format_RGB32 is 0xffRRGGBB in native byte order.
constexpr J_COLOR_SPACE kNativeColorSpace =
    QSysInfo::ByteOrder == QSysInfo::LittleEndian ? JCS_EXT_BGRA : JCS_EXT_ARGB;
// Rows handed to libjpeg at once, and rows gathered before a quarter turn
// writes them out: 32 rows make 128 contiguous bytes in each turned row.
constexpr int kBatchRows = 32;
// What libjpeg holds beside the picture and its coefficients: row buffers for
// upsampling and colour conversion, a few rows' worth at 4 bytes per sample.
constexpr std::int64_t kRowsOfWorkingMemory = 64;
constexpr std::int64_t kFixedWorkingMemory = std::int64_t(1) << 20;

QString failureText(const jpegstream::Decoder& decoder)
{
    using jpegstream::Failure;
    if (decoder.failure == Failure::TooManyScans)
        return loadmessages::tooManyScans(jpegstream::kMaxScans);
    if (decoder.failure == Failure::ReadError)
        return loadmessages::fromErrno(decoder.readErrno);
    switch (decoder.errorCode) {
    case JERR_OUT_OF_MEMORY:
    case JERR_NO_BACKING_STORE:
        return loadmessages::outOfMemory();
    case JERR_BAD_PRECISION:
        return loadmessages::unsupportedKind(
            QStringLiteral("%1ビットのJPEG").arg(decoder.info.data_precision));
    case JERR_SOF_UNSUPPORTED:
        return loadmessages::unsupportedKind(QStringLiteral("ロスレスまたは階層型のJPEG"));
    case JERR_ARITH_NOTIMPL:
    case JERR_NOT_COMPILED:
        return loadmessages::unsupportedKind(QStringLiteral("算術符号のJPEG"));
    case JERR_CONVERSION_NOTIMPL:
    case JERR_COMPONENT_COUNT:
        return loadmessages::unsupportedKind(
            QStringLiteral("%1色成分のJPEG").arg(decoder.info.num_components));
    case JERR_IMAGE_TOO_BIG:
    case JERR_WIDTH_OVERFLOW: {
        const std::int64_t width = decoder.info.image_width;
        const std::int64_t height = decoder.info.image_height;
        return loadmessages::tooLarge(width, height, width * height * 4, picturememory::ceiling());
    }
    default:
        break;
    }
    // Bytes that are no JPEG markers, and no picture before the end: no JPEG.
    if (decoder.errorCode == JERR_NO_SOI || (decoder.errorCode == JERR_NO_IMAGE && decoder.sawJunk))
        return loadmessages::notAPicture();
    if (decoder.ended)
        return loadmessages::cutShort();
    return loadmessages::damaged();
}

int orientationOf(const jpeg_decompress_struct& info)
{
    for (jpeg_saved_marker_ptr marker = info.marker_list; marker; marker = marker->next) {
        if (marker->marker == JPEG_APP0 + 1) {
            const int orientation = exifOrientationOfApp1(marker->data, marker->data_length);
            if (orientation != 1)
                return orientation;
        }
    }
    return 1;
}

// CMYK as libjpeg gives it, in place to RGB32. Adobe's programs store the inks
// inverted (0 is full ink) and say so with their APP14 marker.
void cmykToRgb(uchar* pixels, int width, bool inverted)
{
    const auto scaled = [](unsigned value, unsigned k) {
        const unsigned product = value * k + 128;
        return (product + (product >> 8)) >> 8; // value * k / 255, rounded
    };
    for (int x = 0; x < width; ++x, pixels += 4) {
        unsigned c = pixels[0], m = pixels[1], y = pixels[2], k = pixels[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        const QRgb rgb = qRgb(int(scaled(c, k)), int(scaled(m, k)), int(scaled(y, k)));
        std::memcpy(pixels, &rgb, 4);
    }
}

struct Plan
{
    int storedWidth = 0;
    int storedHeight = 0;
    int orientation = 1;
    bool cmyk = false;
    bool adobeInverted = false;
};

// Decodes every row into the picture: straight into its rows for orientations
// 1 to 4, through a strip of rows turned into columns for 5 to 8.
bool decodeInto(jpegstream::Decoder& decoder, const Plan& plan, uchar* bits, qsizetype stride,
                LoadObserver* observer)
{
    const int width = plan.storedWidth;
    const int height = plan.storedHeight;
    const bool turned = plan.orientation >= 5;
    const bool mirror = plan.orientation == 2 || plan.orientation == 3;
    const bool flip = plan.orientation == 3 || plan.orientation == 4;
    std::vector<QRgb> strip(turned ? std::size_t(width) * kBatchRows : 0);
    std::array<JSAMPROW, kBatchRows> rows{};
    int done = 0;
    while (done < height) {
        const int wanted = std::min(kBatchRows, height - done);
        for (int i = 0; i < wanted; ++i) {
            const int y = done + i;
            rows[i] = turned ? reinterpret_cast<JSAMPROW>(strip.data() + qsizetype(i) * width)
                             : bits + qsizetype(flip ? height - 1 - y : y) * stride;
        }
        int got = 0;
        while (got < wanted) {
            const int more = jpegstream::readRows(decoder, rows.data() + got, wanted - got);
            if (more <= 0)
                return false;
            got += more;
            if (!turned)
                break;
        }
        for (int i = 0; i < got; ++i) {
            if (plan.cmyk)
                cmykToRgb(rows[i], width, plan.adobeInverted);
            if (mirror)
                mirrorRow(reinterpret_cast<QRgb*>(rows[i]), width);
        }
        if (turned)
            turnRows(strip.data(), width, got, done, width, height, plan.orientation, bits, stride);
        done += got;
        if (observer && plan.orientation == 1)
            observer->rowsFinal(done);
    }
    return true;
}

// The top-left corner of a sequential picture, decoded by a decompressor of
// its own from the file's start: only the rows it needs, and in them only its
// columns past the entropy decoding, into a buffer as small as the corner. The
// file is left where it was found. Null when it cannot be had.
QImage firstLook(QIODevice& file, QSize wanted, int pictureWidth)
{
    // Colours upsampled at the edge of a crop miss their right neighbour; a
    // block more is decoded, so that the corner given has its true pixels.
    constexpr int kBeyondEdge = 16;
    const int decodedWidth = std::min(wanted.width() + kBeyondEdge, pictureWidth);
    const qint64 resume = file.pos();
    QImage corner;
    if (file.seek(0)) {
        const auto decoder = std::make_unique<jpegstream::Decoder>();
        if (jpegstream::readHeader(*decoder, file)) {
            decoder->info.out_color_space = kNativeColorSpace;
            if (jpegstream::start(*decoder) && jpegstream::cropColumns(*decoder, decodedWidth)) {
                const int width = static_cast<int>(decoder->info.output_width);
                const int height =
                    std::min(wanted.height(), static_cast<int>(decoder->info.output_height));
                corner = QImage(width, height, QImage::Format_RGB32);
                for (int y = 0; y < height && !corner.isNull();) {
                    JSAMPROW row = corner.scanLine(y);
                    const int got = jpegstream::readRows(*decoder, &row, 1);
                    if (got <= 0)
                        corner = QImage();
                    y += std::max(got, 0);
                }
            }
            jpegstream::abort(*decoder);
        }
    }
    file.seek(resume);
    return corner.isNull() ? corner : corner.copy(0, 0, wanted.width(), corner.height());
}

} // namespace

PictureLoad readJpeg(QIODevice& file, LoadObserver* observer)
{
    // The decoder's state holds its read buffer; it lives on the heap.
    const auto decoder = std::make_unique<jpegstream::Decoder>();
    if (!jpegstream::readHeader(*decoder, file))
        return PictureLoad::failure(failureText(*decoder));
    jpeg_decompress_struct& info = decoder->info;

    Plan plan;
    switch (info.jpeg_color_space) {
    case JCS_GRAYSCALE:
    case JCS_YCbCr:
    case JCS_RGB:
        info.out_color_space = kNativeColorSpace;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        info.out_color_space = JCS_CMYK;
        plan.cmyk = true;
        plan.adobeInverted = info.saw_Adobe_marker;
        break;
    default:
        return PictureLoad::failure(loadmessages::unsupportedKind(
            QStringLiteral("%1色成分のJPEG").arg(info.num_components)));
    }
    if (!jpegstream::calcOutput(*decoder))
        return PictureLoad::failure(failureText(*decoder));
    plan.storedWidth = static_cast<int>(info.output_width);
    plan.storedHeight = static_cast<int>(info.output_height);
    plan.orientation = orientationOf(info);
    if (plan.storedWidth <= 0 || plan.storedHeight <= 0 || info.output_components != 4)
        return PictureLoad::failure(loadmessages::damaged());

    const QSize shown = orientedSize(plan.storedWidth, plan.storedHeight, plan.orientation);
    const std::int64_t coefficients = jpegstream::coefficientBytes(*decoder);
    const std::int64_t working =
        kFixedWorkingMemory + std::int64_t(plan.storedWidth) * 4 * kRowsOfWorkingMemory +
        (plan.orientation >= 5 ? std::int64_t(plan.storedWidth) * 4 * kBatchRows : 0);
    const QString refusal =
        pictureloader::memoryRefusal(shown.width(), shown.height(), coefficients + working);
    if (!refusal.isEmpty())
        return PictureLoad::failure(refusal);
    // Every block of the picture costs at least one bit of Huffman-coded data:
    // a file smaller than that is cut short, whatever size its header claims.
    if (!info.arith_code && file.size() >= 0 && file.size() * 8 < jpegstream::blockCount(*decoder))
        return PictureLoad::failure(loadmessages::cutShort());
    // libjpeg's own whole-image buffers may not grow past what was counted.
    info.mem->max_memory_to_use = static_cast<long>(coefficients + working);

    // The corner shown first comes ahead of the picture, whose fresh memory can
    // take longer to get than the corner takes to decode.
    const QSize look = observer ? observer->firstLookSize() : QSize();
    if (!look.isEmpty() && plan.orientation == 1 && !plan.cmyk &&
        !jpegstream::multipleScans(*decoder) &&
        (look.width() < shown.width() || look.height() < shown.height())) {
        const QImage corner = firstLook(file, look.boundedTo(shown), shown.width());
        if (!corner.isNull())
            observer->firstLook(corner, shown);
    }

    QImage picture = newPictureImage(shown.width(), shown.height());
    if (picture.isNull())
        return PictureLoad::failure(loadmessages::outOfMemory());
    // Taken while the image is not yet shared, so writing never detaches it.
    uchar* bits = picture.bits();
    const qsizetype stride = picture.bytesPerLine();
    if (observer)
        observer->pictureAllocated(picture, plan.orientation == 1);

    if (!jpegstream::start(*decoder) || !decodeInto(*decoder, plan, bits, stride, observer))
        return PictureLoad::failure(failureText(*decoder));
    if (jpegstream::cutShort(*decoder))
        return PictureLoad::failure(loadmessages::cutShort());
    if (observer && plan.orientation != 1)
        observer->rowsFinal(shown.height());
    return PictureLoad{picture, QString()};
}
