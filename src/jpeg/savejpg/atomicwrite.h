#ifndef SAVEJPG_ATOMICWRITE_H
#define SAVEJPG_ATOMICWRITE_H

/* Writing a file so that it appears complete or not at all, where the user
 * meant it: through a symbolic link to the file it names, never over a
 * read-only file, and into an unnamed file until the data is safely on disk. */

#include <stddef.h>

/* Replaces or creates the file at target with size bytes of data. Returns 0
 * when the file was written, otherwise a SnipSaveError value. */
int writeFileAtomically(const char* target, const unsigned char* data, size_t size);

#endif
