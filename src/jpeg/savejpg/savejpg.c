/* SaveJPG: encodes the caller's pixels with TurboJPEG and writes the JPEG
 * through a temporary file beside the target, so that a failed save never
 * leaves half a file behind nor destroys the file it was meant to replace. */

#include "savejpg.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <turbojpeg.h>

#if defined(_WIN32)
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

enum {
    kSaved = -1,
    kFailed = 0,
    /* The largest side a baseline JPEG frame header can describe. */
    kMaxSide = 65500,
    kTemporaryAttempts = 64
};

/* ---- Pixels ---------------------------------------------------------------- */

static int turboFormat(int32_t format, int* bytesPerPixel)
{
    switch (format) {
    case SNIP_PIXEL_BGRX:
        *bytesPerPixel = 4;
        return TJPF_BGRX;
    case SNIP_PIXEL_BGRA:
        *bytesPerPixel = 4;
        return TJPF_BGRA;
    case SNIP_PIXEL_XRGB:
        *bytesPerPixel = 4;
        return TJPF_XRGB;
    case SNIP_PIXEL_ARGB:
        *bytesPerPixel = 4;
        return TJPF_ARGB;
    case SNIP_PIXEL_RGB:
        *bytesPerPixel = 3;
        return TJPF_RGB;
    case SNIP_PIXEL_RGBX:
        *bytesPerPixel = 4;
        return TJPF_RGBX;
    default:
        return -1;
    }
}

/* Rejects everything that would make the encoder read outside the caller's
 * rows; the size arithmetic is done in 64 bits so that no product wraps. */
static int validArguments(const SnipDC* dc, int32_t width, int32_t height, const char* path,
                          int* pixelFormat)
{
    int bytesPerPixel = 0;
    if (dc == NULL || dc->bits == NULL || path == NULL || path[0] == '\0')
        return 0;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return 0;
    *pixelFormat = turboFormat(dc->format, &bytesPerPixel);
    if (*pixelFormat < 0)
        return 0;
    if ((int64_t)dc->stride < (int64_t)width * bytesPerPixel)
        return 0;
    const uint64_t span =
        (uint64_t)dc->stride * (uint64_t)(height - 1) + (uint64_t)width * (uint64_t)bytesPerPixel;
    return span <= (uint64_t)(SIZE_MAX / 2);
}

/* Encodes into a buffer from tjAlloc; the caller frees it with tjFree. */
static int encode(const SnipDC* dc, int width, int height, int pixelFormat, uint32_t quality,
                  int32_t progressive, unsigned char** jpeg, unsigned long* jpegSize)
{
    int level = (int)(quality & 0xffu);
    if (level > 100)
        level = 100;
    if (level < 1)
        level = 1; /* below TurboJPEG's range; libjpeg reads 0 as 1 anyway */
    /* Full chroma keeps the colour edges of text and thin lines at high quality. */
    const int subsampling = level >= 90 ? TJSAMP_444 : TJSAMP_420;
    const int flags = progressive != 0 ? TJFLAG_PROGRESSIVE : 0;

    tjhandle handle = tjInitCompress();
    if (handle == NULL)
        return 0;
    /* TurboJPEG allocates the output and grows it as needed. A worst-case
     * buffer made up front is several times the JPEG's size, and while it
     * lives the encoder's own working memory (the whole image's coefficients
     * in progressive mode) lands in fresh pages, which cost more in page
     * faults than the few doublings of a growing buffer. */
    *jpeg = NULL;
    *jpegSize = 0;
    const int status = tjCompress2(handle, dc->bits, width, (int)dc->stride, height, pixelFormat,
                                   jpeg, jpegSize, subsampling, level, flags);
    tjDestroy(handle);
    if (status != 0 || *jpeg == NULL || *jpegSize == 0) {
        tjFree(*jpeg);
        *jpeg = NULL;
        return 0;
    }
    return 1;
}

/* ---- Files ----------------------------------------------------------------- */

#if defined(_WIN32)

static wchar_t* widePath(const char* utf8)
{
    const int count = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, NULL, 0);
    if (count <= 0)
        return NULL;
    wchar_t* wide = (wchar_t*)malloc(sizeof(wchar_t) * (size_t)count);
    if (wide != NULL &&
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, wide, count) != count) {
        free(wide);
        wide = NULL;
    }
    return wide;
}

