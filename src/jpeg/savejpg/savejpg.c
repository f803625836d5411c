/* SaveJPG: encodes the caller's pixels with libjpeg-turbo and writes the JPEG
 * so that a failed save never leaves half a file behind nor destroys the file
 * it was meant to replace (atomicwrite.c). */

#include "savejpg.h"

#include "atomicwrite.h"
#include "huffmanrecode.h"

#include <setjmp.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* jpeglib.h needs FILE from stdio.h, and jerror.h what jpeglib.h declares. */
#include <jerror.h>
#include <jpeglib.h>

#if defined(_MSC_VER)
#define SAVEJPG_THREAD_LOCAL __declspec(thread)
#else
#define SAVEJPG_THREAD_LOCAL _Thread_local
#endif

enum {
    kSaved = -1,
    kFailed = 0,
    /* The largest side a baseline JPEG frame header can describe. */
    kMaxSide = 65500,
    /* From this quality on, chroma is kept at full resolution. */
    kFullChromaLevel = 90
};

static SAVEJPG_THREAD_LOCAL int32_t lastError = SNIP_SAVE_OK;

/* ---- Pixels ---------------------------------------------------------------- */

static J_COLOR_SPACE colorSpaceOf(int32_t format, int* bytesPerPixel)
{
    *bytesPerPixel = 4;
    switch (format) {
    case SNIP_PIXEL_BGRX:
        return JCS_EXT_BGRX;
    case SNIP_PIXEL_BGRA:
        return JCS_EXT_BGRA;
    case SNIP_PIXEL_XRGB:
        return JCS_EXT_XRGB;
    case SNIP_PIXEL_ARGB:
        return JCS_EXT_ARGB;
    case SNIP_PIXEL_RGB:
        *bytesPerPixel = 3;
        return JCS_EXT_RGB;
    case SNIP_PIXEL_RGBX:
        return JCS_EXT_RGBX;
    default:
        return JCS_UNKNOWN;
    }
}

/* Rejects everything that would make the encoder read outside the caller's
 * rows; the size arithmetic is done in 64 bits so that no product wraps. */
static int validArguments(const SnipDC* dc, int32_t width, int32_t height, const char* path,
                          J_COLOR_SPACE* colorSpace)
{
    int bytesPerPixel = 0;
    if (dc == NULL || dc->bits == NULL || path == NULL || path[0] == '\0')
        return 0;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return 0;
    *colorSpace = colorSpaceOf(dc->format, &bytesPerPixel);
    if (*colorSpace == JCS_UNKNOWN)
        return 0;
    if ((int64_t)dc->stride < (int64_t)width * bytesPerPixel)
        return 0;
    const uint64_t span =
        (uint64_t)dc->stride * (uint64_t)(height - 1) + (uint64_t)width * (uint64_t)bytesPerPixel;
    return span <= (uint64_t)(SIZE_MAX / 2);
}

/* libjpeg's fatal errors return here instead of ending the process. */
struct Encoder
{
    struct jpeg_compress_struct info;
    struct jpeg_error_mgr errors;
    jmp_buf jump;
    int cause;
};

static void errorExit(j_common_ptr info)
{
    struct Encoder* encoder = (struct Encoder*)info;
    encoder->cause = info->err->msg_code == JERR_OUT_OF_MEMORY ? SNIP_SAVE_OUT_OF_MEMORY
                                                               : SNIP_SAVE_ENCODER_FAILED;
    longjmp(encoder->jump, 1);
}

static void silence(j_common_ptr info, int level)
{
    (void)info;
    (void)level;
}

/* Only the low 8 bits count; below 1 is 1 (libjpeg reads 0 as 1 anyway) and
 * above 100 is 100. */
static int levelOf(uint32_t quality)
{
    const int level = (int)(quality & 0xffu);
    return level > 100 ? 100 : level < 1 ? 1 : level;
}

/* Encodes into a buffer from malloc, which the caller frees; 0 or the cause.
 * The settings are TurboJPEG's for the same quality (its fast integer DCT), so
 * that a progressive file is byte for byte what it always was. A baseline file
 * is made with the standard Huffman tables unless optimizeCoding asks libjpeg
 * for tables made for the data. No local variable changes after setjmp. */
