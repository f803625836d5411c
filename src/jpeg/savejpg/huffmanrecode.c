/* Huffman tables made for a baseline JPEG's own data, the way the JPEG standard
 * describes (Annex K.2 and K.3), set into the file without decoding it: each
 * symbol of the entropy-coded data is read with the tables the file came with
 * and written again with the new ones. The symbols, their extra bits and so
 * every coefficient stay exactly as they were. */

#include "huffmanrecode.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

enum { kLookBits = 11, kMaxComponents = 4, kMaxBlocksInMcu = 10, kSymbols = 256 };

/* A table as a DHT segment gives it, with what decoding it needs. */
struct Table
{
    int defined;
    uint8_t counts[17]; /* counts[n]: how many codes have n bits */
    uint8_t values[kSymbols];
    int32_t largest[17];           /* the largest code of n bits, -1 if there is none */
    int32_t offset[17];            /* values[offset[n] + code] for a code of n bits */
    uint16_t look[1 << kLookBits]; /* (bits << 8) | value for short codes, else 0 */
};

/* Codes to write, by symbol. */
struct Codes
{
    uint16_t code[kSymbols];
    uint8_t size[kSymbols];
};

struct Component
{
    int id;
    int h;
    int v;
    int dc;
    int ac;
};

struct Frame
{
    int width;
    int height;
    int componentCount;
    struct Component components[kMaxComponents];
    int scanCount; /* components in the scan, in scan order */
    int scan[kMaxComponents];
    struct Table dc[4];
    struct Table ac[4];
    size_t dhtStart[16];
    size_t dhtEnd[16];
    int dhtCount;
    size_t sosStart;
    size_t dataStart;
};

struct Counts
{
    int64_t dc[4][kSymbols + 1];
    int64_t ac[4][kSymbols + 1];
};

/* ---- Reading the entropy-coded data --------------------------------------- */

/* The JPEG's bytes, which may still be arriving: more() waits until at least
 * the bytes wanted are there or the JPEG is complete, and says how many are. */
struct Source
{
    const unsigned char* data;
    size_t size;
    size_t (*more)(void* context, size_t wanted);
    void* context;
};

static int ensure(struct Source* source, size_t wanted)
{
    if (wanted > source->size && source->more != NULL)
        source->size = source->more(source->context, wanted);
    return wanted <= source->size;
}

struct Reader
{
    struct Source* source;
    size_t start; /* of the entropy-coded data in the source */
    const unsigned char* data;
    size_t size;
    size_t pos;
    uint64_t bits; /* the next bits, most significant first */
    int count;
    int atMarker;
    int64_t fedZeros; /* zero bits given out past the end of the data */
};

static void fill(struct Reader* r)
{
    while (r->count <= 56) {
        unsigned byte = 0;
        if (!r->atMarker && r->pos + 1 >= r->size) {
            ensure(r->source, r->start + r->pos + 2);
            r->size = r->source->size - r->start;
        }
        if (!r->atMarker && r->pos < r->size) {
            byte = r->data[r->pos];
            if (byte != 0xFF) {
                ++r->pos;
            } else if (r->pos + 1 < r->size && r->data[r->pos + 1] == 0x00) {
                r->pos += 2;
            } else {
                r->atMarker = 1;
                byte = 0;
            }
        } else {
            r->atMarker = 1;
        }
        if (r->atMarker)
            r->fedZeros += 8;
        r->bits |= (uint64_t)byte << (56 - r->count);
        r->count += 8;
    }
}

/* The symbol of the next code, or -1 when no code of the table matches. The
 * bits are the caller's own copy, so that they stay in registers. */
static inline int readSymbol(uint64_t* bits, int* count, const struct Table* t)
{
    const unsigned entry = t->look[*bits >> (64 - kLookBits)];
    if (entry != 0) {
        *bits <<= entry >> 8;
        *count -= (int)(entry >> 8);
        return (int)(entry & 0xFF);
    }
    for (int n = kLookBits + 1; n <= 16; ++n) {
        const int32_t code = (int32_t)(*bits >> (64 - n));
        if (code <= t->largest[n]) {
            *bits <<= n;
            *count -= n;
            return t->values[t->offset[n] + code];
        }
    }
    return -1;
}

/* ---- Writing it again ------------------------------------------------------ */

struct Writer
{
    unsigned char* data;
    size_t size;
    size_t capacity;
    uint64_t bits;
    int count;
    int failed;
};

