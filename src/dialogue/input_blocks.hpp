// Sorting 64 bytes of the user's text at once into digits and blanks, with
// the vector instructions the processor has.
#pragma once

#include <cstdint>

// What a block of 64 bytes holds, byte by byte.
struct Block {
    std::uint64_t digits = 0;  // bit k: byte k is a decimal digit
    std::uint64_t blanks = 0;  // bit k: byte k is whitespace
    // Where byte k is a digit: its value plus ten times that of byte k - 1
    // when that is a digit of the block too.
    alignas(64) unsigned char val[64];
};

// Fills b from p[0..63]; p[-1] must be readable too, though it is no part of
// the block.
using Sorter = void (*)(const char* p, Block& b);

#if defined(__x86_64__) && defined(__GNUC__)
#define MST_VECTOR_READER 1
// Every x86-64 processor has SSE2.
void sortSse2(const char* p, Block& b);
void sortAvx2(const char* p, Block& b);
bool haveAvx2();
#endif
