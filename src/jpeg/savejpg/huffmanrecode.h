#ifndef SAVEJPG_HUFFMANRECODE_H
#define SAVEJPG_HUFFMANRECODE_H

/* Smaller baseline JPEGs without touching their coefficients: the entropy-coded
 * data of a single-scan baseline JPEG is decoded symbol by symbol, once to
 * count the symbols and once to write each again with Huffman tables made for
 * those counts. Nothing is decoded to pixels or kept as coefficients, so this
 * costs a fraction of the encode; the decoded pixels stay exactly as they were. */

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Writes into a buffer from malloc, which the caller frees, the JPEG with
 * tables made for its data. Returns 1 on success; 0 when the JPEG is not one
 * this handles (progressive, arithmetic-coded, with restart markers, or
 * malformed) or memory ran out, and then *out is NULL. */
int recodeWithOptimalTables(const unsigned char* in, size_t inSize, unsigned char** out,
                            size_t* outSize);

/* The same in two steps, for a JPEG still being written: counting reads the
 * bytes as they arrive, more() waiting until at least the bytes wanted are
 * there or the JPEG is complete and saying how many there are (their address
 * never changes); writing comes after the JPEG is complete. Count and Write
 * return 1 on success, 0 as recodeWithOptimalTables does. */
struct HuffmanRecoder;
struct HuffmanRecoder* huffmanRecoderNew(const unsigned char* data, size_t size,
                                         size_t (*more)(void* context, size_t wanted),
                                         void* context);
int huffmanRecoderCount(struct HuffmanRecoder* recoder);
int huffmanRecoderWrite(struct HuffmanRecoder* recoder, unsigned char** out, size_t* outSize);
void huffmanRecoderFree(struct HuffmanRecoder* recoder);

#ifdef __cplusplus
}
#endif

#endif
