#include "jpegmarkers.h"

#include <string.h>

int jpegSourceEnsure(struct JpegSource* source, size_t wanted)
{
    if (wanted > source->size && source->more != NULL)
        source->size = source->more(source->context, wanted);
    return wanted <= source->size;
}

static unsigned bigEndian16(const unsigned char* p)
{
    return (unsigned)p[0] << 8 | p[1];
}

static int readTables(const unsigned char* p, size_t length, struct JpegFrame* f)
{
    size_t at = 0;
    while (at < length) {
        if (length - at < 17)
            return 0;
        const int kind = p[at] >> 4, slot = p[at] & 15;
        if (kind > 1 || slot > 3)
            return 0;
        struct HuffmanTable* t = kind == 0 ? &f->dc[slot] : &f->ac[slot];
        memset(t, 0, sizeof *t);
        size_t total = 0;
        for (int n = 1; n <= 16; ++n) {
            t->counts[n] = p[at + (size_t)n];
            total += t->counts[n];
        }
        at += 17;
        if (total > kHuffmanSymbols || length - at < total)
            return 0;
        memcpy(t->values, p + at, total);
        at += total;
        if (!huffmanPrepareForReading(t))
            return 0;
    }
    return 1;
}

static int readFrameHeader(const unsigned char* p, size_t length, struct JpegFrame* f)
{
    if (length < 6 || p[0] != 8)
        return 0;
    f->height = (int)bigEndian16(p + 1);
    f->width = (int)bigEndian16(p + 3);
    f->componentCount = p[5];
    if (f->width == 0 || f->height == 0 || f->componentCount < 1 ||
        f->componentCount > kJpegMaxComponents || length < 6 + 3 * (size_t)f->componentCount)
        return 0;
    for (int i = 0; i < f->componentCount; ++i) {
        struct JpegComponent* c = &f->components[i];
        c->id = p[6 + 3 * i];
        c->h = p[7 + 3 * i] >> 4;
        c->v = p[7 + 3 * i] & 15;
        if (c->h < 1 || c->h > 4 || c->v < 1 || c->v > 4)
            return 0;
    }
    return 1;
}

static int readScanHeader(const unsigned char* p, size_t length, struct JpegFrame* f)
{
    if (length < 1 || f->componentCount == 0)
        return 0;
    f->scanCount = p[0];
    if (f->scanCount < 1 || f->scanCount > f->componentCount ||
        length < 1 + 2 * (size_t)f->scanCount + 3)
        return 0;
    int blocks = 0;
    for (int i = 0; i < f->scanCount; ++i) {
        const int id = p[1 + 2 * i];
        int found = -1;
        for (int c = 0; c < f->componentCount; ++c)
            if (f->components[c].id == id)
                found = c;
        if (found < 0)
            return 0;
        struct JpegComponent* c = &f->components[found];
        c->dc = p[2 + 2 * i] >> 4;
        c->ac = p[2 + 2 * i] & 15;
        if (c->dc > 3 || c->ac > 3 || !f->dc[c->dc].defined || !f->ac[c->ac].defined)
            return 0;
        f->scan[i] = found;
        blocks += c->h * c->v;
    }
    /* One sequential scan: the whole spectrum, no successive approximation. */
    const unsigned char* end = p + 1 + 2 * f->scanCount;
    if (end[0] != 0 || end[1] != 63 || end[2] != 0)
        return 0;
    return f->scanCount == 1 || blocks <= kJpegMaxBlocksInMcu;
}

int readJpegMarkers(struct JpegSource* source, struct JpegFrame* f)
{
    if (!jpegSourceEnsure(source, 4))
        return 0;
    const unsigned char* in = source->data;
    if (in[0] != 0xFF || in[1] != 0xD8)
        return 0;
    size_t at = 2;
    int haveFrame = 0;
    while (jpegSourceEnsure(source, at + 4)) {
        if (in[at] != 0xFF)
            return 0;
        const unsigned marker = in[at + 1];
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        const size_t length = bigEndian16(in + at + 2);
        if (length < 2 || !jpegSourceEnsure(source, at + 2 + length))
            return 0;
        const unsigned char* body = in + at + 4;
        const size_t bodyLength = length - 2;
        if (marker == 0xC0 || marker == 0xC1) {
            if (haveFrame || !readFrameHeader(body, bodyLength, f))
                return 0;
            haveFrame = 1;
        } else if (marker >= 0xC2 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                   marker != 0xCC) {
            return 0; /* progressive, lossless or arithmetic coding */
        } else if (marker == 0xC4) {
            if (f->dhtCount == 16 || !readTables(body, bodyLength, f))
                return 0;
            f->dhtStart[f->dhtCount] = at;
            f->dhtEnd[f->dhtCount++] = at + 2 + length;
        } else if (marker == 0xDD) {
            if (bodyLength < 2 || bigEndian16(body) != 0)
                return 0;
        } else if (marker == 0xDA) {
            if (!haveFrame || !readScanHeader(body, bodyLength, f))
                return 0;
            f->sosStart = at;
            f->dataStart = at + 2 + length;
            return 1;
        } else if (marker == 0xD8 || marker == 0xD9 || (marker >= 0xD0 && marker <= 0xD7)) {
            return 0;
        }
        at += 2 + length;
    }
    return 0;
}