static int openExclusive(const char* name)
{
    wchar_t* wide = widePath(name);
    if (wide == NULL)
        return -1;
    const int fd = _wopen(wide, _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
    free(wide);
    return fd;
}

static int writeChunk(int fd, const unsigned char* data, size_t size)
{
    const unsigned int chunk = size > 0x40000000u ? 0x40000000u : (unsigned int)size;
    return _write(fd, data, chunk);
}

static int syncFile(int fd)
{
    return _commit(fd);
}

static int closeFile(int fd)
{
    return _close(fd);
}

static void copyMode(int fd, const char* target)
{
    (void)fd;
    (void)target;
}

static int replaceFile(const char* from, const char* to)
{
    wchar_t* wideFrom = widePath(from);
    wchar_t* wideTo = widePath(to);
    const int done =
        wideFrom != NULL && wideTo != NULL &&
        MoveFileExW(wideFrom, wideTo, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    free(wideFrom);
    free(wideTo);
    return done ? 0 : -1;
}

static void removeFile(const char* name)
{
    wchar_t* wide = widePath(name);
    if (wide != NULL)
        _wunlink(wide);
    free(wide);
}

static unsigned long processId(void)
{
    return (unsigned long)_getpid();
}

#else

static int openExclusive(const char* name)
{
    /* Mode 0666 lets the process's umask decide, as for any new file. */
    return open(name, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
}

static int writeChunk(int fd, const unsigned char* data, size_t size)
{
    return (int)write(fd, data, size > 0x40000000u ? 0x40000000u : size);
}

static int syncFile(int fd)
{
    return fsync(fd);
}

static int closeFile(int fd)
{
    return close(fd);
}

/* A replaced file keeps its permissions. */
static void copyMode(int fd, const char* target)
{
    struct stat existing;
    if (stat(target, &existing) == 0 && S_ISREG(existing.st_mode))
        (void)fchmod(fd, existing.st_mode & 07777);
}

static int replaceFile(const char* from, const char* to)
{
    return rename(from, to);
}

static void removeFile(const char* name)
{
    unlink(name);
}

static unsigned long processId(void)
{
    return (unsigned long)getpid();
}

#endif

static int writeAll(int fd, const unsigned char* data, size_t size)
{
    while (size > 0) {
        const int written = writeChunk(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return 0;
        data += written;
        size -= (size_t)written;
    }
    return 1;
}

/* Creates "<target>.tmpXXXXXX" in the target's folder, where a rename can later
 * replace the target in one step. Returns the descriptor, or -1. */
static int createTemporary(const char* target, char** name)
{
    static unsigned long counter = 0;
    static const char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    const size_t length = strlen(target);
    *name = (char*)malloc(length + 11);
    if (*name == NULL)
        return -1;
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        unsigned long seed = processId() * 2654435761ul ^ (unsigned long)time(NULL) ^
                             (++counter * 40503ul) ^ (unsigned long)clock();
        memcpy(*name, target, length);
        memcpy(*name + length, ".tmp", 4);
        for (int i = 0; i < 6; ++i) {
            (*name)[length + 4 + (size_t)i] = digits[seed % 36];
            seed /= 36;
        }
        (*name)[length + 10] = '\0';
        const int fd = openExclusive(*name);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST)
            break;
    }
    free(*name);
    *name = NULL;
    return -1;
}

static int writeReplacing(const char* target, const unsigned char* data, size_t size)
{
    char* temporary = NULL;
    const int fd = createTemporary(target, &temporary);
    if (fd < 0)
        return 0;
    copyMode(fd, target);
    int complete = writeAll(fd, data, size) && syncFile(fd) == 0;
    /* A failed close can mean that the data never reached the disk. */
    complete = closeFile(fd) == 0 && complete;
    if (complete)
        complete = replaceFile(temporary, target) == 0;
    if (!complete)
        removeFile(temporary);
    free(temporary);
    return complete;
}

/* ---- Entry point ----------------------------------------------------------- */

SAVEJPG_API int16_t SAVEJPG_CALL DCSavetoJPEG(const SnipDC* dc, int32_t width, int32_t height,
                                              const char* path, uint32_t quality,
                                              int32_t progressive)
{
    int pixelFormat = 0;
    if (!validArguments(dc, width, height, path, &pixelFormat))
        return kFailed;
    unsigned char* jpeg = NULL;
    unsigned long jpegSize = 0;
    if (!encode(dc, width, height, pixelFormat, quality, progressive, &jpeg, &jpegSize))
        return kFailed;
    const int written = writeReplacing(path, jpeg, (size_t)jpegSize);
    tjFree(jpeg);
    return written ? kSaved : kFailed;
}