static int compress(struct Encoder* encoder, const SnipDC* dc, int width, int height,
                    J_COLOR_SPACE colorSpace, int level, int32_t progressive, int optimizeCoding,
                    unsigned char** jpeg, unsigned long* jpegSize)
{
    /* Full chroma keeps the colour edges of text and thin lines at high quality. */
    const int chromaFactor = level >= kFullChromaLevel ? 1 : 2;
    encoder->info.err = jpeg_std_error(&encoder->errors);
    encoder->errors.error_exit = errorExit;
    encoder->errors.emit_message = silence;
    if (setjmp(encoder->jump)) {
        jpeg_destroy_compress(&encoder->info);
        free(*jpeg);
        *jpeg = NULL;
        return encoder->cause;
    }
    jpeg_create_compress(&encoder->info);
    /* libjpeg grows the output buffer as needed: a worst-case buffer made up
     * front would be several times the JPEG's size. */
    jpeg_mem_dest(&encoder->info, jpeg, jpegSize);
    encoder->info.image_width = (JDIMENSION)width;
    encoder->info.image_height = (JDIMENSION)height;
    encoder->info.input_components = colorSpace == JCS_EXT_RGB ? 3 : 4;
    encoder->info.in_color_space = colorSpace;
    jpeg_set_defaults(&encoder->info);
    jpeg_set_quality(&encoder->info, level, TRUE);
    encoder->info.dct_method = JDCT_IFAST;
    encoder->info.comp_info[0].h_samp_factor = chromaFactor;
    encoder->info.comp_info[0].v_samp_factor = chromaFactor;
    if (progressive != 0)
        jpeg_simple_progression(&encoder->info);
    else
        encoder->info.optimize_coding = optimizeCoding ? TRUE : FALSE;
    jpeg_start_compress(&encoder->info, TRUE);
    while (encoder->info.next_scanline < encoder->info.image_height) {
        JSAMPROW row = (JSAMPROW)(dc->bits + (size_t)dc->stride * encoder->info.next_scanline);
        jpeg_write_scanlines(&encoder->info, &row, 1);
    }
    jpeg_finish_compress(&encoder->info);
    jpeg_destroy_compress(&encoder->info);
    return *jpeg != NULL && *jpegSize > 0 ? SNIP_SAVE_OK : SNIP_SAVE_ENCODER_FAILED;
}

static int encode(const SnipDC* dc, int width, int height, J_COLOR_SPACE colorSpace,
                  uint32_t quality, int32_t progressive, unsigned char** jpeg,
                  unsigned long* jpegSize)
{
    *jpeg = NULL;
    *jpegSize = 0;
    struct Encoder* encoder = (struct Encoder*)calloc(1, sizeof(struct Encoder));
    if (encoder == NULL)
        return SNIP_SAVE_OUT_OF_MEMORY;
    const int level = levelOf(quality);
    /* Baseline files get Huffman tables made for their data, and every decoded
     * pixel stays as it was. Recoding the symbols of a file made with the
     * standard tables costs less than libjpeg's own second pass over the
     * coefficients, but for the full-chroma qualities, whose many symbols make
     * libjpeg's pass the cheaper; where recoding cannot be done, libjpeg's pass
     * does it after all. */
    const int recode = progressive == 0 && level < kFullChromaLevel;
    int cause = compress(encoder, dc, width, height, colorSpace, level, progressive, !recode, jpeg,
                         jpegSize);
    if (cause == SNIP_SAVE_OK && recode) {
        unsigned char* smaller = NULL;
        size_t smallerSize = 0;
        const int recoded =
            recodeWithOptimalTables(*jpeg, (size_t)*jpegSize, &smaller, &smallerSize);
        free(*jpeg);
        *jpeg = smaller;
        *jpegSize = (unsigned long)smallerSize;
        if (!recoded) {
            memset(encoder, 0, sizeof *encoder);
            cause = compress(encoder, dc, width, height, colorSpace, level, progressive, 1, jpeg,
                             jpegSize);
        }
    }
    free(encoder);
    return cause;
}

/* ---- Entry points ---------------------------------------------------------- */

SAVEJPG_API int16_t SAVEJPG_CALL DCSavetoJPEG(const SnipDC* dc, int32_t width, int32_t height,
                                              const char* path, uint32_t quality,
                                              int32_t progressive)
{
    J_COLOR_SPACE colorSpace = JCS_UNKNOWN;
    if (!validArguments(dc, width, height, path, &colorSpace)) {
        lastError = SNIP_SAVE_INVALID_ARGUMENTS;
        return kFailed;
    }
    unsigned char* jpeg = NULL;
    unsigned long jpegSize = 0;
    lastError = encode(dc, width, height, colorSpace, quality, progressive, &jpeg, &jpegSize);
    if (lastError == SNIP_SAVE_OK)
        lastError = writeFileAtomically(path, jpeg, (size_t)jpegSize);
    free(jpeg);
    return lastError == SNIP_SAVE_OK ? kSaved : kFailed;
}

SAVEJPG_API int32_t SAVEJPG_CALL DCSaveLastError(void)
{
    return lastError;
}
