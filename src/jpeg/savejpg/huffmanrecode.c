/* Huffman tables made for a baseline JPEG's own data, the way the JPEG standard
 * describes (Annex K.2 and K.3), set into the file without decoding it: each
 * symbol of the entropy-coded data is read with the tables the file came with
 * and written again with the new ones. The symbols, their extra bits and so
 * every coefficient stay exactly as they were. */

#include "huffmanrecode.h"

#include "huffmantables.h"
#include "jpegmarkers.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

struct Counts
{
    int64_t dc[4][kHuffmanSymbols + 1];
    int64_t ac[4][kHuffmanSymbols + 1];
};

/* ---- Reading the entropy-coded data --------------------------------------- */

struct Reader
{
    struct JpegSource* source;
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
            jpegSourceEnsure(r->source, r->start + r->pos + 2);
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
static inline int readSymbol(uint64_t* bits, int* count, const struct HuffmanTable* t)
{
    const unsigned entry = t->look[*bits >> (64 - kHuffmanLookBits)];
    if (entry != 0) {
        *bits <<= entry >> 8;
        *count -= (int)(entry >> 8);
        return (int)(entry & 0xFF);
    }
    for (int n = kHuffmanLookBits + 1; n <= 16; ++n) {
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
    const struct JpegFrame* frame;
    struct Reader reader;
    struct Counts* counts; /* counting: where the symbols are counted */
    struct Store* store;   /* and kept, while there is room */
    struct Writer* writer; /* writing: where they go with the new codes */
    const struct HuffmanCodes* dc[4];
    const struct HuffmanCodes* ac[4];
};

static void putSymbol(struct Pass* p, const struct HuffmanCodes* codes, int symbol, uint32_t extra,
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

static int passBlock(struct Pass* p, const struct JpegComponent* c)
{
    struct Reader* r = &p->reader;
    const struct HuffmanTable* dcTable = &p->frame->dc[c->dc];
    const struct HuffmanTable* acTable = &p->frame->ac[c->ac];
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
static void putStored(struct Writer* w, const struct Store* store,
                      const struct HuffmanCodes codes[8])
{
    for (size_t i = 0; i < store->count; ++i) {
        const uint32_t entry = store->symbols[i];
        const struct HuffmanCodes* table = &codes[entry >> 28];
        const int symbol = (int)(entry >> 16 & 0xFF);
        const int extraBits = (int)(entry >> 24 & 15);
        /* The code and its extra bits together: at most 16 + 15 bits. */
        putBits(w, (uint32_t)table->code[symbol] << extraBits | (entry & 0xFFFF),
                table->size[symbol] + extraBits);
    }
}

static int passScan(struct Pass* p)
{
    const struct JpegFrame* f = p->frame;
    int hMax = 1, vMax = 1;
    for (int i = 0; i < f->componentCount; ++i) {
        hMax = f->components[i].h > hMax ? f->components[i].h : hMax;
        vMax = f->components[i].v > vMax ? f->components[i].v : vMax;
    }
    if (f->scanCount == 1) {
        /* One component: its blocks in rows, one to a unit. */
        const struct JpegComponent* c = &f->components[f->scan[0]];
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
                const struct JpegComponent* c = &f->components[f->scan[i]];
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

static struct Reader readerAt(struct JpegSource* source, size_t start)
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

static void putTables(struct Writer* w, const struct HuffmanTable dc[4],
                      const struct HuffmanTable ac[4])
{
    size_t length = 2;
    for (int slot = 0; slot < 4; ++slot)
        for (int kind = 0; kind < 2; ++kind) {
            const struct HuffmanTable* t = kind == 0 ? &dc[slot] : &ac[slot];
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
            const struct HuffmanTable* t = kind == 0 ? &dc[slot] : &ac[slot];
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
static void putHeader(struct Writer* w, const unsigned char* in, const struct JpegFrame* f)
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
    struct JpegSource source;
    struct JpegFrame frame;
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
    if (recoder->source.data == NULL || !readJpegMarkers(&recoder->source, &recoder->frame))
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
    jpegSourceEnsure(&recoder->source, SIZE_MAX); /* the whole JPEG, now that it is complete */
    const struct JpegFrame* f = &recoder->frame;
    const unsigned char* in = recoder->source.data;
    const size_t inSize = recoder->source.size;
    struct HuffmanTable* made = calloc(8, sizeof *made); /* four DC, then four AC */
    struct HuffmanCodes* codes = calloc(8, sizeof *codes);
    struct Writer w = {NULL, 0, inSize + 1024, 0, 0, 0};
    int ok = recoder->counted && made && codes;
    for (int i = 0; ok && i < f->scanCount; ++i) {
        const struct JpegComponent* c = &f->components[f->scan[i]];
        if (!made[c->dc].defined)
            ok = huffmanOptimalTable(recoder->counts.dc[c->dc], &made[c->dc]) &&
                 huffmanCodesOf(&made[c->dc], &codes[c->dc]);
        if (ok && !made[4 + c->ac].defined)
            ok = huffmanOptimalTable(recoder->counts.ac[c->ac], &made[4 + c->ac]) &&
                 huffmanCodesOf(&made[4 + c->ac], &codes[4 + c->ac]);
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
