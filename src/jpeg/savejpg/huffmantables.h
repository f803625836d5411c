#ifndef SAVEJPG_HUFFMANTABLES_H
#define SAVEJPG_HUFFMANTABLES_H

/* Huffman tables of a JPEG: read from a DHT segment and made ready for
 * decoding, or made for counted symbols the way the JPEG standard describes
 * (Annex K.2, with the code lengths limited to 16 bits by K.3). */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum { kHuffmanLookBits = 11, kHuffmanSymbols = 256 };

/* A table as a DHT segment gives it, with what decoding it needs. */
struct HuffmanTable
{
    int defined;
    uint8_t counts[17]; /* counts[n]: how many codes have n bits */
    uint8_t values[kHuffmanSymbols];
    int32_t largest[17];                  /* the largest code of n bits, -1 if there is none */
    int32_t offset[17];                   /* values[offset[n] + code] for a code of n bits */
    uint16_t look[1 << kHuffmanLookBits]; /* (bits << 8) | value for short codes, else 0 */
};

/* Codes to write, by symbol. */
struct HuffmanCodes
{
    uint16_t code[kHuffmanSymbols];
    uint8_t size[kHuffmanSymbols];
};

/* Fills in what decoding needs from counts and values; 0 when the counts
 * overflow a code length. */
int huffmanPrepareForReading(struct HuffmanTable* t);

/* The table for the counts of each symbol (the 257th is the standard's
 * reserved one, counted here); 0 when no table can be made. */
int huffmanOptimalTable(const int64_t counted[kHuffmanSymbols + 1], struct HuffmanTable* t);

/* The code of each symbol of a table, for writing. */
int huffmanCodesOf(const struct HuffmanTable* t, struct HuffmanCodes* out);

#ifdef __cplusplus
}
#endif

#endif
