/* The write goes to a temporary file beside the target, is flushed to disk and
 * then renamed over the target in one step. On Linux the temporary file has no
 * name (O_TMPFILE) until it is complete, so a process killed while it writes
 * leaves nothing behind; elsewhere it is a named "<target>.tmpXXXXXX". */

#if defined(__linux__)
#define _GNU_SOURCE
#endif

#include "atomicwrite.h"

#include "savejpg.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>

#if defined(_WIN32)
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

enum { kTemporaryAttempts = 64, kMaxLinks = 40 };

static int causeOf(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return SNIP_SAVE_FOLDER_MISSING;
    case EACCES:
    case EPERM:
        return SNIP_SAVE_PERMISSION;
    case EROFS:
        return SNIP_SAVE_READ_ONLY_FILESYSTEM;
    case ENOSPC:
#if defined(EDQUOT)
    case EDQUOT:
#endif
    case EFBIG:
        return SNIP_SAVE_DISK_FULL;
    case ENAMETOOLONG:
        return SNIP_SAVE_NAME_TOO_LONG;
#if defined(ELOOP)
    case ELOOP:
        return SNIP_SAVE_LINK_LOOP;
#endif
    case EISDIR:
        return SNIP_SAVE_TARGET_IS_FOLDER;
    case ENOMEM:
        return SNIP_SAVE_OUT_OF_MEMORY;
    default:
        return SNIP_SAVE_IO_ERROR;
    }
}

/* ---- Platform ------------------------------------------------------------ */

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

static char* copyOf(const char* text)
{
    const size_t length = strlen(text) + 1;
    char* copy = (char*)malloc(length);
    if (copy != NULL)
        memcpy(copy, text, length);
    return copy;
}

static char* resolveLinks(const char* path, int* cause)
{
    char* copy = copyOf(path);
    if (copy == NULL)
        *cause = SNIP_SAVE_OUT_OF_MEMORY;
    return copy;
}

static int checkTarget(const char* target)
{
    wchar_t* wide = widePath(target);
    const DWORD attributes = wide != NULL ? GetFileAttributesW(wide) : INVALID_FILE_ATTRIBUTES;
    free(wide);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return SNIP_SAVE_OK;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return SNIP_SAVE_TARGET_IS_FOLDER;
    return (attributes & FILE_ATTRIBUTE_READONLY) ? SNIP_SAVE_READ_ONLY_TARGET : SNIP_SAVE_OK;
}

