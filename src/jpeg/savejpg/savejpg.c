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

#if defined(__unix__) || defined(__APPLE__)
#define SAVEJPG_OVERLAP 1
#include <pthread.h>
#include <sys/mman.h>
#else
#define SAVEJPG_OVERLAP 0
#endif

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

/* Encodes into a buffer from malloc, which the caller frees, or into the
 * destination given; 0 or the cause.
 * The settings are TurboJPEG's for the same quality (its fast integer DCT), so
 * that a progressive file is byte for byte what it always was. A baseline file
 * is made with the standard Huffman tables unless optimizeCoding asks libjpeg
 * for tables made for the data. No local variable changes after setjmp. */
static int compress(struct Encoder* encoder, const SnipDC* dc, int width, int height,
                    J_COLOR_SPACE colorSpace, int level, int32_t progressive, int optimizeCoding,
                    struct jpeg_destination_mgr* destination, unsigned char** jpeg,
                    unsigned long* jpegSize)
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
    if (destination != NULL)
        encoder->info.dest = destination;
    else
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
    return destination != NULL || (*jpeg != NULL && *jpegSize > 0) ? SNIP_SAVE_OK
                                                                   : SNIP_SAVE_ENCODER_FAILED;
}

#if SAVEJPG_OVERLAP
/* A destination that writes the JPEG into address space reserved up front for
 * the largest JPEG the picture can give, so that its bytes never move and a
 * second thread counts the symbols for the fitted Huffman tables while the
 * encoder is still writing them. Only the pages written are ever used. */
struct Overlap
{
    struct jpeg_destination_mgr destination;
    unsigned char* base;
    size_t reserved;
    size_t bufferEnd; /* the end of the part handed to libjpeg */
    size_t published; /* what the counting thread may read */
    int complete;
    pthread_mutex_t lock;
    pthread_cond_t grown;
    struct HuffmanRecoder* recoder;
    int counted;
};

enum { kOverlapStep = 64 * 1024 };

static void publish(struct Overlap* overlap, size_t size, int complete)
{
    pthread_mutex_lock(&overlap->lock);
    overlap->published = size;
    overlap->complete = overlap->complete || complete;
    pthread_cond_broadcast(&overlap->grown);
    pthread_mutex_unlock(&overlap->lock);
}

static size_t moreBytes(void* context, size_t wanted)
{
    struct Overlap* overlap = (struct Overlap*)context;
    pthread_mutex_lock(&overlap->lock);
    while (overlap->published < wanted && !overlap->complete)
        pthread_cond_wait(&overlap->grown, &overlap->lock);
    const size_t published = overlap->published;
    pthread_mutex_unlock(&overlap->lock);
    return published;
}

static void handOut(struct Overlap* overlap, size_t from)
{
    const size_t left = overlap->reserved - from;
    overlap->destination.next_output_byte = overlap->base + from;
    overlap->destination.free_in_buffer = left < kOverlapStep ? left : kOverlapStep;
    overlap->bufferEnd = from + overlap->destination.free_in_buffer;
}

static void overlapStart(j_compress_ptr info)
{
    handOut((struct Overlap*)info->dest, 0);
}

static boolean overlapFull(j_compress_ptr info)
{
    struct Overlap* overlap = (struct Overlap*)info->dest;
    const size_t written = overlap->bufferEnd;
    if (written == overlap->reserved)
        ERREXIT(info, JERR_BUFFER_SIZE);
    publish(overlap, written, 0);
    handOut(overlap, written);
    return TRUE;
}

static void overlapEnd(j_compress_ptr info)
{
    struct Overlap* overlap = (struct Overlap*)info->dest;
    publish(overlap, overlap->bufferEnd - overlap->destination.free_in_buffer, 1);
}

static void* countSymbols(void* context)
{
    struct Overlap* overlap = (struct Overlap*)context;
    overlap->counted = huffmanRecoderCount(overlap->recoder);
    return NULL;
}

/* A baseline file with fitted tables, the symbols counted while the encoder
 * writes them. Returns 1 when the file is made; 0, with nothing to free, when
 * this could not be set up or the encode failed. */
static int encodeOverlapped(struct Encoder* encoder, const SnipDC* dc, int width, int height,
                            J_COLOR_SPACE colorSpace, int level, unsigned char** jpeg,
                            unsigned long* jpegSize, int* cause)
{
    /* Six bytes a pixel of whole 16 x 16 units bounds any baseline JPEG libjpeg writes. */
    const uint64_t units = (uint64_t)((width + 15) & ~15) * (uint64_t)((height + 15) & ~15);
    const uint64_t reserve = units * 6 + 65536;
    if (reserve > SIZE_MAX / 4)
        return 0;
    struct Overlap overlap;
    memset(&overlap, 0, sizeof overlap);
    overlap.reserved = (size_t)reserve;
    void* base = mmap(NULL, overlap.reserved, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (base == MAP_FAILED)
        return 0;
    overlap.base = (unsigned char*)base;
    overlap.destination.init_destination = overlapStart;
    overlap.destination.empty_output_buffer = overlapFull;
    overlap.destination.term_destination = overlapEnd;
    pthread_mutex_init(&overlap.lock, NULL);
    pthread_cond_init(&overlap.grown, NULL);
    overlap.recoder = huffmanRecoderNew(overlap.base, 0, moreBytes, &overlap);
    pthread_t counter;
    int started =
        overlap.recoder != NULL && pthread_create(&counter, NULL, countSymbols, &overlap) == 0;
    if (started) {
        *cause = compress(encoder, dc, width, height, colorSpace, level, 0, 0, &overlap.destination,
                          jpeg, jpegSize);
        /* Finished or failed, the counting thread is not left waiting. */
        publish(&overlap, overlap.published, 1);
        pthread_join(counter, NULL);
        size_t size = 0;
        if (*cause == SNIP_SAVE_OK && overlap.counted &&
            huffmanRecoderWrite(overlap.recoder, jpeg, &size)) {
            *jpegSize = (unsigned long)size;
        } else if (*cause == SNIP_SAVE_OK) {
            memset(encoder, 0, sizeof *encoder);
            *cause =
                compress(encoder, dc, width, height, colorSpace, level, 0, 1, NULL, jpeg, jpegSize);
        }
        /* A failed encode is tried again the plain way, which does not depend
         * on the reserved space. */
        started = *cause == SNIP_SAVE_OK;
    }
    huffmanRecoderFree(overlap.recoder);
    pthread_cond_destroy(&overlap.grown);
    pthread_mutex_destroy(&overlap.lock);
    munmap(base, overlap.reserved);
    return started;
}
#endif

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
    int cause = SNIP_SAVE_OK;
#if SAVEJPG_OVERLAP
    if (recode &&
        encodeOverlapped(encoder, dc, width, height, colorSpace, level, jpeg, jpegSize, &cause)) {
        free(encoder);
        return cause;
    }
    memset(encoder, 0, sizeof *encoder);
#endif
    cause = compress(encoder, dc, width, height, colorSpace, level, progressive, !recode, NULL,
                     jpeg, jpegSize);
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
            cause = compress(encoder, dc, width, height, colorSpace, level, progressive, 1, NULL,
                             jpeg, jpegSize);
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