static void putByte(struct Writer* w, unsigned char byte)
{
    if (w->size == w->capacity) {
        const size_t capacity = w->capacity * 2;
        unsigned char* grown = capacity > w->capacity ? realloc(w->data, capacity) : NULL;
        if (grown == NULL) {
            w->failed = 1;
            return;
        }
        w->data = grown;
        w->capacity = capacity;
    }
    w->data[w->size++] = byte;
}

static void putBytes(struct Writer* w, const unsigned char* bytes, size_t n)
{
    for (size_t i = 0; i < n && !w->failed; ++i)
        putByte(w, bytes[i]);
}

/* n <= 32 bits; a 0xFF byte in the data is followed by a stuffed zero. */
static inline void putBits(struct Writer* w, uint32_t value, int n)
{
    w->bits = (w->bits << n) | (value & ((UINT64_C(1) << n) - 1u));
    w->count += n;
    while (w->count >= 8) {
        w->count -= 8;
        const unsigned char byte = (unsigned char)(w->bits >> w->count);
        putByte(w, byte);
        if (byte == 0xFF)
            putByte(w, 0x00);
    }
}

/* ---- Tables ---------------------------------------------------------------- */

/* Codes in canonical order (Annex C); 0 when the counts overflow a code length. */
static int canonicalCodes(const uint8_t counts[17], uint16_t codes[kSymbols], int* total)
{
    int k = 0;
    uint32_t code = 0;
    for (int n = 1; n <= 16; ++n) {
        for (int i = 0; i < counts[n]; ++i) {
            if (k >= kSymbols || code >= (1u << n))
                return 0;
            codes[k++] = (uint16_t)code++;
        }
        code <<= 1;
    }
    *total = k;
    return 1;
}

static int prepareForReading(struct Table* t)
{
    uint16_t codes[kSymbols];
    int total = 0;
    if (!canonicalCodes(t->counts, codes, &total))
        return 0;
    memset(t->look, 0, sizeof t->look);
    int k = 0;
    for (int n = 1; n <= 16; ++n) {
        t->largest[n] = -1;
        t->offset[n] = k - (t->counts[n] ? codes[k] : 0);
        for (int i = 0; i < t->counts[n]; ++i, ++k) {
            t->largest[n] = codes[k];
            if (n <= kLookBits) {
                const int shift = kLookBits - n;
                for (int fill = 0; fill < (1 << shift); ++fill)
                    t->look[(codes[k] << shift) | fill] = (uint16_t)((n << 8) | t->values[k]);
            }
        }
    }
    t->defined = 1;
    return 1;
}

/* Code lengths for the counts by Annex K.2, limited to 16 bits by K.3, with
 * the code of all ones kept free by a reserved symbol counted once. Ties go to
 * the larger symbol, as the standard's procedure has it. */
static int optimalTable(const int64_t counted[kSymbols + 1], struct Table* t)
{
    int64_t freq[kSymbols + 1];
    int size[kSymbols + 1];
    int next[kSymbols + 1];
    int lengths[33];
    memcpy(freq, counted, sizeof freq);
    freq[kSymbols] = 1;
    for (int i = 0; i <= kSymbols; ++i) {
        size[i] = 0;
        next[i] = -1;
    }
    for (;;) {
        int c1 = -1, c2 = -1;
        int64_t least = INT64_MAX;
        for (int i = 0; i <= kSymbols; ++i)
            if (freq[i] != 0 && freq[i] <= least) {
                least = freq[i];
                c1 = i;
            }
        least = INT64_MAX;
        for (int i = 0; i <= kSymbols; ++i)
            if (freq[i] != 0 && freq[i] <= least && i != c1) {
                least = freq[i];
                c2 = i;
            }
        if (c2 < 0)
            break;
        freq[c1] += freq[c2];
        freq[c2] = 0;
        ++size[c1];
        while (next[c1] >= 0) {
            c1 = next[c1];
            ++size[c1];
        }
        next[c1] = c2;
        ++size[c2];
        while (next[c2] >= 0) {
            c2 = next[c2];
            ++size[c2];
        }
    }
    memset(lengths, 0, sizeof lengths);
    for (int i = 0; i <= kSymbols; ++i)
        if (size[i] != 0) {
            if (size[i] > 32)
                return 0;
            ++lengths[size[i]];
        }
    for (int n = 32; n > 16; --n)
        while (lengths[n] > 0) {
            int j = n - 2;
            while (j > 0 && lengths[j] == 0)
                --j;
            if (j == 0)
                return 0;
            lengths[n] -= 2;
            ++lengths[n - 1];
            lengths[j + 1] += 2;
            --lengths[j];
        }
    int longest = 16;
    while (longest > 0 && lengths[longest] == 0)
        --longest;
    if (longest == 0)
        return 0;
    --lengths[longest]; /* the reserved symbol's code */
    memset(t->counts, 0, sizeof t->counts);
    for (int n = 1; n <= 16; ++n)
        t->counts[n] = (uint8_t)lengths[n];
    int k = 0;
    for (int n = 1; n <= 32; ++n)
        for (int symbol = 0; symbol < kSymbols; ++symbol)
            if (size[symbol] == n && k < kSymbols)
                t->values[k++] = (uint8_t)symbol;
    t->defined = 1;
    return 1;
}

