#pragma once

// libjpeg's decompressor set up for the picture loader. It reads the file a
// piece at a time, so the file is never held whole beside the picture and a
// header is checked before the data behind it is read; turns libjpeg's fatal
// errors into a return (libjpeg never calls exit()); bounds the number of
// scans a progressive file may ask the decoder to walk; and records what tells
// a file cut short from one that only lacks its end marker.
//
// The functions that call into libjpeg return through longjmp on an error, so
// they keep no object with a destructor on their stack.

#include <QIODevice>
#include <csetjmp>
#include <cstdint>
#include <cstdio> // jpeglib.h needs FILE
#include <jpeglib.h>
// jerror.h after jpeglib.h: it names the message codes.
#include <jerror.h>

namespace jpegstream {

// As many scans as TurboJPEG allows with its scan limit.
inline constexpr int kMaxScans = 500;

enum class Failure { None, Error, TooManyScans, ReadError };

struct Decoder
{
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    jpeg_source_mgr source{};
    jpeg_progress_mgr progress{};
    std::jmp_buf jump{};
    QIODevice* device = nullptr;
    bool created = false;

    // The source ran out and an end marker was made up in its place.
    bool ended = false;
    // After the end, the entropy decoder ran out of data in a scan that
    // carries the first pass of the DC coefficients: rows are missing.
    bool starved = false;
    // Components whose first DC pass (or whose sequential scan) has begun.
    std::uint32_t covered = 0;
    // Bytes stood where markers belong.
    bool sawJunk = false;
    int lastScan = 0;
    Failure failure = Failure::None;
    int errorCode = 0;     // libjpeg's message code of the fatal error
    int readErrno = 0;     // what the device said when a read failed
    std::int64_t read = 0; // bytes taken from the device

    static constexpr std::size_t kBufferSize = 128 * 1024;
    unsigned char buffer[kBufferSize];

    Decoder() = default;
    ~Decoder();
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;
};

// Creates the decompressor on device, keeps APP1 segments (for the EXIF
// orientation) and reads the header up to the first scan. False on an error.
bool readHeader(Decoder& decoder, QIODevice& device);

// Computes the output size for the out_color_space set by the caller.
bool calcOutput(Decoder& decoder);

// Starts decoding; for progressive and multi-scan files this reads every scan
// into the coefficient buffer first. False on an error.
bool start(Decoder& decoder);

// Decodes only the leftmost width columns (at least; libjpeg widens them to a
// whole block) from now on; the decoded width is then info.output_width.
bool cropColumns(Decoder& decoder, int width);

// Stops decoding, leaving the decompressor ready for nothing but its end.
void abort(Decoder& decoder);

// True for files whose scans have to be read whole before the first row
// (progressive and multi-scan ones).
bool multipleScans(const Decoder& decoder);

// Decodes up to count rows into rows; the number decoded, or -1 on an error.
int readRows(Decoder& decoder, JSAMPARRAY rows, int count);

// True when the file ended before every row of the picture had its data.
bool cutShort(const Decoder& decoder);

// The coefficient buffer that progressive and multi-scan files need, in bytes.
std::int64_t coefficientBytes(const Decoder& decoder);

// The least number of blocks the entropy-coded data must describe, one bit
// each at the very least for Huffman-coded files.
std::int64_t blockCount(const Decoder& decoder);

} // namespace jpegstream
