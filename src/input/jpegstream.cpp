#include "input/jpegstream.h"

#include <cerrno>

namespace jpegstream {

namespace {

Decoder& decoderOf(j_common_ptr info)
{
    // Decoder::info is the first member, so its address is the decoder's.
    return *reinterpret_cast<Decoder*>(info);
}

Decoder& decoderOf(j_decompress_ptr info)
{
    return *reinterpret_cast<Decoder*>(info);
}

[[noreturn]] void errorExit(j_common_ptr info)
{
    Decoder& decoder = decoderOf(info);
    if (decoder.failure == Failure::None) {
        decoder.failure = Failure::Error;
        decoder.errorCode = info->err->msg_code;
    }
    std::longjmp(decoder.jump, 1);
}

void emitMessage(j_common_ptr info, int level)
{
    Decoder& decoder = decoderOf(info);
    const auto* d = reinterpret_cast<j_decompress_ptr>(info);
    // libjpeg says "premature end of data segment" each time a scan needs bits
    // the file no longer has; after the real end that scan is missing data.
    if (level < 0 && info->err->msg_code == JWRN_HIT_MARKER && decoder.ended && d->Ss == 0 &&
        d->Ah == 0)
        decoder.starved = true;
    if (level < 0 && info->err->msg_code == JWRN_EXTRANEOUS_DATA)
        decoder.sawJunk = true;
}

void noteScan(Decoder& decoder)
{
    const jpeg_decompress_struct& info = decoder.info;
    if (info.input_scan_number == decoder.lastScan)
        return;
    decoder.lastScan = info.input_scan_number;
    if (info.Ss != 0 || info.Ah != 0)
        return;
    for (int i = 0; i < info.comps_in_scan && i < MAX_COMPS_IN_SCAN; ++i) {
        if (info.cur_comp_info[i])
            decoder.covered |= 1u << (info.cur_comp_info[i]->component_index & 31);
    }
}

void progressMonitor(j_common_ptr info)
{
    Decoder& decoder = decoderOf(info);
    noteScan(decoder);
    if (decoder.info.input_scan_number > kMaxScans) {
        decoder.failure = Failure::TooManyScans;
        std::longjmp(decoder.jump, 1);
    }
}

void initSource(j_decompress_ptr) {}

boolean fillInputBuffer(j_decompress_ptr info)
{
    Decoder& decoder = decoderOf(info);
    const qint64 got =
        decoder.device->read(reinterpret_cast<char*>(decoder.buffer), Decoder::kBufferSize);
    if (got < 0) {
        decoder.failure = Failure::ReadError;
        decoder.readErrno = errno;
        std::longjmp(decoder.jump, 1);
    }
    if (got == 0) {
        // The file is at its end: an end marker stands in for the rest, and the
        // decoder fills what it still needed with grey, which cutShort() judges.
        decoder.ended = true;
        decoder.buffer[0] = 0xFF;
        decoder.buffer[1] = JPEG_EOI;
        decoder.source.next_input_byte = decoder.buffer;
        decoder.source.bytes_in_buffer = 2;
        return TRUE;
    }
    decoder.read += got;
    decoder.source.next_input_byte = decoder.buffer;
    decoder.source.bytes_in_buffer = static_cast<std::size_t>(got);
    return TRUE;
}

void skipInputData(j_decompress_ptr info, long count)
{
    Decoder& decoder = decoderOf(info);
    if (count <= 0)
        return;
    auto remaining = static_cast<std::size_t>(count);
    while (remaining > decoder.source.bytes_in_buffer) {
        remaining -= decoder.source.bytes_in_buffer;
        decoder.source.bytes_in_buffer = 0;
        fillInputBuffer(info);
        if (decoder.ended)
            return;
    }
    decoder.source.next_input_byte += remaining;
    decoder.source.bytes_in_buffer -= remaining;
}

void termSource(j_decompress_ptr) {}

} // namespace

Decoder::~Decoder()
{
    if (created)
        jpeg_destroy_decompress(&info);
}

bool readHeader(Decoder& decoder, QIODevice& device)
{
    decoder.device = &device;
    decoder.info.err = jpeg_std_error(&decoder.errors);
    decoder.errors.error_exit = errorExit;
    decoder.errors.emit_message = emitMessage;
    if (setjmp(decoder.jump))
        return false;
    jpeg_create_decompress(&decoder.info);
    decoder.created = true;
    decoder.source.init_source = initSource;
    decoder.source.fill_input_buffer = fillInputBuffer;
    decoder.source.skip_input_data = skipInputData;
    decoder.source.resync_to_restart = jpeg_resync_to_restart;
    decoder.source.term_source = termSource;
    decoder.info.src = &decoder.source;
    decoder.progress.progress_monitor = progressMonitor;
    decoder.info.progress = &decoder.progress;
    jpeg_save_markers(&decoder.info, JPEG_APP0 + 1, 0xFFFF);
    if (jpeg_read_header(&decoder.info, TRUE) != JPEG_HEADER_OK)
        return false;
    noteScan(decoder);
    return true;
}

bool calcOutput(Decoder& decoder)
{
    if (setjmp(decoder.jump))
        return false;
    jpeg_calc_output_dimensions(&decoder.info);
    return true;
}

bool start(Decoder& decoder)
{
    if (setjmp(decoder.jump))
        return false;
    return jpeg_start_decompress(&decoder.info) == TRUE;
}

bool cropColumns(Decoder& decoder, int width)
{
    if (setjmp(decoder.jump))
        return false;
    JDIMENSION offset = 0;
    JDIMENSION columns = static_cast<JDIMENSION>(width);
    jpeg_crop_scanline(&decoder.info, &offset, &columns);
    return true;
}

void abort(Decoder& decoder)
{
    if (setjmp(decoder.jump))
        return;
    jpeg_abort_decompress(&decoder.info);
}

bool multipleScans(const Decoder& decoder)
{
    return jpeg_has_multiple_scans(const_cast<j_decompress_ptr>(&decoder.info));
}

int readRows(Decoder& decoder, JSAMPARRAY rows, int count)
{
    if (setjmp(decoder.jump))
        return -1;
    return static_cast<int>(
        jpeg_read_scanlines(&decoder.info, rows, static_cast<JDIMENSION>(count)));
}

bool cutShort(const Decoder& decoder)
{
    if (!decoder.ended)
        return false;
    const int components = decoder.info.num_components;
    const std::uint32_t all = components >= 32 ? ~0u : (1u << components) - 1;
    return decoder.starved || (decoder.covered & all) != all;
}

std::int64_t coefficientBytes(const Decoder& decoder)
{
    const jpeg_decompress_struct& info = decoder.info;
    if (!jpeg_has_multiple_scans(const_cast<j_decompress_ptr>(&info)))
        return 0;
    std::int64_t bytes = 0;
    for (int c = 0; c < info.num_components; ++c) {
        const jpeg_component_info& component = info.comp_info[c];
        const auto roundUp = [](std::int64_t value, std::int64_t step) {
            return step > 0 ? (value + step - 1) / step * step : value;
        };
        bytes += roundUp(component.width_in_blocks, component.h_samp_factor) *
                 roundUp(component.height_in_blocks, component.v_samp_factor) *
                 std::int64_t(sizeof(JBLOCK));
    }
    return bytes;
}

std::int64_t blockCount(const Decoder& decoder)
{
    std::int64_t blocks = 0;
    for (int c = 0; c < decoder.info.num_components; ++c)
        blocks += std::int64_t(decoder.info.comp_info[c].width_in_blocks) *
                  decoder.info.comp_info[c].height_in_blocks;
    return blocks;
}

} // namespace jpegstream
