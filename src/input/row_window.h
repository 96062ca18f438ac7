// The bytes of a table that a pass over its rows stops at, found for 64
// bytes at a time. Three versions give the same bits: one byte by byte,
// one with SSE2, and one with AVX2 for processors that have it.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__x86_64__) || defined(_M_X64)
#include <immintrin.h>
#define KORVANE_X86 1
#endif

namespace korvane {

// Bytes in a window.
constexpr size_t kWindowBytes = 64;

// One bit for each byte of a window, the first byte in bit 0.
struct Window {
  uint64_t lf = 0;
  uint64_t tab = 0;
  uint64_t odd = 0;  // a NUL, or a CR not followed by LF
};

// The window of the n (at most 64) bytes at p; `after` is the byte after
// them, which a CR at the last place needs.
inline Window window_bytes(const char* p, size_t n, char after) {
  Window w;
  for (size_t i = 0; i < n; ++i) {
    uint64_t bit = uint64_t{1} << i;
    char next = i + 1 < n ? p[i + 1] : after;
    if (p[i] == '\n') w.lf |= bit;
    if (p[i] == '\t') w.tab |= bit;
    if (p[i] == '\0' || (p[i] == '\r' && next != '\n')) w.odd |= bit;
  }
  return w;
}

// The odd bits from the CRs and NULs of a whole window.
inline uint64_t odd_bits(uint64_t lf, uint64_t cr, uint64_t nul, char after) {
  return nul | (cr & ~(lf >> 1 | uint64_t{after == '\n'} << 63));
}

#ifdef KORVANE_X86
// window_bytes for 64 bytes, 16 at a time.
inline Window window_sse2(const char* p, char after) {
  uint64_t bits[4] = {};  // LF, TAB, CR, NUL
  for (int k = 0; k < 4; ++k) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
    const char wanted[4] = {'\n', '\t', '\r', '\0'};
    for (int b = 0; b < 4; ++b) {
      __m128i eq = _mm_cmpeq_epi8(v, _mm_set1_epi8(wanted[b]));
      bits[b] |= uint64_t{static_cast<uint16_t>(_mm_movemask_epi8(eq))}
                 << (16 * k);
    }
  }
  return {bits[0], bits[1], odd_bits(bits[0], bits[2], bits[3], after)};
}

// window_bytes for 64 bytes, 32 at a time. Only for processors with AVX2.
[[gnu::target("avx2")]] inline Window window_avx2(const char* p, char after) {
  uint64_t bits[4] = {};  // LF, TAB, CR, NUL
  for (int k = 0; k < 2; ++k) {
    __m256i v =
        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32 * k));
    const char wanted[4] = {'\n', '\t', '\r', '\0'};
    for (int b = 0; b < 4; ++b) {
      __m256i eq = _mm256_cmpeq_epi8(v, _mm256_set1_epi8(wanted[b]));
      bits[b] |= uint64_t{static_cast<uint32_t>(_mm256_movemask_epi8(eq))}
                 << (32 * k);
    }
  }
  return {bits[0], bits[1], odd_bits(bits[0], bits[2], bits[3], after)};
}

// True when this processor has AVX2.
inline bool have_avx2() { return __builtin_cpu_supports("avx2"); }
#endif

}  // namespace korvane
