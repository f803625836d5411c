#ifndef SAVEJPG_H
#define SAVEJPG_H

/* SaveJPG: writes the pixels behind a device context as a JPEG file. The one
 * entry point, DCSavetoJPEG, is loaded by name at run time, so its name and
 * calling convention are part of the interface. */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define SAVEJPG_CALL __stdcall
#if defined(SAVEJPG_BUILDING)
#define SAVEJPG_API __declspec(dllexport)
#else
#define SAVEJPG_API __declspec(dllimport)
#endif
#else
#define SAVEJPG_CALL
#define SAVEJPG_API __attribute__((visibility("default")))
#endif

/* Byte order of one pixel in memory, first byte first. X is an unused byte,
 * A an alpha byte that the JPEG does not keep. */
typedef enum SnipPixelFormat {
    SNIP_PIXEL_BGRX = 1, /* QImage::Format_RGB32 on little-endian machines */
    SNIP_PIXEL_BGRA = 2, /* QImage::Format_ARGB32(_Premultiplied), little-endian */
    SNIP_PIXEL_XRGB = 3, /* QImage::Format_RGB32 on big-endian machines */
    SNIP_PIXEL_ARGB = 4, /* QImage::Format_ARGB32(_Premultiplied), big-endian */
    SNIP_PIXEL_RGB = 5,  /* QImage::Format_RGB888 */
    SNIP_PIXEL_RGBX = 6  /* QImage::Format_RGBX8888 */
} SnipPixelFormat;

/* The "device context": where the pixels are and how they are laid out. Row 0
 * is the top row; each row starts stride bytes after the one above it. */
typedef struct SnipDC
{
    const uint8_t* bits;
    int32_t stride;
    int32_t format; /* a SnipPixelFormat value */
} SnipDC;

/* Writes the width x height pixels at the top left of dc to path (UTF-8 on
 * POSIX systems and on Windows) as a JPEG. Only the low 8 bits of quality count,
 * and values above 100 count as 100. progressive is -1 for a progressive JPEG
 * and 0 for a baseline one. The file appears complete or not at all: an
 * existing file is replaced only once the new one is fully written. Returns -1
 * when the file was written, 0 otherwise. */
SAVEJPG_API int16_t SAVEJPG_CALL DCSavetoJPEG(const SnipDC* dc, int32_t width, int32_t height,
                                              const char* path, uint32_t quality,
                                              int32_t progressive);

typedef int16_t(SAVEJPG_CALL* DCSavetoJPEGFunction)(const SnipDC* dc, int32_t width, int32_t height,
                                                    const char* path, uint32_t quality,
                                                    int32_t progressive);

#ifdef __cplusplus
}
#endif

#endif