static int codesOf(const struct Table* t, struct Codes* out)
{
    uint16_t codes[kSymbols];
    int total = 0;
    if (!canonicalCodes(t->counts, codes, &total))
        return 0;
    memset(out, 0, sizeof *out);
    int k = 0;
    for (int n = 1; n <= 16; ++n)
        for (int i = 0; i < t->counts[n]; ++i, ++k) {
            out->code[t->values[k]] = codes[k];
            out->size[t->values[k]] = (uint8_t)n;
        }
    return 1;
}

/* ---- The file's markers ---------------------------------------------------- */

static unsigned bigEndian16(const unsigned char* p)
{
    return (unsigned)p[0] << 8 | p[1];
}

static int readTables(const unsigned char* p, size_t length, struct Frame* f)
{
    size_t at = 0;
    while (at < length) {
        if (length - at < 17)
            return 0;
        const int kind = p[at] >> 4, slot = p[at] & 15;
        if (kind > 1 || slot > 3)
            return 0;
        struct Table* t = kind == 0 ? &f->dc[slot] : &f->ac[slot];
        memset(t, 0, sizeof *t);
        size_t total = 0;
        for (int n = 1; n <= 16; ++n) {
            t->counts[n] = p[at + (size_t)n];
            total += t->counts[n];
        }
        at += 17;
        if (total > kSymbols || length - at < total)
            return 0;
        memcpy(t->values, p + at, total);
        at += total;
        if (!prepareForReading(t))
            return 0;
    }
    return 1;
}

static int readFrameHeader(const unsigned char* p, size_t length, struct Frame* f)
{
    if (length < 6 || p[0] != 8)
        return 0;
    f->height = (int)bigEndian16(p + 1);
    f->width = (int)bigEndian16(p + 3);
    f->componentCount = p[5];
    if (f->width == 0 || f->height == 0 || f->componentCount < 1 ||
        f->componentCount > kMaxComponents || length < 6 + 3 * (size_t)f->componentCount)
        return 0;
    for (int i = 0; i < f->componentCount; ++i) {
        struct Component* c = &f->components[i];
        c->id = p[6 + 3 * i];
        c->h = p[7 + 3 * i] >> 4;
        c->v = p[7 + 3 * i] & 15;
        if (c->h < 1 || c->h > 4 || c->v < 1 || c->v > 4)
            return 0;
    }
    return 1;
}

static int readScanHeader(const unsigned char* p, size_t length, struct Frame* f)
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
        struct Component* c = &f->components[found];
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
    return f->scanCount == 1 || blocks <= kMaxBlocksInMcu;
}

/* Finds the tables, the frame and the scan; only a baseline or extended
 * sequential Huffman-coded JPEG of 8-bit samples with one scan and no restart
 * interval is taken. */