static void copyMode(int fd, const char* target)
{
    (void)fd;
    (void)target;
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

/* "<folder of base>/<name>", or name itself when it is absolute or base has no folder. */
static char* besideOf(const char* base, const char* name)
{
    const char* slash = strrchr(base, '/');
    const size_t folder = name[0] == '/' || slash == NULL ? 0 : (size_t)(slash - base) + 1;
    const size_t length = strlen(name);
    char* joined = (char*)malloc(folder + length + 1);
    if (joined != NULL) {
        memcpy(joined, base, folder);
        memcpy(joined + folder, name, length + 1);
    }
    return joined;
}

/* The file a path names once every symbolic link at its end is followed; a
 * link to a file that does not exist yet names that file. NULL with *cause set
 * on a loop or another failure. */
static char* resolveLinks(const char* path, int* cause)
{
    char* current = besideOf("", path);
    for (int depth = 0; current != NULL && depth <= kMaxLinks; ++depth) {
        struct stat found;
        if (lstat(current, &found) != 0) {
            if (errno == ENOENT)
                return current;
            *cause = causeOf(errno);
            free(current);
            return NULL;
        }
        if (!S_ISLNK(found.st_mode))
            return current;
        const size_t room = found.st_size > 0 ? (size_t)found.st_size + 1 : 4096;
        char* link = (char*)malloc(room);
        const ssize_t length = link != NULL ? readlink(current, link, room) : -1;
        if (length < 0 || (size_t)length >= room) {
            *cause = link == NULL ? SNIP_SAVE_OUT_OF_MEMORY : SNIP_SAVE_IO_ERROR;
            free(link);
            free(current);
            return NULL;
        }
        link[length] = '\0';
        char* next = besideOf(current, link);
        free(link);
        free(current);
        current = next;
    }
    if (current == NULL) {
        *cause = SNIP_SAVE_OUT_OF_MEMORY;
        return NULL;
    }
    free(current);
    *cause = SNIP_SAVE_LINK_LOOP;
    return NULL;
}

/* A file nobody may write (chmod a-w) is read-only for this program too, even
 * when root could write it, as the desktop's editors and file managers treat it. */
static int checkTarget(const char* target)
{
    struct stat found;
    if (stat(target, &found) != 0)
        return errno == ENOENT ? SNIP_SAVE_OK : causeOf(errno);
    if (S_ISDIR(found.st_mode))
        return SNIP_SAVE_TARGET_IS_FOLDER;
    if ((found.st_mode & 0222) == 0 || access(target, W_OK) != 0)
        return SNIP_SAVE_READ_ONLY_TARGET;
    return SNIP_SAVE_OK;
}

/* A replaced file keeps its permissions. */
static void copyMode(int fd, const char* target)
{
    struct stat existing;
    if (stat(target, &existing) == 0 && S_ISREG(existing.st_mode))
        (void)fchmod(fd, existing.st_mode & 07777);
}

#endif

/* ---- Writing ------------------------------------------------------------- */

static int writeAll(int fd, const unsigned char* data, size_t size)
{
    while (size > 0) {
        const int written = writeChunk(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return 0;
        }
        data += written;
        size -= (size_t)written;
    }
    return 1;
}

/* Writes, flushes and closes fd; 0 or the cause of the failure. */
static int fillFile(int fd, const char* target, const unsigned char* data, size_t size)
{
    copyMode(fd, target);
    int cause = SNIP_SAVE_OK;
    if (!writeAll(fd, data, size) || syncFile(fd) != 0)
        cause = causeOf(errno);
    /* A failed close can mean that the data never reached the disk. */
    if (closeFile(fd) != 0 && cause == SNIP_SAVE_OK)
        cause = causeOf(errno);
    return cause;
}

/* Puts "<target>.tmpXXXXXX" into name, a new name each call. */
static void temporaryName(const char* target, size_t length, char* name)
{
    static unsigned long counter = 0;
    static const char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    unsigned long seed = processId() * 2654435761ul ^ (unsigned long)time(NULL) ^
                         (++counter * 40503ul) ^ (unsigned long)clock();
    memcpy(name, target, length);
    memcpy(name + length, ".tmp", 4);
    for (int i = 0; i < 6; ++i) {
        name[length + 4 + (size_t)i] = digits[seed % 36];
        seed /= 36;
    }
    name[length + 10] = '\0';
}

/* Moves the complete temporary file over the target; 0 or the cause. */
static int putInPlace(const char* temporary, const char* target)
{
    if (replaceFile(temporary, target) == 0)
        return SNIP_SAVE_OK;
    const int cause = causeOf(errno);
    removeFile(temporary);
    return cause;
}

static int writeThroughNamedFile(const char* target, const unsigned char* data, size_t size)
{
    const size_t length = strlen(target);
    char* name = (char*)malloc(length + 11);
    if (name == NULL)
        return SNIP_SAVE_OUT_OF_MEMORY;
    int fd = -1;
    for (int attempt = 0; attempt < kTemporaryAttempts && fd < 0; ++attempt) {
        temporaryName(target, length, name);
        fd = openExclusive(name);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    int cause = fd < 0 ? causeOf(errno) : fillFile(fd, target, data, size);
    if (fd >= 0)
        cause = cause == SNIP_SAVE_OK ? putInPlace(name, target) : (removeFile(name), cause);
    free(name);
    return cause;
}

#if defined(__linux__) && defined(O_TMPFILE)

/* Writes into an unnamed file in the target's folder, then gives it a
 * temporary name only for the moment of the rename. Returns -1 when the file
 * system has no unnamed files, so that the caller writes a named one instead. */
static int writeThroughUnnamedFile(const char* target, const unsigned char* data, size_t size)
{
    const char* slash = strrchr(target, '/');
    char* folder = slash == NULL ? besideOf("", ".") : besideOf("", target);
    if (folder == NULL)
        return SNIP_SAVE_OUT_OF_MEMORY;
    if (slash != NULL)
        folder[slash == target ? 1 : (size_t)(slash - target)] = '\0';
    const int fd = open(folder, O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    const int openError = errno;
    free(folder);
    if (fd < 0)
        return openError == EOPNOTSUPP || openError == EISDIR || openError == EINVAL
                   ? -1
                   : causeOf(openError);
    copyMode(fd, target);
    int cause = SNIP_SAVE_OK;
    if (!writeAll(fd, data, size) || fsync(fd) != 0)
        cause = causeOf(errno);
    const size_t length = strlen(target);
    char* name = (char*)malloc(length + 11);
    char self[64];
    snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
    int linked = -1;
    for (int attempt = 0; cause == SNIP_SAVE_OK && name != NULL && attempt < kTemporaryAttempts;
         ++attempt) {
        temporaryName(target, length, name);
        linked = linkat(AT_FDCWD, self, AT_FDCWD, name, AT_SYMLINK_FOLLOW);
        /* Without /proc, a process that may read any file can link by descriptor. */
        if (linked != 0 && errno == ENOENT)
            linked = linkat(fd, "", AT_FDCWD, name, AT_EMPTY_PATH);
        if (linked == 0 || errno != EEXIST)
            break;
    }
    if (cause == SNIP_SAVE_OK && name == NULL)
        cause = SNIP_SAVE_OUT_OF_MEMORY;
    else if (cause == SNIP_SAVE_OK && linked != 0)
        cause = causeOf(errno);
    /* Renamed at once: the name exists only between these two calls. */
    if (linked == 0)
        cause = putInPlace(name, target);
    close(fd);
    free(name);
    return cause;
}

#endif

int writeFileAtomically(const char* path, const unsigned char* data, size_t size)
{
    int cause = SNIP_SAVE_OK;
    char* target = resolveLinks(path, &cause);
    if (target == NULL)
        return cause;
    cause = checkTarget(target);
#if defined(__linux__) && defined(O_TMPFILE)
    if (cause == SNIP_SAVE_OK)
        cause = writeThroughUnnamedFile(target, data, size);
    if (cause == -1)
        cause = writeThroughNamedFile(target, data, size);
#else
    if (cause == SNIP_SAVE_OK)
        cause = writeThroughNamedFile(target, data, size);
#endif
    free(target);
    return cause;
}
