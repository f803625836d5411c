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

/* Why the last DCSavetoJPEG call of the calling thread wrote nothing. */
typedef enum SnipSaveError {
    SNIP_SAVE_OK = 0,
    SNIP_SAVE_INVALID_ARGUMENTS = 1,
    SNIP_SAVE_OUT_OF_MEMORY = 2,
    SNIP_SAVE_ENCODER_FAILED = 3,
    SNIP_SAVE_FOLDER_MISSING = 4,   /* the folder, or a folder on the way, is missing */
    SNIP_SAVE_PERMISSION = 5,       /* the folder may not be written */
    SNIP_SAVE_READ_ONLY_TARGET = 6, /* the file to replace is read-only */
    SNIP_SAVE_DISK_FULL = 7,        /* no space left, or over the quota */
    SNIP_SAVE_NAME_TOO_LONG = 8,
    SNIP_SAVE_LINK_LOOP = 9, /* symbolic links that lead round in a circle */
    SNIP_SAVE_TARGET_IS_FOLDER = 10,
    SNIP_SAVE_READ_ONLY_FILESYSTEM = 11,
    SNIP_SAVE_IO_ERROR = 12 /* anything else the system reported */
} SnipSaveError;

/* Writes the width x height pixels at the top left of dc to path (UTF-8 on
 * POSIX systems and on Windows) as a JPEG. Only the low 8 bits of quality count,
 * and values above 100 count as 100. progressive is -1 for a progressive JPEG
 * and 0 for a baseline one; baseline files get Huffman tables made for their
 * own data. A path that is a symbolic link is written through to the file it
 * names; a read-only file is not replaced. The file appears complete or not at
 * all: an existing file is replaced only once the new one is fully written,
 * and a save cut off half-way leaves no file behind where the system offers
 * unnamed files. Returns -1 when the file was written, 0 otherwise. */
SAVEJPG_API int16_t SAVEJPG_CALL DCSavetoJPEG(const SnipDC* dc, int32_t width, int32_t height,
                                              const char* path, uint32_t quality,
                                              int32_t progressive);

/* The cause of the calling thread's last failed DCSavetoJPEG, a SnipSaveError;
 * SNIP_SAVE_OK after a call that wrote its file. */
SAVEJPG_API int32_t SAVEJPG_CALL DCSaveLastError(void);

typedef int32_t(SAVEJPG_CALL* DCSaveLastErrorFunction)(void);

typedef int16_t(SAVEJPG_CALL* DCSavetoJPEGFunction)(const SnipDC* dc, int32_t width, int32_t height,
                                                    const char* path, uint32_t quality,
                                                    int32_t progressive);

#ifdef __cplusplus
}
#endif

#endif