static int readMarkers(struct Source* source, struct Frame* f)
{
    if (!ensure(source, 4))
        return 0;
    const unsigned char* in = source->data;
    if (in[0] != 0xFF || in[1] != 0xD8)
        return 0;
    size_t at = 2;
    int haveFrame = 0;
    while (ensure(source, at + 4)) {
        if (in[at] != 0xFF)
            return 0;
        const unsigned marker = in[at + 1];
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        const size_t length = bigEndian16(in + at + 2);
        if (length < 2 || !ensure(source, at + 2 + length))
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

/* ---- The scan ---------------------------------------------------------------- */

/* The symbols as the counting pass reads them, so that writing them again
 * needs no second decoding: each is its table (the four DC slots, then the
 * four AC slots), its extra bits' count, the symbol and the extra bits. Past
 * a bound the store is dropped and the writing pass decodes again. */
struct Store
{
    uint32_t* symbols;
    size_t count;
    size_t capacity;
};

static const size_t kMaxStoredSymbols = (size_t)1 << 24; /* 64 MiB */

static void storeSymbol(struct Store* store, int table, int symbol, uint32_t extra, int extraBits)
{
    if (store->symbols == NULL)
        return;
    if (store->count == store->capacity) {
        const size_t capacity = store->capacity * 2;
        uint32_t* grown = capacity <= kMaxStoredSymbols
                              ? realloc(store->symbols, capacity * sizeof *store->symbols)
                              : NULL;
        if (grown == NULL) {
            free(store->symbols);
            store->symbols = NULL;
            return;
        }
        store->symbols = grown;
        store->capacity = capacity;
    }
    store->symbols[store->count++] =
        (uint32_t)table << 28 | (uint32_t)extraBits << 24 | (uint32_t)symbol << 16 | extra;
}

struct Pass
{
    const struct Frame* frame;
    struct Reader reader;
    struct Counts* counts; /* counting: where the symbols are counted */
    struct Store* store;   /* and kept, while there is room */
    struct Writer* writer; /* writing: where they go with the new codes */
    const struct Codes* dc[4];
    const struct Codes* ac[4];
};

static void putSymbol(struct Pass* p, const struct Codes* codes, int symbol, uint32_t extra,
                      int extraBits)
{
    putBits(p->writer, codes->code[symbol], codes->size[symbol]);
    if (extraBits > 0)
        putBits(p->writer, extra, extraBits);
}

/* The next n extra bits, n <= 16. */
static inline uint32_t takeBits(uint64_t* bits, int* count, int n)
{
    const uint32_t value = n ? (uint32_t)(*bits >> (64 - n)) : 0;
    *bits <<= n;
    *count -= n;
    return value;
}

static inline void refill(struct Reader* r, uint64_t* bits, int* count)
{
    if (*count < 32) {
        r->bits = *bits;
        r->count = *count;
        fill(r);
        *bits = r->bits;
        *count = r->count;
    }
}

static int passBlock(struct Pass* p, const struct Component* c)
{
    struct Reader* r = &p->reader;
    const struct Table* dcTable = &p->frame->dc[c->dc];
    const struct Table* acTable = &p->frame->ac[c->ac];
    int64_t* dcCounts = p->counts ? p->counts->dc[c->dc] : NULL;
    int64_t* acCounts = p->counts ? p->counts->ac[c->ac] : NULL;
    uint64_t bits = r->bits;
    int count = r->count;
    int ok = 1;
    refill(r, &bits, &count);
    const int dc = readSymbol(&bits, &count, dcTable);
    if (dc < 0 || dc > 15) {
        ok = 0;
    } else {
        const uint32_t dcExtra = takeBits(&bits, &count, dc);
        if (dcCounts) {
            ++dcCounts[dc];
            storeSymbol(p->store, c->dc, dc, dcExtra, dc);
        } else
            putSymbol(p, p->dc[c->dc], dc, dcExtra, dc);
    }
    for (int k = 1; ok && k < 64;) {
        refill(r, &bits, &count);
        const int rs = readSymbol(&bits, &count, acTable);
        if (rs < 0) {
            ok = 0;
            break;
        }
        const int run = rs >> 4, size = rs & 15;
        const uint32_t extra = takeBits(&bits, &count, size);
        if (acCounts) {
            ++acCounts[rs];
            storeSymbol(p->store, 4 + c->ac, rs, extra, size);
        } else
            putSymbol(p, p->ac[c->ac], rs, extra, size);
        if (size == 0) {
            if (run != 15)
                break; /* end of block */
            k += 16;
            ok = k <= 64;
        } else {
            ok = k + run <= 63;
            k += run + 1;
        }
    }
    r->bits = bits;
    r->count = count;
    return ok;
}

/* Writes the stored symbols with the new codes (the four DC slots' codes,
 * then the four AC slots'). */
static void putStored(struct Writer* w, const struct Store* store, const struct Codes codes[8])
{
    for (size_t i = 0; i < store->count; ++i) {
        const uint32_t entry = store->symbols[i];
        const struct Codes* table = &codes[entry >> 28];
        const int symbol = (int)(entry >> 16 & 0xFF);
        const int extraBits = (int)(entry >> 24 & 15);
        /* The code and its extra bits together: at most 16 + 15 bits. */
        putBits(w, (uint32_t)table->code[symbol] << extraBits | (entry & 0xFFFF),
                table->size[symbol] + extraBits);
    }
}

static int passScan(struct Pass* p)
{
    const struct Frame* f = p->frame;
    int hMax = 1, vMax = 1;
    for (int i = 0; i < f->componentCount; ++i) {
        hMax = f->components[i].h > hMax ? f->components[i].h : hMax;
        vMax = f->components[i].v > vMax ? f->components[i].v : vMax;
    }
    if (f->scanCount == 1) {
        /* One component: its blocks in rows, one to a unit. */
        const struct Component* c = &f->components[f->scan[0]];
        const int64_t across = ((int64_t)f->width * c->h + hMax - 1) / hMax;
        const int64_t down = ((int64_t)f->height * c->v + vMax - 1) / vMax;
        const int64_t blocks = ((across + 7) / 8) * ((down + 7) / 8);
        for (int64_t b = 0; b < blocks; ++b)
            if (!passBlock(p, c))
                return 0;
    } else {
        const int64_t across = (f->width + 8 * hMax - 1) / (8 * hMax);
        const int64_t down = (f->height + 8 * vMax - 1) / (8 * vMax);
        for (int64_t unit = 0; unit < across * down; ++unit)
            for (int i = 0; i < f->scanCount; ++i) {
                const struct Component* c = &f->components[f->scan[i]];
                for (int b = 0; b < c->h * c->v; ++b)
                    if (!passBlock(p, c))
                        return 0;
            }
    }
    /* Every code came from the data, none from the zeros given out past it,
     * and what is left before the end marker is the padding of the last byte. */
    const struct Reader* r = &p->reader;
    const int64_t left = r->count - r->fedZeros;
    if (left < 0 || left > 7 || !r->atMarker)
        return 0;
    return r->pos + 1 < r->size && r->data[r->pos + 1] == 0xD9;
}

static struct Reader readerAt(struct Source* source, size_t start)
{
    struct Reader r;
    memset(&r, 0, sizeof r);
    r.source = source;
    r.start = start;
    r.data = source->data + start;
    r.size = source->size - start;
    return r;
}

/* ---- Entry point ------------------------------------------------------------- */

static void putTables(struct Writer* w, const struct Table dc[4], const struct Table ac[4])
{
    size_t length = 2;
    for (int slot = 0; slot < 4; ++slot)
        for (int kind = 0; kind < 2; ++kind) {
            const struct Table* t = kind == 0 ? &dc[slot] : &ac[slot];
            if (t->defined) {
                length += 17;
                for (int n = 1; n <= 16; ++n)
                    length += t->counts[n];
            }
        }
    const unsigned char head[4] = {0xFF, 0xC4, (unsigned char)(length >> 8),
                                   (unsigned char)(length & 0xFF)};
    putBytes(w, head, 4);
    for (int slot = 0; slot < 4; ++slot)
        for (int kind = 0; kind < 2; ++kind) {
            const struct Table* t = kind == 0 ? &dc[slot] : &ac[slot];
            if (!t->defined)
                continue;
            size_t total = 0;
            putByte(w, (unsigned char)(kind << 4 | slot));
            for (int n = 1; n <= 16; ++n) {
                putByte(w, t->counts[n]);
                total += t->counts[n];
            }
            putBytes(w, t->values, total);
        }
}

/* The header as it was, but for its tables: everything before the scan header
 * without the DHT segments, then the new tables. */
static void putHeader(struct Writer* w, const unsigned char* in, const struct Frame* f)
{
    size_t from = 0;
    for (int i = 0; i < f->dhtCount; ++i) {
        putBytes(w, in + from, f->dhtStart[i] - from);
        from = f->dhtEnd[i];
    }
    putBytes(w, in + from, f->sosStart - from);
}

struct HuffmanRecoder
{
    struct Source source;
    struct Frame frame;
    struct Counts counts;
    struct Store store;
    size_t tail; /* where the end marker stands */
    int counted;
};

struct HuffmanRecoder* huffmanRecoderNew(const unsigned char* data, size_t size,
                                         size_t (*more)(void* context, size_t wanted),
                                         void* context)
{
    struct HuffmanRecoder* recoder = calloc(1, sizeof *recoder);
    if (recoder == NULL)
        return NULL;
    recoder->source.data = data;
    recoder->source.size = data != NULL ? size : 0;
    recoder->source.more = more;
    recoder->source.context = context;
    recoder->store.capacity = (size_t)1 << 16;
    recoder->store.symbols = malloc(recoder->store.capacity * sizeof *recoder->store.symbols);
    return recoder;
}

int huffmanRecoderCount(struct HuffmanRecoder* recoder)
{
    if (recoder->source.data == NULL || !readMarkers(&recoder->source, &recoder->frame))
        return 0;
    struct Pass counting;
    memset(&counting, 0, sizeof counting);
    counting.frame = &recoder->frame;
    counting.reader = readerAt(&recoder->source, recoder->frame.dataStart);
    counting.counts = &recoder->counts;
    counting.store = &recoder->store;
    recoder->counted = passScan(&counting);
    recoder->tail = recoder->frame.dataStart + counting.reader.pos;
    return recoder->counted;
}

int huffmanRecoderWrite(struct HuffmanRecoder* recoder, unsigned char** out, size_t* outSize)
{
    *out = NULL;
    *outSize = 0;
    ensure(&recoder->source, SIZE_MAX); /* the whole JPEG, now that it is complete */
    const struct Frame* f = &recoder->frame;
    const unsigned char* in = recoder->source.data;
    const size_t inSize = recoder->source.size;
    struct Table* made = calloc(8, sizeof *made); /* four DC, then four AC */
    struct Codes* codes = calloc(8, sizeof *codes);
    struct Writer w = {NULL, 0, inSize + 1024, 0, 0, 0};
    int ok = recoder->counted && made && codes;
    for (int i = 0; ok && i < f->scanCount; ++i) {
        const struct Component* c = &f->components[f->scan[i]];
        if (!made[c->dc].defined)
            ok = optimalTable(recoder->counts.dc[c->dc], &made[c->dc]) &&
                 codesOf(&made[c->dc], &codes[c->dc]);
        if (ok && !made[4 + c->ac].defined)
            ok = optimalTable(recoder->counts.ac[c->ac], &made[4 + c->ac]) &&
                 codesOf(&made[4 + c->ac], &codes[4 + c->ac]);
    }
    if (ok) {
        w.data = malloc(w.capacity);
        ok = w.data != NULL;
    }
    if (ok) {
        putHeader(&w, in, f);
        putTables(&w, made, made + 4);
        putBytes(&w, in + f->sosStart, f->dataStart - f->sosStart);
        if (recoder->store.symbols != NULL) {
            putStored(&w, &recoder->store, codes);
        } else {
            struct Pass writing;
            memset(&writing, 0, sizeof writing);
            writing.frame = f;
            writing.reader = readerAt(&recoder->source, f->dataStart);
            writing.writer = &w;
            for (int slot = 0; slot < 4; ++slot) {
                writing.dc[slot] = &codes[slot];
                writing.ac[slot] = &codes[4 + slot];
            }
            ok = passScan(&writing);
        }
        if (ok && w.count > 0)
            putBits(&w, 0xFFu, 8 - w.count); /* the last byte padded with ones */
        if (ok)
            putBytes(&w, in + recoder->tail, inSize - recoder->tail);
        ok = ok && !w.failed;
    }
    free(made);
    free(codes);
    if (!ok) {
        free(w.data);
        return 0;
    }
    *out = w.data;
    *outSize = w.size;
    return 1;
}

void huffmanRecoderFree(struct HuffmanRecoder* recoder)
{
    if (recoder != NULL)
        free(recoder->store.symbols);
    free(recoder);
}

int recodeWithOptimalTables(const unsigned char* in, size_t inSize, unsigned char** out,
                            size_t* outSize)
{
    *out = NULL;
    *outSize = 0;
    struct HuffmanRecoder* recoder = huffmanRecoderNew(in, inSize, NULL, NULL);
    const int ok = recoder != NULL && huffmanRecoderCount(recoder) &&
                   huffmanRecoderWrite(recoder, out, outSize);
    huffmanRecoderFree(recoder);
    return ok;
}
