#ifndef SAVEJPG_JPEGMARKERS_H
#define SAVEJPG_JPEGMARKERS_H

/* The markers of a sequential Huffman-coded JPEG up to its scan: the frame,
 * the scan's components and their tables, and where the DHT segments and the
 * entropy-coded data stand, read from bytes that may still be arriving. */

#include "huffmantables.h"

#include <stddef.h>

enum { kJpegMaxComponents = 4, kJpegMaxBlocksInMcu = 10 };

/* The JPEG's bytes, which may still be arriving: more() waits until at least
 * the bytes wanted are there or the JPEG is complete, and says how many are. */
struct JpegSource
{
    const unsigned char* data;
    size_t size;
    size_t (*more)(void* context, size_t wanted);
    void* context;
};

/* Whether at least the bytes wanted are there, waiting for them if need be. */
int jpegSourceEnsure(struct JpegSource* source, size_t wanted);

struct JpegComponent
{
    int id;
    int h;
    int v;
    int dc;
    int ac;
};

struct JpegFrame
{
    int width;
    int height;
    int componentCount;
    struct JpegComponent components[kJpegMaxComponents];
    int scanCount; /* components in the scan, in scan order */
    int scan[kJpegMaxComponents];
    struct HuffmanTable dc[4];
    struct HuffmanTable ac[4];
    size_t dhtStart[16];
    size_t dhtEnd[16];
    int dhtCount;
    size_t sosStart;
    size_t dataStart;
};

/* Reads the markers up to the scan; only a baseline or extended sequential
 * Huffman-coded JPEG of 8-bit samples with one scan and no restart interval
 * is taken (1), anything else is not (0). */
int readJpegMarkers(struct JpegSource* source, struct JpegFrame* f);

#endif
