#include "huffmantables.h"

#include <string.h>

/* Codes in canonical order (Annex C); 0 when the counts overflow a code length. */
static int canonicalCodes(const uint8_t counts[17], uint16_t codes[kHuffmanSymbols], int* total)
{
    int k = 0;
    uint32_t code = 0;
    for (int n = 1; n <= 16; ++n) {
        for (int i = 0; i < counts[n]; ++i) {
            if (k >= kHuffmanSymbols || code >= (1u << n))
                return 0;
            codes[k++] = (uint16_t)code++;
        }
        code <<= 1;
    }
    *total = k;
    return 1;
}

int huffmanPrepareForReading(struct HuffmanTable* t)
{
    uint16_t codes[kHuffmanSymbols];
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
            if (n <= kHuffmanLookBits) {
                const int shift = kHuffmanLookBits - n;
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
int huffmanOptimalTable(const int64_t counted[kHuffmanSymbols + 1], struct HuffmanTable* t)
{
    int64_t freq[kHuffmanSymbols + 1];
    int size[kHuffmanSymbols + 1];
    int next[kHuffmanSymbols + 1];
    int lengths[33];
    memcpy(freq, counted, sizeof freq);
    freq[kHuffmanSymbols] = 1;
    for (int i = 0; i <= kHuffmanSymbols; ++i) {
        size[i] = 0;
        next[i] = -1;
    }
    for (;;) {
        int c1 = -1, c2 = -1;
        int64_t least = INT64_MAX;
        for (int i = 0; i <= kHuffmanSymbols; ++i)
            if (freq[i] != 0 && freq[i] <= least) {
                least = freq[i];
                c1 = i;
            }
        least = INT64_MAX;
        for (int i = 0; i <= kHuffmanSymbols; ++i)
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
    for (int i = 0; i <= kHuffmanSymbols; ++i)
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
        for (int symbol = 0; symbol < kHuffmanSymbols; ++symbol)
            if (size[symbol] == n && k < kHuffmanSymbols)
                t->values[k++] = (uint8_t)symbol;
    t->defined = 1;
    return 1;
}

int huffmanCodesOf(const struct HuffmanTable* t, struct HuffmanCodes* out)
{
    uint16_t codes[kHuffmanSymbols];
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
